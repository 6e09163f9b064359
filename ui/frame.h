// frame.h: what the main window and its procedure share: the class name, the command ids, the title
// with the options, and the centring on the work area.
#pragma once

#include <stddef.h>

#include <windows.h>

#include "game/state.h"

enum {
    IDM_NEW_GAME = 101,
    IDM_HUMAN_OPENS = 111,       // 110 + HumanOpens
    IDM_COMPUTER_OPENS = 112,    // 110 + ComputerOpens
    IDM_MUTE = 119,
    IDM_EXIT = 199,
    IDM_ABOUT = 901,
};

extern const char MainWindowClass[];

// Shows who opens the next game and whether the sound is off in the title bar.
void updateTitle(HWND window);

// The status part of the title for the current options: the opening suffix, then the mute suffix.
void composeStatus(wchar_t *out, size_t size);

// Centres the window on the work area of the primary display.
void centerWindow(HWND window);
