// The delete dialog: a group's files listed, one played and deleted after a question, the rest
// renumbered without a gap in their old order, the group counted again.
#include "tests/sound_files.h"

using namespace zelmo_test;

namespace
{

constexpr char Deleted[] = "削除しました。\n音情報は再設定されました。";
constexpr char DeleteFailed[] =
    "音ファイルの削除に失敗しました。\n"
    "ファイルがオープンされているか、読み込み専用ファイルと思われます。";
constexpr UINT Question = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

std::string QuestionFor(const std::string &name)
{
    return "指定の " + name + " を削除します。\nよろしいですか？";
}

class DeleteDialog : public SoundFileDialogs
{
  protected:
    // Birds 00 to count - 1, each with bytes of its own (Recording(number)).
    void PutBirds(int count)
    {
        for (int i = 0; i < count; ++i)
            Put("bird0" + std::to_string(i) + ".wav", Recording(i));
    }
    // Opens the dialog on the birds' group.
    HWND OpenOnBirds()
    {
        HWND dialog = OpenFromTray(IDM_DELETEWAVE, DeleteTemplate);
        if (dialog) desktop().Click(dialog, IDC_GROUP02);
        return dialog;
    }
    void SelectEntry(HWND dialog, const std::string &name)
    {
        std::vector<std::string> items = Items(dialog, IDC_FILELIST);
        auto at = std::find(items.begin(), items.end(), name);
        ASSERT_NE(items.end(), at) << name << " is not listed";
        desktop().Select(dialog, IDC_FILELIST, static_cast<int>(at - items.begin()));
        EXPECT_EQ(name, Control(dialog, IDC_SELECTED).text);
    }
    // Selects the entry, presses "削除する" and answers Yes.
    void Delete(HWND dialog, const std::string &name)
    {
        SelectEntry(dialog, name);
        desktop().Click(dialog, IDC_DELETE);
        ExpectBox(QuestionFor(name), Question, IDYES);
    }
};

} // namespace

TEST_F(DeleteDialog, TheListHoldsTheSelectedGroupsFilesInOrder)
{
    program.AddSounds("crickt", 2);
    PutBirds(3);
    Put("Birdsong.WAV", Recording(7));
    program.Start();
    HWND dialog = OpenFromTray(IDM_DELETEWAVE, DeleteTemplate, POINT{700, 600});
    ASSERT_TRUE(dialog);
    EXPECT_EQ(1, DeleteDlg);
    EXPECT_EQ(700, desktop().Window(dialog)->rect.right);
    EXPECT_TRUE(Control(dialog, IDC_GROUP01).checked);
    EXPECT_EQ((std::vector<std::string>{"crickt00.wav", "crickt01.wav"}),
              Items(dialog, IDC_FILELIST));
    EXPECT_EQ("c:\\zelmosound", Control(dialog, IDC_FOLDER).text);
    EXPECT_EQ("", Control(dialog, IDC_SELECTED).text);

    desktop().Click(dialog, IDC_GROUP02);
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "bird01.wav", "bird02.wav", "Birdsong.WAV"}),
              Items(dialog, IDC_FILELIST));
    SelectEntry(dialog, "bird01.wav");
    desktop().Click(dialog, IDC_LISTEN);
    ASSERT_EQ(1u, program.Sounds().size());
    EXPECT_EQ("C:\\ZelmoSound\\bird01.wav", program.Sounds()[0].name);
    EXPECT_TRUE(program.Sounds()[0].played);
    // Another group empties the selected-file field; listening then does nothing.
    desktop().Click(dialog, IDC_GROUP03);
    EXPECT_TRUE(Items(dialog, IDC_FILELIST).empty());
    EXPECT_EQ("", Control(dialog, IDC_SELECTED).text);
    desktop().Click(dialog, IDC_LISTEN);
    EXPECT_EQ(1u, program.Sounds().size());
    desktop().Click(dialog, IDC_FINISH);
    EXPECT_FALSE(desktop().Dialog(DeleteTemplate));
    EXPECT_EQ(0, DeleteDlg);
}

TEST_F(DeleteDialog, DeletingTheMiddleFileMovesTheHigherOnesDownInTheirOrder)
{
    PutBirds(5);
    program.Start();
    HWND dialog = OpenOnBirds();
    WatchFiles();
    Delete(dialog, "bird02.wav");
    ExpectBox(Deleted, MB_OK | MB_ICONINFORMATION, IDOK);
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "bird01.wav", "bird02.wav", "bird03.wav"}),
              Folder());
    EXPECT_EQ(Recording(0), Bytes("bird00.wav"));
    EXPECT_EQ(Recording(1), Bytes("bird01.wav"));
    EXPECT_EQ(Recording(3), Bytes("bird02.wav"));
    EXPECT_EQ(Recording(4), Bytes("bird03.wav"));
    EXPECT_EQ((std::vector<std::string>{"delete bird02.wav", "rename bird03.wav -> bird02.wav",
                                        "rename bird04.wav -> bird03.wav"}),
              FileEvents());
    EXPECT_EQ(4, In[1].FileCount);
    EXPECT_EQ(1, In[1].Present);
    // The list is read again, and nothing is selected.
    EXPECT_EQ(Folder(), Items(dialog, IDC_FILELIST));
    EXPECT_EQ("", Control(dialog, IDC_SELECTED).text);
    desktop().Click(dialog, IDC_DELETE);
    ExpectBox("音ファイルを選択して下さい。", MB_OK | MB_ICONSTOP, IDOK);
}

TEST_F(DeleteDialog, DeletingTheHighestFileRenamesNothing)
{
    PutBirds(3);
    program.Start();
    HWND dialog = OpenOnBirds();
    WatchFiles();
    Delete(dialog, "bird02.wav");
    ExpectBox(Deleted, MB_OK | MB_ICONINFORMATION, IDOK);
    EXPECT_EQ(std::vector<std::string>{"delete bird02.wav"}, FileEvents());
    EXPECT_EQ(2, In[1].FileCount);
}

TEST_F(DeleteDialog, DeletingTheOnlyFileDisablesTheGroupButKeepsItsSwitch)
{
    PutBirds(1);
    program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND02=1\r\nIDCB_SOUND02=2\r\n");
    program.Start();
    HWND dialog = OpenOnBirds();
    Delete(dialog, "bird00.wav");
    ExpectBox(Deleted, MB_OK | MB_ICONINFORMATION, IDOK);
    EXPECT_EQ(0, In[1].Present);
    EXPECT_EQ(0, In[1].FileCount);
    EXPECT_EQ(1, In[1].Enabled);
    desktop().Click(dialog, IDC_FINISH);
    HWND settings = OpenFromTray(IDM_SOUNDSETTINGS, "3");
    ASSERT_TRUE(settings);
    EXPECT_FALSE(Control(settings, IDC_SOUND02).enabled);
    EXPECT_FALSE(Control(settings, IDCB_SOUND02).enabled);
}

// The renumbering reaches nine numbers above the count from before the deletion.
TEST_F(DeleteDialog, AFileTenAboveTheCountStaysWhereItIs)
{
    PutBirds(2);
    Put("bird13.wav", Recording(13));
    program.Start();
    ASSERT_EQ(3, In[1].FileCount);
    HWND dialog = OpenOnBirds();
    Delete(dialog, "bird00.wav");
    ExpectBox(Deleted, MB_OK | MB_ICONINFORMATION, IDOK);
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "bird13.wav"}), Folder());
    EXPECT_EQ(Recording(1), Bytes("bird00.wav"));
    EXPECT_EQ(2, In[1].FileCount);
}

// A name that matches the group's pattern without a number is listed, played and deleted like
// any other, and widens the renumbering's reach.
TEST_F(DeleteDialog, AnUnnumberedFileIsDeletedLikeAnyOther)
{
    PutBirds(2);
    Put("birdsong.wav", Recording(5));
    Put("bird11.wav", Recording(11));
    program.Start();
    ASSERT_EQ(4, In[1].FileCount);
    HWND dialog = OpenOnBirds();
    Delete(dialog, "birdsong.wav");
    ExpectBox(Deleted, MB_OK | MB_ICONINFORMATION, IDOK);
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "bird01.wav", "bird02.wav"}), Folder());
    EXPECT_EQ(Recording(11), Bytes("bird02.wav"));
    EXPECT_EQ(3, In[1].FileCount);
}

TEST_F(DeleteDialog, TheAnswerNoAndTheDefaultButtonChangeNothing)
{
    PutBirds(3);
    program.Start();
    HWND dialog = OpenOnBirds();
    WatchFiles();
    SelectEntry(dialog, "bird01.wav");
    desktop().Click(dialog, IDC_DELETE);
    ExpectBox(QuestionFor("bird01.wav"), Question, IDNO);
    // Enter on the question takes its default button: No.
    desktop().Click(dialog, IDC_DELETE);
    ASSERT_EQ(1u, desktop().OpenMessageBoxes().size());
    desktop().PressEnter(desktop().OpenMessageBoxes()[0].hwnd);
    EXPECT_TRUE(desktop().OpenMessageBoxes().empty());
    EXPECT_TRUE(FileEvents().empty());
    EXPECT_EQ(3u, Folder().size());
    EXPECT_EQ("bird01.wav", Control(dialog, IDC_SELECTED).text);
}

TEST_F(DeleteDialog, AReadOnlyOrOpenFileIsRefusedAndNothingIsRenamed)
{
    PutBirds(4);
    program.Start();
    desktop().SetReadOnly(desktop().ProgramFolder() + "bird01.wav", true);
    HWND dialog = OpenOnBirds();
    WatchFiles();
    Delete(dialog, "bird01.wav");
    ExpectBox(DeleteFailed, MB_OK | MB_ICONWARNING, IDOK);
    EXPECT_EQ("bird01.wav", Control(dialog, IDC_SELECTED).text);

    // Another program holds the file open.
    HANDLE held = HoldOpen("bird02.wav");
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Delete(dialog, "bird02.wav");
    ExpectBox(DeleteFailed, MB_OK | MB_ICONWARNING, IDOK);
    CloseHandle(held);
    EXPECT_TRUE(FileEvents().empty());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Recording(i), Bytes("bird0" + std::to_string(i) + ".wav"));
    EXPECT_EQ(4, In[1].FileCount);
}

// Every step of the renumbering renames one file onto a free name: when one rename fails (here
// another program holds the file open), both names stay as they were and no file is lost; the
// recount gives the files that are there.
TEST_F(DeleteDialog, ARenameThatFailsInTheMiddleOfTheChainLosesNoFile)
{
    PutBirds(6);
    program.Start();
    HWND dialog = OpenOnBirds();
    WatchFiles();
    HANDLE held = HoldOpen("bird03.wav");
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Delete(dialog, "bird01.wav");
    ExpectBox(Deleted, MB_OK | MB_ICONINFORMATION, IDOK);
    CloseHandle(held);
    EXPECT_EQ((std::vector<std::string>{"delete bird01.wav", "rename bird02.wav -> bird01.wav"}),
              FileEvents());
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "bird01.wav", "bird03.wav", "bird04.wav",
                                        "bird05.wav"}),
              Folder());
    EXPECT_EQ((std::multiset<std::string>{Recording(0), Recording(2), Recording(3), Recording(4),
                                          Recording(5)}),
              Contents());
    EXPECT_EQ(5, In[1].FileCount);
}

TEST_F(DeleteDialog, WhileTheDeleteDialogIsOpenSoundsPauseAndOtherDialogsWait)
{
    PutBirds(4);
    program.AddSounds("crickt", 4);
    program.Start();
    program.Advance(10 * 1000);
    ASSERT_FALSE(program.Sounds().empty());
    HWND dialog = OpenFromTray(IDM_DELETEWAVE, DeleteTemplate);
    ExpectTheDialogHoldsEverythingBack(dialog, DeleteTemplate);
    desktop().PressCloseBox(dialog);
    EXPECT_FALSE(desktop().Dialog(DeleteTemplate));
    program.Advance(20 * 1000);
    EXPECT_GE(program.Sounds().size(), 3u);
}

// The question names at most the first 59 bytes of the file name, in whole characters.
TEST_F(DeleteDialog, TheQuestionNamesAtMost59BytesOfWholeCharacters)
{
    const std::string longName =
        "bird" + std::string(20, 'x') + "鳥の声がきこえる鳥の声がきこえる.wav";
    ASSERT_GT(longName.size(), 59u);
    Put(longName, Recording(1));
    program.Start();
    HWND dialog = OpenOnBirds();
    SelectEntry(dialog, longName);
    desktop().Click(dialog, IDC_DELETE);
    // 24 ASCII bytes and 11 characters of three bytes fit in 59 bytes.
    ExpectBox(QuestionFor(longName.substr(0, 24 + 33)), Question, IDNO);
}

// A path longer than the program's buffer is never used cut short, where it could name another
// file.
TEST(DeleteDialogInADeepFolder, APathTooLongForItsBufferIsNeitherDeletedNorPlayed)
{
    sim::Desktop::Options options;
    options.programPath = "C:\\" + std::string(230, 'p') + "\\ZelmoSound.exe";
    Program program({2026, 12, 8, 12, 0, 0}, options);
    const std::string name = "bird" + std::string(30, 'n') + ".wav";
    ASSERT_GT(program.desktop().ProgramFolder().size() + name.size(), 259u);
    program.WriteProgramFile(name, WaveBytes());
    program.Start();
    sim::Desktop &desktop = program.desktop();
    desktop.RightClickTray();
    desktop.ChooseMenu(IDM_DELETEWAVE);
    HWND dialog = desktop.Dialog(DeleteTemplate)->hwnd;
    desktop.Click(dialog, IDC_GROUP02);
    ASSERT_EQ(std::vector<std::string>{name}, desktop.Control(dialog, IDC_FILELIST).items);
    desktop.Select(dialog, IDC_FILELIST, 0);
    desktop.Click(dialog, IDC_LISTEN);
    EXPECT_TRUE(desktop.Sounds().empty());
    desktop.Click(dialog, IDC_DELETE);
    desktop.AnswerMessageBox(IDYES);
    ASSERT_EQ(1u, desktop.OpenMessageBoxes().size());
    EXPECT_EQ(0u, desktop.OpenMessageBoxes()[0].text.find("音ファイルの削除に失敗しました。"));
    desktop.AnswerMessageBox(IDOK);
    EXPECT_EQ(WaveBytes(), program.ReadProgramFile(name).value_or(""));
}
