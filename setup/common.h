// common.h: what the installer and the uninstaller share: the run's own path and arguments, the expanded
// locations, closing a running copy of the game, a file set aside until the next start of Windows, and
// the one elevated restart of a setup run.
#pragma once

#include "setup/locations.h"

// The system limits a command line to 32767 characters, so every argument and the module path fit
// whole: each is tested on its own complete text.
enum { ArgumentCapacity = 32768 };

enum {
    // How long a run waits for its elevated restart, which asks nothing and is done in seconds (the
    // removal of the folders runs on after it, without it).
    ElevatedRunWaitMilliseconds = 60000,
    // How long setup waits for a running game it has asked to quit: its file is then free.
    GameEndWaitMilliseconds = 5000,
};

struct SetupRun {
    char modulePath[ArgumentCapacity];       // argument 0 in the ANSI code page: the run mode is chosen by it
    wchar_t modulePathW[ArgumentCapacity];   // the same path as Windows holds it: the file copied and restarted
    char argument1[ArgumentCapacity];
    char argument2[ArgumentCapacity];
    bool restarted;                          // argument 3 is the restart mark
};

extern SetupRun setupRun;

// Reads the module path and the command line of this process into setupRun.
void readSetupRun();

// Asks a running game window, found by its class, to quit: WM_QUIT, then WM_DESTROY, 333 ms apart; then
// waits until its process has ended, GameEndWaitMilliseconds at most.
void closeRunningInstance();

// Expands every %NAME% in the path buffer (at least 512 characters) in place; a path whose expansion
// fails or does not fit stays as it was.
void expandEnvInPlace(char *path);

// The vendor folder below the 32-bit program files, expanded; %ProgramFiles% where the system has no
// %ProgramFiles(x86)% (32-bit Windows).
void formVendorFolder(char *path);

// Renames the file, in its folder, to a name that no installation gives a file (its own name, this
// process's id, a count, ".old"); aside receives it (AsideCapacity). False when it cannot be renamed. A
// program that runs from the file goes on from the new name.
enum { AsideCapacity = PathCapacity + 32 };
bool renameAside(const char *file, char *aside);

// Has the file, or the folder where it is empty by then, deleted when Windows next starts.
void deleteAtRestart(const char *path);

// Whether the process token is elevated.
bool runsElevated();

// Starts this program again with administrator rights (the verb "runas"), with argument1, argument2 and
// the restart mark, and waits for it, ElevatedRunWaitMilliseconds at most. Returns its exit code, whatever
// its value; refusedCode when the user refused the elevation or it could not be started; unfinishedCode
// when it has not ended in time (or cannot be waited for).
int runElevated(const char *argument1, const char *argument2, int refusedCode, int unfinishedCode);
