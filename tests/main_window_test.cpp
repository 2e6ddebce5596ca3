// Start, the single-instance rule, the main window, its commands and the way it ends.
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/sound.h"
#include "resources/resource.h"

using namespace zelmo_test;

TEST(MainWindow, StaysResidentHiddenWithItsOwnedWindows)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.Start();
    ASSERT_TRUE(program.Running());
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    auto info = *program.desktop().Window(main);
    EXPECT_FALSE(info.visible);
    EXPECT_EQ(static_cast<DWORD>(WS_OVERLAPPEDWINDOW), info.style);
    EXPECT_EQ(300, info.rect.left);
    EXPECT_EQ(250, info.rect.top);
    EXPECT_EQ(100, info.rect.right - info.rect.left);
    EXPECT_EQ(1, Executing);

    auto signal = program.desktop().Window(hwndSignal);
    auto jelly = program.desktop().Window(hwndJelly);
    ASSERT_TRUE(signal && jelly);
    EXPECT_EQ("ZelmoTimeSignal", signal->className);
    EXPECT_EQ(main, signal->owner);
    EXPECT_EQ(main, jelly->owner);
    EXPECT_FALSE(signal->visible || jelly->visible);
}

TEST(MainWindow, ASecondStartEndsAtOnceAndTheFirstKeepsPlaying)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.AddSounds("crickt", 4);
    program.Start();
    program.Advance(10 * 1000);
    size_t heard = program.Sounds().size();
    size_t windows = program.desktop().Windows().size();

    int second = program.StartAnother();
    EXPECT_EQ(0, program.desktop().ExitCode(second).value_or(-1));
    EXPECT_EQ(windows, program.desktop().Windows().size());
    EXPECT_TRUE(program.Running());
    program.Advance(10 * 1000);
    EXPECT_GT(program.Sounds().size(), heard);
}

// Started in another folder (a shortcut's "Start in", a command line elsewhere), it still finds
// the sounds it plays by bare name, and not a file of the same name in that folder.
TEST(MainWindow, StartedInAnotherFolderItPlaysTheSoundsOfItsOwn)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.AddSounds("crickt", 4);
    for (int i = 0; i < 4; ++i)
        program.desktop().WriteFile("C:\\Elsewhere\\crickt0" + std::to_string(i) + ".wav",
                                    "not a wave");
    program.Start("C:\\Elsewhere");
    program.Advance(30 * 1000);
    ASSERT_GE(program.Sounds().size(), 3u);
    for (const sim::SoundRecord &sound : program.Sounds())
        EXPECT_TRUE(sound.played) << sound.name << " was not found in the program folder";
}

// "終了(&X)" from the tray menu, and command 99 of the main window's own class menu (never shown,
// handled all the same), end the program the same way.
TEST(MainWindow, ExitEndsWithCodeZeroWithoutWritingSettings)
{
    for (int command : {IDM_QUIT, IDM_EXIT}) {
        Program program({2026, 12, 8, 9, 0, 0});
        program.AddSounds("crickt", 4);
        program.Start();
        program.Advance(5000);
        if (command == IDM_QUIT)
            program.ChooseFromTray(command);
        else
            program.PostCommand(command);
        EXPECT_FALSE(program.Running());
        EXPECT_EQ(0, program.ExitCode().value_or(-1));
        EXPECT_TRUE(program.desktop().Windows().empty()) << "owned windows go with the main one";
        EXPECT_EQ(program.desktop().ListFolder(program.desktop().ProgramFolder()).size(), 4u);
    }
}

TEST(MainWindow, PauseIsNotRememberedAcrossARestart)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.AddSounds("crickt", 4);
    program.Start();
    program.ChooseFromTray(IDM_PAUSE);
    EXPECT_EQ(0, Executing);
    program.ChooseFromTray(IDM_QUIT);
    ASSERT_FALSE(program.Running());

    program.desktop().ClearSounds();
    program.Start();
    EXPECT_EQ(1, Executing);
    EXPECT_EQ("ZELMO_ICON1", program.desktop().Tray()->iconName);
    program.Advance(10 * 1000);
    EXPECT_FALSE(program.Sounds().empty());
}

// Command 11 comes from the main window's class menu, which no user sees: posted as a message.
TEST(MainWindow, StartResumesAPausedProgramAndRestartsItsTimer)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.AddSounds("crickt", 4);
    program.Start();
    program.ChooseFromTray(IDM_PAUSE);
    program.Advance(20 * 1000);
    EXPECT_TRUE(program.Sounds().empty());
    program.PostCommand(IDM_START);
    EXPECT_EQ(1, Executing);
    program.Advance(10 * 1000);
    EXPECT_FALSE(program.Sounds().empty());
}

TEST(MainWindow, UnknownCommandsAndOtherTrayReportsDoNothing)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.Start();
    HWND main = program.MainWindow();
    for (WPARAM command : {0, 207, 211, 0x10000 | IDM_QUIT})
        program.desktop().Post(main, WM_COMMAND, command, 0);
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONUP})
        program.desktop().Post(main, WM_USER + 1, 1, mouse);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(1, Executing);
    EXPECT_FALSE(program.desktop().OpenMenu());
}

TEST(MainWindow, DialogCommandsRespectTheOpenFlags)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.AddSounds("bird", 2);
    program.Start();
    sim::Desktop &desktop = program.desktop();
    // With a settings dialog open, adding or deleting files is refused with an error box.
    HWND settings = program.OpenFromTray(IDM_SOUNDSETTINGS, "3");
    ASSERT_TRUE(settings);
    program.ChooseFromTray(IDM_REGISTWAVE);
    auto boxes = desktop.OpenMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("音の設定を終了した後に実行して下さい。", boxes[0].text);
    EXPECT_EQ("ZelmoSound", boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONSTOP), boxes[0].type);
    EXPECT_EQ(program.MainWindow(), boxes[0].owner);
    desktop.AnswerMessageBox(IDOK);
    EXPECT_TRUE(desktop.OpenMessageBoxes().empty());
    EXPECT_FALSE(desktop.Dialog("6"));
    desktop.Click(settings, IDC_CANCEL);

    // While the add or delete dialog is open, the other dialog commands are dropped silently.
    for (auto [command, templateName] : {std::pair{IDM_REGISTWAVE, "6"}, {IDM_DELETEWAVE, "7"}}) {
        SCOPED_TRACE(templateName);
        HWND open = program.OpenFromTray(command, templateName);
        ASSERT_TRUE(open);
        size_t shown = desktop.DialogsShown().size();
        for (int other : {IDM_SOUNDSETTINGS, IDM_OTHERSETTINGS, IDM_REGISTWAVE, IDM_DELETEWAVE})
            program.ChooseFromTray(other);
        EXPECT_EQ(shown, desktop.DialogsShown().size());
        EXPECT_EQ(1u, desktop.OpenDialogs().size());
        EXPECT_EQ(1u, desktop.MessageBoxes().size());
        desktop.Click(open, IDC_FINISH);
        EXPECT_TRUE(desktop.OpenDialogs().empty());
    }
}

TEST(MainWindow, TicksGoOnWhileAMessageBoxIsOpen)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.AddSounds("crickt", 4);
    program.Start();
    ASSERT_TRUE(program.OpenFromTray(IDM_OTHERSETTINGS, "4"));
    program.ChooseFromTray(IDM_DELETEWAVE);
    ASSERT_EQ(1u, program.desktop().OpenMessageBoxes().size());
    program.Advance(20 * 1000);
    EXPECT_GE(program.Sounds().size(), 3u);
    program.desktop().AnswerMessageBox(IDOK);
}

TEST(MainWindow, WhileIdleItOnlyWakesOnceASecond)
{
    Program program({2026, 12, 8, 9, 0, 0});
    program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND01=0\r\n");
    program.Start();
    sim::Millis hour = 60 * 60 * 1000;
    program.Advance(hour);
    auto main = program.desktop().Dispatched(program.MainWindow());
    EXPECT_EQ((std::map<UINT, int64_t>{{WM_TIMER, 3600}}), main);
    EXPECT_TRUE(program.desktop().Dispatched(hwndSignal).empty());
    EXPECT_TRUE(program.desktop().Dispatched(hwndJelly).empty());
    EXPECT_EQ(0, program.desktop().OpenHandles());
}
