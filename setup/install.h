// install.h: installing the running executable for all users, and the registry and path helpers that
// the uninstaller shares.
#pragma once

#include <stdint.h>

struct HKEY__;
typedef HKEY__ *HKEY;

// Asks (unless quiet), copies the program below the 32-bit program-files folder, registers the
// uninstall entry and creates the Start-menu shortcut. Ends the process: 0 done or declined, 1 when
// the copy failed (after requesting an elevated restart unless already elevated).
[[noreturn]] void runInstall(bool quiet);

// Expands every %NAME% in the path buffer (at least 512 characters) in place; a path whose expansion
// fails or does not fit stays as it was.
void expandEnvInPlace(char *path);

// The vendor folder below the 32-bit program files, expanded; %ProgramFiles% where the system has no
// %ProgramFiles(x86)% (32-bit Windows).
void formVendorFolder(char *path);

// Write one value of a key in the 32-bit view, creating the key; false when it cannot be opened.
bool writeRegString(HKEY root, const char *keyPath, const char *valueName, const char *text);
bool writeRegDword(HKEY root, const char *keyPath, const char *valueName, uint32_t value);

// Today's local date as eight digits yyyyMMdd, in a static buffer that the next call overwrites.
const char *installDateString();
