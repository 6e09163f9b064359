// state.cpp: the global game record, the lines of three and the emptying of the board.
#include "game/state.h"

#include "ui/access.h"
#include "ui/paint.h"

GameState game = {HumanOpens, false, false, false, false, 0, {}};

const int WinLines[8][3] = {
    {1, 2, 3}, {4, 5, 6}, {7, 8, 9},   // rows
    {1, 4, 7}, {2, 5, 8}, {3, 6, 9},   // columns
    {1, 5, 9}, {3, 5, 7},              // diagonals
};

int32_t lineSum(int first, int second, int third)
{
    return game.board[first] + game.board[second] + game.board[third];
}

void clearBoard(HWND window)
{
    for (int n = 1; n <= 9; ++n) {
        if (game.board[n] != Empty) {
            game.board[n] = Empty;
            announceSquare(window, n);
        }
    }
    game.moveCount = 0;
    requestRepaint(window);
}
