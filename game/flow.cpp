// flow.cpp: starting games, the human's move with the computer's reply, and the three endings.
#include "game/flow.h"

#include "game/computer.h"
#include "ui/access.h"
#include "ui/message.h"
#include "ui/paint.h"
#include "ui/sound.h"
#include "ui/texts.h"

namespace {

enum Ending { HumanWon, ComputerWon, Draw };

void placeComputerRing(HWND window)
{
    const int square = chooseComputerMove();
    game.board[square] = Ring;
    announceSquare(window, square);
    announceMove(window, SaidRing, square);
    ++game.moveCount;
    playMoveClick();
}

bool anyLineSums(int32_t sum)
{
    for (const auto &line : WinLines)
        if (lineSum(line[0], line[1], line[2]) == sum)
            return true;
    return false;
}

void runEnding(HWND window, Ending ending)
{
    const wchar_t *text;
    switch (ending) {
    case HumanWon:
        playFallingRun();
        playFallingRun();
        text = pickTextW(TextHumanWon);
        break;
    case ComputerWon:
        playFallingRun();
        text = pickTextW(TextComputerWon);
        break;
    default:
        playRisingRun();
        text = pickTextW(TextDraw);
        break;
    }
    game.moveCount = 0;
    waitPumping(1000);
    showMessage(window, text, CaptionEnding, L"i", StyleNotice);
    game.busy = false;
    clearBoard(window);
}

}  // namespace

void startNewGame(HWND window)
{
    // The suspended move or ending would otherwise resume on the fresh board.
    if (game.busy) {
        refuseWhileBusy();
        return;
    }
    if (game.moveCount != 0 &&
        showMessage(window, pickTextW(TextNewGameQuestion), pickTextW(CaptionNewGame), L"I",
                    StyleConfirm) != AnswerYes)
        return;
    clearBoard(window);
    if (game.starter == ComputerOpens)
        placeComputerRing(window);
    requestRepaint(window);
}

void playHumanMove(HWND window, int square)
{
    if (game.busy)
        return;
    game.busy = true;
    if (game.board[square] != Empty) {
        announceMove(window, SaidTaken, square);
        playMoveClick();
        game.busy = false;
        return;
    }
    game.board[square] = Cross;
    announceSquare(window, square);
    announceMove(window, SaidCross, square);
    ++game.moveCount;
    playMoveClick();
    requestRepaint(window);
    if (checkGameEnd(window))
        return;

    waitPumping(1000);
    placeComputerRing(window);
    requestRepaint(window);
    if (checkGameEnd(window))
        return;
    game.busy = false;
}

bool checkGameEnd(HWND window)
{
    // Wins come before the draw rule: a ninth mark that finishes a line wins.
    if (anyLineSums(3))
        runEnding(window, HumanWon);
    else if (anyLineSums(-3))
        runEnding(window, ComputerWon);
    else if (game.moveCount > 8)
        runEnding(window, Draw);
    else
        return false;
    return true;
}
