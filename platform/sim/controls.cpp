// The standard controls of the simulated dialogs: push buttons, automatic check boxes and radio
// buttons, static texts and icons, edit fields, drop-down lists and list boxes, with the messages
// the program sends them, and the dialog functions that reach them by id.
//
// As on Windows, BM_CLICK presses and releases a button as the mouse does: the button takes the
// focus, an automatic check box or radio button changes state, and the parent hears BN_CLICKED.
// Measured against Wine by the conformance probe (controls/...): a check box or radio button
// takes no other state than checked or unchecked (a larger one is checked), a push button and a
// control that is no button none at all, and CheckDlgButton says TRUE also for an id the dialog
// does not have. CB_SETCURSEL and LB_SETCURSEL out of range fail and keep the selection; -1
// clears it. A closed drop-down list with the focus moves its selection with Up, Down, Home and
// End as a list box does (to the first entry when none is selected) and tells CBN_SELENDOK and
// CBN_SELCHANGE after every such key, even when the selection stays. An edit field replaces its
// selection with each character typed and tells EN_UPDATE and EN_CHANGE; its text set anew
// leaves the caret at its start.
// Buttons are drawn with the visual style the program's manifest asks for: a push button, check
// box, radio button or group box is partly transparent, so each time it paints it has its parent
// draw the background under it (WM_ERASEBKGND, then WM_PRINTCLIENT). It is drawn again when it
// is pressed or released, when its check changes and when it gets or loses the focus.
#include "platform/sim/dialogs.h"
#include "platform/sim/listbox.h"
#include "platform/sim/names.h"

#include <algorithm>
#include <cstring>

namespace sim
{

DialogsState &D()
{
    static DialogsState state;
    return state;
}

void ResetDialogsState()
{
    D() = DialogsState{};
}

DialogState *FindDialog(HWND hwnd)
{
    for (DialogState &dialog : D().dialogs)
        if (dialog.hwnd == hwnd) return &dialog;
    return nullptr;
}

ControlState *FindControl(HWND hwnd)
{
    auto it = D().controls.find(hwnd);
    return it == D().controls.end() ? nullptr : &it->second;
}

bool IsButtonKind(const ControlState &c, int kind)
{
    return c.className == "BUTTON" && static_cast<int>(c.style & BS_TYPEMASK) == kind;
}

HWND ControlWindow(HWND dialog, int id)
{
    for (HWND child : ChildrenInOrder(dialog))
        if (FindWindowObject(child)->controlId == id) return child;
    return nullptr;
}

namespace
{

std::vector<std::string> &SortedInsert(ControlState &c, const std::string &text, int *index)
{
    bool sorted = (c.className == "COMBOBOX" && (c.style & CBS_SORT)) ||
                  (c.className == "LISTBOX" && (c.style & LBS_SORT));
    size_t at = sorted ? SortedPosition(c.items, text) : c.items.size();
    *index = static_cast<int>(at);
    c.items.insert(c.items.begin() + static_cast<std::ptrdiff_t>(at), text);
    if (c.selection >= *index) ++c.selection;
    return c.items;
}

bool DrawsParentBackground(const ControlState &c)
{
    return IsButtonKind(c, BS_PUSHBUTTON) || IsButtonKind(c, BS_DEFPUSHBUTTON) ||
           IsButtonKind(c, BS_CHECKBOX) || IsButtonKind(c, BS_AUTOCHECKBOX) ||
           IsButtonKind(c, BS_RADIOBUTTON) || IsButtonKind(c, BS_AUTORADIOBUTTON) ||
           IsButtonKind(c, BS_GROUPBOX);
}

// The parent draws its background under the button, through a device context that reaches
// only the button's part of the parent's client area.
void DrawParentBackground(HWND button)
{
    const WindowObject *window = FindWindowObject(button);
    if (!window || !window->parent) return;
    HDC dc = OpenClippedContext(window->parent, {window->rect});
    (void)SendMessageA(window->parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    (void)SendMessageA(window->parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    CloseContext(dc);
}

// The highest state a button of the kind takes: none for push buttons and group boxes.
int MostChecked(const ControlState &c)
{
    if (IsButtonKind(c, BS_3STATE) || IsButtonKind(c, BS_AUTO3STATE)) return BST_INDETERMINATE;
    if (IsButtonKind(c, BS_CHECKBOX) || IsButtonKind(c, BS_AUTOCHECKBOX) ||
        IsButtonKind(c, BS_RADIOBUTTON) || IsButtonKind(c, BS_AUTORADIOBUTTON))
        return BST_CHECKED;
    return BST_UNCHECKED;
}

void SetCheck(HWND button, ControlState &c, int check)
{
    check = std::min(check, MostChecked(c));
    if (c.check == check) return;
    c.check = check;
    (void)InvalidateRect(button, nullptr, FALSE);
}

void ClickButton(HWND button)
{
    ControlState &c = D().controls[button];
    const int id = c.id;
    HWND dialog = GetParent(button);
    (void)SetFocus(button);
    // Pressed and released: drawn again once the loop has time.
    if (!IsButtonKind(c, BS_GROUPBOX)) (void)InvalidateRect(button, nullptr, FALSE);
    if (IsButtonKind(c, BS_AUTOCHECKBOX)) {
        SetCheck(button, c, c.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    } else if (IsButtonKind(c, BS_AUTORADIOBUTTON)) {
        // The group runs from the last WS_GROUP control at or before this one to the next.
        for (HWND member : GroupAround(dialog, button)) {
            auto control = D().controls.find(member);
            if (control != D().controls.end() && IsButtonKind(control->second, BS_AUTORADIOBUTTON))
                SetCheck(member, control->second, member == button ? BST_CHECKED : BST_UNCHECKED);
        }
    } else if (IsButtonKind(c, BS_GROUPBOX)) {
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void NotifyCombo(HWND hwnd, const ControlState &c, WORD code)
{
    (void)SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(c.id, code),
                       reinterpret_cast<LPARAM>(hwnd));
}

// Up, Down, Home and End in a closed drop-down list.
bool ComboKey(HWND hwnd, ControlState &c, WPARAM key)
{
    const int last = static_cast<int>(c.items.size()) - 1;
    int caret = 0;
    if (!SelectionAfterKey(key, c.selection, last, &caret)) return false;
    if (last < 0) return true;
    c.selection = caret;
    NotifyCombo(hwnd, c, CBN_SELENDOK);
    NotifyCombo(hwnd, c, CBN_SELCHANGE);
    return true;
}

// A character typed into an edit field: it replaces the selection, and the caret follows it.
void TypeCharacter(HWND hwnd, ControlState &c, WPARAM character)
{
    if (character < 0x20 || character >= 0x80 || (c.style & ES_READONLY)) return;
    std::string text = FindWindowObject(hwnd)->title;
    const size_t start = std::min<size_t>(static_cast<size_t>(c.selectionStart), text.size());
    const size_t end = std::min<size_t>(static_cast<size_t>(c.selectionEnd), text.size());
    text.replace(start, end - start, 1, static_cast<char>(character));
    (void)SetWindowTextA(hwnd, text.c_str());
    c.selectionStart = c.selectionEnd = static_cast<int>(start + 1);
}

int SelectionBound(LPARAM bound, const std::string &text)
{
    int at = static_cast<int>(bound);
    return at < 0 || at > static_cast<int>(text.size()) ? static_cast<int>(text.size()) : at;
}

} // namespace

void ResetEditSelection(HWND hwnd)
{
    if (ControlState *c = FindControl(hwnd)) c->selectionStart = c->selectionEnd = 0;
}

void DialogSetFocus(HWND control)
{
    (void)SetFocus(control);
    ControlState *c = FindControl(control);
    if (c && c->className == "EDIT") (void)SendMessageA(control, EM_SETSEL, 0, -1);
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    auto it = D().controls.find(hwnd);
    if (it == D().controls.end()) return DefWindowProcA(hwnd, message, wParam, lParam);
    ControlState &c = it->second;
    const bool combo = c.className == "COMBOBOX";
    LRESULT result = 0;
    if (c.className == "LISTBOX" &&
        ListBoxMessage(hwnd, c.style, c.items, c.selection, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case BM_GETCHECK:
        if (c.className != "BUTTON") break;
        return c.check;
    case BM_SETCHECK:
        if (c.className != "BUTTON") break;
        SetCheck(hwnd, c, static_cast<int>(wParam));
        return 0;
    case WM_KEYDOWN:
        if (combo && ComboKey(hwnd, c, wParam)) return 0;
        break;
    case WM_CHAR:
        if (c.className != "EDIT") break;
        TypeCharacter(hwnd, c, wParam);
        return 0;
    case EM_SETSEL: {
        if (c.className != "EDIT") break;
        const std::string &text = FindWindowObject(hwnd)->title;
        int start = SelectionBound(static_cast<LPARAM>(static_cast<int>(wParam)), text);
        int end = SelectionBound(lParam, text);
        c.selectionStart = std::min(start, end);
        c.selectionEnd = std::max(start, end);
        return 0;
    }
    case BM_CLICK:
        if (c.className != "BUTTON") break;
        ClickButton(hwnd);
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
            if (index == -1) c.selection = -1;
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
    case WM_PAINT:
        if (!DrawsParentBackground(c)) break;
        {
            PAINTSTRUCT paint;
            (void)BeginPaint(hwnd, &paint);
            DrawParentBackground(hwnd);
            (void)EndPaint(hwnd, &paint);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // Its focus rectangle comes or goes.
        if (c.className == "BUTTON" && !IsButtonKind(c, BS_GROUPBOX))
            (void)InvalidateRect(hwnd, nullptr, FALSE);
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace sim

using namespace sim;

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
    // Whether the dialog has the control or not.
    (void)SendDlgItemMessageA(dialog, id, BM_SETCHECK, check, 0);
    return TRUE;
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
