// shortcut.cpp: the Start-menu shortcut, written through IShellLinkA and saved through IPersistFile.
#include "setup/shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "setup/locations.h"
#include "setup/system_dll.h"


long createShortcut(const char *target, const char *arguments, const char *workingDirectory,
                    const char *linkPath, const char *description, const char *iconPath, int iconIndex,
                    int showCommand)
{
    char directory[PathCapacity];
    shortcutWorkingDirectory(workingDirectory, target, directory, sizeof directory);

    const auto coInitialize = SYSTEM_FUNCTION("ole32.dll", CoInitialize);
    const auto coCreateInstance = SYSTEM_FUNCTION("ole32.dll", CoCreateInstance);
    const auto coUninitialize = SYSTEM_FUNCTION("ole32.dll", CoUninitialize);
    if (coInitialize == nullptr || coCreateInstance == nullptr || coUninitialize == nullptr)
        return E_NOINTERFACE;

    coInitialize(nullptr);
    IUnknown *object = nullptr;
    const HRESULT created = coCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             IID_IUnknown, reinterpret_cast<void **>(&object));
    if (created != S_OK) {
        coUninitialize();
        return FAILED(created) ? created : E_FAIL;
    }
    IShellLinkA *link = nullptr;
    if (FAILED(object->QueryInterface(IID_IShellLinkA, reinterpret_cast<void **>(&link))))
        ExitProcess(219);
    link->SetPath(target);
    link->SetArguments(arguments);
    link->SetWorkingDirectory(directory);
    link->SetDescription(description);
    link->SetIconLocation(iconPath, iconIndex);
    link->SetShowCmd(showCommand);

    IPersistFile *file = nullptr;
    if (FAILED(object->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))))
        ExitProcess(219);
    wchar_t widePath[PathCapacity];
    const HRESULT saved = MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, PathCapacity) != 0
                              ? file->Save(widePath, FALSE)
                              : E_INVALIDARG;

    file->Release();
    link->Release();
    object->Release();
    coUninitialize();
    return saved;
}
