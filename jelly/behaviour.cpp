// Jelly behaviour, the brain of the jellyfish. An event left by the last drawing step decides
// alone; otherwise the slot ages by one tick and then, in this order, a newborn plays its first
// sound, a hidden character shows itself or moves, a clicked jellyfish changes, dashes, breeds
// or dies, a young one comes of age, an adult may breed at its breeding ages, dies past its
// life span, or draws its action from its type's row. The random draws happen exactly in the
// order written here: every later choice of the run depends on it.
#include "jelly/behaviour.h"

#include "jelly/population.h"

#include "ground/random.h"

#include <algorithm>

namespace
{

// One row per type: cumulative thresholds for l = rand() % 100 (idle below the first, animate
// below the second, turn below the third, swim otherwise) and the life span in ticks. Row 10
// belongs to the table, but no jellyfish ever has type 10.
enum JellyTypeColumn { IdleBelow, AnimateBelow, TurnBelow, LifeSpan };
constexpr int JellyTypeCount = 11;
constexpr int32_t JellyType[JellyTypeCount][4] = {
    {60, 93, 95, 4400}, // 0 young
    {55, 92, 94, 4200}, // 1 young
    {50, 91, 93, 4400}, // 2
    {47, 90, 92, 4200}, // 3
    {45, 89, 91, 4000}, // 4
    {43, 87, 90, 3800}, // 5
    {41, 85, 88, 3200}, // 6
    {39, 82, 85, 3100}, // 7
    {37, 78, 80, 2700}, // 8
    {15, 73, 75, 2100}, // 9
    {5, 38, 40, 1000},  // 10
};

constexpr int32_t AgeLimit = 99999;   // an age above it starts again at 99
constexpr int32_t AgeAfterLimit = 99; //
constexpr int32_t BreedingAges[3] = {1400, 2200, 3000};
constexpr int32_t ClickAgeBonus = 40;  // every click ages an ordinary jellyfish
constexpr int32_t ClickThreshold = 10; // from the 11th click on a click may breed or kill
constexpr int32_t HiddenClicks = 3;    // shows by click before a hidden character moves

// A pending event decides alone and the age stands still. Returns false when there is none.
bool ConsumeEvent(JellyRecord &slot)
{
    switch (slot.Event) {
    case Dying:
    case Revealed:
        slot.Action = Vanish;
        return true;
    case Changing:
        // Clicks during the change animation are dropped.
        if (--slot.Countdown > 0) {
            slot.Action = Change;
        } else {
            slot.Countdown = 0;
            slot.Action = Animate;
        }
        slot.Clicked = 0;
        return true;
    case AtEdge:
        slot.Action = Turn;
        return true;
    default:
        return false;
    }
}

void DecideHidden(JellyRecord &slot, int width, int height)
{
    if (slot.Clicked != 0) {
        // Past its third show a click leaves the previous tick's action as it was.
        if (slot.ClickCount < HiddenClicks) {
            slot.Action = Reveal;
            ++slot.ClickCount;
            PlayJellySound("jhide.wav");
            Sleep(30);
        }
    } else if (slot.ClickCount >= HiddenClicks) {
        slot.X = RandomBelow(width);
        slot.Y = RandomBelow(height);
        slot.ClickCount = 0;
        slot.Action = Prng::rand() % 5 == 3 ? Breed : Idle;
    } else {
        slot.Action = Prng::rand() % 800 == 77 ? Reveal : Idle;
    }
    slot.Clicked = 0;
}

void DecideClicked(JellyRecord &slot)
{
    ++slot.ClickCount;
    slot.Age += ClickAgeBonus;
    if (slot.ClickCount > ClickThreshold) {
        constexpr int32_t ByDraw[8] = {Change, Change, Change, Dash, Dash, Dash, Breed, Die};
        slot.Action = ByDraw[Prng::rand() % 8];
    } else {
        slot.Action = Prng::rand() % 3 == 2 ? Change : Dash;
    }
    slot.Clicked = 0;
    if (slot.Action == Change) {
        PlayJellySound("jchange.wav");
        Sleep(50);
    }
}

bool IsBreedingAge(int32_t age)
{
    return std::find(std::begin(BreedingAges), std::end(BreedingAges), age) !=
           std::end(BreedingAges);
}

void DecideOrdinary(int slotNumber, JellyRecord &slot)
{
    if (slot.Age >= GrownUpAge && slot.Type < 2) {
        // Slots 0..7 become types 2..9, slot 8 type 2 and slot 9 type 3.
        slot.Type = slotNumber % 8 + 2;
        PlayJellySound("jadult.wav");
        Sleep(50);
        slot.Action = Animate;
        return;
    }
    // The chance to breed is drawn only at the exact breeding ages.
    if (slot.Age >= GrownUpAge && IsBreedingAge(slot.Age) && Prng::rand() % 4 == 3) {
        slot.Action = Breed;
        return;
    }
    // The population's reader admits only types 0..9; anything else never reaches the table.
    if (slot.Type < 0 || slot.Type >= JellyTypeCount) {
        slot.Action = Idle;
        return;
    }
    const int32_t(&row)[4] = JellyType[slot.Type];
    if (slot.Age > row[LifeSpan]) {
        slot.Action = Die;
        return;
    }
    int32_t l = Prng::rand() % 100;
    slot.Action = l < row[IdleBelow]      ? Idle
                  : l < row[AnimateBelow] ? Animate
                  : l < row[TurnBelow]    ? Turn
                                          : Swim;
}

void Decide(int slotNumber, int width, int height)
{
    JellyRecord &slot = Jelly[slotNumber];
    if (slot.Exist == 0) return;
    if (!ConsumeEvent(slot)) {
        if (++slot.Age > AgeLimit) slot.Age = AgeAfterLimit;
        if (slot.Age == 1) {
            // Every newborn, a hidden character set up at age 0 included, greets the world.
            PlayJellySound("jellybb.wav");
            Sleep(50);
            slot.Action = Animate;
        } else if (slot.Type == HiddenType) {
            DecideHidden(slot, width, height);
        } else if (slot.Clicked != 0) {
            DecideClicked(slot);
        } else {
            DecideOrdinary(slotNumber, slot);
        }
    }
    slot.Event = NoEvent;
}

} // namespace

void JellyCheck()
{
    ReseedJelly();
    int width = ScreenRange(SM_CXSCREEN);
    int height = ScreenRange(SM_CYSCREEN);
    int slots = std::clamp(CharCount, 0, JellySlots);
    for (int s = 0; s < slots; ++s)
        Decide(s, width, height);
}
