// engine_test.cpp: the computer player and whole games through the engine, with the window side faked.
#include <gtest/gtest.h>

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

// The board in the rows of setBoard.
std::string boardText()
{
    std::string text;
    for (int n = 1; n <= 9; ++n) {
        text += game.board[n] == Cross ? 'X' : game.board[n] == Ring ? 'O' : '.';
        if (n == 3 || n == 6)
            text += '/';
    }
    return text;
}

int count(const std::string &text, char mark)
{
    return static_cast<int>(std::count(text.begin(), text.end(), mark));
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }
    // A fresh game on the board in the language.
    static void start(const char *board, Starter starter, bool german)
    {
        fake::reset();
        game.german = german;
        game.starter = starter;
        setBoard(board);
    }
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

// The events with "box" standing for the box in the language.
Events withBox(Events events, BoxName name, bool german)
{
    for (std::string &event : events)
        if (event == "box")
            event = recorded(name, german);
    return events;
}

// Each board's best squares, and only they, are chosen, each equally often.
TEST_F(Engine, EqualSquaresAreChosenEquallyOften)
{
    struct Case {
        const char *board;
        std::vector<int> squares;
    } cases[] = {
        {"OO./XX./...", {3}},                       // win rather than block
        {"XX./.O./...", {3}},                       // block the only Cross line
        {"..X/O.O/X..", {5}},                       // the only square of priority 2 also wins
        {"O.O/XX./O.O", {2, 8}},                    // two winning squares, a block elsewhere
        {"XOX/OX./...", {7, 9}},                    // a fork: block one of two
        {"..X/O.O/XX.", {5, 9}},                    // two blocks, one of which also wins: blocking overwrites
        {".../.../...", {1, 2, 3, 4, 5, 6, 7, 8, 9}}, // the computer opens
        {".../.X./...", {1, 2, 3, 4, 6, 7, 8, 9}},  // nothing threatened: no preference for any square
    };
    // Chi-square critical values at p = 0.001 for 1 to 8 degrees of freedom (one square: always 0). The
    // seeds are fixed, so the outcome is the same at every run.
    const double critical[] = {1, 10.83, 13.82, 16.27, 18.47, 20.52, 22.46, 24.32, 26.12};
    for (const Case &c : cases) {
        setBoard(c.board);
        const int draws = 1000 * static_cast<int>(c.squares.size());
        std::vector<int> counts(10, 0);
        for (int seed = 0; seed < draws; ++seed)   // as successive tick counts would give
            ++counts[chooseComputerMoveSeeded(static_cast<uint32_t>(seed))];
        int inClass = 0;
        double chiSquare = 0;   // Pearson's, against 1000 draws of each square
        for (int s : c.squares) {
            inClass += counts[s];
            chiSquare += (counts[s] - 1000.0) * (counts[s] - 1000.0) / 1000;
        }
        EXPECT_EQ(inClass, draws) << c.board;
        EXPECT_LT(chiSquare, critical[c.squares.size() - 1]) << c.board;
    }
}

// Between games New Game asks nothing; during one it asks, and only Yes clears. The computer's opening
// Ring follows a clearing. In both languages.
TEST_F(Engine, NewGameAnswers)
{
    struct Case {
        const char *board;
        Starter starter;
        int answer;          // the box's answer: Yes 6, No 7, Cancel 2, 0 no box shown
        Events events;       // "box": the New Game question
        const char *after;   // null: one Ring alone
    } cases[] = {
        {".../.../...", HumanOpens, 6, {"repaint", "repaint"}, ".../.../..."},
        {".../.../...", ComputerOpens, 6, {"repaint", "tick", "repaint"}, nullptr},
        {"XO./.../...", HumanOpens, 7, {"box"}, "XO./.../..."},
        {"XO./.../...", HumanOpens, 2, {"box"}, "XO./.../..."},
        {"XO./.../...", HumanOpens, 0, {"box"}, "XO./.../..."},
        {"XO./.../...", HumanOpens, 6, {"box", "repaint", "repaint"}, ".../.../..."},
        {"XO./.../...", ComputerOpens, 6, {"box", "repaint", "tick", "repaint"}, nullptr},
    };
    for (bool german : {false, true}) {
        for (const Case &c : cases) {
            start(c.board, c.starter, german);
            fake::answer = [&c] { return c.answer; };
            startNewGame(w);
            const std::string after = boardText();
            EXPECT_EQ(fake::events, withBox(c.events, BoxNewGame, german)) << c.board << " answered " << c.answer;
            if (c.after == nullptr)   // the computer's Ring alone
                EXPECT_TRUE(count(after, 'O') == 1 && count(after, '.') == 8) << after;
            else
                EXPECT_EQ(after, c.after) << c.board << " answered " << c.answer;
            EXPECT_EQ(game.moveCount, 9 - count(after, '.'));
            for (int n = 1; n <= 9 && c.after == nullptr; ++n)   // the opening Ring is said, in the language
                EXPECT_TRUE(game.board[n] != Ring ||
                            fake::announced.back() == (german ? "Kreis auf Feld " : "Ring on square ") + std::to_string(n))
                    << fake::announced.back();
        }
    }
}

// An occupied square ticks; input in the computer's pause is dropped unheard. Neither changes the game.
TEST_F(Engine, RefusedMovesChangeNothing)
{
    for (bool busy : {false, true}) {
        start("XO./.../...", HumanOpens, false);
        game.busy = busy;
        const GameState before = game;   // compared field by field: the padding bytes carry no meaning
        playHumanMove(w, busy ? 5 : 2);
        EXPECT_EQ(fake::events, busy ? Events{} : Events{"tick"});
        EXPECT_EQ(fake::announced, busy ? Events{} : Events{"Square 2 is taken"});
        EXPECT_TRUE(before.starter == game.starter && before.busy == game.busy && before.aboutOpen == game.aboutOpen &&
                    before.muted == game.muted && before.german == game.german && before.moveCount == game.moveCount &&
                    std::equal(before.board + 1, before.board + 10, game.board + 1));
    }
}

// Screen readers hear of every square that changes, once it holds its new mark, and of no other; the
// live text says each mark as it is placed.
TEST_F(Engine, EveryChangedSquareIsAnnouncedWithItsNewMark)
{
    playHumanMove(w, 5);
    ASSERT_EQ(fake::announced.size(), 4u);
    const std::string ring = fake::announced[2].substr(0, 1);
    EXPECT_EQ(fake::announced, (Events{"5X", "Cross on square 5", ring + "O", "Ring on square " + ring}));
    fake::reset();
    setBoard("XX./OO./...");
    playHumanMove(w, 3);   // won: the finished line, then the emptied squares
    EXPECT_EQ(fake::announced, (Events{"3X", "Cross on square 3", "1.", "2.", "3.", "4.", "5."}));
}

// Every ending in both languages: its tones and pause, its box over the finished board, then the empty
// board. In every pause ("moves N": the count then) a digit on an empty square is dropped and New Game
// refused; in the ending's pause the count is 0 already, so that the options are open. A ninth mark
// that finishes a line wins. After an ending the computer does not open, whoever opens New Games.
TEST_F(Engine, EveryEndingShowsItsBoxOverTheFinishedBoard)
{
    struct Case {
        const char *board;
        Starter starter;
        int square;
        BoxName box;
        Events events;   // after the computer's move, if any; "box": the ending's box
        const char *finished;
    } cases[] = {
        {"XX./OO./...", HumanOpens, 3, BoxHumanWon,
         {"tick", "repaint", "falling", "falling", "wait 1000", "moves 0", "refuse", "box", "repaint"}, "XXX/OO./..."},
        {"OO./XX./..X", HumanOpens, 8, BoxComputerWon,
         {"falling", "wait 1000", "moves 0", "refuse", "box", "repaint"}, "OOO/XX./.XX"},
        {"XOX/OOX/OX.", HumanOpens, 9, BoxHumanWon,
         {"tick", "repaint", "falling", "falling", "wait 1000", "moves 0", "refuse", "box", "repaint"}, "XOX/OOX/OXX"},
        {"OXO/XXO/.O.", HumanOpens, 7, BoxComputerWon,
         {"falling", "wait 1000", "moves 0", "refuse", "box", "repaint"}, "OXO/XXO/XOO"},
        {"XOX/XOO/OX.", HumanOpens, 9, BoxDraw,
         {"tick", "repaint", "rising", "wait 1000", "moves 0", "refuse", "box", "repaint"}, "XOX/XOO/OXX"},
        {"OXO/OX./XO.", ComputerOpens, 6, BoxDraw,
         {"rising", "wait 1000", "moves 0", "refuse", "box", "repaint"}, "OXO/OXX/XOO"},
    };
    for (bool german : {false, true}) {
        for (const Case &c : cases) {
            start(c.board, c.starter, german);
            std::string atBox;
            fake::duringWait = [this] {
                fake::events.push_back("moves " + std::to_string(game.moveCount));
                int empty = 1;
                while (empty < 9 && game.board[empty] != Empty)
                    ++empty;
                playHumanMove(w, empty);
                startNewGame(w);
            };
            fake::answer = [&atBox] {
                atBox = boardText() + (game.busy ? " busy" : "");
                return 1;
            };
            Events expected = withBox(c.events, c.box, german);
            if (expected[0] != "tick") {   // the human's move and the computer's, which ends the game
                const std::string moves = "moves " + std::to_string(10 - count(c.board, '.'));
                expected.insert(expected.begin(), {"tick", "repaint", "wait 1000", moves, "refuse", "tick", "repaint"});
            }
            playHumanMove(w, c.square);
            EXPECT_EQ(fake::events, expected) << c.board;
            EXPECT_EQ(atBox, c.finished + std::string(" busy"));
            EXPECT_EQ(boardText(), ".../.../...");
            EXPECT_EQ(game.moveCount, 0);
            EXPECT_FALSE(game.busy);
        }
    }
}

// Whole games with a seeded random human, in which every ending is seen: after each move
// the board and moveCount agree, busy is clear, and every ending leaves an empty board.
TEST_F(Engine, WholeGamesKeepTheirInvariants)
{
    const std::string endingBoxes[3] = {recorded(BoxHumanWon), recorded(BoxComputerWon), recorded(BoxDraw)};
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
            const int marks = 9 - count(boardText(), '.');
            ASSERT_EQ(marks, game.moveCount);
            const std::string &last = fake::events.size() >= 2 ? fake::events[fake::events.size() - 2] : "";
            const int ending = static_cast<int>(std::find(endingBoxes, endingBoxes + 3, last) - endingBoxes);
            if (ending < 3) {
                ASSERT_EQ(marks, 0);
                ++endings[ending];
                break;
            }
        }
    }
    for (int seen : endings)
        EXPECT_GT(seen, 0);
}

}  // namespace
