// uninstall.h: removing the installation: shortcut, uninstall entry and both program folders.
#pragma once

// Asks (unless quiet) and removes the installation, or hands the removal to an elevated restart when
// this run may not delete the uninstall entry (or, the entry gone, the program folder left behind), and
// ends as that run ends. Returns the exit code: 2
// declined or elevation refused; 3 entry and shortcut removed and the removal of the folders started; 4
// nothing removed: the entry could not be deleted, also once elevated, or the elevated run has not
// ended in time. The installed file is renamed aside first, and it and the folders are deleted at the
// next start of Windows as well, so that a game that still runs from it delays its removal only.
int uninstallProgram(bool quiet);

// uninstallProgram, then the end of the process with its exit code.
[[noreturn]] void runUninstall(bool quiet);
