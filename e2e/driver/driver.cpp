// zelmo-e2e-driver: a small console program that the end-to-end tests run in the same Wine
// prefix as ZelmoSound.exe, to look at and act on the windows of other processes.
//
// Usage: zelmo-e2e-driver COMMAND ARGS...   (HWNDs are hexadecimal, other numbers C style)
//   find CLASS TITLE               a top-level window ("-" for any class or title)
//   wait CLASS TITLE MILLIS        polls until such a window exists
//   gone HWND MILLIS               polls until the window no longer exists
//   visible HWND MILLIS            polls until the window is visible
//   hidden HWND MILLIS             polls until the window is hidden or gone
//   post HWND MSG WPARAM LPARAM    posts a message
//   list                           every top-level window
//   controls HWND                  the child windows of a window, with list items
//   click HWND ID                  clicks button ID of dialog HWND
//   select HWND ID INDEX           selects item INDEX of combo or list box ID of dialog HWND
//   text HWND ID TEXT              puts TEXT into control ID of dialog HWND, as typing leaves it
//   rect HWND                      the window's screen rectangle
//   gettext HWND                   the text the window itself gives for WM_GETTEXT (a tool
//                                  tip control's: the tip it shows)
//   foreground                     the foreground window
//   raise HWND                     puts the window on top of all others, without activating it
//   tray                           the icon windows inside the shell's system-tray window
//   labels EXE ID                  opens dialog template ID of program EXE (hidden) and measures
//                                  each label in the dialog's own font against its control
//   font FACE                      the face GDI gives a request for FACE, and its metrics
//   closebox HWND                  the screen rectangle of the window's caption close button
//
// Output: one record per line, "KIND\tkey=value\tkey=value...", texts as UTF-8 with tabs and
// line breaks turned into spaces. Exit code 0 when done, 1 when a window was not found (or is
// still there for "gone", or the control is disabled), 2 for a usage error.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace
{

constexpr int ExitOk = 0;
constexpr int ExitNotFound = 1;
constexpr int ExitUsage = 2;

// Messages sent to another process give up after this long rather than hang on a busy program.
constexpr UINT SendTimeoutMillis = 3000;
constexpr DWORD PollMillis = 50;

std::string Utf8(const std::wstring &text)
{
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    // One record per line: separators inside texts would break the parsing.
    for (char &c : result)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return result;
}

// Writes raw bytes: the C runtime's text mode would turn "\n" into "\r\n".
void Print(const std::string &line)
{
    std::string out = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

std::string Hex(std::uintptr_t value)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return "0x" + text;
}

std::string HexHwnd(HWND hwnd)
{
    return Hex(reinterpret_cast<std::uintptr_t>(hwnd));
}

bool ParseNumber(const wchar_t *text, int base, long long *value)
{
    wchar_t *end = nullptr;
    long long parsed = std::wcstoll(text, &end, base);
    if (end == text || *end != L'\0') return false;
    *value = parsed;
    return true;
}

bool ParseHwnd(const wchar_t *text, HWND *hwnd)
{
    wchar_t *end = nullptr;
    unsigned long long parsed = std::wcstoull(text, &end, 16);
    if (end == text || *end != L'\0') return false;
    *hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(parsed));
    return true;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t buffer[256] = L"";
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

// The title as the system keeps it; reading it sends no message to the owning process.
std::wstring TitleOf(HWND hwnd)
{
    wchar_t buffer[1024] = L"";
    InternalGetWindowText(hwnd, buffer, 1024);
    return buffer;
}

// A control's text as the control itself reports it (edit controls keep their own).
std::wstring ControlText(HWND hwnd)
{
    wchar_t buffer[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, SendTimeoutMillis, &copied))
        return TitleOf(hwnd);
    return buffer;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, SendTimeoutMillis,
                             &result))
        return -1;
    return static_cast<LRESULT>(result);
}

std::string RectText(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// The X11 window Wine made for a top-level window (0 for child windows without one of their own).
std::uintptr_t XWindowOf(HWND hwnd)
{
    return reinterpret_cast<std::uintptr_t>(GetPropW(hwnd, L"__wine_x11_whole_window"));
}

std::string WindowRecord(const char *kind, HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return std::string(kind) + "\thwnd=" + HexHwnd(hwnd) + "\tclass=" + Utf8(ClassOf(hwnd)) +
           "\ttitle=" + Utf8(TitleOf(hwnd)) + "\tvisible=" + (IsWindowVisible(hwnd) ? "1" : "0") +
           "\trect=" + RectText(rect) + "\tpid=" + std::to_string(pid) +
           "\towner=" + HexHwnd(GetWindow(hwnd, GW_OWNER)) + "\txid=" + Hex(XWindowOf(hwnd)) +
           "\texstyle=" + Hex(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
}

// "-" stands for "any".
const wchar_t *Criterion(const wchar_t *argument)
{
    return std::wcscmp(argument, L"-") == 0 ? nullptr : argument;
}

bool HasArguments(int argc, int wanted)
{
    return argc == wanted + 2;
}

int Find(const wchar_t *className, const wchar_t *title)
{
    HWND hwnd = FindWindowW(Criterion(className), Criterion(title));
    if (!hwnd) return ExitNotFound;
    Print(WindowRecord("window", hwnd));
    return ExitOk;
}

int Wait(const wchar_t *className, const wchar_t *title, DWORD millis)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = FindWindowW(Criterion(className), Criterion(title));
        if (hwnd) {
            Print(WindowRecord("window", hwnd));
            return ExitOk;
        }
        if (GetTickCount() - start >= millis) return ExitNotFound;
        Sleep(PollMillis);
    }
}

int Gone(HWND hwnd, DWORD millis)
{
    DWORD start = GetTickCount();
    while (IsWindow(hwnd)) {
        if (GetTickCount() - start >= millis) {
            Print("present\thwnd=" + HexHwnd(hwnd));
            return ExitNotFound;
        }
        Sleep(PollMillis);
    }
    Print("gone\thwnd=" + HexHwnd(hwnd));
    return ExitOk;
}

// Polls until the window's visibility is the one wanted; a window that is gone counts as hidden.
// The window's record (with its rectangle at that moment) is printed either way.
int WaitVisibility(HWND hwnd, bool visible, DWORD millis)
{
    DWORD start = GetTickCount();
    bool done = false;
    for (;;) {
        done = (IsWindow(hwnd) && IsWindowVisible(hwnd)) == visible;
        if (done || (visible && !IsWindow(hwnd)) || GetTickCount() - start >= millis) break;
        Sleep(PollMillis);
    }
    Print(IsWindow(hwnd) ? WindowRecord("window", hwnd) : "gone\thwnd=" + HexHwnd(hwnd));
    return done ? ExitOk : ExitNotFound;
}

int Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!PostMessageW(hwnd, message, wParam, lParam)) return ExitNotFound;
    Print("posted\thwnd=" + HexHwnd(hwnd) + "\tmsg=" + Hex(message));
    return ExitOk;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM context)
{
    reinterpret_cast<std::vector<HWND> *>(context)->push_back(hwnd);
    return TRUE;
}

int List()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows)
        Print(WindowRecord("window", hwnd));
    return ExitOk;
}

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

void PrintItems(HWND control, int id, UINT countMessage, UINT lengthMessage, UINT textMessage)
{
    LRESULT count = Send(control, countMessage, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        LRESULT length = Send(control, lengthMessage, static_cast<WPARAM>(index), 0);
        if (length < 0) length = 0;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = Send(control, textMessage, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        Print("item\tid=" + std::to_string(id) + "\tindex=" + std::to_string(index) +
              "\ttext=" + Utf8(text));
    }
}

int Controls(HWND dialog)
{
    if (!IsWindow(dialog)) return ExitNotFound;
    for (HWND control : ChildrenOf(dialog)) {
        int id = GetDlgCtrlID(control);
        std::wstring className = ClassOf(control);
        LONG style = GetWindowLongW(control, GWL_STYLE);
        std::string line = "control\tid=" + std::to_string(id) + "\tclass=" + Utf8(className) +
                           "\ttext=" + Utf8(ControlText(control)) +
                           "\tstyle=" + Hex(static_cast<DWORD>(style)) +
                           "\tenabled=" + (IsWindowEnabled(control) ? "1" : "0") +
                           "\tvisible=" + (IsWindowVisible(control) ? "1" : "0");
        bool combo = lstrcmpiW(className.c_str(), L"ComboBox") == 0;
        bool list = lstrcmpiW(className.c_str(), L"ListBox") == 0;
        if (lstrcmpiW(className.c_str(), L"Button") == 0)
            line += "\tchecked=" + std::to_string(Send(control, BM_GETCHECK, 0, 0));
        if (lstrcmpiW(className.c_str(), L"Static") == 0)
            line += std::string("\timage=") + (Send(control, STM_GETICON, 0, 0) > 0 ? "1" : "0");
        if (combo)
            line += "\tcursel=" + std::to_string(Send(control, CB_GETCURSEL, 0, 0)) +
                    "\tcount=" + std::to_string(Send(control, CB_GETCOUNT, 0, 0));
        if (list)
            line += "\tcursel=" + std::to_string(Send(control, LB_GETCURSEL, 0, 0)) +
                    "\tcount=" + std::to_string(Send(control, LB_GETCOUNT, 0, 0));
        Print(line);
        if (combo) PrintItems(control, id, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
        if (list) PrintItems(control, id, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
    }
    return ExitOk;
}

// Posted, not sent: a click that opens a modal dialog would otherwise keep the driver waiting
// until that dialog closes. The button handles BM_CLICK in its own thread like a mouse click,
// so check boxes and radio buttons change state and the dialog gets BN_CLICKED. A disabled
// control is refused, as it would ignore the mouse.
int Click(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return ExitNotFound;
    if (!IsWindowEnabled(control)) {
        Print("disabled\thwnd=" + HexHwnd(control) + "\tid=" + std::to_string(id));
        return ExitNotFound;
    }
    if (!PostMessageW(control, BM_CLICK, 0, 0)) return ExitNotFound;
    Print("clicked\thwnd=" + HexHwnd(control) + "\tid=" + std::to_string(id));
    return ExitOk;
}

// Sets the selection, then tells the dialog as a user's choice would.
int Select(HWND dialog, int id, int index)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return ExitNotFound;
    if (!IsWindowEnabled(control)) {
        Print("disabled\thwnd=" + HexHwnd(control) + "\tid=" + std::to_string(id));
        return ExitNotFound;
    }
    bool list = lstrcmpiW(ClassOf(control).c_str(), L"ListBox") == 0;
    LRESULT result =
        Send(control, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (result != index) return ExitNotFound;
    WORD notification = list ? LBN_SELCHANGE : CBN_SELCHANGE;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
                 reinterpret_cast<LPARAM>(control));
    Print("selected\thwnd=" + HexHwnd(control) + "\tid=" + std::to_string(id) +
          "\tindex=" + std::to_string(index));
    return ExitOk;
}

// Sent, and so done by the time the driver ends: the dialog that owns the control reads it only
// when the user acts next (a click on its OK button, say).
int Text(HWND dialog, int id, const wchar_t *text)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return ExitNotFound;
    if (!IsWindowEnabled(control)) {
        Print("disabled\thwnd=" + HexHwnd(control) + "\tid=" + std::to_string(id));
        return ExitNotFound;
    }
    if (Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != TRUE) return ExitNotFound;
    Print("typed\thwnd=" + HexHwnd(control) + "\tid=" + std::to_string(id) +
          "\ttext=" + Utf8(text));
    return ExitOk;
}

int Rect(HWND hwnd)
{
    RECT r;
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &r)) return ExitNotFound;
    Print("rect\tleft=" + std::to_string(r.left) + "\ttop=" + std::to_string(r.top) +
          "\tright=" + std::to_string(r.right) + "\tbottom=" + std::to_string(r.bottom));
    return ExitOk;
}

// Puts the window on top of every other, top-most ones included, without activating it: the
// task bar brought up over a full-screen window, as the Windows key does.
int Raise(HWND hwnd)
{
    if (!SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE))
        return ExitNotFound;
    Print(WindowRecord("window", hwnd));
    return ExitOk;
}

int Foreground()
{
    HWND hwnd = GetForegroundWindow();
    if (!hwnd) return ExitNotFound;
    Print(WindowRecord("window", hwnd));
    return ExitOk;
}

// The windows that hold notification icons as child windows: Wine's own tray window (made by
// its X11 driver when no X11 system tray takes the icons) and the shell's taskbar.
constexpr const wchar_t *TrayClasses[] = {L"__winex11_standalone_tray", L"Shell_TrayWnd"};

int Tray()
{
    int found = 0;
    for (const wchar_t *trayClass : TrayClasses) {
        HWND tray = nullptr;
        while ((tray = FindWindowExW(nullptr, tray, trayClass, nullptr)) != nullptr) {
            for (HWND icon : ChildrenOf(tray)) {
                if (!IsWindowVisible(icon)) continue;
                RECT rect{};
                GetWindowRect(icon, &rect);
                Print("icon\thwnd=" + HexHwnd(icon) + "\tclass=" + Utf8(ClassOf(icon)) +
                      "\trect=" + RectText(rect) + "\ttray=" + HexHwnd(tray) +
                      "\ttrayxid=" + Hex(XWindowOf(tray)));
                ++found;
            }
        }
    }
    return found > 0 ? ExitOk : ExitNotFound;
}

// The dialog procedure of a template opened only to be measured.
INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The width a control leaves for its text, as the button and static controls of Wine's common
// controls 6 lay it out: push buttons keep 2 pixels inside their frame (and a default button
// one more for its border), check boxes and radio buttons put the text after a 13-pixel box
// (at 96 DPI) and half the width of a "0", group boxes start their caption 7 pixels in from
// each side. Nothing (nullopt) for controls without a text label.
std::optional<int> TextRoom(HWND control, HDC dc)
{
    RECT client{};
    GetClientRect(control, &client);
    int width = client.right - client.left;
    LONG style = GetWindowLongW(control, GWL_STYLE);
    std::wstring className = ClassOf(control);
    if (lstrcmpiW(className.c_str(), L"Static") == 0) {
        LONG type = style & SS_TYPEMASK;
        bool text = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
                    type == SS_LEFTNOWORDWRAP;
        return text ? std::optional<int>(width) : std::nullopt;
    }
    if (lstrcmpiW(className.c_str(), L"Button") != 0) return std::nullopt;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
        return width - 4;
    case BS_DEFPUSHBUTTON:
        return width - 6;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON: {
        int box = 12 * GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1;
        INT zero = 0;
        GetCharWidth32W(dc, L'0', L'0', &zero);
        return width - box - zero / 2;
    }
    case BS_GROUPBOX:
        return width - 14;
    default:
        return std::nullopt;
    }
}

std::wstring OwnText(HWND hwnd)
{
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

// Prints the dialog's font (the face asked for and the face given, the height and the dialog
// base units) and one record per label: the control's width, the room it leaves for the text
// and the text's width on one line, "&" prefixes taken as the control takes them.
void MeasureLabels(HWND dialog, int templateId)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    LOGFONTW requested{};
    GetObjectW(font, sizeof requested, &requested);
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    Print("dialog\tid=" + std::to_string(templateId) + "\trequested=" + Utf8(requested.lfFaceName) +
          "\tface=" + Utf8(face) + "\theight=" + std::to_string(metrics.tmHeight) +
          "\tbaseunits=" + std::to_string(units.right) + "," + std::to_string(units.bottom));
    for (HWND control : ChildrenOf(dialog)) {
        std::optional<int> room = TextRoom(control, dc);
        std::wstring text = OwnText(control);
        if (!room || text.empty()) continue;
        LONG style = GetWindowLongW(control, GWL_STYLE);
        bool noPrefix =
            lstrcmpiW(ClassOf(control).c_str(), L"Static") == 0 && (style & SS_NOPREFIX);
        RECT extent{};
        DrawTextW(dc, text.c_str(), -1, &extent,
                  DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0));
        RECT client{};
        GetClientRect(control, &client);
        Print("label\tid=" + std::to_string(GetDlgCtrlID(control)) +
              "\tclass=" + Utf8(ClassOf(control)) + "\ttext=" + Utf8(text) +
              "\twidth=" + std::to_string(client.right) + "\troom=" + std::to_string(*room) +
              "\textent=" + std::to_string(extent.right - extent.left));
    }
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
}

// Opens the template from the program file itself, with the program's manifest active so that
// its controls are the classes the program gets (common controls 6), and measures its labels.
// The dialog stays hidden (the templates have no WS_VISIBLE) and is destroyed at once.
int Labels(const wchar_t *exe, int templateId)
{
    ACTCTXW manifest{};
    manifest.cbSize = sizeof manifest;
    manifest.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    manifest.lpSource = exe;
    manifest.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = CreateActCtxW(&manifest);
    ULONG_PTR cookie = 0;
    if (context == INVALID_HANDLE_VALUE || !ActivateActCtx(context, &cookie)) {
        Print("nomanifest\tfile=" + Utf8(exe));
        if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
        return ExitNotFound;
    }
    int code = ExitNotFound;
    HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module) {
        HWND dialog =
            CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), nullptr, QuietDialog, 0);
        if (dialog) {
            MeasureLabels(dialog, templateId);
            DestroyWindow(dialog);
            code = ExitOk;
        }
        FreeLibrary(module);
    }
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
    return code;
}

// What the font mapper gives for a face name at the dialogs' 9 points (12 pixels at 96 DPI).
int Font(const wchar_t *faceName)
{
    LOGFONTW wanted{};
    wanted.lfHeight = -12;
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, faceName, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&wanted);
    if (!font) return ExitNotFound;
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    Print("font\trequested=" + Utf8(faceName) + "\tface=" + Utf8(face) + "\tcharset=" +
          std::to_string(metrics.tmCharSet) + "\theight=" + std::to_string(metrics.tmHeight) +
          "\taverage=" + std::to_string(metrics.tmAveCharWidth));
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return ExitOk;
}

// Where the window manager of Wine draws the close button of a caption it draws itself: inside
// the frame, SM_CXSIZE wide at the right and SM_CYSIZE high, less 2 pixels at the top, the right
// and the bottom.
int CloseBox(HWND hwnd)
{
    RECT window{};
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &window)) return ExitNotFound;
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
    if (!(style & WS_CAPTION) || !(style & WS_SYSMENU)) return ExitNotFound;
    bool thick = (style & WS_THICKFRAME) != 0;
    bool dialogFrame = !thick && ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME));
    int frameX = GetSystemMetrics(thick ? SM_CXFRAME : dialogFrame ? SM_CXDLGFRAME : SM_CXBORDER);
    int frameY = GetSystemMetrics(thick ? SM_CYFRAME : dialogFrame ? SM_CYDLGFRAME : SM_CYBORDER);
    RECT box{};
    box.right = window.right - frameX - 2;
    box.left = window.right - frameX - GetSystemMetrics(SM_CXSIZE);
    box.top = window.top + frameY + 2;
    box.bottom = window.top + frameY + GetSystemMetrics(SM_CYSIZE) - 2;
    Print("closebox\thwnd=" + HexHwnd(hwnd) + "\trect=" + RectText(box));
    return ExitOk;
}

// A tool tip control keeps no window title: only WM_GETTEXT, sent to it, tells its tip.
int GetText(HWND hwnd)
{
    if (!IsWindow(hwnd)) return ExitNotFound;
    Print("text\thwnd=" + HexHwnd(hwnd) + "\tvisible=" + (IsWindowVisible(hwnd) ? "1" : "0") +
          "\ttext=" + Utf8(ControlText(hwnd)));
    return ExitOk;
}

int Usage()
{
    Print("usage: zelmo-e2e-driver find|wait|gone|visible|hidden|post|list|controls|click|"
          "select|text|rect|gettext|foreground|tray|labels|font|closebox ARGS...");
    return ExitUsage;
}

int Run(int argc, wchar_t **argv)
{
    if (argc < 2) return Usage();
    std::wstring command = argv[1];
    HWND hwnd = nullptr;
    long long a = 0, b = 0, c = 0;
    if (command == L"find" && HasArguments(argc, 2)) return Find(argv[2], argv[3]);
    if (command == L"wait" && HasArguments(argc, 3) && ParseNumber(argv[4], 0, &a))
        return Wait(argv[2], argv[3], static_cast<DWORD>(a));
    if (command == L"gone" && HasArguments(argc, 2) && ParseHwnd(argv[2], &hwnd) &&
        ParseNumber(argv[3], 0, &a))
        return Gone(hwnd, static_cast<DWORD>(a));
    if ((command == L"visible" || command == L"hidden") && HasArguments(argc, 2) &&
        ParseHwnd(argv[2], &hwnd) && ParseNumber(argv[3], 0, &a))
        return WaitVisibility(hwnd, command == L"visible", static_cast<DWORD>(a));
    if (command == L"post" && HasArguments(argc, 4) && ParseHwnd(argv[2], &hwnd) &&
        ParseNumber(argv[3], 0, &a) && ParseNumber(argv[4], 0, &b) && ParseNumber(argv[5], 0, &c))
        return Post(hwnd, static_cast<UINT>(a), static_cast<WPARAM>(b), static_cast<LPARAM>(c));
    if (command == L"list" && HasArguments(argc, 0)) return List();
    if (command == L"controls" && HasArguments(argc, 1) && ParseHwnd(argv[2], &hwnd))
        return Controls(hwnd);
    if (command == L"click" && HasArguments(argc, 2) && ParseHwnd(argv[2], &hwnd) &&
        ParseNumber(argv[3], 0, &a))
        return Click(hwnd, static_cast<int>(a));
    if (command == L"select" && HasArguments(argc, 3) && ParseHwnd(argv[2], &hwnd) &&
        ParseNumber(argv[3], 0, &a) && ParseNumber(argv[4], 0, &b))
        return Select(hwnd, static_cast<int>(a), static_cast<int>(b));
    if (command == L"text" && HasArguments(argc, 3) && ParseHwnd(argv[2], &hwnd) &&
        ParseNumber(argv[3], 0, &a))
        return Text(hwnd, static_cast<int>(a), argv[4]);
    if (command == L"rect" && HasArguments(argc, 1) && ParseHwnd(argv[2], &hwnd)) return Rect(hwnd);
    if (command == L"gettext" && HasArguments(argc, 1) && ParseHwnd(argv[2], &hwnd))
        return GetText(hwnd);
    if (command == L"foreground" && HasArguments(argc, 0)) return Foreground();
    if (command == L"raise" && HasArguments(argc, 1) && ParseHwnd(argv[2], &hwnd))
        return Raise(hwnd);
    if (command == L"tray" && HasArguments(argc, 0)) return Tray();
    if (command == L"labels" && HasArguments(argc, 2) && ParseNumber(argv[3], 0, &a))
        return Labels(argv[2], static_cast<int>(a));
    if (command == L"font" && HasArguments(argc, 1)) return Font(argv[2]);
    if (command == L"closebox" && HasArguments(argc, 1) && ParseHwnd(argv[2], &hwnd))
        return CloseBox(hwnd);
    return Usage();
}

} // namespace

int main()
{
    // The arguments as UTF-16 (Wine converts them from the locale's encoding), so Japanese titles
    // can be searched for whatever the process's code page is.
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return ExitUsage;
    int code = Run(argc, argv);
    LocalFree(argv);
    return code;
}
