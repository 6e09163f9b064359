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
    // Each call adds a reference; the library stays loaded to the end of the short setup run.
    HMODULE module = LoadLibraryA(path);
    return module != nullptr ? reinterpret_cast<void *>(GetProcAddress(module, function)) : nullptr;
}
