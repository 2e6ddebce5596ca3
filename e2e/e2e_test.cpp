// End-to-end scenarios against the real ZelmoSound.exe under Wine on a virtual display.
#include "e2e/tray_user.h"

#include "resources/resource.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <ctime>
#include <fstream>
#include <iterator>
#include <tuple>

using namespace e2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

constexpr char AboutTitle[] = "About ZelmoSound";
const std::string IdmQuit = Id(IDM_QUIT);
const std::string IdmOtherSettings = Id(IDM_OTHERSETTINGS);
constexpr char SoundSettingsTitle[] = "ゼルモ音の設定";
constexpr char OtherSettingsTitle[] = "その他の音の設定";
const std::string IdcStartup = Id(IDC_STARTUP);
const std::string IdcOk = Id(IDC_OK);
const std::string IdcCancel = Id(IDC_CANCEL);
// The insects' group (sound files "crickt*.wav"), the birds' group ("bird*.wav") and the
// water's group, whose files the tests never add.
const std::string InsectsCheck = Id(IDC_SOUND01);
const std::string InsectsList = Id(IDCB_SOUND01);
const std::string BirdsCheck = Id(IDC_SOUND02);
const std::string BirdsList = Id(IDCB_SOUND02);
const std::string WaterCheck = Id(IDC_SOUND03);
const std::string SignalCheck = Id(IDC_TSIGNAL);
const std::string SignalList = Id(IDCB_TSIGNAL);

// The Startup button's question box and the shortcut it saves.
constexpr char StartupQuestion[] = "「スタートアップ」にショートカットを作成してよろしいですか？";
constexpr char IdYes[] = "6";
constexpr char IdNo[] = "7";
constexpr char ShortcutName[] = "ZelmoSoundへのｼｮｰﾄｶｯﾄ.lnk";
constexpr char Description[] = "ZelmoSoundへのｼｮｰﾄｶｯﾄ";

// The time-signal window, its show message (WM_USER + 8), and the row the character takes
// above the text in the signal's second kind.
constexpr char SignalClass[] = "ZelmoTimeSignal";
constexpr char WmZelmoSignal[] = "0x408";
constexpr int CharacterRow = 50;
// How far before a full hour the program's clock starts: time enough to start the program,
// which must be ticking when the hour comes.
constexpr int SecondsBeforeHour = 10;
// The chimes of both kinds.
constexpr const char *ChimeFiles[] = {"alarm99.wav",  "star1.wav",    "star2.wav",
                                      "tree1.wav",    "tree2.wav",    "bell.wav",
                                      "monster1.wav", "monster2.wav", "snowman.wav"};

// Where the mouse waits while pictures are compared: far from the tray, so no highlight or
// tooltip falls on what is looked at.
const std::vector<std::string> PointerAside{"mousemove", "1000", "740"};
// Where the mouse is when the time signal shows: it appears beside the cursor.
const std::vector<std::string> SignalPointer{"mousemove", "600", "450"};

void RemoveAll(const std::vector<fs::path> &files)
{
    std::error_code error;
    for (const fs::path &file : files)
        fs::remove(file, error);
}

// The settings file as the program writes it: 42 lines ending CR LF, each group's switch and
// interval class (groups numbered from 1; those not given are 0 and 0), then the time signal's.
std::string SettingsFile(const std::map<int, std::pair<int, int>> &groups, int signal, int kind)
{
    std::string text;
    for (int group = 1; group <= 20; ++group) {
        auto found = groups.find(group);
        std::pair<int, int> values = found == groups.end() ? std::pair{0, 0} : found->second;
        std::string number = (group < 10 ? "0" : "") + std::to_string(group);
        text += "IDC_SOUND" + number + "=" + std::to_string(values.first) + "\r\n";
        text += "IDCB_SOUND" + number + "=" + std::to_string(values.second) + "\r\n";
    }
    text += "IDC_TSIGNAL=" + std::to_string(signal) + "\r\n";
    text += "IDCB_TSIGNAL=" + std::to_string(kind) + "\r\n";
    return text;
}

class ZelmoE2E : public TrayUser
{
  protected:
    // The hidden time-signal window the program makes at its start: untitled, owned by the
    // main window.
    testing::AssertionResult FindSignalWindow(const Record &main, Record *signal)
    {
        DriverResult found = session.Driver({"wait", SignalClass, "-", "15000"});
        if (found.code != 0 || !found.First())
            return testing::AssertionFailure() << "no time-signal window\n"
                                               << session.ScreenState("signal window");
        *signal = *found.First();
        if (signal->get("title") != "" || signal->get("owner") != main.get("hwnd") ||
            signal->get("pid") != main.get("pid"))
            return testing::AssertionFailure()
                   << "the time-signal window is not the main window's untitled window: "
                   << found.output;
        return testing::AssertionSuccess();
    }

    // A settings file with the time signal on in the given kind, and the chimes.
    void PrepareSignalFolder(const ProgramFolder &folder, int kind)
    {
        std::ofstream(folder.Dir() / "ZelmoSound.INI", std::ios::binary)
            << "IDC_TSIGNAL=1\r\nIDCB_TSIGNAL=" << kind << "\r\n";
        for (const char *name : ChimeFiles)
            folder.Add(session.SoundDir() / name);
    }

    // The area's picture once something is drawn in it.
    std::optional<Pixels> WaitDrawn(const Rect &area)
    {
        std::optional<Pixels> drawn;
        PollUntil(
            [&] {
                drawn = session.Grab(area);
                return drawn && !drawn->Uniform();
            },
            5s);
        if (drawn && drawn->Uniform()) drawn.reset();
        return drawn;
    }

    // Shows the time signal of the kind with its message, keeps two pictures of the animation
    // (signal-kindN-1 and -2, the second once the frame has changed), and waits for it to hide.
    void ShowSignalByMessage(int kind, Rect *shownRect)
    {
        std::string name = "signal-kind" + std::to_string(kind);
        ProgramFolder folder(session.ProgramExe());
        PrepareSignalFolder(folder, kind);
        Program program(session, folder, name);
        Record main, signal;
        ASSERT_TRUE(WaitMainWindow(&main));
        ASSERT_TRUE(FindSignalWindow(main, &signal));
        EXPECT_EQ(signal.get("visible"), "0") << "the time signal showed at the start";
        ASSERT_TRUE(session.Xdotool(SignalPointer));
        ASSERT_EQ(session.Driver({"post", signal.get("hwnd"), WmZelmoSignal, "0", "0"}).code, 0);

        DriverResult shown = session.Driver({"visible", signal.get("hwnd"), "10000"}, 20s);
        ASSERT_EQ(shown.code, 0) << "the time signal did not show\n" << session.ScreenState(name);
        std::optional<Rect> rect = ParseRect(shown.First()->get("rect"));
        ASSERT_TRUE(rect) << shown.output;
        *shownRect = *rect;
        std::optional<Pixels> first = WaitDrawn(*rect);
        ASSERT_TRUE(first) << "the time signal was never drawn\n" << session.ScreenState(name);
        session.Screenshot(name + "-1");
        std::optional<Pixels> later;
        EXPECT_TRUE(session.WaitFor(
            "the time signal's next frame",
            [&] {
                later = session.Grab(*rect);
                return later && !later->Uniform() && *later != *first;
            },
            5s));
        session.Screenshot(name + "-2");
        EXPECT_EQ(session.Driver({"hidden", signal.get("hwnd"), "10000"}, 20s).code, 0)
            << "the time signal stayed\n"
            << session.ScreenState(name + " hidden");
    }

    // The tray icon's picture once it has settled, with the mouse away from it.
    std::optional<Pixels> IconPicture(const Rect &icon)
    {
        session.Xdotool(PointerAside);
        return session.WaitPainted(icon, 15s);
    }
};

// Resident and single: a hidden main window; a second start leaves at once; the quit command
// ends the program without writing a settings file.
TEST_F(ZelmoE2E, StaysResidentOnceAndQuitsWithoutWritingSettings)
{
    ProgramFolder folder(session.ProgramExe());
    Program first(session, folder, "resident-first");
    Record main;
    ASSERT_TRUE(WaitMainWindow(&main));
    EXPECT_EQ(main.get("visible"), "0") << "the main window must stay hidden";

    {
        Child second(
            ChildOptions{session.WineCommand(folder.Exe()), session.WineEnvironment(), folder.Dir(),
                         session.Artefacts() / "logs" / "resident-second.log", SIGKILL, -1});
        std::optional<int> code = second.WaitExit(30s);
        ASSERT_TRUE(code.has_value()) << "the second start kept running\n"
                                      << session.ScreenState("second start");
        EXPECT_EQ(*code, 0);
    }
    EXPECT_TRUE(first.Process().Running()) << "the first start ended with the second";
    DriverResult again = session.Driver({"find", MainClass, MainTitle});
    ASSERT_EQ(again.code, 0) << "the first start's window is gone\n"
                             << session.ScreenState("after second start");
    EXPECT_EQ(again.First()->get("hwnd"), main.get("hwnd"));

    ASSERT_EQ(session.Driver({"post", main.get("hwnd"), WmCommand, IdmQuit, "0"}).code, 0);
    std::optional<int> code = first.Process().WaitExit(30s);
    ASSERT_TRUE(code.has_value()) << "the quit command did not end the program\n"
                                  << session.ScreenState("quit command");
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(session.Driver({"find", MainClass, MainTitle}).code, 1);
    for (const std::string &name : folder.Files())
        EXPECT_NE(Lower(name), "zelmosound.ini") << "a settings file was written";
}

// The tray icon's menu: the About box, pausing and resuming (the icon's picture and the menu's
// pause item change), and quitting, after which the icon is gone.
TEST_F(ZelmoE2E, TrayMenuShowsAboutPausesResumesAndQuits)
{
    ProgramFolder folder(session.ProgramExe());
    Program program(session, folder, "tray-menu");
    Record main, icon, menu;
    ASSERT_TRUE(WaitMainWindow(&main));
    ASSERT_TRUE(WaitTrayIcon(&icon));
    std::optional<Rect> iconRect = ParseRect(icon.get("rect"));
    ASSERT_TRUE(iconRect) << icon.get("rect");
    std::optional<Pixels> running = IconPicture(*iconRect);
    ASSERT_TRUE(running) << "the tray icon was never drawn\n" << session.ScreenState("tray icon");

    // About box, chosen with its accelerator, closed with Enter.
    ASSERT_TRUE(OpenMenu(*iconRect, &menu));
    EXPECT_EQ(menu.get("pid"), main.get("pid")) << "the menu belongs to another process";
    std::optional<Rect> menuRect = ParseRect(menu.get("rect"));
    ASSERT_TRUE(menuRect);
    std::optional<Pixels> pauseMenu = session.WaitPainted(*menuRect, 15s);
    ASSERT_TRUE(pauseMenu) << "the menu was never drawn\n" << session.ScreenState("menu");
    session.Screenshot("menu");
    ASSERT_TRUE(Choose(menu, "a"));

    DriverResult about = session.Driver({"wait", DialogClass, AboutTitle, "15000"});
    ASSERT_EQ(about.code, 0) << "no About box\n" << session.ScreenState("about");
    Record box = *about.First();
    EXPECT_EQ(box.get("visible"), "1");
    EXPECT_EQ(box.get("pid"), main.get("pid"));
    std::vector<Record> controls = session.Driver({"controls", box.get("hwnd")}).records;
    auto has = [&](auto predicate) {
        return std::any_of(controls.begin(), controls.end(), predicate);
    };
    EXPECT_TRUE(has([](const Record &c) {
        return c.get("id") == "703" && Lower(c.get("class")) == "static" && c.get("image") == "1";
    })) << "no icon control 703";
    EXPECT_TRUE(has([](const Record &c) { return c.get("text") == "ZelmoSound"; }));
    EXPECT_TRUE(has([](const Record &c) { return c.get("text") == "Version 1.00"; }));
    EXPECT_TRUE(has([](const Record &c) {
        return c.get("id") == IdcOk && Lower(c.get("class")) == "button" && c.get("text") == "OK";
    })) << "no OK button 452";
    std::optional<Rect> boxRect = ParseRect(box.get("rect"));
    ASSERT_TRUE(boxRect);
    EXPECT_TRUE(session.WaitPainted(*boxRect, 15s)) << "the About box was never drawn";
    session.Screenshot("about");
    ASSERT_TRUE(session.Xdotool({"windowfocus", box.get("xid"), "key", "Return"}));
    ASSERT_EQ(session.Driver({"gone", box.get("hwnd"), "15000"}).code, 0)
        << "Enter did not close the About box\n"
        << session.ScreenState("about close");

    // Pause: the icon changes.
    ASSERT_TRUE(OpenMenu(*iconRect, &menu));
    ASSERT_TRUE(Choose(menu, "i"));
    std::optional<Pixels> paused;
    session.Xdotool(PointerAside);
    ASSERT_TRUE(session.WaitFor(
        "the paused tray icon",
        [&] {
            paused = session.WaitPainted(*iconRect, 5s);
            return paused && *paused != *running;
        },
        30s));

    // The menu now offers to resume (accelerator "n"), which brings the first icon back.
    ASSERT_TRUE(OpenMenu(*iconRect, &menu));
    menuRect = ParseRect(menu.get("rect"));
    ASSERT_TRUE(menuRect);
    std::optional<Pixels> resumeMenu = session.WaitPainted(*menuRect, 15s);
    ASSERT_TRUE(resumeMenu) << "the menu was never drawn\n" << session.ScreenState("menu paused");
    session.Screenshot("menu-paused");
    EXPECT_NE(resumeMenu->rgb, pauseMenu->rgb) << "the paused program's menu looks the same";
    ASSERT_TRUE(Choose(menu, "n"));
    session.Xdotool(PointerAside);
    EXPECT_TRUE(session.WaitFor(
        "the tray icon as it was before the pause",
        [&] {
            std::optional<Pixels> now = session.WaitPainted(*iconRect, 5s);
            return now && *now == *running;
        },
        30s));

    // Quit: the program ends with 0 and takes its icon away.
    ASSERT_TRUE(OpenMenu(*iconRect, &menu));
    ASSERT_TRUE(Choose(menu, "x"));
    std::optional<int> code = program.Process().WaitExit(30s);
    ASSERT_TRUE(code.has_value()) << "the quit item did not end the program\n"
                                  << session.ScreenState("quit item");
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(session.Driver({"gone", icon.get("hwnd"), "15000"}).code, 0)
        << "the tray icon stayed\n"
        << session.ScreenState("tray icon gone");
}

// Both sound settings dialogs, opened from the tray menu: the first offers only the groups
// that have sound files; Cancel drops the changes, ＯＫ writes every setting to the settings
// file beside the program, and the second dialog's ＯＫ keeps what the first one wrote.
TEST_F(ZelmoE2E, SoundSettingsKeepChangesOnlyOnOk)
{
    ProgramFolder folder(session.ProgramExe());
    for (const char *prefix : {"crickt", "bird"})
        for (int n = 0; n < 4; ++n)
            folder.Add(session.SoundDir() /
                       (prefix + std::string("0") + std::to_string(n) + ".wav"));
    Program program(session, folder, "settings");
    Record main, icon, dialog;
    ASSERT_TRUE(WaitMainWindow(&main));
    ASSERT_TRUE(WaitTrayIcon(&icon));
    std::optional<Rect> iconRect = ParseRect(icon.get("rect"));
    ASSERT_TRUE(iconRect) << icon.get("rect");

    ASSERT_TRUE(OpenFromTray(*iconRect, "s", SoundSettingsTitle, &dialog));
    EXPECT_EQ(dialog.get("pid"), main.get("pid"));
    std::vector<Record> controls = session.Driver({"controls", dialog.get("hwnd")}).records;
    std::optional<Record> insects = Control(controls, InsectsCheck);
    std::optional<Record> interval = Control(controls, InsectsList);
    std::optional<Record> birds = Control(controls, BirdsCheck);
    std::optional<Record> water = Control(controls, WaterCheck);
    ASSERT_TRUE(insects && interval && birds && water) << "controls 301, 361, 302, 303 expected";
    EXPECT_EQ(insects->get("enabled"), "1");
    EXPECT_EQ(insects->get("checked"), "1") << "the insects play from the first start";
    std::vector<std::string> labels = Items(controls, InsectsList);
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(labels.front(), "　３秒～　６秒間隔で再生する");
    EXPECT_EQ(labels.back(), "３０分～６０分間隔で再生する");
    EXPECT_EQ(birds->get("enabled"), "1");
    EXPECT_EQ(birds->get("checked"), "0") << "only the insects play from the first start";
    EXPECT_EQ(water->get("enabled"), "0") << "a group without sound files must be disabled";
    std::string before = interval->get("cursel");
    std::string chosen = before == "3" ? "4" : "3";

    // Cancel: nothing is kept or written.
    ASSERT_EQ(session.Driver({"select", dialog.get("hwnd"), InsectsList, chosen}).code, 0);
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcCancel}).code, 0);
    ASSERT_EQ(session.Driver({"gone", dialog.get("hwnd"), "15000"}).code, 0)
        << "Cancel did not close the dialog\n"
        << session.ScreenState("settings cancel");
    ASSERT_TRUE(OpenFromTray(*iconRect, "s", SoundSettingsTitle, &dialog));
    controls = session.Driver({"controls", dialog.get("hwnd")}).records;
    ASSERT_TRUE(Control(controls, InsectsList));
    EXPECT_EQ(Control(controls, InsectsList)->get("cursel"), before);
    for (const std::string &name : folder.Files())
        EXPECT_NE(Lower(name), "zelmosound.ini") << "Cancel wrote a settings file";

    // ＯＫ: the insects switched off with another interval, the birds switched on with theirs.
    const std::string birdClass = "5";
    ASSERT_EQ(session.Driver({"select", dialog.get("hwnd"), InsectsList, chosen}).code, 0);
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), InsectsCheck}).code, 0);
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), BirdsCheck}).code, 0);
    ASSERT_EQ(session.Driver({"select", dialog.get("hwnd"), BirdsList, birdClass}).code, 0);
    ASSERT_TRUE(WaitControls(dialog, "the insects off and the birds on",
                             {{InsectsCheck, "checked", "0"},
                              {BirdsCheck, "checked", "1"},
                              {BirdsList, "cursel", birdClass}}));
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcOk}).code, 0);
    ASSERT_EQ(session.Driver({"gone", dialog.get("hwnd"), "15000"}).code, 0)
        << "ＯＫ did not close the dialog\n"
        << session.ScreenState("settings ok");
    std::map<int, std::pair<int, int>> groups{{1, {0, std::stoi(chosen)}},
                                              {2, {1, std::stoi(birdClass)}}};
    EXPECT_EQ(ReadText(folder.Dir() / "ZelmoSound.INI"), SettingsFile(groups, 0, 0));

    // The second dialog: the time signal on, in its form with a character.
    ASSERT_TRUE(OpenFromTray(*iconRect, "e", OtherSettingsTitle, &dialog));
    controls = session.Driver({"controls", dialog.get("hwnd")}).records;
    std::optional<Record> signal = Control(controls, SignalCheck);
    ASSERT_TRUE(signal && Control(controls, SignalList))
        << "the time signal's check box and list expected";
    EXPECT_EQ(signal->get("checked"), "0") << "the time signal is off until switched on";
    EXPECT_EQ(Items(controls, SignalList),
              (std::vector<std::string>{"音と文字で知らせる", "音と文字とキャラクタで知らせる"}));
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), SignalCheck}).code, 0);
    ASSERT_EQ(session.Driver({"select", dialog.get("hwnd"), SignalList, "1"}).code, 0);
    ASSERT_TRUE(WaitControls(dialog, "the time signal on with kind 1",
                             {{SignalCheck, "checked", "1"}, {SignalList, "cursel", "1"}}));
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcOk}).code, 0);
    ASSERT_EQ(session.Driver({"gone", dialog.get("hwnd"), "15000"}).code, 0)
        << "ＯＫ did not close the second dialog\n"
        << session.ScreenState("other settings ok");
    EXPECT_EQ(ReadText(folder.Dir() / "ZelmoSound.INI"), SettingsFile(groups, 1, 1));
}

// The Startup button asks first: "no" makes nothing, "yes" saves a shortcut to the program,
// working in the program folder, into the Startup folder, and the dialog stays open.
TEST_F(ZelmoE2E, StartupButtonAsksThenSavesShortcut)
{
    fs::path users = session.Prefix() / "drive_c" / "users";
    // The prefix is kept between runs: a shortcut left by an earlier run must not count.
    RemoveAll(FindFilesNamed(users, ShortcutName));
    struct Cleanup {
        fs::path users;
        ~Cleanup() { RemoveAll(FindFilesNamed(users, ShortcutName)); }
    } cleanup{users};

    ProgramFolder folder(session.ProgramExe());
    Program program(session, folder, "startup");
    Record main, dialog, box;
    ASSERT_TRUE(WaitMainWindow(&main));
    ASSERT_EQ(session.Driver({"post", main.get("hwnd"), WmCommand, IdmOtherSettings, "0"}).code, 0);
    ASSERT_TRUE(WaitDialog(OtherSettingsTitle, &dialog));

    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcStartup}).code, 0);
    ASSERT_TRUE(WaitMessageBox(dialog, "startup question", &box));
    EXPECT_EQ(box.get("pid"), main.get("pid"));
    std::vector<Record> controls = session.Driver({"controls", box.get("hwnd")}).records;
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(), [](const Record &c) {
        return Lower(c.get("class")) == "static" && c.get("text") == StartupQuestion;
    })) << "the question's text is missing";
    ASSERT_TRUE(Control(controls, IdYes) && Control(controls, IdNo)) << "no Yes and No buttons";
    session.Screenshot("startup-question");
    ASSERT_EQ(session.Driver({"click", box.get("hwnd"), IdNo}).code, 0);
    ASSERT_EQ(session.Driver({"gone", box.get("hwnd"), "15000"}).code, 0)
        << "No did not close the question\n"
        << session.ScreenState("startup no");

    // The dialog handles the second press only after the first one's answer has been acted on.
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcStartup}).code, 0);
    ASSERT_TRUE(WaitMessageBox(dialog, "startup question", &box));
    EXPECT_TRUE(FindFilesNamed(users, ShortcutName).empty()) << "No saved a shortcut";
    ASSERT_EQ(session.Driver({"click", box.get("hwnd"), IdYes}).code, 0);
    ASSERT_EQ(session.Driver({"gone", box.get("hwnd"), "15000"}).code, 0)
        << "Yes did not close the question\n"
        << session.ScreenState("startup yes");

    // The shortcut is complete once its bytes parse.
    std::vector<fs::path> found;
    std::optional<ShellLink> link;
    std::string error = "no shortcut file";
    ASSERT_TRUE(session.WaitFor(
        "the shortcut " + std::string(ShortcutName) + " under " + users.string(),
        [&] {
            found = FindFilesNamed(users, ShortcutName);
            if (found.size() == 1) link = ParseShellLink(ReadText(found.front()), &error);
            return link.has_value();
        },
        15s))
        << error;
    // Wine spells the folder "StartUp".
    EXPECT_EQ(Lower(found.front().parent_path().filename()), "startup");
    EXPECT_EQ(Lower(found.front().parent_path().parent_path().filename()), "programs");
    EXPECT_EQ(Lower(link->localBasePath), Lower(WindowsPath(folder.Exe())));
    EXPECT_EQ(Lower(link->workingDir), Lower(WindowsPath(folder.Dir()) + "\\"));
    EXPECT_EQ(link->description, Description);
    EXPECT_EQ(link->arguments, "");

    DriverResult still = session.Driver({"find", DialogClass, OtherSettingsTitle});
    ASSERT_EQ(still.code, 0) << "the dialog closed with the question\n"
                             << session.ScreenState("startup dialog");
    EXPECT_EQ(still.First()->get("hwnd"), dialog.get("hwnd"));
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcCancel}).code, 0);
    ASSERT_EQ(session.Driver({"gone", dialog.get("hwnd"), "15000"}).code, 0)
        << "Cancel did not close the dialog\n"
        << session.ScreenState("startup cancel");
    for (const std::string &name : folder.Files())
        EXPECT_NE(Lower(name), "zelmosound.ini") << "the Startup button wrote a settings file";
}

// The time-signal window shows on its message in both kinds, animates, and hides again by
// itself; the kind with a character is taller by the character's row.
TEST_F(ZelmoE2E, TimeSignalShowsOnItsMessageInBothKinds)
{
    Rect plain, character;
    ASSERT_NO_FATAL_FAILURE(ShowSignalByMessage(0, &plain));
    ASSERT_NO_FATAL_FAILURE(ShowSignalByMessage(1, &character));
    EXPECT_EQ(character.Width(), plain.Width());
    EXPECT_EQ(character.Height(), plain.Height() + CharacterRow);
}

// At a full hour of the program's local time the time signal shows by itself. The program's
// time zone (TZ, which Wine takes local time from, seconds included) puts it a few seconds
// before a full hour, so the system clock stays as it is.
TEST_F(ZelmoE2E, TimeSignalShowsByItselfAtTheFullHour)
{
    ProgramFolder folder(session.ProgramExe());
    PrepareSignalFolder(folder, 0);
    std::string zone = TimeZoneBeforeFullHour(std::time(nullptr), SecondsBeforeHour);
    Program program(session, folder, "signal-hour", {{"TZ", zone}});
    Record main, signal;
    ASSERT_TRUE(WaitMainWindow(&main));
    ASSERT_TRUE(FindSignalWindow(main, &signal));
    EXPECT_EQ(signal.get("visible"), "0")
        << "the signal showed before the hour (TZ=" << zone << ")";
    session.Xdotool(SignalPointer);

    DriverResult shown = session.Driver({"visible", signal.get("hwnd"), "30000"}, 45s);
    ASSERT_EQ(shown.code, 0) << "no time signal at the full hour (TZ=" << zone << ")\n"
                             << session.ScreenState("signal hour");
    std::optional<Rect> rect = ParseRect(shown.First()->get("rect"));
    ASSERT_TRUE(rect);
    ASSERT_TRUE(WaitDrawn(*rect)) << session.ScreenState("signal hour drawn");
    session.Screenshot("signal-hour");
    EXPECT_EQ(session.Driver({"hidden", signal.get("hwnd"), "10000"}, 20s).code, 0)
        << "the time signal stayed\n"
        << session.ScreenState("signal hour hidden");
}

} // namespace
