// The file-open dialog (GetOpenFileNameA): a real modal dialog on the simulated desktop with the
// control ids of Windows' own template, so a user, a test or the conformance probe works it the
// same way everywhere: type a name into the file name field (cmb13) and press Open (IDOK), or
// Cancel. Measured against Wine by the conformance probe (filedialogs/open-*):
//
// - the owner is disabled while it is open; Cancel gives FALSE, CommDlgExtendedError 0 and the
//   buffer as it was;
// - a name is taken relative to the folder shown (at first the current directory) and comes
//   back with that folder as typed, in the letter case typed; a name without extension that
//   does not exist gets the default extension;
// - with OFN_FILEMUSTEXIST a name that does not exist gets a box over the dialog, which stays;
//   the flags come back with OFN_PATHMUSTEXIST added;
// - confirmed, the chosen file's folder becomes the process's current directory, as Windows
//   does (OFN_NOCHANGEDIR puts the old one back). Wine leaves it: a documented exception.
//
// A folder typed into the field is opened, and a pattern with wildcards lists those files.
#include "platform/sim/dialogs.h"

#include <cstddef>
#include <cstring>

namespace sim
{

namespace
{

constexpr char TemplateName[] = "GetOpenFileNameA";
constexpr int FileList = 0x460;   // lst1
constexpr int TypeList = 0x470;   // cmb1
constexpr int FolderList = 0x471; // cmb2
constexpr int NameField = 0x47c;  // cmb13
constexpr char NameFieldClass[] = "ComboBoxEx32";

struct OpenDialog {
    OPENFILENAMEA *ofn = nullptr;
    std::string folder;  // the folder shown, with its trailing backslash
    std::string pattern; // the files listed
    std::string startDirectory;
};

OpenDialog *Running = nullptr;

DialogTemplate OpenTemplate(const char *title)
{
    DialogTemplate t;
    t.name = TemplateName;
    t.caption = title ? title : "Open";
    t.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.cx = 280;
    t.cy = 164;
    auto add = [&](const char *className, const char *text, int id, int x, int y, int cx, int cy,
                   DWORD style) {
        ControlTemplate c;
        c.className = className;
        c.text = text;
        c.id = id;
        c.x = x, c.y = y, c.cx = cx, c.cy = cy;
        c.style = WS_CHILD | WS_VISIBLE | style;
        t.controls.push_back(c);
    };
    add("STATIC", "Look in:", -1, 6, 6, 60, 8, SS_LEFT);
    add("COMBOBOX", "", FolderList, 66, 4, 174, 200, CBS_DROPDOWNLIST | WS_TABSTOP);
    add("LISTBOX", "", FileList, 6, 22, 268, 78,
        LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP);
    add("STATIC", "File name:", 0x442, 6, 106, 76, 10, SS_LEFT);
    add(NameFieldClass, "", NameField, 84, 104, 130, 100, CBS_DROPDOWN | WS_TABSTOP);
    add("STATIC", "Files of type:", 0x441, 6, 124, 76, 10, SS_LEFT);
    add("COMBOBOX", "", TypeList, 84, 122, 130, 100, CBS_DROPDOWNLIST | WS_TABSTOP);
    add("BUTTON", "Open", IDOK, 222, 104, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP);
    add("BUTTON", "Cancel", IDCANCEL, 222, 122, 50, 14, BS_PUSHBUTTON | WS_TABSTOP);
    return t;
}

// The name field is an editable combo box: its text is its window text.
void RegisterNameFieldClass(Process *process)
{
    std::string key = Upper(NameFieldClass);
    if (process->classes.count(key)) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = NameFieldClass;
    process->classes[key] = wc;
    process->classNames[key] = NameFieldClass;
}

// The filter's descriptions and patterns: pairs of texts, each ended by a zero.
std::vector<std::pair<std::string, std::string>> Filters(LPCSTR filter)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const char *at = filter; at && *at;) {
        std::string description = at;
        at += description.size() + 1;
        std::string pattern = at;
        at += pattern.size() + 1;
        pairs.push_back({description, pattern});
        if (pattern.empty()) break;
    }
    return pairs;
}

bool IsAbsolute(const std::string &path)
{
    return (path.size() >= 2 && path[1] == ':') ||
           (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

void ShowFolder(HWND dialog, OpenDialog &state)
{
    (void)SendDlgItemMessageA(dialog, FolderList, CB_RESETCONTENT, 0, 0);
    std::string shown =
        state.folder.size() > 3 ? state.folder.substr(0, state.folder.size() - 1) : state.folder;
    (void)SendDlgItemMessageA(dialog, FolderList, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(shown.c_str()));
    (void)SendDlgItemMessageA(dialog, FolderList, CB_SETCURSEL, 0, 0);
    (void)SendDlgItemMessageA(dialog, FileList, LB_RESETCONTENT, 0, 0);
    std::string files;
    for (size_t start = 0; start <= state.pattern.size();) {
        size_t end = state.pattern.find(';', start);
        if (end == std::string::npos) end = state.pattern.size();
        files = state.folder + state.pattern.substr(start, end - start);
        if (end > start)
            (void)SendDlgItemMessageA(dialog, FileList, LB_DIR, DDL_DIRECTORY,
                                      reinterpret_cast<LPARAM>(files.c_str()));
        start = end + 1;
    }
}

void Warn(HWND dialog, const std::string &text)
{
    char title[MAX_PATH] = "";
    (void)GetWindowTextA(dialog, title, MAX_PATH);
    (void)MessageBoxA(dialog, text.c_str(), title, MB_OK | MB_ICONWARNING);
}

// The chosen file goes back in the caller's record; false when its buffer is too small.
bool ReturnFile(OpenDialog &state, const std::string &path)
{
    OPENFILENAMEA &ofn = *state.ofn;
    if (!ofn.lpstrFile || path.size() + 1 > ofn.nMaxFile) {
        S().commonDialogError = FNERR_BUFFERTOOSMALL;
        // The size it needs, in the buffer's first two bytes.
        if (ofn.lpstrFile && ofn.nMaxFile >= 2) {
            WORD needed = static_cast<WORD>(path.size() + 1);
            std::memcpy(ofn.lpstrFile, &needed, sizeof needed);
        }
        return false;
    }
    std::memcpy(ofn.lpstrFile, path.c_str(), path.size() + 1);
    size_t name = path.find_last_of('\\') + 1;
    size_t dot = path.find_last_of('.');
    ofn.nFileOffset = static_cast<WORD>(name);
    ofn.nFileExtension = static_cast<WORD>(dot == std::string::npos || dot < name ? path.size()
                                           : dot + 1 == path.size()               ? 0
                                                                                  : dot + 1);
    if (ofn.Flags & OFN_FILEMUSTEXIST) ofn.Flags |= OFN_PATHMUSTEXIST;
    if (ofn.lpstrFileTitle && ofn.nMaxFileTitle > 0) {
        std::string title = path.substr(name).substr(0, ofn.nMaxFileTitle - 1);
        std::memcpy(ofn.lpstrFileTitle, title.c_str(), title.size() + 1);
    }
    (void)SetCurrentDirectoryA(path.substr(0, name).c_str());
    return true;
}

// Open: a folder is opened, a pattern lists its files, a file that exists (or may be missing)
// ends the dialog.
void Open(HWND dialog, OpenDialog &state)
{
    char typed[MAX_PATH * 2] = "";
    (void)GetDlgItemTextA(dialog, NameField, typed, sizeof typed);
    std::string name = typed;
    if (name.empty()) return;
    std::string path = NormalizeWindowsPath(IsAbsolute(name) ? name : state.folder + name);
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        state.folder = path.back() == '\\' ? path : path + "\\";
        (void)SetDlgItemTextA(dialog, NameField, "");
        ShowFolder(dialog, state);
        return;
    }
    std::string leaf = path.substr(path.find_last_of('\\') + 1);
    if (leaf.find_first_of("*?") != std::string::npos) {
        state.folder = path.substr(0, path.size() - leaf.size());
        state.pattern = leaf;
        (void)SetDlgItemTextA(dialog, NameField, "");
        ShowFolder(dialog, state);
        return;
    }
    const OPENFILENAMEA &ofn = *state.ofn;
    if (attributes == INVALID_FILE_ATTRIBUTES && ofn.lpstrDefExt && *ofn.lpstrDefExt &&
        leaf.find('.') == std::string::npos)
        path += std::string(".") + ofn.lpstrDefExt;
    bool exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    std::string folder = path.substr(0, path.find_last_of('\\') + 1);
    DWORD folderAttributes = GetFileAttributesA(folder.c_str());
    bool folderExists = folderAttributes != INVALID_FILE_ATTRIBUTES &&
                        (folderAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!exists && !folderExists && (ofn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST))) {
        Warn(dialog, path + "\nThe path does not exist.\nCheck the path and try again.");
        return;
    }
    if (!exists && (ofn.Flags & OFN_FILEMUSTEXIST)) {
        Warn(dialog, leaf + "\nFile not found.\nCheck the file name and try again.");
        return;
    }
    // A result other than IDOK and IDCANCEL: the dialog failed (the buffer is too small).
    (void)EndDialog(dialog, ReturnFile(state, path) ? IDOK : 0);
}

INT_PTR CALLBACK OpenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    (void)lParam;
    OpenDialog *state = Running;
    switch (message) {
    case WM_INITDIALOG: {
        const OPENFILENAMEA &ofn = *state->ofn;
        auto filters = Filters(ofn.lpstrFilter);
        for (const auto &[description, pattern] : filters)
            (void)SendDlgItemMessageA(dialog, TypeList, CB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(description.c_str()));
        size_t chosen = ofn.nFilterIndex > 0 ? ofn.nFilterIndex - 1 : 0;
        if (chosen >= filters.size()) chosen = 0;
        state->pattern = filters.empty() ? "*.*" : filters[chosen].second;
        (void)SendDlgItemMessageA(dialog, TypeList, CB_SETCURSEL, chosen, 0);
        (void)SetDlgItemTextA(dialog, NameField, ofn.lpstrFile ? ofn.lpstrFile : "");
        ShowFolder(dialog, *state);
        (void)SetFocus(GetDlgItem(dialog, NameField));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            Open(dialog, *state);
            return TRUE;
        case IDCANCEL:
            (void)EndDialog(dialog, IDCANCEL);
            return TRUE;
        case FileList: {
            // A file chosen in the list goes into the name field.
            if (HIWORD(wParam) != LBN_SELCHANGE) return FALSE;
            char entry[MAX_PATH] = "";
            LRESULT index = SendDlgItemMessageA(dialog, FileList, LB_GETCURSEL, 0, 0);
            if (index != LB_ERR)
                (void)SendDlgItemMessageA(dialog, FileList, LB_GETTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(entry));
            if (entry[0] && entry[0] != '[') (void)SetDlgItemTextA(dialog, NameField, entry);
            return TRUE;
        }
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void Emit(const char *kind, std::vector<std::pair<std::string, std::string>> fields)
{
    Event event;
    event.kind = kind;
    event.fields = std::move(fields);
    Desktop::Current().Emit(event);
}

HWND RequireFileDialog(const Desktop &desktop, const char *action)
{
    auto dialog = desktop.FileDialog();
    if (!dialog)
        throw SimulationError(std::string(action) + ": no file-open dialog is open at " +
                              FormatTime(desktop.Now()));
    return dialog->hwnd;
}

} // namespace

// ---- Desktop methods

std::optional<DialogInfo> Desktop::FileDialog() const
{
    return Dialog(TemplateName);
}

void Desktop::ChooseFile(const std::string &windowsPath)
{
    HWND dialog = RequireFileDialog(*this, "ChooseFile");
    // The name goes into the field as the conformance probe puts it there under Wine, whose
    // field is an editable combo box: SetDlgItemTextA.
    if (!Window(dialog)->enabled)
        throw SimulationError("ChooseFile: the dialog is disabled (a modal window is over it); "
                              "no user can reach it");
    Input(Window(dialog)->process,
          [dialog, windowsPath] { (void)SetDlgItemTextA(dialog, NameField, windowsPath.c_str()); });
    if (FileDialog()) Click(dialog, IDOK);
}

void Desktop::CancelFileDialog()
{
    Click(RequireFileDialog(*this, "CancelFileDialog"), IDCANCEL);
}

} // namespace sim

using namespace sim;

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    PlatformCode platform;
    S().commonDialogError = 0;
    constexpr DWORD OldSize = offsetof(OPENFILENAMEA, pvReserved);
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != OldSize)) {
        S().commonDialogError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (Running) {
        S().commonDialogError = CDERR_INITIALIZATION;
        return FALSE;
    }
    Process *process = CurrentProcess();
    OpenDialog state;
    state.ofn = ofn;
    state.startDirectory = process->currentDirectory;
    state.folder = ofn->lpstrInitialDir && *ofn->lpstrInitialDir
                       ? NormalizeWindowsPath(ofn->lpstrInitialDir)
                       : process->currentDirectory;
    if (state.folder.back() != '\\') state.folder += '\\';
    RegisterNameFieldClass(process);
    DialogTemplate t = OpenTemplate(ofn->lpstrTitle);
    Emit("filedialog.open", {{"title", JsonString(t.caption)}});
    // One file-open dialog at a time; it is forgotten however the dialog ends.
    struct Forget {
        ~Forget() { Running = nullptr; }
    } forget;
    Running = &state;
    INT_PTR result = RunDialog(t, TemplateName, ofn->hInstance, ofn->hwndOwner, OpenDialogProc, 0,
                               false, IDCANCEL);
    bool chosen = result == IDOK;
    if (chosen && (ofn->Flags & OFN_NOCHANGEDIR))
        (void)SetCurrentDirectoryA(state.startDirectory.c_str());
    Emit("filedialog.close", {{"file", JsonString(chosen ? ofn->lpstrFile : "")},
                              {"chosen", chosen ? "true" : "false"}});
    return chosen ? TRUE : FALSE;
}

DWORD WINAPI CommDlgExtendedError(void)
{
    PlatformCode platform;
    return S().commonDialogError;
}
