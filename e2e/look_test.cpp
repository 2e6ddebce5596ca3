// How the program's windows look under Wine in the prepared prefix: every label of every dialog
// template fits its control in the dialog's own font, and the caption's close box is drawn with
// Wine's symbol font (a cross, not the letter "r").
#include "e2e/harness.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace e2e;
using namespace std::chrono_literals;

namespace
{

constexpr char AboutTitle[] = "About ZelmoSound";
constexpr char IdmAbout[] = "209";

// Every dialog template of the program: the two sound settings dialogs, the register and delete
// dialogs, and the About box.
constexpr int Templates[] = {3, 4, 6, 7, 702};

// The close box's glyph is what is darker than this in every channel; the box's own frame lies
// in the 2 pixels along its edges and is left out.
constexpr int GlyphLevel = 96;
constexpr int FrameWidth = 2;

int Number(const Record &record, const std::string &key)
{
    std::string text = record.get(key);
    return text.empty() ? -1 : std::stoi(text);
}

// The dark pixels of the picture, away from its edges, as (x, y).
std::set<std::pair<int, int>> GlyphPixels(const Pixels &picture)
{
    std::set<std::pair<int, int>> dark;
    int width = picture.area.Width();
    for (int y = FrameWidth; y < picture.area.Height() - FrameWidth; ++y) {
        for (int x = FrameWidth; x < width - FrameWidth; ++x) {
            const unsigned char *rgb = &picture.rgb[static_cast<size_t>(y * width + x) * 3];
            if (rgb[0] < GlyphLevel && rgb[1] < GlyphLevel && rgb[2] < GlyphLevel)
                dark.insert({x, y});
        }
    }
    return dark;
}

// A cross looks the same mirrored left to right and top to bottom within its own bounds; a
// letter such as "r" does not.
testing::AssertionResult IsCross(const std::set<std::pair<int, int>> &glyph)
{
    if (glyph.size() < 8) return testing::AssertionFailure() << "no glyph in the close box";
    int left = glyph.begin()->first, right = left, top = glyph.begin()->second, bottom = top;
    for (const auto &[x, y] : glyph) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
    size_t mirroredAcross = 0, mirroredDown = 0;
    for (const auto &[x, y] : glyph) {
        mirroredAcross += glyph.count({left + right - x, y});
        mirroredDown += glyph.count({x, top + bottom - y});
    }
    if (mirroredAcross * 10 >= glyph.size() * 9 && mirroredDown * 10 >= glyph.size() * 9)
        return testing::AssertionSuccess();
    std::string rows;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x)
            rows += glyph.count({x, y}) ? '#' : '.';
        rows += '\n';
    }
    return testing::AssertionFailure() << "the close box's glyph is not a cross:\n" << rows;
}

class WindowLook : public SessionTest
{
};

// Each template is opened (hidden) by the driver from the program file itself, with the
// program's manifest, so the dialog gets the font and the controls the program's dialog gets;
// each label's text, on one line, must fit the room its control leaves for it.
TEST_F(WindowLook, EveryLabelOfEveryDialogFits)
{
    std::string exe = WindowsPath(session.ProgramExe());
    for (int id : Templates) {
        SCOPED_TRACE("dialog template " + std::to_string(id));
        DriverResult measured = session.Driver({"labels", exe, std::to_string(id)});
        ASSERT_EQ(measured.code, 0) << measured.output;
        std::optional<Record> dialog = measured.First("dialog");
        ASSERT_TRUE(dialog) << measured.output;
        std::cout << "template " << id << ": " << dialog->get("requested") << ", "
                  << dialog->get("height") << " pixels high, dialog base units "
                  << dialog->get("baseunits") << std::endl;
        int labels = 0;
        for (const Record &label : measured.records) {
            if (label.kind != "label") continue;
            ++labels;
            EXPECT_LE(Number(label, "extent"), Number(label, "room"))
                << "control " << label.get("id") << " cuts off \"" << label.get("text") << "\" ("
                << label.get("extent") << " pixels in " << label.get("room") << ")";
        }
        EXPECT_GT(labels, 0) << measured.output;
    }
}

// The About box's close box shows the cross Wine draws with its symbol font Marlett; without
// that font in the prefix it shows the letter "r".
TEST_F(WindowLook, CloseBoxShowsACross)
{
    DriverResult marlett = session.Driver({"font", "Marlett"});
    ASSERT_EQ(marlett.code, 0) << marlett.output;
    EXPECT_EQ(marlett.First("font")->get("face"), "Marlett") << marlett.output;

    ProgramFolder folder(session.ProgramExe());
    Program program(session, folder, "close-box");
    DriverResult main = session.Driver({"wait", MainClass, MainTitle, "30000"}, 45s);
    ASSERT_EQ(main.code, 0) << "the main window did not appear\n"
                            << session.ScreenState("close box main window");
    ASSERT_EQ(session.Driver({"post", main.First()->get("hwnd"), WmCommand, IdmAbout, "0"}).code,
              0);
    DriverResult about = session.Driver({"wait", DialogClass, AboutTitle, "15000"});
    ASSERT_EQ(about.code, 0) << "no About box\n" << session.ScreenState("close box about");
    DriverResult box = session.Driver({"closebox", about.First()->get("hwnd")});
    ASSERT_EQ(box.code, 0) << box.output;
    std::optional<Rect> area = ParseRect(box.First("closebox")->get("rect"));
    ASSERT_TRUE(area) << box.output;
    std::optional<Pixels> picture = session.WaitPainted(*area, 15s);
    ASSERT_TRUE(picture) << "the close box was never drawn\n" << session.ScreenState("close box");
    session.Screenshot("close-box");
    EXPECT_TRUE(IsCross(GlyphPixels(*picture))) << session.ScreenState("close box glyph");
}

} // namespace
