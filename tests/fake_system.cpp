// fake_system.cpp: systemFunction with the token, the uninstall entry, the shell and stream deletion
// faked and recorded; every other function is the system's own.
#include "tests/fake_system.h"

#include <shellapi.h>
#include <string.h>

#include "setup/system_dll.h"
#include "tests/utf8.h"

namespace fakesys {

std::vector<std::string> calls;
DWORD firstCallTick = 0;
LONG entryOpenResult = ERROR_SUCCESS;
bool elevationStarts = true;
bool elevated = false;

void reset()
{
    calls.clear();
    entryOpenResult = ERROR_SUCCESS;
    elevationStarts = true;
    elevated = false;
}

std::vector<std::string> callsOf(const std::string &prefix)
{
    std::vector<std::string> found;
    for (const std::string &call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    return found;
}

namespace {

void record(const std::string &call)
{
    if (calls.empty())
        firstCallTick = GetTickCount();
    calls.push_back(call);
}

BOOL WINAPI fakeGetTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS, void *information, DWORD, DWORD *size)
{
    static_cast<TOKEN_ELEVATION *>(information)->TokenIsElevated = elevated;
    *size = sizeof(TOKEN_ELEVATION);
    return TRUE;
}

LSTATUS WINAPI fakeRegOpenKeyExA(HKEY, const char *key, DWORD, REGSAM access, HKEY *opened)
{
    char text[32];
    snprintf(text, sizeof text, " %lx", static_cast<unsigned long>(access));
    record(std::string("RegOpenKeyExA ") + key + text);
    *opened = nullptr;
    return entryOpenResult;
}

LSTATUS WINAPI fakeRegCloseKey(HKEY key)
{
    return key == nullptr ? ERROR_SUCCESS : RegCloseKey(key);
}

LSTATUS WINAPI fakeRegDeleteKeyExA(HKEY, const char *key, REGSAM, DWORD)
{
    record(std::string("RegDeleteKeyExA ") + key);
    return ERROR_SUCCESS;
}

HINSTANCE WINAPI fakeShellExecuteA(HWND, const char *verb, const char *file, const char *parameters, const char *,
                                   INT)
{
    record(std::string("ShellExecuteA ") + verb + "|" + file + "|" + parameters);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

BOOL WINAPI fakeShellExecuteExW(SHELLEXECUTEINFOW *info)
{
    record("ShellExecuteExW " + utf8(info->lpVerb) + "|" + utf8(info->lpFile) + "|" + utf8(info->lpParameters));
    if (!elevationStarts)
        SetLastError(ERROR_CANCELLED);
    return elevationStarts;
}

BOOL WINAPI fakeDeleteFileW(const wchar_t *path)
{
    record("DeleteFileW " + utf8(path));
    return DeleteFileW(path);
}

}  // namespace

}  // namespace fakesys

void *systemFunction(const char *library, const char *function)
{
    using namespace fakesys;
    const struct {
        const char *name;
        void *fake;
    } fakes[] = {
        {"GetTokenInformation", reinterpret_cast<void *>(fakeGetTokenInformation)},
        {"RegOpenKeyExA", reinterpret_cast<void *>(fakeRegOpenKeyExA)},
        {"RegCloseKey", reinterpret_cast<void *>(fakeRegCloseKey)},
        {"RegDeleteKeyExA", reinterpret_cast<void *>(fakeRegDeleteKeyExA)},
        {"ShellExecuteA", reinterpret_cast<void *>(fakeShellExecuteA)},
        {"ShellExecuteExW", reinterpret_cast<void *>(fakeShellExecuteExW)},
        {"DeleteFileW", reinterpret_cast<void *>(fakeDeleteFileW)},
    };
    for (const auto &f : fakes)
        if (strcmp(f.name, function) == 0)
            return f.fake;
    return reinterpret_cast<void *>(GetProcAddress(LoadLibraryA(library), function));
}
