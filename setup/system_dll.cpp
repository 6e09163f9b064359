// system_dll.cpp: loading a function of a system library by its full path in the system folder.
#include "setup/system_dll.h"

#include <windows.h>

#include "setup/locations.h"

void *systemFunction(const char *library, const char *function)
{
    char path[PathCapacity];
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !appendPath(path, sizeof path, "\\") ||
        !appendPath(path, sizeof path, library))
        return nullptr;
    HMODULE module = LoadLibraryA(path);   // kept loaded to the end of the (short) setup run
    return module != nullptr ? reinterpret_cast<void *>(GetProcAddress(module, function)) : nullptr;
}

void shellExecute(void *owner, const char *verb, const char *file, const char *parameters, const char *directory,
                  int show)
{
    using ShellExecuteFunction = HINSTANCE(WINAPI *)(HWND, const char *, const char *, const char *, const char *, INT);
    const auto execute = reinterpret_cast<ShellExecuteFunction>(systemFunction("shell32.dll", "ShellExecuteA"));
    if (execute != nullptr)
        execute(static_cast<HWND>(owner), verb, file, parameters, directory, show);
}
