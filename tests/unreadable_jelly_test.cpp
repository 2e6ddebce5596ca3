// A jelly file that is there but cannot be read when the jellyfish start: another program holds
// it open without sharing, or reading it is not permitted. The start seeds two newborns after
// the first-run hint, as when there is no file, but no stop saves them over the user's stored
// population. Once the file can be read again, the next start loads it and its stop saves.
#include "tests/support/jelly_stage.h"

#include "ground/globals.h"
#include "resources/resource.h"

using namespace zelmo_test;

namespace
{

constexpr char FirstRunHint[] = "★終了する時は、マウス右クリックです。\n"
                                "　＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝";

class UnreadableJellyFile : public ::testing::Test
{
  protected:
    UnreadableJellyFile() : program({2026, 12, 8, 12, 0, 0})
    {
        program.WriteProgramFile("Jelly.INI", Stored);
        program.Start();
    }
    sim::Desktop &desktop() { return program.desktop(); }
    std::string JellyPath() { return desktop().ProgramFolder() + "Jelly.INI"; }
    std::string JellyFile() const { return program.ReadProgramFile("Jelly.INI").value_or(""); }

    // From the tray menu, as the user starts them; the start that cannot read the file takes
    // it for a first run: the hint, then two newborns.
    void StartAsAFirstRun()
    {
        program.ChooseFromTray(IDM_JELLY);
        auto boxes = desktop().OpenMessageBoxes();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(FirstRunHint, boxes[0].text);
        desktop().AnswerMessageBox(IDOK);
        EXPECT_EQ(2, Living());
        EXPECT_EQ(1, ZelmoJelly);
    }
    void EndWithYes()
    {
        desktop().RightClick(900, 700);
        desktop().AnswerMessageBox(IDYES);
        EXPECT_EQ(0, ZelmoJelly);
    }
    static int Living()
    {
        int living = 0;
        for (int s = 0; s < OrdinaryCount; ++s)
            living += Jelly[s].Exist != 0 ? 1 : 0;
        return living;
    }
    // The stored file left exactly as it was, and no scratch file beside it.
    void ExpectStoredFileKept()
    {
        EXPECT_EQ(Stored, JellyFile());
        EXPECT_FALSE(desktop().FileExists(JellyPath() + ".new"));
    }

    // Five adults of type 3, age 1200, each clicked twice.
    const std::string Stored = JellyFileOf(5, 3, 1200, 2);
    Program program;
};

} // namespace

TEST_F(UnreadableJellyFile, HeldWithoutSharingAtTheStartItIsNotReplacedByTheNewbornsWhenTheyEnd)
{
    // Another program holds the file open, sharing nothing, while the user starts the
    // jellyfish; it lets go while they swim, so the stop could replace the file.
    HANDLE held =
        CreateFileA(JellyPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    StartAsAFirstRun();
    ASSERT_TRUE(CloseHandle(held));
    desktop().Advance(5000);
    EndWithYes();
    ExpectStoredFileKept();

    // Readable again: the next start loads the stored five without the hint, and its stop
    // saves them, ten ticks older.
    program.ChooseFromTray(IDM_JELLY);
    EXPECT_TRUE(desktop().OpenMessageBoxes().empty());
    EXPECT_EQ(5, Living());
    desktop().Advance(3000);
    EndWithYes();
    std::string saved = JellyFile();
    EXPECT_NE(std::string::npos, saved.find("JELLY01_AGE__=01210\r\n")) << saved;
    EXPECT_NE(std::string::npos, saved.find("JELLY05_EXIST=1\r\n")) << saved;
    EXPECT_NE(std::string::npos, saved.find("JELLY06_EXIST=0\r\n")) << saved;
}

TEST_F(UnreadableJellyFile, NotPermittedToReadNeitherAStopNorAnotherUnreadableStartNorAltF4Saves)
{
    desktop().Faults().FailEvery(sim::FileOperation::Create, JellyPath(), ERROR_ACCESS_DENIED);
    StartAsAFirstRun();
    EndWithYes();
    ExpectStoredFileKept();

    // A second start that still cannot read it, and the platform's close command this time.
    StartAsAFirstRun();
    desktop().Faults().ClearFailures();
    desktop().Advance(3000);
    // A click on the black makes the window the active one again, then Alt+F4 closes it.
    desktop().LeftClick(900, 700);
    desktop().PressAltF4();
    desktop().RunUntilIdle();
    EXPECT_EQ(std::optional<int>(0), program.ExitCode());
    ExpectStoredFileKept();
}

TEST_F(UnreadableJellyFile, AMissingFileIsAFirstRunWhoseStopSavesTheNewborns)
{
    ASSERT_TRUE(DeleteFileA(JellyPath().c_str()));
    StartAsAFirstRun();
    EndWithYes();
    std::string saved = JellyFile();
    EXPECT_NE(std::string::npos, saved.find("JELLY02_EXIST=1\r\nJELLY02_TYPE_=1\r\n")) << saved;
    EXPECT_NE(std::string::npos, saved.find("JELLY03_EXIST=0\r\n")) << saved;
}

// The program ends while the newborns of an unreadable start run: the tray's exit, like a stop,
// leaves the stored file alone.
TEST_F(UnreadableJellyFile, NeitherDoesTheProgramsEndWhileTheNewbornsRun)
{
    desktop().Faults().FailEvery(sim::FileOperation::Create, JellyPath(), ERROR_ACCESS_DENIED);
    StartAsAFirstRun();
    desktop().Faults().ClearFailures();
    desktop().Advance(3000);
    program.ChooseFromTray(IDM_QUIT);
    EXPECT_EQ(std::optional<int>(0), program.ExitCode());
    ExpectStoredFileKept();
}
