// uninstall.h: removing the installation: shortcut, uninstall entry and both program folders.
#pragma once

// Asks (unless quiet) and removes the installation, or hands the removal to an elevated restart when
// this run may not delete the uninstall entry. Returns the exit code: 2 declined or elevation refused,
// 3 removed or the removal started elevated, 4 refused although restarted: nothing removed.
int uninstallProgram(bool quiet);

// uninstallProgram, then the end of the process with its exit code.
[[noreturn]] void runUninstall(bool quiet);
