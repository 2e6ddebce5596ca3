// The two sound settings dialogs and the Startup shortcut.
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/sound.h"
#include "resources/resource.h"

using namespace zelmo_test;

namespace
{

const std::vector<std::string> IntervalLabels = {
    "　３秒～　６秒間隔で再生する", "　４秒～１０秒間隔で再生する", "　６秒～２０秒間隔で再生する",
    "１０秒～３０秒間隔で再生する", "２０秒～６０秒間隔で再生する", "３０秒～　２分間隔で再生する",
    "　１分～　５分間隔で再生する", "３０分～６０分間隔で再生する"};

class SettingsDialogs : public ::testing::Test
{
  protected:
    SettingsDialogs() : program({2026, 12, 8, 12, 0, 0}) {}

    HWND Open(int command, const char *templateName, std::optional<POINT> pointer = std::nullopt)
    {
        return program.OpenFromTray(command, templateName, pointer);
    }
    sim::ControlInfo Control(HWND dialog, int id) { return program.desktop().Control(dialog, id); }

    Program program;
};

} // namespace

TEST_F(SettingsDialogs, TheFirstDialogShowsTheGroupsAsTheyStand)
{
    program.AddSounds("crickt", 4);
    program.AddSounds("bird", 4);
    program.AddSounds("water", 2);
    program.WriteProgramFile("ZelmoSound.INI",
                             "IDC_SOUND02=1\r\nIDCB_SOUND02=3\r\nIDCB_SOUND03=5\r\n");
    program.Start();
    HWND dialog = Open(IDM_SOUNDSETTINGS, "3", POINT{700, 600});
    EXPECT_EQ(1, Property1);
    auto window = *program.desktop().Window(dialog);
    EXPECT_EQ(700, window.rect.right);
    EXPECT_EQ(600, window.rect.bottom);

    // Insects: the settings file leaves them off; birds on in class 3; water off.
    EXPECT_FALSE(Control(dialog, 301).checked);
    EXPECT_EQ(-1, Control(dialog, 361).selection);
    EXPECT_EQ(IntervalLabels, Control(dialog, 361).items);
    EXPECT_TRUE(Control(dialog, 302).checked);
    EXPECT_EQ(3, Control(dialog, 362).selection);
    EXPECT_FALSE(Control(dialog, 303).checked);
    EXPECT_EQ(-1, Control(dialog, 363).selection);
    // Waves have no files: disabled and empty.
    EXPECT_FALSE(Control(dialog, 304).enabled);
    EXPECT_FALSE(Control(dialog, 364).enabled);
    EXPECT_TRUE(Control(dialog, 364).items.empty());
    // The focus is on the first tab stop.
    EXPECT_EQ(Control(dialog, 301).hwnd, program.desktop().Focus());
}

TEST_F(SettingsDialogs, OkStoresTheChoicesAndRestartsOnlyChangedGroups)
{
    for (const char *prefix : {"crickt", "bird", "water", "wave_"})
        program.AddSounds(prefix, 4);
    program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND01=1\r\nIDCB_SOUND01=0\r\n"
                                               "IDC_SOUND02=1\r\nIDCB_SOUND02=2\r\n"
                                               "IDC_SOUND03=0\r\nIDCB_SOUND03=4\r\n");
    program.Start();
    program.Advance(2500);
    SoundGroup insects = In[0];
    HWND dialog = Open(IDM_SOUNDSETTINGS, "3");
    program.desktop().Select(dialog, 362, 6); // birds: new class
    program.desktop().Click(dialog, 303);     // water: switched on, its stored class kept
    program.desktop().Select(dialog, 363, 4);
    program.desktop().Click(dialog, 304); // waves: on, then off again: stays off, class 0
    program.desktop().Click(dialog, 304);
    program.desktop().Click(dialog, IDC_OK);
    EXPECT_FALSE(program.desktop().Dialog("3"));
    EXPECT_EQ(0, Property1);

    EXPECT_EQ(insects.Target, In[0].Target) << "an unchanged group keeps its running interval";
    EXPECT_EQ(insects.Elapsed, In[0].Elapsed);
    EXPECT_EQ(6, In[1].IntervalClass);
    EXPECT_EQ(-1, In[1].Target);
    EXPECT_EQ(1, In[2].Enabled);
    EXPECT_EQ(4, In[2].IntervalClass);
    EXPECT_EQ(-1, In[2].Target);
    EXPECT_EQ(0, In[3].Enabled);
    EXPECT_EQ(0, In[3].IntervalClass);

    std::string settings = program.Settings();
    for (const char *line :
         {"IDC_SOUND01=1\r\nIDCB_SOUND01=0\r\n", "IDC_SOUND02=1\r\nIDCB_SOUND02=6\r\n",
          "IDC_SOUND03=1\r\nIDCB_SOUND03=4\r\n", "IDC_SOUND04=0\r\nIDCB_SOUND04=0\r\n",
          "IDC_TSIGNAL=0\r\nIDCB_TSIGNAL=0\r\n"})
        EXPECT_NE(std::string::npos, settings.find(line)) << line;
    EXPECT_EQ(42, std::count(settings.begin(), settings.end(), '\n'));

    // The next tick draws the new intervals; the birds' counted seconds go on counting.
    program.Advance(1000);
    EXPECT_GE(In[1].Target, 60);
    EXPECT_EQ(3, In[1].Elapsed);
}

TEST_F(SettingsDialogs, ASwitchedOffGroupStoresClassZeroAndRestartsOnlyIfItsClassChanged)
{
    program.AddSounds("bird", 4);
    program.AddSounds("water", 4);
    program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND02=0\r\nIDCB_SOUND02=3\r\n"
                                               "IDC_SOUND03=0\r\nIDCB_SOUND03=0\r\n");
    program.Start();
    In[1].Target = 42;
    In[2].Target = 43;
    HWND dialog = Open(IDM_SOUNDSETTINGS, "3");
    program.desktop().Click(dialog, IDC_OK);
    EXPECT_EQ(0, In[1].IntervalClass);
    EXPECT_EQ(-1, In[1].Target);
    EXPECT_EQ(0, In[2].IntervalClass);
    EXPECT_EQ(43, In[2].Target);
}

TEST_F(SettingsDialogs, AGroupWithoutFilesIsLeftUntouchedByOk)
{
    program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND05=1\r\nIDCB_SOUND05=7\r\n");
    program.Start();
    In[4].Target = 99;
    HWND dialog = Open(IDM_SOUNDSETTINGS, "3");
    EXPECT_FALSE(Control(dialog, 305).enabled);
    program.desktop().Click(dialog, 305); // a disabled box takes no click
    program.desktop().PressEnter(dialog);
    EXPECT_EQ(1, In[4].Enabled);
    EXPECT_EQ(7, In[4].IntervalClass);
    EXPECT_EQ(99, In[4].Target);
}

TEST_F(SettingsDialogs, CancelTheCloseBoxAndEscStoreNothingAndEscLeavesItOpen)
{
    program.AddSounds("bird", 4);
    program.Start();
    HWND dialog = Open(IDM_SOUNDSETTINGS, "3");
    program.desktop().Click(dialog, 302);
    program.desktop().PressEscape(dialog);
    ASSERT_TRUE(program.desktop().Dialog("3"));
    EXPECT_EQ(1, Property1);
    program.desktop().Click(dialog, IDC_CANCEL);
    EXPECT_FALSE(program.desktop().Dialog("3"));
    EXPECT_EQ(0, In[1].Enabled);

    dialog = Open(IDM_SOUNDSETTINGS, "3");
    program.desktop().Click(dialog, 302);
    program.desktop().PressCloseBox(dialog);
    EXPECT_FALSE(program.desktop().Dialog("3"));
    EXPECT_EQ(0, Property1);
    EXPECT_EQ(0, In[1].Enabled);
    EXPECT_EQ("", program.Settings());
}

TEST_F(SettingsDialogs, TheSecondDialogCarriesTheTimeSignal)
{
    program.AddSounds("b_bell", 4);
    program.Start();
    HWND dialog = Open(IDM_OTHERSETTINGS, "4");
    EXPECT_EQ(1, Property2);
    EXPECT_FALSE(Control(dialog, IDC_TSIGNAL).checked);
    EXPECT_EQ(-1, Control(dialog, IDCB_TSIGNAL).selection);
    EXPECT_EQ((std::vector<std::string>{"音と文字で知らせる", "音と文字とキャラクタで知らせる"}),
              Control(dialog, IDCB_TSIGNAL).items);
    EXPECT_TRUE(Control(dialog, IDC_TSIGNAL).enabled);
    EXPECT_FALSE(Control(dialog, 318).enabled); // user group 1 has no files

    // Switched on without choosing a kind: kind 0.
    program.desktop().Click(dialog, IDC_TSIGNAL);
    program.desktop().Click(dialog, IDC_OK);
    EXPECT_EQ(1, Tp[0]);
    EXPECT_EQ(0, Tp[1]);

    dialog = Open(IDM_OTHERSETTINGS, "4");
    EXPECT_TRUE(Control(dialog, IDC_TSIGNAL).checked);
    EXPECT_EQ(0, Control(dialog, IDCB_TSIGNAL).selection);
    program.desktop().Select(dialog, IDCB_TSIGNAL, 1);
    program.desktop().Click(dialog, 311);
    program.desktop().Select(dialog, 371, 2);
    program.desktop().Click(dialog, IDC_OK);
    EXPECT_EQ(1, Tp[1]);
    EXPECT_EQ(1, In[10].Enabled);
    EXPECT_EQ(2, In[10].IntervalClass);
    std::string settings = program.Settings();
    EXPECT_NE(std::string::npos, settings.find("IDC_SOUND11=1\r\nIDCB_SOUND11=2\r\n"));
    EXPECT_NE(std::string::npos, settings.find("IDC_TSIGNAL=1\r\nIDCB_TSIGNAL=1\r\n"));
    // The first dialog's groups are written as they stand: insects on from the first start.
    EXPECT_EQ(0u, settings.find("IDC_SOUND01=1\r\n"));
}

TEST_F(SettingsDialogs, BothOpenAtOnceEachOnceAndAddOrDeleteIsRefused)
{
    program.AddSounds("crickt", 4);
    program.Start();
    Open(IDM_SOUNDSETTINGS, "3");
    Open(IDM_OTHERSETTINGS, "4");
    program.ChooseFromTray(IDM_SOUNDSETTINGS);
    program.ChooseFromTray(IDM_OTHERSETTINGS);
    EXPECT_EQ(2u, program.desktop().OpenDialogs().size());
    EXPECT_EQ(2u, program.desktop().DialogsShown().size());

    for (int command : {IDM_REGISTWAVE, IDM_DELETEWAVE}) {
        program.ChooseFromTray(command);
        auto boxes = program.desktop().OpenMessageBoxes();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("音の設定を終了した後に実行して下さい。", boxes[0].text);
        program.desktop().AnswerMessageBox(IDOK);
    }
    EXPECT_EQ(2u, program.desktop().DialogsShown().size());

    // Sounds keep playing while the settings dialogs are open.
    size_t heard = program.Sounds().size();
    program.Advance(20 * 1000);
    EXPECT_GE(program.Sounds().size(), heard + 3);
}

TEST_F(SettingsDialogs, TheStartupButtonAsksThenSavesTheSameShortcutEachTime)
{
    program.Start("C:\\");
    HWND dialog = Open(IDM_OTHERSETTINGS, "4");
    const std::string link = program.desktop().StartupFolder() + "\\ZelmoSoundへのｼｮｰﾄｶｯﾄ.lnk";

    program.desktop().Click(dialog, IDC_TSIGNAL); // an unsaved change stays in the dialog
    program.desktop().Click(dialog, IDC_STARTUP);
    auto question = program.desktop().OpenMessageBoxes();
    ASSERT_EQ(1u, question.size());
    EXPECT_EQ("「スタートアップ」にショートカットを作成してよろしいですか？", question[0].text);
    EXPECT_EQ("ZelmoSound", question[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), question[0].type);
    program.desktop().AnswerMessageBox(IDNO);
    EXPECT_FALSE(program.desktop().FileExists(link));

    for (int time = 0; time < 2; ++time) {
        program.desktop().Click(dialog, IDC_STARTUP);
        program.desktop().AnswerMessageBox(IDYES);
        auto shortcut = program.desktop().ReadShortcut(link);
        ASSERT_TRUE(shortcut);
        EXPECT_EQ("C:\\ZelmoSound\\ZelmoSound.exe", shortcut->target);
        EXPECT_EQ("ZelmoSoundへのｼｮｰﾄｶｯﾄ", shortcut->description);
        EXPECT_EQ("C:\\ZelmoSound\\", shortcut->workingDirectory);
    }
    EXPECT_EQ(1u, program.desktop().ListFolder(program.desktop().StartupFolder()).size());
    EXPECT_TRUE(program.desktop().Dialog("4"));
    EXPECT_TRUE(Control(dialog, IDC_TSIGNAL).checked);
    EXPECT_EQ(0, program.desktop().LiveComObjects());
    EXPECT_EQ(0, program.desktop().ComInitializations());
}

TEST_F(SettingsDialogs, EachFailingStartupStepEndsSilentlyWithTheDialogOpen)
{
    program.Start();
    HWND dialog = Open(IDM_OTHERSETTINGS, "4");
    const std::string link = program.desktop().StartupFolder() + "\\ZelmoSoundへのｼｮｰﾄｶｯﾄ.lnk";
    for (bool sim::StartupFaults::*fault :
         {&sim::StartupFaults::folderLocation, &sim::StartupFaults::pathFromIdList,
          &sim::StartupFaults::createInstance, &sim::StartupFaults::queryInterface,
          &sim::StartupFaults::save}) {
        program.desktop().StartupFaults() = {};
        program.desktop().StartupFaults().*fault = true;
        size_t boxes = program.desktop().MessageBoxes().size();
        program.desktop().Click(dialog, IDC_STARTUP);
        // The question comes only once the folder is known.
        if (program.desktop().MessageBoxes().size() > boxes)
            program.desktop().AnswerMessageBox(IDYES);
        EXPECT_TRUE(program.desktop().OpenMessageBoxes().empty());
        EXPECT_FALSE(program.desktop().FileExists(link));
        EXPECT_TRUE(program.desktop().Dialog("4"));
        EXPECT_EQ(0, program.desktop().LiveComObjects());
        EXPECT_EQ(0, program.desktop().ComInitializations());
    }
    EXPECT_EQ(3u, program.desktop().MessageBoxes().size());
}
