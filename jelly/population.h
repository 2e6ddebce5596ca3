// The jelly population: the table of slots `Jelly`, its action and event codes, the icon table
// `Hicon`, and the jelly file "Jelly.INI" that keeps the ten ordinary jellyfish between runs.
//
// Slots 0..9 hold the ordinary jellyfish (saved, counted), slots 10..14 the hidden characters
// (type 999, set up anew at every start, never saved), slots 15..19 are never used. The table
// lives for the whole run of the program; every field that the file and the set-up at a start
// do not overwrite keeps its value between starts.
#pragma once

#include "platform.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int JellySlots = 20;
constexpr int OrdinaryCount = 10; // slots 0..9
constexpr int FirstHidden = 10;   // slots 10.. hold the hidden characters
constexpr int MaxHideCount = 5;
constexpr int32_t HiddenType = 999;
constexpr int JellySize = 32;       // every picture is 32 x 32
constexpr int32_t GrownUpAge = 700; // young ones come of age, and talk like grown-ups from then on

// The picture table Hicon, in its order: each type's picture in two frames (type + 10 * frame),
// the change, end and blank pictures, the two decorations, the star, and the hidden characters'
// own pictures for the hidden slots in order. The last entry is not used.
constexpr int TypePictures = 10;
constexpr int ChangeIcon = 20;
constexpr int EndIcon = 21;
constexpr int DummyIcon = 22;
constexpr int Back1Icon = 23;
constexpr int Back2Icon = 24;
constexpr int StarIcon = 25;
constexpr int FirstHiddenIcon = 26;
constexpr int HiconCount = 32;
// The picture a hidden character shows of itself, by its slot (10..14).
constexpr int HiddenIcon(int slot)
{
    return FirstHiddenIcon + slot - FirstHidden;
}

// What a slot does in the current tick, chosen by JellyCheck and carried out by JellyExecute.
enum JellyAction : int32_t {
    Animate = 0,
    Turn = 1,
    Swim = 2,
    Dash = 3,
    Breed = 4,
    Die = 5,
    Vanish = 6,
    Change = 7,
    Reveal = 9,
    Idle = 99,
};

// What the drawing step leaves for the next decision.
enum JellyEvent : int32_t {
    NoEvent = 0,
    Dying = 1,
    Changing = 2,
    AtEdge = 3,
    Revealed = 4,
};

struct JellyRecord {
    int32_t Exist;      // 0: free slot; anything else: alive
    int32_t Type;       // 0, 1 young; 2..9 adult kinds; 999 hidden character
    int32_t Action;     // JellyAction of the current tick
    int32_t Event;      // JellyEvent pending for the next decision
    int32_t Frame;      // animation frame, 0 or 1
    int32_t Direction;  // 0..7, clockwise from straight up
    int32_t Age;        // in ticks
    int32_t X;          // top-left corner of the picture, screen pixels
    int32_t Y;          //
    int32_t Clicked;    // 1 when a left click hit the square since the last decision
    int32_t ClickCount; // ordinary: clicks over its life; hidden: shows by click since it moved
    int32_t Countdown;  // ticks left of the change animation
    TOOLINFOA ToolInfo; // the slot's tool for the tool tip control (cbSize TTTOOLINFOA_V1_SIZE)
    int32_t TipX;       // X and Y at the last tool tip update
    int32_t TipY;       //
    int32_t ToolAdded;  // 1 while the tool is added to the control
};

// The tool record goes to the control with cbSize = TTTOOLINFOA_V1_SIZE, the first layout, which
// ends after lpszText: 40 bytes on 32-bit Windows. (The headers' macro for it is no constant
// expression, so its definition is checked here.)
#if defined(__i386__)
static_assert(offsetof(TOOLINFOA, lpszText) + sizeof(LPSTR) == 40);
#endif

extern JellyRecord Jelly[JellySlots];
extern int HideCount;  // hidden characters, 5; set at every start before ReadJellyIniFile
extern int CharCount;  // HideCount + 10: the slots the per-tick passes walk
extern int IsAll;      // 1 while all ten ordinary slots are alive (kept by JellyExsit)
extern int SrandCount; // divisor of the calendar time for reseeding; 1 or more
extern HICON Hicon[HiconCount];

// Loads the population from the jelly file, seeds two newborns when nobody alive was read,
// sets up the hidden characters and loads the icons. Returns 1 when the file was read, 0 when
// it could not be opened. When given, *refused tells a file that is there but could not be
// opened (another program held it without sharing, no permission): the population set up then
// is not the stored one.
int ReadJellyIniFile(bool *refused = nullptr);
// Saves slots 0..9 (free slots as zeros) by replacing the jelly file; a failure leaves the old
// file whole and reports nothing.
void WriteJellyIniFile();
// The number of living ordinary jellyfish; sets IsAll.
int JellyExsit();

// How far a picture's top-left corner may go along the screen's width (SM_CXSCREEN) or height
// (SM_CYSCREEN) with its whole square showing: the screen's size less a picture's.
int ScreenRange(int metric);
// One draw of the generator reduced modulo `range`; 0 when `range` is not positive (a screen
// no larger than a picture), so the number and order of draws never depend on the screen.
int RandomBelow(int range);
// Reseeds the generator with the calendar time divided by SrandCount, then counts SrandCount up.
void ReseedJelly();
// Starts a jelly sound by its bare file name, asynchronously and without a default sound.
void PlayJellySound(const char *name);
// The picture of a Hicon index, or null for an empty entry or an index outside the table.
HICON JellyPicture(int index);
// The jelly file's full name: the program folder and "Jelly.INI".
std::string JellyFileName();
// The screen's size in pixels (GetSystemMetrics SM_CXSCREEN and SM_CYSCREEN), read at the first
// use and kept until ForgetJellyScreen: every tick needs it, and Wine's server answers each
// reading with three round trips. The jelly window forgets it at each start and when the
// display changes (WM_DISPLAYCHANGE), so a tick always sees the screen as it is.
SIZE JellyScreen();
void ForgetJellyScreen();

// Puts the table and the module's globals back to their start values (the icons are not
// destroyed: the desktop they belong to goes with them).
void ResetJellyState();
