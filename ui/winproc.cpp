// winproc.cpp: the window procedure of the main window, one handler per message.
#include "ui/winproc.h"

#include "game/flow.h"
#include "ui/access.h"
#include "ui/frame.h"
#include "ui/geometry.h"
#include "ui/message.h"
#include "ui/paint.h"
#include "ui/texts.h"

// The headers hide it below the Windows version this program is built for (Vista); Windows sends it
// from 8.1 on, earlier systems never.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

LRESULT onCreate(HWND window)
{
    game.starter = HumanOpens;
    centerWindow(window);
    startNewGame(window);
    updateTitle(window);
    return 0;
}

// Windows 10 1607 knows per-monitor awareness only in its first version, which leaves the title bar
// and the menu at the system's DPI unless the window asks, while it is created, for them to follow
// the display's; the second version scales them by itself and refuses the request. Looked up, not
// imported: older systems lack the function.
LRESULT onNcCreate(HWND window, WPARAM wParam, LPARAM lParam)
{
    typedef BOOL(WINAPI * NonClientScaling)(HWND);
    const auto scaleNonClient = reinterpret_cast<NonClientScaling>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "EnableNonClientDpiScaling")));
    if (scaleNonClient != nullptr)
        scaleNonClient(window);
    return DefWindowProcA(window, WM_NCCREATE, wParam, lParam);
}

LRESULT onDestroy()
{
    // While busy a move or an ending is suspended in a nested loop; the quit request would end it.
    if (!game.busy)
        PostQuitMessage(0);
    return 0;
}

LRESULT onClose(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (game.busy) {
        refuseWhileBusy();
        return 0;
    }
    if (game.moveCount != 0 &&
        showMessage(window, pickTextW(TextExitQuestion), pickTextW(CaptionExit), L"I", StyleConfirm) !=
            AnswerYes)
        return 0;
    return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
}

LRESULT onHelp(HWND window)
{
    if (!game.aboutOpen)
        SendMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
    return 0;
}

// A square played by a digit, a click or its default action takes the cursor with it, unless the
// input is dropped because a move or an ending is in progress.
void playSquare(HWND window, int square)
{
    if (!game.busy)
        moveCursor(window, square);
    playHumanMove(window, square);
}

// The focus mark shows from the first key that works the cursor, as Windows shows focus to keyboard
// users only, and hides again with a click.
void showFocusMark(HWND window, bool shown)
{
    if (game.focusShown == shown)
        return;
    game.focusShown = shown;
    requestRepaint(window);
}

LRESULT onKeyDown(HWND window, WPARAM wParam)
{
    const unsigned key = LOWORD(wParam);
    if (key >= '1' && key <= '9') {
        playSquare(window, static_cast<int>(key - '0'));
    } else if (key >= VK_LEFT && key <= VK_DOWN) {
        static const BoardStep arrows[] = {StepLeft, StepUp, StepRight, StepDown};
        showFocusMark(window, true);
        const int to = stepFrom(game.cursor, arrows[key - VK_LEFT]);
        if (to != 0)
            moveCursor(window, to);
    } else if (key == VK_RETURN || key == VK_SPACE) {
        showFocusMark(window, true);
        playHumanMove(window, game.cursor);
    }
    return 0;
}

void showAbout(HWND window)
{
    game.aboutOpen = true;
    const wchar_t *rules = pickTextW(TextRules);
    const int headerLength = lstrlenW(AboutHeader), rulesLength = lstrlenW(rules);
    HANDLE heap = GetProcessHeap();
    auto *text = static_cast<wchar_t *>(
        HeapAlloc(heap, 0, (headerLength + rulesLength + 1) * sizeof(wchar_t)));
    if (text != nullptr) {
        lstrcpyW(text, AboutHeader);
        lstrcpyW(text + headerLength, rules);
        showMessage(window, text, pickTextW(CaptionAbout), L"I", StyleNotice);
        HeapFree(heap, 0, text);
    }
    game.aboutOpen = false;
}

void chooseStarter(HWND window, int id)
{
    // The opening side may change only between games.
    if (game.moveCount != 0)
        return;
    game.starter = static_cast<Starter>(id - 110);
    updateTitle(window);
    requestRepaint(window);
}

LRESULT onCommand(HWND window, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    switch (id) {
    case IDM_NEW_GAME:
        startNewGame(window);
        requestRepaint(window);
        break;
    case IDM_HUMAN_OPENS:
    case IDM_COMPUTER_OPENS:
        chooseStarter(window, id);
        break;
    case IDM_MUTE:
        game.muted = !game.muted;
        updateTitle(window);
        break;
    case IDM_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case IDM_ABOUT:
        showAbout(window);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT onInitMenu(WPARAM wParam)
{
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    for (int id = IDM_HUMAN_OPENS; id <= IDM_COMPUTER_OPENS; ++id) {
        CheckMenuItem(menu, id, MF_BYCOMMAND | (id - 110 == game.starter ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(menu, id, MF_BYCOMMAND | (game.moveCount == 0 ? MF_ENABLED : MF_GRAYED));
    }
    CheckMenuItem(menu, IDM_MUTE, MF_BYCOMMAND | (game.muted ? MF_CHECKED : MF_UNCHECKED));
    return 0;
}

// The window went onto a display of another scale: it takes the size and place the system suggests,
// which keep its look at the new DPI, and is painted anew at that DPI.
LRESULT onDpiChanged(HWND window, LPARAM lParam)
{
    const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    requestRepaint(window);
    return 0;
}

}  // namespace

void cellFromClick(HWND window, LPARAM lParam)
{
    showFocusMark(window, false);
    if (game.busy)
        return;
    RECT client;
    GetClientRect(window, &client);
    const int square = squareAt(client.right, client.bottom, LOWORD(lParam), HIWORD(lParam));
    if (square != 0)
        playSquare(window, square);
}

namespace {

// A square's default action, played as a click on it would be: not while a box has disabled the window.
void playPostedSquare(HWND window, WPARAM square)
{
    if (square >= 1 && square <= 9 && IsWindowEnabled(window))
        playSquare(window, static_cast<int>(square));
}

// Only the client area is the board's own object; the sign of lParam on 64-bit is not part of the id.
LRESULT onGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)
                               ? answerAccessibleObject(window, wParam)
                               : 0;
    return result != 0 ? result : DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return onNcCreate(window, wParam, lParam);
    case WM_CREATE:
        return onCreate(window);
    case WM_DESTROY:
        return onDestroy();
    case WM_PAINT:
        paintBoard(window);
        return 0;
    case WM_CLOSE:
        return onClose(window, wParam, lParam);
    case WM_HELP:
        return onHelp(window);
    case WM_KEYDOWN:
        return onKeyDown(window, wParam);
    case WM_SETFOCUS:
        announceCursor(window);
        return 0;
    case WM_COMMAND:
        return onCommand(window, wParam);
    case WM_INITMENU:
        return onInitMenu(wParam);
    case WM_LBUTTONDOWN:
        cellFromClick(window, lParam);
        return 0;
    case PlaySquareMessage:
        playPostedSquare(window, wParam);
        return 0;
    case WM_GETOBJECT:
        return onGetObject(window, wParam, lParam);
    case WM_NCDESTROY:
        disconnectAccessibleObject();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DPICHANGED:
        return onDpiChanged(window, lParam);
    // The board's colours come from the theme: a changed theme or colour is painted at once.
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        requestRepaint(window);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
