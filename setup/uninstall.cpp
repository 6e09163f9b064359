// uninstall.cpp: the uninstaller: question, running copy, shortcut, uninstall entry, then a hidden
// command interpreter that removes both folders after this process has ended.
#include "setup/uninstall.h"

#include <windows.h>
#include <shellapi.h>

#include "setup/install.h"
#include "setup/locations.h"
#include "setup/startup.h"
#include "setup/system_dll.h"
#include "ui/message.h"
#include "ui/texts.h"

void runUninstall(bool quiet)
{
    if (!quiet && showMessage(nullptr, pickTextW(TextUninstallQuestion), pickTextW(CaptionUninstall), L"i",
                              StyleConfirm) != AnswerYes)
        ExitProcess(2);

    closeRunningInstance();

    char startMenuFolder[PathCapacity];
    lstrcpyA(startMenuFolder, StartMenuProgramsTemplate);
    appendPath(startMenuFolder, sizeof startMenuFolder, "\\Orvane\\nxl");
    expandEnvInPlace(startMenuFolder);
    char shortcutPath[PathCapacity];
    lstrcpyA(shortcutPath, startMenuFolder);
    if (appendPath(shortcutPath, sizeof shortcutPath, "\\Noxel.lnk"))
        DeleteFileA(shortcutPath);

    // The entry lives in the 32-bit view, whatever the bitness of this process.
    if (const auto regDeleteKeyEx = SYSTEM_FUNCTION("advapi32.dll", RegDeleteKeyExA))
        regDeleteKeyEx(HKEY_LOCAL_MACHINE, UninstallKeyPath, KEY_WOW64_32KEY, 0);

    char programFolder[PathCapacity];
    formVendorFolder(programFolder);
    appendPath(programFolder, sizeof programFolder, "\\nxl");

    // The interpreter by its full path, started in the system folder: a bare "cmd.exe" would be looked
    // up in the current folder first, and a current folder inside the program folder could not be removed.
    char systemFolder[PathCapacity], interpreter[PathCapacity];
    const UINT length = GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    if (length == 0 || length >= sizeof systemFolder)
        ExitProcess(3);
    lstrcpyA(interpreter, systemFolder);
    char command[2 * PathCapacity + 64];
    if (appendPath(interpreter, sizeof interpreter, "\\cmd.exe") &&
        removalCommand(startMenuFolder, programFolder, command, sizeof command))
        if (const auto shellExecute = SYSTEM_FUNCTION("shell32.dll", ShellExecuteA))
            shellExecute(nullptr, "open", interpreter, command, systemFolder, SW_HIDE);
    ExitProcess(3);
}
