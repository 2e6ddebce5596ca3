// The sound group table and the scheduler. Each second every active group (files present and
// switched on) counts one second; a group whose count reaches its drawn interval plays one of
// its files at random and draws its next interval. Around the full hour, with the time signal
// on, sounds are skipped so the chime is heard alone.
#include "ground/sound.h"

#include "ground/globals.h"
#include "ground/path.h"
#include "ground/random.h"

#include <cstdio>

SoundGroup In[InCount] = {};
int32_t Tp[2] = {0, 0};

const char *const WaveFile[InCount] = {
    "crickt", "bird",  "water",  "wave_", "w_bell", "karinb", "drop", "",       "",       "",
    "b_bell", "train", "cicada", "myst",  "",       "",       "",     "user1-", "user2-", "user3-",
};

namespace
{

// Interval classes: the shortest interval and the number of possible lengths.
struct IntervalRange {
    int32_t base;
    int32_t span;
};
constexpr IntervalRange IntervalSeconds[8] = {
    {3, 4}, {4, 7}, {6, 15}, {10, 21}, {20, 41}, {30, 151}, {60, 241}, {1800, 1801},
};

// A class read from a hand-edited file may lie outside 0..7: that draw takes 3..9 seconds and
// the class goes back to 0.
constexpr IntervalRange OutOfRangeInterval = {3, 7};

} // namespace

void ResetSoundState()
{
    for (SoundGroup &group : In)
        group = SoundGroup{};
    Tp[0] = Tp[1] = 0;
}

int CheckWaveFile(int group)
{
    if (WaveFile[group][0] == '\0') return 0;
    char pattern[MAX_PATH * 2];
    std::snprintf(pattern, sizeof pattern, "%s%s*.wav", ProgramFolder().c_str(), WaveFile[group]);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

void ZelmoInit()
{
    for (int i = 0; i < InCount; ++i) {
        int count = CheckWaveFile(i);
        In[i].Present = count > 0 ? 1 : 0;
        In[i].FileCount = count;
    }
}

void ZelmoSetTimer(HWND hwnd)
{
    SetTimer(hwnd, ZELMO_TIMER, 1000, nullptr);
}

void TimerCountUp()
{
    for (SoundGroup &group : In)
        if (group.Present == 1 && group.Enabled == 1) ++group.Elapsed;
}

int32_t DrawInterval(SoundGroup &group)
{
    int32_t r = Prng::rand();
    IntervalRange range = OutOfRangeInterval;
    if (group.IntervalClass >= 0 && group.IntervalClass <= 7)
        range = IntervalSeconds[group.IntervalClass];
    else
        group.IntervalClass = 0;
    return range.base + r % range.span;
}

void ZelmoCheckTimer()
{
    Prng::srand(static_cast<uint32_t>(CalendarSeconds()));
    for (int i = 0; i < InCount; ++i) {
        SoundGroup &group = In[i];
        if (group.Present == 0 || group.Enabled == 0 || group.FileCount <= 0) continue;
        if (group.Target > 0 && group.Elapsed >= group.Target) {
            int number = Prng::rand() % group.FileCount;
            // A bare file name: playback finds it in the current directory, the program folder.
            char name[64];
            std::snprintf(name, sizeof name, "%s%02d.wav", WaveFile[i], number);
            if (SoundOK() == 1) PlaySoundA(name, nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
            // The turn is used up even when the sound was held back.
            group.Elapsed = 0;
            group.Target = 0;
        }
        if (group.Target <= 0) group.Target = DrawInterval(group);
    }
}

int SoundOK()
{
    if (Tp[0] == 0) return 1;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if ((now.wMinute == 59 && now.wSecond >= 57) || (now.wMinute == 0 && now.wSecond <= 3))
        return 0;
    return 1;
}
