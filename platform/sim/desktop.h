// The simulated desktop: a deterministic stand-in for the parts of Windows the program uses, on
// a virtual clock. Tests and the simulation runner own one Desktop, start the program on it,
// let virtual time pass, act as the user and look at what the program did.
//
// The program runs on its own thread, but never at the same time as the caller: control passes
// back and forth like a baton. The program runs until it is idle (it waits for a message and
// none is due at the current virtual time); then the caller runs. So everything is
// deterministic and no lock is needed inside the simulation. While the caller lets time pass
// and only one program runs, the idle program moves the clock on to its next due timer itself
// instead of handing the baton back at every tick: the same messages at the same times, without
// two thread switches per tick.
#pragma once

#include "platform.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim
{

using Millis = int64_t;

struct LocalTime {
    int year = 2026;
    int month = 12;
    int day = 8;
    int hour = 12;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Milliseconds since 1970-01-01 00:00 of the local calendar, and back.
Millis ToMillis(const LocalTime &time);
LocalTime FromMillis(Millis millis);
std::string FormatTime(Millis millis); // "2026-12-08 18:59:55.000"

struct SoundRecord {
    Millis time = 0;
    std::string name; // as the program passed it; empty for a stop request
    DWORD flags = 0;
    bool played = false;  // the file was found and is a playable wave file
    Millis duration = 0;  // of the wave file, when played
    Millis cutOffAt = -1; // when a later request stopped it, or -1
};

struct BeepRecord {
    Millis time = 0;
    DWORD frequency = 0;
    DWORD duration = 0;
};

// Something the program did that a person could see or hear, or that changed its files.
struct Event {
    Millis time = 0;
    std::string kind; // "sound", "beep", "window.show", "file.write", "exit", ...
    // Field name and value; the value is already JSON (a quoted string, a number, an array).
    std::vector<std::pair<std::string, std::string>> fields;
    std::string Json() const;
};
std::string JsonString(const std::string &text);
// ASCII letters in upper case, as Windows compares class, file and resource names.
std::string Upper(std::string text);

struct WindowInfo {
    HWND handle = nullptr;
    std::string className;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};
    HWND owner = nullptr;
    HWND parent = nullptr;
    bool visible = false;
    bool enabled = true;
    int process = 0;
    UINT classStyle = 0; // the style of the window's class
};

// The file operations of the simulated drive, by the Windows functions that do them.
// A failing WriteFile has written half its bytes, as a failing device may.
enum class FileOperation {
    Create,        // CreateFileA
    Read,          // ReadFile
    Write,         // WriteFile
    Flush,         // FlushFileBuffers
    Move,          // MoveFileA and MoveFileExA: every rename and move
    Copy,          // CopyFileA as a whole; its own opening, reading and writing count as those
    Delete,        // DeleteFileA
    SetAttributes, // SetFileAttributesA
    CreateFolder,  // CreateDirectoryA
    RemoveFolder,  // RemoveDirectoryA
};

struct FileFaults {
    // Folders (Windows paths, any letter case) in which nothing can be created, written,
    // renamed or deleted, as on a read-only medium.
    std::vector<std::string> readOnlyFolders;
    // Bytes that may still be written to files before the disk is full; -1 for no limit.
    int64_t writeBudget = -1;

    // Calls of each operation so far, failed ones included.
    std::map<FileOperation, int64_t> calls;
    // Makes the nth call of the operation from now on fail (1: the next one), on any file.
    void FailCall(FileOperation operation, int64_t nth, DWORD error = ERROR_ACCESS_DENIED);
    // Makes every call of the operation on the file (a Windows path, any letter case; either
    // side of a move or copy) fail until the failures are cleared.
    void FailEvery(FileOperation operation, const std::string &windowsPath,
                   DWORD error = ERROR_ACCESS_DENIED);
    // Forgets the failures set with FailCall and FailEvery.
    void ClearFailures();

    struct Failure {
        FileOperation operation = FileOperation::Create;
        int64_t call = 0; // the call that fails, counted in calls; 0: every call on path
        std::string path; // normalized Windows path, for every call on it
        DWORD error = ERROR_ACCESS_DENIED;
    };
    std::vector<Failure> failures;
};

struct MessageBoxInfo {
    int process = 0;
    HWND hwnd = nullptr; // the box's window while it is open
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    Millis opened = 0;
    int result = 0; // the button that closed it; 0 while open
};

struct MenuItem {
    int id = 0;
    std::string text;
    bool separator = false;
    UINT flags = 0;
};

struct MenuInfo {
    int process = 0;
    std::vector<MenuItem> items;
    UINT flags = 0;
    int x = 0, y = 0;
    RECT rect{}; // its place on the screen
    HWND owner = nullptr;
    Millis opened = 0;
    bool closed = false;
    int chosen = 0;
};

struct DialogInfo {
    HWND hwnd = nullptr;
    std::string templateName; // "3", "702", ...
    std::string title;
    int process = 0;
};

struct ControlInfo {
    HWND hwnd = nullptr;
    int id = 0;
    std::string className; // BUTTON, STATIC, EDIT, COMBOBOX, LISTBOX
    std::string text;
    DWORD style = 0;
    bool enabled = true;
    bool checked = false;
    std::vector<std::string> items; // combo box and list box entries
    int selection = -1;
    RECT rect{}; // in the dialog's client area, pixels
};

struct StartupFaults {
    bool folderLocation = false; // SHGetSpecialFolderLocation fails
    bool pathFromIdList = false; // SHGetPathFromIDListA fails
    bool createInstance = false; // the link object cannot be made
    bool queryInterface = false; // the link has no persist-file interface
    bool save = false;           // saving the shortcut fails
};

struct Shortcut {
    std::string target;
    std::string description;
    std::string workingDirectory;
};

struct GdiFaults {
    bool textExtent = false; // measuring text fails (GetTextExtentPoint32W)
};

// One drawing operation on a window, as the program asked for it.
struct DrawOp {
    Millis time = 0;
    HWND hwnd = nullptr;
    std::string kind; // "icon", "text" or "fill"
    std::string what; // icon resource name, the text, or the fill colour as RRGGBB
    int x = 0, y = 0;
    int width = 0, height = 0; // of an icon or a fill, as asked for (before clipping)
    COLORREF color = 0;        // text colour
    int bkMode = 0;            // text background mode
};

struct TrayInfo {
    HWND hwnd = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    std::string iconName; // resource name of the picture, upper case
    std::string tip;
    RECT rect{}; // the icon's place on the screen, in the notification area
};

// A tool tip control and what its tip shows.
struct ToolTipInfo {
    HWND hwnd = nullptr;  // the control's window
    HWND owner = nullptr; // the window it belongs to
    int tools = 0;
    bool visible = false; // the tip is on the screen
    std::string text;     // what it shows (or showed last)
    RECT rect{};          // the tip's window on the screen
};

class Desktop
{
  public:
    struct Options {
        LocalTime start;
        std::string programPath = "C:\\ZelmoSound\\ZelmoSound.exe";
        int screenWidth = 1024;
        int screenHeight = 768;
        int utcOffsetMinutes = 9 * 60;
        std::string hostRoot; // host folder behind drive C:; empty for a new temporary one
        bool keepHostRoot = false;
        // The resource script the program was built with; empty for ZelmoSound's own.
        std::string resourceScript;
    };
    using Entry = int(WINAPI *)(HINSTANCE, HINSTANCE, LPSTR, int);

    explicit Desktop(Options options);
    Desktop();
    ~Desktop();
    Desktop(const Desktop &) = delete;
    Desktop &operator=(const Desktop &) = delete;

    // The desktop that the Windows operations act on (one at a time per host process).
    static Desktop &Current();
    // The desktop that exists, or null.
    static Desktop *Exists();

    // ---- virtual clock
    Millis Now() const;
    LocalTime LocalNow() const;
    // Lets virtual time pass: timers fire and the program runs until the time is reached.
    void Advance(Millis duration);
    void AdvanceTo(const LocalTime &time);
    // Runs the programs until none has anything to do at the current time.
    void RunUntilIdle();

    // ---- programs
    // Starts a program process (its WinMain on its own thread) and runs it until it is idle
    // or has ended. currentDirectory defaults to the program folder; commandLine is what
    // WinMain gets, the arguments without the program's name.
    int Start(Entry entry, const std::string &currentDirectory = "",
              const std::string &commandLine = "");
    bool Running(int process) const;
    // Windows ends the session (the user logs off or shuts down), as Windows' session end does
    // it, program by program: every top-level window of the program, hidden ones too, is asked
    // with WM_QUERYENDSESSION, each then hears the answer in WM_ENDSESSION, and a program that
    // agreed is ended where it stands: its windows are neither closed nor destroyed and none of
    // its code runs any more. False when a window refused; the programs after it are not asked.
    bool EndSession();
    std::optional<int> ExitCode(int process) const;

    // ---- windows
    HWND FindWindow(const std::string &className, const std::string &title) const;
    std::optional<WindowInfo> Window(HWND hwnd) const;
    std::vector<WindowInfo> Windows() const;
    // How many messages of each kind the message loops dispatched to a window.
    std::map<UINT, int64_t> Dispatched(HWND hwnd) const;
    // Timers set and not yet killed, of every window (a window's go with it).
    int ActiveTimers() const;
    // Posts a message as another program would; the target handles it at the next run.
    void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Runs an action on the program's thread, as Windows input processing would, then lets the
    // program run until idle.
    void Input(int process, std::function<void()> action);
    // Puts the pointer there without moving it there (no message), as before a program starts.
    void SetCursorPos(int x, int y);
    POINT CursorPos() const;
    HWND Foreground() const;

    // ---- the mouse, as the user works it: real input at a screen point, which Windows delivers
    // to the window under it (a disabled window gets none; see mouse.cpp), then the programs
    // run until idle
    void MovePointer(int x, int y);
    void LeftClick(int x, int y);
    void RightClick(int x, int y);
    void DoubleClick(int x, int y); // two left clicks at once
    // The pointer's shape on the screen ("arrow", "cross", ...), "" before any was set.
    std::string PointerShape() const;
    // Every tool tip control, and the tip on the screen if one is.
    std::vector<ToolTipInfo> ToolTips() const;
    std::optional<ToolTipInfo> ShownToolTip() const;

    // ---- modal user interface
    std::vector<MessageBoxInfo> MessageBoxes() const; // every box shown so far
    std::vector<MessageBoxInfo> OpenMessageBoxes() const;
    void AnswerMessageBox(int button);        // a click on that button of the box opened last
    std::optional<MenuInfo> OpenMenu() const; // the menu on screen (the innermost)
    std::vector<MenuInfo> MenusShown() const;
    // From the keyboard, as a user does: arrows down to the item and Enter; Esc.
    void ChooseMenu(int command);
    void DismissMenu();
    int OpenMenus() const; // menus created and not yet destroyed

    // ---- dialogs: what is open, and the user's actions in them (each runs on the program's
    // thread, as input, then lets the program run until idle)
    std::vector<DialogInfo> OpenDialogs() const;
    std::optional<DialogInfo> Dialog(const std::string &templateName) const;
    std::vector<std::string> DialogsShown() const; // template names, in order of opening
    std::vector<ControlInfo> Controls(HWND dialog) const;
    ControlInfo Control(HWND dialog, int id) const;
    HWND Focus() const;
    void Click(HWND dialog, int id);             // a button, as a mouse click does
    void Select(HWND dialog, int id, int index); // an entry of a combo box or list box
    void TypeText(HWND dialog, int id, const std::string &text);
    // Keys go to the focus (or the dialog), where the dialog manager handles them as Windows
    // does; each fails loudly when the dialog is disabled by a modal window over it.
    void PressEnter(HWND dialog);    // the focused default push button, else the default one
    void PressEscape(HWND dialog);   // the cancel command
    void PressTab(HWND dialog);      // the focus to the next tab stop
    void PressCloseBox(HWND dialog); // the caption's close box
    // Alt+F4 on the keyboard: the key goes to the focus window, or to the foreground window
    // when none has the focus, and the default handling asks its top-level window to close.
    void PressAltF4();

    // ---- the file-open dialog (GetOpenFileNameA): the one open, and the user's answers to it
    std::optional<DialogInfo> FileDialog() const;
    // Types the path into the file name field and presses Open.
    void ChooseFile(const std::string &windowsPath);
    void CancelFileDialog();

    // ---- the user's Startup folder and shortcuts
    std::string StartupFolder() const;
    std::optional<Shortcut> ReadShortcut(const std::string &windowsPath) const;
    sim::StartupFaults &StartupFaults();
    int LiveComObjects() const;     // link objects and folder locations not yet freed
    int ComInitializations() const; // CoInitialize calls not yet balanced

    // ---- drawing: each window has a framebuffer of its client area (0x00RRGGBB), black until
    // drawn on; icons land with their masks; text is drawn in cells as wide as each character's
    // advance and as high as the font (the selected font's, measured from the installed font
    // files; the default font's fixed: 12 high, 6 wide per one-byte character, 12 per wider
    // one), each character shown as a frame in the text colour inside its cell
    std::vector<DrawOp> DrawLog(HWND hwnd) const;
    void ClearDrawLog();
    uint32_t Pixel(HWND hwnd, int x, int y) const;
    bool SaveWindowPng(HWND hwnd, const std::string &hostPath) const;
    int OpenDeviceContexts() const;
    int OpenFonts() const;   // fonts created and not yet gone (deleted and no longer selected)
    int OpenBrushes() const; // brushes created and not yet deleted
    sim::GdiFaults &GdiFaults();

    // ---- tray, icons and shell
    std::optional<TrayInfo> Tray() const; // the icon added first, if any is there
    std::vector<TrayInfo> TrayHistory() const;
    // The mouse on the tray icon, at the centre of its place (the pointer moves there): each
    // event over it is reported to the program through the icon's callback message. A click
    // within the double-click time of the last press there would be a double click: the user
    // lets that time pass first.
    POINT TrayIconCentre() const;
    void PointAtTray();
    void LeftClickTray();
    void DoubleClickTray();
    void RightClickTray();
    int OpenIcons() const; // icon handles not yet destroyed
    std::vector<std::string> ShellExecutes() const;

    // ---- files (Windows paths on the simulated drive C:)
    std::string ProgramPath() const;
    std::string ProgramFolder() const; // ends with a backslash
    std::string HostPath(const std::string &windowsPath) const;
    void WriteFile(const std::string &windowsPath, const std::string &bytes);
    std::optional<std::string> ReadFile(const std::string &windowsPath) const;
    bool FileExists(const std::string &windowsPath) const;
    // Names of the entries of a folder, sorted as a directory listing would be.
    std::vector<std::string> ListFolder(const std::string &windowsPath) const;
    FileFaults &Faults();
    int OpenHandles() const;  // files and searches not yet closed
    int OpenFiles() const;    // file handles not yet closed
    int OpenSearches() const; // find handles (FindFirstFileA) not yet closed
    // The user's change of a file's read-only attribute, as in the file's properties.
    void SetReadOnly(const std::string &windowsPath, bool readOnly);
    DWORD FileAttributes(const std::string &windowsPath) const; // INVALID_FILE_ATTRIBUTES if none

    // ---- sound
    const std::vector<SoundRecord> &Sounds() const;
    const std::vector<BeepRecord> &Beeps() const;
    void ClearSounds();

    // ---- observation
    void Subscribe(std::function<void(const Event &)> observer);
    void Emit(Event event);

    struct State;
    State &state() { return *state_; }

  private:
    void AwaitSingleClick();
    std::unique_ptr<State> state_;
};

// Thrown on a program thread when its desktop is torn down while the program still runs; it
// unwinds the program's stack back to the thread's start.
struct ProcessKilled {
};

// Thrown into the caller when a program misbehaves in a way the desktop cannot simulate
// (for example it never becomes idle).
struct SimulationError : std::runtime_error {
    explicit SimulationError(const std::string &what) : std::runtime_error(what) {}
};

} // namespace sim
