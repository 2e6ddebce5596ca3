// Parsing and doing the runner's script actions. Parsing checks every line before the run
// starts; doing an action first checks that what it acts on (tray icon, menu, dialog, control,
// message box, window) is there at that moment, so a mistaken script stops with its line
// number instead of acting on nothing.
#include "tools/simrunner/script.h"

#include "tools/simrunner/options.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace simrunner
{

namespace
{

struct Named {
    const char *name;
    long long value;
};

constexpr Named Messages[] = {
    {"WM_NULL", WM_NULL},
    {"WM_CREATE", WM_CREATE},
    {"WM_DESTROY", WM_DESTROY},
    {"WM_CLOSE", WM_CLOSE},
    {"WM_QUIT", WM_QUIT},
    {"WM_COMMAND", WM_COMMAND},
    {"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {"WM_TIMER", WM_TIMER},
    {"WM_MOUSEMOVE", WM_MOUSEMOVE},
    {"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
    {"WM_LBUTTONUP", WM_LBUTTONUP},
    {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK},
    {"WM_RBUTTONDOWN", WM_RBUTTONDOWN},
    {"WM_RBUTTONUP", WM_RBUTTONUP},
    {"WM_RBUTTONDBLCLK", WM_RBUTTONDBLCLK},
    {"WM_MBUTTONDOWN", WM_MBUTTONDOWN},
    {"WM_USER", WM_USER},
};

constexpr Named Answers[] = {
    {"IDOK", 1},     {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4},
    {"IDIGNORE", 5}, {"IDYES", 6},    {"IDNO", 7},
};

constexpr Named Verbs[] = {
    {"tray-right-click", static_cast<long long>(Verb::TrayRightClick)},
    {"tray-point", static_cast<long long>(Verb::TrayPoint)},
    {"tray-left-click", static_cast<long long>(Verb::TrayLeftClick)},
    {"tray-double-click", static_cast<long long>(Verb::TrayDoubleClick)},
    {"menu", static_cast<long long>(Verb::Menu)},
    {"menu-dismiss", static_cast<long long>(Verb::MenuDismiss)},
    {"click", static_cast<long long>(Verb::Click)},
    {"check", static_cast<long long>(Verb::Check)},
    {"select", static_cast<long long>(Verb::Select)},
    {"text", static_cast<long long>(Verb::Text)},
    {"enter", static_cast<long long>(Verb::Enter)},
    {"escape", static_cast<long long>(Verb::Escape)},
    {"close", static_cast<long long>(Verb::Close)},
    {"answer", static_cast<long long>(Verb::Answer)},
    {"post", static_cast<long long>(Verb::Post)},
    {"cursor", static_cast<long long>(Verb::Cursor)},
    {"choose-file", static_cast<long long>(Verb::ChooseFile)},
    {"cancel-file", static_cast<long long>(Verb::CancelFile)},
    {"read-only", static_cast<long long>(Verb::ReadOnly)},
    {"pointer", static_cast<long long>(Verb::Pointer)},
    {"left-click", static_cast<long long>(Verb::LeftClick)},
    {"right-click", static_cast<long long>(Verb::RightClick)},
    {"double-click", static_cast<long long>(Verb::DoubleClick)},
};

// Arguments each verb wants, for the message when the count is wrong.
const char *Usage(Verb verb)
{
    switch (verb) {
    case Verb::TrayRightClick:
    case Verb::TrayPoint:
    case Verb::TrayLeftClick:
    case Verb::TrayDoubleClick:
    case Verb::MenuDismiss:
    case Verb::CancelFile:
        return "";
    case Verb::ChooseFile:
        return "\"PATH\"";
    case Verb::ReadOnly:
        return "\"PATH\" on|off";
    case Verb::Menu:
        return "COMMAND_ID";
    case Verb::Click:
        return "TEMPLATE CONTROL_ID";
    case Verb::Check:
        return "TEMPLATE CONTROL_ID on|off";
    case Verb::Select:
        return "TEMPLATE CONTROL_ID INDEX|\"TEXT\"";
    case Verb::Text:
        return "TEMPLATE CONTROL_ID \"TEXT\"";
    case Verb::Enter:
    case Verb::Escape:
    case Verb::Close:
        return "TEMPLATE";
    case Verb::Answer:
        return "IDYES|IDNO|IDOK|IDCANCEL|number";
    case Verb::Post:
        return "CLASS MESSAGE WPARAM LPARAM";
    case Verb::Cursor:
    case Verb::Pointer:
    case Verb::LeftClick:
    case Verb::RightClick:
    case Verb::DoubleClick:
        return "X Y";
    }
    return "";
}

size_t ArgumentCount(Verb verb)
{
    std::istringstream words(Usage(verb));
    std::string word;
    size_t count = 0;
    while (words >> word)
        ++count;
    return count;
}

// Splits a line into words; a double-quoted word may hold blanks, \" and \\. A word that
// starts with '#' outside quotes begins a comment.
std::vector<std::string> Words(const std::string &line, int number)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            bool closed = false;
            for (++i; i < line.size(); ++i) {
                if (line[i] == '\\' && i + 1 < line.size() &&
                    (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    word += line[++i];
                } else if (line[i] == '"') {
                    closed = true;
                    ++i;
                    break;
                } else {
                    word += line[i];
                }
            }
            if (!closed) throw ScriptError{number, "a quoted text is not closed"};
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

template <size_t N>
std::optional<long long> Lookup(const Named (&table)[N], const std::string &name)
{
    for (const Named &entry : table)
        if (name == entry.name) return entry.value;
    return std::nullopt;
}

// A message: a number, a WM_ name of the table or WM_USER+N.
std::optional<long long> MessageValue(const std::string &text)
{
    if (text.rfind("WM_USER+", 0) == 0) {
        auto offset = ParseInteger(text.substr(8));
        if (!offset || *offset < 0) return std::nullopt;
        return WM_USER + *offset;
    }
    if (auto named = Lookup(Messages, text)) return named;
    return ParseInteger(text);
}

long long Number(const std::string &text, const char *what, int line)
{
    auto value = ParseInteger(text);
    if (!value) throw ScriptError{line, std::string(what) + " '" + text + "' is not a number"};
    return *value;
}

long long Message(const std::string &text, const char *what, int line)
{
    auto value = MessageValue(text);
    if (!value) throw ScriptError{line, std::string(what) + " '" + text + "' is not a message"};
    return *value;
}

Action ParseAction(const std::vector<std::string> &words, int line)
{
    Action action;
    action.line = line;
    auto verb = Lookup(Verbs, words[1]);
    if (!verb) throw ScriptError{line, "unknown action '" + words[1] + "'"};
    action.verb = static_cast<Verb>(*verb);
    std::vector<std::string> args(words.begin() + 2, words.end());
    if (args.size() != ArgumentCount(action.verb))
        throw ScriptError{line, words[1] + " wants " +
                                    (ArgumentCount(action.verb) ? Usage(action.verb)
                                                                : std::string("no arguments")) +
                                    ", got " + std::to_string(args.size()) + " argument(s)"};
    for (size_t i = 1; i < words.size(); ++i)
        action.written += (i > 1 ? " " : "") + words[i];
    switch (action.verb) {
    case Verb::TrayRightClick:
    case Verb::TrayPoint:
    case Verb::TrayLeftClick:
    case Verb::TrayDoubleClick:
    case Verb::MenuDismiss:
    case Verb::CancelFile:
        break;
    case Verb::ChooseFile:
        action.text = args[0];
        break;
    case Verb::ReadOnly:
        action.text = args[0];
        if (args[1] != "on" && args[1] != "off")
            throw ScriptError{line, "read-only wants on or off, not '" + args[1] + "'"};
        action.on = args[1] == "on";
        break;
    case Verb::Menu:
        action.numbers[0] = Number(args[0], "command", line);
        break;
    case Verb::Click:
    case Verb::Check:
    case Verb::Select:
    case Verb::Text:
        action.name = args[0];
        action.numbers[0] = Number(args[1], "control id", line);
        if (action.verb == Verb::Check) {
            if (args[2] != "on" && args[2] != "off")
                throw ScriptError{line, "check wants on or off, not '" + args[2] + "'"};
            action.on = args[2] == "on";
        }
        // An entry by its index, or by its text when that is not a number.
        if (action.verb == Verb::Select) {
            auto index = ParseInteger(args[2]);
            action.numbers[1] = index ? *index : -1;
            if (!index) action.text = args[2];
        }
        if (action.verb == Verb::Text) action.text = args[2];
        break;
    case Verb::Enter:
    case Verb::Escape:
    case Verb::Close:
        action.name = args[0];
        break;
    case Verb::Answer: {
        auto answer = Lookup(Answers, args[0]);
        action.numbers[0] = answer ? *answer : Number(args[0], "answer", line);
        break;
    }
    case Verb::Post:
        action.name = args[0];
        action.numbers[0] = Message(args[1], "message", line);
        action.numbers[1] = Message(args[2], "wParam", line);
        action.numbers[2] = Message(args[3], "lParam", line);
        break;
    case Verb::Cursor:
    case Verb::Pointer:
    case Verb::LeftClick:
    case Verb::RightClick:
    case Verb::DoubleClick:
        action.numbers[0] = Number(args[0], "x", line);
        action.numbers[1] = Number(args[1], "y", line);
        break;
    }
    return action;
}

// ---- doing actions

void RequireTray(const sim::Desktop &desktop, int line)
{
    if (!desktop.Tray()) throw ScriptError{line, "there is no tray icon"};
}

HWND RequireDialog(const sim::Desktop &desktop, const Action &action)
{
    auto dialog = desktop.Dialog(action.name);
    if (!dialog) throw ScriptError{action.line, "no dialog " + action.name + " is open"};
    return dialog->hwnd;
}

sim::ControlInfo RequireControl(const sim::Desktop &desktop, HWND dialog, const Action &action)
{
    int id = static_cast<int>(action.numbers[0]);
    for (const sim::ControlInfo &control : desktop.Controls(dialog)) {
        if (control.id != id) continue;
        if (!control.enabled)
            throw ScriptError{action.line, "control " + std::to_string(id) + " of dialog " +
                                               action.name + " is disabled"};
        return control;
    }
    throw ScriptError{action.line,
                      "dialog " + action.name + " has no control " + std::to_string(id)};
}

void ChooseMenu(sim::Desktop &desktop, const Action &action)
{
    if (!desktop.OpenMenu()) {
        RequireTray(desktop, action.line);
        desktop.RightClickTray();
    }
    auto menu = desktop.OpenMenu();
    if (!menu) throw ScriptError{action.line, "no menu is open and the tray menu did not open"};
    int command = static_cast<int>(action.numbers[0]);
    bool present = std::any_of(menu->items.begin(), menu->items.end(), [&](const auto &item) {
        return !item.separator && item.id == command;
    });
    if (!present)
        throw ScriptError{action.line, "the open menu has no item " + std::to_string(command)};
    desktop.ChooseMenu(command);
}

void Check(sim::Desktop &desktop, const Action &action)
{
    HWND dialog = RequireDialog(desktop, action);
    sim::ControlInfo control = RequireControl(desktop, dialog, action);
    if (control.className != "BUTTON")
        throw ScriptError{action.line, "control " + std::to_string(control.id) + " of dialog " +
                                           action.name + " is not a check box"};
    if (control.checked == action.on) return;
    desktop.Click(dialog, control.id);
    if (desktop.Dialog(action.name) && desktop.Control(dialog, control.id).checked != action.on)
        throw ScriptError{action.line, "control " + std::to_string(control.id) + " of dialog " +
                                           action.name + " did not turn " +
                                           (action.on ? "on" : "off")};
}

void Select(sim::Desktop &desktop, const Action &action)
{
    HWND dialog = RequireDialog(desktop, action);
    sim::ControlInfo control = RequireControl(desktop, dialog, action);
    long long index = action.numbers[1];
    if (!action.text.empty()) {
        auto at = std::find(control.items.begin(), control.items.end(), action.text);
        if (at == control.items.end())
            throw ScriptError{action.line, "control " + std::to_string(control.id) + " of dialog " +
                                               action.name + " has no entry \"" + action.text +
                                               "\""};
        index = at - control.items.begin();
    }
    if (index < 0 || index >= static_cast<long long>(control.items.size()))
        throw ScriptError{action.line, "control " + std::to_string(control.id) + " of dialog " +
                                           action.name + " has no entry " + std::to_string(index) +
                                           " (it has " + std::to_string(control.items.size()) +
                                           ")"};
    desktop.Select(dialog, control.id, static_cast<int>(index));
}

// The mouse at a screen point, which must lie on the screen; what is under it gets it, as the
// desktop delivers real input (a disabled window gets none, and the desktop logs it as ignored).
void Mouse(sim::Desktop &desktop, const Action &action)
{
    int x = static_cast<int>(action.numbers[0]), y = static_cast<int>(action.numbers[1]);
    if (x < 0 || y < 0 || x >= GetSystemMetrics(SM_CXSCREEN) || y >= GetSystemMetrics(SM_CYSCREEN))
        throw ScriptError{action.line, "the point " + std::to_string(x) + "," + std::to_string(y) +
                                           " is off the screen"};
    switch (action.verb) {
    case Verb::LeftClick:
        desktop.LeftClick(x, y);
        break;
    case Verb::RightClick:
        desktop.RightClick(x, y);
        break;
    case Verb::DoubleClick:
        desktop.DoubleClick(x, y);
        break;
    default:
        desktop.MovePointer(x, y);
        break;
    }
}

void PostToClass(sim::Desktop &desktop, const Action &action)
{
    // Window classes are matched without regard to letter case, as Windows does.
    for (const sim::WindowInfo &window : desktop.Windows()) {
        if (sim::Upper(window.className) != sim::Upper(action.name)) continue;
        desktop.Post(window.handle, static_cast<UINT>(action.numbers[0]),
                     static_cast<WPARAM>(action.numbers[1]),
                     static_cast<LPARAM>(action.numbers[2]));
        return;
    }
    throw ScriptError{action.line, "there is no window of class " + action.name};
}

} // namespace

std::vector<Action> ParseScript(const std::string &script, sim::Millis start, sim::Millis end)
{
    std::vector<Action> actions;
    std::istringstream lines(script);
    std::string line;
    sim::Millis previous = start;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> words = Words(line, number);
        if (words.empty()) continue;
        if (words.size() < 2) throw ScriptError{number, "a time and an action are wanted"};
        auto time = ParseTimePoint(words[0], start, previous);
        if (!time)
            throw ScriptError{number, "'" + words[0] + "' is not a time (+SECONDS or HH:MM:SS)"};
        if (*time < previous)
            throw ScriptError{number, "time " + sim::FormatTime(*time) + " is before " +
                                          sim::FormatTime(previous) + " of the line before"};
        if (*time > end)
            throw ScriptError{number, "time " + sim::FormatTime(*time) +
                                          " is after the end of the run (" + sim::FormatTime(end) +
                                          ")"};
        Action action = ParseAction(words, number);
        action.time = previous = *time;
        actions.push_back(action);
    }
    return actions;
}

void Perform(sim::Desktop &desktop, const Action &action)
{
    switch (action.verb) {
    case Verb::TrayRightClick:
        RequireTray(desktop, action.line);
        desktop.RightClickTray();
        break;
    case Verb::TrayPoint:
        RequireTray(desktop, action.line);
        desktop.PointAtTray();
        break;
    case Verb::TrayLeftClick:
        RequireTray(desktop, action.line);
        desktop.LeftClickTray();
        break;
    case Verb::TrayDoubleClick:
        RequireTray(desktop, action.line);
        desktop.DoubleClickTray();
        break;
    case Verb::Menu:
        ChooseMenu(desktop, action);
        break;
    case Verb::MenuDismiss:
        if (!desktop.OpenMenu()) throw ScriptError{action.line, "no menu is open"};
        desktop.DismissMenu();
        break;
    case Verb::Click: {
        HWND dialog = RequireDialog(desktop, action);
        desktop.Click(dialog, RequireControl(desktop, dialog, action).id);
        break;
    }
    case Verb::Check:
        Check(desktop, action);
        break;
    case Verb::Select:
        Select(desktop, action);
        break;
    case Verb::Text: {
        HWND dialog = RequireDialog(desktop, action);
        desktop.TypeText(dialog, RequireControl(desktop, dialog, action).id, action.text);
        break;
    }
    case Verb::Enter:
        desktop.PressEnter(RequireDialog(desktop, action));
        break;
    case Verb::Escape:
        desktop.PressEscape(RequireDialog(desktop, action));
        break;
    case Verb::Close:
        desktop.PressCloseBox(RequireDialog(desktop, action));
        break;
    case Verb::Answer:
        if (desktop.OpenMessageBoxes().empty())
            throw ScriptError{action.line, "no message box is open"};
        desktop.AnswerMessageBox(static_cast<int>(action.numbers[0]));
        break;
    case Verb::Post:
        PostToClass(desktop, action);
        break;
    case Verb::Cursor:
        desktop.SetCursorPos(static_cast<int>(action.numbers[0]),
                             static_cast<int>(action.numbers[1]));
        break;
    case Verb::ChooseFile:
    case Verb::CancelFile:
        if (!desktop.FileDialog()) throw ScriptError{action.line, "no file-open dialog is open"};
        if (action.verb == Verb::ChooseFile)
            desktop.ChooseFile(action.text);
        else
            desktop.CancelFileDialog();
        break;
    case Verb::ReadOnly:
        if (!desktop.FileExists(action.text))
            throw ScriptError{action.line, "there is no file " + action.text};
        desktop.SetReadOnly(action.text, action.on);
        break;
    case Verb::Pointer:
    case Verb::LeftClick:
    case Verb::RightClick:
    case Verb::DoubleClick:
        Mouse(desktop, action);
        break;
    }
}

} // namespace simrunner
