// paint.h: painting the board into the main window, and the request that schedules it.
#pragma once

#include "game/state.h"

struct HDC__;
typedef HDC__ *HDC;
typedef unsigned long COLORREF;   // as <windows.h> declares it

// The board's colours in the current theme: background and grid always the theme's window colours;
// with a high-contrast theme on, the marks, numbers and focus mark in its colours too, and no shadows.
struct BoardColours {
    COLORREF background, grid, cross, ring, shadow, numbers, focus;
    bool shadows;
};
BoardColours boardColours();

// Asks for the whole client area to be erased and painted anew.
void requestRepaint(HWND window);

// Paints grid, marks and the numbers of free squares; begins and ends the paint itself.
void paintBoard(HWND window);

// Draws grid, marks and numbers of a width x height client area at dpi onto the erased background.
void drawBoard(HDC dc, int32_t width, int32_t height, uint32_t dpi, const BoardColours &colours);

