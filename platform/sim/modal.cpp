// Simulated modal user interface: message boxes, popup menus and (so far) the refusal of dialog
// templates that do not exist. Each runs a nested message loop, as Windows does, so ticks and
// posted messages keep arriving while it is open; the caller answers it through the Desktop.
#include "internal.h"
#include "modal.h"
#include "resources.h"

#include <algorithm>

namespace sim
{

void RunModalLoop(const std::function<bool()> &done)
{
    MSG msg;
    while (!done()) {
        if (!NextMessage(&msg)) {
            // A quit message ends the modal loop and is posted again for the outer loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchMessageA(&msg);
    }
}

ModalState &Modal()
{
    static ModalState state;
    return state;
}

namespace
{

void EmitModal(const char *kind, std::vector<std::pair<std::string, std::string>> fields)
{
    Event event;
    event.kind = kind;
    event.fields = std::move(fields);
    Desktop::Current().Emit(event);
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
    int index = static_cast<int>(boxes.rend() - open) - 1;
    Input(open->process, [index, button] { Modal().messageBoxes[index].result = button; });
}

std::optional<MenuInfo> Desktop::OpenMenu() const
{
    for (const MenuInfo &menu : Modal().menusShown)
        if (!menu.closed) return menu;
    return std::nullopt;
}

std::vector<MenuInfo> Desktop::MenusShown() const
{
    return Modal().menusShown;
}

void Desktop::ChooseMenu(int command)
{
    auto &menus = Modal().menusShown;
    for (size_t i = 0; i < menus.size(); ++i) {
        if (!menus[i].closed) {
            bool present = std::any_of(menus[i].items.begin(), menus[i].items.end(),
                                       [&](const MenuItem &item) { return item.id == command; });
            if (!present)
                throw SimulationError("the open menu has no item " + std::to_string(command));
            Input(menus[i].process, [i, command] {
                Modal().menusShown[i].chosen = command;
                Modal().menusShown[i].closed = true;
            });
            return;
        }
    }
    throw SimulationError("no menu is open at " + FormatTime(Now()));
}

void Desktop::DismissMenu()
{
    auto &menus = Modal().menusShown;
    for (size_t i = 0; i < menus.size(); ++i) {
        if (!menus[i].closed) {
            Input(menus[i].process, [i] { Modal().menusShown[i].closed = true; });
            return;
        }
    }
    throw SimulationError("no menu is open at " + FormatTime(Now()));
}

const std::vector<HelpRequest> &Desktop::HelpRequests() const
{
    return Modal().help;
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
    RunModalLoop([index] { return Modal().messageBoxes[index].result != 0; });
    int result = Modal().messageBoxes[index].result;
    if (result == 0) // ended by a quit message
        result = Modal().messageBoxes[index].result = IDCANCEL;
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
    MenuInfo shown;
    shown.process = CurrentProcess()->id;
    shown.items = it->second;
    shown.flags = flags;
    shown.x = x;
    shown.y = y;
    shown.owner = hwnd;
    shown.opened = S().now;
    Modal().menusShown.push_back(shown);
    size_t index = Modal().menusShown.size() - 1;
    EmitModal("menu.open", {{"items", JsonItems(shown.items)},
                            {"at", "[" + std::to_string(x) + "," + std::to_string(y) + "]"}});
    RunModalLoop([index] { return Modal().menusShown[index].closed; });
    Modal().menusShown[index].closed = true;
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

BOOL WINAPI WinHelpA(HWND hwnd, LPCSTR helpFile, UINT command, ULONG_PTR data)
{
    PlatformCode platform;
    Modal().help.push_back(HelpRequest{S().now, hwnd, helpFile ? helpFile : "", command, data});
    EmitModal("help", {{"file", JsonString(helpFile ? helpFile : "")}});
    return TRUE;
}
