// access.h: the board as screen readers see it (Active Accessibility): nine squares with names, states
// and places, played through their default action, the keyboard cursor as their focus, and a live text
// that says each move; the events that tell of them.
#pragma once

#include <stdint.h>

#include "game/state.h"
#include "ui/texts.h"

// Posted to the main window by a square's default action: wParam is the square, played as a click.
enum : unsigned { PlaySquareMessage = 0x8000 + 1 };   // WM_APP + 1

// Tells screen readers that the square's name has changed (its mark was placed or removed).
void announceSquare(HWND window, int square);

// Says what happened on a square: the live text, the board's tenth child, takes the announcement as its
// name, and screen readers are told that the live region changed.
void announceMove(HWND window, Spoken what, int square);

// Moves the keyboard cursor to square 1..9: its focus mark follows, and screen readers hear the focus
// move while the window has the keyboard focus.
void moveCursor(HWND window, int square);

// Tells screen readers that the square under the cursor has the focus (the window has just gained it).
void announceCursor(HWND window);

// The answer to WM_GETOBJECT for the client area: a reference to the board's object, created when first
// asked, with the accessibility library loaded from the system folder then. 0 when it cannot be given,
// which leaves the system's default object.
intptr_t answerAccessibleObject(HWND window, uintptr_t wParam);

// The window is being destroyed: the object drops it, and every later call answers RPC_E_DISCONNECTED.
void disconnectAccessibleObject();
