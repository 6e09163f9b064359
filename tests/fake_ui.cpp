// fake_ui.cpp: the recording stand-ins for tones, waits, boxes and repaint requests.
#include "tests/fake_ui.h"

#include <stdio.h>

#include "tests/utf8.h"
#include "ui/access.h"
#include "ui/message.h"
#include "ui/paint.h"
#include "ui/sound.h"

namespace fake {

std::vector<std::string> events;
std::vector<std::string> announced;
std::function<int()> answer;
std::function<void()> duringWait;
HWND const window = reinterpret_cast<HWND>(static_cast<intptr_t>(0x1234));

void reset()
{
    events.clear();
    announced.clear();
    answer = nullptr;
    duringWait = nullptr;
    game = GameState{HumanOpens, false, false, false, false, 0, {}};
}

}  // namespace fake

int showMessage(HWND owner, const wchar_t *text, const wchar_t *caption, const wchar_t *iconName, uint32_t style)
{
    char hex[16];
    snprintf(hex, sizeof hex, "%#x", static_cast<unsigned>(style));
    fake::events.push_back("box " + utf8(caption) + "|" + utf8(text) + "|" + utf8(iconName) +
                           "|" + hex + (owner == fake::window ? "" : "|foreign owner"));
    return fake::answer ? fake::answer() : 1;
}

void refuseWhileBusy() { fake::events.push_back("refuse"); }
void playMoveClick() { fake::events.push_back("tick"); }
void playFallingRun() { fake::events.push_back("falling"); }
void playRisingRun() { fake::events.push_back("rising"); }

void waitPumping(uint16_t milliseconds)
{
    fake::events.push_back("wait " + std::to_string(milliseconds));
    if (fake::duringWait)
        fake::duringWait();
}

void announceSquare(HWND window, int square)
{
    fake::announced.push_back(std::to_string(square) + ".XO"[(game.board[square] + 3) % 3] +
                              (window == fake::window ? "" : " of a foreign window"));
}

void announceMove(HWND window, Spoken what, int square)
{
    wchar_t said[64];
    composeAnnouncement(said, 64, what, square);
    fake::announced.push_back(utf8(said) + (window == fake::window ? "" : " of a foreign window"));
}

void requestRepaint(HWND window)
{
    fake::events.push_back(window == fake::window ? "repaint" : "repaint of a foreign window");
}
