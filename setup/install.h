// install.h: installing the running executable for all users, and the registry helpers it writes the
// uninstall entry with.
#pragma once

#include <stdint.h>

struct HKEY__;
typedef HKEY__ *HKEY;

// Asks (unless quiet), asks a running game to quit, copies the program below the 32-bit program-files
// folder, registers the uninstall entry and creates the Start-menu shortcut. Returns the exit code: 0
// done or declined, 1 when the copy, the entry or the shortcut failed. Where one fails for want of
// rights, the exit code is that of the installer restarted elevated; 1 when that was refused or has not
// ended in time. An installed file in use by a game that was not asked to quit is replaced all the same,
// once the run has the rights (its old file is deleted at the next start of Windows).
int installProgram(bool quiet);

// installProgram, then the end of the process with its exit code.
[[noreturn]] void runInstall(bool quiet);

// Write one value of a key in the 32-bit view, creating the key; false when it cannot be opened.
bool writeRegString(HKEY root, const char *keyPath, const char *valueName, const char *text);
bool writeRegDword(HKEY root, const char *keyPath, const char *valueName, uint32_t value);

// Today's local date as eight digits yyyyMMdd, in a static buffer that the next call overwrites.
const char *installDateString();
