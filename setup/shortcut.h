// shortcut.h: writing a shortcut file through the system's shell-link object.
#pragma once

// Writes the shortcut at linkPath. Returns the result of saving the file (S_OK, E_ACCESSDENIED without
// the rights, ...), or of creating the shell-link object where that failed; a property that could not be
// set goes unreported. Ends the process with exit code 219 when the object lacks IShellLinkA or
// IPersistFile.
long createShortcut(const char *target, const char *arguments, const char *workingDirectory,
                    const char *linkPath, const char *description, const char *iconPath, int iconIndex,
                    int showCommand);
