// common.h: what the installer and the uninstaller share: the run's own path and arguments, the expanded
// locations, closing a running copy of the game, and the one elevated restart of a setup run.
#pragma once

// The system limits a command line to 32767 characters, so every argument and the module path fit
// whole: each is tested on its own complete text.
enum { ArgumentCapacity = 32768 };

// How long a restarted run waits for the process that started it to end.
enum { StarterWaitMilliseconds = 5000 };

struct SetupRun {
    char modulePath[ArgumentCapacity];       // argument 0 in the ANSI code page: the run mode is chosen by it
    wchar_t modulePathW[ArgumentCapacity];   // the same path as Windows holds it: the file copied and restarted
    char argument1[ArgumentCapacity];
    char argument2[ArgumentCapacity];
    bool restarted;                          // argument 3 is the restart mark,
    unsigned long starter;                   // naming the process that started this one
};

extern SetupRun setupRun;

// Reads the module path and the command line of this process into setupRun.
void readSetupRun();

// Asks a running game window, found by its class, to quit: WM_QUIT, then WM_DESTROY, 333 ms apart.
void closeRunningInstance();

// Expands every %NAME% in the path buffer (at least 512 characters) in place; a path whose expansion
// fails or does not fit stays as it was.
void expandEnvInPlace(char *path);

// The vendor folder below the 32-bit program files, expanded; %ProgramFiles% where the system has no
// %ProgramFiles(x86)% (32-bit Windows).
void formVendorFolder(char *path);

// Whether the process token is elevated.
bool runsElevated();

// Starts this program again with administrator rights (the verb "runas"), with argument1, argument2 and
// the restart mark, and does not wait for it. True once the new process has started; false when the
// user refused the elevation or it could not be started.
bool restartElevated(const char *argument1, const char *argument2);

// In a restarted run: waits until the process that started it has ended, StarterWaitMilliseconds at most.
void waitForStarter();
