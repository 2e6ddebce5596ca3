// Sound groups and the once-a-second playback scheduler: the group table In, the file-name
// prefixes, the counting of each group's files and the draw of random intervals and files.
#pragma once

#include "platform.h"

#include <cstdint>

constexpr int InCount = 20;

struct SoundGroup {
    int32_t Present;       // 1 when the group has at least one sound file
    int32_t Enabled;       // 1 when the user switched the group on
    int32_t FileCount;     // number of the group's sound files
    int32_t IntervalClass; // 0..7, see IntervalSeconds
    int32_t Target;        // length of the running interval; 0 or less: draw one at the next check
    int32_t Elapsed;       // seconds counted since the group last played
};

extern SoundGroup In[InCount];
extern const char *const WaveFile[InCount]; // file-name prefixes; empty for groups without files
extern int32_t Tp[2];                       // time signal: switch (0/1) and kind (0/1)

// Number of files whose name is the group's prefix, anything, ".wav", in the program folder.
int CheckWaveFile(int group);
void ZelmoInit();
void ZelmoSetTimer(HWND hwnd);
void TimerCountUp();
void ZelmoCheckTimer();
int SoundOK();

// Draws a new interval in seconds for the group (setting its class back to 0 when it is out
// of range); uses one draw of the generator.
int32_t DrawInterval(SoundGroup &group);

void ResetSoundState();
