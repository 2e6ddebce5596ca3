// Scenarios of the dialogs the sound-file dialogs rely on: a directory listed into a sorted list
// box with DlgDirListA (what is listed, in which order and letter case, the folder shown, the
// current directory afterwards), the entry taken back with DlgDirSelectExA, the list box's
// selection notifications; and the file-open dialog with the settings the register dialog uses,
// cancelled, confirmed in another folder, with a relative name and with a missing one.
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/probe_resource.h"
#include "tests/conformance/probe/workfolder.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace
{

using probe::Shown;
using probe::Trace;
using probe::TraceResult;

// The control ids of the file-open dialog's templates (dlgs.h): the file name field is a
// combo box on Windows' and Wine's current templates, an edit field on older ones.
constexpr int FileNameCombo = 0x47c; // cmb13
constexpr int FileNameEdit = 0x480;  // edt1

// The register dialog's settings for the file-open dialog.
constexpr char OpenTitle[] = "音ファイルの参照 どのファイル？";
constexpr char OpenFilter[] = "WAVE files ( *.wav )\0*.wav\0";

HWND Owner = nullptr;
std::string Work;

// ---- the directory list

std::string ControlText(HWND dialog, int id)
{
    char text[MAX_PATH] = "";
    (void)GetDlgItemTextA(dialog, id, text, MAX_PATH);
    return text;
}

void TraceList(HWND dialog)
{
    int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PROBE_LIST, LB_GETCOUNT, 0, 0));
    std::string line = "list " + std::to_string(count) + ":";
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = "";
        (void)SendDlgItemMessageA(dialog, IDC_PROBE_LIST, LB_GETTEXT, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(text));
        line += std::string(" ") + text;
    }
    Trace(line);
}

void TraceSelection(HWND dialog)
{
    TraceResult("LB_GETCURSEL", SendDlgItemMessageA(dialog, IDC_PROBE_LIST, LB_GETCURSEL, 0, 0));
}

void DirList(HWND dialog, const std::string &shown, const std::string &pattern, int staticId)
{
    char buffer[MAX_PATH];
    std::snprintf(buffer, sizeof buffer, "%s", pattern.c_str());
    SetLastError(0);
    int result = DlgDirListA(dialog, buffer, IDC_PROBE_LIST, staticId, DDL_ARCHIVE);
    TraceResult("DlgDirListA " + shown, result, result == 0);
    Trace("pattern after: " + Shown(buffer));
    TraceList(dialog);
    if (staticId) Trace("folder field: " + Shown(ControlText(dialog, staticId)));
    probe::TraceCurrentDirectory();
}

void SelectEx(HWND dialog, int size)
{
    char buffer[MAX_PATH];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[MAX_PATH - 1] = '\0';
    SetLastError(0);
    BOOL result = DlgDirSelectExA(dialog, buffer, size, IDC_PROBE_LIST);
    TraceResult("DlgDirSelectExA size " + std::to_string(size), result, true);
    // The text up to its end, and the byte after it, which shows what was written.
    size_t shown =
        std::strlen(buffer) + 2 < sizeof buffer ? std::strlen(buffer) + 2 : sizeof buffer;
    Trace("selected: " + probe::Hex(std::string(buffer, shown)));
}

INT_PTR CALLBACK DirListDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        DirList(dialog, "work\\bird*.wav", Work + "bird*.wav", IDC_PROBE_PATH);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        (void)EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

HWND DirListWindow()
{
    return probe::FindTopWindow("#32770", "Probe directory list");
}

void DirectoryList()
{
    Work = probe::MakeWorkFolder();
    for (const char *name :
         {"bird00.wav", "Bird02.WAV", "bird01.wav", "bird_x.wav", "bird-1.wav", "birdsong.wav",
          "bird.wav", "bird10.wav", "BIRD11.wav", "crickt00.wav", "bird03.wav", "bird04.wav"})
        (void)probe::MakeFile(Work + name, name);
    (void)SetFileAttributesA((Work + "bird03.wav").c_str(), FILE_ATTRIBUTE_READONLY);
    (void)SetFileAttributesA((Work + "bird04.wav").c_str(), FILE_ATTRIBUTE_HIDDEN);
    (void)CreateDirectoryA((Work + "birdhouse.wav").c_str(), nullptr);
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(
        Owner,
        {
            [] {
                HWND dialog = DirListWindow();
                TraceSelection(dialog);
                SelectEx(dialog, MAX_PATH);
                // Set by the program: no notification.
                TraceResult("LB_SETCURSEL 2",
                            SendDlgItemMessageA(dialog, IDC_PROBE_LIST, LB_SETCURSEL, 2, 0));
                SelectEx(dialog, MAX_PATH);
                SelectEx(dialog, 5);
                SelectEx(dialog, 1);
                (void)SetFocus(GetDlgItem(dialog, IDC_PROBE_LIST));
                probe::UserKey(VK_HOME);
            },
            [] {
                TraceSelection(DirListWindow());
                probe::UserKey(VK_HOME);
            },
            [] {
                TraceSelection(DirListWindow());
                probe::UserKey(VK_DOWN);
            },
            [] {
                TraceSelection(DirListWindow());
                probe::UserKey(VK_END);
            },
            [] {
                TraceSelection(DirListWindow());
                probe::UserKey(VK_DOWN);
            },
            [] {
                TraceSelection(DirListWindow());
                probe::UserKey(VK_UP);
            },
            [] {
                HWND dialog = DirListWindow();
                TraceSelection(dialog);
                // Relative to the folder the last listing made current; a static text this time.
                DirList(dialog, "*.wav", "*.wav", IDC_PROBE_LABEL);
                TraceSelection(dialog);
                // Down with nothing selected.
                probe::UserKey(VK_DOWN);
            },
            [] {
                HWND dialog = DirListWindow();
                TraceSelection(dialog);
                DirList(dialog, "nomatch*.wav", "nomatch*.wav", IDC_PROBE_LABEL);
                // Down in an empty list.
                probe::UserKey(VK_DOWN);
            },
            [] {
                HWND dialog = DirListWindow();
                TraceSelection(dialog);
                DirList(dialog, "..\\WORK\\BIRD0*.WAV", "..\\WORK\\BIRD0*.WAV", IDC_PROBE_PATH);
                DirList(dialog, "work\\nofolder\\*.wav", Work + "nofolder\\*.wav", IDC_PROBE_LABEL);
                DirList(dialog, "(empty)", "", 0);
                DirList(dialog, "work\\birdhouse.wav", Work + "birdhouse.wav", IDC_PROBE_LABEL);
            },
            [] { probe::UserClick(DirListWindow(), IDOK); },
        });
    TraceResult("DialogBoxParamA",
                probe::RunProbeDialog(IDD_PROBE_DIRLIST, Owner, "dialog", DirListDialog));
    probe::TraceCurrentDirectory();
    (void)SetCurrentDirectoryA(probe::ProbeFolder().c_str());
    probe::RemoveWorkFolder();
}

// The order of a sorted list box: punctuation, digits and letters ignoring case, texts that
// differ only in letter case, and Japanese texts.
INT_PTR CALLBACK SortedListDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    // Texts that differ in more than letter case, hyphens and apostrophes: the order of texts
    // equal but for those is nothing the program meets (names in one folder differ).
    std::vector<std::string> texts = {"ab", "Ac", "a", "B"};
    for (char c = ' '; c <= '~'; ++c)
        if (!(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z') && c != '-' && c != '\'')
            texts.push_back(std::string("x") + c + "y");
    for (const char *text : {"x-yz", "x'z", "xay", "xZy", "鳥の音", "ユーザ", "あい", "アイウ",
                             "ｘｙｚｚ", "éa", "ea", "fa", "Ｘ"})
        texts.push_back(text);
    for (const std::string &text : texts)
        (void)SendDlgItemMessageA(dialog, IDC_PROBE_LIST, LB_ADDSTRING, 0,
                                  reinterpret_cast<LPARAM>(text.c_str()));
    TraceList(dialog);
    (void)EndDialog(dialog, IDOK);
    return TRUE;
}

void SortedList()
{
    TraceResult("DialogBoxParamA",
                probe::RunProbeDialog(IDD_PROBE_DIRLIST, nullptr, "dialog", SortedListDialog));
}

// A Japanese entry taken back with DlgDirSelectExA into zero-filled buffers too small for it, as
// the delete dialog's buffer would be for a name longer than it.
INT_PTR CALLBACK JapaneseEntryDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    char pattern[MAX_PATH];
    std::snprintf(pattern, sizeof pattern, "%s*.wav", Work.c_str());
    TraceResult("DlgDirListA", DlgDirListA(dialog, pattern, IDC_PROBE_LIST, 0, DDL_ARCHIVE));
    TraceList(dialog);
    TraceResult("LB_SETCURSEL 0", SendDlgItemMessageA(dialog, IDC_PROBE_LIST, LB_SETCURSEL, 0, 0));
    for (int size : {16, 14, 13, 8, 6, 3}) {
        char buffer[16] = {};
        BOOL result = DlgDirSelectExA(dialog, buffer, size, IDC_PROBE_LIST);
        Trace("DlgDirSelectExA size " + std::to_string(size) + " -> " + std::to_string(result) +
              ": " + probe::Hex(std::string(buffer, sizeof buffer)));
    }
    (void)EndDialog(dialog, IDOK);
    return TRUE;
}

void SelectJapaneseEntry()
{
    Work = probe::MakeWorkFolder();
    // Nine bytes of three characters, then ".wav": thirteen bytes.
    (void)probe::MakeFile(Work + "\xe9\xb3\xa5\xe3\x81\xae\xe5\xa3\xb0.wav", "tori");
    TraceResult("DialogBoxParamA",
                probe::RunProbeDialog(IDD_PROBE_DIRLIST, nullptr, "dialog", JapaneseEntryDialog));
    (void)SetCurrentDirectoryA(probe::ProbeFolder().c_str());
    probe::RemoveWorkFolder();
}

// ---- the file-open dialog

// The file-open dialog, found by its title on the first step, while it is the only window of
// that title (a box over it may have the same caption), and kept for the later steps.
HWND Open = nullptr;

HWND OpenDialog()
{
    if (!Open) Open = probe::FindTopWindow("#32770", OpenTitle);
    return Open;
}

// The file name field of the open dialog: the combo box where the template has one.
int NameField(HWND dialog)
{
    return GetDlgItem(dialog, FileNameCombo) ? FileNameCombo : FileNameEdit;
}

void TraceOpenDialog(HWND dialog)
{
    probe::NameWindow(dialog, "open");
    Trace(std::string("open dialog found: ") + (dialog ? "yes" : "no"));
    for (int id : {FileNameCombo, FileNameEdit}) {
        HWND field = GetDlgItem(dialog, id);
        char className[32] = "";
        if (field) (void)GetClassNameA(field, className, sizeof className);
        Trace("control " + std::to_string(id) + ": " + (field ? className : "none"));
    }
    Trace("name field text: " + ControlText(dialog, NameField(dialog)));
    TraceResult("IsWindowEnabled owner", IsWindowEnabled(Owner));
}

void TypeAndConfirm(const std::string &typed)
{
    HWND dialog = OpenDialog();
    TraceOpenDialog(dialog);
    TraceResult("SetDlgItemTextA name field",
                SetDlgItemTextA(dialog, NameField(dialog), typed.c_str()));
    probe::UserClick(dialog, IDOK);
}

// The user types a name and confirms; should a box say something over the dialog, Enter answers
// it, and the dialog is cancelled. When the dialog closes on the first step, the others never run.
std::vector<probe::Step> TypeConfirmOrCancel(std::string (*typed)())
{
    return {
        [typed] { TypeAndConfirm(typed()); },
        [] {
            // A box is over the dialog, which it disables; Enter answers it.
            TraceResult("IsWindowEnabled open", IsWindowEnabled(OpenDialog()));
            probe::UserKey(VK_RETURN);
        },
        [] {
            HWND dialog = OpenDialog();
            TraceResult("IsWindowEnabled open", IsWindowEnabled(dialog));
            Trace("name field text: " + Shown(ControlText(dialog, NameField(dialog))));
            probe::UserClick(dialog, IDCANCEL);
        },
    };
}

void RunOpen(std::vector<probe::Step> steps)
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(Owner, std::move(steps));
    char file[MAX_PATH] = "";
    Open = nullptr;
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = OpenFilter;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = OpenTitle;
    ofn.Flags = OFN_FILEMUSTEXIST;
    ofn.lpstrDefExt = "wav";
    SetLastError(0);
    BOOL result = GetOpenFileNameA(&ofn);
    TraceResult("GetOpenFileNameA", result);
    TraceResult("CommDlgExtendedError", static_cast<long long>(CommDlgExtendedError()));
    Trace("file: " + Shown(file));
    if (result)
        Trace(std::string("at the name's offset: ") + (file + ofn.nFileOffset) +
              ", at the extension's: " + (file + ofn.nFileExtension) + ", flags " +
              std::to_string(ofn.Flags));
    TraceResult("IsWindowEnabled owner", IsWindowEnabled(Owner));
    probe::TraceCurrentDirectory();
    (void)SetCurrentDirectoryA(probe::ProbeFolder().c_str());
}

void OpenCancelled()
{
    Work = probe::MakeWorkFolder();
    (void)probe::MakeFile(Work + "a.wav", "aaa");
    (void)SetCurrentDirectoryA(Work.c_str());
    RunOpen({[] {
        HWND dialog = OpenDialog();
        TraceOpenDialog(dialog);
        probe::UserClick(dialog, IDCANCEL);
    }});
    probe::RemoveWorkFolder();
}

void OpenInAnotherFolder()
{
    Work = probe::MakeWorkFolder();
    (void)CreateDirectoryA((Work + "other").c_str(), nullptr);
    (void)probe::MakeFile(Work + "other\\Chosen.wav", "chosen");
    (void)SetCurrentDirectoryA(Work.c_str());
    RunOpen(TypeConfirmOrCancel([] { return Work + "other\\Chosen.wav"; }));
    probe::RemoveWorkFolder();
}

void OpenRelativeName()
{
    Work = probe::MakeWorkFolder();
    (void)probe::MakeFile(Work + "relative.wav", "relative");
    (void)SetCurrentDirectoryA(Work.c_str());
    RunOpen(TypeConfirmOrCancel([] { return std::string("Relative.WAV"); }));
    probe::RemoveWorkFolder();
}

void OpenWithoutExtension()
{
    Work = probe::MakeWorkFolder();
    (void)probe::MakeFile(Work + "plain.wav", "plain");
    (void)SetCurrentDirectoryA(Work.c_str());
    RunOpen(TypeConfirmOrCancel([] { return Work + "plain"; }));
    probe::RemoveWorkFolder();
}

// The file must exist: a box over the dialog says so, and the dialog stays.
void OpenMissingFile()
{
    Work = probe::MakeWorkFolder();
    (void)SetCurrentDirectoryA(Work.c_str());
    RunOpen(TypeConfirmOrCancel([] { return Work + "missing.wav"; }));
    probe::RemoveWorkFolder();
}

constexpr probe::Scenario Scenarios[] = {
    {"sorted-list", SortedList},
    {"directory-list", DirectoryList},
    {"select-japanese-entry", SelectJapaneseEntry},
    {"open-cancelled", OpenCancelled},
    {"open-in-another-folder", OpenInAnotherFolder},
    {"open-relative-name", OpenRelativeName},
    {"open-without-extension", OpenWithoutExtension},
    {"open-missing-file", OpenMissingFile},
};

} // namespace

extern const probe::Area filedialogsArea = {"filedialogs", Scenarios, std::size(Scenarios)};
