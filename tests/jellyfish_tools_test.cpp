// The jelly window's tool tip control holds one tool at most per jellyfish slot, however long
// the jellyfish swim: a newborn that takes the slot of one that vanished, before any stop has
// written the file, does not leave the vanished one's tool behind in the control.
#include "tests/support/jelly_stage.h"

#include "ground/globals.h"
#include "jelly/jellytips.h"
#include "resources/resource.h"

using namespace zelmo_test;

namespace
{

// The tools the jelly window's control holds.
int Tools(sim::Desktop &desktop)
{
    for (const sim::ToolTipInfo &tip : desktop.ToolTips())
        if (tip.hwnd == hwndToolTip) return tip.tools;
    return -1;
}

int ToolsTheSlotsAdded()
{
    int added = 0;
    for (int s = 0; s < OrdinaryCount; ++s)
        added += Jelly[s].ToolAdded;
    return added;
}

} // namespace

TEST(JellyfishTools, BirthsIntoTheSlotsOfTheDeadLeaveOneToolPerSlot)
{
    // Short-lived adults close to the end of their lives, and young ones that will breed.
    std::string file;
    for (int number = 1; number <= 10; ++number)
        file += number <= 5 ? JellyLines(number, 1, 9, 0, 2000 + 10 * number, 100 * number, 200, 0)
                            : JellyLines(number, 1, 2, 0, 1300 + 10 * number, 100 * number, 500, 0);
    Program program({2026, 12, 8, 12, 0, 0});
    program.WriteProgramFile("Jelly.INI", file);
    program.Start();
    program.desktop().RightClickTray();
    program.desktop().ChooseMenu(IDM_JELLY);

    int births = 0;
    int living = 10;
    for (int minute = 0; minute < 60 && ZelmoJelly == 1; ++minute) {
        program.Advance(60 * 1000);
        int now = 0;
        for (int s = 0; s < OrdinaryCount; ++s)
            now += Jelly[s].Exist != 0 ? 1 : 0;
        births += now > living ? now - living : 0;
        living = now;
        ASSERT_EQ(ToolsTheSlotsAdded(), Tools(program.desktop())) << "minute " << minute + 1;
    }
    EXPECT_GT(births, 0);
}
