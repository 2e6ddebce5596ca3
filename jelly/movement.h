// Jelly movement and drawing: each tick carries out the actions JellyCheck chose.
#pragma once

#include "platform.h"

// Carries out one tick in the given window: flips frames, turns and moves the jellyfish, places
// newborns, starts the tick's sounds, draws every slot that has something to show and paints
// black the strips a moved jellyfish leaves behind; with all ten alive, adds decorations and
// stars. Leaves events for the next decision. Touches only the slots' squares and strips.
void JellyExecute(HWND hwnd);

// One swimming step of `step` pixels in the slot's Direction: the new top-left corner, and the
// parts of the old square the new one leaves uncovered (the second only for odd directions;
// otherwise, and for a direction outside 0..7, an empty rectangle). Changes nothing.
void SetJellyMove(int slot, int step, int *newX, int *newY, RECT *first, RECT *second);
