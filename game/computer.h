// computer.h: the computer's choice of square: win, else block, else any free square, at random among equals.
#pragma once

#include <stdint.h>

// The square (1..9, empty) on which the computer places its Ring. Needs an empty square and no
// finished line; reseeds the random source from the tick count at every call.
int chooseComputerMove();

// The same choice with the random source seeded by the given value instead of the tick count.
int chooseComputerMoveSeeded(uint32_t seed);

// Fills priorities[1..9] for the current board: 3 wins, 2 blocks, 1 any other empty square, 0 occupied.
void computePriorities(int32_t priorities[10]);

// Gives priority to the first empty square of first, second, third, in that order.
void markLineGap(int32_t priorities[10], int first, int second, int third, int32_t priority);
