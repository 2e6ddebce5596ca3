// The simulated desktop's directory lists and file-open dialog, as the sound-file dialogs use
// them: a sorted list box filled by DlgDirListA, its keys and notifications, DlgDirSelectExA, and
// GetOpenFileNameA answered by the user's choice or cancel.
#include "platform/sim/desktop.h"
#include "platform/sim/internal.h"
#include "resources/resource.h"
#include "tests/support/owner.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

using zelmo_test::OwnerWindow;

HWND Dialog = nullptr;
std::vector<std::string> Commands; // "id code" of each WM_COMMAND the dialog got

// The delete dialog's template with a procedure that only listens.
INT_PTR CALLBACK ListeningDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        Dialog = dialog;
        return FALSE;
    }
    if (message == WM_COMMAND)
        Commands.push_back(std::to_string(LOWORD(wParam)) + " " + std::to_string(HIWORD(wParam)));
    return FALSE;
}

class SimDialogs : public ::testing::Test
{
  protected:
    SimDialogs() : desktop_(Options())
    {
        Commands.clear();
        process_ = desktop_.Start(zelmo_test::OwnerProgram);
    }

    static sim::Desktop::Options Options()
    {
        sim::Desktop::Options options;
        options.start = {2026, 12, 8, 10, 0, 0};
        return options;
    }

    void OnProgram(const std::function<void()> &action) { desktop_.Input(process_, action); }

    void OpenListDialog()
    {
        OnProgram([] {
            (void)DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_DELETE), OwnerWindow,
                                  ListeningDialog, 0);
        });
        ASSERT_TRUE(desktop_.Dialog("7"));
        Commands.clear();
    }
    sim::ControlInfo List() { return desktop_.Control(Dialog, IDC_FILELIST); }

    sim::Desktop desktop_;
    int process_ = 0;
};

TEST_F(SimDialogs, ASortedListPutsPunctuationBeforeDigitsBeforeLettersAndSkipsHyphens)
{
    OpenListDialog();
    OnProgram([] {
        for (const char *text : {"bird10.wav", "bird-1.wav", "Bird02.WAV", "bird_x.wav", "bird.wav",
                                 "bird00.wav", "bird鳥.wav", "birdsong.wav"})
            (void)SendDlgItemMessageA(Dialog, IDC_FILELIST, LB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(text));
    });
    EXPECT_EQ((std::vector<std::string>{"bird.wav", "bird_x.wav", "bird00.wav", "Bird02.WAV",
                                        "bird-1.wav", "bird10.wav", "birdsong.wav", "bird鳥.wav"}),
              List().items);
}

TEST_F(SimDialogs, ADirectoryListMakesItsFolderCurrentAndShowsItInLowerCase)
{
    for (const char *name :
         {"bird00.wav", "Bird01.WAV", "bird02.wav", "bird-1.wav", "crickt00.wav"})
        desktop_.WriteFile(std::string("C:\\ZelmoSound\\") + name, name);
    desktop_.SetReadOnly("C:\\ZelmoSound\\Bird01.WAV", true);
    desktop_.WriteFile("C:\\ZelmoSound\\birdhouse.wav\\inside.wav", "folder");
    OpenListDialog();
    char pattern[MAX_PATH] = "C:\\ZelmoSound\\bird*.wav";
    int listed = 0;
    std::string current;
    OnProgram([&] {
        (void)SetCurrentDirectoryA("C:\\");
        listed = DlgDirListA(Dialog, pattern, IDC_FILELIST, IDC_FOLDER, DDL_ARCHIVE);
        char folder[MAX_PATH];
        current = std::string(folder, GetCurrentDirectoryA(MAX_PATH, folder));
    });
    EXPECT_EQ(TRUE, listed);
    EXPECT_STREQ("BIRD*.WAV", pattern);
    // Files only, read-only ones too, in the list's order.
    EXPECT_EQ((std::vector<std::string>{"bird00.wav", "Bird01.WAV", "bird02.wav", "bird-1.wav"}),
              List().items);
    EXPECT_EQ("c:\\zelmosound", desktop_.Control(Dialog, IDC_FOLDER).text);
    EXPECT_EQ("C:\\ZelmoSound", current);
    // The edit field told its dialog of its new text.
    EXPECT_EQ((std::vector<std::string>{"632 1024", "632 768"}), Commands);

    // A folder that does not exist changes nothing.
    std::strcpy(pattern, "C:\\None\\*.wav");
    DWORD error = 0;
    OnProgram([&] {
        listed = DlgDirListA(Dialog, pattern, IDC_FILELIST, IDC_FOLDER, DDL_ARCHIVE);
        error = GetLastError();
    });
    EXPECT_EQ(FALSE, listed);
    EXPECT_EQ(DWORD{ERROR_FILE_NOT_FOUND}, error);
    EXPECT_STREQ("C:\\None\\*.wav", pattern);
    EXPECT_EQ(4u, List().items.size());
}

TEST_F(SimDialogs, KeysMoveTheSelectionAndTellTheDialogWhatTheProgramsOwnChoiceDoesNot)
{
    for (const char *name : {"bird00.wav", "bird01.wav", "bird02.wav", "bird鳥.wav"})
        desktop_.WriteFile(std::string("C:\\ZelmoSound\\") + name, name);
    OpenListDialog();
    char selected[MAX_PATH];
    std::memset(selected, 'x', sizeof selected);
    BOOL isFolder = TRUE;
    OnProgram([&] {
        char pattern[MAX_PATH] = "*.wav";
        (void)DlgDirListA(Dialog, pattern, IDC_FILELIST, 0, DDL_ARCHIVE);
        isFolder = DlgDirSelectExA(Dialog, selected, MAX_PATH, IDC_FILELIST);
    });
    EXPECT_EQ(FALSE, isFolder);
    EXPECT_EQ('x', selected[0]); // nothing selected: nothing written

    DWORD error = 0;
    OnProgram([&] {
        (void)SendDlgItemMessageA(Dialog, IDC_FILELIST, LB_SETCURSEL, 3, 0);
        SetLastError(0);
        // "bird" and all three bytes of 鳥 fill the buffer, whose last byte then becomes the
        // zero: the cut falls inside the character, as Wine's conversion leaves it.
        isFolder = DlgDirSelectExA(Dialog, selected, 7, IDC_FILELIST);
        error = GetLastError();
    });
    EXPECT_EQ(FALSE, isFolder);
    EXPECT_STREQ("bird\xe9\xb3", selected);
    EXPECT_EQ(DWORD{ERROR_INSUFFICIENT_BUFFER}, error);
    EXPECT_TRUE(Commands.empty());

    OnProgram([] { (void)SetFocus(GetDlgItem(Dialog, IDC_FILELIST)); });
    HWND list = List().hwnd;
    desktop_.Post(list, WM_KEYDOWN, VK_HOME, 0);
    desktop_.Post(list, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(1, List().selection);
    desktop_.Post(list, WM_KEYDOWN, VK_END, 0);
    desktop_.Post(list, WM_KEYDOWN, VK_DOWN, 0); // at the end: no move, still a notification
    EXPECT_EQ(3, List().selection);
    // The focus leaves the first radio button (BS_NOTIFY) for the list.
    EXPECT_EQ((std::vector<std::string>{"601 7", "634 4", "634 1", "634 1", "634 1", "634 1"}),
              Commands);
    OnProgram([&] { isFolder = DlgDirSelectExA(Dialog, selected, MAX_PATH, IDC_FILELIST); });
    EXPECT_STREQ("bird鳥.wav", selected);

    // Listed again, nothing is selected; Down selects the first entry.
    OnProgram([] {
        char pattern[MAX_PATH] = "*.wav";
        (void)DlgDirListA(Dialog, pattern, IDC_FILELIST, 0, DDL_ARCHIVE);
    });
    EXPECT_EQ(-1, List().selection);
    desktop_.Post(list, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(0, List().selection);
}

// ---- the file-open dialog, with the register dialog's settings

char File[MAX_PATH];
OPENFILENAMEA Ofn;
std::optional<BOOL> Chosen;
DWORD DialogError = 0;
std::string Current;

void Open(DWORD maxFile = MAX_PATH, DWORD flags = OFN_FILEMUSTEXIST)
{
    std::memset(File, 0, sizeof File);
    std::memset(&Ofn, 0, sizeof Ofn);
    Ofn.lStructSize = sizeof Ofn;
    Ofn.hwndOwner = OwnerWindow;
    Ofn.lpstrFilter = "WAVE files ( *.wav )\0*.wav\0";
    Ofn.lpstrFile = File;
    Ofn.nMaxFile = maxFile;
    Ofn.lpstrTitle = "音ファイルの参照 どのファイル？";
    Ofn.Flags = flags;
    Ofn.lpstrDefExt = "wav";
    Chosen.reset();
    Chosen = GetOpenFileNameA(&Ofn);
    DialogError = CommDlgExtendedError();
    char folder[MAX_PATH];
    Current = std::string(folder, GetCurrentDirectoryA(MAX_PATH, folder));
}

TEST_F(SimDialogs, TheFileOpenDialogCancelledChangesNothing)
{
    EXPECT_THROW(desktop_.ChooseFile("C:\\Music\\Song.wav"), sim::SimulationError);
    OnProgram([] { Open(); });
    auto dialog = desktop_.FileDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ("音ファイルの参照 どのファイル？", dialog->title);
    EXPECT_EQ("ComboBoxEx32", desktop_.Control(dialog->hwnd, 0x47c).className); // cmb13
    EXPECT_FALSE(desktop_.Window(OwnerWindow)->enabled);
    desktop_.CancelFileDialog();
    EXPECT_EQ(FALSE, Chosen.value_or(-1));
    EXPECT_EQ(0u, DialogError);
    EXPECT_STREQ("", File);
    EXPECT_EQ("C:\\ZelmoSound", Current);
    EXPECT_TRUE(desktop_.Window(OwnerWindow)->enabled);
    EXPECT_FALSE(desktop_.FileDialog());
}

TEST_F(SimDialogs, AFileChosenInAnotherFolderMakesThatFolderCurrent)
{
    desktop_.WriteFile("C:\\Music\\Song.wav", "song");
    std::vector<std::string> events;
    desktop_.Subscribe([&](const sim::Event &event) {
        std::string json = event.Json();
        if (event.kind.rfind("filedialog.", 0) == 0)
            events.push_back(json.substr(json.find("\"event")));
    });
    OnProgram([] { Open(); });
    desktop_.ChooseFile("C:\\Music\\Song.wav");
    EXPECT_EQ(TRUE, Chosen.value_or(-1));
    EXPECT_STREQ("C:\\Music\\Song.wav", File);
    EXPECT_EQ(9, Ofn.nFileOffset);
    EXPECT_EQ(14, Ofn.nFileExtension);
    EXPECT_EQ(DWORD{OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST}, Ofn.Flags);
    EXPECT_EQ("C:\\Music", Current);
    EXPECT_EQ((std::vector<std::string>{
                  R"("event":"filedialog.open","title":"音ファイルの参照 どのファイル？"})",
                  R"("event":"filedialog.close","file":"C:\\Music\\Song.wav","chosen":true})"}),
              events);

    // Told not to, the dialog leaves the current directory as it was.
    OnProgram([] {
        (void)SetCurrentDirectoryA("C:\\ZelmoSound");
        Open(MAX_PATH, OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR);
    });
    desktop_.ChooseFile("C:\\Music\\Song.wav");
    EXPECT_EQ("C:\\ZelmoSound", Current);
}

TEST_F(SimDialogs, ANameIsTakenInTheFolderShownAndGetsTheDefaultExtension)
{
    desktop_.WriteFile("C:\\Music\\Song.wav", "song");
    OnProgram([] { Open(); });
    // A folder typed in opens it, and its wave files are listed.
    desktop_.ChooseFile("C:\\Music");
    ASSERT_TRUE(desktop_.FileDialog());
    EXPECT_EQ(std::vector<std::string>{"Song.wav"},
              desktop_.Control(desktop_.FileDialog()->hwnd, 0x460).items);
    desktop_.ChooseFile("song");
    EXPECT_EQ(TRUE, Chosen.value_or(-1));
    EXPECT_STREQ("C:\\Music\\song.wav", File);
}

TEST_F(SimDialogs, AMissingFileIsRefusedWithABoxOverTheDialogWhichStays)
{
    OnProgram([] { Open(); });
    HWND dialog = desktop_.FileDialog()->hwnd;
    desktop_.ChooseFile("C:\\ZelmoSound\\none.wav");
    ASSERT_EQ(1u, desktop_.OpenMessageBoxes().size());
    EXPECT_EQ(dialog, desktop_.OpenMessageBoxes()[0].owner);
    EXPECT_FALSE(desktop_.Window(dialog)->enabled);
    desktop_.AnswerMessageBox(IDOK);
    EXPECT_TRUE(desktop_.Window(dialog)->enabled);
    EXPECT_FALSE(Chosen);
    desktop_.CancelFileDialog();
    EXPECT_EQ(FALSE, Chosen.value_or(-1));
}

TEST_F(SimDialogs, APathLongerThanTheBufferIsRefusedAndSaysSo)
{
    desktop_.WriteFile("C:\\Music\\Song.wav", "song");
    OnProgram([] { Open(8); });
    desktop_.ChooseFile("C:\\Music\\Song.wav");
    EXPECT_EQ(FALSE, Chosen.value_or(-1));
    EXPECT_EQ(DWORD{FNERR_BUFFERTOOSMALL}, DialogError);
}

} // namespace
