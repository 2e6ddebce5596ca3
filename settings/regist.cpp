// The register dialog. The file named in field 631 (typed, or chosen with the file-open dialog)
// is copied into the program folder as the selected group's next sound file, prefix + the
// group's file count + ".wav", and the group counts it at once, so the scheduler can play it
// at its next pass. The listen button plays the named file first. While the dialog is open the
// main window's tick leaves the scheduler alone (RegistDlg).
#include "settings/regist.h"

#include "settings/groupcontrols.h"

#include "ground/globals.h"
#include "ground/path.h"
#include "ground/placement.h"
#include "ground/sound.h"
#include "resources/resource.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

constexpr char ReferenceTitle[] = "音ファイルの参照 どのファイル？";
constexpr char ReferenceFilter[] = "WAVE files ( *.wav )\0*.wav\0";
constexpr char ReferenceExtension[] = "wav";

constexpr char NoNameMessage[] = "ファイル名を入力して下さい。";
constexpr char RegisteredMessage[] = "指定のファイルは %s%02d.wav として登録されました。";
constexpr char CopyFailedMessage[] = "ファイルのコピーに失敗しました。\n"
                                     "ファイルが存在しないか登録情報に誤りがあります。";

// The group a fresh dialog offers: "ユーザ１".
constexpr int FirstOffered = 17;
// The listen button takes at most 79 characters of the name, the register button 259.
constexpr int ListenRoom = 80;

// Scratch names tried for one copy before the copy is given up.
constexpr int ScratchNames = 100;

// The nth scratch name of a sound file: its own name with the extension "wav" replaced by "~"
// and two digits ("bird04.~00"). No group's pattern ("prefix*.wav") matches it, so it is never
// counted or played, and it is exactly as long as the sound file's name, so it fits wherever
// that fits.
void ScratchName(char (&scratch)[MAX_PATH * 2], const char *destination, int n)
{
    std::snprintf(scratch, sizeof scratch, "%.*s~%02d",
                  static_cast<int>(std::strlen(destination) - 3), destination, n);
}

// A scratch copy has its source's attributes, as every copy does; a read-only one could be
// neither deleted nor, everywhere, renamed. It is made writable for as long as it is a scratch
// file; the attributes it had come back once it has its own name.
DWORD MakeWritable(const char *path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        (void)SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    return attributes;
}

// Copies source to destination, failing when destination exists. The copy is made under a
// scratch name that did not exist before (a file of the user's own is never replaced) and only
// then moved to its own name, in one step that fails if that name exists: a copy that fails
// midway (a full disk, a source that goes away) never leaves a partial file under a sound
// file's name, where it would be counted and played from then on, and whatever fails, the
// scratch file goes again.
bool CopyAsNewFile(const char *source, const char *destination)
{
    char scratch[MAX_PATH * 2];
    for (int n = 0; n < ScratchNames; ++n) {
        ScratchName(scratch, destination, n);
        if (GetFileAttributesA(scratch) != INVALID_FILE_ATTRIBUTES) continue;
        if (!CopyFileA(source, scratch, TRUE)) {
            // Made by someone else in the meantime: that one is not ours to remove.
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            // Whatever a failed copy left under the name that was free is ours.
            if (MakeWritable(scratch) != INVALID_FILE_ATTRIBUTES) (void)DeleteFileA(scratch);
            return false;
        }
        const DWORD attributes = MakeWritable(scratch);
        if (!MoveFileA(scratch, destination)) {
            // The name is taken (or the folder refuses the rename): the whole copy goes again.
            (void)DeleteFileA(scratch);
            return false;
        }
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            (void)SetFileAttributesA(destination, attributes);
        return true;
    }
    return false;
}

void ListenToNamedFile(HWND dialog)
{
    char name[ListenRoom] = {};
    (void)GetDlgItemTextA(dialog, IDC_FILENAME, name, ListenRoom);
    // A name that cannot be played is silent and says nothing.
    if (name[0] != '\0') (void)PlaySoundA(name, nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
}

void InitRegist(HWND dialog)
{
    RegistDlg = 1;
    PlaceDialog(dialog);
    (void)CheckRadioButton(dialog, IDC_GROUP_FIRST, IDC_GROUP_LAST, RadioOf(FirstOffered));
}

} // namespace

INT_PTR CALLBACK RegistProperty(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        InitRegist(dialog);
        // The focus goes to the first tab stop, the file name field.
        return TRUE;
    case WM_COMMAND:
        // The whole command word: a plain click (code 0) or Enter.
        switch (wParam) {
        case IDC_FINISH:
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_REGIST:
            RegistWave(dialog);
            return TRUE;
        case IDC_REFERENCE:
            ZelmoReference(dialog);
            return TRUE;
        case IDC_LISTEN:
            ListenToNamedFile(dialog);
            return TRUE;
        default:
            return FALSE; // the Esc key's cancel command included
        }
    case WM_CLOSE:
        RegistDlg = 0;
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

void ZelmoReference(HWND dialog)
{
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.hInstance = hInst;
    ofn.lpstrFilter = ReferenceFilter;
    ofn.lpstrCustomFilter = nullptr;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = nullptr;
    ofn.lpstrInitialDir = nullptr;
    ofn.lpstrTitle = ReferenceTitle;
    ofn.Flags = OFN_FILEMUSTEXIST;
    ofn.lpstrDefExt = ReferenceExtension;
    const bool chosen = GetOpenFileNameA(&ofn) != FALSE;
    // Confirmed in another folder, the dialog makes that folder the current directory; every
    // sound is played by bare name from the program folder, so it must be current again.
    (void)SetCurrentDirectoryA(ProgramFolder().c_str());
    if (chosen) (void)SetDlgItemTextA(dialog, IDC_FILENAME, file);
}

void RegistWave(HWND dialog)
{
    // Read with room to spare: a name longer than the 259 characters a path may have is refused
    // as a copy that cannot be made, never cut short, which could name another file.
    char source[MAX_PATH * 2] = {};
    (void)GetDlgItemTextA(dialog, IDC_FILENAME, source, sizeof source);
    if (source[0] == '\0') {
        (void)MessageBoxA(dialog, NoNameMessage, SetUpData, MB_OK | MB_ICONSTOP);
        return;
    }
    if (std::strlen(source) >= MAX_PATH) {
        (void)MessageBoxA(dialog, CopyFailedMessage, SetUpData, MB_OK | MB_ICONWARNING);
        return;
    }
    const int group = SelectedGroup(dialog);
    // The radio buttons always hold a selection; without one there is no group to copy into.
    if (group == InCount) return;
    const int number = In[group].FileCount;
    // Room for the longest program folder, prefix and number: the name is never cut short.
    char destination[MAX_PATH * 2];
    std::snprintf(destination, sizeof destination, "%s%s%02d.wav", ProgramFolder().c_str(),
                  WaveFile[group], number);
    if (!CopyAsNewFile(source, destination)) {
        (void)MessageBoxA(dialog, CopyFailedMessage, SetUpData, MB_OK | MB_ICONWARNING);
        return;
    }
    char registered[sizeof RegisteredMessage + 32];
    std::snprintf(registered, sizeof registered, RegisteredMessage, WaveFile[group], number);
    (void)MessageBoxA(dialog, registered, SetUpData, MB_OK | MB_ICONINFORMATION);
    In[group].Present = 1;
    In[group].FileCount += 1;
}
