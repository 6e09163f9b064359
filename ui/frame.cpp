// frame.cpp: the main window's class name, its title with the options, and its centring on the work
// area.
#include "ui/frame.h"

#include "ui/geometry.h"
#include "ui/texts.h"

const char MainWindowClass[] = "NXL32Cls";

namespace {

char statusText[1025];

void appendText(char *out, size_t size, const char *text)
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

void composeStatus(char *out, size_t size)
{
    out[0] = '\0';
    appendText(out, size, pickText(game.starter == ComputerOpens ? TitleComputerBegins : TitleHumanBegins));
    if (game.muted)
        appendText(out, size, pickText(TitleMuted));
}

void updateTitle(HWND window)
{
    composeStatus(statusText, sizeof statusText);
    char title[8 + sizeof statusText];   // "Noxel" and the status
    lstrcpyA(title, TitleBase);
    lstrcatA(title, statusText);
    SetWindowTextA(window, title);
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
