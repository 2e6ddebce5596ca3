// The jelly window as a user meets it: started from the tray menu, the first-run hint, the
// pointer over hidden characters, clicks, the tool tips that let the jellyfish speak, the end
// question, the last death, and the ways the window and the program end.
#include "tests/support/jelly_stage.h"

#include "ground/globals.h"
#include "ground/random.h"
#include "jelly/jellytips.h"
#include "jelly/jellywindow.h"
#include "resources/resource.h"

#include <set>

using namespace zelmo_test;

namespace
{

constexpr char FirstRunHint[] = "★終了する時は、マウス右クリックです。\n"
                                "　＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝";
constexpr char NobodyLeft[] = "誰もいなくなっちゃった。\nので、終了します。とほほ。。。";

int Living()
{
    int living = 0;
    for (int s = 0; s < 10; ++s)
        living += Jelly[s].Exist != 0;
    return living;
}

// Which group of JellyMsg a text is from: 'y'oung, 'g'rown-up, 'a'll present, '?' none.
char GroupOf(const char *text)
{
    for (int i = 0; i < JellyMsgCount; ++i)
        if (JellyMsg[i] == text || std::string(JellyMsg[i]) == text)
            return i < GrownTips ? 'y' : i < AllTips ? 'g' : 'a';
    return '?';
}

int CrLfCount(const std::string &text)
{
    int count = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++count;
    return count;
}

// The tools of the jelly window's tool tip control; -1 without the control.
int ToolCount(sim::Desktop &desktop)
{
    for (const sim::ToolTipInfo &tip : desktop.ToolTips())
        if (tip.owner == hwndJelly) return tip.tools;
    return -1;
}

class JellyWindow : public ::testing::Test
{
  protected:
    void Open(sim::LocalTime start = {2026, 12, 8, 12, 0, 0}, const std::string &jellyFile = "")
    {
        program_.reset(); // one simulated desktop at a time
        program_ = std::make_unique<Program>(start);
        if (!jellyFile.empty()) program_->WriteProgramFile("Jelly.INI", jellyFile);
    }
    Program &program() { return *program_; }
    sim::Desktop &desktop() { return program_->desktop(); }

    // What the user does: the tray icon's menu, "ジェリィちゃん(&J)...".
    void ChooseJellyfish()
    {
        desktop().RightClickTray();
        desktop().ChooseMenu(IDM_JELLY);
    }
    void AnswerHint()
    {
        ASSERT_EQ(1u, desktop().OpenMessageBoxes().size());
        ASSERT_EQ(FirstRunHint, desktop().OpenMessageBoxes().back().text);
        desktop().AnswerMessageBox(IDOK);
    }
    bool Shown() const { return program_->desktop().Window(hwndJelly)->visible; }
    std::optional<std::string> JellyFile() const { return program_->ReadProgramFile("Jelly.INI"); }
    // A point inside the square of a slot, as it is now.
    POINT At(int slot, int dx = 16, int dy = 16) const
    {
        return POINT{Jelly[slot].X + dx, Jelly[slot].Y + dy};
    }

  private:
    std::unique_ptr<Program> program_;
};

} // namespace

TEST_F(JellyWindow, TheFirstStartShowsTheBlackWindowAndTheHintThenTwoNewbornsSwim)
{
    Open();
    program().AddSounds("crickt", 2); // the insects play every 3 to 6 seconds by default
    program().Start();
    const sim::WindowInfo window = *desktop().Window(hwndJelly);
    EXPECT_EQ("ZelmoJelly", window.className);
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP), window.style);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TOPMOST), window.exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), window.classStyle);
    EXPECT_EQ(program().MainWindow(), window.owner);
    EXPECT_EQ((RECT{0, 0, 1024, 768}).right, window.rect.right);
    EXPECT_EQ(768, window.rect.bottom);
    EXPECT_FALSE(window.visible);

    desktop().Advance(20 * 1000);
    desktop().ClearSounds();
    desktop().ClearDrawLog();
    ChooseJellyfish();
    EXPECT_EQ(1, ZelmoJelly) << "from the first step on";
    EXPECT_TRUE(Shown());
    auto boxes = desktop().OpenMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(FirstRunHint, boxes[0].text);
    EXPECT_EQ("ZelmoSound", boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].type);
    EXPECT_EQ(hwndJelly, boxes[0].owner);
    // Painted black all over, by the window itself (it has no class brush).
    bool black = false;
    for (const sim::DrawOp &op : desktop().DrawLog(hwndJelly))
        black |= op.kind == "fill" && op.what == "000000" && op.width == 1024 && op.height == 768;
    EXPECT_TRUE(black);

    // While the hint waits, neither the jellyfish nor the insects make a sound.
    desktop().Advance(10 * 1000);
    EXPECT_TRUE(desktop().Sounds().empty());
    EXPECT_EQ(0, Jelly[0].Age);
    AnswerHint();
    EXPECT_EQ(2, Living());
    desktop().Advance(3000);
    EXPECT_EQ(10, Jelly[0].Age) << "one tick every 300 ms";
    for (const sim::SoundRecord &sound : desktop().Sounds())
        EXPECT_EQ(0u, sound.name.rfind("j", 0)) << sound.name << ": only jellyfish sounds";
    EXPECT_GE(ToolCount(desktop()), 0) << "the jelly window's tool tip control";
}

TEST_F(JellyWindow, TheEndQuestionBeepsAsksWithNoAsDefaultAndOnlyYesStopsAndSaves)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(3, 2, 1000));
    program().AddSounds("crickt", 2);
    program().Start();
    desktop().Advance(10 * 1000);
    ChooseJellyfish();
    EXPECT_TRUE(desktop().OpenMessageBoxes().empty()) << "a jelly file: no hint";
    desktop().Advance(1500);
    const int age = Jelly[0].Age;

    desktop().RightClick(900, 700);
    ASSERT_FALSE(desktop().Beeps().empty());
    EXPECT_EQ(900u, desktop().Beeps().back().frequency);
    EXPECT_EQ(100u, desktop().Beeps().back().duration);
    auto boxes = desktop().OpenMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("終了します。", boxes[0].text);
    EXPECT_EQ("ZelmoSound", boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION), boxes[0].type);
    EXPECT_GE(boxes[0].opened, desktop().Beeps().back().time) << "the beep comes first";
    // The jellyfish go on behind the question.
    desktop().Advance(900);
    EXPECT_EQ(age + 3, Jelly[0].Age);
    desktop().AnswerMessageBox(IDNO);
    EXPECT_EQ(1, ZelmoJelly);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(JellyFileOf(3, 2, 1000), JellyFile()) << "No writes nothing";
    desktop().Advance(600);
    EXPECT_EQ(age + 5, Jelly[0].Age);

    desktop().RightClick(900, 700);
    desktop().AnswerMessageBox(IDYES);
    EXPECT_EQ(0, ZelmoJelly);
    EXPECT_FALSE(Shown());
    std::string saved = JellyFile().value_or("");
    EXPECT_EQ(70, std::count(saved.begin(), saved.end(), '\n'));
    EXPECT_EQ(70, CrLfCount(saved)) << "every line ends in CR LF";
    char line[32];
    std::snprintf(line, sizeof line, "JELLY01_AGE__=%05d\r\n", age + 5);
    EXPECT_NE(std::string::npos, saved.find(line));
    const int saved0X = Jelly[0].X;
    desktop().Advance(3000);
    EXPECT_EQ(age + 5, Jelly[0].Age) << "the timer stopped";
    // The insects play again.
    desktop().ClearSounds();
    desktop().Advance(10 * 1000);
    EXPECT_FALSE(desktop().Sounds().empty());

    // Again from the tray: no hint, the same population, read back from the file.
    ChooseJellyfish();
    EXPECT_TRUE(desktop().OpenMessageBoxes().empty());
    EXPECT_EQ(1, ZelmoJelly);
    EXPECT_EQ(saved0X, Jelly[0].X);
    EXPECT_EQ(3, Living());
    desktop().RightClick(900, 700);
    desktop().AnswerMessageBox(IDYES);
    EXPECT_FALSE(Shown());
}

// Choosing them again while they run, or while their first-run hint is open, leaves them as
// they are: nothing since the last save is lost, and nothing is read, placed or started anew.
TEST_F(JellyWindow, AStartWhileTheyRunOrTheirHintIsOpenLeavesThemAsTheyAre)
{
    Open();
    program().Start();
    const int timers = desktop().ActiveTimers();
    ChooseJellyfish();
    ChooseJellyfish();
    ASSERT_EQ(1u, desktop().OpenMessageBoxes().size()) << "one hint";
    AnswerHint();
    EXPECT_EQ(2, Living());
    EXPECT_EQ(timers + 1, desktop().ActiveTimers()) << "one jelly timer";
    desktop().Advance(30 * 1000);
    ASSERT_EQ(100, Jelly[0].Age);
    const JellyRecord hidden = Jelly[10];
    ChooseJellyfish();
    EXPECT_TRUE(desktop().OpenMessageBoxes().empty());
    EXPECT_EQ(100, Jelly[0].Age);
    EXPECT_EQ(hidden.X, Jelly[10].X);
    EXPECT_EQ(hidden.Y, Jelly[10].Y);
    EXPECT_FALSE(JellyFile()) << "nothing saved or read";
    desktop().Advance(300);
    EXPECT_EQ(101, Jelly[0].Age) << "one timer, as it was";
}

TEST_F(JellyWindow, ThePointerIsACrossOverAHiddenCharactersSquareOnlyAndIsSetOncePerChange)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(3, 2, 1000));
    program().Start();
    ChooseJellyfish();
    std::vector<std::string> shapes;
    desktop().Subscribe([&](const sim::Event &event) {
        if (event.kind == "pointer") shapes.push_back(event.fields[0].second);
    });
    auto inHidden = [](int x, int y) {
        for (int s = 10; s < 15; ++s)
            if (Jelly[s].X <= x && x <= Jelly[s].X + 32 && Jelly[s].Y <= y && y <= Jelly[s].Y + 32)
                return true;
        return false;
    };
    POINT ordinary = At(0);
    ASSERT_FALSE(inHidden(ordinary.x, ordinary.y));
    desktop().MovePointer(ordinary.x, ordinary.y);
    EXPECT_NE("cross", desktop().PointerShape()) << "ordinary jellyfish leave the arrow";

    // A hidden character waits unseen: only the pointer tells where. Its far corner counts.
    ASSERT_NE(Reveal, Jelly[10].Action);
    desktop().MovePointer(Jelly[10].X + 32, Jelly[10].Y + 32);
    EXPECT_EQ("cross", desktop().PointerShape());
    desktop().MovePointer(Jelly[10].X + 10, Jelly[10].Y + 20);
    desktop().MovePointer(Jelly[10].X, Jelly[10].Y);
    EXPECT_EQ(std::vector<std::string>{"\"cross\""}, shapes) << "moves within the square";
    POINT outside{Jelly[10].X + 33, Jelly[10].Y + 16};
    ASSERT_FALSE(inHidden(outside.x, outside.y));
    desktop().MovePointer(outside.x, outside.y);
    EXPECT_EQ("arrow", desktop().PointerShape());
    EXPECT_EQ((std::vector<std::string>{"\"cross\"", "\"arrow\""}), shapes);
}

TEST_F(JellyWindow, AClickMarksEveryLivingSquareUnderItFarCornerIncludedAndADoubleClickOnlyOnce)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyLines(1, 1, 2, 0, 1000, 100, 200, 0) +
                                      JellyLines(2, 1, 2, 0, 1000, 110, 210, 0) +
                                      JellyLines(3, 1, 2, 0, 1000, 400, 200, 0));
    program().Start();
    ChooseJellyfish();
    // One pixel beyond the third one's square.
    desktop().LeftClick(433, 233);
    EXPECT_EQ(0, Jelly[2].Clicked);
    // X + 32, Y + 32 of the first, one pixel beyond its picture, lies in both squares.
    desktop().LeftClick(132, 232);
    EXPECT_EQ(1, Jelly[0].Clicked);
    EXPECT_EQ(1, Jelly[1].Clicked);
    EXPECT_EQ(0, Jelly[2].Clicked);
    desktop().Advance(300);
    EXPECT_EQ(0, Jelly[0].Clicked) << "the decision took the click";
    EXPECT_EQ(1, Jelly[0].ClickCount);

    // The second press of a double click goes to the default handling: one click counted.
    POINT p = At(0);
    auto before = desktop().Dispatched(hwndJelly);
    desktop().DoubleClick(p.x, p.y);
    auto after = desktop().Dispatched(hwndJelly);
    EXPECT_EQ(before[WM_LBUTTONDOWN] + 1, after[WM_LBUTTONDOWN]);
    EXPECT_EQ(before[WM_LBUTTONDBLCLK] + 1, after[WM_LBUTTONDBLCLK]);
    EXPECT_EQ(1, Jelly[0].Clicked);
}

TEST_F(JellyWindow, ToolsSitInsideTheSquaresAndTheirTextsComeFromTheGroupOfThePopulation)
{
    // Nine alive: the grown-ups chatter, the one of age 699 still babbles.
    std::string nine =
        JellyLines(1, 1, 2, 0, 700, 100, 200, 0) + JellyLines(2, 1, 1, 0, 699, 200, 200, 0);
    for (int n = 3; n <= 9; ++n)
        nine += JellyLines(n, 1, 2, 0, 5000 - n, 60 * n, 400, 0);
    nine += FreeJellyLines(10);
    Open({2026, 12, 8, 12, 0, 0}, nine);
    program().Start();
    ChooseJellyfish();
    const TOOLINFOA &tool = Jelly[0].ToolInfo;
    EXPECT_EQ(static_cast<UINT>(TTTOOLINFOA_V1_SIZE), tool.cbSize);
    EXPECT_EQ(static_cast<UINT>(TTF_CENTERTIP), tool.uFlags);
    EXPECT_EQ(hwndJelly, tool.hwnd);
    EXPECT_EQ(0u, tool.uId);
    EXPECT_EQ(104, tool.rect.left);
    EXPECT_EQ(204, tool.rect.top);
    EXPECT_EQ(124, tool.rect.right);
    EXPECT_EQ(224, tool.rect.bottom);
    EXPECT_EQ(nullptr, tool.hinst);
    EXPECT_EQ('g', GroupOf(Jelly[0].ToolInfo.lpszText));
    EXPECT_EQ('y', GroupOf(Jelly[1].ToolInfo.lpszText));
    for (int s = 2; s < 9; ++s)
        EXPECT_EQ('g', GroupOf(Jelly[s].ToolInfo.lpszText)) << s;
    int tools = 0;
    for (int s = 0; s < 10; ++s)
        tools += Jelly[s].ToolAdded;
    EXPECT_EQ(tools, ToolCount(desktop()));
    desktop().RightClick(900, 700);
    desktop().AnswerMessageBox(IDYES);

    // All ten: praise and joy, whatever their age.
    program().WriteProgramFile("Jelly.INI", JellyFileOf(10, 1, 100));
    ChooseJellyfish();
    ASSERT_EQ(1, IsAll);
    for (int s = 0; s < 10; ++s)
        EXPECT_EQ('a', GroupOf(Jelly[s].ToolInfo.lpszText)) << s;
}

TEST_F(JellyWindow, AJellyfishThatDidNotMoveKeepsItsToolAndDrawsNoRandomNumber)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(4, 2, 1000));
    program().Start();
    ChooseJellyfish();
    const char *texts[10];
    int added[10];
    for (int s = 0; s < 10; ++s) {
        texts[s] = Jelly[s].ToolInfo.lpszText;
        added[s] = Jelly[s].ToolAdded;
    }
    int drawn = 0, expected = 0;
    desktop().Input(program().process(), [&] {
        Prng::srand(77);
        JellySetToolTip(hwndJelly);
        drawn = Prng::rand();
        Prng::srand(77);
        expected = Prng::rand();
    });
    EXPECT_EQ(expected, drawn);
    for (int s = 0; s < 10; ++s) {
        EXPECT_EQ(texts[s], Jelly[s].ToolInfo.lpszText) << s;
        EXPECT_EQ(added[s], Jelly[s].ToolAdded) << s;
    }
}

// The pointer rested on the tool of one of six grown-ups, followed as the tools move, until a
// tip shows; the slot of the one that speaks, or -1.
int WaitUntilOneSpeaks(sim::Desktop &desktop)
{
    int slot = -1;
    for (int step = 0; step < 200 && !desktop.ShownToolTip(); ++step) {
        if (slot == -1 || Jelly[slot].ToolAdded == 0 || Jelly[slot].X != Jelly[slot].TipX) {
            slot = -1;
            for (int s = 0; s < 6 && slot == -1; ++s)
                if (Jelly[s].ToolAdded == 1) slot = s;
            if (slot != -1) {
                RECT r = Jelly[slot].ToolInfo.rect;
                desktop.MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            }
        }
        desktop.Advance(100);
    }
    return desktop.ShownToolTip() ? slot : -1;
}

TEST_F(JellyWindow, RestingThePointerOnAJellyfishWithAToolLetsItSpeak)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(6, 3, 2000));
    program().Start();
    ChooseJellyfish();
    int slot = WaitUntilOneSpeaks(desktop());
    std::optional<sim::ToolTipInfo> shown = desktop().ShownToolTip();
    ASSERT_TRUE(shown) << "no jellyfish spoke in 20 seconds";
    EXPECT_NE('?', GroupOf(shown->text.c_str()));
    EXPECT_EQ('g', GroupOf(shown->text.c_str()));
    // Centred below the tool.
    const RECT &tool = Jelly[slot].ToolInfo.rect;
    EXPECT_GE(shown->rect.top, tool.bottom);
    // A press of the right button sends it away before the question comes.
    POINT p = desktop().CursorPos();
    desktop().RightClick(p.x, p.y);
    EXPECT_FALSE(desktop().ShownToolTip());
    desktop().AnswerMessageBox(IDNO);
}

// The tip lies over the jellyfish's lower part, below its tool. A click there moves the pointer
// onto the tip, which goes, and the press reaches the jelly window: the click counts.
TEST_F(JellyWindow, AClickOnAJellyfishWhereItsTipShowsCounts)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(6, 3, 2000));
    program().Start();
    ChooseJellyfish();
    int slot = WaitUntilOneSpeaks(desktop());
    ASSERT_NE(-1, slot) << "no jellyfish spoke in 20 seconds";
    RECT tip = desktop().ShownToolTip()->rect;
    POINT click{(tip.left + tip.right) / 2, tip.top + 3};
    ASSERT_LE(click.y, Jelly[slot].Y + JellySize) << "on the jellyfish's picture";
    desktop().LeftClick(click.x, click.y);
    EXPECT_FALSE(desktop().ShownToolTip());
    EXPECT_EQ(1, Jelly[slot].Clicked);
}

TEST_F(JellyWindow, WhenTheLastOneDiesTheMessageShowsTheFileKeepsTenFreeSlotsAndEveryToolGoes)
{
    // Type 3 lives 4200 ticks: it dies at the first tick and vanishes at the second.
    Open({2026, 12, 8, 12, 0, 0}, JellyLines(1, 1, 3, 0, 4200, 500, 400, 0));
    program().AddSounds("crickt", 2);
    program().Start();
    ChooseJellyfish();
    // Give it a tool for sure: the pointer rests on it while it dies.
    desktop().Advance(600);
    auto boxes = desktop().OpenMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(NobodyLeft, boxes[0].text);
    EXPECT_EQ("ZelmoJelly", boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), boxes[0].type);
    ASSERT_FALSE(desktop().Beeps().empty());
    EXPECT_EQ(900u, desktop().Beeps().back().frequency);
    EXPECT_LE(desktop().Beeps().back().time, boxes[0].opened);
    // The timer stopped first: nothing happens while the message waits.
    const auto dispatched = desktop().Dispatched(hwndJelly)[WM_TIMER];
    desktop().Advance(3000);
    EXPECT_EQ(dispatched, desktop().Dispatched(hwndJelly)[WM_TIMER]);
    EXPECT_EQ(1, ZelmoJelly);

    desktop().AnswerMessageBox(IDOK);
    EXPECT_EQ(JellyFileOf(0), JellyFile());
    EXPECT_FALSE(Shown());
    EXPECT_EQ(0, ZelmoJelly);
    EXPECT_EQ(0, ToolCount(desktop()));
    EXPECT_EQ(0, Jelly[0].ToolAdded);

    // The next start finds ten free slots: two newborns, and no hint.
    ChooseJellyfish();
    EXPECT_TRUE(desktop().OpenMessageBoxes().empty());
    EXPECT_EQ(2, Living());
}

TEST_F(JellyWindow, TheHourlyTimeSignalStillShowsWhileTheJellyfishRun)
{
    Open({2026, 12, 8, 12, 59, 40}, JellyFileOf(3, 2, 1000));
    program().WriteProgramFile("ZelmoSound.INI", "IDC_TSIGNAL=1\r\nIDCB_TSIGNAL=0\r\n");
    program().Start();
    ChooseJellyfish();
    desktop().AdvanceTo({2026, 12, 8, 13, 0, 1});
    EXPECT_TRUE(desktop().Window(hwndSignal)->visible);
    EXPECT_EQ(1, ZelmoJelly);
}

TEST_F(JellyWindow, AltF4OnTheJellyfishSavesThemAndEndsTheProgramWithoutLeavingTheTrayIcon)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(3, 2, 1000));
    program().Start();
    ChooseJellyfish();
    desktop().Advance(3000);
    ASSERT_EQ(hwndJelly, desktop().Foreground());
    desktop().PressAltF4();
    desktop().RunUntilIdle();
    EXPECT_EQ(std::optional<int>(0), program().ExitCode());
    EXPECT_FALSE(desktop().Tray()) << "no dead icon left in the notification area";
    std::string saved = JellyFile().value_or("");
    EXPECT_NE(std::string::npos, saved.find("JELLY01_AGE__=01010\r\n"));
}

TEST_F(JellyWindow, ACloseRequestBeforeAnyStartKeepsTheStoredPopulation)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(3, 2, 1000));
    program().Start();
    desktop().Post(hwndJelly, WM_CLOSE, 0, 0);
    desktop().RunUntilIdle();
    EXPECT_EQ(JellyFileOf(3, 2, 1000), JellyFile());
    EXPECT_EQ(std::optional<int>(0), program().ExitCode());
    EXPECT_FALSE(desktop().Tray());
}

TEST_F(JellyWindow, ExitFromTheTrayMenuWhileTheyRunSavesThem)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(3, 2, 1000));
    program().Start();
    ChooseJellyfish();
    desktop().Advance(3000);
    // The jelly window covers the screen, but the tray is above it.
    desktop().RightClickTray();
    desktop().ChooseMenu(IDM_QUIT);
    EXPECT_EQ(std::optional<int>(0), program().ExitCode());
    std::string saved = JellyFile().value_or("");
    EXPECT_NE(std::string::npos, saved.find("JELLY01_AGE__=01010\r\n")) << saved;
    EXPECT_FALSE(desktop().Tray());
}

// Windows ending the session ends the program without a close: the jellyfish that run are
// saved when the end is announced; stopped ones were saved by their stop and are not written.
TEST_F(JellyWindow, TheEndOfTheWindowsSessionSavesTheRunningJellyfish)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(3, 2, 1000));
    program().Start();
    ChooseJellyfish();
    desktop().Advance(3000);
    ASSERT_TRUE(desktop().EndSession());
    EXPECT_FALSE(program().Running());
    std::string saved = JellyFile().value_or("");
    EXPECT_NE(std::string::npos, saved.find("JELLY01_AGE__=01010\r\n")) << saved;

    Open({2026, 12, 8, 12, 0, 0}, JellyFileOf(3, 2, 1000));
    program().Start();
    ASSERT_TRUE(desktop().EndSession());
    EXPECT_EQ(JellyFileOf(3, 2, 1000), JellyFile());
}

// The nobody-left message waits in a loop of its own while the tray menu stays reachable: a
// start chosen meanwhile leaves the stop as it was, and no timer runs behind the hidden window.
TEST_F(JellyWindow, AStartWhileTheNobodyLeftMessageIsOpenLeavesThemStopped)
{
    Open({2026, 12, 8, 12, 0, 0}, JellyLines(1, 1, 3, 0, 4200, 500, 400, 0));
    program().AddSounds("crickt", 2);
    program().Start();
    ChooseJellyfish();
    desktop().Advance(600);
    ASSERT_EQ(1u, desktop().OpenMessageBoxes().size());
    ASSERT_EQ(NobodyLeft, desktop().OpenMessageBoxes()[0].text);
    ChooseJellyfish();
    desktop().AnswerMessageBox(IDOK);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(0, ZelmoJelly);
    EXPECT_EQ(JellyFileOf(0), JellyFile());
    const auto ticks = desktop().Dispatched(hwndJelly)[WM_TIMER];
    desktop().ClearSounds();
    desktop().Advance(10 * 1000);
    EXPECT_EQ(ticks, desktop().Dispatched(hwndJelly)[WM_TIMER]) << "no timer behind the window";
    ASSERT_FALSE(desktop().Sounds().empty());
    for (const sim::SoundRecord &sound : desktop().Sounds())
        EXPECT_EQ(0u, sound.name.rfind("crickt", 0)) << sound.name << ": only the insects";

    // Chosen now, they start again: two newborns.
    ChooseJellyfish();
    EXPECT_TRUE(Shown());
    EXPECT_EQ(2, Living());
}

// A jelly file saved on a larger screen: each position beyond this screen's range comes to the
// nearest one inside it, every other stays, and no random draw changes (the hidden characters
// land where they land with positions that were inside from the start).
TEST_F(JellyWindow, JellyfishSavedOnALargerScreenComeOntoThisOne)
{
    const std::string far = JellyLines(1, 1, 2, 0, 1000, 1500, 900, 0) +
                            JellyLines(2, 1, 2, 0, 1000, -40, 300, 0) +
                            JellyLines(3, 1, 2, 0, 1000, 100, 100, 0);
    const std::string near = JellyLines(1, 1, 2, 0, 1000, 992, 736, 0) +
                             JellyLines(2, 1, 2, 0, 1000, 0, 300, 0) +
                             JellyLines(3, 1, 2, 0, 1000, 100, 100, 0);
    std::vector<JellyRecord> starts[2];
    for (int run = 0; run < 2; ++run) {
        Open({2026, 12, 8, 12, 0, 0}, run == 0 ? near : far);
        program().Start();
        ChooseJellyfish();
        starts[run].assign(Jelly, Jelly + 15);
    }
    EXPECT_EQ(992, Jelly[0].X);
    EXPECT_EQ(736, Jelly[0].Y);
    EXPECT_EQ(0, Jelly[1].X);
    EXPECT_EQ(300, Jelly[1].Y);
    EXPECT_EQ(100, Jelly[2].X);
    for (int s = 10; s < 15; ++s) {
        EXPECT_EQ(starts[0][s].X, starts[1][s].X) << s;
        EXPECT_EQ(starts[0][s].Y, starts[1][s].Y) << s;
    }
    // Within reach of the pointer now: a click there marks it.
    desktop().LeftClick(1000, 750);
    EXPECT_EQ(1, Jelly[0].Clicked);
}
