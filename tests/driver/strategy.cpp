// strategy.cpp: the drivers' play: minimax for a quiet square that never loses, a careless square, whole games.
#include "tests/driver/strategy.h"

#include <string.h>

#include <algorithm>

namespace strategy {

namespace {

const char *const Lines[8] = {"012", "345", "678", "036", "147", "258", "048", "246"};

int inLine(const Board &b, const char *l, char c)
{
    return (b[l[0] - '0'] == c) + (b[l[1] - '0'] == c) + (b[l[2] - '0'] == c);
}

// Minimax score of the board for X, with `turn` to move.
int score(Board &b, char turn)
{
    if (const char w = winner(b))
        return w == 'X' ? 1 : -1;
    if (b.find('.') == std::string::npos)
        return 0;
    int result = turn == 'X' ? -2 : 2;
    for (int i = 0; i < 9; ++i) {
        if (b[i] != '.')
            continue;
        b[i] = turn;
        const int s = score(b, turn == 'X' ? 'O' : 'X');
        b[i] = '.';
        result = turn == 'X' ? std::max(result, s) : std::min(result, s);
    }
    return result;
}

}  // namespace

char winner(const Board &b)
{
    for (const char *l : Lines) {
        const char c = b[l[0] - '0'];
        if (c != '.' && c == b[l[1] - '0'] && c == b[l[2] - '0'])
            return c;
    }
    return 0;
}

int count(const Board &b, char c)
{
    return static_cast<int>(std::count(b.begin(), b.end(), c));
}

int quiet(const Board &board)
{
    Board b = board;
    int top = -3, fallback = 0;
    for (int i = 0; i < 9; ++i) {
        if (b[i] != '.')
            continue;
        b[i] = 'X';
        const int s = score(b, 'O');
        bool twoInALine = winner(b) != 0;
        for (const char *l : Lines)
            twoInALine |= inLine(b, l, 'X') == 2 && inLine(b, l, '.') == 1;
        b[i] = '.';
        if (s >= 0 && !twoInALine)
            return i + 1;
        if (s > top) {
            top = s;
            fallback = i + 1;
        }
    }
    return fallback;
}

int careless(const Board &b)
{
    for (int i = 0; i < 9; ++i) {
        if (b[i] != '.')
            continue;
        bool gap = false;
        for (const char *l : Lines)
            gap |= strchr(l, '0' + i) != nullptr && inLine(b, l, 'O') == 2;
        Board t = b;
        t[i] = 'X';
        if (!gap && !winner(t))
            return i + 1;
    }
    return static_cast<int>(b.find('.')) + 1;
}

bool answered(const Board &before, int square, const Board &after)
{
    if (before.size() != 9 || after.size() != 9 || before[square - 1] != '.' || after[square - 1] != 'X')
        return false;
    int rings = 0;
    for (int i = 0; i < 9; ++i)
        if (i != square - 1 && after[i] != before[i]) {
            if (before[i] != '.' || after[i] != 'O')
                return false;
            ++rings;
        }
    return rings == 1;
}

Move play(driver::Game &game, int square)
{
    const Board before = game.stableBoard();
    game.key('0' + square);
    return reply(game, before, square);
}

Move reply(driver::Game &game, const Board &before, int square)
{
    Move move;
    if (before.size() != 9 || !game.handledPosted())
        return move;
    if (!game.findBox().valid() && (move.board = game.stableBoard()) == before) {
        move.result = Move::Nothing;
        return move;
    }
    driver::waitUntil([&] {
        if (game.findBox().valid())
            move.result = Move::Ended;
        else if (answered(before, square, move.board = game.stableBoard()) && !winner(move.board) &&
                 count(move.board, '.') != 0)
            move.result = Move::Answered;   // a finished board waits for its box
        return move.result != Move::NoReply;
    }, 6000);
    if (move.result != Move::Ended)
        return move;
    move.box = game.waitBox();
    game.moveBoxAside(move.box);
    move.board = game.stableBoard();
    Board crossed = before;
    crossed[square - 1] = 'X';
    if (before[square - 1] != '.' || (move.board != crossed && !answered(before, square, move.board)))
        move.result = Move::NoReply;
    return move;
}

driver::Box playToEnd(driver::Game &game, int (*choose)(const Board &), Board *finished)
{
    for (int moves = 0; moves < 5; ++moves) {
        const Move move = play(game, choose(game.stableBoard()));
        if (move.result == Move::Ended) {
            *finished = move.board;
            return move.box;
        }
        if (move.result != Move::Answered)
            break;
    }
    return driver::Box();
}

}  // namespace strategy
