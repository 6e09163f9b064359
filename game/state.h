// state.h: the one global game record, the numbering of the squares and the eight lines of three.
#pragma once

#include <stdint.h>

// The engine names the main window without needing <windows.h>; this is the same type that
// <windows.h> declares (STRICT handles), so both headers can meet in one file.
struct HWND__;
typedef HWND__ *HWND;

enum Cell : int32_t { Empty = 0, Cross = 1, Ring = -1 };

enum Starter : int32_t { HumanOpens = 1, ComputerOpens = 2 };

struct GameState {
    Starter starter;
    bool busy;        // a move or an ending is in progress: input dropped, closing refused
    bool aboutOpen;   // the About box is open: F1 opens no second one
    bool muted;
    bool german;
    int32_t moveCount;
    Cell board[10];   // indexed by square number 1..9; index 0 is unused
    // The window's keyboard cursor: its square, kept across games, and whether its focus mark shows
    // (from the first arrow, Enter or Space until a click). The engine leaves both alone.
    int32_t cursor = 5;
    bool focusShown = false;
};

extern GameState game;

// The eight lines in their fixed order, each as three square numbers.
extern const int WinLines[8][3];

int32_t lineSum(int first, int second, int third);

// Empties the board (announcing each square it frees), sets moveCount to 0 and requests a repaint of the
// whole window.
void clearBoard(HWND window);
