// Simulated modal dialogs built from the program's resource script, with the standard controls
// the dialogs use: push buttons, automatic check boxes and radio buttons, static texts and
// icons, edit fields, drop-down lists and list boxes.
//
// As on Windows: the dialog procedure gets WM_INITDIALOG before the dialog shows, and the
// focus goes to the first tab stop when it returns nonzero; the owner is disabled while the
// dialog runs its nested message loop; a click on a button sends WM_COMMAND with BN_CLICKED
// (automatic check boxes and radio buttons change state first); Enter presses the default push
// button, Esc sends IDCANCEL, the close box sends WM_CLOSE; EndDialog ends the loop, and the
// dialog is destroyed before DialogBoxParamA returns.
//
// Dialog units become pixels through fixed font metrics (every font has an average character
// 6 pixels wide and 12 high), with a 3-pixel frame and an 18-pixel caption.
#include "internal.h"
#include "modal.h"
#include "resources.h"

#include <algorithm>
#include <cstring>

namespace sim
{

namespace
{

constexpr int BaseUnitX = 6;
constexpr int BaseUnitY = 12;
constexpr int Frame = 3;
constexpr int Caption = 18;

struct ControlState {
    int id = 0;
    std::string className;
    DWORD style = 0;
    int check = BST_UNCHECKED;
    std::vector<std::string> items;
    int selection = -1;
};

struct DialogState {
    HWND hwnd = nullptr;
    std::string templateName;
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    HWND owner = nullptr;
    int process = 0;
};

struct DialogsState {
    std::map<HWND, ControlState> controls;
    std::vector<DialogState> dialogs; // open ones, innermost last
    std::vector<std::string> shown;
    HWND focus = nullptr;
};

DialogsState &D()
{
    static DialogsState state;
    return state;
}

DialogState *FindDialog(HWND hwnd)
{
    for (DialogState &dialog : D().dialogs)
        if (dialog.hwnd == hwnd) return &dialog;
    return nullptr;
}

int Type(const ControlState &c)
{
    return static_cast<int>(c.style & BS_TYPEMASK);
}

bool IsButtonKind(const ControlState &c, int kind)
{
    return c.className == "BUTTON" && Type(c) == kind;
}

std::vector<std::string> &SortedInsert(ControlState &c, const std::string &text, int *index)
{
    bool sorted = (c.className == "COMBOBOX" && (c.style & CBS_SORT)) ||
                  (c.className == "LISTBOX" && (c.style & LBS_SORT));
    auto at = c.items.end();
    if (sorted)
        at = std::upper_bound(
            c.items.begin(), c.items.end(), text,
            [](const std::string &a, const std::string &b) { return Upper(a) < Upper(b); });
    *index = static_cast<int>(at - c.items.begin());
    c.items.insert(at, text);
    return c.items;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    auto it = D().controls.find(hwnd);
    if (it == D().controls.end()) return DefWindowProcA(hwnd, message, wParam, lParam);
    ControlState &c = it->second;
    const bool combo = c.className == "COMBOBOX";
    switch (message) {
    case BM_GETCHECK:
        return c.check;
    case BM_SETCHECK:
        c.check = static_cast<int>(wParam);
        return 0;
    case CB_ADDSTRING:
    case LB_ADDSTRING: {
        int index = 0;
        SortedInsert(c, reinterpret_cast<LPCSTR>(lParam), &index);
        return index;
    }
    case CB_INSERTSTRING:
    case LB_INSERTSTRING: {
        int at = static_cast<int>(wParam);
        if (at == -1 || at == static_cast<int>(c.items.size())) {
            c.items.push_back(reinterpret_cast<LPCSTR>(lParam));
            return static_cast<LRESULT>(c.items.size() - 1);
        }
        if (at < 0 || at > static_cast<int>(c.items.size())) return combo ? CB_ERR : LB_ERR;
        c.items.insert(c.items.begin() + at, reinterpret_cast<LPCSTR>(lParam));
        if (c.selection >= at) ++c.selection;
        return at;
    }
    case CB_RESETCONTENT:
    case LB_RESETCONTENT:
        c.items.clear();
        c.selection = -1;
        return 0;
    case CB_GETCOUNT:
    case LB_GETCOUNT:
        return static_cast<LRESULT>(c.items.size());
    case CB_SETCURSEL:
    case LB_SETCURSEL: {
        int index = static_cast<int>(static_cast<WPARAM>(wParam));
        if (index < 0 || index >= static_cast<int>(c.items.size())) {
            c.selection = -1;
            return combo ? CB_ERR : LB_ERR;
        }
        c.selection = index;
        return index;
    }
    case CB_GETCURSEL:
    case LB_GETCURSEL:
        return c.selection;
    case CB_GETLBTEXT:
    case LB_GETTEXT: {
        int index = static_cast<int>(wParam);
        if (index < 0 || index >= static_cast<int>(c.items.size())) return combo ? CB_ERR : LB_ERR;
        std::strcpy(reinterpret_cast<LPSTR>(lParam), c.items[static_cast<size_t>(index)].c_str());
        return static_cast<LRESULT>(c.items[static_cast<size_t>(index)].size());
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
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
    case WM_CLOSE:
        // Unhandled, a close request becomes the cancel command.
        SendMessageA(hwnd, WM_COMMAND, IDCANCEL,
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return 0;
    case WM_NCCREATE:
        return TRUE;
    default:
        return 0;
    }
}

void RegisterClasses(Process *process)
{
    static const char *const classes[] = {"#32770", "BUTTON",   "STATIC",
                                          "EDIT",   "COMBOBOX", "LISTBOX"};
    for (const char *name : classes) {
        if (process->classes.count(name)) continue;
        WNDCLASSA wc{};
        wc.lpfnWndProc = std::strcmp(name, "#32770") == 0 ? DialogWindowProc : ControlProc;
        wc.lpszClassName = name;
        process->classes[name] = wc;
        process->classNames[name] = name;
    }
}

RECT ToPixels(int x, int y, int cx, int cy)
{
    return RECT{x * BaseUnitX / 4, y * BaseUnitY / 8, (x + cx) * BaseUnitX / 4,
                (y + cy) * BaseUnitY / 8};
}

HWND FirstTabStop(HWND dialog)
{
    // Children in creation order: their handles grow.
    HWND best = nullptr;
    for (const auto &[handle, window] : S().windows) {
        if (window->parent != dialog || !(window->style & WS_TABSTOP) || !window->enabled) continue;
        if (!best || handle < best) best = handle;
    }
    return best;
}

std::vector<HWND> ChildrenInOrder(HWND dialog)
{
    std::vector<HWND> children;
    for (const auto &[handle, window] : S().windows)
        if (window->parent == dialog) children.push_back(handle);
    std::sort(children.begin(), children.end());
    return children;
}

void EmitDialog(const char *kind, const std::string &name, const std::string &title)
{
    Event event;
    event.kind = kind;
    event.fields = {{"template", JsonString(name)}, {"title", JsonString(title)}};
    Desktop::Current().Emit(event);
}

HWND ControlWindow(HWND dialog, int id)
{
    for (HWND child : ChildrenInOrder(dialog))
        if (FindWindowObject(child)->controlId == id) return child;
    return nullptr;
}

int DefaultButton(HWND dialog)
{
    for (HWND child : ChildrenInOrder(dialog)) {
        auto it = D().controls.find(child);
        if (it != D().controls.end() && IsButtonKind(it->second, BS_DEFPUSHBUTTON))
            return it->second.id;
    }
    return IDOK;
}

// The user's click on a button, on the program's thread.
void ClickOnProgramThread(HWND dialog, int id)
{
    HWND button = ControlWindow(dialog, id);
    WindowObject *window = FindWindowObject(button);
    if (!window || !window->enabled || !IsWindowVisible(dialog)) return;
    ControlState &c = D().controls[button];
    if (c.className != "BUTTON") return;
    D().focus = button;
    if (IsButtonKind(c, BS_AUTOCHECKBOX)) {
        c.check = c.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    } else if (IsButtonKind(c, BS_AUTORADIOBUTTON)) {
        // The group runs from the last WS_GROUP control at or before this one to the next.
        std::vector<HWND> children = ChildrenInOrder(dialog);
        auto at = std::find(children.begin(), children.end(), button);
        auto first = at;
        while (first != children.begin() && !(FindWindowObject(*first)->style & WS_GROUP))
            --first;
        auto last = at + 1;
        while (last != children.end() && !(FindWindowObject(*last)->style & WS_GROUP))
            ++last;
        for (auto it = first; it != last; ++it) {
            auto control = D().controls.find(*it);
            if (control != D().controls.end() && IsButtonKind(control->second, BS_AUTORADIOBUTTON))
                control->second.check = *it == button ? BST_CHECKED : BST_UNCHECKED;
        }
    } else if (IsButtonKind(c, BS_GROUPBOX)) {
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace

void ResetDialogsState()
{
    D() = DialogsState{};
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
    return D().focus;
}

void Desktop::Click(HWND dialog, int id)
{
    Control(dialog, id); // fails clearly for a missing control
    Input(Window(dialog)->process, [dialog, id] { ClickOnProgramThread(dialog, id); });
}

void Desktop::Select(HWND dialog, int id, int index)
{
    ControlInfo control = Control(dialog, id);
    if (index < 0 || index >= static_cast<int>(control.items.size()))
        throw SimulationError("control " + std::to_string(id) + " has no entry " +
                              std::to_string(index));
    Input(Window(dialog)->process, [dialog, control, index] {
        if (!control.enabled) return;
        ControlState &c = D().controls[control.hwnd];
        D().focus = control.hwnd;
        bool changed = c.selection != index;
        c.selection = index;
        if (c.className == "COMBOBOX" && changed)
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control.id, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(control.hwnd));
        if (c.className == "LISTBOX" && (c.style & LBS_NOTIFY))
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control.id, LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(control.hwnd));
    });
}

void Desktop::TypeText(HWND dialog, int id, const std::string &text)
{
    ControlInfo control = Control(dialog, id);
    Input(Window(dialog)->process, [control, text] {
        if (!control.enabled || (control.style & ES_READONLY)) return;
        D().focus = control.hwnd;
        SetWindowTextA(control.hwnd, text.c_str());
    });
}

void Desktop::PressEnter(HWND dialog)
{
    Input(Window(dialog)->process, [dialog] {
        int id = DefaultButton(dialog);
        HWND button = ControlWindow(dialog, id);
        if (button && !FindWindowObject(button)->enabled) return;
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    });
}

void Desktop::PressEscape(HWND dialog)
{
    Input(Window(dialog)->process, [dialog] {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    });
}

void Desktop::PressCloseBox(HWND dialog)
{
    Input(Window(dialog)->process, [dialog] { SendMessageA(dialog, WM_CLOSE, 0, 0); });
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
    const DialogTemplate &t = found->second;
    Process *process = CurrentProcess();
    RegisterClasses(process);

    RECT client = ToPixels(t.x, t.y, t.cx, t.cy);
    int width = client.right - client.left + 2 * Frame;
    int height = client.bottom - client.top + 2 * Frame + ((t.style & WS_CAPTION) ? Caption : 0);
    D().dialogs.push_back(
        DialogState{nullptr, found->first, dialogProc, false, 0, owner, process->id});
    HWND hwnd =
        CreateWindowExA(t.exStyle, "#32770", t.caption.c_str(), t.style & ~WS_VISIBLE, client.left,
                        client.top, width, height, owner, nullptr, instance, nullptr);
    DialogState *dialog = &D().dialogs.back();
    dialog->hwnd = hwnd;
    for (const ControlTemplate &c : t.controls) {
        RECT r = ToPixels(c.x, c.y, c.cx, c.cy);
        if (c.className == "COMBOBOX")
            r.bottom = r.top + BaseUnitY + 8; // the closed drop-down list
        HWND control = CreateWindowExA(
            c.exStyle, c.className.c_str(),
            c.className == "STATIC" && (c.style & 0xF) == SS_ICON ? "" : c.text.c_str(), c.style,
            r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd,
            reinterpret_cast<HMENU>(static_cast<intptr_t>(c.id)), instance, nullptr);
        FindWindowObject(control)->enabled = !(c.style & WS_DISABLED);
        D().controls[control] = ControlState{c.id, c.className, c.style, BST_UNCHECKED, {}, -1};
    }
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (owner) EnableWindow(owner, FALSE);
    HWND firstTab = FirstTabStop(hwnd);
    if (CallDialogProc(dialogProc, hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTab),
                       initParam))
        D().focus = FirstTabStop(hwnd);
    D().shown.push_back(found->first);
    EmitDialog("dialog.open", found->first, t.caption);
    if (!FindDialog(hwnd)->ended) ShowWindow(hwnd, SW_SHOW);

    RunModalLoop([hwnd] { return FindDialog(hwnd)->ended || !IsWindow(hwnd); });

    INT_PTR result = FindDialog(hwnd)->result;
    if (owner && ownerWasEnabled) EnableWindow(owner, TRUE);
    for (HWND child : ChildrenInOrder(hwnd))
        D().controls.erase(child);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    if (D().focus && !IsWindow(D().focus)) D().focus = nullptr;
    auto &open = D().dialogs;
    open.erase(std::remove_if(open.begin(), open.end(),
                              [hwnd](const DialogState &d) { return d.hwnd == hwnd; }),
               open.end());
    EmitDialog("dialog.close", found->first, t.caption);
    return result;
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

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    PlatformCode platform;
    return ControlWindow(dialog, id);
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    PlatformCode platform;
    return GetDlgItem(dialog, id) ? (SendDlgItemMessageA(dialog, id, BM_SETCHECK, check, 0), TRUE)
                                  : FALSE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    PlatformCode platform;
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check)
{
    PlatformCode platform;
    for (HWND child : ChildrenInOrder(dialog)) {
        int id = FindWindowObject(child)->controlId;
        if (id >= first && id <= last)
            SendMessageA(child, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    PlatformCode platform;
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int max)
{
    PlatformCode platform;
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (max > 0) text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, text, max));
}
