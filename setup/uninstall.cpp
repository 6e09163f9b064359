// uninstall.cpp: the uninstaller: question, rights, running copy, shortcut, uninstall entry, then a hidden
// command interpreter that removes both folders after this process has ended.
#include "setup/uninstall.h"

#include <windows.h>
#include <shellapi.h>

#include "setup/common.h"
#include "setup/locations.h"
#include "setup/system_dll.h"
#include "ui/message.h"
#include "ui/texts.h"

namespace {

enum EntryAccess { EntryAbsent, EntryDeletable, EntryProtected };

// Whether this run may delete the uninstall entry: Windows starts the entry's command with the user's
// unelevated rights, and those may only read below HKEY_LOCAL_MACHINE.
EntryAccess uninstallEntryAccess()
{
    const auto regOpenKeyEx = SYSTEM_FUNCTION("advapi32.dll", RegOpenKeyExA);
    const auto regCloseKey = SYSTEM_FUNCTION("advapi32.dll", RegCloseKey);
    if (regOpenKeyEx == nullptr || regCloseKey == nullptr)
        return EntryDeletable;   // nothing to ask: the removal goes on as it would have
    HKEY key;
    const LONG result = regOpenKeyEx(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, DELETE | KEY_WOW64_32KEY, &key);
    if (result == ERROR_SUCCESS) {
        regCloseKey(key);
        return EntryDeletable;
    }
    return result == ERROR_FILE_NOT_FOUND ? EntryAbsent : EntryProtected;
}

}  // namespace

int uninstallProgram(bool quiet)
{
    if (!quiet && showMessage(nullptr, pickTextW(TextUninstallQuestion), pickTextW(CaptionUninstall), L"i",
                              StyleConfirm) != AnswerYes)
        return 2;

    // The process that restarted this one runs from the program folder, whose files cannot be removed
    // while it runs.
    if (setupRun.restarted)
        waitForStarter();
    if (uninstallEntryAccess() == EntryProtected) {
        // Once elevated, a run that still may not is refused for good (UAC off, a standard user).
        if (setupRun.restarted)
            return 4;
        // The user has answered already: the elevated run is quiet. This run ends at once, without
        // waiting, so that its file can go.
        return restartElevated("/Uninstall", "/Quiet") ? 3 : 2;
    }

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
        return 3;
    lstrcpyA(interpreter, systemFolder);
    char command[2 * PathCapacity + 64];
    if (appendPath(interpreter, sizeof interpreter, "\\cmd.exe") &&
        removalCommand(startMenuFolder, programFolder, command, sizeof command))
        if (const auto shellExecute = SYSTEM_FUNCTION("shell32.dll", ShellExecuteA))
            shellExecute(nullptr, "open", interpreter, command, systemFolder, SW_HIDE);
    return 3;
}

void runUninstall(bool quiet)
{
    ExitProcess(uninstallProgram(quiet));
}
