// window.h: the main window with its class, menu bar, accelerators and message loop; its title.
#pragma once

#include <stddef.h>

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

// Registers the class, creates the window, menu and accelerators, and runs the message loop until
// a quit request. Ends the process with exit code 255 when the class cannot be registered or the
// window cannot be created.
void runMainWindow();

// Shows who opens the next game and whether the sound is off in the title bar.
void updateTitle(HWND window);

// The status part of the title for the current options: the opening suffix, then the mute suffix.
void composeStatus(char *out, size_t size);

// Centres the window on the work area of the primary display.
void centerWindow(HWND window);
