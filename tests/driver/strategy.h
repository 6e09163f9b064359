// strategy.h: how the drivers play: a board's outcome, a quiet square that never loses, a careless one, games.
#pragma once

#include <string>

#include "tests/driver/nxl_driver.h"

namespace strategy {

using driver::Board;

char winner(const Board &b);     // 'X', 'O' or 0
int count(const Board &b, char c);
// A square 1..9 that never loses and, while it can, wins nothing and makes no two in a row, so that the
// computer never has to block: about half of these games are drawn, the others won.
int quiet(const Board &b);
int careless(const Board &b);    // a square that neither wins nor blocks: most of these games are lost

// Whether after is before with a Cross on the empty square and one Ring more, and nothing else changed.
bool answered(const Board &before, int square, const Board &after);

// What a move did to the board before: Nothing (handled, unchanged), Answered (the Cross and one Ring more,
// the game going on), Ended (its box open, moved aside, over that Cross and at most one Ring more), or
// NoReply (not handled, or none of these within six seconds).
struct Move {
    enum Result { Nothing, Answered, Ended, NoReply } result = NoReply;
    driver::Box box;
    Board board;   // the board it left
};
// The digit key of the square.
Move play(driver::Game &game, int square);
// The input (a key or a click) that has been sent for the square.
Move reply(driver::Game &game, const Board &before, int square);

// Plays until the game ends; returns the ending's box (invalid when the game went wrong) and its board.
driver::Box playToEnd(driver::Game &game, int (*choose)(const Board &), Board *finished);

}  // namespace strategy
