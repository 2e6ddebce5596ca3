// Simulated modal dialogs built from the program's resource script (see controls.cpp for their
// controls), and the dialog manager's handling of the keyboard.
//
// As on Windows (measured against Wine by the conformance probe): the dialog procedure gets
// WM_INITDIALOG before the dialog shows, and the focus goes to the first tab stop when it returns
// nonzero; the dialog shows when its loop first finds the queue empty, and then takes the focus
// if it has none; the owner is disabled while the dialog runs its nested message loop. Enter
// sends the command of the focused push button if it is the default one, else asks the dialog
// DM_GETDEFID for the default; Tab moves the focus to the next tab stop, and a push button that
// gets it becomes the default; Esc sends IDCANCEL; the close box sends WM_CLOSE, which the
// dialog's default handling turns into a posted IDCANCEL. EndDialog hides the dialog and ends
// the loop; the dialog is destroyed before DialogBoxParamA returns, the owner enabled again and
// the focus given back. A quit message ends the loop with the default button's id.
//
// Dialog units become pixels as Wine's dialog manager makes them (the conformance probe's
// geometry scenarios): each coordinate and size of the template scaled on its own (MulDiv,
// rounded) by the base units of the template's font (fonts.cpp), a frame and caption round the
// client area (FrameWidth, CaptionHeight), a control's border made a client edge, a combo box as
// high as its closed field, a list box cut to whole rows, an icon static as large as its icon. A
// template without a font (the simulated message boxes and file-open dialog) has fixed base
// units, 6 x 12. The arrows move the focus within a group of controls, clicking the automatic
// radio buttons they reach.
#include "platform/sim/dialogs.h"
#include "platform/sim/fonts.h"
#include "platform/sim/modal.h"
#include "platform/sim/shell.h"

#include <algorithm>
#include <cstring>

namespace sim
{

namespace
{

constexpr SIZE FixedBaseUnits{6, 12};
constexpr int Frame = FrameWidth;
constexpr int Caption = CaptionHeight;

bool IsWithin(HWND hwnd, HWND dialog)
{
    for (; hwnd; hwnd = FindWindowObject(hwnd) ? FindWindowObject(hwnd)->parent : nullptr)
        if (hwnd == dialog) return true;
    return false;
}

HWND FirstTabStop(HWND dialog)
{
    for (HWND child : ChildrenInOrder(dialog)) {
        const WindowObject &window = *FindWindowObject(child);
        if ((window.style & WS_TABSTOP) && window.enabled && window.visible) return child;
    }
    return nullptr;
}

// The next tab stop after the control, round the dialog.
HWND NextTabStop(HWND dialog, HWND from)
{
    std::vector<HWND> children = ChildrenInOrder(dialog);
    auto at = std::find(children.begin(), children.end(), from);
    size_t start =
        at == children.end() ? children.size() : static_cast<size_t>(at - children.begin());
    for (size_t step = 1; step <= children.size(); ++step) {
        HWND child = children[(start + step) % children.size()];
        const WindowObject &window = *FindWindowObject(child);
        if ((window.style & WS_TABSTOP) && window.enabled && window.visible) return child;
    }
    return from;
}

bool IsPushButton(const ControlState *c)
{
    return c && (IsButtonKind(*c, BS_PUSHBUTTON) || IsButtonKind(*c, BS_DEFPUSHBUTTON));
}

void SetButtonType(HWND button, int type)
{
    ControlState *c = FindControl(button);
    c->style = (c->style & ~static_cast<DWORD>(BS_TYPEMASK)) | static_cast<DWORD>(type);
    WindowObject *window = FindWindowObject(button);
    window->style = (window->style & ~static_cast<DWORD>(BS_TYPEMASK)) | static_cast<DWORD>(type);
}

// Shows the push button that takes Enter: the focused one, or the dialog's default. A button
// whose look changes is drawn again, and so is the one the focus came to, whose style the
// dialog manager sets again even when it stays.
void SetDefaultButton(DialogState &dialog, HWND focus)
{
    HWND wanted =
        IsPushButton(FindControl(focus)) ? focus : ControlWindow(dialog.hwnd, dialog.defaultId);
    for (HWND child : ChildrenInOrder(dialog.hwnd)) {
        ControlState *c = FindControl(child);
        if (!IsPushButton(c)) continue;
        const DWORD before = c->style & BS_TYPEMASK;
        SetButtonType(child, child == wanted && IsPushButton(FindControl(wanted)) ? BS_DEFPUSHBUTTON
                                                                                  : BS_PUSHBUTTON);
        if ((c->style & BS_TYPEMASK) != before || child == focus)
            (void)InvalidateRect(child, nullptr, TRUE);
    }
}

void SendCommand(HWND dialog, int id, HWND from)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(from));
}

bool Reachable(HWND control)
{
    const WindowObject *window = FindWindowObject(control);
    return window && window->enabled && window->visible;
}

// The next control of the focused one's group (from a WS_GROUP control to the next), round the
// group, passing over disabled and hidden ones; the control itself when there is none.
HWND NextInGroup(HWND dialog, HWND from, bool backwards)
{
    const std::vector<HWND> group = GroupAround(dialog, from);
    auto at = std::find(group.begin(), group.end(), from);
    if (at == group.end()) return from;
    const size_t size = group.size(), start = static_cast<size_t>(at - group.begin());
    for (size_t step = 1; step < size; ++step) {
        HWND next = group[(backwards ? start + size - step : start + step) % size];
        if (Reachable(next)) return next;
    }
    return from;
}

// The arrows move the focus within the focused control's group, unless the control takes
// arrows itself (an edit field, a list); an automatic radio button that gets it is clicked.
bool ArrowKey(DialogState &dialog, HWND focus, WPARAM key)
{
    ControlState *focused = IsWithin(focus, dialog.hwnd) ? FindControl(focus) : nullptr;
    if (!focused || focused->className == "EDIT" || focused->className == "LISTBOX" ||
        focused->className == "COMBOBOX")
        return false;
    HWND next = NextInGroup(dialog.hwnd, focus, key == VK_UP || key == VK_LEFT);
    ControlState *target = FindControl(next);
    DialogSetFocus(next);
    SetDefaultButton(dialog, next);
    if (target && IsButtonKind(*target, BS_AUTORADIOBUTTON) && target->check != BST_CHECKED)
        (void)SendMessageA(next, BM_CLICK, 0, 0);
    return true;
}

// The dialog manager's part of the dialog's loop: the keys it handles itself.
bool DialogKey(DialogState &dialog, const MSG &msg)
{
    if (msg.message != WM_KEYDOWN || !IsWithin(msg.hwnd, dialog.hwnd)) return false;
    HWND hwnd = dialog.hwnd;
    HWND focus = GetFocus();
    switch (msg.wParam) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
        return ArrowKey(dialog, focus, msg.wParam);
    case VK_RETURN: {
        ControlState *focused = IsWithin(focus, hwnd) ? FindControl(focus) : nullptr;
        if (focused && IsButtonKind(*focused, BS_DEFPUSHBUTTON)) {
            SendCommand(hwnd, focused->id, focus);
            return true;
        }
        LRESULT defId = SendMessageA(hwnd, DM_GETDEFID, 0, 0);
        if (HIWORD(defId) == DC_HASDEFID) {
            HWND button = GetDlgItem(hwnd, LOWORD(defId));
            if (!button || IsWindowEnabled(button)) SendCommand(hwnd, LOWORD(defId), button);
        } else {
            SendMessageA(hwnd, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDOK)));
        }
        return true;
    }
    case VK_ESCAPE:
        SendMessageA(hwnd, WM_COMMAND, IDCANCEL,
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return true;
    case VK_TAB: {
        HWND next = NextTabStop(hwnd, IsWithin(focus, hwnd) ? focus : nullptr);
        if (next) {
            DialogSetFocus(next);
            SetDefaultButton(dialog, next);
        }
        return true;
    }
    default:
        return false;
    }
}

INT_PTR CallDialogProc(DLGPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ProgramCode program;
    return proc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    DialogState *dialog = FindDialog(hwnd);
    if (dialog && dialog->proc && CallDialogProc(dialog->proc, hwnd, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_CLOSE: {
        // Unhandled, a close request becomes the cancel command, posted, unless the dialog's
        // cancel button is disabled.
        HWND cancel = GetDlgItem(hwnd, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel))
            (void)PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                               reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID:
        if (dialog && !dialog->ended && dialog->defaultId)
            return MAKELONG(dialog->defaultId, DC_HASDEFID);
        return 0;
    case WM_ACTIVATE:
        // Activated, it gives the focus to the control that had it, or to its first tab stop.
        if (LOWORD(wParam) != WA_INACTIVE && dialog && !IsWithin(S().focus, hwnd)) {
            HWND saved = dialog->savedFocus;
            (void)SetFocus(saved && IsWindow(saved) ? saved : FirstTabStop(hwnd));
        }
        return 0;
    default:
        // Painting and the mouse get the default handling too, as a dialog's default does.
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void RegisterClasses(Process *process)
{
    // Spelled as the system registers them, which GetClassNameA answers.
    static const char *const classes[] = {"#32770", "Button",   "Static",
                                          "Edit",   "ComboBox", "ListBox"};
    for (const char *name : classes) {
        std::string key = Upper(name);
        if (process->classes.count(key)) continue;
        WNDCLASSA wc{};
        wc.lpfnWndProc = std::strcmp(name, "#32770") == 0 ? DialogWindowProc : ControlProc;
        wc.lpszClassName = name;
        process->classes[key] = wc;
        process->classNames[key] = name;
    }
}

SIZE BaseUnits(const DialogTemplate &t)
{
    return t.font.empty() ? FixedBaseUnits : DialogBaseUnits(t.font, t.fontSize);
}

RECT ToPixels(SIZE base, int x, int y, int cx, int cy)
{
    int left = MulDiv(x, base.cx, 4), top = MulDiv(y, base.cy, 8);
    return RECT{left, top, left + MulDiv(cx, base.cx, 4), top + MulDiv(cy, base.cy, 8)};
}

// What the control is made as: a combo box as high as its closed field (the font's height and
// its edges), a list box cut to whole rows of the font's height (unless LBS_NOINTEGRALHEIGHT),
// an icon static as large as its icon.
RECT ControlRect(SIZE base, const ControlTemplate &c, DWORD exStyle)
{
    RECT r = ToPixels(base, c.x, c.y, c.cx, c.cy);
    const int fontHeight = base.cy;
    if (c.className == "COMBOBOX") r.bottom = r.top + fontHeight + 8;
    if (c.className == "LISTBOX" && !(c.style & LBS_NOINTEGRALHEIGHT)) {
        int edges = (exStyle & WS_EX_CLIENTEDGE) ? 4 : (c.style & WS_BORDER) ? 2 : 0;
        r.bottom -= std::max(0, static_cast<int>(r.bottom - r.top) - edges) % fontHeight;
    }
    if (c.className == "STATIC" && (c.style & 0xF) == SS_ICON) {
        if (const IconPixels *icon = FindIconPixels(Upper(c.text))) {
            r.right = r.left + icon->width;
            r.bottom = r.top + icon->height;
        }
    }
    return r;
}

// Where a dialog's window appears, as Wine's dialog manager places it: centred on the screen with
// DS_CENTER; otherwise with its client area at the template's place, counted from the owner's
// client area (from the screen's corner without an owner). Then it is pulled back inside the
// right and bottom screen edges with a dialog frame's width (3 pixels) to spare, and inside the
// left and top ones.
POINT DialogPlace(const DialogTemplate &t, HWND owner, POINT templatePlace, SIZE size,
                  POINT clientOffset)
{
    const int screenWidth = S().options.screenWidth, screenHeight = S().options.screenHeight;
    POINT place{templatePlace.x - clientOffset.x, templatePlace.y - clientOffset.y};
    if (t.style & DS_CENTER) {
        place = POINT{(screenWidth - size.cx) / 2, (screenHeight - size.cy) / 2};
    } else if (const WindowObject *ownerWindow = owner ? FindWindowObject(owner) : nullptr) {
        POINT origin = ClientOrigin(*ownerWindow);
        place = POINT{place.x + origin.x, place.y + origin.y};
    }
    place.x = std::min<LONG>(place.x, screenWidth - size.cx - Frame);
    place.y = std::min<LONG>(place.y, screenHeight - size.cy - Frame);
    place.x = std::max<LONG>(place.x, 0);
    place.y = std::max<LONG>(place.y, 0);
    return place;
}

void EmitDialog(const char *kind, const std::string &name, const std::string &title)
{
    Event event;
    event.kind = kind;
    event.fields = {{"template", JsonString(name)}, {"title", JsonString(title)}};
    Desktop::Current().Emit(event);
}

// A dialog the user can reach: open, shown and not disabled by a modal window over it.
void CheckOperable(HWND dialog, const char *action)
{
    auto window = Desktop::Current().Window(dialog);
    if (!window) throw SimulationError(std::string(action) + ": the dialog is gone");
    if (!window->enabled)
        throw SimulationError(std::string(action) +
                              ": the dialog is disabled (a modal window is over it); no user "
                              "can reach it");
}

// A key pressed while the dialog is the user's: to the focus if it is in the dialog, else to
// the dialog.
void PressKey(HWND dialog, WPARAM key, const char *action)
{
    CheckOperable(dialog, action);
    HWND focus = S().focus;
    Desktop::Current().Post(IsWithin(focus, dialog) ? focus : dialog, WM_KEYDOWN, key, 1);
}

// Tab pressed until the control has the focus, as a keyboard user reaches it: round the dialog
// once when it has the focus already and `round` asks for it (arriving by Tab selects an edit
// field's text). Fails loudly for a control Tab never reaches.
void TabTo(HWND dialog, HWND control, bool round, const char *action)
{
    const size_t controls = ChildrenInOrder(dialog).size();
    for (size_t presses = 0; presses <= controls; ++presses) {
        if (S().focus == control && (presses > 0 || !round)) return;
        PressKey(dialog, VK_TAB, action);
    }
    throw SimulationError(std::string(action) + ": Tab never reaches control " +
                          std::to_string(FindWindowObject(control)->controlId));
}

} // namespace

INT_PTR RunDialog(const DialogTemplate &t, const std::string &name, HINSTANCE instance, HWND owner,
                  DLGPROC proc, LPARAM param, bool announce, INT_PTR quitResult)
{
    Process *process = CurrentProcess();
    RegisterClasses(process);

    const SIZE base = BaseUnits(t);
    RECT client = ToPixels(base, t.x, t.y, t.cx, t.cy);
    int width = client.right - client.left + 2 * Frame;
    int height = client.bottom - client.top + 2 * Frame + ((t.style & WS_CAPTION) ? Caption : 0);
    DialogState state;
    state.templateName = name;
    state.proc = proc;
    state.owner = owner;
    state.process = process->id;
    D().dialogs.push_back(state);
    const POINT clientOffset{Frame, Frame + ((t.style & WS_CAPTION) ? Caption : 0)};
    POINT place =
        DialogPlace(t, owner, POINT{client.left, client.top}, SIZE{width, height}, clientOffset);
    HWND hwnd = CreateWindowExA(t.exStyle, "#32770", t.caption.c_str(), t.style & ~WS_VISIBLE,
                                place.x, place.y, width, height, owner, nullptr, instance, nullptr);
    D().dialogs.back().hwnd = hwnd;
    for (const ControlTemplate &c : t.controls) {
        // A control's border becomes a sunken client edge, and its parent is not told of its
        // creation and destruction.
        DWORD style = c.style, exStyle = c.exStyle | WS_EX_NOPARENTNOTIFY;
        if (style & WS_BORDER) {
            style &= ~static_cast<DWORD>(WS_BORDER);
            exStyle |= WS_EX_CLIENTEDGE;
        }
        RECT r = ControlRect(base, c, exStyle);
        HWND control = CreateWindowExA(
            exStyle, c.className.c_str(),
            c.className == "STATIC" && (c.style & 0xF) == SS_ICON ? "" : c.text.c_str(), style,
            r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd,
            reinterpret_cast<HMENU>(static_cast<intptr_t>(c.id)), instance, nullptr);
        FindWindowObject(control)->enabled = !(c.style & WS_DISABLED);
        D().controls[control] = ControlState{c.id, c.className, style, BST_UNCHECKED, {}, -1};
        if (c.className == "BUTTON" && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            !FindDialog(hwnd)->defaultId)
            FindDialog(hwnd)->defaultId = c.id;
    }
    // The window that had the focus gets it back when the dialog is gone; an owner that is a
    // dialog keeps it as its own.
    HWND focusBefore = S().focus;
    if (DialogState *ownerDialog = FindDialog(owner); ownerDialog && IsWithin(focusBefore, owner))
        ownerDialog->savedFocus = focusBefore;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (owner) EnableWindow(owner, FALSE);
    HWND firstTab = FirstTabStop(hwnd);
    if (CallDialogProc(proc, hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTab), param) &&
        IsWindow(hwnd))
        if (HWND focus = FirstTabStop(hwnd)) DialogSetFocus(focus);
    if (announce) {
        D().shown.push_back(name);
        EmitDialog("dialog.open", name, t.caption);
    }

    bool shown = false;
    const std::function<void()> show = [&] {
        if (shown || !IsWindow(hwnd) || FindDialog(hwnd)->ended) return;
        shown = true;
        ShowWindow(hwnd, SW_SHOW);
    };
    MSG msg;
    while (IsWindow(hwnd) && !FindDialog(hwnd)->ended) {
        if (!NextMessage(&msg, {}, show)) {
            // A quit message ends the dialog (with its default button's id, unless the caller
            // says otherwise) and is posted again for the loop around it.
            FindDialog(hwnd)->result = quitResult ? quitResult : FindDialog(hwnd)->defaultId;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (DialogKey(*FindDialog(hwnd), msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    INT_PTR result = FindDialog(hwnd) ? FindDialog(hwnd)->result : 0;
    if (owner && ownerWasEnabled) EnableWindow(owner, TRUE);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    for (auto it = D().controls.begin(); it != D().controls.end();)
        it = IsWindow(it->first) ? std::next(it) : D().controls.erase(it);
    auto &open = D().dialogs;
    open.erase(std::remove_if(open.begin(), open.end(),
                              [hwnd](const DialogState &d) { return d.hwnd == hwnd; }),
               open.end());
    DialogState *ownerDialog = FindDialog(owner);
    HWND restore = ownerDialog && ownerDialog->savedFocus ? ownerDialog->savedFocus : focusBefore;
    if (restore && IsWindow(restore)) (void)SetFocus(restore);
    if (announce) EmitDialog("dialog.close", name, t.caption);
    return result;
}

// ---- Desktop methods

std::vector<DialogInfo> Desktop::OpenDialogs() const
{
    std::vector<DialogInfo> open;
    for (const DialogState &dialog : D().dialogs)
        if (!dialog.ended && FindWindowObject(dialog.hwnd))
            open.push_back(DialogInfo{dialog.hwnd, dialog.templateName,
                                      FindWindowObject(dialog.hwnd)->title, dialog.process});
    return open;
}

std::optional<DialogInfo> Desktop::Dialog(const std::string &templateName) const
{
    for (const DialogInfo &dialog : OpenDialogs())
        if (dialog.templateName == templateName) return dialog;
    return std::nullopt;
}

std::vector<std::string> Desktop::DialogsShown() const
{
    return D().shown;
}

std::vector<ControlInfo> Desktop::Controls(HWND dialog) const
{
    std::vector<ControlInfo> all;
    for (HWND child : ChildrenInOrder(dialog)) {
        const WindowObject &w = *FindWindowObject(child);
        ControlInfo info;
        info.hwnd = child;
        info.id = w.controlId;
        info.text = w.title;
        info.style = w.style;
        info.enabled = w.enabled;
        info.rect = w.rect;
        auto it = D().controls.find(child);
        if (it != D().controls.end()) {
            info.className = it->second.className;
            info.checked = it->second.check == BST_CHECKED;
            info.items = it->second.items;
            info.selection = it->second.selection;
        }
        all.push_back(info);
    }
    return all;
}

ControlInfo Desktop::Control(HWND dialog, int id) const
{
    for (const ControlInfo &control : Controls(dialog))
        if (control.id == id) return control;
    throw SimulationError("the dialog has no control " + std::to_string(id));
}

HWND Desktop::Focus() const
{
    return S().focus;
}

void Desktop::Click(HWND dialog, int id)
{
    ControlInfo control = Control(dialog, id); // fails clearly for a missing control
    CheckOperable(dialog, "Click");
    // A click on a disabled control or on a hidden dialog reaches nothing.
    if (!control.enabled || !Window(dialog)->visible || control.className != "BUTTON") return;
    Input(Window(dialog)->process,
          [button = control.hwnd] { (void)SendMessageA(button, BM_CLICK, 0, 0); });
}

void Desktop::Select(HWND dialog, int id, int index)
{
    ControlInfo control = Control(dialog, id);
    CheckOperable(dialog, "Select");
    if (index < 0 || index >= static_cast<int>(control.items.size()))
        throw SimulationError("control " + std::to_string(id) + " has no entry " +
                              std::to_string(index));
    // A disabled list takes nothing.
    if (!control.enabled) return;
    // The keyboard's way: Tab onto the list, Home for its first entry, Down to the one wanted.
    TabTo(dialog, control.hwnd, false, "Select");
    PressKey(dialog, VK_HOME, "Select");
    for (int step = 0; step < index; ++step)
        PressKey(dialog, VK_DOWN, "Select");
}

void Desktop::TypeText(HWND dialog, int id, const std::string &text)
{
    ControlInfo control = Control(dialog, id);
    CheckOperable(dialog, "TypeText");
    if (control.className != "EDIT")
        throw SimulationError("TypeText: control " + std::to_string(id) + " is no edit field");
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80)
            throw SimulationError("TypeText: only printable ASCII is typed (the keyboard's input "
                                  "method is not simulated)");
    if (!control.enabled) return;
    // The keyboard's way: Tab onto the field, which selects its text, then the characters,
    // which replace it.
    TabTo(dialog, control.hwnd, true, "TypeText");
    for (char c : text)
        Post(control.hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Desktop::PressEnter(HWND dialog)
{
    PressKey(dialog, VK_RETURN, "PressEnter");
}

void Desktop::PressEscape(HWND dialog)
{
    PressKey(dialog, VK_ESCAPE, "PressEscape");
}

void Desktop::PressTab(HWND dialog)
{
    PressKey(dialog, VK_TAB, "PressTab");
}

void Desktop::PressCloseBox(HWND dialog)
{
    CheckOperable(dialog, "PressCloseBox");
    Post(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Desktop::PressAltF4()
{
    HWND target = S().focus ? S().focus : S().foreground;
    if (!target) throw SimulationError("PressAltF4: no window takes the keyboard");
    // A repeat count of one, F4's scan code and the Alt key held.
    constexpr UINT F4ScanCode = 0x3E;
    Post(target, WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(1 | ((F4ScanCode | KF_ALTDOWN) << 16)));
}

} // namespace sim

using namespace sim;

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam)
{
    PlatformCode platform;
    const auto &dialogs = ProgramResources().dialogs;
    auto found = dialogs.find(ResourceKey(templateName));
    if (found == dialogs.end()) {
        SetLastError(1814); // ERROR_RESOURCE_NAME_NOT_FOUND
        return -1;
    }
    return RunDialog(found->second, found->first, instance, owner, dialogProc, initParam, true);
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    PlatformCode platform;
    DialogState *state = FindDialog(dialog);
    if (!state) return FALSE;
    state->ended = true;
    state->result = result;
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}
