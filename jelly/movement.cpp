// Jelly movement and drawing. The scene is never redrawn as a whole: each tick draws the 32 x 32
// square of every slot that shows something and fills black the strips that a moved square
// uncovers, the picture first so that a swimming jellyfish never shows a black gap. A move that
// would leave the screen is not drawn; the slot gets AtEdge and turns at the next decision.
// Random draws happen in the order written here, after JellyCheck's of the same tick.
#include "jelly/movement.h"

#include "jelly/population.h"

#include "ground/random.h"

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

// One edge of an erase strip, measured from the old square's corner along x or y: a part of
// the square (its near side 0 or its far side JellySize) and a part of the step d (-1, 0, 1).
struct StripEdge {
    int square;
    int perStep;
};
constexpr StripEdge Near = {0, 0};                  // the old square's left or top edge
constexpr StripEdge Far = {JellySize, 0};           // its right or bottom edge
constexpr StripEdge NearPlusStep = {0, 1};          // one step in from the near edge
constexpr StripEdge FarMinusStep = {JellySize, -1}; // one step in from the far edge
// The part of the old square that a step uncovers, right and bottom excluded.
struct Strip {
    StripEdge left, top, right, bottom;
};
constexpr Strip NoStrip = {Near, Near, Near, Near};
// By direction: the uncovered strips, one for a straight step and two for a diagonal one.
constexpr Strip EraseStrips[8][2] = {
    {{Near, FarMinusStep, Far, Far}, NoStrip},                                  // 0 up
    {{Near, Near, NearPlusStep, Far}, {NearPlusStep, FarMinusStep, Far, Far}},  // 1 up right
    {{Near, Near, NearPlusStep, Far}, NoStrip},                                 // 2 right
    {{Near, Near, NearPlusStep, Far}, {NearPlusStep, Near, Far, NearPlusStep}}, // 3 down right
    {{Near, Near, Far, NearPlusStep}, NoStrip},                                 // 4 down
    {{Near, Near, Far, NearPlusStep}, {FarMinusStep, NearPlusStep, Far, Far}},  // 5 down left
    {{FarMinusStep, Near, Far, Far}, NoStrip},                                  // 6 left
    {{Near, FarMinusStep, Far, Far}, {FarMinusStep, Near, Far, FarMinusStep}},  // 7 up left
};

constexpr int NoPicture = -1;

constexpr int32_t ChangeTicks = 4;
constexpr int NewbornMargin = 64; // a newborn is placed within screen size - 64

int EdgeAt(const StripEdge &edge, int corner, int d)
{
    return corner + edge.square + edge.perStep * d;
}

RECT StripRect(const Strip &strip, int x, int y, int d)
{
    return RECT{EdgeAt(strip.left, x, d), EdgeAt(strip.top, y, d), EdgeAt(strip.right, x, d),
                EdgeAt(strip.bottom, y, d)};
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
        placement.picture = HiddenIcon(slotNumber);
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
    int width = ScreenRange(SM_CXSCREEN);
    int height = ScreenRange(SM_CYSCREEN);
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
