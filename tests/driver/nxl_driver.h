// nxl_driver.h: drives a real nxl.exe from outside as a user would: starts it, finds its window and
// boxes, sends clicks and keys, reads its title, its pixels and (through a probe) its menu.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

std::wstring exeFolder();
// The program under test: NOXEL_PROGRAM when set (the shipped 32-bit file, say), otherwise the nxl.exe
// built beside the driver. Its folder also holds the probe of its own width.
std::wstring program();
// How long a start may take until the program's first window: NOXEL_START_TIMEOUT_MS, default 10 s.
DWORD startTimeout();

// A visible top-level window of the process, of the class (any unowned window when className is null).
HWND findTopLevel(DWORD pid, const wchar_t *className);
std::string utf8(const std::wstring &text);

struct Box {
    HWND window = nullptr;
    std::wstring caption, text;
    std::vector<std::wstring> buttons;   // labels in order
    std::wstring defaultButton;
    bool valid() const { return window != nullptr; }
};

// The box's caption, text and buttons; an invalid Box for no window.
Box readBox(HWND window);

// 'X' Cross, 'O' Ring, '.' empty, read from the painted pixels, squares 1..9 at indices 0..8.
using Board = std::string;

class Game {
public:
    // Starts exe (default: the program under test) with the arguments and, unless told otherwise,
    // waits for its game window. Under Wine the program's language follows LC_ALL of the driver.
    explicit Game(const std::wstring &arguments = L"", const std::wstring &exe = L"", bool waitForWindow = true);
    ~Game();

    HWND window() const { return window_; }
    DWORD pid() const { return info_.dwProcessId; }
    bool running() const;
    // Waits for the process to end; returns its exit code, or STILL_ACTIVE after the timeout.
    DWORD waitExit(DWORD milliseconds = 10000);

    std::string titleBytes() const;
    void setClientSize(int width, int height);
    RECT clientRect() const;

    void key(UINT virtualKey);              // posted key down and up: digits and plain accelerators
    void click(int x, int y);               // posted left button down and up, client coordinates
    void command(int id);                   // posted WM_COMMAND, as a menu choice
    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Real keyboard input to the foreground window: for Ctrl, Alt and F1.
    void input(std::initializer_list<WORD> keys);

    // The pixels of the client area, 0x00RRGGBB.
    std::vector<uint32_t> pixels(int *width, int *height) const;
    Board board() const;
    // Waits until the board reads as wanted (or the timeout); returns what it reads last.
    Board waitBoard(const std::string &wanted, DWORD milliseconds = 5000) const;
    // Waits until the board differs from before.
    Board waitChange(const Board &before, DWORD milliseconds = 5000) const;

    Box findBox() const;
    Box waitBox(DWORD milliseconds = 5000) const;
    bool noBoxFor(DWORD milliseconds) const;
    void answer(const Box &box, int buttonId) const;   // IDOK, IDYES, IDNO, IDCANCEL
    void moveBoxAside(const Box &box) const;

    // The probe's report: class and menu tree, one line each.
    std::vector<std::string> probe() const;

private:
    PROCESS_INFORMATION info_ = {};
    HWND window_ = nullptr;
};

}  // namespace driver
