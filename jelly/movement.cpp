// Jelly movement and drawing. The scene is never redrawn as a whole: each tick draws the 32 x 32
// square of every slot that shows something and fills black the strips that a moved square
// uncovers, the picture first so that a swimming jellyfish never shows a black gap. A move that
// would leave the screen is not drawn; the slot gets AtEdge and turns at the next decision.
// Random draws happen in the order written here, after JellyCheck's of the same tick.
#include "movement.h"

#include "population.h"

#include "../app/random.h"

#include <algorithm>

namespace
{

// Step lengths in pixels: Swim takes one of the first five, Dash always the sixth.
constexpr int32_t JellySwim[6] = {4, 6, 8, 10, 12, 14};
constexpr int SwimChoices = 5;
constexpr int DashStep = 5;

// Directions clockwise from straight up: the step's sign along x and y.
struct Heading {
    int dx;
    int dy;
};
constexpr Heading Headings[8] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                 {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};

// One edge of an erase strip: the old corner's X (or Y) + offset + perStep * d.
struct StripEdge {
    int offset;
    int perStep;
};
struct Strip {
    StripEdge left, top, right, bottom;
};
constexpr Strip NoStrip = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};
// The uncovered parts of the old square, by direction: (left, top, right, bottom), right and
// bottom excluded.
constexpr Strip EraseStrips[8][2] = {
    // 0 up: (X, Y+32-d, X+32, Y+32)
    {{{0, 0}, {32, -1}, {32, 0}, {32, 0}}, NoStrip},
    // 1 up and right: (X, Y, X+d, Y+32), (X+d, Y+32-d, X+32, Y+32)
    {{{0, 0}, {0, 0}, {0, 1}, {32, 0}}, {{0, 1}, {32, -1}, {32, 0}, {32, 0}}},
    // 2 right: (X, Y, X+d, Y+32)
    {{{0, 0}, {0, 0}, {0, 1}, {32, 0}}, NoStrip},
    // 3 down and right: (X, Y, X+d, Y+32), (X+d, Y, X+32, Y+d)
    {{{0, 0}, {0, 0}, {0, 1}, {32, 0}}, {{0, 1}, {0, 0}, {32, 0}, {0, 1}}},
    // 4 down: (X, Y, X+32, Y+d)
    {{{0, 0}, {0, 0}, {32, 0}, {0, 1}}, NoStrip},
    // 5 down and left: (X, Y, X+32, Y+d), (X+32-d, Y+d, X+32, Y+32)
    {{{0, 0}, {0, 0}, {32, 0}, {0, 1}}, {{32, -1}, {0, 1}, {32, 0}, {32, 0}}},
    // 6 left: (X+32-d, Y, X+32, Y+32)
    {{{32, -1}, {0, 0}, {32, 0}, {32, 0}}, NoStrip},
    // 7 up and left: (X, Y+32-d, X+32, Y+32), (X+32-d, Y, X+32, Y+32-d)
    {{{0, 0}, {32, -1}, {32, 0}, {32, 0}}, {{32, -1}, {0, 0}, {32, 0}, {32, -1}}},
};

constexpr int TypePictures = 10; // Hicon: type + 10 * frame
constexpr int ChangeIcon = 20;
constexpr int EndIcon = 21;
constexpr int DummyIcon = 22;
constexpr int Back1Icon = 23;
constexpr int Back2Icon = 24;
constexpr int StarIcon = 25;
constexpr int RevealIconBase = 16; // + slot: 26..30 for the hidden slots 10..14
constexpr int NoPicture = -1;

constexpr int32_t ChangeTicks = 4;
constexpr int NewbornMargin = 64; // a newborn is placed within screen size - 64

RECT StripRect(const Strip &strip, int x, int y, int d)
{
    return RECT{x + strip.left.offset + strip.left.perStep * d,
                y + strip.top.offset + strip.top.perStep * d,
                x + strip.right.offset + strip.right.perStep * d,
                y + strip.bottom.offset + strip.bottom.perStep * d};
}

// Where the slot is drawn in this tick and what is erased around it.
struct Placement {
    int picture = NoPicture;
    int x = 0;
    int y = 0;
    bool moved = false;
    RECT first{};
    RECT second{};
};

int TypePicture(const JellyRecord &slot)
{
    return slot.Type == HiddenType ? NoPicture : slot.Type + TypePictures * slot.Frame;
}

void Flip(JellyRecord &slot)
{
    slot.Frame = 1 - slot.Frame;
}

// The first free ordinary slot receives a newborn; hidden slots are never used.
void PlaceNewborn()
{
    for (int s = 0; s < OrdinaryCount; ++s) {
        if (Jelly[s].Exist != 0) continue;
        JellyRecord &newborn = Jelly[s];
        newborn = JellyRecord{};
        newborn.Exist = 1;
        newborn.Type = s % 2;
        SIZE screen = JellyScreen();
        newborn.X = RandomBelow(screen.cx - NewbornMargin);
        newborn.Y = RandomBelow(screen.cy - NewbornMargin);
        return;
    }
}

// Carries out the slot's action: its state changes and where its picture goes. Returns false
// for a slot that is passed over in this tick.
bool CarryOut(int slotNumber, Placement &placement)
{
    JellyRecord &slot = Jelly[slotNumber];
    bool hidden = slot.Type == HiddenType;
    switch (slot.Action) {
    case Breed:
        PlaceNewborn();
        [[fallthrough]];
    case Turn:
        slot.Direction = Prng::rand() % 8;
        [[fallthrough]];
    case Animate:
        Flip(slot);
        placement.picture = TypePicture(slot);
        return true;
    case Swim:
        placement.moved = true;
        SetJellyMove(slotNumber, JellySwim[Prng::rand() % SwimChoices], &placement.x, &placement.y,
                     &placement.first, &placement.second);
        placement.picture = TypePicture(slot);
        return true;
    case Dash:
        slot.Direction = Prng::rand() % 8;
        placement.moved = true;
        SetJellyMove(slotNumber, JellySwim[DashStep], &placement.x, &placement.y, &placement.first,
                     &placement.second);
        placement.picture = TypePicture(slot);
        return true;
    case Die:
        slot.Event = Dying;
        placement.picture = EndIcon;
        return true;
    case Vanish:
        // A hidden character only hides again; it never dies.
        if (!hidden) slot.Exist = 0;
        placement.picture = DummyIcon;
        return true;
    case Change:
        if (slot.Countdown == 0) slot.Countdown = ChangeTicks;
        slot.Event = Changing;
        placement.picture = ChangeIcon;
        return true;
    case Reveal:
        slot.Event = Revealed;
        placement.picture = RevealIconBase + slotNumber;
        return true;
    case Idle:
        placement.picture = TypePicture(slot);
        return !hidden;
    default:
        return false;
    }
}

// At most one swim sound a tick, from the lowest slot that swims or dashes; its draw is taken
// only then. Both sounds start before the placement, so they play also for a move off the
// screen.
void SlotSounds(const JellyRecord &slot, bool &swimSoundStarted)
{
    if (slot.Action == Die) {
        PlayJellySound("jellyend.wav");
        Sleep(40);
    } else if ((slot.Action == Swim || slot.Action == Dash) && !swimSoundStarted) {
        char name[16];
        int first = IsAll != 0 ? 4 : 1;
        wsprintfA(name, "jelly%02d.wav", Prng::rand() % 3 + first);
        PlayJellySound(name);
        swimSoundStarted = true;
    }
}

void DrawPicture(HDC dc, int index, int x, int y)
{
    HICON icon = JellyPicture(index);
    if (dc && icon) (void)DrawIconEx(dc, x, y, icon, JellySize, JellySize, 0, nullptr, DI_NORMAL);
}

void Place(HWND hwnd, JellyRecord &slot, const Placement &placement, int width, int height)
{
    if (placement.x < 0 || placement.x > width || placement.y < 0 || placement.y > height) {
        slot.Event = AtEdge;
        return;
    }
    HDC dc = GetDC(hwnd);
    if (dc) {
        DrawPicture(dc, placement.picture, placement.x, placement.y);
        if (placement.moved) {
            HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            (void)FillRect(dc, &placement.first, black);
            if (slot.Direction % 2 != 0) (void)FillRect(dc, &placement.second, black);
        }
        ReleaseDC(hwnd, dc);
    }
    slot.X = placement.x;
    slot.Y = placement.y;
}

// While all ten are alive: now and then a decoration somewhere, and a star on about half of
// the jellyfish. Nothing erases them; the jellyfish's squares and strips paint them over.
void DrawExtras(HWND hwnd, int width, int height)
{
    HDC dc = GetDC(hwnd);
    int r = Prng::rand() % 40;
    if (r <= 2) {
        int y = RandomBelow(height);
        int x = RandomBelow(width);
        DrawPicture(dc, r < 2 ? Back1Icon : Back2Icon, x, y);
    }
    for (int s = 0; s < OrdinaryCount; ++s)
        if (Jelly[s].Exist != 0 && Prng::rand() % 2 == 0)
            DrawPicture(dc, StarIcon, Jelly[s].X, Jelly[s].Y);
    if (dc) ReleaseDC(hwnd, dc);
}

} // namespace

void SetJellyMove(int slot, int step, int *newX, int *newY, RECT *first, RECT *second)
{
    const JellyRecord &jelly = Jelly[slot];
    *newX = jelly.X;
    *newY = jelly.Y;
    *first = *second = RECT{0, 0, 0, 0};
    if (jelly.Direction < 0 || jelly.Direction > 7) return;
    const Heading &heading = Headings[jelly.Direction];
    *newX = jelly.X + heading.dx * step;
    *newY = jelly.Y + heading.dy * step;
    *first = StripRect(EraseStrips[jelly.Direction][0], jelly.X, jelly.Y, step);
    *second = StripRect(EraseStrips[jelly.Direction][1], jelly.X, jelly.Y, step);
}

void JellyExecute(HWND hwnd)
{
    SIZE screen = JellyScreen();
    int width = screen.cx - JellySize;
    int height = screen.cy - JellySize;
    ReseedJelly();
    bool swimSoundStarted = false;
    int slots = std::clamp(CharCount, 0, JellySlots);
    for (int s = 0; s < slots; ++s) {
        JellyRecord &slot = Jelly[s];
        if (slot.Exist == 0) continue;
        Placement placement;
        placement.x = slot.X;
        placement.y = slot.Y;
        if (!CarryOut(s, placement)) continue;
        SlotSounds(slot, swimSoundStarted);
        if (placement.picture != NoPicture) Place(hwnd, slot, placement, width, height);
    }
    if (IsAll != 0) DrawExtras(hwnd, width, height);
}
