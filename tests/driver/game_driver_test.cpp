// game_driver_test.cpp: the real nxl.exe in its window under Wine, played and checked from outside as a user.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/access_reader.h"
#include "tests/box_texts.h"
#include "tests/driver/nxl_driver.h"
#include "tests/driver/strategy.h"

using driver::Board;
using driver::Box;
using driver::Game;

namespace {

using strategy::count;
using strategy::Move;
using strategy::winner;

const Board Empty = ".........";

// The menu lines of the probe's report, without the class, object and library lines.
std::vector<std::string> menuLines(const std::vector<std::string> &report)
{
    std::vector<std::string> menu;
    for (const std::string &line : report)
        if (line.rfind("class ", 0) != 0 && line.rfind("objects ", 0) != 0 && line.rfind("libraries: ", 0) != 0)
            menu.push_back(line);
    return menu;
}

// The rectangle around the pixels of the colour in the square of the size from (left, top); empty without any.
RECT colourBox(const std::vector<uint32_t> &px, int w, uint32_t colour, LONG left, LONG top, LONG size)
{
    RECT box = {left + size, top + size, left, top};
    for (LONG y = top; y < top + size; ++y)
        for (LONG x = left; x < left + size; ++x)
            if (px[static_cast<size_t>(y) * w + x] == colour)
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
    return box;
}

// The squares (as digits) of a 300 x 300 picture with black pixels off the grid lines: the focus mark.
std::string blackSquares(const std::vector<uint32_t> &px, int w)
{
    std::string squares;
    for (int n = 0; n < 9; ++n)
        if (colourBox(px, w, 0, n % 3 * 100 + 1, n / 3 * 100 + 1, 99).left < n % 3 * 100 + 100)
            squares += static_cast<char>('1' + n);
    return squares;
}

// A game in a 300 x 300 client area. Unless the test ends it on purpose, the game still runs at the end.
class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(game.window(), nullptr) << game.startFailure();
        ASSERT_TRUE(game.setClientSize(300, 300));
        ASSERT_EQ(game.waitBoard(Empty), Empty);
    }
    void TearDown() override { EXPECT_TRUE(endsTheGame || game.running()) << "the game has ended"; }

    Move play(int square) { return strategy::play(game, square); }
    // Waits until the board is a game's opening: empty, or the computer's Ring alone.
    ::testing::AssertionResult opens(bool computer)
    {
        auto opening = [computer](const Board &b) { return count(b, 'O') == computer && count(b, '.') == 9 - computer; };
        const Board b = game.waitBoard(opening);
        return opening(b) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << b;
    }

    Game game;
    bool endsTheGame = false;
};

class German : public Window {};   // run with a German LC_ALL (a program of its own)

// The menu bar as the probe reports it before the first mark, in English or German.
std::vector<std::string> expectedMenu(bool german)
{
    auto in = [german](const char *english, const char *deutsch) { return std::string(german ? deutsch : english); };
    return {"0 popup unchecked " + in("&Game", "&Spiel"),
            "0.0 item unchecked 101 " + in("&New Game", "&Neues Spiel") + "\tCtrl+N",
            "0.1 separator",
            "0.2 item unchecked 199 " + in("E&xit", "&Beenden") + "\tAlt+X",
            "1 popup unchecked " + in("&Options", "&Optionen"),
            "1.0 item checked 111 \u274C " + in("&You open the game", "&Du beginnst") + "\tF3",
            "1.1 item unchecked 112 \u25EF " + in("&Computer opens the game", "&Computer beginnt") + "\tF4",
            "1.2 separator",
            "1.3 item unchecked 119 " + in("&Mute", "Stu&mm") + "\tCtrl+M",
            "2 item unchecked 901 ?"};
}

// Programs started while it lives see 144 DPI: Wine reads LogPixels as a process starts (not this driver).
struct At144 {
    At144() { RegSetKeyValueW(HKEY_CURRENT_USER, Desktop, L"LogPixels", REG_DWORD, &dpi, sizeof dpi); }
    ~At144() { RegDeleteKeyValueW(HKEY_CURRENT_USER, Desktop, L"LogPixels"); }
    const wchar_t *Desktop = L"Control Panel\\Desktop";
    DWORD dpi = 144;
};

// Born centred on the work area, two thirds of the screen's height wide and 20 pixels taller (30 at 144 DPI).
TEST(Start, TitleStyleAndSizeFromTheScreenCentredOnTheWorkArea)
{
    Game game;
    ASSERT_NE(game.window(), nullptr) << game.startFailure();
    EXPECT_EQ(game.titleBytes(), "Noxel\xA0\xA0 [You begin]");
    EXPECT_EQ(GetWindowLongW(game.window(), GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_VISIBLE),
              WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongW(game.window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT r, work;
    GetWindowRect(game.window(), &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = 2 * GetSystemMetrics(SM_CYFULLSCREEN) / 3;
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<LONG>{work.left + (work.right - work.left - w) / 2,
                                 work.top + (work.bottom - work.top - (w + 20)) / 2, w, w + 20}));
    At144 scale;
    Game scaled;
    ASSERT_NE(scaled.window(), nullptr) << scaled.startFailure();
    GetWindowRect(scaled.window(), &r);
    EXPECT_EQ(r.bottom - r.top - (r.right - r.left), 30);
}

TEST_F(German, TitleAndMenuFollowTheUsersLanguage)
{
    EXPECT_EQ(game.titleBytes(), "Noxel\xA0\xA0 [Du beginnst]");
    EXPECT_EQ(menuLines(game.probe()), expectedMenu(true));
    game.command(119);
    EXPECT_EQ(game.waitTitle("Noxel\xA0\xA0 [Du beginnst]\xA0\xA0 [stumm]"), "Noxel\xA0\xA0 [Du beginnst]\xA0\xA0 [stumm]");
}

TEST_F(Window, MenuTreeWithChecksAndGreyState)
{
    const std::vector<std::string> report = game.probe();
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report[0], "class style=3 icon=I sizes=16,20,24,32,40,48,64,256");
    // From its first step on, the program loads no library from its own folder by name alone.
    EXPECT_EQ(report.end()[-2], "libraries: beside the program refused, from its folder on purpose loaded");
    EXPECT_EQ(menuLines(report), expectedMenu(false));

    // After the first mark both opening options are grey; Mute carries its check while the sound is off.
    EXPECT_EQ(play(5).result, Move::Answered);
    game.command(119);
    std::vector<std::string> during = expectedMenu(false);
    during[5] = "1.0 item checked grayed 111 \u274C &You open the game\tF3";
    during[6] = "1.1 item unchecked grayed 112 \u25EF &Computer opens the game\tF4";
    during[8] = "1.3 item checked 119 &Mute\tCtrl+M";
    EXPECT_EQ(menuLines(game.probe()), during);
}

// A 300 x 300 board at a scale: grid lines so wide at 100 and 200 (none at the edges), the grey number 5
// left of and above its centre; after a click on 3 the blue Cross with its grey shadow so far off, and the
// computer's red Ring, unfilled.
struct Painting {
    int line;
    LONG digitLeft[2], digitTop[2], digitHeight[2], shadow;
};

void checkPainting(Game &game, const Painting &p)
{
    int w, h;
    std::vector<uint32_t> px = game.pixels(&w, &h);
    auto at = [&](int x, int y) { return px[static_cast<size_t>(y) * w + x]; };
    for (int k : {100, 200})
        for (int d = -2; d <= 1; ++d) {
            EXPECT_EQ(at(k + d, 50), d > -p.line && d <= 0 ? 0u : 0xFFFFFFu) << k + d;
            EXPECT_EQ(at(50, k + d), d > -p.line && d <= 0 ? 0u : 0xFFFFFFu) << k + d;
        }
    EXPECT_EQ(at(5, 50), 0xFFFFFFu);
    EXPECT_EQ(at(299, 50), 0xFFFFFFu);
    const RECT digit = colourBox(px, w, 0x808080, 110, 110, 80);
    EXPECT_TRUE(digit.left >= p.digitLeft[0] && digit.left <= p.digitLeft[1] && digit.top >= p.digitTop[0] &&
                digit.top <= p.digitTop[1] && digit.bottom - digit.top >= p.digitHeight[0] &&
                digit.bottom - digit.top <= p.digitHeight[1]) << digit.left << "," << digit.top << "," << digit.bottom;

    game.click(250, 50);
    const Move move = strategy::reply(game, Empty, 3);
    ASSERT_EQ(move.result, Move::Answered) << move.board;
    px = game.pixels(&w, &h);
    EXPECT_EQ(at(250, 50), 0x0000FFu);     // where the diagonals cross
    EXPECT_EQ(at(210, 10), 0x0000FFu);
    const RECT mark = colourBox(px, w, 0x0000FF, 200, 0, 100), shadow = colourBox(px, w, 0x808080, 200, 0, 100);
    EXPECT_EQ((std::vector<LONG>{shadow.right - mark.right, shadow.bottom - mark.bottom}),
              (std::vector<LONG>{p.shadow, p.shadow}));
    const int ring = static_cast<int>(move.board.find('O'));
    EXPECT_EQ(at(ring % 3 * 100 + 50, ring / 3 * 100 + 10), 0xFF0000u);
    EXPECT_EQ(at(ring % 3 * 100 + 50, ring / 3 * 100 + 50), 0xFFFFFFu);
}

TEST_F(Window, PaintsGridNumbersAndMarksWithShadows)
{
    checkPainting(game, {1, {148, 151}, {140, 145}, {6, 99}, 2});
}

// System colours set here and inside the game (Wine keeps those a process has read), put back even on a failure.
struct SystemColours {
    SystemColours(const Game &running, COLORREF window, COLORREF text) : game(running) { set(window, text); }
    ~SystemColours() { set(kept[0], kept[1]); }
    void set(COLORREF window, COLORREF text)
    {
        const COLORREF colours[2] = {window, text};
        SetSysColors(2, elements, colours);
        char order[64];
        snprintf(order, sizeof order, "colours %lx %lx", window, text);
        game.probe(order);
    }
    const Game &game;
    const INT elements[2] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF kept[2] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
};

TEST_F(Window, BackgroundAndGridFollowTheSystemColours)
{
    int w, h;
    std::vector<uint32_t> px;
    auto shows = [&](uint32_t background, uint32_t grid) {   // beside the number 5, and both grid lines
        return driver::waitUntil([&] {
            px = game.pixels(&w, &h);
            return px.size() == 300u * 300u && px[20 * w + 20] == background && px[150 * w + 120] == background &&
                   px[50 * w + 100] == grid && px[200 * w + 50] == grid;
        });
    };
    {
        SystemColours theme(game, RGB(0x20, 0x30, 0x40), RGB(0xE0, 0xD0, 0xC0));
        EXPECT_TRUE(shows(0x203040, 0xE0D0C0));
    }
    EXPECT_TRUE(shows(0xFFFFFF, 0x000000));
}

// Each digit key plays its square once (again, or on the Ring's square, nothing); the keypad and 0 play nothing.
TEST_F(Window, EveryDigitKeyPlaysItsSquareOnce)
{
    for (UINT key = VK_NUMPAD1; key <= VK_NUMPAD9; ++key)
        game.key(key);
    game.key('0');
    ASSERT_TRUE(game.handledPosted());
    EXPECT_EQ(game.stableBoard(), Empty);
    for (int square = 1; square <= 9; ++square) {
        const Move move = play(square);
        ASSERT_EQ(move.result, Move::Answered) << square << ": " << move.board;
        EXPECT_EQ(play(square).result, Move::Nothing) << square;
        EXPECT_EQ(play(static_cast<int>(move.board.find('O')) + 1).result, Move::Nothing) << move.board;
        game.command(101);
        game.answer(game.waitBox(), IDYES);
        ASSERT_EQ(game.waitBoard(Empty), Empty);
    }
    int w, h;
    EXPECT_EQ(blackSquares(game.pixels(&w, &h), w), "");   // no focus mark without the keys that work the cursor
}

// The pause drops digits, clicks and closing (no box after it either); Ctrl+M typed in it mutes nothing, after it does.
TEST_F(Window, ThePauseDropsMovesRefusesClosingAndTranslatesNoAccelerator)
{
    const DWORD start = GetTickCount();
    game.key('5');
    const Board crossed = game.waitBoard([](const Board &b) { return b != Empty; }, 2000);
    ASSERT_EQ(crossed, "....X....");
    game.key('1');
    game.click(250, 250);
    game.post(WM_CLOSE);
    game.command(199);
    game.input({VK_CONTROL, 'M'});
    const Board b = game.waitBoard([&](const Board &now) { return now != crossed; }, 4000);
    const DWORD answered = GetTickCount() - start;
    EXPECT_GE(answered, 950u);
    EXPECT_LT(answered, driver::scaled(2500));
    EXPECT_TRUE(strategy::answered(Empty, 5, b)) << b;
    ASSERT_TRUE(game.handledPosted());
    EXPECT_FALSE(game.findBox().valid());
    EXPECT_EQ(game.stableBoard(), b);
    EXPECT_EQ(game.titleBytes(), "Noxel\xA0\xA0 [You begin]");
    game.input({VK_CONTROL, 'M'});
    const std::string muted = "Noxel\xA0\xA0 [You begin]\xA0\xA0 [mute]";
    EXPECT_EQ(game.waitTitle(muted), muted);
}

TEST_F(Window, ComputerOpensWithTheNextNewGame)
{
    const std::string title = "Noxel\xA0\xA0 [Computer begins]\xA0\xA0 [mute]";
    game.key(VK_F4);
    game.command(119);
    EXPECT_EQ(game.waitTitle(title), title);
    EXPECT_EQ(game.stableBoard(), Empty);   // the option alone places nothing
    game.key(VK_F2);
    ASSERT_TRUE(opens(true));
    // The options are closed during a game.
    game.key(VK_F3);
    ASSERT_TRUE(game.handledPosted());
    EXPECT_EQ(game.titleBytes(), title);

    // Ctrl+N asks during a game, as F2 does; Yes starts the next game with the computer's mark alone.
    ASSERT_EQ(play(static_cast<int>(game.stableBoard().find('.')) + 1).result, Move::Answered);
    game.input({VK_CONTROL, 'N'});
    Box box = game.waitBox();
    ASSERT_EQ(box.caption, ExpectedBoxes[BoxNewGame].caption[0]);
    game.answer(box, IDYES);
    EXPECT_TRUE(opens(true));
}

// Each box of a running game, opened two ways: texts, buttons, default (No, or the only one). Each answer but Exit's
// Yes leaves the board (read once repainted); F1 in About opens no second box, so that Enter typed after it closes
// the only one (a second would take it). On an empty board F2 asks nothing.
TEST_F(Window, EachBoxOpensTwoWaysAndItsAnswersDoWhatTheySay)
{
    game.key(VK_F2);
    ASSERT_TRUE(game.handledPosted());
    EXPECT_FALSE(game.findBox().valid());
    ASSERT_EQ(play(5).result, Move::Answered);
    const Board b = game.stableBoard();
    const std::vector<std::wstring> yesNoCancel = {L"&Yes", L"&No", L"Cancel"};
    const struct {
        BoxName name;
        std::function<void()> open[2];
        std::vector<std::wstring> buttons;
        int answer[2];   // 0: F1 and Enter typed in it
    } boxes[] = {
        {BoxNewGame, {[&] { game.key(VK_F2); }, [&] { game.command(101); }}, yesNoCancel, {IDNO, IDCANCEL}},
        {BoxAbout, {[&] { game.command(901); }, [&] { game.input({VK_F1}); }}, {L"OK"}, {IDOK, 0}},
        {BoxExit, {[&] { game.post(WM_CLOSE); }, [&] { game.input({VK_MENU, 'X'}); }}, yesNoCancel, {IDNO, IDYES}},
    };
    for (const auto &expected : boxes)
        for (int i = 0; i < 2; ++i) {
            expected.open[i]();
            const Box box = game.waitBox();
            ASSERT_EQ(box.shown(), expectedBox(expected.name)) << i;
            EXPECT_EQ(box.buttons, expected.buttons);
            EXPECT_EQ(box.defaultButton, expected.buttons[expected.buttons.size() > 1]);
            if (expected.answer[i] == IDYES)
                endsTheGame = true;
            if (expected.answer[i] != 0) {
                game.answer(box, expected.answer[i]);
            } else {
                game.input({VK_F1}, box.window);
                game.input({VK_RETURN}, box.window);
            }
            EXPECT_TRUE(driver::waitUntil([&] { return !game.findBox().valid(); })) << "a second box is open";
            EXPECT_EQ(endsTheGame ? b : game.waitBoard(b), b) << i;
        }
    EXPECT_EQ(game.waitExit(), 0u);
}

// Closing an empty board asks nothing, and a WM_DESTROY posted from outside ends the loop.
TEST(Closing, AnEmptyBoardAsksNothingAndDestroyFromOutsideEndsTheLoop)
{
    for (UINT message : {WM_CLOSE, WM_DESTROY}) {
        Game game;
        ASSERT_NE(game.window(), nullptr) << game.startFailure();
        game.post(message);
        EXPECT_EQ(game.waitExit(), 0u) << message;
    }
}

// As small as a captioned window gets (Wine: 108 x 0): no click plays, the key 5 does, and painting there is safe.
TEST_F(Window, SmallestWindowTakesNoClickButKeysAndPaints)
{
    game.setClientSize(2, 2);
    RECT small;
    GetClientRect(game.window(), &small);
    ASSERT_LE(small.bottom, 2);
    ASSERT_LT(small.right, 300);
    game.click(1, 1);
    game.click(0, 0);
    game.key('5');
    ASSERT_TRUE(game.handledPosted());   // a client area without pixels gets no paint from the system
    SendMessageTimeoutW(game.window(), WM_PAINT, 0, 0, SMTO_ABORTIFHUNG, driver::scaled(5000), nullptr);
    ASSERT_TRUE(game.setClientSize(300, 300));
    Board b;
    EXPECT_TRUE(driver::waitUntil([&] { return strategy::answered(Empty, 5, b = game.stableBoard()); })) << b;
}

// What a screen reader hears, each ended by "|": "name 5", "focus 5" for a square, the live text as it comes.
std::wstring heard;

void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    IAccessible *source = nullptr;
    VARIANT id;
    if (object == OBJID_CLIENT && child != CHILDID_SELF && (event == EVENT_OBJECT_NAMECHANGE || event == EVENT_OBJECT_FOCUS))
        heard += (event == EVENT_OBJECT_FOCUS ? L"focus " : L"name ") + std::to_wstring(child) + L"|";
    else if (object == OBJID_CLIENT && event == 0x8019 /* EVENT_OBJECT_LIVEREGIONCHANGED */ &&
             AccessibleObjectFromEvent(window, object, child, &source, &id) == S_OK) {
        heard += readText(source, &IAccessible::get_accName, id.lVal) + L"|";
        source->Release();
    }
}

// Out-of-context events come while this thread takes its messages: takes them until n have been heard.
bool hearUntil(long n)
{
    return driver::waitUntil([&] {
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&m);
        return std::count(heard.begin(), heard.end(), L'|') >= n;
    }, 4000);
}

// Hears the game's focus, name and live-region events while it lives.
struct Listener {
    explicit Listener(const Game &game) : hook(SetWinEventHook(EVENT_OBJECT_FOCUS, 0x8019, nullptr, hear, game.pid(), 0,
                                                               WINEVENT_OUTOFCONTEXT)) { heard.clear(); }
    ~Listener() { UnhookWinEvent(hook); }
    const HWINEVENTHOOK hook;
};

// Reads the nine squares of an empty 300 x 300 board, plays 5 by its default action and reads it again once
// the live text has said both marks (texts 3 and 4 before their numbers) and a taken square (5 after it).
void readAndPlayBoard(Game &game, const std::wstring &square, const std::vector<std::wstring> &marks, const wchar_t *play)
{
    IAccessible *board = accessibleBoard(game.window());
    LONG children = 0;
    if (board == nullptr || board->get_accChildCount(&children) != S_OK || children != 10) {
        ADD_FAILURE() << "no board of nine squares and a live text";
        return;
    }
    EXPECT_EQ(readNumber(board, &IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_CLIENT);
    // The window in the foreground holds the keyboard focus, and the cursor's square, 5, has it.
    SetForegroundWindow(game.window());
    EXPECT_TRUE(driver::waitUntil([&] {
        return readNumber(board, &IAccessible::get_accState, CHILDID_SELF) == (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    }, 1000));
    VARIANT v;
    EXPECT_EQ(childOf(board->get_accFocus(&v), v), 5);
    POINT origin = {0, 0};
    ClientToScreen(game.window(), &origin);
    for (long n = 1; n <= 9; ++n) {
        EXPECT_EQ(readText(board, &IAccessible::get_accName, n), square + std::to_wstring(n) + marks[0]);
        EXPECT_EQ(readText(board, &IAccessible::get_accDefaultAction, n), play);
        EXPECT_EQ(readNumber(board, &IAccessible::get_accRole, n), ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(readNumber(board, &IAccessible::get_accState, n), STATE_SYSTEM_FOCUSABLE | (n == 5 ? STATE_SYSTEM_FOCUSED : 0));
        LONG x = 0, y = 0, w = 0, h = 0;
        board->accLocation(&x, &y, &w, &h, childId(n));
        EXPECT_EQ((std::vector<LONG>{x - origin.x, y - origin.y, w, h}),
                  (std::vector<LONG>{(n - 1) % 3 * 100, (n - 1) / 3 * 100, 100, 100}));
        EXPECT_EQ(childOf(board->accHitTest(x + 99, y + 99, &v), v), n);
    }
    Listener listener(game);
    // The call returns at once, not after the move with its one-second pause (which may end in a box).
    const DWORD start = GetTickCount();
    EXPECT_EQ(board->accDoDefaultAction(childId(5)), S_OK);
    EXPECT_LT(GetTickCount() - start, 900u);
    EXPECT_TRUE(hearUntil(4));
    const Board b = game.stableBoard();
    const std::wstring ring = std::to_wstring(b.find('O') + 1);
    EXPECT_EQ(b[4], 'X');
    EXPECT_EQ(readText(board, &IAccessible::get_accName, 5), square + L"5" + marks[1]);
    EXPECT_EQ(readText(board, &IAccessible::get_accName, std::stol(ring)), square + ring + marks[2]);
    EXPECT_EQ(readNumber(board, &IAccessible::get_accState, 5), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_UNAVAILABLE);
    // A taken square refuses the action as it refuses a click, takes the cursor and says it is taken.
    EXPECT_EQ(board->accDoDefaultAction(childId(std::stol(ring))), S_OK);
    EXPECT_TRUE(hearUntil(6));
    EXPECT_EQ(heard, L"name 5|" + marks[3] + L"5|name " + ring + L"|" + marks[4] + ring + L"|focus " + ring + L"|" + square +
                         ring + marks[5] + L"|");
    EXPECT_TRUE(game.handledPosted());
    EXPECT_EQ(game.stableBoard(), b);
    board->Release();
}

TEST_F(Window, ScreenReaderReadsAndPlaysTheBoardLikeAClick)
{
    readAndPlayBoard(game, L"Square ", {L": empty", L": Cross", L": Ring", L"Cross on square ", L"Ring on square ", L" is taken"},
                     L"Play");
}

TEST_F(German, ScreenReaderReadsAndPlaysTheBoard)
{
    readAndPlayBoard(game, L"Feld ", {L": leer", L": Kreuz", L": Kreis", L"Kreuz auf Feld ", L"Kreis auf Feld ", L" ist besetzt"},
                     L"Setzen");
}

// The cursor from 5, the window regaining the focus: each key, the focused square after it and the squares
// it repainted (the focus mark, from the first arrow on). Edges stop it, the keypad does nothing; Space
// plays, Enter on the taken square is refused and says so, a click hides the mark.
TEST_F(Window, ArrowsMoveTheCursorUpToTheEdgesEnterAndSpacePlayIt)
{
    IAccessible *board = accessibleBoard(game.window());
    Listener listener(game);
    HWND other = CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    game.input({}, other);
    hearUntil(0);   // this thread's window takes the focus
    game.input({});
    DestroyWindow(other);
    const struct { UINT key; LONG cursor; const char *changed; } keys[] = {
        {VK_NUMPAD4, 5, ""}, {VK_LEFT, 4, "4"},   {VK_LEFT, 4, ""}, {VK_UP, 1, "14"},   {VK_UP, 1, ""},    {VK_RIGHT, 2, "12"},
        {VK_RIGHT, 3, "23"}, {VK_RIGHT, 3, ""}, {VK_DOWN, 6, "36"}, {VK_DOWN, 9, "69"}, {VK_DOWN, 9, ""}, {VK_LEFT, 8, "89"}};
    int w, h;
    std::vector<uint32_t> before = game.pixels(&w, &h);
    for (const auto &k : keys) {
        game.key(k.key);
        ASSERT_TRUE(game.handledPosted());
        const std::vector<uint32_t> after = game.pixels(&w, &h);
        std::vector<uint32_t> changes(after.size());   // black where a pixel changed
        for (size_t i = 0; i < after.size(); ++i)
            changes[i] = before[i] == after[i];
        EXPECT_EQ(blackSquares(changes, w), k.changed) << k.key;
        VARIANT focus;
        EXPECT_EQ(childOf(board->get_accFocus(&focus), focus), k.cursor) << k.key;
        before = after;
    }
    game.key(VK_SPACE);
    ASSERT_TRUE(hearUntil(12));
    const Board b = game.stableBoard();
    EXPECT_TRUE(strategy::answered(Empty, 8, b)) << b;
    const long ring = static_cast<long>(b.find('O'));
    EXPECT_EQ(blackSquares(game.pixels(&w, &h), w), "8");
    game.key(VK_RETURN);
    ASSERT_TRUE(hearUntil(13));   // each announcement is read before the next replaces it
    game.click(ring % 3 * 100 + 50, ring / 3 * 100 + 50);
    ASSERT_TRUE(hearUntil(15));
    EXPECT_EQ(game.stableBoard(), b);
    EXPECT_EQ(blackSquares(game.pixels(&w, &h), w), "");
    const std::wstring r = std::to_wstring(ring + 1);
    EXPECT_EQ(heard, L"focus 5|focus 4|focus 1|focus 2|focus 3|focus 6|focus 9|focus 8|name 8|Cross on square 8|name " + r +
                         L"|Ring on square " + r + L"|Square 8 is taken|focus " + r + L"|Square " + r + L" is taken|");
    board->Release();
}

// The probe's "objects gdi=N windows=M"; a report without both counts fails.
std::string objectsLine(const Game &game)
{
    const std::vector<std::string> report = game.probe();
    const std::string line = report.empty() ? "no report" : report.back();
    int gdi = 0, windows = 0;
    EXPECT_TRUE(sscanf(line.c_str(), "objects gdi=%d windows=%d", &gdi, &windows) == 2 && gdi > 0 && windows > 0) << line;
    return line;
}

class Scaled : private At144, public Window {};   // the window fixture's game, started at 144 DPI

// All lengths half as long again (a digit 15 pixels high, 10 at 96); a click finds its square; no object kept.
TEST_F(Scaled, PaintsEveryLengthAtTheDisplaysScaleAndTakesAClick)
{
    checkPainting(game, {2, {147, 149}, {135, 139}, {13, 17}, 3});
    const std::string before = objectsLine(game);
    for (int i = 0; i < 200; ++i)
        RedrawWindow(game.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(objectsLine(game), before);
}

// Many games in one process: each ending's box over its board (a draw's board full), closed to an empty
// one. Quiet play draws about half, careless mostly loses (300 games: 104 won, 102 drawn, 94 lost): 30
// games miss an ending about once in 500,000. The GDI objects and windows stay. NOXEL_SOAK_GAMES: games.
class Soak : public Window {};

TEST_F(Soak, EveryEndingShowsItsBoxAndGamesLeaveNothingBehind)
{
    const char *setting = getenv("NOXEL_SOAK_GAMES");
    const int games = setting != nullptr ? std::max(3, atoi(setting)) : 30;   // two to warm up, one counted at least
    // From the third game on: the first ones load fonts, icons and brushes that stay cached (the shipped
    // file under the 32-bit Wine once took six objects in games two and three, none in the 60 after).
    std::string before;
    int endings[3] = {};   // won, lost, drawn
    for (int i = 0; i < games; ++i) {
        if (i == 2)
            before = objectsLine(game);
        Board finished;
        const Box box = strategy::playToEnd(game, i % 3 == 2 ? strategy::careless : strategy::quiet, &finished);
        ASSERT_EQ(box.buttons, (std::vector<std::wstring>{L"OK"})) << "game " << i;
        const char line = winner(finished);
        const BoxName ending = line == 'X' ? BoxHumanWon : line == 'O' ? BoxComputerWon : BoxDraw;
        EXPECT_EQ(box.shown(), expectedBox(ending)) << finished;
        EXPECT_TRUE(ending != BoxDraw || count(finished, '.') == 0) << finished;
        ++endings[ending];
        game.answer(box, IDOK);
        ASSERT_EQ(game.waitBoard(Empty), Empty);
        // Alternate who opens; the computer's Ring is there before the next game is read.
        const bool computerOpens = i % 4 == 1 || i % 4 == 2;
        if (i % 2 == 1) {
            game.key(computerOpens ? VK_F4 : VK_F3);
            const std::string title = computerOpens ? "Noxel\xA0\xA0 [Computer begins]" : "Noxel\xA0\xA0 [You begin]";
            ASSERT_EQ(game.waitTitle(title), title);
        }
        game.key(VK_F2);
        ASSERT_TRUE(game.handledPosted());
        ASSERT_TRUE(opens(computerOpens)) << "game " << i;
    }
    const std::string after = objectsLine(game);
    printf("soak: %d games (%d won, %d lost, %d drawn); before: %s; after: %s\n", games, endings[BoxHumanWon],
           endings[BoxComputerWon], endings[BoxDraw], before.c_str(), after.c_str());
    EXPECT_EQ(after, before);
    EXPECT_GT(endings[BoxHumanWon], 0);
    EXPECT_GT(endings[BoxComputerWon], 0);
    EXPECT_GT(endings[BoxDraw], 0);
}

}  // namespace
