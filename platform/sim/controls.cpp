// The standard controls of the simulated dialogs: push buttons, automatic check boxes and radio
// buttons, static texts and icons, edit fields, drop-down lists and list boxes, with the messages
// the program sends them, and the dialog functions that reach them by id.
//
// As on Windows, BM_CLICK presses and releases a button as the mouse does: the button takes the
// focus, an automatic check box or radio button changes state, and the parent hears BN_CLICKED.
// Buttons are drawn with the visual style the program's manifest asks for: a push button, check
// box, radio button or group box is partly transparent, so each time it paints it has its parent
// draw the background under it (WM_ERASEBKGND, then WM_PRINTCLIENT). It is drawn again when it
// is pressed or released, when its check changes and when it loses the focus.
#include "dialogs.h"
#include "listbox.h"

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

void SetCheck(HWND button, ControlState &c, int check)
{
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
                SetCheck(*it, control->second, *it == button ? BST_CHECKED : BST_UNCHECKED);
        }
    } else if (IsButtonKind(c, BS_GROUPBOX)) {
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace

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
        return c.check;
    case BM_SETCHECK:
        SetCheck(hwnd, c, static_cast<int>(wParam));
        return 0;
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
    case WM_PAINT:
        if (!DrawsParentBackground(c)) break;
        {
            PAINTSTRUCT paint;
            (void)BeginPaint(hwnd, &paint);
            DrawParentBackground(hwnd);
            (void)EndPaint(hwnd, &paint);
        }
        return 0;
    case WM_KILLFOCUS:
        if (c.className == "BUTTON") (void)InvalidateRect(hwnd, nullptr, FALSE);
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
