// startup.cpp: reading the command line and the program's path, choosing the run mode, and closing a
// running copy of the game.
#include "setup/startup.h"

#include <windows.h>

#include "setup/cmdline.h"
#include "setup/install.h"
#include "setup/uninstall.h"
#include "ui/window.h"

namespace {

// The system limits a command line to 32767 characters, so every argument and the module path fit
// whole: each is tested on its own complete text.
enum { ArgumentCapacity = 32768 };
char modulePath[ArgumentCapacity];
char argument1[ArgumentCapacity];
char argument2[ArgumentCapacity];

}  // namespace

const char *programPath()
{
    return modulePath;
}

const char *firstArgument()
{
    return argument1;
}

void runSetup()
{
    const char *commandLine = GetCommandLineA();
    const DWORD length = GetModuleFileNameA(nullptr, modulePath, ArgumentCapacity);
    modulePath[length < ArgumentCapacity ? length : ArgumentCapacity - 1] = '\0';
    commandLineArgument(commandLine, 1, argument1, ArgumentCapacity);
    commandLineArgument(commandLine, 2, argument2, ArgumentCapacity);

    bool quiet = false;
    switch (decideRunMode(modulePath, argument1, argument2, &quiet)) {
    case RunUninstall:
        runUninstall(quiet);
        break;
    case RunInstall:
        runInstall(quiet);
        break;
    case RunGame:
        break;
    }
}

void closeRunningInstance()
{
    HWND window = FindWindowA(MainWindowClass, nullptr);
    if (window != nullptr)
        PostMessageA(window, WM_QUIT, 0, 0);
    Sleep(333);
    window = FindWindowA(MainWindowClass, nullptr);
    if (window != nullptr)
        PostMessageA(window, WM_DESTROY, 0, 0);
    Sleep(333);
}
