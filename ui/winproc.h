// winproc.h: the main window's procedure: clicks, digit keys, commands, closing, help and painting.
#pragma once

#include <windows.h>

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Plays the square under a click, unless a move or an ending is in progress.
void cellFromClick(HWND window, LPARAM lParam);
