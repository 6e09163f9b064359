// uninstall.h: removing the installation: shortcut, uninstall entry and both program folders.
#pragma once

// Asks (unless quiet) and removes the installation. Ends the process: 2 declined, 3 done.
[[noreturn]] void runUninstall(bool quiet);
