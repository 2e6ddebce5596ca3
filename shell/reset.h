// Every module's globals back to their start values, as at a fresh start of the program: the
// one list of the modules' reset functions, for the scenario tests and the simulation runner,
// which start the program again and again in one process. A module with globals adds its reset
// function here.
#pragma once

#include "ground/sound.h"
#include "shell/main.h"

#include "jelly/jellytips.h"
#include "jelly/jellywindow.h"
#include "jelly/population.h"
#include "timesignal/timesignal.h"

inline void ResetProgramState()
{
    ResetSharedState();
    ResetMainState();
    ResetSoundState();
    ResetTimeSignalState();
    ResetJellyState();
    ResetJellyWindowState();
    ResetJellyTipsState();
}
