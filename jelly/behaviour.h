// Jelly behaviour: once per tick, before anything is drawn, every living slot decides what it
// does in this tick.
#pragma once

// Reseeds the generator, then for slots 0 .. CharCount - 1 in order consumes the pending event
// or advances the age and decides by clicks, coming of age, breeding ages, life span and the
// type's row; writes the decision into each slot's Action and plays the matching sounds.
void JellyCheck();
