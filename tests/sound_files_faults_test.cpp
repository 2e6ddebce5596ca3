// Every file operation of a copy into a group, and of a deletion with its renumbering, failing
// in turn (and two at a time, where a failure leads to a clean-up): after each, the user's files
// are all there and whole, a sound file's name holds either nothing or a whole new file, and the
// group counts what the folder holds. The failures are injected per operation by the simulated
// drive (FileFaults::FailCall, walked by ForEachFailurePlan).
#include "tests/sound_files.h"

#include "tests/support/failureplans.h"

#include <filesystem>

using namespace zelmo_test;

namespace
{

class SoundFileFaults : public SoundFileDialogs
{
  protected:
    // Removes a file of the program folder behind the program's back, as a fresh layout would
    // not have it.
    void Remove(const std::string &name)
    {
        std::error_code ignored;
        std::filesystem::remove(desktop().HostPath(desktop().ProgramFolder() + name), ignored);
    }
    // Answers the box the action left open: the copy's or the deletion's result.
    std::string AnswerResult()
    {
        auto boxes = desktop().OpenMessageBoxes();
        if (boxes.empty()) return "";
        desktop().AnswerMessageBox(IDOK);
        return boxes[0].text;
    }
    // The names of the folder that a group's pattern would count, with their contents.
    std::multiset<std::string> BirdContents()
    {
        std::multiset<std::string> contents;
        for (const std::string &name : Folder())
            if (name.rfind("bird", 0) == 0 && name.size() > 4 &&
                name.substr(name.size() - 4) == ".wav")
                contents.insert(Bytes(name));
        return contents;
    }
};

} // namespace

TEST_F(SoundFileFaults, ACopyFailingAtAnyStepLeavesTheGroupAsItWasOrWithTheWholeNewFile)
{
    HWND dialog = RegistSongIntoBirds(2);
    std::string result;
    int runs = ForEachFailurePlan(
        desktop(), 2,
        [&] {
            for (const std::string &name : Folder())
                if (name.rfind("bird02.", 0) == 0) Remove(name);
            // As a fresh start would count the two files.
            In[1].Present = 1;
            In[1].FileCount = 2;
        },
        [&] {
            desktop().Click(dialog, IDC_REGIST);
            result = AnswerResult();
        },
        [&](const FailurePlan &plan) {
            SCOPED_TRACE(plan.Describe());
            EXPECT_TRUE(Bytes("bird00.wav") == WaveBytes());
            EXPECT_TRUE(Bytes("bird01.wav") == WaveBytes());
            EXPECT_TRUE(desktop().ReadFile("C:\\Music\\Song.wav") == Recording(1));
            if (result == "指定のファイルは bird02.wav として登録されました。") {
                EXPECT_TRUE(Bytes("bird02.wav") == Recording(1))
                    << "bird02.wav holds " << Bytes("bird02.wav").size() << " bytes";
                EXPECT_EQ(3, In[1].FileCount);
            } else {
                EXPECT_EQ(0u, result.find("ファイルのコピーに失敗しました。")) << result;
                EXPECT_FALSE(program.ReadProgramFile("bird02.wav"));
                EXPECT_EQ(2, In[1].FileCount);
            }
            // A scratch copy stays only when deleting it failed too; no pattern counts it.
            if (!plan.Fails(sim::FileOperation::Delete)) {
                EXPECT_FALSE(program.ReadProgramFile("bird02.~00"));
            }
            EXPECT_EQ(0, desktop().OpenHandles());
        });
    EXPECT_GT(runs, 5);
}

TEST_F(SoundFileFaults, ADeletionFailingAtAnyStepLosesNoOtherFile)
{
    program.Start();
    HWND dialog = OpenFromTray(IDM_DELETEWAVE, DeleteTemplate);
    std::string result;
    std::multiset<std::string> all, others;
    for (int i = 0; i < 6; ++i) {
        all.insert(Recording(i));
        if (i != 1) others.insert(Recording(i));
    }
    int runs = ForEachFailurePlan(
        desktop(), 2,
        [&] {
            for (const std::string &name : Folder())
                Remove(name);
            for (int i = 0; i < 6; ++i)
                Put("bird0" + std::to_string(i) + ".wav", Recording(i));
            In[1].Present = 1;
            In[1].FileCount = 6;
            desktop().Click(dialog, IDC_GROUP02);
            desktop().Select(dialog, IDC_FILELIST, 1);
        },
        [&] {
            desktop().Click(dialog, IDC_DELETE);
            desktop().AnswerMessageBox(IDYES);
            result = AnswerResult();
        },
        [&](const FailurePlan &plan) {
            SCOPED_TRACE(plan.Describe());
            std::multiset<std::string> now = BirdContents();
            if (result == "削除しました。\n音情報は再設定されました。") {
                EXPECT_TRUE(now == others);
                EXPECT_EQ(5, In[1].FileCount);
                if (!plan.Fails(sim::FileOperation::Move)) {
                    EXPECT_TRUE(Bytes("bird04.wav") == Recording(5));
                }
            } else {
                EXPECT_TRUE(now == all);
                EXPECT_EQ(6, In[1].FileCount);
            }
            EXPECT_EQ(now.size(), Folder().size()) << "only the group's files are there";
            EXPECT_EQ(0, desktop().OpenHandles());
        });
    EXPECT_GT(runs, 5);
}
