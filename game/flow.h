// flow.h: the course of a game: a new game, a human move with the computer's answer, and the endings.
#pragma once

#include "game/state.h"

// Starts a new game; asks first while a game is running. Refused with a beep while busy.
void startNewGame(HWND window);

// Plays the human's Cross on square 1..9 and, after a one-second pause, the computer's answer.
void playHumanMove(HWND window, int square);

// Runs the ending when a line is finished or the board is full; true when the game has ended.
bool checkGameEnd(HWND window);
