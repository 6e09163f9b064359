// shortcut.h: writing a shortcut file through the system's shell-link object.
#pragma once

// Writes the shortcut at linkPath. False when the shell-link object cannot be created; true otherwise,
// even when a property or the file could not be written. Ends the process with exit code 219 when the
// object lacks IShellLinkA or IPersistFile.
bool createShortcut(const char *target, const char *arguments, const char *workingDirectory,
                    const char *linkPath, const char *description, const char *iconPath, int iconIndex,
                    int showCommand);
