// startup.h: the choice of run mode at start.
#pragma once

// Decides from the command line and the program's own path whether this run uninstalls, installs or
// plays. Returns only to play; the setup branches end the process with their exit code.
void runSetup();
