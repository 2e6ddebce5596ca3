// A whole day of jellyfish on the pinned clock, with a click now and then: the population keeps
// within its bounds on every tick, and the jelly file always reads back to the same table.
#include "tests/support/jelly_stage.h"

#include <cstring>
#include <sstream>

using namespace zelmo_test;

namespace
{

constexpr int Width = 1024, Height = 768;

// What is wrong with the table after a tick, or "" when nothing is.
std::string Violation()
{
    std::ostringstream wrong;
    int living = 0;
    for (int s = 0; s < 10; ++s) {
        const JellyRecord &j = Jelly[s];
        if (j.Exist == 0) continue;
        ++living;
        if (j.Type < 0 || j.Type > 9) wrong << "slot " << s << " type " << j.Type << "; ";
        if (j.Direction < 0 || j.Direction > 7) wrong << "slot " << s << " direction; ";
        if (j.Frame != 0 && j.Frame != 1) wrong << "slot " << s << " frame; ";
        if (j.Age < 0 || j.Age > 99999 + 41) wrong << "slot " << s << " age " << j.Age << "; ";
        if (j.Event < 0 || j.Event > 4) wrong << "slot " << s << " event; ";
        if (j.Countdown < 0 || j.Countdown > 4) wrong << "slot " << s << " countdown; ";
        if (j.X < 0 || j.X > Width - 32 || j.Y < 0 || j.Y > Height - 32)
            wrong << "slot " << s << " at " << j.X << "," << j.Y << "; ";
    }
    if (IsAll != (living == 10 ? 1 : 0)) wrong << "IsAll " << IsAll << "; ";
    for (int s = 10; s < 15; ++s) {
        const JellyRecord &j = Jelly[s];
        if (j.Exist != 1 || j.Type != 999 || j.ClickCount < 0 || j.ClickCount > 3)
            wrong << "hidden slot " << s << "; ";
        if (j.X < 0 || j.X > Width - 33 || j.Y < 0 || j.Y > Height - 33)
            wrong << "hidden slot " << s << " at " << j.X << "," << j.Y << "; ";
    }
    static const JellyRecord unused{};
    for (int s = 15; s < 20; ++s)
        if (std::memcmp(&Jelly[s], &unused, sizeof unused) != 0) wrong << "slot " << s << " used; ";
    if (SrandCount < 1 || SrandCount > 1000) wrong << "SrandCount " << SrandCount << "; ";
    return wrong.str();
}

// The saved fields of the ten ordinary slots, as the file keeps them.
std::string SavedFields()
{
    std::ostringstream fields;
    for (int s = 0; s < 10; ++s) {
        const JellyRecord &j = Jelly[s];
        fields << s << ":" << j.Exist << "," << j.Type << "," << j.Direction << "," << j.Age << ","
               << j.X << "," << j.Y << "," << j.ClickCount << " ";
    }
    return fields.str();
}

} // namespace

TEST_F(JellyStage, ADayOfTicksKeepsThePopulationInBoundsAndTheFileReadsBackToTheSameTable)
{
    Open({2026, 12, 8, 0, 0, 0}, Width, Height);
    ASSERT_EQ(0, StartJellyfish());
    int64_t ticks = 0;
    std::vector<std::string> violations;
    int most = 0;
    AfterEachTick([&] {
        ++ticks;
        std::string wrong = Violation();
        if (!wrong.empty() && violations.size() < 5)
            violations.push_back("tick " + std::to_string(ticks) + ": " + wrong);
        int living = 0;
        for (int s = 0; s < 10; ++s)
            living += Jelly[s].Exist != 0;
        most = std::max(most, living);
        // Now and then the user clicks a jellyfish or a hidden character's square.
        if (ticks % 37 == 0) Jelly[(ticks / 37) % 15].Clicked = 1;
    });

    int restarts = 0;
    for (int minute = 1; minute <= 24 * 60; ++minute) {
        TicksInOneGo(200);
        desktop().ClearDrawLog();
        desktop().ClearSounds();
        NewSounds();
        if (!Running()) {
            // Nobody is left: the stop saved ten free slots; the next start seeds two newborns.
            EXPECT_EQ(std::string::npos, JellyFile().value_or("").find("EXIST=1"));
            ASSERT_EQ(1, StartJellyfish());
            ++restarts;
        }
        if (minute % 30 == 0) {
            // A stop and a start, as the user makes them: what was saved is what comes back.
            StopJellyfish();
            const std::string saved = SavedFields();
            OnProgram([] { std::memset(Jelly, 0, sizeof(JellyRecord) * 10); });
            ASSERT_EQ(1, StartJellyfish());
            ASSERT_EQ(saved, SavedFields()) << "at minute " << minute;
            ASSERT_EQ(0, desktop().OpenHandles());
        }
    }
    EXPECT_TRUE(violations.empty()) << violations.front();
    EXPECT_GE(ticks, 24 * 60 * 200 - 200 * restarts);
    EXPECT_GE(desktop().Now(), sim::ToMillis({2026, 12, 9, 0, 0, 0}) - 300 * 200 * restarts);
    EXPECT_EQ(10, most) << "the population filled up at least once";
    EXPECT_EQ(31, desktop().OpenIcons());
    EXPECT_EQ(0, desktop().OpenDeviceContexts());
    RecordProperty("restarts", restarts);
}
