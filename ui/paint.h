// paint.h: painting the board into the main window, and the request that schedules it.
#pragma once

#include "game/state.h"

struct HDC__;
typedef HDC__ *HDC;

// Asks for the whole client area to be erased and painted anew.
void requestRepaint(HWND window);

// Paints grid, marks and the numbers of free squares; begins and ends the paint itself.
void paintBoard(HWND window);

struct BoardRect;

// Draws the keyboard cursor's focus mark, a dotted frame (scaled with dpi) in the colour (a COLORREF).
void drawFocusMark(HDC dc, const BoardRect &frame, uint32_t dpi, uint32_t colour);

// Draws one mark with its grey shadow into square n of a width x height client area at dpi.
void drawMark(HDC dc, int32_t width, int32_t height, uint32_t dpi, bool isCross, int n);
