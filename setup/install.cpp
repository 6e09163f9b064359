// install.cpp: the installer: question, folders, copy of the executable, uninstall entry, shortcut.
#include "setup/install.h"

#include <windows.h>

#include "setup/common.h"
#include "setup/locations.h"
#include "setup/shortcut.h"
#include "setup/system_dll.h"
#include "ui/message.h"
#include "ui/texts.h"

namespace {

bool askToInstall()
{
    wchar_t text[128];
    lstrcpyW(text, InstallHeader);
    lstrcatW(text, pickTextW(TextInstallQuestion));
    return showMessage(nullptr, text, CaptionInstall, L"i", StyleConfirmYesDefault) == AnswerYes;
}

// The registry's answer is left as the last error.
bool openKeyIn32BitView(HKEY root, const char *keyPath, HKEY *key)
{
    const auto regCreateKeyEx = SYSTEM_FUNCTION("advapi32.dll", RegCreateKeyExA);
    char noClass[] = "";
    const LONG opened = regCreateKeyEx != nullptr
                            ? regCreateKeyEx(root, keyPath, 0, noClass, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key, nullptr)
                            : ERROR_PROC_NOT_FOUND;
    SetLastError(static_cast<DWORD>(opened));
    return opened == ERROR_SUCCESS;
}

// Sets one value of an open key and closes the key.
void setValueAndClose(HKEY key, const char *valueName, DWORD type, const void *data, DWORD size)
{
    const auto regSetValueEx = SYSTEM_FUNCTION("advapi32.dll", RegSetValueExA);
    const auto regCloseKey = SYSTEM_FUNCTION("advapi32.dll", RegCloseKey);
    if (regSetValueEx != nullptr)
        regSetValueEx(key, valueName, 0, type, static_cast<const BYTE *>(data), size);
    if (regCloseKey != nullptr)
        regCloseKey(key);
}

// False when the entry may not be written for want of rights.
bool writeUninstallEntry(const char *installedExePath)
{
    char uninstall[PathCapacity + 32], quietUninstall[PathCapacity + 32];
    uninstallCommand(installedExePath, false, uninstall, sizeof uninstall);
    uninstallCommand(installedExePath, true, quietUninstall, sizeof quietUninstall);

    const char *key = UninstallKeyPath;
    if (!writeRegString(HKEY_LOCAL_MACHINE, key, "DisplayName", DisplayName) && GetLastError() == ERROR_ACCESS_DENIED)
        return false;
    writeRegString(HKEY_LOCAL_MACHINE, key, "DisplayIcon", installedExePath);
    writeRegString(HKEY_LOCAL_MACHINE, key, "DisplayVersion", DisplayVersion);
    writeRegDword(HKEY_LOCAL_MACHINE, key, "Version", 0x01000000);
    writeRegDword(HKEY_LOCAL_MACHINE, key, "EstimatedSize", 60);
    writeRegString(HKEY_LOCAL_MACHINE, key, "InstallDate", installDateString());
    writeRegDword(HKEY_LOCAL_MACHINE, key, "NoModify", 1);
    writeRegDword(HKEY_LOCAL_MACHINE, key, "NoRepair", 1);
    writeRegString(HKEY_LOCAL_MACHINE, key, "UninstallString", uninstall);
    writeRegString(HKEY_LOCAL_MACHINE, key, "QuietUninstallString", quietUninstall);
    writeRegString(HKEY_LOCAL_MACHINE, key, "Publisher", Publisher);
    writeRegString(HKEY_LOCAL_MACHINE, key, "URLInfoAbout", ProductPage);
    return true;
}

// A copy takes the alternate data streams of its source along, and with them the mark of a downloaded
// Setup.exe ("Zone.Identifier"): Windows would warn at every start of the installed game, and a
// standard user could not clear the mark there. Usually there is none, so the result does not matter.
// Wine keeps no streams; the call goes through systemFunction, where the tests see it.
void forgetDownloadMark(const wchar_t *path)
{
    wchar_t stream[PathCapacity + 32];
    lstrcpyW(stream, path);
    lstrcatW(stream, L":Zone.Identifier");
    if (const auto deleteFile = SYSTEM_FUNCTION("kernel32.dll", DeleteFileW))
        deleteFile(stream);
}

// A game that setup cannot ask to quit (on another desktop, in another session) holds the installed
// file: it is renamed aside, where that game goes on, the copy is made anew, and the renamed file is
// deleted when Windows next starts. Nothing is ever scheduled under the installed name: an installation
// before the restart would lose its file.
bool replaceFileInUse(const char *installed, const wchar_t *target, decltype(&CopyFileW) copyFile)
{
    char aside[AsideCapacity];
    if (!renameAside(installed, aside))
        return false;
    if (!copyFile(setupRun.modulePathW, target, FALSE)) {
        if (const auto moveFile = SYSTEM_FUNCTION("kernel32.dll", MoveFileExA))
            moveFile(aside, installed, 0);   // back: the installation stays as it was
        return false;
    }
    deleteAtRestart(aside);
    return true;
}

// Missing rights: try once more with them and end as that run ends. An installer that has them
// already, or that is that second try, would only fail the same way again, so it ends with 1.
int failOrRestartElevated()
{
    if (runsElevated() || setupRun.restarted)
        return 1;
    return runElevated(setupRun.argument1, "", 1, 1);
}

}  // namespace

bool writeRegString(HKEY root, const char *keyPath, const char *valueName, const char *text)
{
    HKEY key;
    if (!openKeyIn32BitView(root, keyPath, &key))
        return false;
    setValueAndClose(key, valueName, REG_SZ, text, lstrlenA(text) + 1);
    return true;
}

bool writeRegDword(HKEY root, const char *keyPath, const char *valueName, uint32_t value)
{
    HKEY key;
    if (!openKeyIn32BitView(root, keyPath, &key))
        return false;
    const DWORD data = value;
    setValueAndClose(key, valueName, REG_DWORD, &data, sizeof data);
    return true;
}

const char *installDateString()
{
    static char date[256];
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Gregorian, as the entry's value is defined: the locale's calendar may count other years.
    formatInstallDate(now.wYear, now.wMonth, now.wDay, date);
    return date;
}

int installProgram(bool quiet)
{
    if (!quiet && !askToInstall())
        return 0;

    char path[PathCapacity];
    formVendorFolder(path);
    CreateDirectoryA(path, nullptr);
    appendPath(path, sizeof path, "\\nxl");
    CreateDirectoryA(path, nullptr);
    const bool fits = appendPath(path, sizeof path, "\\nxl.exe");

    // A running game holds its file: it is asked to quit before the copy replaces it.
    closeRunningInstance();
    wchar_t target[PathCapacity];
    const bool named = fits && MultiByteToWideChar(CP_ACP, 0, path, -1, target, PathCapacity) != 0;
    // A copy does not replace a read-only or hidden file, as an earlier installation from a CD left it.
    if (named)
        SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
    const auto copyFile = SYSTEM_FUNCTION("kernel32.dll", CopyFileW);
    if (!named || copyFile == nullptr || !copyFile(setupRun.modulePathW, target, FALSE)) {
        const bool inUse = named && copyFile != nullptr && GetLastError() == ERROR_SHARING_VIOLATION;
        if (!inUse || !(runsElevated() || setupRun.restarted) || !replaceFileInUse(path, target, copyFile))
            return failOrRestartElevated();
    }
    // A copy keeps the attributes of its source: a Setup.exe from a CD or a read-only share would give a
    // read-only nxl.exe, which the next installation could not replace.
    SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
    forgetDownloadMark(target);
    // The rights were judged by the copy alone; the entry and the shortcut may need more (a program
    // folder made writable for users): without them the installation would be half, and not listed.
    if (!writeUninstallEntry(path))
        return failOrRestartElevated();

    char startMenu[PathCapacity];
    lstrcpyA(startMenu, StartMenuProgramsTemplate);
    expandEnvInPlace(startMenu);
    // Where the folders cannot be made for want of rights, the link's save fails as "path not found"
    // (an existing folder is reported as such, whatever the rights).
    bool folderRefused = false;
    const char *const folders[] = {"\\Orvane", "\\nxl"};
    for (const char *folder : folders) {
        appendPath(startMenu, sizeof startMenu, folder);
        if (!CreateDirectoryA(startMenu, nullptr) && GetLastError() == ERROR_ACCESS_DENIED)
            folderRefused = true;
    }
    appendPath(startMenu, sizeof startMenu, "\\Noxel.lnk");

    const long saved = createShortcut(path, "", "", startMenu, ShortcutDescription, "", 0, 0);
    if (saved == E_ACCESSDENIED || (FAILED(saved) && folderRefused))
        return failOrRestartElevated();
    return 0;
}

void runInstall(bool quiet)
{
    ExitProcess(installProgram(quiet));
}
