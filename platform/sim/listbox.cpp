// The list box's keys and directory listings, and the dialog functions built on them
// (DlgDirListA, DlgDirSelectExA). Measured against Wine by the conformance probe
// (filedialogs/directory-list, filedialogs/sorted-list):
//
// - Up, Down, Home and End move the selection (to the first item when none is selected) and
//   a list box with LBS_NOTIFY tells its parent LBN_SELCHANGE after every such key, even when
//   the selection stays where it was; LB_SETCURSEL from the program tells nothing.
// - LB_DIR lists the files matching a pattern, read-only and hidden ones too (folders only with
//   DDL_DIRECTORY, as "[name]"), each under its own name and letter case, in the list box's
//   order with files before folders before drives.
// - DlgDirListA makes the folder of its path the current directory, lists the rest of the path
//   (upper-cased, and given back in the path buffer) and shows the current directory in lower
//   case in the static control; a folder that does not exist changes nothing and fails.
// - DlgDirSelectExA gives the selected entry, converted into the buffer as far as it goes (the
//   last byte of a buffer too small becomes zero, even inside a character), and says whether it
//   is a folder or drive; a file is FALSE.
#include "platform/sim/listbox.h"

#include "platform/sim/internal.h"
#include "platform/sim/names.h"

#include <algorithm>
#include <cstring>

namespace sim
{

namespace
{

// The order of a directory listing: files, then "[folder]" entries, then "[-c-]" drives.
int EntryKind(const std::string &text)
{
    if (text.empty() || text[0] != '[') return 0;
    return text.size() > 1 && text[1] == '-' ? 2 : 1;
}

bool SortsBefore(const std::string &a, const std::string &b)
{
    if (EntryKind(a) != EntryKind(b)) return EntryKind(a) < EntryKind(b);
    return CompareTexts(a, b) < 0;
}

void Notify(HWND hwnd, WORD code)
{
    HWND parent = GetParent(hwnd);
    if (parent)
        (void)SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                           reinterpret_cast<LPARAM>(hwnd));
}

// The entries LB_DIR adds for a pattern; false when its folder does not exist.
bool DirectoryEntries(const std::string &pattern, UINT attributes,
                      std::vector<std::string> *entries)
{
    constexpr DWORD Kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_ARCHIVE;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_NO_MORE_FILES)
            return false;
    } else {
        do {
            std::string name = data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if ((attributes & DDL_DIRECTORY) && name != ".")
                    entries->push_back("[" + name + "]");
                continue;
            }
            if ((attributes & DDL_EXCLUSIVE) &&
                (attributes & Kept) != (data.dwFileAttributes & Kept))
                continue;
            entries->push_back(name);
        } while (FindNextFileA(search, &data));
        (void)FindClose(search);
    }
    // The simulated desktop has one drive.
    if (attributes & DDL_DRIVES) entries->push_back("[-c-]");
    return true;
}

LRESULT Directory(DWORD style, std::vector<std::string> &items, int &selection, UINT attributes,
                  const char *pattern)
{
    std::vector<std::string> entries;
    if (!DirectoryEntries(pattern ? pattern : "*", attributes, &entries)) return LB_ERR;
    LRESULT last = 0;
    for (const std::string &entry : entries) {
        size_t at = items.size();
        if (style & LBS_SORT)
            at = static_cast<size_t>(
                std::lower_bound(items.begin(), items.end(), entry, SortsBefore) - items.begin());
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), entry);
        if (selection >= static_cast<int>(at)) ++selection;
        last = static_cast<LRESULT>(at);
    }
    return last;
}

// Up, Down, Home and End: the selection moves and the parent hears of it.
bool MoveSelection(HWND hwnd, DWORD style, const std::vector<std::string> &items, int &selection,
                   WPARAM key)
{
    // With nothing selected, Up and Down select the first item.
    const int last = static_cast<int>(items.size()) - 1;
    int caret = 0;
    if (!SelectionAfterKey(key, selection, last, &caret)) return false;
    if (last < 0) return true;
    selection = caret;
    if (style & LBS_NOTIFY) Notify(hwnd, LBN_SELCHANGE);
    return true;
}

} // namespace

bool SelectionAfterKey(WPARAM key, int selection, int last, int *moved)
{
    int caret = selection;
    switch (key) {
    case VK_UP:
        caret -= 1;
        break;
    case VK_DOWN:
        caret += 1;
        break;
    case VK_HOME:
        caret = 0;
        break;
    case VK_END:
        caret = last;
        break;
    default:
        return false;
    }
    *moved = last < 0 ? -1 : std::clamp(caret, 0, last);
    return true;
}

size_t SortedPosition(const std::vector<std::string> &items, const std::string &text)
{
    auto at = std::lower_bound(
        items.begin(), items.end(), text,
        [](const std::string &a, const std::string &b) { return CompareTexts(a, b) < 0; });
    return static_cast<size_t>(at - items.begin());
}

bool ListBoxMessage(HWND hwnd, DWORD style, std::vector<std::string> &items, int &selection,
                    UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    switch (message) {
    case LB_GETTEXTLEN: {
        int index = static_cast<int>(wParam);
        *result = index < 0 || index >= static_cast<int>(items.size())
                      ? LB_ERR
                      : static_cast<LRESULT>(items[static_cast<size_t>(index)].size());
        return true;
    }
    case LB_DIR:
        *result = Directory(style, items, selection, static_cast<UINT>(wParam),
                            reinterpret_cast<LPCSTR>(lParam));
        return true;
    case WM_KEYDOWN:
        *result = 0;
        return MoveSelection(hwnd, style, items, selection, wParam);
    default:
        return false;
    }
}

} // namespace sim

using namespace sim;

int WINAPI DlgDirListA(HWND dialog, LPSTR pathSpec, int listBoxId, int staticPathId, UINT fileType)
{
    PlatformCode platform;
    std::string given = pathSpec ? pathSpec : "";
    std::string folder, pattern = "*";
    DWORD attributes = given.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(given.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        folder = given;
    } else if (!given.empty()) {
        size_t cut = given.find_last_of("\\/");
        if (cut == std::string::npos && given.size() >= 2 && given[1] == ':') cut = 1;
        if (cut != std::string::npos) folder = given.substr(0, cut + 1);
        pattern = cut == std::string::npos ? given : given.substr(cut + 1);
        if (pattern.empty()) pattern = "*";
    }
    // A folder that cannot be made current fails the call with nothing changed.
    if (!folder.empty() && !SetCurrentDirectoryA(folder.c_str())) return FALSE;
    pattern = FoldCase(pattern);
    if (listBoxId) {
        (void)SendDlgItemMessageA(dialog, listBoxId, LB_RESETCONTENT, 0, 0);
        (void)SendDlgItemMessageA(dialog, listBoxId, LB_DIR, fileType & ~DDL_POSTMSGS,
                                  reinterpret_cast<LPARAM>(pattern.c_str()));
    }
    if (staticPathId) {
        char current[MAX_PATH] = "";
        DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
        std::string shown = length && length < MAX_PATH ? LowerCase(current) : "";
        (void)SetDlgItemTextA(dialog, staticPathId, shown.c_str());
    }
    if (pathSpec) std::memcpy(pathSpec, pattern.c_str(), pattern.size() + 1);
    return TRUE;
}

BOOL WINAPI DlgDirSelectExA(HWND dialog, LPSTR path, int count, int listBoxId)
{
    PlatformCode platform;
    HWND list = GetDlgItem(dialog, listBoxId);
    LRESULT index = list ? SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
    if (index == LB_ERR) return FALSE;
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)), '\0');
    std::vector<char> buffer(text.size() + 1);
    (void)SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(buffer.data()));
    text = buffer.data();
    // "[-c-]" is a drive, "c:"; "[name]" a folder, "name\"; anything else a file.
    BOOL isFolder = !text.empty() && text[0] == '[';
    if (isFolder && text.size() > 1 && text[1] == '-')
        text = text.substr(2, 1) + ":";
    else if (isFolder)
        text = text.substr(1, text.size() - 2) + "\\";
    if (count <= 0) return isFolder;
    if (!CopyConverted(text, path, count)) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return isFolder;
}
