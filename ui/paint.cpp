// paint.cpp: the board painted from the game record at every paint, scaled to the client area and the
// window's DPI.
#include "ui/paint.h"

#include <windows.h>

#include "ui/frame.h"
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

// The numbers' font: the system font's height at the window's DPI. The system font itself is a bitmap
// font made for the DPI the system started with, so it is only kept where both are 96 (null is
// returned); elsewhere the message font's face, an outline font, draws it sharp at any size.
HFONT createNumberFont(HDC dc, UINT dpi)
{
    const int systemDpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpi == 96 && systemDpi == 96)
        return nullptr;
    LOGFONTA font;
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    NONCLIENTMETRICSA metrics;
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        lstrcpyA(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), systemDpi);
    font.lfWidth = 0;
    return CreateFontIndirectA(&font);
}

}  // namespace

void requestRepaint(HWND window)
{
    InvalidateRgn(window, nullptr, TRUE);
}

void drawMark(HDC dc, int32_t width, int32_t height, uint32_t dpi, bool isCross, int n)
{
    const BoardRect mark = markRect(width, height, n);
    const int32_t penWidth = markPenWidth(width, height);
    drawShape(dc, shadowRect(mark, dpi), isCross, penWidth, RGB(0x80, 0x80, 0x80));
    drawShape(dc, mark, isCross, penWidth, isCross ? RGB(0, 0, 0xFF) : RGB(0xFF, 0, 0));
}

void paintBoard(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    const int32_t width = client.right, height = client.bottom;
    const UINT dpi = windowDpi(window);

    // The grid's lines are 1 pixel wide at 96 DPI: the device context's own pen there.
    const int32_t lineWidth = scaleToDpi(1, dpi);
    HPEN linePen = lineWidth != 1 ? CreatePen(PS_SOLID, lineWidth, RGB(0, 0, 0)) : nullptr;
    HGDIOBJ keptPen = linePen != nullptr ? SelectObject(dc, linePen) : nullptr;
    int32_t lines[2];
    const int vertical = gridLines(width, dpi, lines);
    for (int i = 0; i < vertical; ++i) {
        MoveToEx(dc, lines[i], 0, nullptr);
        LineTo(dc, lines[i], height);
    }
    const int horizontal = gridLines(height, dpi, lines);
    for (int i = 0; i < horizontal; ++i) {
        MoveToEx(dc, 0, lines[i], nullptr);
        LineTo(dc, width, lines[i]);
    }
    if (linePen != nullptr) {
        SelectObject(dc, keptPen);
        DeleteObject(linePen);
    }

    for (int n = 1; n <= 9; ++n)
        if (game.board[n] != Empty)
            drawMark(dc, width, height, dpi, game.board[n] == Cross, n);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x80, 0x80, 0x80));
    HFONT font = createNumberFont(dc, dpi);
    HGDIOBJ keptFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    for (int n = 1; n <= 9; ++n) {
        if (game.board[n] != Empty)
            continue;
        char text[16];
        INT_PTR value = n;   // wvsprintfA reads its arguments as a va_list of pointer-sized slots
        wvsprintfA(text, "%i", reinterpret_cast<va_list>(&value));
        const BoardPoint at = numberPosition(width, height, n, dpi);
        TextOutA(dc, at.x, at.y, text, lstrlenA(text));
    }
    if (font != nullptr) {
        SelectObject(dc, keptFont);
        DeleteObject(font);
    }
    EndPaint(window, &ps);
}
