// computer.cpp: the computer player's priorities and its uniform random choice among the best squares.
#include "game/computer.h"

#include <windows.h>

#include "game/state.h"

namespace {

// One process-wide generator (splitmix32 stepping, murmur-style finaliser): successive seeds such as
// neighbouring tick counts still give unrelated draws.
uint32_t randomState;

void reseed(uint32_t seed)
{
    randomState = seed;
}

uint32_t nextRandom()
{
    uint32_t z = (randomState += 0x9E3779B9u);
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
}

// A uniform integer 0..8: values from the incomplete top range of 2^32 are drawn again.
int drawSquareIndex()
{
    const uint32_t limit = 0xFFFFFFFFu - 0xFFFFFFFFu % 9u;   // a multiple of 9
    uint32_t r;
    do
        r = nextRandom();
    while (r >= limit);
    return static_cast<int>(r % 9u);
}

}  // namespace

void markLineGap(int32_t priorities[10], int first, int second, int third, int32_t priority)
{
    const int squares[3] = {first, second, third};
    for (int square : squares) {
        if (game.board[square] == Empty) {
            priorities[square] = priority;
            return;
        }
    }
}

void computePriorities(int32_t priorities[10])
{
    for (int n = 0; n <= 9; ++n)
        priorities[n] = 0;
    for (const auto &line : WinLines)
        if (lineSum(line[0], line[1], line[2]) < -1)
            markLineGap(priorities, line[0], line[1], line[2], 3);
    // Blocking runs second and overwrites: a square that both wins and blocks ends with 2.
    for (const auto &line : WinLines)
        if (lineSum(line[0], line[1], line[2]) > 1)
            markLineGap(priorities, line[0], line[1], line[2], 2);
    for (int n = 1; n <= 9; ++n)
        if (game.board[n] == Empty && priorities[n] == 0)
            priorities[n] = 1;
}

int chooseComputerMoveSeeded(uint32_t seed)
{
    reseed(seed);
    int32_t priorities[10];
    computePriorities(priorities);

    int32_t best = 1;
    for (int n = 1; n <= 9; ++n)
        if (priorities[n] > best)
            best = priorities[n];

    for (;;) {
        const int square = drawSquareIndex() + 1;
        if (priorities[square] == best)
            return square;
    }
}

int chooseComputerMove()
{
    return chooseComputerMoveSeeded(GetTickCount());
}
