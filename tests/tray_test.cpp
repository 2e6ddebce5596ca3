// The tray icon, its menu, window placement, the About box and help.
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/placement.h"
#include "resources/resource.h"
#include "shell/tray.h"

using namespace zelmo_test;

namespace
{

std::vector<std::string> Texts(const sim::MenuInfo &menu)
{
    std::vector<std::string> texts;
    for (const auto &item : menu.items)
        texts.push_back(item.separator ? "-" : std::to_string(item.id) + " " + item.text);
    return texts;
}

} // namespace

TEST(Tray, OnlyTheRightButtonOpensTheMenuAtTheIcon)
{
    Program program({2026, 12, 8, 12, 0, 0});
    program.Start();
    auto tray = program.desktop().Tray();
    ASSERT_TRUE(tray);
    EXPECT_EQ("ZELMO_ICON1", tray->iconName);
    EXPECT_EQ("Zelmo Sound v1.00", tray->tip);
    EXPECT_EQ(static_cast<UINT>(WM_USER + 1), tray->callbackMessage);

    program.desktop().PointAtTray();
    program.desktop().LeftClickTray();
    program.desktop().DoubleClickTray();
    EXPECT_FALSE(program.desktop().OpenMenu());

    program.desktop().RightClickTray();
    auto menu = program.desktop().OpenMenu();
    ASSERT_TRUE(menu);
    const POINT icon = program.desktop().TrayIconCentre();
    EXPECT_EQ(icon.x, menu->x);
    EXPECT_EQ(icon.y, menu->y);
    EXPECT_EQ(static_cast<UINT>(TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON), menu->flags);
    EXPECT_EQ(program.MainWindow(), program.desktop().Foreground());
    EXPECT_EQ((std::vector<std::string>{
                  "201 ゼルモ音の設定(&S)...", "202 その他の音の設定(&E)...", "-",
                  "203 音ファイルの登録(&R)...", "204 音ファイルの削除(&D)...", "-",
                  "205 再生を一時中断する(&I)", "-", "206 ジェリィちゃん(&J)...", "-",
                  "208 ヘルプ(&H)...", "209 バージョン情報(&A)...", "-", "210 終了(&X)"}),
              Texts(*menu));
    program.desktop().DismissMenu();
    EXPECT_FALSE(program.desktop().OpenMenu());
    EXPECT_TRUE(program.Running());
}

TEST(Tray, PauseCrossesTheIconOutAndTurnsTheMenuItemIntoResume)
{
    Program program({2026, 12, 8, 12, 0, 0});
    program.Start();
    program.desktop().RightClickTray();
    program.desktop().ChooseMenu(IDM_PAUSE);
    EXPECT_EQ(0, Executing);
    EXPECT_EQ("ZELMO_ICON2", program.desktop().Tray()->iconName);

    program.desktop().RightClickTray();
    EXPECT_EQ("205 再生を再開する(&N)", Texts(*program.desktop().OpenMenu())[6]);
    program.desktop().ChooseMenu(IDM_PAUSE);
    EXPECT_EQ(1, Executing);
    EXPECT_EQ("ZELMO_ICON1", program.desktop().Tray()->iconName);
    program.desktop().RightClickTray();
    EXPECT_EQ("205 再生を一時中断する(&I)", Texts(*program.desktop().OpenMenu())[6]);
    program.desktop().DismissMenu();
    // Every picture loaded for the shell was released again.
    EXPECT_EQ(0, program.desktop().OpenIcons());
}

TEST(Tray, ThePictureChangesOnlyWithPauseAndResume)
{
    Program program({2026, 12, 8, 18, 59, 0});
    program.Start();
    EXPECT_EQ("ZELMO_ICON1", program.desktop().Tray()->iconName);
    program.desktop().AdvanceTo({2026, 12, 8, 19, 1, 0});
    EXPECT_EQ("ZELMO_ICON1", program.desktop().Tray()->iconName);
    program.ChooseFromTray(IDM_PAUSE);
    EXPECT_EQ("MOON_ICON2", program.desktop().Tray()->iconName);
    program.ChooseFromTray(IDM_PAUSE);
    EXPECT_EQ("MOON_ICON1", program.desktop().Tray()->iconName);
    program.desktop().AdvanceTo({2026, 12, 9, 5, 0, 0});
    program.ChooseFromTray(IDM_PAUSE);
    EXPECT_EQ("ZELMO_ICON2", program.desktop().Tray()->iconName);
}

TEST(Tray, NightStartShowsTheMoonAndExitRemovesTheIcon)
{
    Program program({2026, 12, 8, 4, 59, 59});
    program.Start();
    EXPECT_EQ("MOON_ICON1", program.desktop().Tray()->iconName);
    program.desktop().RightClickTray();
    program.desktop().ChooseMenu(IDM_QUIT);
    EXPECT_FALSE(program.Running());
    EXPECT_EQ(0, program.ExitCode().value_or(-1));
    EXPECT_FALSE(program.desktop().Tray());
}

TEST(Placement, TheWindowsBottomRightCornerComesToTheCursorInsideTheScreen)
{
    struct Case {
        int screenW, screenH, w, h, cx, cy, x, y;
    };
    const Case cases[] = {
        {1024, 768, 200, 150, 1000, 740, 800, 590},
        {1024, 768, 200, 150, 100, 100, 100, 100},
        {640, 480, 400, 100, 300, 50, 240, 50},
        {640, 480, 200, 100, 200, 100, 200, 100}, // cx - w exactly 0 is not above 0
        {640, 480, 200, 100, 630, 470, 430, 370},
        // Taller than the cursor is high: its top comes to the cursor, and the bottom screen edge
        // pushes it back up.
        {640, 480, 200, 300, 300, 250, 100, 180},
    };
    for (const Case &c : cases) {
        sim::Desktop::Options options;
        options.screenWidth = c.screenW;
        options.screenHeight = c.screenH;
        Program program({2026, 12, 8, 12, 0, 0}, options);
        program.Start();
        HWND main = program.MainWindow();
        MoveWindow(main, 5, 5, c.w, c.h, TRUE);
        program.desktop().SetCursorPos(c.cx, c.cy);
        POINT position;
        int width = 0, height = 0;
        ZelmoGetWindowPosition(main, &position, &width, &height);
        EXPECT_EQ(c.x, position.x) << c.cx << "," << c.cy;
        EXPECT_EQ(c.y, position.y) << c.cx << "," << c.cy;
        EXPECT_EQ(c.w, width);
        EXPECT_EQ(c.h, height);
    }
}

TEST(AboutBox, OpensOnceAtTheCursorAndClosesWithEnterOrTheCloseBoxButNotEsc)
{
    Program program({2026, 12, 8, 12, 0, 0});
    program.Start();
    program.ChooseFromTray(IDM_ABOUT, POINT{600, 500});
    auto about = program.desktop().Dialog("702");
    ASSERT_TRUE(about);
    EXPECT_EQ("About ZelmoSound", about->title);
    EXPECT_EQ(1, ZelmoAbout);
    auto window = *program.desktop().Window(about->hwnd);
    EXPECT_EQ(600, window.rect.right);
    EXPECT_EQ(500, window.rect.bottom);
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(static_cast<size_t>(1), program.desktop().DialogsShown().size());

    program.ChooseFromTray(IDM_ABOUT);
    EXPECT_EQ(1u, program.desktop().DialogsShown().size()) << "a second About box never opens";

    program.desktop().PressEscape(about->hwnd);
    EXPECT_TRUE(program.desktop().Dialog("702"));
    program.desktop().PressEnter(about->hwnd);
    EXPECT_FALSE(program.desktop().Dialog("702"));
    EXPECT_EQ(0, ZelmoAbout);

    program.ChooseFromTray(IDM_ABOUT);
    about = program.desktop().Dialog("702");
    ASSERT_TRUE(about);
    program.desktop().PressCloseBox(about->hwnd);
    EXPECT_FALSE(program.desktop().Dialog("702"));
    EXPECT_EQ(0, ZelmoAbout);
    EXPECT_TRUE(program.Running());
}

TEST(Tray, SoundsKeepPlayingWhileTheMenuTheAboutBoxOrAMessageBoxIsOpen)
{
    Program program({2026, 12, 8, 12, 0, 0});
    program.AddSounds("crickt", 4);
    program.Start();

    program.desktop().RightClickTray();
    size_t heard = program.Sounds().size();
    program.Advance(20 * 1000);
    EXPECT_GE(program.Sounds().size(), heard + 3);
    program.desktop().ChooseMenu(IDM_ABOUT);

    ASSERT_TRUE(program.desktop().Dialog("702"));
    heard = program.Sounds().size();
    program.Advance(20 * 1000);
    EXPECT_GE(program.Sounds().size(), heard + 3);
    program.desktop().PressEnter(program.desktop().Dialog("702")->hwnd);

    ASSERT_TRUE(program.OpenFromTray(IDM_SOUNDSETTINGS, "3"));
    program.ChooseFromTray(IDM_REGISTWAVE);
    ASSERT_EQ(1u, program.desktop().OpenMessageBoxes().size());
    heard = program.Sounds().size();
    program.Advance(20 * 1000);
    EXPECT_GE(program.Sounds().size(), heard + 3);
    program.desktop().AnswerMessageBox(IDOK);
}

TEST(Tray, HelpOpensThePageBesideTheProgram)
{
    Program program({2026, 12, 8, 12, 0, 0});
    program.Start("C:\\");
    program.desktop().RightClickTray();
    program.desktop().ChooseMenu(IDM_HELP);
    EXPECT_EQ(std::vector<std::string>{"open C:\\ZelmoSound\\Zelmo.html"},
              program.desktop().ShellExecutes());
}
