// Shared state of the simulated desktop, for its own source files only.
#pragma once

#include "platform/sim/desktop.h"
#include "platform/sim/codeowner.h"
#include "platform/sim/names.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace sim
{

// A mouse message the system has queued for a thread, before the thread reads it: the window it
// goes to is found only then, as Windows does.
struct MouseInput {
    UINT message = 0; // WM_MOUSEMOVE, WM_LBUTTONDOWN, ...
    POINT pt{};       // screen
    DWORD time = 0;
    WPARAM keys = 0; // MK_ flags of the buttons held after the event
};

// GetMessage's and PeekMessage's filter: a window (null for all, -1 for thread messages) and a
// range of message numbers (0, 0 for all).
struct MessageFilter {
    HWND hwnd = nullptr;
    UINT min = 0;
    UINT max = 0;
};

struct Process {
    int id = 0;
    std::thread thread;
    Desktop::Entry entry = nullptr;
    std::string commandLine;
    std::deque<MSG> posted;
    std::deque<MSG> sent;  // sent from outside the thread, handled at the next retrieval
    DWORD messageTime = 0; // of the last message retrieved
    DWORD messagePos = 0;
    std::deque<std::function<void()>> input;
    bool quitPosted = false;
    int quitCode = 0;
    bool finished = false;
    bool killed = false;
    int exitCode = 0;
    std::string currentDirectory;                  // Windows path with a trailing backslash
    std::map<std::string, WNDCLASSA> classes;      // by upper-case class name
    std::map<std::string, std::string> classNames; // upper-case -> as registered
    DWORD lastError = 0;
    // The mouse (mouse.cpp): input waiting to be read, the last button press (for double
    // clicks), the cursor set.
    std::deque<MouseInput> mouse;
    MSG lastPress{};
    HCURSOR cursor = nullptr;
    int messagesSinceYield = 0;
    MessageFilter waitingFor; // the filter of the message loop that waits for the next message
    std::string failure;      // why the simulation stopped this program, if it did
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    Millis nextDue = 0;
    bool pending = false;
    TIMERPROC proc = nullptr;
    // The program of the timer's window; a timer goes with its window, so this stays valid.
    Process *process = nullptr;
};

struct Control; // dialog controls, see dialogs.cpp

struct WindowObject {
    HWND handle = nullptr;
    Process *process = nullptr;
    std::string className; // as registered
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};
    HWND parent = nullptr; // child windows
    HWND owner = nullptr;  // owned top-level windows
    bool visible = false;
    bool enabled = true;
    bool destroying = false;
    WNDPROC proc = nullptr;
    int controlId = 0;
    // Framebuffer of the client area, 0x00RRGGBB, width * height.
    std::vector<uint32_t> pixels;
    int pixelsWidth = 0;
    int pixelsHeight = 0;
    // Painting (paint.cpp): the update region as rectangles of the client area, whether
    // BeginPaint must still send WM_ERASEBKGND, and whether the last erase left the background
    // to the painter (PAINTSTRUCT.fErase).
    std::vector<RECT> update;
    bool erasePending = false;
    bool eraseLeft = false;
    // Shown, hidden and moved without window events (a tool tip's window has events of its own).
    bool quiet = false;
};

struct OpenFile {
    int fd = -1;
    std::string windowsPath;
    std::string hostPath;
    bool write = false;
    bool written = false;
    DWORD share = 0;
};

struct FindSearch {
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};

// What PlaySoundA last found for a sound's name (sound.cpp): the file on the host and its
// length. It holds while that file is the one seen then and the drive has not been touched.
struct WaveLook {
    std::string hostPath;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modified = 0; // nanoseconds
    uint64_t fileOperations = 0;
    Millis duration = -1; // -1: not a playable wave file
};

struct Desktop::State {
    Desktop::Options options;
    std::string hostRoot;
    Millis now = 0;
    // While the caller lets time pass (Advance), the time it lets pass to.
    std::optional<Millis> advanceTarget;

    // Baton: the process allowed to run, or null while the caller (test, runner) runs.
    std::mutex mutex;
    std::condition_variable turn;
    Process *running = nullptr;

    std::vector<std::unique_ptr<Process>> processes;
    std::map<HWND, std::unique_ptr<WindowObject>> windows;
    std::vector<HWND> zOrder; // top-level windows, topmost first
    uintptr_t nextHandle = 0x10010;
    std::map<HWND, std::map<UINT, int64_t>> dispatched; // messages dispatched, per window
    std::vector<Timer> timers;
    HWND foreground = nullptr;
    HWND focus = nullptr; // the window that gets the keyboard's input
    POINT cursor{512, 384};
    WPARAM buttons = 0;          // MK_ flags of the mouse buttons held
    HWND underPointer = nullptr; // the top-level window the pointer was last seen over
    std::string pointerShape;    // the shape on the screen ("arrow", "cross", ...; "" none yet)

    std::map<HANDLE, OpenFile> files;
    std::map<HANDLE, FindSearch> searches;
    std::map<std::string, DWORD> attributes; // see AttributesOf
    DWORD commonDialogError = 0;             // what CommDlgExtendedError answers
    FileFaults faults;
    // Every file operation on the drive, the program's and the caller's (filefaults.cpp).
    uint64_t fileOperations = 0;
    std::map<std::string, WaveLook> waveLooks; // by current folder and name

    std::vector<SoundRecord> sounds;
    std::optional<size_t> lastPlayed; // index in sounds of the last sound that played
    std::vector<BeepRecord> beeps;
    std::vector<std::function<void(const Event &)>> observers;

    uintptr_t NewHandle()
    {
        nextHandle += 4;
        return nextHandle;
    }
};

// The desktop and the process whose thread is calling.
Desktop::State &S();
Process *CurrentProcess();

// Baton passing. A program thread calls Yield when it is idle; it returns when the thread has
// something to do again (or throws ProcessKilled). While the caller lets time pass and no other
// program runs, the thread moves the clock on to the next due timer itself, as the caller would,
// and keeps the baton; otherwise it hands the baton back and waits for its next turn.
void Yield();
// Runs one process until it yields or ends.
void Resume(Process *process);
// True when the program has something to do at the current time: a message for the loop it
// waits in, as that loop's filter takes it, a sent message, a quit message or an input action.
bool HasWork(Process *process);
// The earliest time after now and at or before limit when a timer of a running program falls
// due; limit + 1 when there is none. Ticks that are pending, or due already while their program
// waits for other messages, do not hold the clock.
Millis NextTimerDue(Millis limit);

WindowObject *FindWindowObject(HWND hwnd);
LRESULT SendToWindow(WindowObject *window, UINT message, WPARAM wParam, LPARAM lParam);
void CollectDueTimers(Process *process);
void PurgeMessages(HWND hwnd);

// Whether a message for the target window passes a filter's window.
bool ForWindow(HWND target, HWND filter);
// The next message of the calling thread matching the filter, if one is there now; messages
// sent from outside the thread are handled first.
bool TakeMessage(MSG *msg, const MessageFilter &filter, bool remove);
// The message loop of the calling program thread: the next message matching the filter,
// yielding while there is none (after calling onIdle once, when given). False for WM_QUIT.
bool NextMessage(MSG *msg, const MessageFilter &filter = {},
                 const std::function<void()> &onIdle = {});
// A message sent from outside the program's thread without waiting (SendNotifyMessage), as the
// shell reports the tray icon's mouse events.
void SendNotify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A text set anew leaves an edit field's caret at its start, nothing selected (controls.cpp).
void ResetEditSelection(HWND hwnd);

// Window geometry and classes (geometry.cpp). A frame or caption has the system metrics Wine
// gives (SM_CXDLGFRAME, SM_CYCAPTION): a 3-pixel frame round a window with a caption or a thick
// or dialog frame, a 19-pixel caption, a 1-pixel border.
constexpr int FrameWidth = 3;
constexpr int CaptionHeight = 19;
// Shown: visible, and every parent too.
bool IsShown(const WindowObject &window);
// The client area's size, and its top-left corner on the screen.
SIZE ClientSize(const WindowObject &window);
POINT ClientOrigin(const WindowObject &window);
const WNDCLASSA *WindowClass(const WindowObject &window);
// A window's children in the order they were made.
std::vector<HWND> ChildrenInOrder(HWND parent);
// The group of a dialog's control, in order: from the last control with WS_GROUP at or before it
// to the next one with WS_GROUP. Empty when the control is not the dialog's.
std::vector<HWND> GroupAround(HWND dialog, HWND control);
// Puts a top-level window at the top of its band (top-most windows, then the others).
void BringToTop(HWND hwnd);

// Painting (paint.cpp)
// Called by ShowWindow: a window shown is invalid as a whole and erased at once; a hidden one
// loses its picture and its update region.
void WindowShown(WindowObject &window);
void WindowHidden(WindowObject &window);
bool PaintPending(Process *process);
// WM_PAINT for the first window of the thread, in z-order, that has an update region and
// passes the filter's window.
bool NextPaintMessage(Process *process, MSG *msg, HWND filter);
LRESULT DefaultPaintMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Device contexts and brushes (gdi.cpp)
// A device context that draws only inside the rectangles given (client coordinates).
HDC OpenClippedContext(HWND hwnd, const std::vector<RECT> &clip);
void CloseContext(HDC dc);
void ClearPixels(WindowObject &window);

// The tool tip control (tooltips.cpp)
void ResetToolTipsState();

// The mouse (mouse.cpp)
// The next mouse message of the thread, its window found now; its time and point are those of
// the input.
bool NextMouseMessage(Process *process, MSG *msg);
// After a window was shown, hidden, moved, raised or destroyed: when the window under the
// pointer is now another one, it gets a mouse move, as Windows sends one.
void PointerWindowMayHaveChanged();
LRESULT DefaultMouseMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// While a popup menu is open its loop has the mouse to itself: every event, wherever it
// happens, is queued for the menu's thread, whose loop reads it as a message to no window with
// the screen point in pt; a press that ends the menu goes back to the front of the queue, to be
// read as usual once the menu has closed.
Process *MenuCapture();
void PutMouseBack(Process *process, const MSG &msg);

// Paths (paths.cpp)
std::string ResolveHostPath(const std::string &windowsPath, bool *found = nullptr);
std::string NormalizeWindowsPath(const std::string &path);
bool InReadOnlyFolder(const std::string &normalizedWindowsPath);
// Whether the host path names a folder.
bool IsDirectory(const std::string &hostPath);

// Files (files.cpp)
// Counts a call of the operation on the file (and, for a move or copy, the other file) and
// answers the error of an injected failure that makes it fail, already set as the last error,
// or 0 (filefaults.cpp).
DWORD InjectedFailure(FileOperation operation, const std::string &normalizedPath,
                      const std::string &otherNormalizedPath = "");
void CloseAllHandles();
// The error for a path that names nothing: ERROR_PATH_NOT_FOUND when its folder is missing too,
// else ERROR_FILE_NOT_FOUND.
DWORD MissingPathError(const std::string &normalizedWindowsPath);

// File attributes (folders.cpp). Files have FILE_ATTRIBUTE_ARCHIVE until told otherwise; the
// store keeps the others, by the file's folded Windows path, and follows renames and deletions.
DWORD AttributesOf(const std::string &normalizedWindowsPath, const std::string &hostPath);
void StoreAttributes(const std::string &normalizedWindowsPath, DWORD attributes);
void MoveAttributes(const std::string &fromNormalized, const std::string &toNormalized);
void ForgetAttributes(const std::string &normalizedWindowsPath);

// Text helpers (text.cpp)
// UTF-16 to UTF-8; length -1 for a terminated string.
std::string NarrowUtf16(const WCHAR *wide, int length);
// The next code point of UTF-8 text from byte i on, which moves past it. An ill-formed sequence
// gives U+FFFD and moves past its longest well-formed beginning (at least one byte), as Windows'
// conversion does; *valid says which.
uint32_t DecodeUtf8(const std::string &text, size_t &i, bool *valid = nullptr);
void EncodeUtf8(uint32_t codePoint, std::string &out);
// Text the system keeps in UTF-16 given back into a caller's buffer of count bytes, as Windows'
// conversions do it (measured under Wine by the conformance probe). A window's text
// (GetWindowTextA, WM_GETTEXT; text/window-text-cut): the whole characters that fit in count - 1
// bytes and the terminating zero; returns their length.
size_t CopyWholeCharacters(const std::string &text, LPSTR buffer, int count);
// A converted list entry (DlgDirSelectExA; filedialogs/select-japanese-entry): the whole
// characters that fit in count bytes; when the text and its zero do not all fit, the buffer's
// last byte becomes zero, which may cut the last character short, and the bytes between are
// left as they were. False when the text did not fit.
bool CopyConverted(const std::string &text, LPSTR buffer, int count);

} // namespace sim
