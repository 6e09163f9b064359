// cmdline.h: splitting the command line into arguments, the case-blind substring test and the choice
// of run mode. Pure text work, free of the platform.
#pragma once

#include <stddef.h>

// Copies argument index (1, 2, ...; the program's own name is word 0 and skipped) of the command line
// into out, NUL-terminated and cut to outSize - 1 bytes, and returns the argument's full length. A
// missing argument is the empty text. Outside double quotes each byte 1..32 separates words (a run of
// them counts once); a double quote switches quoting and is dropped; two in a row are dropped without
// switching.
size_t commandLineArgument(const char *commandLine, int index, char *out, size_t outSize);

// The first occurrence of pattern in text with a..z matched as A..Z, or null. The empty pattern is
// found at the end of any text.
const char *containsNoCase(const char *text, const char *pattern);

enum RunMode { RunGame, RunInstall, RunUninstall };

// Whether the module path names an installer: it contains "Setup.exe", or "Setup (N).exe" (with or
// without the blank), the name a browser gives a repeated download.
bool namesSetup(const char *modulePath);

// The mode of a run from the module path (argument 0) and the first two arguments; quiet tells
// whether the setup branch skips its question. A restarted run is quiet: its user answered the first.
RunMode decideRunMode(const char *modulePath, const char *argument1, const char *argument2, bool restarted,
                      bool *quiet);

// Whether argument 3 is the restart mark: RestartMark and the decimal id of the starting process.
bool isRestartMark(const char *argument3);
