// paint.cpp: the board painted from the game record at every paint, scaled to the client area.
#include "ui/paint.h"

#include <windows.h>

#include "ui/geometry.h"

namespace {

void drawShape(HDC dc, const BoardRect &r, bool isCross, int32_t penWidth, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, penWidth, colour);
    HGDIOBJ kept = SelectObject(dc, pen);
    if (isCross) {
        MoveToEx(dc, r.left, r.top, nullptr);
        LineTo(dc, r.right, r.bottom);
        MoveToEx(dc, r.left, r.bottom, nullptr);
        LineTo(dc, r.right, r.top);
    } else {
        // Equal start and end points: the whole outline of the ellipse.
        Arc(dc, r.left, r.top, r.right, r.bottom, 0, 0, 0, 0);
    }
    SelectObject(dc, kept);
    DeleteObject(pen);
}

}  // namespace

void requestRepaint(HWND window)
{
    InvalidateRgn(window, nullptr, TRUE);
}

void drawMark(HDC dc, int32_t width, int32_t height, bool isCross, int n)
{
    const BoardRect mark = markRect(width, height, n);
    const int32_t penWidth = markPenWidth(width, height);
    drawShape(dc, shadowRect(mark), isCross, penWidth, RGB(0x80, 0x80, 0x80));
    drawShape(dc, mark, isCross, penWidth, isCross ? RGB(0, 0, 0xFF) : RGB(0xFF, 0, 0));
}

void paintBoard(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int32_t width = client.right, height = client.bottom;

    int32_t lines[2];
    const int vertical = gridLines(width, lines);
    for (int i = 0; i < vertical; ++i) {
        MoveToEx(dc, lines[i], 0, nullptr);
        LineTo(dc, lines[i], height);
    }
    const int horizontal = gridLines(height, lines);
    for (int i = 0; i < horizontal; ++i) {
        MoveToEx(dc, 0, lines[i], nullptr);
        LineTo(dc, width, lines[i]);
    }

    for (int n = 1; n <= 9; ++n)
        if (game.board[n] != Empty)
            drawMark(dc, width, height, game.board[n] == Cross, n);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x80, 0x80, 0x80));
    for (int n = 1; n <= 9; ++n) {
        if (game.board[n] != Empty)
            continue;
        char text[16];
        INT_PTR value = n;   // wvsprintfA reads its arguments as a va_list of pointer-sized slots
        wvsprintfA(text, "%i", reinterpret_cast<va_list>(&value));
        const BoardPoint at = numberPosition(width, height, n);
        TextOutA(dc, at.x, at.y, text, lstrlenA(text));
    }
    EndPaint(window, &ps);
}
