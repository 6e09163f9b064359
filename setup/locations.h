// locations.h: the fixed places and texts of an installation (folders, registry key, commands) and the
// text rules built on them. Pure text work, free of the platform.
#pragma once

#include <stddef.h>

enum { PathCapacity = 521 };   // 520 characters and the terminating zero

extern const char VendorFolderTemplate[];         // %ProgramFiles(x86)%\Orvane
extern const char VendorFolderFallbackTemplate[]; // %ProgramFiles%\Orvane, where there is no (x86) variable
extern const char StartMenuProgramsTemplate[];    // %ALLUSERSPROFILE%\...\Start Menu\Programs
extern const char UninstallKeyPath[];             // ...\CurrentVersion\Uninstall\Noxel, single separators
// A setup run that restarted itself elevated carries this and the id of the process that started it
// as argument 3; arguments 1 and 2 keep their meaning.
extern const char RestartMark[];                  // /Restarted:

// Appends text to the zero-terminated path in out; false, and out unchanged, when it does not fit.
bool appendPath(char *out, size_t outSize, const char *text);

// The folder in which the shortcut starts its target: the given one without a leading double quote,
// or, when that is empty, the target cut before its last backslash (from the second character on).
void shortcutWorkingDirectory(const char *given, const char *target, char *out, size_t outSize);

// The parameters of the command interpreter (cmd.exe) that removes an installation, given both vendor
// folders: /d (no AutoRun command) /e:on /v:off (extensions on, delayed expansion off, whatever the
// registry says) /c, then RD /S /Q of the shortcut folder; RD /S /Q of the program folder, again a
// second later while it is there, 30 times at most (a file cannot be deleted while a process runs from
// it: the uninstaller itself); then RD without /S of each vendor folder, which removes it only when it
// is empty. False, and out empty, when it does not fit; two vendor folders below PathCapacity always
// fit RemovalCommandCapacity (also below cmd's 8191 characters).
enum { RemovalCommandCapacity = 7 * PathCapacity + 192 };
bool removalCommand(const char *startMenuVendorFolder, const char *programVendorFolder, char *out, size_t outSize);

// The registered uninstall command: the quoted program path, /Uninstall and, when quiet, /Quiet.
bool uninstallCommand(const char *installedExePath, bool quiet, char *out, size_t outSize);

// The restarted run's arguments: argument1 and argument2, each in double quotes (splitting leaves no
// quote in an argument, so none needs escaping), then the mark. False, and out empty, when it does not fit.
bool restartArguments(const char *argument1, const char *argument2, unsigned long starter, char *out,
                      size_t outSize);

// The uninstall entry's install date: the Gregorian year in four digits (more after 9999), month and day
// in two, with leading zeros: 2026, 12, 8 gives "20261208". out holds at least 16 characters.
void formatInstallDate(unsigned year, unsigned month, unsigned day, char *out);
