// The register dialog: a wave file chosen or typed by the user is copied into a group under the
// group's next number, and the group plays it from then on.
#include "tests/sound_files.h"

using namespace zelmo_test;

namespace
{

constexpr char Registered00[] = "指定のファイルは user1-00.wav として登録されました。";
constexpr char CopyFailed[] = "ファイルのコピーに失敗しました。\n"
                              "ファイルが存在しないか登録情報に誤りがあります。";
constexpr UINT Information = MB_OK | MB_ICONINFORMATION;
constexpr UINT Warning = MB_OK | MB_ICONWARNING;

} // namespace

TEST_F(SoundFileDialogs, AFreshDialogOffersUser1AndItsFirstFileBecomes00AndEnablesTheGroup)
{
    program.AddSounds("crickt", 4);
    desktop().WriteFile("C:\\Music\\Song.wav", Recording(1));
    program.Start();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate, POINT{600, 500});
    ASSERT_TRUE(dialog);
    EXPECT_EQ(1, RegistDlg);
    auto window = *desktop().Window(dialog);
    EXPECT_EQ(600, window.rect.right);
    EXPECT_EQ(500, window.rect.bottom);
    for (const sim::ControlInfo &control : desktop().Controls(dialog)) {
        bool radio = control.id >= IDC_GROUP_FIRST && control.id <= IDC_GROUP_LAST;
        EXPECT_EQ(radio && control.id == IDC_GROUP18, radio && control.checked) << control.id;
    }
    EXPECT_EQ(Control(dialog, IDC_FILENAME).hwnd, desktop().Focus());

    // The file-open dialog, with the register dialog's settings: its title, one filter, an
    // empty name field; the file it gives goes into the field.
    desktop().Click(dialog, IDC_REFERENCE);
    auto open = desktop().FileDialog();
    ASSERT_TRUE(open);
    EXPECT_EQ("音ファイルの参照 どのファイル？", open->title);
    EXPECT_EQ(std::vector<std::string>{"WAVE files ( *.wav )"}, Items(open->hwnd, 0x470));
    EXPECT_EQ("", Control(open->hwnd, OpenNameField).text);
    desktop().ChooseFile("C:\\Music\\Song.wav");
    EXPECT_FALSE(desktop().FileDialog());
    EXPECT_EQ("C:\\Music\\Song.wav", Control(dialog, IDC_FILENAME).text);

    desktop().Click(dialog, IDC_REGIST);
    ExpectBox(Registered00, Information, IDOK);
    EXPECT_EQ(Recording(1), Bytes("user1-00.wav"));
    EXPECT_EQ(1, In[17].Present);
    EXPECT_EQ(1, In[17].FileCount);
    EXPECT_EQ(0, In[17].Enabled) << "a new file does not switch its group on";
    EXPECT_EQ("", program.Settings());
    EXPECT_EQ(Recording(1), desktop().ReadFile("C:\\Music\\Song.wav").value_or(""));

    desktop().Click(dialog, IDC_FINISH);
    EXPECT_FALSE(desktop().Dialog(RegistTemplate));
    EXPECT_EQ(0, RegistDlg);
    HWND settings = OpenFromTray(IDM_OTHERSETTINGS, "4");
    ASSERT_TRUE(settings);
    EXPECT_TRUE(Control(settings, IDC_SOUND18).enabled);
    EXPECT_TRUE(Control(settings, IDCB_SOUND18).enabled);
}

// The file-open dialog, confirmed in another folder, makes that folder the current directory;
// the program sets it back, since every sound is played by bare name from the program folder.
TEST_F(SoundFileDialogs, SoundsAreFoundAgainAfterAFileWasChosenInAnotherFolder)
{
    program.AddSounds("crickt", 4);
    desktop().WriteFile("C:\\Music\\Song.wav", Recording(1));
    program.Start();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().Click(dialog, IDC_REFERENCE);
    desktop().ChooseFile("C:\\Music\\Song.wav");
    desktop().Click(dialog, IDC_FINISH);
    program.desktop().ClearSounds();
    program.Advance(30 * 1000);
    ASSERT_GE(program.Sounds().size(), 3u);
    for (const sim::SoundRecord &sound : program.Sounds())
        EXPECT_TRUE(sound.played) << sound.name << " was not found";

    // Cancelled, the dialog changes nothing, and the field keeps its text.
    dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().TypeText(dialog, IDC_FILENAME, "typed.wav");
    desktop().Click(dialog, IDC_REFERENCE);
    EXPECT_EQ("", Control(desktop().FileDialog()->hwnd, OpenNameField).text)
        << "the field's text is not passed in";
    desktop().CancelFileDialog();
    EXPECT_EQ("typed.wav", Control(dialog, IDC_FILENAME).text);
}

TEST_F(SoundFileDialogs, TheFileOpenDialogWantsAFileThatExistsAndAddsTheWaveExtension)
{
    desktop().WriteFile("C:\\Music\\Song.wav", Recording(1));
    program.Start();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().Click(dialog, IDC_REFERENCE);
    desktop().ChooseFile("C:\\Music\\Missing.wav");
    ASSERT_EQ(1u, desktop().OpenMessageBoxes().size()) << "a missing file is refused";
    desktop().AnswerMessageBox(IDOK);
    ASSERT_TRUE(desktop().FileDialog());
    // Windows adds the default extension to a name typed without one. Wine's dialog does not,
    // so the conformance probe cannot measure it (exceptions.cpp,
    // filedialogs/open-without-extension): this rests on Windows' documentation.
    desktop().ChooseFile("C:\\Music\\Song");
    EXPECT_EQ("C:\\Music\\Song.wav", Control(dialog, IDC_FILENAME).text);
}

TEST_F(SoundFileDialogs, TwoCopiesInARowTakeTheNextTwoNumbers)
{
    HWND dialog = RegistSongIntoBirds(4);
    WatchFiles();
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox("指定のファイルは bird04.wav として登録されました。", Information, IDOK);
    // Enter in the file name field presses the default button, "登録する".
    desktop().PressEnter(dialog);
    ExpectBox("指定のファイルは bird05.wav として登録されました。", Information, IDOK);
    EXPECT_EQ(Recording(1), Bytes("bird04.wav"));
    EXPECT_EQ(Recording(1), Bytes("bird05.wav"));
    EXPECT_EQ(6, In[1].FileCount);
    // Copied under a name no group's pattern matches and no longer than the sound file's own
    // (so it fits wherever that fits), then renamed.
    EXPECT_EQ((std::vector<std::string>{
                  "copy Song.wav -> bird04.~00", "rename bird04.~00 -> bird04.wav",
                  "copy Song.wav -> bird05.~00", "rename bird05.~00 -> bird05.wav"}),
              FileEvents());
}

// A group counts every file of its pattern, numbered or not, so its next number may be taken.
TEST_F(SoundFileDialogs, ATakenNumberRefusesTheCopyAndChangesNothing)
{
    Put("user1-00.wav", Recording(0));
    Put("user1-03.wav", Recording(3));
    Put("user1-mine.wav", Recording(9));
    desktop().WriteFile("C:\\Music\\Song.wav", Recording(1));
    program.Start();
    ASSERT_EQ(3, In[17].FileCount);
    const auto before = Folder();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().TypeText(dialog, IDC_FILENAME, "C:\\Music\\Song.wav");
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox(CopyFailed, Warning, IDOK);
    EXPECT_EQ(before, Folder());
    EXPECT_EQ(Recording(3), Bytes("user1-03.wav"));
    EXPECT_EQ(3, In[17].FileCount);
}

TEST_F(SoundFileDialogs, AnEmptyNameIsAnErrorAndAMissingFileAWarning)
{
    program.Start();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox("ファイル名を入力して下さい。", MB_OK | MB_ICONSTOP, IDOK);
    desktop().TypeText(dialog, IDC_FILENAME, "C:\\Music\\Gone.wav");
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox(CopyFailed, Warning, IDOK);
    EXPECT_EQ(0, In[17].Present);
    EXPECT_EQ(0, In[17].FileCount);
    EXPECT_EQ(std::vector<std::string>{}, Folder());
    // Listening to a file that is not there is silent and says nothing.
    desktop().Click(dialog, IDC_LISTEN);
    EXPECT_TRUE(desktop().OpenMessageBoxes().empty());
    ASSERT_EQ(1u, program.Sounds().size());
    EXPECT_FALSE(program.Sounds()[0].played);
}

// The listen button takes the first 79 characters of the name, the register button all of it.
TEST_F(SoundFileDialogs, AnEightyCharacterPathIsCopiedInFullButNotPlayed)
{
    const std::string folder = "C:\\" + std::string(65, 'm') + "\\";
    const std::string path79 = folder + "Song00.wav", path80 = folder + "Song000.wav";
    ASSERT_EQ(79u, path79.size());
    ASSERT_EQ(80u, path80.size());
    desktop().WriteFile(path79, Recording(1));
    desktop().WriteFile(path80, Recording(2));
    program.Start();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().TypeText(dialog, IDC_FILENAME, path79);
    desktop().Click(dialog, IDC_LISTEN);
    desktop().TypeText(dialog, IDC_FILENAME, path80);
    desktop().Click(dialog, IDC_LISTEN);
    ASSERT_EQ(2u, program.Sounds().size());
    EXPECT_EQ(path79, program.Sounds()[0].name);
    EXPECT_TRUE(program.Sounds()[0].played);
    EXPECT_EQ(path80.substr(0, 79), program.Sounds()[1].name);
    EXPECT_FALSE(program.Sounds()[1].played);
    EXPECT_EQ(static_cast<DWORD>(SND_ASYNC | SND_NODEFAULT | SND_FILENAME),
              program.Sounds()[1].flags);

    desktop().Click(dialog, IDC_REGIST);
    ExpectBox(Registered00, Information, IDOK);
    EXPECT_EQ(Recording(2), Bytes("user1-00.wav"));
}

// The ambient sounds pause while the dialog is open; the other dialog commands wait, and Esc
// does nothing.
TEST_F(SoundFileDialogs, WhileTheRegisterDialogIsOpenSoundsPauseAndOtherDialogsWait)
{
    program.AddSounds("crickt", 4);
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND01=1\r\nIDCB_SOUND01=0\r\n"
                                               "IDC_SOUND02=1\r\nIDCB_SOUND02=0\r\n");
    desktop().WriteFile("C:\\Music\\Song.wav", Recording(1));
    program.Start();
    program.Advance(10 * 1000);
    ASSERT_FALSE(program.Sounds().empty());
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    ExpectTheDialogHoldsEverythingBack(dialog, RegistTemplate);

    // The birds' new file is played once the dialog has closed.
    desktop().Click(dialog, IDC_GROUP02);
    desktop().TypeText(dialog, IDC_FILENAME, "C:\\Music\\Song.wav");
    desktop().Click(dialog, IDC_REGIST);
    desktop().AnswerMessageBox(IDOK);
    desktop().PressCloseBox(dialog);
    EXPECT_FALSE(desktop().Dialog(RegistTemplate));
    EXPECT_EQ(0, RegistDlg);
    program.Advance(10 * 60 * 1000);
    bool heard = false;
    for (const sim::SoundRecord &sound : program.Sounds())
        heard = heard || (sound.name == "bird04.wav" && sound.played);
    EXPECT_TRUE(heard);
}

// A copy that fails midway leaves nothing under the destination's name or its scratch name, and
// the source as it was.
TEST_F(SoundFileDialogs, ACopyThatFailsLeavesNoPartialFile)
{
    HWND dialog = RegistSongIntoBirds(2);
    const auto before = Folder();
    for (int64_t budget : {0, 1, 44, 2000}) {
        desktop().Faults().writeBudget = budget;
        desktop().Click(dialog, IDC_REGIST);
        ExpectBox(CopyFailed, Warning, IDOK);
        EXPECT_EQ(before, Folder()) << "disk full after " << budget << " bytes";
        EXPECT_EQ(2, In[1].FileCount);
    }
    desktop().Faults().writeBudget = -1;
    desktop().Faults().readOnlyFolders.push_back(desktop().ProgramFolder());
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox(CopyFailed, Warning, IDOK);
    desktop().Faults().readOnlyFolders.clear();
    EXPECT_EQ(before, Folder());
    EXPECT_EQ(Recording(1), desktop().ReadFile("C:\\Music\\Song.wav").value_or(""));
    EXPECT_EQ(0, desktop().OpenHandles());

    // Files of the user's own under scratch names, and a scratch file a crash left behind, are
    // never replaced: the copy takes the next name that is free.
    Put("bird02.~00", "half a cop");
    Put("bird02.wav.new", "mine");
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox("指定のファイルは bird02.wav として登録されました。", Information, IDOK);
    EXPECT_EQ(Recording(1), Bytes("bird02.wav"));
    EXPECT_EQ("half a cop", Bytes("bird02.~00"));
    EXPECT_EQ("mine", Bytes("bird02.wav.new"));
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "bird01.wav", "bird02.wav", "bird02.wav.new",
                                        "bird02.~00"}),
              Folder());
}

// A read-only source (copied from a disc, say) onto a number that is taken: the copy fails and
// its scratch file goes, read-only as it was made; onto a free number the registered file keeps
// the source's attributes, as a copy does.
TEST_F(SoundFileDialogs, AReadOnlySourceLeavesNoScratchFileAndItsCopyStaysReadOnly)
{
    Put("user1-01.wav", Recording(0));
    desktop().WriteFile("C:\\Music\\Song.wav", Recording(1));
    desktop().SetReadOnly("C:\\Music\\Song.wav", true);
    program.Start();
    ASSERT_EQ(1, In[17].FileCount);
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().TypeText(dialog, IDC_FILENAME, "C:\\Music\\Song.wav");
    for (int attempt = 0; attempt < 2; ++attempt) {
        desktop().Click(dialog, IDC_REGIST);
        ExpectBox(CopyFailed, Warning, IDOK);
        EXPECT_EQ(std::vector<std::string>{"user1-01.wav"}, Folder()) << attempt;
    }
    desktop().Click(dialog, IDC_GROUP02);
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox("指定のファイルは bird00.wav として登録されました。", Information, IDOK);
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "user1-01.wav"}), Folder());
    EXPECT_EQ(Recording(1), Bytes("bird00.wav"));
    EXPECT_TRUE(desktop().FileAttributes(desktop().ProgramFolder() + "bird00.wav") &
                FILE_ATTRIBUTE_READONLY);
}

// The register button takes 259 characters, as a path has at most: a longer name is refused,
// never cut short to the name of another file that happens to exist.
TEST_F(SoundFileDialogs, ANameLongerThanAPathIsRefusedNotCutShort)
{
    const std::string folder = "C:\\" + std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\";
    const std::string path259 = folder + std::string(259 - folder.size() - 4, 's') + ".wav";
    ASSERT_EQ(259u, path259.size());
    desktop().WriteFile(path259, Recording(1));
    desktop().WriteFile(path259 + "x", Recording(2));
    program.Start();
    HWND dialog = OpenFromTray(IDM_REGISTWAVE, RegistTemplate);
    desktop().TypeText(dialog, IDC_FILENAME, path259 + "x");
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox(CopyFailed, Warning, IDOK);
    EXPECT_EQ(std::vector<std::string>{}, Folder());
    EXPECT_EQ(0, In[17].FileCount);
    desktop().TypeText(dialog, IDC_FILENAME, path259);
    desktop().Click(dialog, IDC_REGIST);
    ExpectBox(Registered00, Information, IDOK);
    EXPECT_EQ(Recording(1), Bytes("user1-00.wav"));
}
