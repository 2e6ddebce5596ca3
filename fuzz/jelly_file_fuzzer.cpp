// Fuzzes the jelly file reader: any bytes as "Jelly.INI", read as the jelly window reads it at a
// start of the jellyfish, through the simulated desktop's files. Besides what the sanitizers
// check, every input must give a table the other jelly passes can index safely (a living slot's
// type 0..9, every direction 0..7, the hidden characters set up anew, the unused slots and the
// fields no line names untouched, somebody alive), release the file and the pictures it does not
// keep, and survive a round trip: the table written back and read again by a fresh start is the
// same table.
#include "fuzz/fuzz_desktop.h"

#include "ground/globals.h"
#include "jelly/population.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;

// The fields the reader, the seeding and the hidden set-up may give a value.
constexpr int32_t JellyRecord::*FileFields[] = {
    &JellyRecord::Exist, &JellyRecord::Type, &JellyRecord::Direction,  &JellyRecord::Age,
    &JellyRecord::X,     &JellyRecord::Y,    &JellyRecord::ClickCount,
};
// The fields that only the ticks and the tool tips change: a start leaves them as they were.
constexpr int32_t JellyRecord::*TickFields[] = {
    &JellyRecord::Action, &JellyRecord::Event, &JellyRecord::Frame,     &JellyRecord::Clicked,
    &JellyRecord::TipX,   &JellyRecord::TipY,  &JellyRecord::Countdown, &JellyRecord::ToolAdded,
};

void Require(bool holds)
{
    if (!holds) std::abort();
}

bool Within(int32_t value, int32_t low, int32_t high)
{
    return value >= low && value <= high;
}

bool TickFieldsUntouched(const JellyRecord &slot)
{
    for (auto field : TickFields)
        if (slot.*field != 0) return false;
    static const TOOLINFOA none{};
    return std::memcmp(&slot.ToolInfo, &none, sizeof none) == 0;
}

// A start on a table that is zero, as at the program's start.
int FreshStart()
{
    std::memset(Jelly, 0, sizeof Jelly);
    SrandCount = 1;
    HideCount = MaxHideCount;
    CharCount = HideCount + OrdinaryCount;
    return ReadJellyIniFile();
}

// What every start leaves, whatever the file held.
void CheckStartedTable()
{
    int living = 0;
    for (int s = 0; s < OrdinaryCount; ++s) {
        const JellyRecord &slot = Jelly[s];
        living += slot.Exist != 0 ? 1 : 0;
        // One character minus '0', or a newborn's 1.
        Require(Within(slot.Exist, 0 - '0', 255 - '0'));
        if (slot.Exist != 0) Require(Within(slot.Type, 0, 9));
        Require(Within(slot.Direction, 0, 7));
        // Five columns for the age, four for the others: a sign and digits, or a newborn's.
        Require(Within(slot.Age, -9999, 99999));
        Require(Within(slot.X, -999, 9999) && Within(slot.Y, -999, 9999));
        Require(Within(slot.ClickCount, -999, 9999));
        Require(TickFieldsUntouched(slot));
    }
    Require(living > 0);
    for (int s = FirstHidden; s < FirstHidden + MaxHideCount; ++s) {
        const JellyRecord &slot = Jelly[s];
        Require(slot.Exist == 1 && slot.Type == HiddenType && Within(slot.Age, 0, 299));
        Require(Within(slot.X, 0, ScreenWidth - JellySize - 1));
        Require(Within(slot.Y, 0, ScreenHeight - JellySize - 1));
        Require(slot.Direction == 0 && slot.ClickCount == 0 && TickFieldsUntouched(slot));
    }
    for (int s = FirstHidden + MaxHideCount; s < JellySlots; ++s) {
        static const JellyRecord unused{};
        Require(std::memcmp(&Jelly[s], &unused, sizeof unused) == 0);
    }
    for (int i = 0; i < 31; ++i)
        Require(Hicon[i] != nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static zelmo_fuzz::FuzzDesktop fuzz;
    sim::Desktop &desktop = fuzz.desktop;
    hInst = reinterpret_cast<HINSTANCE>(0x400000);
    const std::string folder = desktop.ProgramFolder();
    desktop.WriteFile(folder + "Jelly.INI",
                      std::string(reinterpret_cast<const char *>(data), size));

    Require(FreshStart() == 1);
    CheckStartedTable();
    Require(desktop.OpenHandles() == 0);
    // The pictures are kept for the whole run: every start holds the same 31.
    Require(desktop.OpenIcons() == 31);

    WriteJellyIniFile();
    Require(desktop.OpenHandles() == 0);
    Require(!desktop.ReadFile(folder + "Jelly.INI.new"));
    std::string file = desktop.ReadFile(folder + "Jelly.INI").value_or("");
    size_t lines = 0;
    for (size_t at = file.find("\r\n"); at != std::string::npos; at = file.find("\r\n", at + 2))
        ++lines;
    Require(lines == 70);
    JellyRecord written[OrdinaryCount];
    std::memcpy(written, Jelly, sizeof written);

    Require(FreshStart() == 1);
    CheckStartedTable();
    for (int s = 0; s < OrdinaryCount; ++s) {
        // A living mark wider than one column comes back as its first character: alive still.
        Require((Jelly[s].Exist != 0) == (written[s].Exist != 0));
        for (auto field : FileFields)
            if (field != &JellyRecord::Exist) Require(Jelly[s].*field == written[s].*field);
    }
    Require(desktop.OpenHandles() == 0);
    return 0;
}
