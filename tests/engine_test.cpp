// engine_test.cpp: the computer player and whole games through the engine, with the window side faked.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>

#include "game/computer.h"
#include "game/flow.h"
#include "tests/box_texts.h"
#include "tests/fake_ui.h"
#include "tests/utf8.h"

namespace {

using Events = std::vector<std::string>;

// A board written row by row: X a Cross, O a Ring, anything else empty. moveCount follows the marks.
void setBoard(const char *rows)
{
    int n = 1;
    game.moveCount = 0;
    for (const char *p = rows; *p != '\0' && n <= 9; ++p) {
        if (*p == ' ' || *p == '/')
            continue;
        game.board[n] = *p == 'X' ? Cross : *p == 'O' ? Ring : Empty;
        game.moveCount += game.board[n] != Empty;
        ++n;
    }
}

// Field by field: the record's padding bytes carry no meaning.
bool sameState(const GameState &a, const GameState &b)
{
    return a.starter == b.starter && a.busy == b.busy && a.aboutOpen == b.aboutOpen && a.muted == b.muted &&
           a.german == b.german && a.moveCount == b.moveCount &&
           std::equal(a.board + 1, a.board + 10, b.board + 1);
}

bool boardEmpty()
{
    for (int n = 1; n <= 9; ++n)
        if (game.board[n] != Empty)
            return false;
    return true;
}

// How often each square is chosen over the seeds 0..draws-1, as successive tick counts would give.
std::vector<int> choiceCounts(int draws)
{
    std::vector<int> counts(10, 0);
    for (int seed = 0; seed < draws; ++seed)
        ++counts[chooseComputerMoveSeeded(static_cast<uint32_t>(seed))];
    return counts;
}

// Pearson's chi-square of the counts of the given squares against equal shares.
double chiSquare(const std::vector<int> &counts, const std::vector<int> &squares)
{
    double total = 0;
    for (int s : squares)
        total += counts[s];
    const double expected = total / squares.size();
    double sum = 0;
    for (int s : squares)
        sum += (counts[s] - expected) * (counts[s] - expected) / expected;
    return sum;
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }
    HWND w = fake::window;
};

// A box as the fake records it, from the table of expected boxes.
std::string recorded(BoxName name, bool german = false)
{
    const ExpectedBox &box = ExpectedBoxes[name];
    char style[16];
    snprintf(style, sizeof style, "%#x", box.style);
    return "box " + utf8(box.caption[german]) + "|" + utf8(box.text[german]) + "|" +
           utf8(box.icon) + "|" + style;
}

const std::string HumanWonBox = recorded(BoxHumanWon);
const std::string ComputerWonBox = recorded(BoxComputerWon);
const std::string DrawBox = recorded(BoxDraw);
const std::string NewGameBox = recorded(BoxNewGame);

// ---- The computer player -------------------------------------------------------------------

TEST_F(Engine, PrioritiesRankWinOverBlockAndBlockOverWin)
{
    int32_t p[10];
    // Rings 1,3,7,9 and Crosses 4,5: squares 2 and 8 win; 6 wins too but also blocks, so it ranks 2.
    setBoard("O.O/XX./O.O");
    computePriorities(p);
    EXPECT_EQ(p[2], 3);
    EXPECT_EQ(p[8], 3);
    EXPECT_EQ(p[6], 2);
    EXPECT_EQ(p[1], 0);

    // Rings 4,6, Crosses 3,7,8: square 5 wins and blocks (2), square 9 blocks (2), 1 and 2 are free (1).
    setBoard("..X/O.O/XX.");
    computePriorities(p);
    EXPECT_EQ(p[5], 2);
    EXPECT_EQ(p[9], 2);
    EXPECT_EQ(p[1], 1);
    EXPECT_EQ(p[2], 1);
}

TEST_F(Engine, MarkLineGapMarksOnlyTheFirstEmptySquareAndOverwrites)
{
    int32_t p[10] = {0, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    setBoard("X../.../...");
    markLineGap(p, 1, 2, 3, 2);
    EXPECT_EQ(p[1], 7);
    EXPECT_EQ(p[2], 2);
    EXPECT_EQ(p[3], 7);
    setBoard("XOX/.../...");
    markLineGap(p, 1, 2, 3, 3);
    EXPECT_EQ((std::vector<int32_t>(p + 1, p + 4)), (std::vector<int32_t>{7, 2, 7}));
}

TEST_F(Engine, ForcedChoicesAreAlwaysTaken)
{
    struct Case {
        const char *board;
        int square;
    } cases[] = {
        {"OO./XX./...", 3},   // win rather than block
        {"XX./.O./...", 3},   // block the only Cross line
        {"..X/O.O/X..", 5},   // the only square of priority 2 also wins
    };
    for (const Case &c : cases) {
        setBoard(c.board);
        const std::vector<int> counts = choiceCounts(300);
        EXPECT_EQ(counts[c.square], 300) << c.board;
    }
}

TEST_F(Engine, EqualSquaresAreChosenEquallyOften)
{
    struct Case {
        const char *board;
        std::vector<int> squares;
    } cases[] = {
        {"O.O/XX./O.O", {2, 8}},                    // two winning squares, a block elsewhere
        {"XOX/OX./...", {7, 9}},                    // a fork: block one of two
        {"..X/O.O/XX.", {5, 9}},                    // two blocks, one of which also wins
        {".../.../...", {1, 2, 3, 4, 5, 6, 7, 8, 9}}, // the computer opens
        {".../.X./...", {1, 2, 3, 4, 6, 7, 8, 9}},  // nothing threatened: no preference for any square
    };
    // Chi-square critical values at p = 0.001 for 1 to 8 degrees of freedom. The seeds are fixed, so
    // the outcome is the same at every run.
    const double critical[] = {0, 10.83, 13.82, 16.27, 18.47, 20.52, 22.46, 24.32, 26.12};
    for (const Case &c : cases) {
        setBoard(c.board);
        const int draws = 1000 * static_cast<int>(c.squares.size());
        const std::vector<int> counts = choiceCounts(draws);
        int inClass = 0;
        for (int s : c.squares)
            inClass += counts[s];
        EXPECT_EQ(inClass, draws) << c.board;
        EXPECT_LT(chiSquare(counts, c.squares), critical[c.squares.size() - 1]) << c.board;
    }
}

TEST_F(Engine, ChoiceReadsTheBoardOnly)
{
    setBoard("XO./.X./...");
    const GameState before = game;
    chooseComputerMove();
    EXPECT_TRUE(sameState(before, game));
}

// ---- New Game --------------------------------------------------------------------------------

TEST_F(Engine, NewGameBetweenGamesAsksNothing)
{
    startNewGame(w);
    EXPECT_EQ(fake::events, (Events{"repaint", "repaint"}));
    EXPECT_TRUE(boardEmpty());

    fake::reset();
    game.starter = ComputerOpens;
    startNewGame(w);
    EXPECT_EQ(fake::events, (Events{"repaint", "tick", "repaint"}));
    EXPECT_EQ(game.moveCount, 1);
    int rings = 0;
    for (int n = 1; n <= 9; ++n)
        rings += game.board[n] == Ring;
    EXPECT_EQ(rings, 1);
}

TEST_F(Engine, NewGameDuringAGameAsksAndOnlyYesClears)
{
    for (int answer : {7, 2, 0}) {   // No, Cancel, no box shown
        fake::reset();
        setBoard("XO./.../...");
        fake::answer = [answer] { return answer; };
        startNewGame(w);
        EXPECT_EQ(fake::events, (Events{NewGameBox}));
        EXPECT_EQ(game.moveCount, 2);
        EXPECT_EQ(game.board[1], Cross);
    }
    fake::reset();
    setBoard("XO./.../...");
    fake::answer = [] { return 6; };
    startNewGame(w);
    EXPECT_EQ(fake::events, (Events{NewGameBox, "repaint", "repaint"}));
    EXPECT_TRUE(boardEmpty());
    EXPECT_EQ(game.moveCount, 0);
}

// Every box of the engine, in both languages: the three endings and the New Game question.
TEST_F(Engine, EveryBoxInBothLanguages)
{
    for (bool german : {false, true}) {
        fake::reset();
        game.german = german;
        setBoard("XX./OO./...");
        playHumanMove(w, 3);
        setBoard("OO./XX./..X");
        playHumanMove(w, 8);
        setBoard("XOX/XOO/OX.");
        playHumanMove(w, 9);
        setBoard("X../.../...");
        startNewGame(w);
        Events boxes;
        for (const std::string &event : fake::events)
            if (event.rfind("box ", 0) == 0)
                boxes.push_back(event);
        EXPECT_EQ(boxes, (Events{recorded(BoxHumanWon, german), recorded(BoxComputerWon, german),
                                 recorded(BoxDraw, german), recorded(BoxNewGame, german)}));
    }
}

// ---- Moves -----------------------------------------------------------------------------------

TEST_F(Engine, AMoveIsAnsweredAfterTheOneSecondPause)
{
    playHumanMove(w, 5);
    EXPECT_EQ(fake::events, (Events{"tick", "repaint", "wait 1000", "tick", "repaint"}));
    EXPECT_EQ(game.board[5], Cross);
    EXPECT_EQ(game.moveCount, 2);
    EXPECT_FALSE(game.busy);
}

TEST_F(Engine, AnOccupiedSquareTicksAndChangesNothing)
{
    setBoard("XO./.../...");
    const GameState before = game;
    playHumanMove(w, 2);
    EXPECT_EQ(fake::events, (Events{"tick"}));
    EXPECT_TRUE(sameState(before, game));
}

TEST_F(Engine, InputWhileBusyIsDropped)
{
    game.busy = true;
    playHumanMove(w, 5);
    EXPECT_TRUE(fake::events.empty());
    EXPECT_TRUE(boardEmpty());
}

TEST_F(Engine, InputDuringTheComputersPauseIsDroppedAndNewGameRefused)
{
    GameState seen{};
    fake::duringWait = [&] {
        playHumanMove(w, 1);   // a digit key dispatched during the pause
        startNewGame(w);       // Ctrl+N from the menu during the pause
        seen = game;
    };
    playHumanMove(w, 5);
    EXPECT_EQ(fake::events, (Events{"tick", "repaint", "wait 1000", "refuse", "tick", "repaint"}));
    EXPECT_TRUE(seen.busy);
    EXPECT_EQ(seen.moveCount, 1);
    EXPECT_EQ(seen.board[1], Empty);
    EXPECT_EQ(game.moveCount, 2);   // the computer still answered the first move
    EXPECT_FALSE(game.busy);
}

// Screen readers hear of every square that changes, once it holds its new mark, and of no other.
TEST_F(Engine, EveryChangedSquareIsAnnouncedWithItsNewMark)
{
    playHumanMove(w, 5);
    ASSERT_EQ(fake::announced.size(), 2u);
    EXPECT_EQ(fake::announced[0] + fake::announced[1].substr(1), "5XO");
    fake::reset();
    setBoard("XX./OO./...");
    playHumanMove(w, 3);   // won: the finished line, then the emptied squares
    EXPECT_EQ(fake::announced, (Events{"3X", "1.", "2.", "3.", "4.", "5."}));
}

// ---- Endings ---------------------------------------------------------------------------------

TEST_F(Engine, HumanWinShowsTheFinishedBoardThenEmptiesIt)
{
    setBoard("XX./OO./...");
    GameState duringPause{}, duringBox{};
    fake::duringWait = [&] {
        duringPause = game;
        playHumanMove(w, 9);
        startNewGame(w);
    };
    fake::answer = [&] {
        duringBox = game;
        return 1;
    };
    playHumanMove(w, 3);
    EXPECT_EQ(fake::events,
              (Events{"tick", "repaint", "falling", "falling", "wait 1000", "refuse", HumanWonBox, "repaint"}));
    EXPECT_EQ(duringPause.moveCount, 0);   // already 0: the options are open during the ending
    EXPECT_EQ(duringPause.board[3], Cross);
    EXPECT_EQ(duringPause.board[9], Empty);
    EXPECT_TRUE(duringBox.busy);
    EXPECT_EQ(duringBox.board[3], Cross);
    EXPECT_TRUE(boardEmpty());
    EXPECT_FALSE(game.busy);
    EXPECT_EQ(game.moveCount, 0);
}

TEST_F(Engine, ComputerWinSoundsOneFallingRun)
{
    setBoard("OO./XX./..X");
    playHumanMove(w, 8);
    EXPECT_EQ(fake::events, (Events{"tick", "repaint", "wait 1000", "tick", "repaint", "falling", "wait 1000",
                                    ComputerWonBox, "repaint"}));
    EXPECT_TRUE(boardEmpty());
    EXPECT_FALSE(game.busy);
}

TEST_F(Engine, NinthMarkThatFinishesALineWinsRatherThanDraws)
{
    setBoard("XOX/OOX/OX.");   // the human's ninth mark on 9 completes the right column
    playHumanMove(w, 9);
    EXPECT_EQ(fake::events.at(2), "falling");
    EXPECT_EQ(fake::events.at(3), "falling");
    EXPECT_EQ(fake::events.at(5), HumanWonBox);

    fake::reset();
    setBoard("OXO/XXO/.O.");   // the computer's ninth mark on 9 completes the right column
    playHumanMove(w, 7);
    EXPECT_EQ(fake::events, (Events{"tick", "repaint", "wait 1000", "tick", "repaint", "falling", "wait 1000",
                                    ComputerWonBox, "repaint"}));
}

TEST_F(Engine, DrawWhenTheHumanPlacesTheNinthMark)
{
    setBoard("XOX/XOO/OX.");
    playHumanMove(w, 9);
    EXPECT_EQ(fake::events, (Events{"tick", "repaint", "rising", "wait 1000", DrawBox, "repaint"}));
}

TEST_F(Engine, DrawWhenTheComputerPlacesTheNinthMark)
{
    setBoard("OXO/OX./XO.");
    game.starter = ComputerOpens;
    playHumanMove(w, 6);
    EXPECT_EQ(fake::events, (Events{"tick", "repaint", "wait 1000", "tick", "repaint", "rising", "wait 1000",
                                    DrawBox, "repaint"}));
    // After an ending the computer does not open, whoever is to open New Games.
    EXPECT_TRUE(boardEmpty());
    EXPECT_EQ(game.moveCount, 0);
}

// Whole games with a seeded random human, in which every ending is seen: after each move
// the board and moveCount agree, busy is clear, and every ending leaves an empty board.
TEST_F(Engine, WholeGamesKeepTheirInvariants)
{
    uint32_t human = 12345;
    int endings[3] = {};
    for (int gameNumber = 0; gameNumber < 600; ++gameNumber) {
        game.starter = gameNumber % 2 ? ComputerOpens : HumanOpens;
        fake::events.clear();
        startNewGame(w);
        for (int moves = 0; moves < 9; ++moves) {
            int square;
            do {
                human = human * 1664525u + 1013904223u;
                square = static_cast<int>((human >> 16) % 9) + 1;
            } while (game.board[square] != Empty);
            fake::events.clear();
            playHumanMove(w, square);
            ASSERT_FALSE(game.busy);
            int marks = 0;
            for (int n = 1; n <= 9; ++n)
                marks += game.board[n] != Empty;
            ASSERT_EQ(marks, game.moveCount);
            const std::string &last = fake::events.size() >= 2 ? fake::events[fake::events.size() - 2] : "";
            const int ending = last == HumanWonBox ? 0 : last == ComputerWonBox ? 1 : last == DrawBox ? 2 : -1;
            if (ending >= 0) {
                ASSERT_EQ(marks, 0);
                ++endings[ending];
                break;
            }
        }
    }
    EXPECT_GT(endings[0], 0);
    EXPECT_GT(endings[1], 0);
    EXPECT_GT(endings[2], 0);
}

}  // namespace
