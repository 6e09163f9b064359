// probe.cpp: loaded into a running nxl.exe by the driver, reports beside itself (probe-<pid>.txt) what another
// process cannot read: the menu tree after a WM_INITMENU, the class's icon, the library search, GDI objects.
#include <windows.h>

#include <stdio.h>

#include "tests/driver/find_window.h"

namespace {

void reportMenu(FILE *out, HMENU menu, const char *path)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t label[256] = L"";
        MENUITEMINFOW info = {sizeof info, MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING, 0, 0, 0,
                              nullptr, nullptr, nullptr, 0, label, 255, nullptr};
        GetMenuItemInfoW(menu, i, TRUE, &info);
        char here[32];
        snprintf(here, sizeof here, "%s%d", path, i);
        if (info.fType & MFT_SEPARATOR) {
            fprintf(out, "%s separator\n", here);
            continue;
        }
        fprintf(out, "%s %s %s%s ", here, info.hSubMenu ? "popup" : "item",
                info.fState & MFS_CHECKED ? "checked" : "unchecked", info.fState & MFS_GRAYED ? " grayed" : "");
        if (!info.hSubMenu)
            fprintf(out, "%u ", info.wID);
        char bytes[1024] = "";
        WideCharToMultiByte(CP_UTF8, 0, label, -1, bytes, sizeof bytes, nullptr, nullptr);
        fprintf(out, "%s\n", bytes);
        if (info.hSubMenu) {
            char sub[32];
            snprintf(sub, sizeof sub, "%s.", here);
            reportMenu(out, info.hSubMenu, sub);
        }
    }
}

// The used entries of the GDI handle table (the PEB's GdiSharedHandleTable): under Wine 24 bytes each, the
// type in byte 14, in 32-bit and 64-bit processes alike, as on 64-bit Windows.
const BYTE *gdiHandleTable()
{
// GCC 12 takes the segment-relative read inside NtCurrentTeb for an access to an array of no elements.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const BYTE *teb = reinterpret_cast<const BYTE *>(NtCurrentTeb());
#pragma GCC diagnostic pop
#ifdef _WIN64
    const BYTE *peb = *reinterpret_cast<const BYTE *const *>(teb + 0x60);
    return *reinterpret_cast<const BYTE *const *>(peb + 0xF8);
#else
    // A 32-bit process of a 64-bit Wine keeps it in its 64-bit PEB only, reached by the 64-bit TEB that
    // the 32-bit TEB's field GdiBatchCount holds.
    const DWORD teb64 = *reinterpret_cast<const DWORD *>(teb + 0xF70);
    if (teb64 == 0)
        return nullptr;
    const DWORD peb64 = *reinterpret_cast<const DWORD *>(static_cast<UINT_PTR>(teb64) + 0x60);
    return reinterpret_cast<const BYTE *>(*reinterpret_cast<const DWORD *>(static_cast<UINT_PTR>(peb64) + 0xF8));
#endif
}

int countGdiObjects()
{
    const BYTE *table = gdiHandleTable();
    if (table == nullptr)
        return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; ++i)
        used += table[24 * i + 14] != 0;
    return used;
}

BOOL CALLBACK countWindow(HWND, LPARAM param)
{
    ++*reinterpret_cast<int *>(param);
    return TRUE;
}

const char *loaded(HMODULE module)
{
    if (module == nullptr)
        return "refused";
    FreeLibrary(module);
    return "loaded";
}

// A copy of this probe planted beside the program, loaded by name alone and from the program's folder on purpose.
void reportLibrarySearch(FILE *out, HMODULE self)
{
    wchar_t probe[MAX_PATH], planted[MAX_PATH];
    GetModuleFileNameW(self, probe, MAX_PATH);
    GetModuleFileNameW(nullptr, planted, MAX_PATH);
    lstrcpyW(wcsrchr(planted, L'\\') + 1, L"noxel-planted.dll");
    if (!CopyFileW(probe, planted, FALSE)) {
        fprintf(out, "libraries: no copy planted\n");
        return;
    }
    const char *standard = loaded(LoadLibraryW(L"noxel-planted.dll"));
    const char *programFolder = loaded(LoadLibraryExW(L"noxel-planted.dll", nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR));
    DeleteFileW(planted);
    fprintf(out, "libraries: beside the program %s, from its folder on purpose %s\n", standard, programFolder);
}

// The widths of the images of the group icon "I" as the system reads them (PNG too), in their order.
void reportIconSizes(FILE *out, HMODULE program)
{
    auto resource = [program](const wchar_t *name, int type, DWORD *size) {
        HRSRC found = FindResourceW(program, name, MAKEINTRESOURCEW(type));
        *size = found ? SizeofResource(program, found) : 0;
        return found ? static_cast<BYTE *>(LockResource(LoadResource(program, found))) : nullptr;
    };
    DWORD size = 0;
    const BYTE *group = resource(L"I", 14, &size);   // RT_GROUP_ICON, its entries 14 bytes from byte 6
    for (int i = 0; group != nullptr && i < *reinterpret_cast<const WORD *>(group + 4); ++i) {
        BYTE *image = resource(MAKEINTRESOURCEW(*reinterpret_cast<const WORD *>(group + 18 + 14 * i)), 3, &size);
        HICON icon = image ? CreateIconFromResourceEx(image, size, TRUE, 0x30000, 0, 0, 0) : nullptr;
        ICONINFO info = {};
        BITMAP bitmap = {};
        if (icon != nullptr && GetIconInfo(icon, &info)) {
            GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
        // A PNG image counts only in 8-bit RGBA (IHDR's depth and colour type), the one form Windows reads.
        const bool png = size > 26 && image[0] == 0x89 && image[1] == 'P', rgba = png && image[24] == 8 && image[25] == 6;
        fprintf(out, "%s%ld%s", i == 0 ? " sizes=" : ",", bitmap.bmWidth, png && !rgba ? "(PNG not RGBA)" : "");
    }
}

DWORD WINAPI report(void *module)
{
    const HWND window = driver::findTopLevel(GetCurrentProcessId(), L"NXL32Cls");

    wchar_t path[MAX_PATH];
    GetModuleFileNameW(static_cast<HMODULE>(module), path, MAX_PATH);
    wchar_t *slash = wcsrchr(path, L'\\');
    swprintf(slash + 1, MAX_PATH - (slash + 1 - path), L"probe-%lu.tmp", GetCurrentProcessId());
    // An order beside the report: the window colours set inside the program (Wine keeps those read).
    lstrcpyW(wcsrchr(path, L'.'), L".in");
    if (FILE *in = _wfopen(path, L"rb")) {
        COLORREF colours[2];
        const INT elements[2] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
        if (fscanf(in, "colours %lx %lx", &colours[0], &colours[1]) == 2)
            SetSysColors(2, elements, colours);
        fclose(in);
        DeleteFileW(path);
    }
    lstrcpyW(wcsrchr(path, L'.'), L".tmp");
    FILE *out = _wfopen(path, L"wb");
    if (out == nullptr)
        return 1;
    if (window != nullptr) {
        HMENU bar = GetMenu(window);
        SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
        const HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
        const HICON named = LoadIconA(GetModuleHandleW(nullptr), "I");
        fprintf(out, "class style=%lu icon=%s", static_cast<unsigned long>(GetClassLongPtrW(window, GCL_STYLE)),
                icon != nullptr && icon == named ? "I" : "other");
        reportIconSizes(out, GetModuleHandleW(nullptr));
        fprintf(out, "\n");
        reportMenu(out, bar, "");
        reportLibrarySearch(out, static_cast<HMODULE>(module));
        int windows = 1;
        EnumChildWindows(window, countWindow, reinterpret_cast<LPARAM>(&windows));
        fprintf(out, "objects gdi=%d windows=%d\n", countGdiObjects(), windows);
    }
    fclose(out);
    wchar_t done[MAX_PATH];
    lstrcpyW(done, path);
    lstrcpyW(wcsrchr(done, L'.'), L".txt");
    MoveFileExW(path, done, MOVEFILE_REPLACE_EXISTING);
    // Unloaded again, so that the next probe runs afresh.
    FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void *)
{
    // The planted copy of the probe reports nothing.
    wchar_t name[MAX_PATH];
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameW(module, name, MAX_PATH) &&
        lstrcmpiW(wcsrchr(name, L'\\') + 1, L"nxl_probe.dll") == 0)
        CloseHandle(CreateThread(nullptr, 0, report, module, 0, nullptr));
    return TRUE;
}
