// find_window.h: a visible top-level window of a process, found by the driver from outside and by the
// probe from inside the game.
#pragma once

#include <windows.h>

namespace driver {

// Of the class, or any unowned window when className is null.
inline HWND findTopLevel(DWORD pid, const wchar_t *className)
{
    struct Search {
        DWORD pid;
        const wchar_t *className;
        HWND found;
    } search = {pid, className, nullptr};
    EnumWindows([](HWND window, LPARAM param) -> BOOL {
        auto *s = reinterpret_cast<Search *>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64];
        const bool classMatches = s->className == nullptr
                                      ? GetWindow(window, GW_OWNER) == nullptr
                                      : GetClassNameW(window, name, 64) && lstrcmpW(name, s->className) == 0;
        if (owner != s->pid || !IsWindowVisible(window) || !classMatches)
            return TRUE;
        s->found = window;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace driver
