// The settings file: first start, the column rules, round trips, and a folder or disk that
// refuses the write.
#include "tests/support/failureplans.h"
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/inifile.h"
#include "ground/sound.h"
#include "resources/resource.h"

#include <filesystem>

using namespace zelmo_test;

namespace
{

class SettingsFile : public ::testing::Test
{
  protected:
    SettingsFile() { hInst = reinterpret_cast<HINSTANCE>(0x400000); }
    void Write(const std::string &text) { program.WriteProgramFile("ZelmoSound.INI", text); }
    Program program;
};

std::string ExpectedFile(const int (&enabled)[20], const int (&classes)[20], int signal, int kind)
{
    std::string text;
    char line[40];
    for (int i = 0; i < 20; ++i) {
        std::snprintf(line, sizeof line, "IDC_SOUND%02d=%d\r\nIDCB_SOUND%02d=%d\r\n", i + 1,
                      enabled[i], i + 1, classes[i]);
        text += line;
    }
    std::snprintf(line, sizeof line, "IDC_TSIGNAL=%d\r\nIDCB_TSIGNAL=%d\r\n", signal, kind);
    return text + line;
}

// The file as the settings now held by the program give it.
std::string ExpectedFile()
{
    int enabled[20], classes[20];
    for (int i = 0; i < InCount; ++i) {
        enabled[i] = In[i].Enabled;
        classes[i] = In[i].IntervalClass;
    }
    return ExpectedFile(enabled, classes, Tp[0], Tp[1]);
}

} // namespace

TEST_F(SettingsFile, FirstStartSwitchesOnlyTheInsectsOnAndWritesNothing)
{
    program.AddSounds("crickt", 4);
    program.AddSounds("bird", 4);
    program.Start();
    EXPECT_EQ(1, In[0].Enabled);
    EXPECT_EQ(0, In[0].IntervalClass);
    for (int i = 1; i < InCount; ++i)
        EXPECT_EQ(0, In[i].Enabled) << i;
    EXPECT_EQ(0, Tp[0]);
    EXPECT_EQ(0, Tp[1]);
    program.Advance(20 * 1000);
    for (const auto &name : program.SoundNames())
        EXPECT_EQ(0u, name.rfind("crickt", 0)) << name;
    EXPECT_FALSE(
        program.desktop().FileExists(program.desktop().ProgramFolder() + "ZelmoSound.INI"));
}

TEST_F(SettingsFile, AnEmptyFileLeavesEverythingOff)
{
    Write("");
    ReadIniFile();
    for (int i = 0; i < InCount; ++i)
        EXPECT_EQ(0, In[i].Enabled);
}

TEST_F(SettingsFile, ValuesAreReadFromFixedColumns)
{
    In[2].Target = 17;
    In[2].Elapsed = 9;
    Write("IDCB_SOUND03=5\r\n"
          "IDC_SOUND04=12\r\n" // two digits: only the first is read
          "IDC_SOUND5=1\r\n"   // "5=" is group 5; column 13 holds the line end
          "IDC_SOUND06=x\r\n"  // any character is taken as it is
          "IDC_SOUND07=1\n"    // a bare LF ends a line too
          "idc_sound08=1\r\n"  // letter case matters
          "\r\n"
          "; comment\r\n"
          "IDC_TSIGNAL=1\r\n"
          "IDCB_TSIGNAL=1\r\n");
    ReadIniFile();
    EXPECT_EQ(5, In[2].IntervalClass);
    EXPECT_EQ(0, In[2].Target);
    EXPECT_EQ(0, In[2].Elapsed);
    EXPECT_EQ(1, In[3].Enabled);
    EXPECT_EQ('\n' - '0', In[4].Enabled);
    EXPECT_EQ('x' - '0', In[5].Enabled);
    EXPECT_EQ(1, In[6].Enabled);
    EXPECT_EQ(0, In[7].Enabled);
    EXPECT_EQ(1, Tp[0]);
    EXPECT_EQ(1, Tp[1]);
}

TEST_F(SettingsFile, LaterLinesOverwriteEarlierOnesAndMissingLinesKeepValues)
{
    In[9].IntervalClass = 4;
    Write("IDC_SOUND02=1\r\nIDC_SOUND02=0\r\nIDCB_SOUND02=3\r\nIDCB_SOUND02=6\r\n");
    ReadIniFile();
    EXPECT_EQ(0, In[1].Enabled);
    EXPECT_EQ(6, In[1].IntervalClass);
    EXPECT_EQ(4, In[9].IntervalClass);
}

TEST_F(SettingsFile, ALongLineIsReadInPiecesOf127Characters)
{
    std::string first = "IDC_SOUND05=1";
    first.resize(127, 'x');
    Write(first + "IDCB_SOUND06=3\r\n" + std::string(300, 'y') + "\r\nIDC_SOUND07=1\r\n");
    ReadIniFile();
    EXPECT_EQ(1, In[4].Enabled);
    EXPECT_EQ(3, In[5].IntervalClass);
    EXPECT_EQ(1, In[6].Enabled);

    // One character more and the key no longer starts a piece.
    ResetSoundState();
    first.resize(128, 'x');
    Write(first + "IDCB_SOUND06=3\r\n");
    ReadIniFile();
    EXPECT_EQ(0, In[5].IntervalClass);
}

TEST_F(SettingsFile, GroupNumbersOutsideOneToTwentyChangeNothing)
{
    Write("IDC_SOUND00=1\r\nIDC_SOUND21=1\r\nIDCB_SOUND99=3\r\nIDC_SOUND-1=1\r\n"
          "IDCB_SOUNDxx=3\r\nIDC_SOUND=1\r\nIDCB_SOUND\r\n");
    int32_t tpBefore[2] = {Tp[0], Tp[1]};
    ReadIniFile();
    for (int i = 0; i < InCount; ++i) {
        EXPECT_EQ(0, In[i].Enabled) << i;
        EXPECT_EQ(0, In[i].IntervalClass) << i;
    }
    EXPECT_EQ(tpBefore[0], Tp[0]);
    EXPECT_EQ(tpBefore[1], Tp[1]);
}

TEST_F(SettingsFile, WritingThenReadingGivesBackEveryValueWithCrLfLines)
{
    int enabled[20], classes[20];
    for (int signal = 0; signal <= 1; ++signal) {
        for (int i = 0; i < InCount; ++i) {
            In[i].Enabled = enabled[i] = (i + signal) % 10;
            In[i].IntervalClass = classes[i] = (i * 3 + signal) % 10;
        }
        Tp[0] = signal;
        Tp[1] = 1 - signal;
        WriteIniFile();
        EXPECT_EQ(ExpectedFile(enabled, classes, signal, 1 - signal), program.Settings());

        ResetSoundState();
        ReadIniFile();
        for (int i = 0; i < InCount; ++i) {
            EXPECT_EQ(enabled[i], In[i].Enabled);
            EXPECT_EQ(classes[i], In[i].IntervalClass);
        }
        EXPECT_EQ(signal, Tp[0]);
        EXPECT_EQ(1 - signal, Tp[1]);
    }
    EXPECT_EQ(0, program.desktop().OpenHandles());
}

TEST_F(SettingsFile, AFolderThatCannotBeWrittenLeavesTheFileAsItWas)
{
    Write("IDC_SOUND01=1\r\n");
    program.desktop().Faults().readOnlyFolders.push_back(program.desktop().ProgramFolder());
    In[1].Enabled = 1;
    WriteIniFile();
    EXPECT_EQ("IDC_SOUND01=1\r\n", program.Settings());
    EXPECT_EQ(std::vector<std::string>{"ZelmoSound.INI"},
              program.desktop().ListFolder(program.desktop().ProgramFolder()));
    EXPECT_EQ(1, In[1].Enabled) << "the choice stays in effect in memory";
}

TEST_F(SettingsFile, AWriteThatFailsMidwayLeavesTheOldFileWholeAndNoLeftovers)
{
    Write("IDC_SOUND01=1\r\nIDCB_SOUND01=2\r\n");
    In[3].Enabled = 1;
    for (int64_t budget : {0, 1, 100, 400}) {
        program.desktop().Faults().writeBudget = budget;
        WriteIniFile();
        EXPECT_EQ("IDC_SOUND01=1\r\nIDCB_SOUND01=2\r\n", program.Settings()) << budget;
        EXPECT_EQ(std::vector<std::string>{"ZelmoSound.INI"},
                  program.desktop().ListFolder(program.desktop().ProgramFolder()));
    }
    program.desktop().Faults().writeBudget = -1;
    WriteIniFile();
    std::string written = program.Settings();
    EXPECT_EQ(42, std::count(written.begin(), written.end(), '\n'));
    EXPECT_EQ(0, program.desktop().OpenHandles());
}

TEST_F(SettingsFile, AFileThatAnEditorHoldsOpenIsStillReadAtStart)
{
    program.AddSounds("bird", 4);
    Write("IDC_SOUND01=0\r\nIDC_SOUND02=1\r\nIDCB_SOUND02=4\r\nIDC_TSIGNAL=1\r\n");
    // Another program keeps the file open for writing and lets others read it, as an editor
    // does.
    std::string name = program.desktop().ProgramFolder() + "ZelmoSound.INI";
    HANDLE editor = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, editor);
    program.Start();
    EXPECT_EQ(0, In[0].Enabled) << "the file's settings, not the first-start defaults";
    EXPECT_EQ(1, In[1].Enabled);
    EXPECT_EQ(4, In[1].IntervalClass);
    EXPECT_EQ(1, Tp[0]);
    CloseHandle(editor);
    EXPECT_EQ(0, program.desktop().OpenHandles());
}

// Confirming a settings dialog while each file operation of the write fails in turn, and where
// a failure leads to a clean-up, while that fails too: the settings file is afterwards the old
// one or the new one, whole, never a part of either nor missing. Beside it at most the
// unfinished new file is left, and only when even deleting that failed; the next confirmation
// writes the new settings and clears it away.
TEST_F(SettingsFile, EveryFailingFileOperationOfTheWriteLeavesTheOldFileOrTheNewOneWhole)
{
    const std::string old = "IDC_SOUND01=1\r\nIDCB_SOUND01=2\r\n";
    sim::Desktop &desktop = program.desktop();
    const std::string folder = desktop.ProgramFolder();
    program.Start();
    auto prepare = [&] {
        Write(old);
        std::filesystem::remove(desktop.HostPath(folder + "ZelmoSound.INI.new"));
    };
    auto confirm = [&] {
        HWND dialog = program.OpenFromTray(IDM_OTHERSETTINGS, "4");
        ASSERT_TRUE(dialog);
        desktop.Click(dialog, IDC_TSIGNAL);
        desktop.Click(dialog, IDC_OK);
    };
    int unfinishedLeft = 0;
    auto check = [&](const FailurePlan &plan) {
        std::string now = program.Settings();
        if (plan.calls.empty())
            EXPECT_EQ(ExpectedFile(), now);
        else
            EXPECT_TRUE(now == old || now == ExpectedFile()) << plan.Describe() << ":\n" << now;
        std::vector<std::string> files = desktop.ListFolder(folder);
        files.erase(std::remove(files.begin(), files.end(), "ZelmoSound.INI"), files.end());
        if (!files.empty()) {
            ++unfinishedLeft;
            EXPECT_EQ(std::vector<std::string>{"ZelmoSound.INI.new"}, files) << plan.Describe();
            EXPECT_TRUE(plan.Fails(sim::FileOperation::Delete)) << plan.Describe();
        }
        EXPECT_FALSE(desktop.Dialog("4")) << plan.Describe();
        EXPECT_EQ(0, desktop.OpenHandles()) << plan.Describe();
    };
    int plans = ForEachFailurePlan(desktop, 2, prepare, confirm, check);
    // The write's create, write, flush and move each fail alone (4) and two at a time (6), and
    // the three failures that leave the unfinished file to delete fail with the delete (3).
    EXPECT_EQ(1 + 4 + 6 + 3, plans);
    EXPECT_EQ(3, unfinishedLeft);

    desktop.WriteFile(folder + "ZelmoSound.INI.new", "IDC_SOU");
    confirm();
    EXPECT_EQ(ExpectedFile(), program.Settings());
    EXPECT_EQ(std::vector<std::string>{"ZelmoSound.INI"}, desktop.ListFolder(folder));
}

// The settings file is named after the program file: a copy renamed Wecker.exe keeps its
// settings in Wecker.INI beside it and leaves a ZelmoSound.INI there alone.
TEST(SettingsFileName, FollowsTheProgramsOwnFileName)
{
    sim::Desktop::Options options;
    options.programPath = "C:\\Tools\\Wecker.exe";
    Program program({2026, 12, 8, 12, 0, 0}, options);
    const std::string folder = "C:\\Tools\\";
    program.desktop().WriteFile(folder + "bird00.wav", WaveBytes());
    program.desktop().WriteFile(folder + "Wecker.INI", "IDC_SOUND01=0\r\nIDC_SOUND02=1\r\n");
    program.desktop().WriteFile(folder + "ZelmoSound.INI", "IDC_TSIGNAL=1\r\n");
    program.Start();
    EXPECT_EQ(0, In[0].Enabled);
    EXPECT_EQ(1, In[1].Enabled);
    EXPECT_EQ(0, Tp[0]);

    HWND dialog = program.OpenFromTray(IDM_OTHERSETTINGS, "4");
    ASSERT_TRUE(dialog);
    program.desktop().Click(dialog, IDC_OK);
    std::string written = program.desktop().ReadFile(folder + "Wecker.INI").value_or("");
    EXPECT_EQ(ExpectedFile(), written);
    EXPECT_EQ("IDC_TSIGNAL=1\r\n", program.desktop().ReadFile(folder + "ZelmoSound.INI"));
}
