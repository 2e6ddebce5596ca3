// The jelly population and its file: the first start, the fixed columns, damaged files, the
// written file and its safe replacement, the pictures and the living count.
#include "tests/support/failureplans.h"
#include "tests/support/jelly_stage.h"

#include "platform/sim/shell.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

using namespace zelmo_test;

namespace
{

std::string AllFree()
{
    return JellyFileOf(0);
}

std::string IconName(HICON icon)
{
    const sim::IconObject *object = sim::FindIcon(icon);
    return object ? object->name : "";
}

int Living()
{
    int living = 0;
    for (int s = 0; s < 10; ++s)
        living += Jelly[s].Exist != 0;
    return living;
}

} // namespace

TEST_F(JellyStage, WithoutAFileTwoNewbornsStartAndBothGreetTheWorldOnTheFirstTick)
{
    Open({2026, 12, 8, 12, 0, 0});
    EXPECT_EQ(0, StartJellyfish());
    EXPECT_EQ(2, Living());
    EXPECT_EQ(1, Jelly[0].Exist);
    EXPECT_EQ(0, Jelly[0].Type);
    EXPECT_EQ(1, Jelly[1].Type);
    EXPECT_EQ(0, Jelly[0].Age);
    EXPECT_EQ(0, Jelly[1].Age);
    for (int s = 10; s < 15; ++s) {
        EXPECT_EQ(999, Jelly[s].Type) << s;
        EXPECT_TRUE(Jelly[s].Age >= 0 && Jelly[s].Age < 300) << s;
    }

    const sim::Millis tick = desktop().Now() + 300;
    Tick();
    EXPECT_EQ(1, Jelly[0].Age);
    EXPECT_EQ(1, Jelly[1].Age);
    EXPECT_EQ(Animate, Jelly[0].Action);
    EXPECT_EQ(Animate, Jelly[1].Action);
    // Both newborn sounds, the second cutting off the first, 50 ms apart.
    const auto &sounds = desktop().Sounds();
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ("jellybb.wav", sounds[0].name);
    EXPECT_EQ("jellybb.wav", sounds[1].name);
    EXPECT_EQ(tick, sounds[0].time);
    EXPECT_EQ(tick + 50, sounds[1].time);
    EXPECT_EQ(SND_ASYNC | SND_NODEFAULT | SND_FILENAME, static_cast<int>(sounds[0].flags));
}

TEST_F(JellyStage, AFileOfTenFreeSlotsIsReadAndStillSeedsTwoNewbornsKeepingTheirOtherFields)
{
    Open();
    std::string text = AllFree();
    // Slot 1's direction and clicks come from the file and stay; its age, type and place do not.
    text += "JELLY02_DIRCT=5\r\nJELLY02_CRICK=0007\r\nJELLY02_AGE__=00500\r\n";
    WriteJellyFile(text);
    EXPECT_EQ(1, StartJellyfish());
    EXPECT_EQ(2, Living());
    EXPECT_EQ(5, Jelly[1].Direction);
    EXPECT_EQ(7, Jelly[1].ClickCount);
    EXPECT_EQ(0, Jelly[1].Age);
    EXPECT_EQ(1, Jelly[1].Type);
}

TEST_F(JellyStage, LinesAreReadByFixedColumnsInAnyOrderAndOthersAreSkipped)
{
    Open();
    WriteJellyFile("JELLY10_EXIST=1\r\n"
                   "JELLY10_AGE__=01234\r\n"
                   "JELLY11_AGE__=01234\r\n" // no slot 11
                   "JELLY00_AGE__=01234\r\n" // no slot 0
                   "JELLY 3_EXIST=1\r\n"     // a blank before the digit: slot 3
                   "JELLY3X_EXIST=1\r\n"     // "3X" reads as 3
                   "JELLY03-TYPE_=4\r\n"     // column 8 is not looked at
                   "JELLY03_XXXXX=05678\r\n" // four columns: 567
                   "JELLY03_YYYYY= +42\r\n"  // a sign after blanks
                   "jelly05_EXIST=1\r\n"     // lower case is not "JELLY"
                   "# JELLY06_EXIST=1\r\n"
                   "JELLY07_EXIST=1\r\n"
                   "JELLY07_FOO__=3\r\n" // no such key
                   "JELLY07_TYPE_=2\r\n"
                   "JELLY07_TYPE_=6\r\n" // a later line wins
                   "JELLY07_DIRCT=3");   // the last line needs no line end
    EXPECT_EQ(1, StartJellyfish());
    EXPECT_EQ(1234, Jelly[9].Age);
    EXPECT_EQ(1, Jelly[2].Exist);
    EXPECT_EQ(4, Jelly[2].Type);
    EXPECT_EQ(567, Jelly[2].X);
    EXPECT_EQ(42, Jelly[2].Y);
    EXPECT_EQ(0, Jelly[4].Exist);
    EXPECT_EQ(0, Jelly[5].Exist);
    EXPECT_EQ(6, Jelly[6].Type);
    EXPECT_EQ(3, Jelly[6].Direction);
    EXPECT_EQ(3, Living()) << "slots 3, 7 and 10 are alive, so no newborns";
    EXPECT_EQ(0, Jelly[0].Exist);
}

TEST_F(JellyStage, DamagedValuesNeverIndexATableAndNeverStopTheJellyfish)
{
    Open();
    WriteJellyFile("JELLY01_EXIST=1\r\nJELLY01_TYPE_=X\r\n"                    // no such type
                   "JELLY02_EXIST=1\r\nJELLY02_TYPE_=\r\n"                     // type from the LF
                   "JELLY03_EXIST=7\r\nJELLY03_TYPE_=9\r\nJELLY03_DIRCT=9\r\n" // no such direction
                   "JELLY03_AGE__=-9999\r\nJELLY03_XXXXX=0200\r\nJELLY03_YYYYY=0300\r\n"
                   "JELLY03_CRICK=-999\r\n"
                   "JELLY04_EXIST=1\r\nJELLY04_TYPE_=2\r\nJELLY04_DIRCT=-\r\n"
                   "JELLY04_AGE__=99999\r\nJELLY04_XXXXX=99999\r\nJELLY04_YYYYY=-999\r\n");
    EXPECT_EQ(1, StartJellyfish());
    EXPECT_EQ(0, Jelly[0].Exist) << "a type outside 0..9 leaves the slot free";
    EXPECT_EQ(0, Jelly[1].Exist);
    EXPECT_EQ(7, Jelly[2].Exist);
    EXPECT_EQ(0, Jelly[2].Direction) << "a direction outside 0..7 becomes up";
    EXPECT_EQ(-9999, Jelly[2].Age);
    EXPECT_EQ(0, Jelly[3].Direction);
    EXPECT_EQ(992, Jelly[3].X) << "9999 and -999 lie off the screen: the nearest corner";
    EXPECT_EQ(0, Jelly[3].Y);
    Ticks(50);
    EXPECT_TRUE(Running());
    // The age advances on every tick without an event (a tick at the edge has one).
    EXPECT_GT(Jelly[2].Age, -9999);
    EXPECT_LE(Jelly[2].Age, -9949);
    // Age 99999 passes the limit at once and starts again at 99.
    EXPECT_LT(Jelly[3].Age, 200);
    for (const auto &op : desktop().DrawLog(Window()))
        EXPECT_TRUE(op.x >= 0 && op.x <= 992 && op.y >= 0 && op.y <= 736) << op.what;
}

TEST_F(JellyStage, OnlyBadSlotsInTheFileMeansTwoNewborns)
{
    Open();
    WriteJellyFile("JELLY05_EXIST=1\r\nJELLY05_TYPE_=?\r\n");
    EXPECT_EQ(1, StartJellyfish());
    EXPECT_EQ(2, Living());
    EXPECT_EQ(1, Jelly[0].Exist);
    EXPECT_EQ(1, Jelly[1].Exist);
    EXPECT_EQ(0, Jelly[4].Exist);
}

TEST_F(JellyStage, TheWrittenFileHasSeventyLinesAndStoresFreeSlotsAsZeros)
{
    Open();
    OnProgram([] {
        Jelly[0] = JellyOf(1, 3, 5, 812, 640, 33, 12345);
        Jelly[3] = Jelly[0];
        Jelly[3].Exist = 0; // a free slot with stale values
        Jelly[9].Exist = 1;
        Jelly[9].Age = 123456; // wider than its field
        Jelly[9].X = -5;
        WriteJellyIniFile();
    });
    std::string text = JellyFile().value_or("");
    EXPECT_EQ(0u, text.find("JELLY01_EXIST=1\r\nJELLY01_TYPE_=3\r\nJELLY01_DIRCT=5\r\n"
                            "JELLY01_AGE__=00812\r\nJELLY01_XXXXX=0640\r\nJELLY01_YYYYY=0033\r\n"
                            "JELLY01_CRICK=12345\r\nJELLY02_EXIST=0\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("JELLY04_EXIST=0\r\nJELLY04_TYPE_=0\r\nJELLY04_DIRCT=0\r\n"
                        "JELLY04_AGE__=00000\r\nJELLY04_XXXXX=0000\r\nJELLY04_YYYYY=0000\r\n"
                        "JELLY04_CRICK=0000\r\n"));
    EXPECT_NE(std::string::npos, text.find("JELLY10_AGE__=123456\r\nJELLY10_XXXXX=-005\r\n"));
    EXPECT_EQ(70, std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(70, std::count(text.begin(), text.end(), '\r'));
    EXPECT_EQ(0, Jelly[3].X) << "the free slot is zero in memory too";
    EXPECT_EQ(0, Jelly[3].ClickCount);

    // Read back: a value wider than its field comes back cut to the field.
    OnProgram([] {
        HideCount = 5;
        CharCount = 15;
        ReadJellyIniFile();
    });
    EXPECT_EQ(1234, Jelly[0].ClickCount);
    EXPECT_EQ(12345, Jelly[9].Age);
    EXPECT_EQ(0, Jelly[9].X) << "-5 lies off the screen";
    EXPECT_EQ(812, Jelly[0].Age);
    EXPECT_EQ(0, desktop().OpenHandles());
}

TEST_F(JellyStage, AFailedWriteLeavesTheOldFileWholeAndNoLeftovers)
{
    Open();
    const std::string old = AllFree() + JellyLines(1, 1, 4, 2, 1000, 10, 10, 0);
    WriteJellyFile(old);
    auto folderHolds = [&] { return desktop().ListFolder(desktop().ProgramFolder()); };
    OnProgram([] {
        Jelly[0].Exist = 1;
        Jelly[0].Type = 5;
        Jelly[4].X = 77; // a free slot
    });

    desktop().Faults().readOnlyFolders.push_back(desktop().ProgramFolder());
    OnProgram([] { WriteJellyIniFile(); });
    EXPECT_EQ(old, JellyFile().value_or(""));
    EXPECT_EQ(77, Jelly[4].X) << "nothing is cleared when the file cannot be created";
    desktop().Faults().readOnlyFolders.clear();

    for (int64_t budget : {0, 1, 200, 1000}) {
        desktop().Faults().writeBudget = budget;
        OnProgram([] { WriteJellyIniFile(); });
        EXPECT_EQ(old, JellyFile().value_or("")) << budget;
        EXPECT_EQ(std::vector<std::string>{"Jelly.INI"}, folderHolds()) << budget;
    }
    desktop().Faults().writeBudget = -1;

    // Locked by another program: the replacement cannot take the old file's place.
    HANDLE lock = CreateFileA((desktop().ProgramFolder() + "Jelly.INI").c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    OnProgram([] { WriteJellyIniFile(); });
    CloseHandle(lock);
    EXPECT_EQ(old, JellyFile().value_or(""));
    EXPECT_EQ(std::vector<std::string>{"Jelly.INI"}, folderHolds());

    OnProgram([] { WriteJellyIniFile(); });
    EXPECT_NE(std::string::npos, JellyFile().value_or("").find("JELLY01_TYPE_=5\r\n"));
    EXPECT_EQ(0, desktop().OpenHandles());
}

// Saving while each file operation of the write fails in turn, and where a failure leads to a
// clean-up, while that fails too: the jelly file is afterwards the old one or the new one, whole,
// never a part of either nor missing; beside it at most the unfinished new file, and only when
// even deleting that failed. A free slot's stale values are cleared in memory once the new file
// could be made, and kept when it could not.
TEST_F(JellyStage, EveryFailingFileOperationOfTheSaveLeavesTheOldFileOrTheNewOneWhole)
{
    Open();
    const std::string folder = desktop().ProgramFolder();
    const std::string old = JellyFileOf(3, 4, 2000, 1);
    std::string saved = JellyLines(1, 1, 5, 2, 1234, 100, 200, 3);
    for (int number = 2; number <= 10; ++number)
        saved += FreeJellyLines(number);
    auto prepare = [&] {
        WriteJellyFile(old);
        std::filesystem::remove(desktop().HostPath(folder + "Jelly.INI.new"));
        OnProgram([] {
            std::memset(Jelly, 0, sizeof Jelly);
            Jelly[0] = JellyOf(1, 5, 2, 1234, 100, 200, 3);
            Jelly[4].X = 77; // a free slot with a stale value
        });
    };
    auto save = [&] { OnProgram([] { WriteJellyIniFile(); }); };
    int unfinishedLeft = 0;
    auto check = [&](const FailurePlan &plan) {
        SCOPED_TRACE(plan.Describe());
        std::string now = JellyFile().value_or("(missing)");
        if (plan.calls.empty())
            EXPECT_EQ(saved, now);
        else
            EXPECT_TRUE(now == old || now == saved) << now;
        std::vector<std::string> files = desktop().ListFolder(folder);
        files.erase(std::remove(files.begin(), files.end(), "Jelly.INI"), files.end());
        if (!files.empty()) {
            ++unfinishedLeft;
            EXPECT_EQ(std::vector<std::string>{"Jelly.INI.new"}, files);
            EXPECT_TRUE(plan.Fails(sim::FileOperation::Delete));
        }
        EXPECT_EQ(plan.Fails(sim::FileOperation::Create) ? 77 : 0, Jelly[4].X);
        EXPECT_EQ(1234, Jelly[0].Age) << "a living slot is never changed by saving";
        EXPECT_EQ(0, desktop().OpenHandles());
    };
    int plans = ForEachFailurePlan(desktop(), 2, prepare, save, check);
    // The create, write, flush and move each fail alone (4) and two at a time (6), and the three
    // failures that leave the unfinished file to delete fail with the delete (3).
    EXPECT_EQ(1 + 4 + 6 + 3, plans);
    EXPECT_EQ(3, unfinishedLeft);

    // What a failed delete left is replaced by the next save.
    prepare();
    desktop().WriteFile(folder + "Jelly.INI.new", "JELLY01_EX");
    save();
    EXPECT_EQ(saved, JellyFile().value_or(""));
    EXPECT_EQ(std::vector<std::string>{"Jelly.INI"}, desktop().ListFolder(folder));
}

TEST_F(JellyStage, AFileThatAnEditorHoldsOpenIsStillReadAtAStart)
{
    Open();
    WriteJellyFile(JellyFileOf(4, 6, 1500, 2));
    // Another program keeps the file open for writing and lets others read it, as an editor
    // does.
    HANDLE editor =
        CreateFileA((desktop().ProgramFolder() + "Jelly.INI").c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, editor);
    EXPECT_EQ(1, StartJellyfish());
    EXPECT_EQ(4, Living()) << "the file's jellyfish, not two newborns";
    EXPECT_EQ(6, Jelly[3].Type);
    EXPECT_EQ(1500, Jelly[3].Age);
    EXPECT_EQ(2, Jelly[3].ClickCount);
    CloseHandle(editor);
    EXPECT_EQ(0, desktop().OpenHandles());
}

TEST_F(JellyStage, HiddenPicturesFollowTheDayOfTheFirstStartForTheWholeRun)
{
    Open({2026, 12, 6, 12, 0, 0}); // 6 % 4 = 2
    StartJellyfish();
    std::vector<std::string> names;
    for (int i = 26; i < 31; ++i)
        names.push_back(IconName(Hicon[i]));
    EXPECT_EQ((std::vector<std::string>{"JHIDE0_ICON", "JHIDE2_ICON", "JHIDE4_ICON", "JHIDE6_ICON",
                                        "JHIDE8_ICON"}),
              names);
    StopJellyfish();
    desktop().AdvanceTo({2026, 12, 13, 12, 0, 0});
    StartJellyfish();
    EXPECT_EQ("JHIDE0_ICON", IconName(Hicon[26])) << "a later start keeps the first choice";
    EXPECT_EQ("JHIDE8_ICON", IconName(Hicon[30]));

    Open({2026, 12, 13, 12, 0, 0}); // 13 % 4 = 1
    StartJellyfish();
    EXPECT_EQ("JHIDE5_ICON", IconName(Hicon[26]));
    EXPECT_EQ("JHIDE9_ICON", IconName(Hicon[30]));
    EXPECT_EQ("JELLY00_ICON", IconName(Hicon[0]));
    EXPECT_EQ("JELLY20_ICON", IconName(Hicon[10]));
    EXPECT_EQ("JELLY29_ICON", IconName(Hicon[19]));
    EXPECT_EQ("JDUMMY_ICON", IconName(Hicon[22]));
    EXPECT_EQ("JSTAR_ICON", IconName(Hicon[25]));
    EXPECT_EQ(nullptr, Hicon[31]);
}

TEST_F(JellyStage, StartingManyTimesTakesNoIconsFromTheSystem)
{
    Open();
    StartJellyfish();
    const int icons = desktop().OpenIcons();
    const HICON first = Hicon[0];
    EXPECT_EQ(31, icons);
    for (int i = 0; i < 20; ++i) {
        StopJellyfish();
        StartJellyfish();
    }
    EXPECT_EQ(icons, desktop().OpenIcons());
    EXPECT_EQ(first, Hicon[0]) << "the type pictures are loaded once per run";
    EXPECT_EQ("JBACK1_ICON", IconName(Hicon[23]));
}

TEST_F(JellyStage, TheCountSeesOnlyTheTenOrdinarySlots)
{
    Open();
    WriteJellyFile(JellyFileOf(10));
    StartJellyfish();
    int count = -1;
    OnProgram([&count] { count = JellyExsit(); });
    EXPECT_EQ(10, count);
    EXPECT_EQ(1, IsAll);
    OnProgram([&count] {
        Jelly[6].Exist = 0;
        count = JellyExsit();
    });
    EXPECT_EQ(9, count) << "the five living hidden characters are not counted";
    EXPECT_EQ(0, IsAll);
}

TEST_F(JellyStage, WhenTheLastOneDiesTheFileHoldsTenFreeSlotsAndTheNextStartSeedsTwo)
{
    Open();
    // A type 9 lives 2100 ticks: the next tick it is past its life span.
    WriteJellyFile(AllFree() + JellyLines(4, 1, 9, 2, 2100, 500, 500, 3));
    StartJellyfish();
    Tick();
    EXPECT_EQ(Die, Jelly[3].Action);
    EXPECT_EQ(Dying, Jelly[3].Event);
    Tick();
    EXPECT_EQ(Vanish, Jelly[3].Action);
    EXPECT_EQ(0, Jelly[3].Exist);
    EXPECT_FALSE(Running());
    auto sounds = NewSounds();
    EXPECT_EQ(1, std::count(sounds.begin(), sounds.end(), "jellyend.wav"));
    ASSERT_FALSE(desktop().MessageBoxes().empty());
    EXPECT_EQ("誰もいなくなっちゃった。\nので、終了します。とほほ。。。",
              desktop().MessageBoxes().back().text);
    EXPECT_EQ(AllFree(), JellyFile().value_or("")) << "the stop saved ten free slots";
    EXPECT_EQ(1, StartJellyfish());
    EXPECT_EQ(2, Living());
    EXPECT_EQ(1, Jelly[0].Exist);
    EXPECT_EQ(1, Jelly[1].Exist);
}
