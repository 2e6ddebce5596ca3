// Fuzzes the settings file reader: any bytes as the settings file, read as the program reads
// it at start, through the simulated desktop's files. Besides what the sanitizers check, every
// input must leave alone what the reader may not change (the file counts, the intervals of
// groups it reads no class for), give only values that one character minus '0' can give, and
// release the file.
#include "fuzz/fuzz_desktop.h"

#include "ground/globals.h"
#include "ground/inifile.h"
#include "ground/sound.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

// Values no line can give, so any change by the reader shows.
constexpr int32_t Untouched = 1000;
constexpr int32_t UntouchedCount = 1001;
constexpr int32_t UntouchedTarget = 1002;

bool FromOneCharacter(int32_t value)
{
    return value == Untouched || (value >= 0 - '0' && value <= 255 - '0');
}

bool GroupIsPlausible(const SoundGroup &group)
{
    // An interval restarts exactly when the group's class was read.
    bool classRead = group.IntervalClass != Untouched;
    bool restarted = group.Target == 0 && group.Elapsed == 0;
    bool kept = group.Target == UntouchedTarget && group.Elapsed == UntouchedTarget;
    return group.Present == UntouchedCount && group.FileCount == UntouchedCount &&
           FromOneCharacter(group.Enabled) && FromOneCharacter(group.IntervalClass) &&
           (classRead ? restarted : kept);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static zelmo_fuzz::FuzzDesktop fuzz;
    sim::Desktop &desktop = fuzz.desktop;
    hInst = reinterpret_cast<HINSTANCE>(0x400000);
    desktop.WriteFile(desktop.ProgramFolder() + "ZelmoSound.INI",
                      std::string(reinterpret_cast<const char *>(data), size));
    for (SoundGroup &group : In)
        group = SoundGroup{UntouchedCount, Untouched,       UntouchedCount,
                           Untouched,      UntouchedTarget, UntouchedTarget};
    Tp[0] = Tp[1] = Untouched;

    ReadIniFile();

    for (const SoundGroup &group : In)
        if (!GroupIsPlausible(group)) std::abort();
    if (!FromOneCharacter(Tp[0]) || !FromOneCharacter(Tp[1])) std::abort();
    if (desktop.OpenHandles() != 0) std::abort();
    return 0;
}
