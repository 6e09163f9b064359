// fake_ui.h: recording stand-ins for the window-side functions that the game engine calls, so that
// whole games run without a window.
#pragma once

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "game/state.h"

namespace fake {

// Every call in order: "tick", "falling", "rising", "wait 1000", "repaint", "refuse", and
// "box <caption>|<text>|<icon>|<style in hex>" with the texts as UTF-8.
extern std::vector<std::string> events;

// Every announced square with what it holds then: "5X", "3O", "5." (emptied), and every announcement
// of the live text: "Cross on square 5".
extern std::vector<std::string> announced;

// What showMessage answers (IDOK when unset) and what a wait does while it "waits".
extern std::function<int()> answer;
extern std::function<void()> duringWait;

extern HWND const window;

void reset();

}  // namespace fake
