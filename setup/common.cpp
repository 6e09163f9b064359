// common.cpp: the setup run's path and arguments, locations, closing a running copy, the elevated restart.
#include "setup/common.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "setup/cmdline.h"
#include "setup/locations.h"
#include "setup/system_dll.h"
#include "ui/frame.h"

SetupRun setupRun;

void readSetupRun()
{
    const DWORD length = GetModuleFileNameA(nullptr, setupRun.modulePath, ArgumentCapacity);
    setupRun.modulePath[length < ArgumentCapacity ? length : ArgumentCapacity - 1] = '\0';
    // The ANSI path turns every character outside the code page into '?'; files are named by this one.
    const DWORD wideLength = GetModuleFileNameW(nullptr, setupRun.modulePathW, ArgumentCapacity);
    setupRun.modulePathW[wideLength < ArgumentCapacity ? wideLength : ArgumentCapacity - 1] = L'\0';

    const char *commandLine = GetCommandLineA();
    commandLineArgument(commandLine, 1, setupRun.argument1, ArgumentCapacity);
    commandLineArgument(commandLine, 2, setupRun.argument2, ArgumentCapacity);
    static char argument3[ArgumentCapacity];
    commandLineArgument(commandLine, 3, argument3, ArgumentCapacity);
    setupRun.restarted = isRestartMark(argument3);
}

void closeRunningInstance()
{
    HWND window = FindWindowA(MainWindowClass, nullptr);
    HANDLE running = nullptr;
    if (window != nullptr) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        running = OpenProcess(SYNCHRONIZE, FALSE, id);
        PostMessageA(window, WM_QUIT, 0, 0);
    }
    Sleep(333);
    window = FindWindowA(MainWindowClass, nullptr);
    if (window != nullptr)
        PostMessageA(window, WM_DESTROY, 0, 0);
    Sleep(333);
    // A running program's file cannot be replaced or deleted until its process has ended, some time
    // after its window has gone.
    if (running != nullptr) {
        if (const auto waitFor = SYSTEM_FUNCTION("kernel32.dll", WaitForSingleObject))
            waitFor(running, GameEndWaitMilliseconds);
        CloseHandle(running);
    }
}

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

bool renameAside(const char *file, char *aside)
{
    const auto moveFile = SYSTEM_FUNCTION("kernel32.dll", MoveFileExA);
    if (moveFile == nullptr || lstrlenA(file) >= PathCapacity)
        return false;
    // A name taken already (a file renamed before, from which a game may still run) is not replaced.
    for (unsigned count = 0; count < 16; ++count) {
        wsprintfA(aside, "%s.%lu-%u.old", file, GetCurrentProcessId(), count);
        if (moveFile(file, aside, 0))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

void deleteAtRestart(const char *path)
{
    if (const auto moveFile = SYSTEM_FUNCTION("kernel32.dll", MoveFileExA))
        moveFile(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
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

int runElevated(const char *argument1, const char *argument2, int refusedCode, int unfinishedCode)
{
    static char arguments[ArgumentCapacity];
    static wchar_t wideArguments[ArgumentCapacity];
    if (!restartArguments(argument1, argument2, GetCurrentProcessId(), arguments, sizeof arguments) ||
        MultiByteToWideChar(CP_ACP, 0, arguments, -1, wideArguments, ArgumentCapacity) == 0)
        return refusedCode;
    const auto shellExecuteEx = SYSTEM_FUNCTION("shell32.dll", ShellExecuteExW);
    const auto waitFor = SYSTEM_FUNCTION("kernel32.dll", WaitForSingleObject);
    const auto getExitCode = SYSTEM_FUNCTION("kernel32.dll", GetExitCodeProcess);
    if (shellExecuteEx == nullptr || waitFor == nullptr || getExitCode == nullptr)
        return refusedCode;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // NOCLOSEPROCESS: the process handle, to wait for. NOZONECHECKS: this very file runs already; a
    // download mark would bring the attachment check back, which fails silently under NO_UI. NO_UI: a
    // refusal is told by the exit code alone.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOZONECHECKS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = setupRun.modulePathW;
    info.lpParameters = wideArguments;
    info.nShow = SW_SHOWNORMAL;
    // The shell may hand the start to extensions of its own, which need COM in a single-threaded apartment.
    const auto coInitializeEx = SYSTEM_FUNCTION("ole32.dll", CoInitializeEx);
    const auto coUninitialize = SYSTEM_FUNCTION("ole32.dll", CoUninitialize);
    const bool com = coInitializeEx != nullptr && coUninitialize != nullptr &&
                     SUCCEEDED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    const BOOL started = shellExecuteEx(&info);
    if (com)
        coUninitialize();
    if (!started)
        return refusedCode;
    if (info.hProcess == nullptr)
        return unfinishedCode;
    DWORD code = 0;
    const bool ended =
        waitFor(info.hProcess, ElevatedRunWaitMilliseconds) == WAIT_OBJECT_0 && getExitCode(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return ended ? static_cast<int>(code) : unfinishedCode;
}
