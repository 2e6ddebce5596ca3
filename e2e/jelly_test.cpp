// The jellyfish in the real program under Wine: started from the tray menu, the full-screen black
// window and its first-run hint, jellyfish that swim between two screenshots, a jellyfish that
// speaks in a tool tip where the pointer rests on it, the end question with No as its default,
// the saved "Jelly.INI", a second start without the hint; and Alt+F4 on the shown jellyfish,
// which saves them and ends the program without leaving its tray icon behind.
#include "e2e/tray_user.h"

#include "jelly/jellytips.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace e2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

constexpr char JellyClass[] = "ZelmoJelly";
constexpr char ToolTipClass[] = "tooltips_class32";
constexpr char IdOk[] = "1";
constexpr char IdYes[] = "6";
constexpr char IdNo[] = "7";
constexpr int Square = 32; // every picture, and the squares the screenshots are compared in
constexpr unsigned WsExTopmost = 0x8;
constexpr unsigned BsDefPushButton = 0x1;
// The driver shows the hint's line break as a blank.
constexpr char HintLine[] =
    "★終了する時は、マウス右クリックです。 　＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝";
constexpr char EndQuestion[] = "終了します。";

bool Black(const Pixels &pixels, size_t index)
{
    return pixels.rgb[index * 3] == 0 && pixels.rgb[index * 3 + 1] == 0 &&
           pixels.rgb[index * 3 + 2] == 0;
}

// Where something is drawn: the boxes round groups of lit pixels, a box grown by every lit
// pixel that lies within a picture's size of it.
std::vector<Rect> Pictures(const Pixels &pixels)
{
    std::vector<Rect> boxes;
    const int width = pixels.area.Width();
    for (size_t i = 0; i < pixels.rgb.size() / 3; ++i) {
        if (Black(pixels, i)) continue;
        int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
        auto near = std::find_if(boxes.begin(), boxes.end(), [&](const Rect &box) {
            return x >= box.right - Square && x < box.left + Square && y >= box.bottom - Square &&
                   y < box.top + Square;
        });
        if (near == boxes.end()) {
            boxes.push_back(Rect{x, y, x + 1, y + 1});
            continue;
        }
        near->left = std::min(near->left, x);
        near->top = std::min(near->top, y);
        near->right = std::max(near->right, x + 1);
        near->bottom = std::max(near->bottom, y + 1);
    }
    return boxes;
}

// How many of the 32 x 32 squares of two pictures of one area differ, and how many there are.
std::pair<int, int> DifferentSquares(const Pixels &a, const Pixels &b)
{
    const int width = a.area.Width(), height = a.area.Height();
    int different = 0, all = 0;
    for (int top = 0; top < height; top += Square) {
        for (int left = 0; left < width; left += Square) {
            ++all;
            bool same = true;
            for (int y = top; y < std::min(top + Square, height) && same; ++y) {
                size_t from = (static_cast<size_t>(y) * width + left) * 3;
                size_t to = (static_cast<size_t>(y) * width + std::min(left + Square, width)) * 3;
                same = std::equal(a.rgb.begin() + from, a.rgb.begin() + to, b.rgb.begin() + from);
            }
            different += same ? 0 : 1;
        }
    }
    return {different, all};
}

bool LitWithin(const Pixels &pixels, const Rect &area)
{
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, pixels.area.Height()); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.right, pixels.area.Width()); ++x)
            if (!Black(pixels, static_cast<size_t>(y) * pixels.area.Width() + x)) return true;
    return false;
}

bool IsYoungTip(const std::string &text)
{
    return std::find(JellyMsg + YoungTips, JellyMsg + YoungTips + YoungTipCount, text) !=
           JellyMsg + YoungTips + YoungTipCount;
}

// The living jellyfish's squares in a jelly file.
std::vector<Rect> SavedSquares(const std::string &file)
{
    std::vector<Rect> squares;
    for (int n = 1; n <= 10; ++n) {
        char key[32];
        std::snprintf(key, sizeof key, "JELLY%02d_EXIST=1", n);
        if (file.find(key) == std::string::npos) continue;
        std::snprintf(key, sizeof key, "JELLY%02d_XXXXX=", n);
        size_t x = file.find(key);
        std::snprintf(key, sizeof key, "JELLY%02d_YYYYY=", n);
        size_t y = file.find(key);
        if (x == std::string::npos || y == std::string::npos) continue;
        int left = std::atoi(file.c_str() + x + 15), top = std::atoi(file.c_str() + y + 15);
        squares.push_back(Rect{left, top, left + Square, top + Square});
    }
    return squares;
}

int CrLfLines(const std::string &text)
{
    int lines = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') lines += i > 0 && text[i - 1] == '\r' ? 1 : -1000;
    return lines;
}

// A jelly file of ten slots: the first `alive` adults of type 2, age 1000, in a row at
// (80 * number, 300); the others free.
std::string JellyFileOf(int alive)
{
    std::string file;
    for (int n = 1; n <= 10; ++n) {
        char lines[256];
        std::snprintf(lines, sizeof lines,
                      "JELLY%02d_EXIST=%d\r\nJELLY%02d_TYPE_=2\r\nJELLY%02d_DIRCT=0\r\n"
                      "JELLY%02d_AGE__=01000\r\nJELLY%02d_XXXXX=%04d\r\nJELLY%02d_YYYYY=0300\r\n"
                      "JELLY%02d_CRICK=0000\r\n",
                      n, n <= alive ? 1 : 0, n, n, n, n, 80 * n, n, n);
        file += lines;
    }
    return file;
}

// The age of slot 1 in a jelly file, or -1.
int FirstAge(const std::string &file)
{
    size_t at = file.find("JELLY01_AGE__=");
    return at == std::string::npos ? -1 : std::atoi(file.c_str() + at + 14);
}

class JellyE2E : public TrayUser
{
  protected:
    // A program folder with the jellyfish's sounds and a jelly file of three adults, the program
    // started from it, its tray icon up and the jellyfish started and drawn.
    testing::AssertionResult StartThree(ProgramFolder &folder, std::unique_ptr<Program> &program,
                                        const std::string &log, Rect *icon)
    {
        AddJellySounds(folder);
        std::ofstream(folder.Dir() / "Jelly.INI", std::ios::binary) << JellyFileOf(3);
        program = std::make_unique<Program>(session, folder, log);
        Record main, jelly;
        testing::AssertionResult tray = WaitTray(&main, icon);
        if (!tray) return tray;
        testing::AssertionResult started = StartJellyfish(*icon, &jelly);
        if (!started) return started;
        return session.WaitFor(
            "the jellyfish drawn",
            [&] {
                std::optional<Pixels> now = Screen();
                return now && LitWithin(*now, Rect{72, 292, 120, 340});
            },
            15s);
    }

    void AddJellySounds(const ProgramFolder &folder)
    {
        for (const auto &entry : fs::directory_iterator(session.SoundDir()))
            if (entry.path().filename().string().rfind("j", 0) == 0) folder.Add(entry.path());
    }
    // Chooses "ジェリィちゃん(&J)..." and waits for the jelly window to show.
    testing::AssertionResult StartJellyfish(const Rect &icon, Record *jelly)
    {
        Record menu;
        testing::AssertionResult opened = OpenMenu(icon, &menu);
        if (!opened) return opened;
        testing::AssertionResult chosen = Choose(menu, "j");
        if (!chosen) return chosen;
        DriverResult found = session.Driver({"wait", JellyClass, "-", "15000"});
        if (found.code != 0 || !found.First())
            return testing::AssertionFailure() << "no jelly window\n"
                                               << session.ScreenState("jelly window");
        DriverResult shown = session.Driver({"visible", found.First()->get("hwnd"), "15000"});
        if (shown.code != 0 || !shown.First())
            return testing::AssertionFailure() << "the jelly window did not show\n"
                                               << session.ScreenState("jelly shown");
        *jelly = *shown.First();
        return testing::AssertionSuccess();
    }
    // The message box over the jelly window, its text checked, answered with the button.
    testing::AssertionResult Answer(const Record &jelly, const std::string &text,
                                    const std::string &button, const std::string &shot = "")
    {
        Record box;
        testing::AssertionResult found = WaitMessageBox(jelly, text, &box);
        if (!found) return found;
        std::vector<Record> controls = session.Driver({"controls", box.get("hwnd")}).records;
        if (!std::any_of(controls.begin(), controls.end(),
                         [&](const Record &c) { return c.get("text") == text; }))
            return testing::AssertionFailure()
                   << "the box does not say \"" << text << "\"\n"
                   << session.Driver({"controls", box.get("hwnd")}).output;
        if (text == EndQuestion) {
            std::optional<Record> no = Control(controls, IdNo);
            unsigned style = no ? std::stoul(no->get("style"), nullptr, 16) : 0;
            if ((style & 0xF) != BsDefPushButton)
                return testing::AssertionFailure() << "No is not the default button";
        }
        if (!shot.empty()) session.Screenshot(shot);
        testing::AssertionResult clicked = Click(box, button);
        if (!clicked) return clicked;
        return Gone(box, "the box \"" + text + "\"");
    }
    testing::AssertionResult RightClick(int x, int y)
    {
        if (session.Xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "3"}))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "xdotool could not right-click";
    }
    std::optional<Pixels> Screen() { return session.Grab(Rect{0, 0, 1024, 768}); }
    // The tray icon's menu over the running jellyfish. Their top-most window covers the screen
    // and Wine's tray window with it; a user brings the task bar up over it first (the Windows
    // key), which this does by putting the tray window on top.
    testing::AssertionResult OpenMenuOverJellyfish(const Rect &icon, Record *menu)
    {
        std::vector<Record> windows = session.Driver({"list"}).records;
        auto tray = std::find_if(windows.begin(), windows.end(), [](const Record &w) {
            return w.get("title") == "Wine System Tray";
        });
        if (tray == windows.end())
            return testing::AssertionFailure() << "no tray window\n" << session.ScreenState("tray");
        if (session.Driver({"raise", tray->get("hwnd")}).code != 0)
            return testing::AssertionFailure() << "the tray window could not be raised";
        return OpenMenu(icon, menu);
    }
};

} // namespace

TEST_F(JellyE2E, StartedFromTheTrayTheySwimSpeakAskBeforeEndingAndComeBackTheSame)
{
    ProgramFolder folder(session.ProgramExe());
    AddJellySounds(folder);
    Program program(session, folder, "jelly");
    Record main, jelly;
    Rect icon;
    ASSERT_TRUE(WaitTray(&main, &icon));

    // Resident and idle (its windows all made), the program has loaded none of the libraries
    // that only the dialogs, the jellyfish, the Startup shortcut and the sounds use; the
    // jellyfish's start brings the common controls for the tool tips.
    ASSERT_EQ(session.Driver({"wait", JellyClass, "-", "15000"}).code, 0);
    std::set<std::string> idle = LoadedLibraries(program.Process().Pid());
    EXPECT_TRUE(idle.count("user32.dll")) << "the process's libraries were not read";
    for (const char *later : {"comctl32.dll", "comdlg32.dll", "ole32.dll", "winmm.dll"})
        EXPECT_FALSE(idle.count(later)) << later << " is loaded by the idle program";

    // The full-screen, top-most window, and the hint of the first run over it.
    ASSERT_TRUE(StartJellyfish(icon, &jelly));
    EXPECT_TRUE(LoadedLibraries(program.Process().Pid()).count("comctl32.dll"));
    EXPECT_EQ("0,0,1024,768", jelly.get("rect"));
    EXPECT_EQ(main.get("hwnd"), jelly.get("owner"));
    EXPECT_TRUE(std::stoul(jelly.get("exstyle"), nullptr, 16) & WsExTopmost);
    ASSERT_TRUE(Answer(jelly, HintLine, IdOk, "jelly-hint"));

    // Black, with the two newborns; a few seconds later some squares differ, not all.
    std::optional<Pixels> first;
    ASSERT_TRUE(session.WaitFor(
        "jellyfish on the black window",
        [&] {
            first = Screen();
            return first && !Pictures(*first).empty();
        },
        15s));
    size_t black = 0;
    for (size_t i = 0; i < first->rgb.size() / 3; ++i)
        black += Black(*first, i) ? 1 : 0;
    EXPECT_GT(black, first->rgb.size() / 3 * 95 / 100) << "the window is black";
    session.Screenshot("jelly-swim-1");
    std::optional<Pixels> later;
    std::pair<int, int> squares;
    ASSERT_TRUE(session.WaitFor(
        "jellyfish that move",
        [&] {
            later = Screen();
            if (later) squares = DifferentSquares(*first, *later);
            return later && squares.first > 0;
        },
        30s));
    session.Screenshot("jelly-swim-2");
    EXPECT_LT(squares.first, squares.second / 4) << "only the squares that change are drawn";

    // Resting the pointer on a jellyfish: one of them speaks, after the delay, like a baby.
    std::vector<Record> windows = session.Driver({"list"}).records;
    auto tip = std::find_if(windows.begin(), windows.end(), [&](const Record &w) {
        return w.get("class") == ToolTipClass && w.get("owner") == jelly.get("hwnd");
    });
    ASSERT_NE(windows.end(), tip) << "the jelly window's tool tip control";
    const std::string tipHwnd = tip->get("hwnd");
    std::string spoken;
    size_t next = 0;
    ASSERT_TRUE(session.WaitFor(
        "a jellyfish's tool tip",
        [&] {
            std::optional<Pixels> now = Screen();
            if (!now) return false;
            std::vector<Rect> pictures = Pictures(*now);
            if (pictures.empty()) return false;
            const Rect &picture = pictures[next++ % pictures.size()];
            (void)session.Xdotool({"mousemove", std::to_string(picture.CentreX()),
                                   std::to_string(picture.CentreY())});
            return PollUntil(
                [&] {
                    std::optional<Record> text = session.Driver({"gettext", tipHwnd}).First("text");
                    if (text && text->get("visible") == "1") spoken = text->get("text");
                    return !spoken.empty();
                },
                2s, 200ms);
        },
        120s));
    session.Screenshot("jelly-tooltip");
    EXPECT_TRUE(IsYoungTip(spoken)) << spoken;

    // The end question: No keeps them running and writes nothing; Yes hides and saves.
    ASSERT_TRUE(RightClick(1000, 20));
    ASSERT_TRUE(Answer(jelly, EndQuestion, IdNo, "jelly-question"));
    EXPECT_EQ(0, session.Driver({"visible", jelly.get("hwnd"), "1000"}).code);
    EXPECT_FALSE(fs::exists(folder.Dir() / "Jelly.INI"));
    // Away from the last click: two right clicks in one place in quick succession are a double
    // click, which asks nothing.
    ASSERT_TRUE(RightClick(960, 80));
    ASSERT_TRUE(Answer(jelly, EndQuestion, IdYes));
    ASSERT_EQ(0, session.Driver({"hidden", jelly.get("hwnd"), "15000"}).code);
    const std::string saved = ReadText(folder.Dir() / "Jelly.INI");
    EXPECT_EQ(70, CrLfLines(saved)) << saved;
    const std::vector<Rect> population = SavedSquares(saved);
    ASSERT_GE(population.size(), 1u) << saved;

    // Again: no hint, and the jellyfish where they were saved.
    ASSERT_TRUE(StartJellyfish(icon, &jelly));
    ASSERT_TRUE(session.WaitFor(
        "the saved jellyfish in their places",
        [&] {
            std::optional<Pixels> now = Screen();
            return now && std::all_of(population.begin(), population.end(), [&](const Rect &r) {
                       return LitWithin(*now,
                                        Rect{r.left - 8, r.top - 8, r.right + 8, r.bottom + 8});
                   });
        },
        15s));
    session.Screenshot("jelly-again");
    EXPECT_NE(0, session.Driver({"find", DialogClass, "ZelmoSound"}).code) << "no hint";
    ASSERT_TRUE(RightClick(900, 140));
    ASSERT_TRUE(Answer(jelly, EndQuestion, IdYes));
}

TEST_F(JellyE2E, AltF4OnTheJellyfishSavesThemAndEndsTheProgramWithItsTrayIcon)
{
    ProgramFolder folder(session.ProgramExe());
    AddJellySounds(folder);
    const std::string file = JellyFileOf(3);
    std::ofstream(folder.Dir() / "Jelly.INI", std::ios::binary) << file;
    Program program(session, folder, "jelly-alt-f4");
    Record main, jelly;
    Rect icon;
    ASSERT_TRUE(WaitTray(&main, &icon));
    ASSERT_TRUE(StartJellyfish(icon, &jelly));
    // A jelly file: no hint. A second or two of ticks, so that the saved ages differ.
    ASSERT_TRUE(session.WaitFor(
        "the jellyfish drawn",
        [&] {
            std::optional<Pixels> now = Screen();
            return now && LitWithin(*now, Rect{72, 292, 120, 340});
        },
        15s));
    EXPECT_NE(0, session.Driver({"find", DialogClass, "ZelmoSound"}).code) << "no hint";

    ASSERT_TRUE(session.Xdotool({"windowfocus", jelly.get("xid"), "key", "alt+F4"}));
    std::optional<int> code = program.Process().WaitExit(15s);
    ASSERT_TRUE(code) << "the program did not end\n" << session.ScreenState("alt-f4");
    EXPECT_EQ(0, *code);
    const std::string saved = ReadText(folder.Dir() / "Jelly.INI");
    EXPECT_EQ(70, CrLfLines(saved));
    EXPECT_NE(file, saved) << "saved with the ages they reached";
    EXPECT_EQ(std::string::npos, saved.find("JELLY01_AGE__=01000")) << saved;
    EXPECT_TRUE(session.WaitFor(
        "the tray icon to go", [&] { return !session.Driver({"tray"}).First("icon"); }, 15s));
}

// The program ends while the jellyfish run: from the tray menu's "終了(&X)", and when Windows
// ends the session (wineboot's end of session: WM_QUERYENDSESSION and WM_ENDSESSION to every
// window, then the process is ended). Either way the jelly file holds the ages they reached.
TEST_F(JellyE2E, TheProgramsEndWhileTheyRunSavesThem)
{
    {
        ProgramFolder folder(session.ProgramExe());
        std::unique_ptr<Program> program;
        Rect icon;
        ASSERT_TRUE(StartThree(folder, program, "jelly-exit", &icon));
        Record menu;
        ASSERT_TRUE(OpenMenuOverJellyfish(icon, &menu));
        ASSERT_TRUE(Choose(menu, "x"));
        std::optional<int> code = program->Process().WaitExit(15s);
        ASSERT_TRUE(code) << "the program did not end\n" << session.ScreenState("jelly-exit");
        EXPECT_EQ(0, *code);
        const std::string saved = ReadText(folder.Dir() / "Jelly.INI");
        EXPECT_EQ(70, CrLfLines(saved)) << saved;
        EXPECT_GT(FirstAge(saved), 1000) << saved;
    }
    ProgramFolder folder(session.ProgramExe());
    std::unique_ptr<Program> program;
    Rect icon;
    ASSERT_TRUE(StartThree(folder, program, "jelly-session-end", &icon));
    Outcome ended = e2e::Run(session.WineCommand("wineboot", {"--end-session"}),
                             session.WineEnvironment(), 30s);
    ASSERT_TRUE(ended.finished) << ended.err;
    ASSERT_TRUE(program->Process().WaitExit(15s)) << session.ScreenState("jelly-session-end");
    const std::string saved = ReadText(folder.Dir() / "Jelly.INI");
    EXPECT_EQ(70, CrLfLines(saved)) << saved;
    EXPECT_GT(FirstAge(saved), 1000) << saved;
}
