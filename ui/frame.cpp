// frame.cpp: the main window's class name, its title with the options, and its centring on the work
// area.
#include "ui/frame.h"

#include "ui/geometry.h"
#include "ui/texts.h"

const char MainWindowClass[] = "NXL32Cls";

namespace {

wchar_t statusText[1025];

void appendText(wchar_t *out, size_t size, const wchar_t *text)
{
    size_t at = 0;
    while (at + 1 < size && out[at] != '\0')
        ++at;
    while (at + 1 < size && *text != '\0')
        out[at++] = *text++;
    if (size != 0)
        out[at] = '\0';
}

}  // namespace

void composeStatus(wchar_t *out, size_t size)
{
    out[0] = L'\0';
    appendText(out, size, pickTextW(game.starter == ComputerOpens ? TitleComputerBegins : TitleHumanBegins));
    if (game.muted)
        appendText(out, size, pickTextW(TitleMuted));
}

void updateTitle(HWND window)
{
    composeStatus(statusText, sizeof statusText / sizeof statusText[0]);
    wchar_t title[8 + sizeof statusText / sizeof statusText[0]];   // "Noxel" and the status
    lstrcpyW(title, TitleBase);
    lstrcatW(title, statusText);
    // UTF-16: the no-break space is the byte 0xA0 only in some code pages (a lead byte in 936 and 949).
    // The window's procedure is ANSI, and SetWindowTextW would hand it the text converted to the code
    // page (932 turns U+00A0 into "?"); the default handling stores the UTF-16 text as it is.
    DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
}

void centerWindow(HWND window)
{
    RECT work, outer;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &outer);
    const BoardPoint at = centeredOrigin({work.left, work.top, work.right, work.bottom},
                                         outer.right - outer.left, outer.bottom - outer.top);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
