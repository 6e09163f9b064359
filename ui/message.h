// message.h: the one way the program shows a message box, and the refusal beep.
#pragma once

#include <stdint.h>

#include "game/state.h"

// Styles as the callers pass them: the game's own icon, and Yes/No/Cancel with No or Yes as default.
enum : uint32_t {
    StyleNotice = 0x80,               // MB_OK | MB_USERICON
    StyleConfirm = 0x183,             // MB_YESNOCANCEL | MB_USERICON | MB_DEFBUTTON2
    StyleConfirmYesDefault = 0x83,    // MB_YESNOCANCEL | MB_USERICON
};
enum { AnswerYes = 6 };               // IDYES

// Shows a modal box with the icon resource iconName of our module, in the foreground, after the
// information sound; returns the button pressed, 0 when no box could be shown.
int showMessage(HWND owner, const wchar_t *text, const wchar_t *caption, const wchar_t *iconName,
                uint32_t style);

// The beep that answers a request refused while a move or an ending is in progress.
void refuseWhileBusy();
