// Simulated modal user interface: message boxes and popup menus. Each runs a nested message
// loop, as Windows does, so ticks and posted messages keep arriving while it is open. A message
// box is a dialog window with its buttons (dialogs.cpp runs it), answered by a click on one; a
// popup menu's loop reads the keyboard's messages itself, as Windows' and Wine's do, and has the
// mouse while it is open. The caller's test actions answer them through those same inputs.
#include "platform/sim/dialogs.h"
#include "platform/sim/internal.h"
#include "platform/sim/modal.h"

#include <algorithm>
#include <cctype>

namespace sim
{

ModalState &Modal()
{
    static ModalState state;
    return state;
}

namespace
{

constexpr int MessageBoxTextId = 0xFFFF;

void EmitModal(const char *kind, std::vector<std::pair<std::string, std::string>> fields)
{
    Event event;
    event.kind = kind;
    event.fields = std::move(fields);
    Desktop::Current().Emit(event);
}

// A message box is a dialog: its text, then its buttons, the default one first in line for
// Enter and with the focus.
DialogTemplate MessageBoxTemplate(const std::string &text, const std::string &caption, UINT type)
{
    DialogTemplate t;
    t.caption = caption;
    // A message box stands in the middle of the screen, wherever its owner is.
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    t.cx = 200;
    t.cy = 70;
    ControlTemplate label;
    label.className = "STATIC";
    label.text = text;
    label.id = MessageBoxTextId;
    label.style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    label.x = 8, label.y = 8, label.cx = 184, label.cy = 32;
    t.controls.push_back(label);
    std::vector<int> buttons = (type & 0xF) == MB_YESNO      ? std::vector<int>{IDYES, IDNO}
                               : (type & 0xF) == MB_OKCANCEL ? std::vector<int>{IDOK, IDCANCEL}
                                                             : std::vector<int>{IDOK};
    if ((type & 0xF) > MB_YESNO) throw SimulationError("this kind of message box is not simulated");
    size_t defaultIndex = (type & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        ControlTemplate button;
        button.className = "BUTTON";
        button.text = buttons[i] == IDYES  ? "&Yes"
                      : buttons[i] == IDNO ? "&No"
                      : buttons[i] == IDOK ? "OK"
                                           : "Cancel";
        button.id = buttons[i];
        button.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                       (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        button.x = 8 + static_cast<int>(i) * 52, button.y = 48, button.cx = 48, button.cy = 14;
        t.controls.push_back(button);
    }
    return t;
}

// The box ends with the button chosen. Esc (IDCANCEL) ends it only when it has a Cancel
// button, or as OK when OK is its only button.
INT_PTR CALLBACK MessageBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    switch (message) {
    case WM_INITDIALOG: {
        Modal().messageBoxes[static_cast<size_t>(lParam)].hwnd = hwnd;
        LRESULT defId = SendMessageA(hwnd, DM_GETDEFID, 0, 0);
        (void)SetFocus(GetDlgItem(hwnd, LOWORD(defId)));
        return FALSE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDCANCEL && !GetDlgItem(hwnd, IDCANCEL)) {
            if (!GetDlgItem(hwnd, IDOK) || GetDlgItem(hwnd, IDYES)) return TRUE;
            id = IDOK;
        }
        if (GetDlgItem(hwnd, id)) (void)EndDialog(hwnd, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// The character after an item's single '&', upper case, or 0.
char Mnemonic(const std::string &text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&')
            return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return 0;
}

// Ends the menu with the item, or with nothing for a grayed item or no item.
void Execute(MenuInfo &menu, int item)
{
    menu.closed = true;
    if (item >= 0 && !(menu.items[static_cast<size_t>(item)].flags & MF_GRAYED))
        menu.chosen = menu.items[static_cast<size_t>(item)].id;
}

// A key in an open menu: arrows move the selection over the items that are not separators
// (grayed ones included), Enter or space chooses it, Esc ends the menu, a letter chooses the
// first item with that mnemonic; other keys are translated into characters.
void MenuKey(size_t index, const MSG &msg, int *selected)
{
    MenuInfo &menu = Modal().menusShown[index];
    const int count = static_cast<int>(menu.items.size());
    if (msg.message == WM_KEYDOWN) {
        if (msg.wParam == VK_DOWN || msg.wParam == VK_UP) {
            int step = msg.wParam == VK_DOWN ? 1 : count - 1;
            int at = *selected < 0 ? (msg.wParam == VK_DOWN ? count - 1 : 0) : *selected;
            for (int tries = 0; tries < count; ++tries) {
                at = (at + step) % count;
                if (!menu.items[static_cast<size_t>(at)].separator) break;
            }
            *selected = at;
        } else if (msg.wParam == VK_ESCAPE) {
            menu.closed = true;
        } else {
            TranslateMessage(&msg);
        }
        return;
    }
    if (msg.wParam == '\r' || msg.wParam == ' ') {
        Execute(menu, *selected);
        return;
    }
    if (msg.wParam < 32) return;
    char key = static_cast<char>(std::toupper(static_cast<int>(msg.wParam & 0xFF)));
    for (int i = 0; i < count; ++i)
        if (!menu.items[static_cast<size_t>(i)].separator &&
            Mnemonic(menu.items[static_cast<size_t>(i)].text) == key) {
            Execute(menu, i);
            return;
        }
}

// How many characters of the simulated font's two widths the text holds (one-byte characters
// count once, multi-byte ones twice), the '&' of a mnemonic left out.
int TextUnits(const std::string &text)
{
    int units = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '&' || (c & 0xC0) == 0x80) continue;
        units += c < 0x80 ? 1 : 2;
    }
    return units;
}

// The menu's place on the screen with fixed metrics: items 19 pixels high and separators 9, the
// widest text in the simulated font (6 pixels a one-byte character) with 48 pixels for the check
// and arrow columns, a 3-pixel frame; its point at the corner the flags say, kept on the screen.
RECT MenuRect(const MenuInfo &menu)
{
    int width = 0, height = 6;
    for (const MenuItem &item : menu.items) {
        height += item.separator ? 9 : 19;
        width = std::max(width, 6 * TextUnits(item.text));
    }
    width += 48 + 6;
    int left = menu.flags & TPM_RIGHTALIGN ? menu.x - width : menu.x;
    int top = menu.flags & TPM_BOTTOMALIGN ? menu.y - height : menu.y;
    const Desktop::Options &options = S().options;
    left = std::clamp(left, 0, std::max(0, options.screenWidth - width));
    top = std::clamp(top, 0, std::max(0, options.screenHeight - height));
    return RECT{left, top, left + width, top + height};
}

bool Inside(const RECT &r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// A mouse event read by the menu's loop (it has the mouse): moves and releases are its own; a
// press outside the menu ends it with nothing chosen and is left for the window under it, as
// Wine does (tray/clicks-and-menu).
void MenuMouse(size_t index, const MSG &msg)
{
    MenuInfo &menu = Modal().menusShown[index];
    const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN;
    if (!press) return;
    if (Inside(menu.rect, msg.pt))
        throw SimulationError("a click on a menu's item is not simulated: choose it from the "
                              "keyboard (ChooseMenu)");
    PutMouseBack(CurrentProcess(), msg);
    menu.closed = true;
}

std::string JsonItems(const std::vector<MenuItem> &items)
{
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        out += items[i].separator
                   ? "\"-\""
                   : "[" + std::to_string(items[i].id) + "," + JsonString(items[i].text) + "]";
    }
    return out + "]";
}

} // namespace

Process *MenuCapture()
{
    const auto &menus = Modal().menusShown;
    for (auto it = menus.rbegin(); it != menus.rend(); ++it) {
        if (it->closed) continue;
        for (const auto &process : S().processes)
            if (process->id == it->process) return process.get();
    }
    return nullptr;
}

// ---- Desktop methods

std::vector<MessageBoxInfo> Desktop::MessageBoxes() const
{
    return Modal().messageBoxes;
}

std::vector<MessageBoxInfo> Desktop::OpenMessageBoxes() const
{
    std::vector<MessageBoxInfo> open;
    for (const MessageBoxInfo &box : Modal().messageBoxes)
        if (box.result == 0) open.push_back(box);
    return open;
}

void Desktop::AnswerMessageBox(int button)
{
    auto &boxes = Modal().messageBoxes;
    auto open = std::find_if(boxes.rbegin(), boxes.rend(),
                             [](const MessageBoxInfo &box) { return box.result == 0; });
    if (open == boxes.rend())
        throw SimulationError("no message box is open at " + FormatTime(Now()));
    auto window = Window(open->hwnd);
    if (!window || !window->enabled)
        throw SimulationError("the message box is not there to answer at " + FormatTime(Now()));
    HWND control = GetDlgItem(open->hwnd, button);
    if (!control) throw SimulationError("the message box has no button " + std::to_string(button));
    Input(open->process, [control] { (void)SendMessageA(control, BM_CLICK, 0, 0); });
}

std::optional<MenuInfo> Desktop::OpenMenu() const
{
    const auto &menus = Modal().menusShown;
    for (auto it = menus.rbegin(); it != menus.rend(); ++it)
        if (!it->closed) return *it;
    return std::nullopt;
}

std::vector<MenuInfo> Desktop::MenusShown() const
{
    return Modal().menusShown;
}

int Desktop::OpenMenus() const
{
    return static_cast<int>(Modal().menus.size());
}

void Desktop::ChooseMenu(int command)
{
    std::optional<MenuInfo> menu = OpenMenu();
    if (!menu) throw SimulationError("no menu is open at " + FormatTime(Now()));
    // Down from no selection reaches the first item that is not a separator, and so on.
    int downs = 0;
    for (const MenuItem &item : menu->items) {
        if (item.separator) continue;
        ++downs;
        if (item.id != command) continue;
        if (item.flags & MF_GRAYED)
            throw SimulationError("the menu's item " + std::to_string(command) +
                                  " is grayed: no user can choose it");
        for (int i = 0; i < downs; ++i)
            Post(menu->owner, WM_KEYDOWN, VK_DOWN, 1);
        Post(menu->owner, WM_CHAR, '\r', 1);
        return;
    }
    throw SimulationError("the open menu has no item " + std::to_string(command));
}

void Desktop::DismissMenu()
{
    std::optional<MenuInfo> menu = OpenMenu();
    if (!menu) throw SimulationError("no menu is open at " + FormatTime(Now()));
    Post(menu->owner, WM_KEYDOWN, VK_ESCAPE, 1);
}

void ResetModalState()
{
    Modal() = ModalState{};
}

} // namespace sim

using namespace sim;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    PlatformCode platform;
    MessageBoxInfo box;
    box.process = CurrentProcess()->id;
    box.owner = owner;
    box.text = text ? text : "";
    box.caption = caption ? caption : "Error";
    box.type = type;
    box.opened = S().now;
    Modal().messageBoxes.push_back(box);
    size_t index = Modal().messageBoxes.size() - 1;
    EmitModal("messagebox.open", {{"text", JsonString(box.text)},
                                  {"caption", JsonString(box.caption)},
                                  {"type", std::to_string(type)}});
    DialogTemplate t = MessageBoxTemplate(box.text, box.caption, type);
    // Ended by a quit message, a box answers IDOK whatever its buttons (as Wine does).
    int result = static_cast<int>(RunDialog(t, "MessageBox", nullptr, owner, MessageBoxProc,
                                            static_cast<LPARAM>(index), false, IDOK));
    Modal().messageBoxes[index].result = result;
    Modal().messageBoxes[index].hwnd = nullptr;
    EmitModal("messagebox.close",
              {{"text", JsonString(box.text)}, {"answer", std::to_string(result)}});
    return result;
}

HMENU WINAPI CreatePopupMenu(void)
{
    PlatformCode platform;
    HMENU menu = reinterpret_cast<HMENU>(S().NewHandle());
    Modal().menus[menu] = {};
    return menu;
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem)
{
    PlatformCode platform;
    auto it = Modal().menus.find(menu);
    if (it == Modal().menus.end()) return FALSE;
    MenuItem item;
    item.separator = (flags & MF_SEPARATOR) != 0;
    item.id = item.separator ? 0 : static_cast<int>(idNewItem);
    item.text = item.separator || !newItem ? "" : newItem;
    item.flags = flags;
    it->second.push_back(item);
    return TRUE;
}

BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd,
                           const RECT *rect)
{
    PlatformCode platform;
    (void)reserved;
    (void)rect;
    auto it = Modal().menus.find(menu);
    if (it == Modal().menus.end() || !IsWindow(hwnd)) return FALSE;
    // Tracking begins by letting the owner set the pointer's shape, as over a caption.
    (void)SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), HTCAPTION);
    MenuInfo shown;
    shown.process = CurrentProcess()->id;
    shown.items = it->second;
    shown.flags = flags;
    shown.x = x;
    shown.y = y;
    shown.rect = MenuRect(shown);
    shown.owner = hwnd;
    shown.opened = S().now;
    Modal().menusShown.push_back(shown);
    size_t index = Modal().menusShown.size() - 1;
    EmitModal("menu.open", {{"items", JsonItems(shown.items)},
                            {"at", "[" + std::to_string(x) + "," + std::to_string(y) + "]"}});
    // The menu's loop reads every key message of the thread itself and dispatches the rest.
    int selected = -1;
    MSG msg;
    while (!Modal().menusShown[index].closed) {
        // A quit message is dispatched like any other, to no window: it is lost, and the menu
        // stays open (as Wine does).
        (void)NextMessage(&msg);
        if (msg.message == WM_KEYDOWN || msg.message == WM_CHAR)
            MenuKey(index, msg, &selected);
        else if (!msg.hwnd && msg.message >= WM_MOUSEMOVE && msg.message <= WM_RBUTTONDBLCLK)
            MenuMouse(index, msg);
        else
            DispatchMessageA(&msg);
    }
    Modal().menusShown[index].closed = true;
    // A menu that ends ends the menus it was opened over, with nothing chosen.
    for (MenuInfo &other : Modal().menusShown)
        if (!other.closed && other.process == shown.process) other.closed = true;
    int chosen = Modal().menusShown[index].chosen;
    EmitModal("menu.close", {{"chosen", std::to_string(chosen)}});
    if (flags & TPM_RETURNCMD) return chosen;
    // The chosen item reaches the owner as a command after the menu has returned.
    if (chosen != 0) PostMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
    return TRUE;
}

BOOL WINAPI DestroyMenu(HMENU menu)
{
    PlatformCode platform;
    return Modal().menus.erase(menu) ? TRUE : FALSE;
}
