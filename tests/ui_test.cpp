// ui_test.cpp: texts and language, the message-box record, the tones and the paced wait, the board's
// object, the numbers' font, and the geometry of painting and hit-testing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "game/state.h"
#include "tests/access_reader.h"
#include "tests/box_texts.h"
#include "ui/frame.h"
#include "ui/geometry.h"
#include "ui/message.h"
#include "ui/paint.h"
#include "ui/sound.h"
#include "ui/texts.h"
#include "ui/winproc.h"

// The platform calls that make noise or show a box are taken over here through their import slots, so
// that the real routines run and every call they make is recorded.
namespace {

std::vector<std::pair<DWORD, DWORD>> beeps;
MSGBOXPARAMSW lastBox;
std::wstring lastShown;             // caption|text|icon
std::vector<std::string> calls;     // "Beep", "MessageBeep <type>", "MessageBoxIndirectW"
int systemDpi;               // what the system's device context tells, 0: the real answer
std::vector<LONG> fontHeights;

int WINAPI fakeGetDeviceCaps(HDC dc, int index)
{
    static const auto real = reinterpret_cast<int(WINAPI *)(HDC, int)>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("gdi32.dll"), "GetDeviceCaps")));
    return index == LOGPIXELSY && systemDpi != 0 ? systemDpi : real(dc, index);
}

HFONT WINAPI recordCreateFontIndirectA(const LOGFONTA *font)
{
    fontHeights.push_back(font->lfHeight);
    return nullptr;   // painted in the system font
}

BOOL WINAPI recordBeep(DWORD frequency, DWORD duration)
{
    beeps.push_back({frequency, duration});
    calls.push_back("Beep");
    return TRUE;
}

BOOL WINAPI recordMessageBeep(UINT type)
{
    calls.push_back("MessageBeep " + std::to_string(type));
    return TRUE;
}

int WINAPI recordMessageBox(const MSGBOXPARAMSW *params)
{
    lastBox = *params;
    lastShown = std::wstring(params->lpszCaption) + L"|" + params->lpszText + L"|" + params->lpszIcon;
    calls.push_back("MessageBoxIndirectW");
    return IDNO;
}

// A theme of the tests' own: the high-contrast flag, which Wine always reports off (the board asks for
// nothing else), and system colours unlike any the board uses itself.
bool highContrast = false;

BOOL WINAPI fakeSystemParametersInfoW(UINT, UINT, void *value, UINT)
{
    static_cast<HIGHCONTRASTW *>(value)->dwFlags = highContrast ? HCF_HIGHCONTRASTON : 0;
    return TRUE;
}

DWORD WINAPI fakeGetSysColor(int index)
{
    return RGB(index, 0x0A, index);   // the same as a DIB's pixel, which holds red and blue the other way round
}

}  // namespace

extern "C" {
void *__imp_SystemParametersInfoW = reinterpret_cast<void *>(&fakeSystemParametersInfoW);
void *__imp_GetSysColor = reinterpret_cast<void *>(&fakeGetSysColor);
void *__imp_Beep = reinterpret_cast<void *>(&recordBeep);
void *__imp_MessageBeep = reinterpret_cast<void *>(&recordMessageBeep);
void *__imp_MessageBoxIndirectW = reinterpret_cast<void *>(&recordMessageBox);
void *__imp_GetDeviceCaps = reinterpret_cast<void *>(&fakeGetDeviceCaps);
void *__imp_CreateFontIndirectA = reinterpret_cast<void *>(&recordCreateFontIndirectA);
}

namespace {

class Ui : public ::testing::Test {
protected:
    void SetUp() override
    {
        game = GameState{HumanOpens, false, false, false, false, 0, {}};
        highContrast = false;
        beeps.clear();
        calls.clear();
    }
};

// A window of this thread with its own class and procedure.
HWND testWindow(WNDPROC procedure, const wchar_t *name, DWORD style, int width, int height)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
    return CreateWindowW(name, L"", style, 0, 0, width, height, nullptr, nullptr, wc.hInstance, nullptr);
}

void dispatchQueued()
{
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&m);
}

TEST_F(Ui, GermanForEveryGermanSublanguageOnly)
{
    for (unsigned short id : {0x0407, 0x0807, 0x0C07, 0x1007, 0x1407})
        EXPECT_TRUE(isGermanLanguage(id)) << std::hex << id;
    for (unsigned short id : {0x0409, 0x040C, 0x0000, 0x0413, 0x0C09})
        EXPECT_FALSE(isGermanLanguage(id)) << std::hex << id;
}

// Both languages whole are read by the drivers, through the board's object.
TEST_F(Ui, SquareNamesAreComposedWithinTheirBuffer)
{
    wchar_t name[16];
    game.german = true;
    composeSquareName(name, 9, 9, Cross);
    EXPECT_STREQ(name, L"Feld 9: ");
}

// The board's object in this process, in a client area of 302 x 301: states follow the game, the
// remainder strips belong to the last squares, the live text says the last move, the cursor follows a
// played square and accSelect, navigation walks the grid, and once the window is gone every call fails.
TEST_F(Ui, AccessibleBoardFollowsTheGameAndOutlivesNoWindow)
{
    HWND window = testWindow(mainWindowProc, L"NoxelAccessTest", WS_POPUP, 302, 301);
    IAccessible *board = accessibleBoard(window);
    ASSERT_NE(board, nullptr);
    SetFocus(nullptr);   // no window of this thread takes keys: nor does the board
    VARIANT v;
    EXPECT_EQ(childOf(board->get_accFocus(&v), v), 0);
    EXPECT_EQ(readNumber(board, &IAccessible::get_accState, CHILDID_SELF), STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(readNumber(board, &IAccessible::get_accRole, 10), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(readText(board, &IAccessible::get_accName, 10), L"");
    // While a box has disabled the window the default action is dropped, as a click is; then it plays.
    for (BOOL enabled : {FALSE, TRUE}) {
        EnableWindow(window, enabled);
        EXPECT_EQ(readNumber(board, &IAccessible::get_accState, 1),
                  STATE_SYSTEM_FOCUSABLE | (enabled ? 0 : STATE_SYSTEM_UNAVAILABLE));
        EXPECT_EQ(board->accDoDefaultAction(childId(1)), S_OK);
        dispatchQueued();
        EXPECT_EQ(game.board[1], enabled ? Cross : Empty);
        EXPECT_EQ(game.cursor, enabled ? 1 : 5);
    }
    EXPECT_EQ(readNumber(board, &IAccessible::get_accState, 1), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(readText(board, &IAccessible::get_accName, 10).substr(0, 12), L"Ring on squa");
    EXPECT_EQ(board->accSelect(SELFLAG_TAKEFOCUS, childId(7)), S_OK);
    EXPECT_EQ(board->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, childId(2)), E_INVALIDARG);
    EXPECT_EQ(game.cursor, 7);
    // Start (0 the board, 10 the live text), direction, and where it leads; 0: nowhere, S_FALSE and empty.
    const LONG walks[][3] = {{0, NAVDIR_FIRSTCHILD, 1}, {0, NAVDIR_LASTCHILD, 10}, {0, NAVDIR_NEXT, 0}, {5, NAVDIR_LASTCHILD, 0},
                             {1, NAVDIR_UP, 0}, {1, NAVDIR_LEFT, 0}, {1, NAVDIR_RIGHT, 2}, {1, NAVDIR_DOWN, 4}, {3, NAVDIR_RIGHT, 0},
                             {4, NAVDIR_LEFT, 0}, {8, NAVDIR_UP, 5}, {7, NAVDIR_DOWN, 0}, {3, NAVDIR_NEXT, 4}, {4, NAVDIR_PREVIOUS, 3},
                             {1, NAVDIR_PREVIOUS, 0}, {9, NAVDIR_NEXT, 10}, {10, NAVDIR_PREVIOUS, 9}, {10, NAVDIR_UP, 0}};
    for (const auto &walk : walks)
        EXPECT_EQ(childOf(board->accNavigate(walk[1], childId(walk[0]), &v), v), walk[2]) << walk[0] << " " << walk[1];
    game.board[2] = Empty;
    game.busy = true;   // the computer's pause
    EXPECT_EQ(readNumber(board, &IAccessible::get_accState, 2), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE);
    POINT corner = {0, 0};
    ClientToScreen(window, &corner);
    LONG place[4];
    EXPECT_EQ(board->accLocation(&place[0], &place[1], &place[2], &place[3], childId(9)), S_OK);
    EXPECT_EQ(std::vector<LONG>(place, place + 4), (std::vector<LONG>{corner.x + 200, corner.y + 200, 102, 101}));
    EXPECT_EQ(readText(board, &IAccessible::get_accKeyboardShortcut, 5), L"5");
    // The last pixel, then right of, below, left of and above the client area (frame, menu bar): no square.
    for (const POINT &p : {POINT{301, 300}, POINT{302, 0}, POINT{0, 301}, POINT{-1, 0}, POINT{0, -1}})
        EXPECT_EQ(childOf(board->accHitTest(corner.x + p.x, corner.y + p.y, &v), v), p.x == 301 ? 9 : 0) << p.x << "," << p.y;
    // The board answers for the client area alone: the window, its title bar and menus are the system's.
    for (LONG object : {OBJID_WINDOW, OBJID_TITLEBAR, OBJID_MENU, OBJID_SYSMENU, OBJID_VSCROLL})
        EXPECT_EQ(SendMessageW(window, WM_GETOBJECT, 0, object), 0) << object;

    DestroyWindow(window);
    EXPECT_EQ(readText(board, &IAccessible::get_accName, 2), L"failed " + std::to_wstring(RPC_E_DISCONNECTED));
    board->Release();
}

// The window's own boxes, Exit and About, in both languages (the engine's are in engine_test, setup's
// in the setup driver): the About text whole, header and rules.
TEST_F(Ui, ExitAndAboutBoxesInBothLanguages)
{
    const HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(0x4242));
    for (bool german : {false, true}) {
        game.german = german;
        for (BoxName name : {BoxExit, BoxAbout}) {
            game.moveCount = 1;   // the Exit question asks only during a game
            mainWindowProc(window, name == BoxExit ? WM_CLOSE : WM_COMMAND, name == BoxExit ? 0 : IDM_ABOUT, 0);
            const ExpectedBox &box = ExpectedBoxes[name];
            EXPECT_EQ(lastShown, expectedBox(name, german) + L"|" + box.icon);
            EXPECT_EQ(lastBox.dwStyle & 0xFFFF, box.style);
            lastShown.clear();
        }
    }
}

// Moved onto a display of another scale (WM_DPICHANGED, 0x02E0), the window takes the place and size
// the system suggests and asks to be painted whole: shrinking alone would uncover nothing to paint.
// A changed theme or system colour repaints it whole as well.
TEST_F(Ui, DpiChangeTakesTheSuggestedRectangleAndRepaints)
{
    HWND window = CreateWindowW(L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 400, 0, 0, 0, 0);
    RECT suggested = {10, 20, 310, 260}, outer = {}, client = {}, update = {};
    for (UINT message : {0x02E0, WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED}) {
        ValidateRect(window, nullptr);
        mainWindowProc(window, message, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        GetClientRect(window, &client);
        EXPECT_TRUE(GetUpdateRect(window, &update, FALSE) && EqualRect(&update, &client)) << message;
    }
    GetWindowRect(window, &outer);
    EXPECT_TRUE(EqualRect(&outer, &suggested));
    DestroyWindow(window);
}

// The colours in each square of a board painted into memory (grid excluded; the number's edges are
// smoothed): a Cross on 1, a Ring on 9, the number on 5, with the high-contrast flag off and on.
TEST_F(Ui, BoardTakesTheThemesColoursAndHighContrastDropsTheShadows)
{
    game.board[1] = Cross;
    game.board[9] = Ring;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 300, -300, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    DWORD *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ kept = SelectObject(dc, CreateDIBSection(dc, &info, 0, reinterpret_cast<void **>(&bits), nullptr, 0));
    using Colours = std::set<COLORREF>;
    const COLORREF window = fakeGetSysColor(COLOR_WINDOW), text = fakeGetSysColor(COLOR_WINDOWTEXT), grey = 0x808080;
    const struct {
        Colours square1, square9;
        COLORREF number, focus;
    } cases[] = {{{window, 0xFF0000, grey}, {window, 0x0000FF, grey}, grey, text},
                 {{window, text}, {window, fakeGetSysColor(COLOR_HOTLIGHT)}, fakeGetSysColor(COLOR_GRAYTEXT),
                  fakeGetSysColor(COLOR_HIGHLIGHT)}};
    for (const auto &c : cases) {
        const BoardColours colours = boardColours();
        std::fill(bits, bits + 300 * 300, colours.background);
        drawBoard(dc, 300, 300, 96, colours);
        GdiFlush();
        auto seen = [&](int left, int top) {
            Colours found;
            for (int y = top; y < top + 99; ++y)
                for (int x = left; x < left + 99; ++x)
                    found.insert(RGB(bits[y * 300 + x] >> 16, bits[y * 300 + x] >> 8 & 0xFF, bits[y * 300 + x] & 0xFF));
            return found;
        };
        EXPECT_EQ(seen(0, 0), c.square1) << highContrast;
        EXPECT_EQ(seen(201, 201), c.square9) << highContrast;
        EXPECT_TRUE(seen(101, 101).count(c.number)) << highContrast;
        EXPECT_EQ(seen(101, 101).count(grey), highContrast ? 0u : 1u);
        EXPECT_EQ(seen(100, 0).count(text), 1u);   // the grid line
        EXPECT_EQ(colours.focus, c.focus);
        highContrast = true;
    }
    DeleteObject(SelectObject(dc, kept));
    DeleteDC(dc);
}

// A window at 96 DPI on a system started at 144 (Wine gives every window the system's DPI): the
// numbers' outline font is the system font's height scaled from the system's DPI to the window's.
TEST_F(Ui, NumbersFontScalesFromTheSystemsDpiToTheWindows)
{
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, 0, 0, 0, 0);
    LOGFONTA system;
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    systemDpi = 144;
    fontHeights.clear();
    InvalidateRect(window, nullptr, TRUE);
    paintBoard(window);
    systemDpi = 0;
    DestroyWindow(window);
    EXPECT_EQ(fontHeights, std::vector<LONG>{MulDiv(system.lfHeight, 96, 144)});
}

TEST_F(Ui, ShowMessageFillsTheRecordAndSoundsFirst)
{
    game.muted = true;   // the information sound is not a tone: it comes all the same
    HWND owner = reinterpret_cast<HWND>(static_cast<intptr_t>(0x4242));
    EXPECT_EQ(showMessage(owner, L"text", L"caption", L"i", StyleConfirm), IDNO);
    EXPECT_EQ(calls, (std::vector<std::string>{"MessageBeep 64", "MessageBoxIndirectW"}));   // MB_ICONASTERISK
    EXPECT_EQ(lastBox.hwndOwner, owner);
    EXPECT_EQ(lastShown, L"caption|text|i");
    EXPECT_EQ(lastBox.dwStyle, 0x10183u);
}

TEST_F(Ui, RefusalIsTheSimpleBeep)
{
    refuseWhileBusy();
    EXPECT_EQ(calls, std::vector<std::string>{"MessageBeep 65535"});
}

// Each tone's notes, each followed by the speaker's reset; muted, not a beep.
TEST_F(Ui, TonesAreTheirNotesEachFollowedBySpeakerResetUnlessMuted)
{
    using Tones = std::vector<std::pair<DWORD, DWORD>>;
    const std::pair<DWORD, DWORD> r{20000, 0};
    const struct {
        void (*play)();
        Tones notes;
    } tones[] = {{playMoveClick, {{220, 66}, r}},
                 {playFallingRun, {{880, 55}, r, {740, 55}, r, {622, 55}, r, {523, 55}, r, {440, 55}, r}},
                 {playRisingRun, {{440, 55}, r, {554, 55}, r, {659, 55}, r, {880, 55}, r}},
                 {[] { playTone(1000, 10); }, {{1000, 10}, r}}, {resetSpeaker, {r}}};
    for (bool muted : {false, true})
        for (const auto &tone : tones) {
            game.muted = muted;
            beeps.clear();
            tone.play();
            EXPECT_EQ(beeps, muted ? Tones{} : tone.notes) << tone.notes[0].first;
        }
}

TEST_F(Ui, TickComparisonSurvivesTheWrapOfTheCount)
{
    EXPECT_FALSE(tickReached(0x7FFFFF00u, 0x7FFFFF00u + 1000));     // target beyond 0x7FFFFFFF
    EXPECT_FALSE(tickReached(0x7FFFFFFFu, 0x80000010u));
    EXPECT_TRUE(tickReached(0x80000010u, 0x80000010u));
    EXPECT_FALSE(tickReached(0xFFFFFF00u, 0xFFFFFF00u + 1000));     // target past the wrap to 0
    EXPECT_TRUE(tickReached(0x000002E8u, 0xFFFFFF00u + 1000));
    EXPECT_TRUE(tickReached(5, 4));
}

struct Pump {
    HWND window = nullptr;
    std::vector<std::pair<UINT, DWORD>> seen;   // message and the tick at which it was dispatched
};
Pump pump;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP)
        pump.seen.push_back({message, GetTickCount()});
    return DefWindowProcW(window, message, wParam, lParam);
}

class Wait : public Ui {
protected:
    void SetUp() override
    {
        Ui::SetUp();
        pump.window = testWindow(recordingProc, L"NoxelWaitTest", 0, 10, 10);
        pump.seen.clear();
        dispatchQueued();
    }
    void TearDown() override { DestroyWindow(pump.window); }
};

TEST_F(Wait, LastsItsDurationWithoutUsingTheProcessor)
{
    FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelBefore, &userBefore);
    const DWORD start = GetTickCount();
    waitPumping(1000);
    const DWORD elapsed = GetTickCount() - start;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelAfter, &userAfter);
    auto ms = [](const FILETIME &f) { return ((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000; };
    EXPECT_GE(elapsed, 1000u);
    EXPECT_LT(elapsed, 3000u);
    // A spinning wait would use about the whole second.
    EXPECT_LT((ms(kernelAfter) - ms(kernelBefore)) + (ms(userAfter) - ms(userBefore)), 500u);
}

// A message posted by another thread half-way through the wait is dispatched when it arrives (a wait
// that dispatched only at its end would show both messages after a second).
TEST_F(Wait, DispatchesAPostedMessageAtOnce)
{
    struct Poster {
        static DWORD WINAPI run(void *window)
        {
            Sleep(300);
            PostMessageW(static_cast<HWND>(window), WM_APP + 1, 0, 0);
            return 0;
        }
    };
    PostMessageW(pump.window, WM_APP, 0, 0);
    const DWORD start = GetTickCount();
    HANDLE thread = CreateThread(nullptr, 0, Poster::run, pump.window, 0, nullptr);
    waitPumping(1000);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    ASSERT_EQ(pump.seen.size(), 2u);
    EXPECT_EQ(pump.seen[0].first, static_cast<UINT>(WM_APP));
    EXPECT_LT(pump.seen[0].second - start, 500u);
    EXPECT_EQ(pump.seen[1].first, static_cast<UINT>(WM_APP + 1));
    EXPECT_LT(pump.seen[1].second - start, 800u);
}

TEST_F(Wait, ZeroDispatchesWhatIsQueuedAndReturns)
{
    PostMessageW(pump.window, WM_APP, 0, 0);
    const DWORD start = GetTickCount();
    waitPumping(0);
    EXPECT_LT(GetTickCount() - start, 500u);
    EXPECT_EQ(pump.seen.size(), 1u);
}

TEST_F(Wait, HandsAQuitRequestOnOnce)
{
    PostQuitMessage(7);
    PostMessageW(pump.window, WM_APP, 0, 0);
    waitPumping(1000);
    // The re-posted request is there for the main loop, and exactly once.
    std::vector<WPARAM> quitCodes;
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
        if (m.message == WM_QUIT)
            quitCodes.push_back(m.wParam);
        else
            DispatchMessageW(&m);
    EXPECT_EQ(quitCodes, std::vector<WPARAM>{1});
}

TEST(Geometry, LengthsScaleWithTheDpiAsMulDivRounds)
{
    for (int dpi = 72; dpi <= 480; dpi += 12)
        for (int32_t length : {0, 1, 2, 5, 10, 20, -3})
            EXPECT_EQ(scaleToDpi(length, dpi), MulDiv(length, dpi, 96)) << length << " at " << dpi;
}

using Coordinates = std::vector<int32_t>;
Coordinates xy(const BoardPoint &p)
{
    return {p.x, p.y};
}

// The grid lines along one axis, at 96 and 144 DPI: the margin is 8 at 144, so of the lines at 7 and 14
// only the second stays off the edges of 23 pixels.
TEST(Geometry, GridLinesAtThirdsWithinTheMargins)
{
    const struct {
        int32_t extent;
        uint32_t dpi;
        Coordinates lines;
    } cases[] = {{300, 96, {100, 200}}, {301, 96, {100, 200}}, {11, 96, {6}}, {10, 96, {}},  {9, 96, {}},
                 {3, 96, {}},           {0, 96, {}},           {-5, 96, {}},  {23, 96, {7, 14}}, {23, 144, {14}}};
    for (const auto &c : cases) {
        int32_t lines[2] = {-1, -1};
        EXPECT_EQ(Coordinates(lines, lines + gridLines(c.extent, c.dpi, lines)), c.lines) << c.extent << " at " << c.dpi;
    }
}

// Square n's mark (left, top, right, bottom), its shadow, the pen and the number's corner (x, y) in a
// client area of the width and height at the DPI: shadow 2 and 3 pixels off, number 2 and 10 pixels, 3
// and 15 pixels left of and above the centre.
TEST(Geometry, MarksShadowsAndNumbers)
{
    const struct {
        int32_t width, height;
        uint32_t dpi;
        int n;
        Coordinates mark, shadow;
        int32_t pen;
        Coordinates number;
    } cases[] = {
        {300, 300, 96, 1, {10, 10, 90, 90}, {12, 12, 92, 92}, 10, {48, 40}},
        {300, 300, 96, 9, {210, 210, 290, 290}, {212, 212, 292, 292}, 10, {248, 240}},
        {301, 300, 96, 3, {210, 10, 290, 90}, {212, 12, 292, 92}, 10, {248, 40}},
        {600, 300, 96, 5, {220, 110, 380, 190}, {222, 112, 382, 192}, 10, {298, 140}},
        {20, 20, 96, 1, {0, 0, 6, 6}, {2, 2, 8, 8}, 0, {1, -7}},
        {300, 300, 144, 1, {10, 10, 90, 90}, {13, 13, 93, 93}, 10, {47, 35}},
        {300, 300, 144, 5, {110, 110, 190, 190}, {113, 113, 193, 193}, 10, {147, 135}},
    };
    auto corners = [](const BoardRect &r) { return Coordinates{r.left, r.top, r.right, r.bottom}; };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " at " << c.dpi << ", square " << c.n);
        const BoardRect mark = markRect(c.width, c.height, c.n);
        EXPECT_EQ(corners(mark), c.mark);
        EXPECT_EQ(corners(shadowRect(mark, c.dpi)), c.shadow);
        EXPECT_EQ(markPenWidth(c.width, c.height), c.pen);
        EXPECT_EQ(xy(numberPosition(c.width, c.height, c.n, c.dpi)), c.number);
    }
}

TEST(Geometry, ClicksFindTheirSquare)
{
    // Width, height, x, y and the square; the last three too small to be split: no square, no division by 0.
    const int32_t cases[][5] = {{300, 300, 250, 50, 3}, {300, 300, 150, 150, 5}, {300, 300, 0, 299, 7},
                                {302, 301, 301, 10, 3}, {302, 301, 10, 300, 7},  {300, 300, 65535, 65535, 9},
                                {3, 3, 2, 2, 9},        {2, 300, 1, 1, 0},       {300, 2, 1, 1, 0}, {0, 0, 0, 0, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(squareAt(c[0], c[1], c[2], c[3]), c[4]) << c[0] << "x" << c[1] << " at " << c[2] << "," << c[3];
}

TEST(Geometry, WindowSizeAndCentring)
{
    // Full-screen height, DPI, and the window's width and height: 20 pixels taller at 96 DPI, 30 at 144.
    const int32_t sizes[][4] = {{1000, 96, 666, 686}, {1017, 96, 678, 698}, {1017, 120, 678, 703},
                                {1017, 144, 678, 708}, {2034, 192, 1356, 1396}};
    for (const auto &s : sizes)
        EXPECT_EQ(xy(mainWindowSize(s[0], s[1])), (Coordinates{s[2], s[3]})) << s[0] << " at " << s[1];
    EXPECT_EQ(xy(centeredOrigin({0, 0, 1920, 1040}, 678, 698)), (Coordinates{621, 171}));
    EXPECT_EQ(xy(centeredOrigin({0, 40, 1920, 1080}, 678, 698)), (Coordinates{621, 211}));   // taskbar at the top
    // 5 pixels taller than the work area
    EXPECT_EQ(xy(centeredOrigin({100, 0, 1100, 600}, 600, 605)), (Coordinates{300, -2}));
}

}  // namespace
