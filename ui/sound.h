// sound.h: the tones of the game, silent while muted, and the wait that keeps the window alive.
#pragma once

#include <stdint.h>

void playTone(uint16_t frequency, uint32_t duration);
void resetSpeaker();
void playMoveClick();
void playFallingRun();
void playRisingRun();

// Waits the given milliseconds while dispatching every message that arrives, as soon as it arrives.
void waitPumping(uint16_t milliseconds);

// True once the 32-bit tick count now has reached target, also across the wrap of the count.
bool tickReached(uint32_t now, uint32_t target);
