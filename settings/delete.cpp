// The delete dialog. A group's files ("prefix*.wav" in the program folder) are listed, the user
// selects one, may listen to it, and deletes it after a question whose default answer is No.
// The group's numbered files are then moved down to close the gap, in their old order, and the
// group is counted again from the folder. While the dialog is open the main window's tick leaves
// the scheduler alone (DeleteDlg).
#include "settings/delete.h"

#include "settings/groupcontrols.h"

#include "ground/globals.h"
#include "ground/path.h"
#include "ground/placement.h"
#include "ground/sound.h"
#include "resources/resource.h"

#include <cstdio>
#include <string>

namespace
{

constexpr char NothingSelectedMessage[] = "音ファイルを選択して下さい。";
constexpr char QuestionMessage[] = "指定の %s を削除します。\nよろしいですか？";
constexpr char DeleteFailedMessage[] =
    "音ファイルの削除に失敗しました。\n"
    "ファイルがオープンされているか、読み込み専用ファイルと思われます。";
constexpr char DeletedMessage[] = "削除しました。\n音情報は再設定されました。";

// The question names at most the first 59 characters of the file name.
constexpr int QuestionNameRoom = 60;
// Numbers this far above the group's count before the deletion are left where they are.
constexpr int RenumberReach = 9;

// A file search for the exact name, no wildcards: does the name exist?
bool Exists(const char *path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

void NumberedName(char (&name)[MAX_PATH * 2], const std::string &folder, int group, int number)
{
    std::snprintf(name, sizeof name, "%s%s%02d.wav", folder.c_str(), WaveFile[group], number);
}

// Closes the gaps among the group's numbers 00 to last: each missing number takes the next file
// above it. Every step renames one existing file onto a name that is free, and a rename that
// fails leaves both names as they were, so no file is ever lost; a failure is not reported
// (the recount that follows gives the true number of files).
void CloseGaps(int group, int last)
{
    const std::string folder = ProgramFolder();
    char missing[MAX_PATH * 2];
    char above[MAX_PATH * 2];
    for (int d = 0; d <= last; ++d) {
        NumberedName(missing, folder, group, d);
        if (Exists(missing)) continue;
        for (int e = d + 1; e <= last; ++e) {
            NumberedName(above, folder, group, e);
            if (!Exists(above)) continue;
            (void)MoveFileA(above, missing);
            break;
        }
    }
}

void ListenToSelectedFile(HWND dialog)
{
    char path[MAX_PATH];
    if (ZelmoGetSelectPath(dialog, path) == 1 && path[0] != '\0')
        (void)PlaySoundA(path, nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
}

// The entry the user selected in the list goes into the selected-file field.
void TakeSelectedEntry(HWND dialog)
{
    // Zero-filled: an entry cut to the buffer ends at its last whole character.
    char entry[MAX_PATH] = {};
    (void)DlgDirSelectExA(dialog, entry, MAX_PATH, IDC_FILELIST);
    (void)SetDlgItemTextA(dialog, IDC_SELECTED, entry);
}

void InitDelete(HWND dialog)
{
    DeleteDlg = 1;
    PlaceDialog(dialog);
    (void)CheckRadioButton(dialog, IDC_GROUP_FIRST, IDC_GROUP_LAST, RadioOf(0));
    ZelmoSetWaveFile(dialog);
}

INT_PTR OnCommand(HWND dialog, WPARAM command)
{
    const int id = LOWORD(command);
    const int code = HIWORD(command);
    // The three tests run one after the other for the same command.
    if (code == LBN_SELCHANGE && id == IDC_FILELIST) TakeSelectedEntry(dialog);
    if (code == BN_CLICKED && id >= IDC_GROUP_FIRST && id <= IDC_GROUP_LAST)
        ZelmoSetWaveFile(dialog);
    switch (command) {
    case IDC_FINISH:
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case IDC_DELETE:
        if (DeleteWave(dialog) == 1) ZelmoSetWaveFile(dialog);
        return TRUE;
    case IDC_LISTEN:
        ListenToSelectedFile(dialog);
        return TRUE;
    default:
        return FALSE; // the Esc key's cancel command included
    }
}

} // namespace

INT_PTR CALLBACK DeleteProperty(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        InitDelete(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_CLOSE:
        DeleteDlg = 0;
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

void ZelmoSetWaveFile(HWND dialog)
{
    const int group = SelectedGroup(dialog);
    // Room for the longest program folder and prefix; the listing writes the pattern part back.
    char pattern[MAX_PATH * 2];
    std::snprintf(pattern, sizeof pattern, "%s%s*.wav", ProgramFolder().c_str(),
                  group == InCount ? "" : WaveFile[group]);
    // Plain files only; the listed folder, made the current directory, goes into field 632.
    (void)DlgDirListA(dialog, pattern, IDC_FILELIST, IDC_FOLDER, DDL_ARCHIVE);
    (void)SetDlgItemTextA(dialog, IDC_SELECTED, "");
}

int ZelmoGetSelectPath(HWND dialog, char (&path)[MAX_PATH])
{
    char name[MAX_PATH] = {};
    (void)GetDlgItemTextA(dialog, IDC_SELECTED, name, MAX_PATH);
    path[0] = '\0';
    if (name[0] == '\0') return 0;
    // A path cut short would name another file: it is left empty instead.
    int length = std::snprintf(path, MAX_PATH, "%s%s", ProgramFolder().c_str(), name);
    if (length < 0 || length >= MAX_PATH) path[0] = '\0';
    return 1;
}

int DeleteWave(HWND dialog)
{
    char path[MAX_PATH];
    if (ZelmoGetSelectPath(dialog, path) == 0) {
        (void)MessageBoxA(dialog, NothingSelectedMessage, SetUpData, MB_OK | MB_ICONSTOP);
        return 0;
    }
    char name[QuestionNameRoom] = {};
    (void)GetDlgItemTextA(dialog, IDC_SELECTED, name, QuestionNameRoom);
    char question[sizeof QuestionMessage + QuestionNameRoom];
    std::snprintf(question, sizeof question, QuestionMessage, name);
    if (MessageBoxA(dialog, question, SetUpData, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
        IDYES)
        return 0;
    if (path[0] == '\0' || !DeleteFileA(path)) {
        (void)MessageBoxA(dialog, DeleteFailedMessage, SetUpData, MB_OK | MB_ICONWARNING);
        return 0;
    }
    const int group = SelectedGroup(dialog);
    if (group < InCount) CloseGaps(group, In[group].FileCount + RenumberReach);
    (void)MessageBoxA(dialog, DeletedMessage, SetUpData, MB_OK | MB_ICONINFORMATION);
    if (group < InCount) {
        const int count = CheckWaveFile(group);
        In[group].Present = count != 0 ? 1 : 0;
        In[group].FileCount = count;
    }
    return 1;
}
