// uninstall.cpp: the uninstaller: question, rights, running copy, uninstall entry, shortcut, then a
// command interpreter without a window that removes the folders once this process has ended.
#include "setup/uninstall.h"

#include <windows.h>

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

// Starts the command interpreter that removes the folders, and does not wait for it: it outlives this
// process, whose own file it removes. It is the system folder's, started there: a bare "cmd.exe" would
// be looked up in the current folder first, and a current folder inside the program folder could not
// be removed. No window at all: SW_HIDE does not keep a console host such as Windows Terminal hidden.
void startRemoval(const char *startMenuVendor, const char *programVendor)
{
    static char parameters[RemovalCommandCapacity];
    static wchar_t commandLine[PathCapacity + 16 + RemovalCommandCapacity];   // "interpreter" parameters
    wchar_t systemFolder[PathCapacity], interpreter[PathCapacity + 8];
    const UINT length = GetSystemDirectoryW(systemFolder, PathCapacity);
    const auto createProcess = SYSTEM_FUNCTION("kernel32.dll", CreateProcessW);
    if (length == 0 || length >= PathCapacity || createProcess == nullptr ||
        !removalCommand(startMenuVendor, programVendor, parameters, sizeof parameters))
        return;
    lstrcpyW(interpreter, systemFolder);
    lstrcatW(interpreter, L"\\cmd.exe");
    commandLine[0] = L'"';
    lstrcpyW(commandLine + 1, interpreter);
    lstrcatW(commandLine, L"\" ");
    const int used = lstrlenW(commandLine);
    if (MultiByteToWideChar(CP_ACP, 0, parameters, -1, commandLine + used,
                            static_cast<int>(sizeof commandLine / sizeof commandLine[0]) - used) == 0)
        return;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    if (createProcess(interpreter, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, systemFolder,
                      &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

}  // namespace

int uninstallProgram(bool quiet)
{
    if (!quiet && showMessage(nullptr, pickTextW(TextUninstallQuestion), pickTextW(CaptionUninstall), L"i",
                              StyleConfirm) != AnswerYes)
        return 2;

    char programVendor[PathCapacity], programFolder[PathCapacity];
    formVendorFolder(programVendor);
    lstrcpyA(programFolder, programVendor);
    const bool folderThere = appendPath(programFolder, sizeof programFolder, "\\nxl") &&
                             GetFileAttributesA(programFolder) != INVALID_FILE_ATTRIBUTES;
    const EntryAccess access = uninstallEntryAccess();
    // Without the entry, a program folder left behind (a removal cut short) is still to be removed, and
    // below the program files only with the rights.
    if (access == EntryProtected || (access == EntryAbsent && folderThere && !runsElevated())) {
        // Once elevated, a run that still may not is refused for good (UAC off, a standard user).
        if (setupRun.restarted)
            return 4;
        // The user has answered already: the elevated run is quiet, and its outcome is this run's.
        return runElevated("/Uninstall", "/Quiet", 2, 4);
    }

    closeRunningInstance();

    // The entry first: where it stays, so does everything it would remove.
    const auto regDeleteKeyEx = SYSTEM_FUNCTION("advapi32.dll", RegDeleteKeyExA);
    // The entry lives in the 32-bit view, whatever the bitness of this process.
    const LONG deleted = regDeleteKeyEx != nullptr
                             ? regDeleteKeyEx(HKEY_LOCAL_MACHINE, UninstallKeyPath, KEY_WOW64_32KEY, 0)
                             : ERROR_PROC_NOT_FOUND;
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
        return 4;

    char startMenuVendor[PathCapacity], shortcutPath[PathCapacity];
    lstrcpyA(startMenuVendor, StartMenuProgramsTemplate);
    appendPath(startMenuVendor, sizeof startMenuVendor, "\\Orvane");
    expandEnvInPlace(startMenuVendor);
    lstrcpyA(shortcutPath, startMenuVendor);
    if (appendPath(shortcutPath, sizeof shortcutPath, "\\nxl\\Noxel.lnk"))
        DeleteFileA(shortcutPath);

    // A game that setup cannot ask to quit (on another desktop, in another session) holds nxl.exe, and
    // the removal gives up on it: renamed aside, it goes at the next start of Windows, and the folders
    // after it, each only if it is empty then (a reinstallation in between, or a foreign file, keeps
    // its folder). That also holds where the removal cannot be started at all.
    if (folderThere) {
        char installed[PathCapacity], aside[AsideCapacity], startMenuFolder[PathCapacity];
        lstrcpyA(installed, programFolder);
        if (appendPath(installed, sizeof installed, "\\nxl.exe") && renameAside(installed, aside))
            deleteAtRestart(aside);
        lstrcpyA(startMenuFolder, startMenuVendor);
        appendPath(startMenuFolder, sizeof startMenuFolder, "\\nxl");
        const char *const folders[] = {programFolder, programVendor, startMenuFolder, startMenuVendor};
        for (const char *folder : folders)
            deleteAtRestart(folder);
    }
    startRemoval(startMenuVendor, programVendor);
    return 3;
}

void runUninstall(bool quiet)
{
    ExitProcess(uninstallProgram(quiet));
}
