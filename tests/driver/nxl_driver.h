// nxl_driver.h: drives a real nxl.exe from outside as a user would: start, window, boxes, input, pixels, probe.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/driver/find_window.h"

namespace driver {

std::wstring exeFolder();
std::string contents(const std::wstring &path);   // a file's bytes, empty when it cannot be read
// NOXEL_PROGRAM (the shipped 32-bit file, say), else the nxl.exe beside the driver; the probe lies beside it.
std::wstring program();
// A limit scaled as NOXEL_START_TIMEOUT_MS (default 10 s) is to 10 s: a slow run (qemu) waits longer, not failing.
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

// 'X', 'O' or '.' for squares 1..9, read from the pixels; one that cannot be read is "no board: <why>".
using Board = std::string;

class Game {
public:
    // Starts exe (default: program()) and waits for its game window unless told not to; with a token, as
    // its user; on the named desktop, created if need be. The language follows the driver's LC_ALL.
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
    std::string waitTitle(const std::string &wanted, DWORD milliseconds = 5000) const;   // returns the last read
    // Proves that everything posted so far is handled, and painted: Mute posted twice behind it shows in
    // the title (also in the computer's pause and under a box) and leaves the option as it was.
    bool handledPosted();
    bool setClientSize(int width, int height);

    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { PostMessageW(window_, message, wParam, lParam); }
    // Posted key down and up: digits and plain accelerators.
    void key(UINT virtualKey) { post(WM_KEYDOWN, virtualKey, 1); post(WM_KEYUP, virtualKey, 0xC0000001); }
    // Posted left button down and up, client coordinates.
    void click(int x, int y) { post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); post(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void command(int id) { post(WM_COMMAND, static_cast<WPARAM>(id)); }   // as a menu choice
    // Real keyboard input, made to go to the window (default: the game's): for Ctrl, Alt and F1.
    void input(std::initializer_list<WORD> keys, HWND to = nullptr);

    std::vector<uint32_t> pixels(int *width, int *height) const;   // the client area's, 0x00RRGGBB
    Board board() const;
    // The board once two reads in a row agree, so that none is taken in the middle of a repaint.
    Board stableBoard() const;
    // Waits until the stable board is as wanted, or holds the condition; returns the last read.
    Board waitBoard(const std::string &wanted, DWORD milliseconds = 5000) const;
    Board waitBoard(const std::function<bool(const Board &)> &holds, DWORD milliseconds = 5000) const;

    Box findBox() const;
    Box waitBox(DWORD milliseconds = 5000) const;
    void answer(const Box &box, int buttonId) const;   // IDOK, IDYES, IDNO, IDCANCEL
    void moveBoxAside(const Box &box) const;

    // The probe's report, a line each; an order "colours <window> <text>" (hex) first sets those colours inside.
    std::vector<std::string> probe(const std::string &order = "") const;

private:
    PROCESS_INFORMATION info_ = {};
    HDESK desktop_ = nullptr;
    HWND window_ = nullptr;
    std::string startFailure_;
};

}  // namespace driver
