// geometry.h: where the board's lines, marks and numbers stand in a client area, and which square a
// point falls on. Pure arithmetic on the client size and the display's DPI, free of the platform.
#pragma once

#include <stdint.h>

struct BoardRect {
    int32_t left, top, right, bottom;
};

struct BoardPoint {
    int32_t x, y;
};

// A length given in pixels at 96 DPI, at dpi: value * dpi / 96, rounded half away from zero as MulDiv
// rounds. At 96 every length stays as it is. For lengths of a few pixels and DPIs below 65536.
int32_t scaleToDpi(int32_t value, uint32_t dpi);

// The grid lines along one axis of the given extent (client width or height): at most two positions,
// the multiples of extent / 3 that lie at least the margin (5 at 96 DPI) inside both ends. Returns how
// many it wrote.
int gridLines(int32_t extent, uint32_t dpi, int32_t positions[2]);

// Square n (1..9) of a client area, as painting and hit test divide it: the last column and row take
// the remainder of the division by 3.
BoardRect squareRect(int32_t width, int32_t height, int n);

// The rectangle of the mark in square n (1..9), and the pen width of marks and shadows.
BoardRect markRect(int32_t width, int32_t height, int n);
int32_t markPenWidth(int32_t width, int32_t height);

// The shadow lies 2 pixels (at 96 DPI) right of and below the mark.
BoardRect shadowRect(const BoardRect &mark, uint32_t dpi);

// Top-left corner of the number painted into free square n: 2 and 10 pixels (at 96 DPI) left of and
// above the centre of the square.
BoardPoint numberPosition(int32_t width, int32_t height, int n, uint32_t dpi);

// The square (1..9) under the point (x, y) of a client area; 0 when the area is too small to be split
// into three (narrower or lower than 3 pixels). Strips beyond 3 * (extent / 3) belong to the last square.
int squareAt(int32_t width, int32_t height, uint32_t x, uint32_t y);

// The steps from one child of the board to another: the platform's navigation codes (NAVDIR_UP ...
// NAVDIR_LASTCHILD), the first four also the arrow keys' moves of the keyboard cursor.
enum BoardStep { StepUp = 1, StepDown, StepLeft, StepRight, StepNext, StepPrevious, StepFirst, StepLast };

// The board's children are the squares 1..9 and, after them in reading order, the live text LiveText.
enum { LiveText = 10 };

// Where a step leads from child `from` (0 the board itself, 1..9 a square, LiveText): up, down, left and
// right on the grid, stopping at its edges; next and previous in reading order, the live text after
// square 9; first and last from the board only. 0 where the step leads nowhere.
int stepFrom(int from, int step);

// The keyboard cursor's focus mark: a frame inside square n, 3 pixels (at 96 DPI) off its edges, drawn
// in dots and gaps as wide as the frame, 1 pixel at 96 DPI.
BoardRect focusRect(int32_t width, int32_t height, int n, uint32_t dpi);
int32_t focusDotSize(uint32_t dpi);

// The outer size of the main window from the system's full-screen client height cy at dpi: W = 2 * cy / 3
// wide and W + 20 high, the 20 (title bar and menu beyond the side frames) scaled with the DPI.
BoardPoint mainWindowSize(int32_t fullScreenHeight, uint32_t dpi);

// The top-left corner that centres a window of the given outer size within the work area.
BoardPoint centeredOrigin(const BoardRect &work, int32_t windowWidth, int32_t windowHeight);
