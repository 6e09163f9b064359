// startup.h: the choice of run mode at start, and the one contact between two copies of the program.
#pragma once

// Decides from the command line and the program's own path whether this run uninstalls, installs or
// plays. Returns only to play; the setup branches end the process with their exit code.
void runSetup();

// Asks a running game window, found by its class, to quit: WM_QUIT, then WM_DESTROY, 333 ms apart.
void closeRunningInstance();

// The full path of the running executable and the first argument, as runSetup read them.
const char *programPath();
const char *firstArgument();
