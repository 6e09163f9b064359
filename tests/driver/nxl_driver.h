// nxl_driver.h: drives a real nxl.exe from outside as a user would: starts it, finds its window and
// boxes, sends clicks and keys, reads its title, its pixels and (through a probe) its menu.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/driver/find_window.h"

namespace driver {

std::wstring exeFolder();
std::string contents(const std::wstring &path);   // a file's bytes, empty when it cannot be read
// The program under test: NOXEL_PROGRAM when set (the shipped 32-bit file, say), otherwise the nxl.exe
// built beside the driver. Its folder also holds the probe of its own width.
std::wstring program();
// How long a start may take until the program's first window: NOXEL_START_TIMEOUT_MS, default 10 s.
DWORD startTimeout();
// A limit set for a start of 10 s, grown or shrunk like the start's: one scale for every limit, so
// that a slow run (the shipped file through qemu) waits longer instead of failing.
DWORD scaled(DWORD milliseconds);

// Asks the condition every 30 ms until it holds or the time is up (scaled); returns its last answer.
bool waitUntil(const std::function<bool()> &condition, DWORD milliseconds = 5000);

struct Box {
    HWND window = nullptr;
    std::wstring caption, text;
    std::vector<std::wstring> buttons;   // labels in order
    std::wstring defaultButton;
    bool valid() const { return window != nullptr; }
    std::wstring shown() const { return caption + L"|" + text; }   // empty caption and text: no box
};

Box readBox(HWND window);
// Waits until the box that find names has its buttons, the default one among them, and reads it.
Box waitBox(const std::function<HWND()> &find, DWORD milliseconds);

// 'X' Cross, 'O' Ring, '.' empty, read from the painted pixels, squares 1..9 at indices 0..8. A board
// that cannot be read (the game has ended, no window, a client area too small) is a longer text that
// starts "no board:" and says why, so that it equals no board a test expects.
using Board = std::string;

class Game {
public:
    // Starts exe (default: the program under test) with the arguments and, unless told otherwise,
    // waits for its game window; with a token, as that token's user; on the named desktop, created if need
    // be. Under Wine the program's language follows LC_ALL of the driver.
    explicit Game(const std::wstring &arguments = L"", const std::wstring &exe = L"", bool waitForWindow = true,
                  HANDLE token = nullptr, const std::wstring &desktop = L"");
    ~Game();

    HWND window() const { return window_; }
    // Why there is no window: the start's error, or the exit code of a program that ended first.
    const std::string &startFailure() const { return startFailure_; }
    DWORD pid() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }
    bool running() const;
    // Waits for the process to end; returns its exit code, or STILL_ACTIVE after the (scaled) timeout.
    DWORD waitExit(DWORD milliseconds = 10000) const;

    std::string titleBytes() const;
    // Waits until the title reads as wanted; returns what it reads last.
    std::string waitTitle(const std::string &wanted, DWORD milliseconds = 5000) const;
    // Proves that the window has handled everything posted to it so far, before a check that nothing
    // happened: the queue is first in, first out, and a posted Mute shows in the title at once (also
    // during the computer's pause and under a box). Mute is posted twice, so the option stays as it was.
    // What they asked to be painted is painted when it returns.
    bool handledPosted();
    bool setClientSize(int width, int height);
    RECT clientRect() const;

    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { PostMessageW(window_, message, wParam, lParam); }
    // Posted key down and up: digits and plain accelerators.
    void key(UINT virtualKey) { post(WM_KEYDOWN, virtualKey, 1); post(WM_KEYUP, virtualKey, 0xC0000001); }
    // Posted left button down and up, client coordinates.
    void click(int x, int y) { post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); post(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void command(int id) { post(WM_COMMAND, static_cast<WPARAM>(id)); }   // as a menu choice
    // Real keyboard input, made to go to the window (default: the game's): for Ctrl, Alt and F1.
    void input(std::initializer_list<WORD> keys, HWND to = nullptr);

    // The pixels of the client area, 0x00RRGGBB.
    std::vector<uint32_t> pixels(int *width, int *height) const;
    Board board() const;
    // The board once two reads in a row agree, so that none is taken in the middle of a repaint.
    Board stableBoard() const;
    // Waits until the (stable) board reads as wanted, holds the condition or differs from before, or the time
    // is up; returns what it reads last.
    Board waitBoard(const std::string &wanted, DWORD milliseconds = 5000) const;
    Board waitBoard(const std::function<bool(const Board &)> &holds, DWORD milliseconds = 5000) const;
    Board waitChange(const Board &before, DWORD milliseconds = 5000) const;

    Box findBox() const;
    Box waitBox(DWORD milliseconds = 5000) const;
    void answer(const Box &box, int buttonId) const;   // IDOK, IDYES, IDNO, IDCANCEL
    void moveBoxAside(const Box &box) const;

    // The probe's report: class and menu tree, one line each. With an order ("colours <COLORREF> <COLORREF>", in hex),
    // the probe first sets the system's window and window-text colours inside the program's process.
    std::vector<std::string> probe(const std::string &order = "") const;

private:
    PROCESS_INFORMATION info_ = {};
    HDESK desktop_ = nullptr;
    HWND window_ = nullptr;
    std::string startFailure_;
};

}  // namespace driver
