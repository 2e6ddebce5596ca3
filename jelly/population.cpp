// The jelly population and its file. At every start the ten ordinary slots are read from
// "Jelly.INI" by fixed columns, two newborns are seeded when nobody alive was read, the hidden
// characters are placed anew and the pictures are loaded; at every stop the ten ordinary slots
// are written back, seven lines each.
#include "jelly/population.h"

#include "ground/globals.h"
#include "ground/path.h"
#include "ground/random.h"
#include "ground/textfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

JellyRecord Jelly[JellySlots] = {};
int HideCount = 0;
int CharCount = 0;
int IsAll = 0;
int SrandCount = 1;
HICON Hicon[HiconCount] = {};

namespace
{

// The seven lines of a slot, in file order: the key in columns 9..14, the line as written, the
// field, and how many columns from 15 on hold its value (1: one character minus '0').
struct FileField {
    const char *key;
    const char *format;
    int32_t JellyRecord::*field;
    int width;
};
constexpr FileField JellyFields[7] = {
    {"EXIST=", "JELLY%02d_EXIST=%d\r\n", &JellyRecord::Exist, 1},
    {"TYPE_=", "JELLY%02d_TYPE_=%d\r\n", &JellyRecord::Type, 1},
    {"DIRCT=", "JELLY%02d_DIRCT=%d\r\n", &JellyRecord::Direction, 1},
    {"AGE__=", "JELLY%02d_AGE__=%05d\r\n", &JellyRecord::Age, 5},
    {"XXXXX=", "JELLY%02d_XXXXX=%04d\r\n", &JellyRecord::X, 4},
    {"YYYYY=", "JELLY%02d_YYYYY=%04d\r\n", &JellyRecord::Y, 4},
    {"CRICK=", "JELLY%02d_CRICK=%04d\r\n", &JellyRecord::ClickCount, 4},
};
constexpr int KeyColumn = 8;    // 0-based: columns 9..14
constexpr int ValueColumn = 14; // 0-based: column 15
constexpr int KeyLength = 6;

// The hidden characters' pictures, "JHIDE<digit>_ICON", by the day of the month at their first
// loading: digit = Base + Step * k for hidden slot k, by day % 4.
struct HiddenDigits {
    int base;
    int step;
};
constexpr HiddenDigits HiddenDigitsByDay[4] = {{0, 1}, {5, 1}, {0, 2}, {1, 2}};

void ApplyJellyLine(const char (&line)[LinePiece + 1])
{
    if (std::strncmp(line, "JELLY", 5) != 0) return;
    int number = ColumnNumber(line + 5, 2);
    if (number < 1 || number > OrdinaryCount) return;
    JellyRecord &slot = Jelly[number - 1];
    for (const FileField &field : JellyFields) {
        if (std::strncmp(line + KeyColumn, field.key, KeyLength) != 0) continue;
        slot.*field.field = field.width == 1 ? ColumnValue(line[ValueColumn])
                                             : ColumnNumber(line + ValueColumn, field.width);
        return;
    }
}

// A damaged file may give any character for the one-digit fields. A type outside 0..9 has no
// picture and no life span, so such a slot is taken as free; a direction outside 0..7 only
// steers, so it becomes 0 (up) and the jellyfish lives on.
void CheckReadValues()
{
    for (int s = 0; s < OrdinaryCount; ++s) {
        JellyRecord &slot = Jelly[s];
        if (slot.Type < 0 || slot.Type > 9) slot.Exist = 0;
        if (slot.Direction < 0 || slot.Direction > 7) slot.Direction = 0;
    }
}

// A jelly file saved on a larger screen (a lower resolution later, a laptop off its dock) may
// hold positions beyond this one's range, 0..screen size - 32: such a jellyfish could never be
// seen, clicked or moved again. Each such coordinate goes to the nearest one inside the range;
// every other position stays as it was read.
void BringOntoScreen(int width, int height)
{
    for (int s = 0; s < OrdinaryCount; ++s) {
        JellyRecord &slot = Jelly[s];
        if (slot.Exist == 0) continue;
        slot.X = std::max(0, std::min(slot.X, width));
        slot.Y = std::max(0, std::min(slot.Y, height));
    }
}

int LivingOrdinary()
{
    int living = 0;
    for (int s = 0; s < OrdinaryCount; ++s)
        living += Jelly[s].Exist != 0 ? 1 : 0;
    return living;
}

// The hidden slots the set-up walks: HideCount, kept within the slots and pictures there are.
int HiddenSlots()
{
    return HideCount >= 0 && HideCount <= MaxHideCount ? HideCount : MaxHideCount;
}

// The screen's size once read; cx 0 until then.
SIZE Screen = {};

HICON LoadJellyIcon(const char *name)
{
    return static_cast<HICON>(LoadImageA(hInst, name, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}

void LoadIconOnce(int index, const char *name)
{
    if (!Hicon[index]) Hicon[index] = LoadJellyIcon(name);
}

void LoadJellyIcons()
{
    char name[32];
    for (int i = 0; i < TypePictures; ++i) {
        std::snprintf(name, sizeof name, "JELLY%02d_ICON", i);
        LoadIconOnce(i, name);
        std::snprintf(name, sizeof name, "JELLY%02d_ICON", 20 + i);
        LoadIconOnce(TypePictures + i, name);
    }
    LoadIconOnce(ChangeIcon, "JCHANGE_ICON");
    LoadIconOnce(EndIcon, "JEND_ICON");
    LoadIconOnce(DummyIcon, "JDUMMY_ICON");
    // These three are loaded again at every start; the handle held so far goes back to the
    // system first, so that starting many times takes no icons from it.
    constexpr std::pair<int, const char *> EveryStart[3] = {
        {Back1Icon, "JBACK1_ICON"}, {Back2Icon, "JBACK2_ICON"}, {StarIcon, "JSTAR_ICON"}};
    for (const auto &[index, resource] : EveryStart) {
        HICON &entry = Hicon[index];
        if (entry) (void)DestroyIcon(entry);
        entry = LoadJellyIcon(resource);
    }
    SYSTEMTIME today;
    GetLocalTime(&today);
    HiddenDigits digits = HiddenDigitsByDay[today.wDay % 4];
    for (int k = 0; k < HiddenSlots(); ++k) {
        std::snprintf(name, sizeof name, "JHIDE%01d_ICON", digits.base + digits.step * k);
        LoadIconOnce(HiddenIcon(FirstHidden + k), name);
    }
}

} // namespace

void ResetJellyState()
{
    Screen = SIZE{};
    std::memset(Jelly, 0, sizeof Jelly);
    HideCount = CharCount = IsAll = 0;
    SrandCount = 1;
    for (HICON &icon : Hicon)
        icon = nullptr;
}

std::string JellyFileName()
{
    return ProgramFolder() + "Jelly" + ".INI";
}

int ScreenRange(int metric)
{
    SIZE screen = JellyScreen();
    return (metric == SM_CXSCREEN ? screen.cx : screen.cy) - JellySize;
}

SIZE JellyScreen()
{
    if (Screen.cx == 0) Screen = SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Screen;
}

void ForgetJellyScreen()
{
    Screen = SIZE{};
}

int RandomBelow(int range)
{
    int r = Prng::rand();
    return range > 0 ? r % range : 0;
}

void ReseedJelly()
{
    int divisor = SrandCount > 0 ? SrandCount : 1;
    Prng::srand(static_cast<uint32_t>(CalendarSeconds() / divisor));
    ++SrandCount;
}

void PlayJellySound(const char *name)
{
    // A missing file plays nothing; the result is not looked at.
    (void)PlaySoundA(name, nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
}

HICON JellyPicture(int index)
{
    return index >= 0 && index < static_cast<int>(std::size(Hicon)) ? Hicon[index] : nullptr;
}

int ReadJellyIniFile(bool *refused)
{
    TextFileRead read = ReadTextLines(JellyFileName(), ApplyJellyLine);
    int result = read == TextFileRead::Read ? 1 : 0;
    if (refused) *refused = read == TextFileRead::Refused;
    CheckReadValues();
    int width = ScreenRange(SM_CXSCREEN);
    int height = ScreenRange(SM_CYSCREEN);
    BringOntoScreen(width, height);
    Prng::srand(static_cast<uint32_t>(CalendarSeconds()));

    // Nobody alive after the check above (or no file): two newborns, slot 0 young of type 0
    // and slot 1 of type 1.
    if (result == 0 || LivingOrdinary() == 0) {
        for (int s = 0; s < 2; ++s) {
            JellyRecord &slot = Jelly[s];
            slot.Exist = 1;
            slot.Age = 0;
            slot.Type = s % 2;
            slot.X = RandomBelow(width);
            slot.Y = RandomBelow(height);
        }
    }
    for (int s = FirstHidden; s < FirstHidden + HiddenSlots(); ++s) {
        JellyRecord &slot = Jelly[s];
        slot.Exist = 1;
        slot.Age = Prng::rand() % 300;
        slot.Type = HiddenType;
        slot.X = RandomBelow(width);
        slot.Y = RandomBelow(height);
    }
    LoadJellyIcons();
    return result;
}

void WriteJellyIniFile()
{
    FileReplacement replacement(JellyFileName());
    if (!replacement.IsOpen()) return;
    // 70 lines; a value may take up to 11 characters.
    char text[70 * 32];
    TextBuffer file(text, sizeof text);
    for (int s = 0; s < OrdinaryCount; ++s) {
        JellyRecord &slot = Jelly[s];
        // A free slot is stored as zeros and stays zero, so its old values never come back.
        if (slot.Exist == 0)
            for (const FileField &field : JellyFields)
                slot.*field.field = 0;
        for (const FileField &field : JellyFields)
            file.Append(field.format, s + 1, static_cast<int>(slot.*field.field));
    }
    (void)replacement.Commit(file.Data(), file.Length());
}

int JellyExsit()
{
    int living = LivingOrdinary();
    IsAll = living == OrdinaryCount ? 1 : 0;
    return living;
}
