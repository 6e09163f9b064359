// sound.cpp: tones on the speaker and the paced wait that dispatches messages while it waits.
#include "ui/sound.h"

#include <windows.h>

#include "game/state.h"

void resetSpeaker()
{
    if (game.muted)
        return;
    Beep(20000, 0);
}

void playTone(uint16_t frequency, uint32_t duration)
{
    if (game.muted)
        return;
    Beep(frequency, duration);
    resetSpeaker();
}

void playMoveClick()
{
    if (game.muted)
        return;
    playTone(220, 66);
}

void playFallingRun()
{
    if (game.muted)
        return;
    static const uint16_t tones[] = {880, 740, 622, 523, 440};
    for (uint16_t frequency : tones)
        playTone(frequency, 55);
}

void playRisingRun()
{
    if (game.muted)
        return;
    static const uint16_t tones[] = {440, 554, 659, 880};
    for (uint16_t frequency : tones)
        playTone(frequency, 55);
}

bool tickReached(uint32_t now, uint32_t target)
{
    return static_cast<int32_t>(now - target) >= 0;
}

void waitPumping(uint16_t milliseconds)
{
    const uint32_t target = GetTickCount() + milliseconds;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Hand the quit request on to the main loop, and return so as not to take it again.
                PostQuitMessage(1);
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const uint32_t now = GetTickCount();
        if (tickReached(now, target))
            return;
        // Sleep until a message arrives or the time is up, instead of polling.
        MsgWaitForMultipleObjectsEx(0, nullptr, target - now, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
