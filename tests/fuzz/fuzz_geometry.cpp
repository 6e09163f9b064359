// fuzz_geometry.cpp: any client size (0 to 65535 and beyond), any click and any DPI through the painting
// and hit-test arithmetic: no division by zero or overflow, squares in range, lines and marks in place.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "ui/geometry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint16_t v[5] = {};
    memcpy(v, data, size < sizeof v ? size : sizeof v);
    const int32_t width = v[0], height = v[1];
    const uint32_t x = v[2], y = v[3];
    const uint32_t dpi = size >= sizeof v ? v[4] : 96;   // the older seeds are 96 DPI

    const int square = squareAt(width, height, x, y);
    if (width < 3 || height < 3) {
        if (square != 0)
            abort();
    } else {
        if (square < 1 || square > 9)
            abort();
        // A point inside the client area lies inside the square that the painting draws there.
        if (static_cast<int32_t>(x) < width && static_cast<int32_t>(y) < height) {
            const int32_t cw = width / 3, ch = height / 3;
            const int col = (square - 1) % 3, row = (square - 1) / 3;
            if (static_cast<int32_t>(x) < col * cw || (col < 2 && static_cast<int32_t>(x) >= (col + 1) * cw))
                abort();
            if (static_cast<int32_t>(y) < row * ch || (row < 2 && static_cast<int32_t>(y) >= (row + 1) * ch))
                abort();
        }
    }

    int32_t lines[2];
    for (int32_t extent : {width, height}) {
        const int n = gridLines(extent, dpi, lines);
        for (int i = 0; i < n; ++i)
            if (lines[i] < scaleToDpi(5, dpi) || lines[i] > extent - scaleToDpi(5, dpi) || lines[i] % (extent / 3) != 0)
                abort();
    }

    for (int n = 1; n <= 9; ++n) {
        const BoardRect mark = markRect(width, height, n);
        if (mark.left > mark.right || mark.top > mark.bottom || mark.right > width || mark.bottom > height)
            abort();
        const BoardRect shadow = shadowRect(mark, dpi);
        if (shadow.left != mark.left + scaleToDpi(2, dpi) || shadow.bottom != mark.bottom + scaleToDpi(2, dpi))
            abort();
        const BoardPoint number = numberPosition(width, height, n, dpi);
        if (number.x > width || number.y > height)
            abort();
    }
    if (markPenWidth(width, height) < 0)
        abort();
    const BoardPoint window = mainWindowSize(height, dpi);
    const BoardPoint at = centeredOrigin({0, 0, width, height}, window.x, window.y);
    if (window.y != window.x + scaleToDpi(20, dpi) || at.x > width)
        abort();
    return 0;
}
