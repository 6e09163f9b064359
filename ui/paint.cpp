// paint.cpp: the board painted from the game record at every paint, scaled to the client area and the
// window's DPI, in the colours of the current theme.
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

// The window's DPI: GetDpiForWindow where the system has it (from Windows 10 1607 on; looked up, not
// imported, so that the program still starts on 7 and 8.1), else the device context's, the DPI the
// system started with.
UINT windowDpi(HWND window, HDC dc)
{
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    const auto forWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return forWindow != nullptr ? forWindow(window) : static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSY));
}

// The numbers' font: the system font's height at the window's DPI. The system font itself is a bitmap
// font made for the DPI the system started with, so it is only kept where both are 96 (null is
// returned); elsewhere an outline font of its kind draws the numbers sharp at any size.
HFONT createNumberFont(HDC dc, UINT dpi)
{
    const int systemDpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpi == 96 && systemDpi == 96)
        return nullptr;
    LOGFONTA font;
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), systemDpi);
    font.lfWidth = 0;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    return CreateFontIndirectA(&font);
}

// One mark, with its shadow where the colours have one, into square n of a width x height client area
// at dpi.
void drawMark(HDC dc, int32_t width, int32_t height, uint32_t dpi, const BoardColours &colours, bool isCross,
              int n)
{
    const BoardRect mark = markRect(width, height, n);
    const int32_t penWidth = markPenWidth(width, height);
    if (colours.shadows)
        drawShape(dc, shadowRect(mark, dpi), isCross, penWidth, colours.shadow);
    drawShape(dc, mark, isCross, penWidth, isCross ? colours.cross : colours.ring);
}

// The keyboard cursor's focus mark, a dotted frame scaled with dpi.
void drawFocusMark(HDC dc, const BoardRect &frame, uint32_t dpi, COLORREF colour)
{
    // Dots and gaps of the frame's width along its four sides, as a focus rectangle is drawn, at any scale.
    const int32_t dot = focusDotSize(dpi);
    HBRUSH brush = CreateSolidBrush(colour);
    auto fill = [&](int32_t x, int32_t y) {
        const RECT r = {x, y, x + dot, y + dot};
        FillRect(dc, &r, brush);
    };
    for (int32_t x = frame.left; x + dot <= frame.right; x += 2 * dot) {
        fill(x, frame.top);
        fill(x, frame.bottom - dot);
    }
    for (int32_t y = frame.top; y + dot <= frame.bottom; y += 2 * dot) {
        fill(frame.left, y);
        fill(frame.right - dot, y);
    }
    DeleteObject(brush);
}

}  // namespace

void requestRepaint(HWND window)
{
    InvalidateRgn(window, nullptr, TRUE);
}

BoardColours boardColours()
{
    HIGHCONTRASTW contrast = {sizeof contrast, 0, nullptr};
    const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), grey = RGB(0x80, 0x80, 0x80);
    if (high)
        return {GetSysColor(COLOR_WINDOW), text, text, GetSysColor(COLOR_HOTLIGHT), grey, GetSysColor(COLOR_GRAYTEXT),
                GetSysColor(COLOR_HIGHLIGHT), false};
    return {GetSysColor(COLOR_WINDOW), text, RGB(0, 0, 0xFF), RGB(0xFF, 0, 0), grey, grey, text, true};
}

void paintBoard(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    drawBoard(dc, client.right, client.bottom, windowDpi(window, dc), boardColours());
    EndPaint(window, &ps);
}

void drawBoard(HDC dc, int32_t width, int32_t height, uint32_t dpi, const BoardColours &colours)
{
    // The grid's lines are 1 pixel wide at 96 DPI, as the device context's own pen draws them.
    HPEN linePen = CreatePen(PS_SOLID, scaleToDpi(1, dpi), colours.grid);
    HGDIOBJ keptPen = SelectObject(dc, linePen);
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
    SelectObject(dc, keptPen);
    DeleteObject(linePen);

    for (int n = 1; n <= 9; ++n)
        if (game.board[n] != Empty)
            drawMark(dc, width, height, dpi, colours, game.board[n] == Cross, n);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.numbers);
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
    if (game.focusShown)
        drawFocusMark(dc, focusRect(width, height, game.cursor, dpi), dpi, colours.focus);
}
