// fake_system.cpp: systemFunction with token, entry, shell, waits, starts, copies, deletions and renames faked.
#include "tests/fake_system.h"

#include <shellapi.h>
#include <string.h>

#include "setup/system_dll.h"
#include "tests/utf8.h"

namespace fakesys {

std::vector<std::string> calls;
LONG entryOpenResult = ERROR_SUCCESS, entryDeleteResult = ERROR_SUCCESS;
bool elevationStarts = true, elevated = false;
DWORD waitResult = WAIT_OBJECT_0, exitCode = 0;

void reset()
{
    calls.clear();
    entryOpenResult = entryDeleteResult = ERROR_SUCCESS;
    elevationStarts = true;
    elevated = false;
    waitResult = WAIT_OBJECT_0;
    exitCode = 0;
}

namespace {

std::string hex(unsigned long value)
{
    char text[16];
    snprintf(text, sizeof text, "%lx", value);
    return text;
}

BOOL WINAPI fakeGetTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS, void *information, DWORD, DWORD *size)
{
    static_cast<TOKEN_ELEVATION *>(information)->TokenIsElevated = elevated;
    *size = sizeof(TOKEN_ELEVATION);
    return TRUE;
}

LSTATUS WINAPI fakeRegOpenKeyExA(HKEY, const char *key, DWORD, REGSAM access, HKEY *opened)
{
    calls.push_back(std::string("RegOpenKeyExA ") + key + " " + hex(access));
    *opened = nullptr;
    return entryOpenResult;
}

LSTATUS WINAPI fakeRegCreateKeyExA(HKEY root, const char *key, DWORD, char *, DWORD, REGSAM access,
                                   SECURITY_ATTRIBUTES *, HKEY *opened, DWORD *)
{
    return entryOpenResult != ERROR_SUCCESS
               ? entryOpenResult : RegCreateKeyExA(root, key, 0, nullptr, 0, access, nullptr, opened, nullptr);
}

LSTATUS WINAPI fakeRegCloseKey(HKEY key)
{
    return key == nullptr ? ERROR_SUCCESS : RegCloseKey(key);
}

LSTATUS WINAPI fakeRegDeleteKeyExA(HKEY, const char *key, REGSAM access, DWORD)
{
    calls.push_back(std::string("RegDeleteKeyExA ") + key + " " + hex(access));
    return entryDeleteResult;
}

BOOL WINAPI fakeShellExecuteExW(SHELLEXECUTEINFOW *info)
{
    calls.push_back(restartRecord(info->fMask, utf8(info->lpVerb), utf8(info->lpFile), utf8(info->lpParameters)));
    if (!elevationStarts) {
        SetLastError(ERROR_CANCELLED);
        return FALSE;
    }
    // A handle of its own, which the caller may wait for and close.
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS)
        info->hProcess = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return TRUE;
}

// A handle that the real wait refuses (a process opened without SYNCHRONIZE) fails here as well.
DWORD WINAPI fakeWaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    const bool refused = WaitForSingleObject(handle, 0) == WAIT_FAILED;
    calls.push_back("WaitForSingleObject " + std::to_string(milliseconds) + (refused ? " refused" : ""));
    return refused ? WAIT_FAILED : waitResult;
}

BOOL WINAPI fakeGetExitCodeProcess(HANDLE, DWORD *code)
{
    *code = exitCode;
    return TRUE;
}

BOOL WINAPI fakeCreateProcessW(const wchar_t *application, wchar_t *commandLine, SECURITY_ATTRIBUTES *,
                               SECURITY_ATTRIBUTES *, BOOL, DWORD flags, void *, const wchar_t *folder,
                               STARTUPINFOW *, PROCESS_INFORMATION *started)
{
    calls.push_back("CreateProcessW " + utf8(application) + "|" + utf8(commandLine) + "|" + hex(flags) + "|" +
                    utf8(folder));
    *started = PROCESS_INFORMATION{};
    return TRUE;
}

// As Windows does (Wine replaces such a file): a read-only or hidden target is not replaced.
BOOL WINAPI fakeCopyFileW(const wchar_t *source, const wchar_t *target, BOOL failIfExists)
{
    calls.push_back("CopyFileW " + utf8(target));
    const DWORD attributes = GetFileAttributesW(target);
    const bool kept =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    if (kept)
        SetLastError(ERROR_ACCESS_DENIED);   // as CopyFileW documents it: not an in-use file to set aside
    return !kept && CopyFileW(source, target, failIfExists);
}

BOOL WINAPI fakeDeleteFileW(const wchar_t *path)
{
    calls.push_back("DeleteFileW " + utf8(path));
    return DeleteFileW(path);
}

BOOL WINAPI fakeMoveFileExA(const char *from, const char *to, DWORD flags)
{
    calls.push_back(std::string("MoveFileExA ") + from + "|" + (to != nullptr ? to : "") + "|" + hex(flags));
    return (flags & MOVEFILE_DELAY_UNTIL_REBOOT) != 0 || MoveFileExA(from, to, flags);
}

}  // namespace

std::string restartRecord(unsigned long mask, const std::string &verb, const std::string &file,
                          const std::string &parameters)
{
    return "ShellExecuteExW " + hex(mask) + " " + verb + "|" + file + "|" + parameters;
}

}  // namespace fakesys

void *systemFunction(const char *library, const char *function)
{
    using namespace fakesys;
#define NOXEL_FAKE(name) {#name, reinterpret_cast<void *>(fake##name)}
    const struct { const char *name; void *fake; } fakes[] = {
        NOXEL_FAKE(GetTokenInformation), NOXEL_FAKE(RegOpenKeyExA), NOXEL_FAKE(RegCreateKeyExA),
        NOXEL_FAKE(RegCloseKey), NOXEL_FAKE(RegDeleteKeyExA), NOXEL_FAKE(ShellExecuteExW),
        NOXEL_FAKE(WaitForSingleObject), NOXEL_FAKE(GetExitCodeProcess), NOXEL_FAKE(CreateProcessW),
        NOXEL_FAKE(CopyFileW), NOXEL_FAKE(DeleteFileW), NOXEL_FAKE(MoveFileExA),
    };
#undef NOXEL_FAKE
    for (const auto &f : fakes)
        if (strcmp(f.name, function) == 0)
            return f.fake;
    return reinterpret_cast<void *>(GetProcAddress(LoadLibraryA(library), function));
}
