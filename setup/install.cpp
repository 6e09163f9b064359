// install.cpp: the installer: question, folders, copy of the executable, uninstall entry, shortcut.
#include "setup/install.h"

#include <windows.h>
#include <shellapi.h>

#include "setup/locations.h"
#include "setup/shortcut.h"
#include "setup/startup.h"
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

bool runsElevated()
{
    const auto openProcessToken = SYSTEM_FUNCTION("advapi32.dll", OpenProcessToken);
    const auto getTokenInformation = SYSTEM_FUNCTION("advapi32.dll", GetTokenInformation);
    HANDLE token = nullptr;
    if (openProcessToken == nullptr || getTokenInformation == nullptr ||
        !openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const BOOL known = getTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return known && elevation.TokenIsElevated != 0;
}

bool openKeyIn32BitView(HKEY root, const char *keyPath, HKEY *key)
{
    const auto regCreateKeyEx = SYSTEM_FUNCTION("advapi32.dll", RegCreateKeyExA);
    char noClass[] = "";
    return regCreateKeyEx != nullptr &&
           regCreateKeyEx(root, keyPath, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                          nullptr, key, nullptr) == ERROR_SUCCESS;
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

void writeUninstallEntry(const char *installedExePath)
{
    char uninstall[PathCapacity + 32], quietUninstall[PathCapacity + 32];
    uninstallCommand(installedExePath, false, uninstall, sizeof uninstall);
    uninstallCommand(installedExePath, true, quietUninstall, sizeof quietUninstall);

    const char *key = UninstallKeyPath;
    writeRegString(HKEY_LOCAL_MACHINE, key, "DisplayName", DisplayName);
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
}

}  // namespace

void expandEnvInPlace(char *path)
{
    char expanded[512];
    const DWORD needed = ExpandEnvironmentStringsA(path, expanded, sizeof expanded);
    // Zero is a failure; more than the buffer means the text was not (wholly) written.
    if (needed == 0 || needed > sizeof expanded)
        return;
    lstrcpyA(path, expanded);
}

void formVendorFolder(char *path)
{
    const bool hasX86Folder = GetEnvironmentVariableA("ProgramFiles(x86)", nullptr, 0) != 0;
    lstrcpyA(path, hasX86Folder ? VendorFolderTemplate : VendorFolderFallbackTemplate);
    expandEnvInPlace(path);
}

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
    GetDateFormatA(LOCALE_SYSTEM_DEFAULT, 0, &now, "yyyyMMdd", date, sizeof date);
    return date;
}

void runInstall(bool quiet)
{
    if (!quiet && !askToInstall())
        ExitProcess(0);

    char path[PathCapacity];
    formVendorFolder(path);
    CreateDirectoryA(path, nullptr);
    appendPath(path, sizeof path, "\\nxl");
    CreateDirectoryA(path, nullptr);
    const bool fits = appendPath(path, sizeof path, "\\nxl.exe");

    if (!fits || !CopyFileA(programPath(), path, FALSE)) {
        // Missing rights: try once more with them. An installer that has them already would only
        // fail the same way again, so it stops here.
        if (!runsElevated())
            if (const auto shellExecute = SYSTEM_FUNCTION("shell32.dll", ShellExecuteA))
                shellExecute(nullptr, "runas", programPath(), firstArgument(), nullptr, SW_SHOWNORMAL);
        ExitProcess(1);
    }
    closeRunningInstance();
    writeUninstallEntry(path);

    char startMenu[PathCapacity];
    lstrcpyA(startMenu, StartMenuProgramsTemplate);
    expandEnvInPlace(startMenu);
    appendPath(startMenu, sizeof startMenu, "\\Orvane");
    CreateDirectoryA(startMenu, nullptr);
    appendPath(startMenu, sizeof startMenu, "\\nxl");
    CreateDirectoryA(startMenu, nullptr);
    appendPath(startMenu, sizeof startMenu, "\\Noxel.lnk");

    createShortcut(path, "", "", startMenu, ShortcutDescription, "", 0, 0);
    ExitProcess(0);
}
