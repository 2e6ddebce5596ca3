// End-to-end scenarios against the real ZelmoSound.exe under Wine on a virtual display.
#include "harness.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <fstream>
#include <iterator>

using namespace e2e;
using namespace std::chrono_literals;

namespace
{

constexpr char MainClass[] = "ZelmoSound";
constexpr char MainTitle[] = "Zelmo Sound version1.00";
constexpr char MenuClass[] = "#32768";
constexpr char DialogClass[] = "#32770";
constexpr char AboutTitle[] = "About ZelmoSound";
constexpr char WmCommand[] = "0x111";
constexpr char IdmQuit[] = "210";
constexpr char IdmSoundSettings[] = "201";
constexpr char SoundSettingsTitle[] = "ゼルモ音の設定";
constexpr char IdcOk[] = "452";
constexpr char IdcCancel[] = "453";
// The insects' group, whose sound files start with "crickt", and the birds' group.
constexpr char InsectsCheck[] = "301";
constexpr char InsectsList[] = "361";
constexpr char BirdsCheck[] = "302";

// Where the mouse waits while pictures are compared: far from the tray, so no highlight or
// tooltip falls on what is looked at.
const std::vector<std::string> PointerAside{"mousemove", "1000", "740"};

std::optional<Record> Control(const std::vector<Record> &records, const std::string &id)
{
    for (const Record &record : records)
        if (record.kind == "control" && record.get("id") == id) return record;
    return std::nullopt;
}

std::vector<std::string> Items(const std::vector<Record> &records, const std::string &id)
{
    std::vector<std::string> items;
    for (const Record &record : records)
        if (record.kind == "item" && record.get("id") == id) items.push_back(record.get("text"));
    return items;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ReadText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ZelmoE2E : public testing::Test
{
  protected:
    static void SetUpTestSuite() { Session::Get().Start(); }
    static void TearDownTestSuite() { Session::Get().Stop(); }

    void SetUp() override
    {
        if (!session.SkipReason().empty()) GTEST_SKIP() << session.SkipReason();
        ASSERT_TRUE(session.Failure().empty()) << session.Failure();
    }

    // The hidden main window, once the program has made it.
    testing::AssertionResult WaitMainWindow(Record *window)
    {
        DriverResult found = session.Driver({"wait", MainClass, MainTitle, "30000"}, 45s);
        if (found.code != 0 || !found.First())
            return testing::AssertionFailure() << "the main window did not appear\n"
                                               << session.ScreenState("main window");
        *window = *found.First();
        return testing::AssertionSuccess();
    }

    testing::AssertionResult WaitTrayIcon(Record *icon)
    {
        return session.WaitFor(
            "the tray icon",
            [&] {
                std::optional<Record> found = session.Driver({"tray"}).First("icon");
                if (found) *icon = *found;
                return found.has_value();
            },
            30s);
    }

    // Right-clicks the icon and waits for the popup menu.
    testing::AssertionResult OpenMenu(const Rect &icon, Record *menu)
    {
        if (!session.Xdotool({"mousemove", std::to_string(icon.CentreX()),
                              std::to_string(icon.CentreY()), "click", "3"}))
            return testing::AssertionFailure() << "xdotool could not right-click the tray icon";
        return session.WaitFor(
            "the tray menu",
            [&] {
                std::vector<Record> menus = session.VisibleWindows(MenuClass);
                if (!menus.empty() && menus.front().get("xid") != "0x0") *menu = menus.front();
                return !menus.empty() && menus.front().get("xid") != "0x0";
            },
            15s);
    }

    // Presses the item's accelerator key in the menu's window and waits for the menu to close.
    testing::AssertionResult Choose(const Record &menu, const std::string &key)
    {
        if (!session.Xdotool({"windowfocus", menu.get("xid"), "key", key}))
            return testing::AssertionFailure() << "xdotool could not press " << key;
        return session.WaitFor(
            "the tray menu to close after " + key,
            [&] { return session.VisibleWindows(MenuClass).empty(); }, 15s);
    }

    // Opens the first sound settings dialog with the tray menu's command.
    testing::AssertionResult OpenSoundSettings(const Record &main, Record *dialog)
    {
        if (session.Driver({"post", main.get("hwnd"), WmCommand, IdmSoundSettings, "0"}).code != 0)
            return testing::AssertionFailure() << "could not post the settings command";
        DriverResult found = session.Driver({"wait", DialogClass, SoundSettingsTitle, "15000"});
        if (found.code != 0 || !found.First())
            return testing::AssertionFailure() << "no sound settings dialog\n"
                                               << session.ScreenState("sound settings");
        *dialog = *found.First();
        return testing::AssertionSuccess();
    }

    // The tray icon's picture once it has settled, with the mouse away from it.
    std::optional<Pixels> IconPicture(const Rect &icon)
    {
        session.Xdotool(PointerAside);
        return session.WaitPainted(icon, 15s);
    }

    Session &session = Session::Get();
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
        return c.get("id") == "452" && Lower(c.get("class")) == "button" && c.get("text") == "OK";
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

// The sound settings dialog offers only the groups that have sound files; Cancel drops the
// changes, ＯＫ writes them to the settings file beside the program.
TEST_F(ZelmoE2E, SoundSettingsKeepChangesOnlyOnOk)
{
    ProgramFolder folder(session.ProgramExe());
    for (const char *name : {"crickt00.wav", "crickt01.wav", "crickt02.wav", "crickt03.wav"})
        folder.Add(session.SoundDir() / name);
    Program program(session, folder, "settings");
    Record main, dialog;
    ASSERT_TRUE(WaitMainWindow(&main));

    ASSERT_TRUE(OpenSoundSettings(main, &dialog));
    std::vector<Record> controls = session.Driver({"controls", dialog.get("hwnd")}).records;
    std::optional<Record> insects = Control(controls, InsectsCheck);
    std::optional<Record> interval = Control(controls, InsectsList);
    std::optional<Record> birds = Control(controls, BirdsCheck);
    ASSERT_TRUE(insects && interval && birds) << "controls 301, 361 and 302 expected";
    EXPECT_EQ(insects->get("enabled"), "1");
    EXPECT_EQ(insects->get("checked"), "1") << "the insects play from the first start";
    std::vector<std::string> labels = Items(controls, InsectsList);
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(labels.front(), "　３秒～　６秒間隔で再生する");
    EXPECT_EQ(labels.back(), "３０分～６０分間隔で再生する");
    EXPECT_EQ(birds->get("enabled"), "0") << "a group without sound files must be disabled";
    std::string before = interval->get("cursel");
    std::string chosen = before == "3" ? "4" : "3";

    // Cancel: nothing is kept or written.
    ASSERT_EQ(session.Driver({"select", dialog.get("hwnd"), InsectsList, chosen}).code, 0);
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcCancel}).code, 0);
    ASSERT_EQ(session.Driver({"gone", dialog.get("hwnd"), "15000"}).code, 0)
        << "Cancel did not close the dialog\n"
        << session.ScreenState("settings cancel");
    ASSERT_TRUE(OpenSoundSettings(main, &dialog));
    controls = session.Driver({"controls", dialog.get("hwnd")}).records;
    ASSERT_TRUE(Control(controls, InsectsList));
    EXPECT_EQ(Control(controls, InsectsList)->get("cursel"), before);
    for (const std::string &name : folder.Files())
        EXPECT_NE(Lower(name), "zelmosound.ini") << "Cancel wrote a settings file";

    // ＯＫ: the insects switched off and the other interval are written.
    ASSERT_EQ(session.Driver({"select", dialog.get("hwnd"), InsectsList, chosen}).code, 0);
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), InsectsCheck}).code, 0);
    ASSERT_TRUE(session.WaitFor(
        "the insects' check box to clear",
        [&] {
            std::vector<Record> now = session.Driver({"controls", dialog.get("hwnd")}).records;
            std::optional<Record> box = Control(now, InsectsCheck);
            return box && box->get("checked") == "0";
        },
        15s));
    ASSERT_EQ(session.Driver({"click", dialog.get("hwnd"), IdcOk}).code, 0);
    ASSERT_EQ(session.Driver({"gone", dialog.get("hwnd"), "15000"}).code, 0)
        << "ＯＫ did not close the dialog\n"
        << session.ScreenState("settings ok");
    std::string settings = ReadText(folder.Dir() / "ZelmoSound.INI");
    EXPECT_NE(settings.find("IDC_SOUND01=0\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("IDCB_SOUND01=" + chosen + "\r\n"), std::string::npos) << settings;
}

} // namespace
