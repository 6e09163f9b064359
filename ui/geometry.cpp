// geometry.cpp: the arithmetic of painting and hit-testing the board.
#include "ui/geometry.h"

int32_t scaleToDpi(int32_t value, uint32_t dpi)
{
    // In 32 bits: the lengths are a few pixels and a DPI has at most 16 bits, so the product fits, and
    // a 32-bit build needs no 64-bit division from the compiler's library.
    const int32_t product = value * static_cast<int32_t>(dpi);
    return (product < 0 ? product - 48 : product + 48) / 96;
}

int gridLines(int32_t extent, uint32_t dpi, int32_t positions[2])
{
    // Only the multiples of the square size that lie within margin..extent - margin get a line: never
    // the one at 3 * size, so the last square takes the remainder of the division.
    int count = 0;
    const int32_t size = extent / 3, margin = scaleToDpi(5, dpi);
    if (extent - margin < margin || size == 0)
        return 0;
    for (int32_t k = 1; k <= 2; ++k) {
        const int32_t x = k * size;
        if (x >= margin && x <= extent - margin)
            positions[count++] = x;
    }
    return count;
}

BoardRect squareRect(int32_t width, int32_t height, int n)
{
    const int32_t cw = width / 3, ch = height / 3;
    const int32_t column = (n - 1) % 3, row = (n - 1) / 3;
    return {column * cw, row * ch, column == 2 ? width : (column + 1) * cw, row == 2 ? height : (row + 1) * ch};
}

BoardRect markRect(int32_t width, int32_t height, int n)
{
    const int32_t cw = width / 3, ch = height / 3;
    const int32_t ix = cw / 10, iy = ch / 10;
    const BoardRect square = squareRect(width, height, n);
    return {square.left + ix, square.top + iy, square.left + cw - ix, square.top + ch - iy};
}

int32_t markPenWidth(int32_t width, int32_t height)
{
    const int32_t cw = width / 3, ch = height / 3;
    return cw < ch ? cw / 10 : ch / 10;
}

BoardRect shadowRect(const BoardRect &mark, uint32_t dpi)
{
    const int32_t offset = scaleToDpi(2, dpi);
    return {mark.left + offset, mark.top + offset, mark.right + offset, mark.bottom + offset};
}

BoardPoint numberPosition(int32_t width, int32_t height, int n, uint32_t dpi)
{
    const BoardRect square = squareRect(width, height, n);
    return {square.left + width / 3 / 2 - scaleToDpi(2, dpi), square.top + height / 3 / 2 - scaleToDpi(10, dpi)};
}

int squareAt(int32_t width, int32_t height, uint32_t x, uint32_t y)
{
    const int32_t colW = width / 3, rowH = height / 3;
    if (colW <= 0 || rowH <= 0)
        return 0;
    uint32_t column = x / static_cast<uint32_t>(colW);
    uint32_t row = y / static_cast<uint32_t>(rowH);
    if (column > 2)
        column = 2;
    if (row > 2)
        row = 2;
    return static_cast<int>(3 * row + column + 1);
}

int stepFrom(int from, int step)
{
    const int column = (from - 1) % 3;
    const bool square = from >= 1 && from <= 9;
    switch (step) {
    case StepUp:
        return square && from > 3 ? from - 3 : 0;
    case StepDown:
        return square && from < 7 ? from + 3 : 0;
    case StepLeft:
        return square && column > 0 ? from - 1 : 0;
    case StepRight:
        return square && column < 2 ? from + 1 : 0;
    case StepNext:
        return square ? from + 1 : 0;
    case StepPrevious:
        return from > 1 && from <= LiveText ? from - 1 : 0;
    case StepFirst:
        return from == 0 ? 1 : 0;
    case StepLast:
        return from == 0 ? LiveText : 0;
    default:
        return 0;
    }
}

BoardRect focusRect(int32_t width, int32_t height, int n, uint32_t dpi)
{
    const BoardRect square = squareRect(width, height, n);
    const int32_t inset = scaleToDpi(3, dpi);
    return {square.left + inset, square.top + inset, square.right - inset, square.bottom - inset};
}

int32_t focusDotSize(uint32_t dpi)
{
    const int32_t size = scaleToDpi(1, dpi);
    return size > 0 ? size : 1;
}

BoardPoint mainWindowSize(int32_t fullScreenHeight, uint32_t dpi)
{
    const int32_t width = (2 * fullScreenHeight) / 3;
    return {width, width + scaleToDpi(20, dpi)};
}

BoardPoint centeredOrigin(const BoardRect &work, int32_t windowWidth, int32_t windowHeight)
{
    const int32_t workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    return {work.left + (workWidth - windowWidth) / 2, work.top + (workHeight - windowHeight) / 2};
}
