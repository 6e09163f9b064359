// find_window.h: a process's visible top-level window, found by the driver from outside and the probe inside.
#pragma once

#include <windows.h>

namespace driver {

struct WindowSearch {
    DWORD pid;
    const wchar_t *className;
    HWND found;
};

// A named callback: a 32-bit lambda would not convert to the system's calling convention.
inline BOOL CALLBACK visitTopLevel(HWND window, LPARAM param)
{
    auto *search = reinterpret_cast<WindowSearch *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64];
    const bool classMatches = search->className == nullptr
                                  ? GetWindow(window, GW_OWNER) == nullptr
                                  : GetClassNameW(window, name, 64) && lstrcmpW(name, search->className) == 0;
    // Not IsWindowVisible: on a desktop other than the input one, the desktop window is hidden.
    if (pid != search->pid || !(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) || !classMatches)
        return TRUE;
    search->found = window;
    return FALSE;
}

// Of the class, or any unowned window when className is null; on the given desktop, else the caller's.
inline HWND findTopLevel(DWORD pid, const wchar_t *className, HDESK desktop = nullptr)
{
    WindowSearch search = {pid, className, nullptr};
    EnumDesktopWindows(desktop, visitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace driver
