// The program's windows worked as a user works them under Wine: see tray_user.h.
#include "e2e/tray_user.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

using namespace std::chrono_literals;

namespace e2e
{

namespace
{

constexpr char MenuClass[] = "#32768";
// The caption of the program's message boxes: the application name.
constexpr char BoxCaption[] = "ZelmoSound";

} // namespace

std::optional<Record> Control(const std::vector<Record> &records, const std::string &id)
{
    for (const Record &record : records)
        if (record.kind == "control" && record.get("id") == id) return record;
    return std::nullopt;
}

std::vector<std::string> Items(const std::vector<Record> &records, const std::string &id)
{
    std::vector<std::string> items;
    for (const Record &record : records)
        if (record.kind == "item" && record.get("id") == id) items.push_back(record.get("text"));
    return items;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ReadText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

testing::AssertionResult TrayUser::WaitMainWindow(Record *window)
{
    DriverResult found = session.Driver({"wait", MainClass, MainTitle, "30000"}, 45s);
    if (found.code != 0 || !found.First())
        return testing::AssertionFailure() << "the main window did not appear\n"
                                           << session.ScreenState("main window");
    *window = *found.First();
    return testing::AssertionSuccess();
}

testing::AssertionResult TrayUser::WaitTrayIcon(Record *icon)
{
    return session.WaitFor(
        "the tray icon",
        [&] {
            std::optional<Record> found = session.Driver({"tray"}).First("icon");
            if (found) *icon = *found;
            return found.has_value();
        },
        30s);
}

testing::AssertionResult TrayUser::WaitTray(Record *main, Rect *icon)
{
    testing::AssertionResult found = WaitMainWindow(main);
    if (!found) return found;
    Record record;
    found = WaitTrayIcon(&record);
    if (!found) return found;
    std::optional<Rect> rect = ParseRect(record.get("rect"));
    if (!rect) return testing::AssertionFailure() << "the icon's rectangle: " << record.get("rect");
    *icon = *rect;
    return testing::AssertionSuccess();
}

testing::AssertionResult TrayUser::Click(const Record &window, const std::string &id)
{
    DriverResult clicked = session.Driver({"click", window.get("hwnd"), id});
    if (clicked.code == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "could not click " << id << ": " << clicked.output;
}

testing::AssertionResult TrayUser::Gone(const Record &window, const std::string &what)
{
    if (session.Driver({"gone", window.get("hwnd"), "15000"}).code == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << what << " stayed\n" << session.ScreenState(what);
}

testing::AssertionResult TrayUser::OpenMenu(const Rect &icon, Record *menu)
{
    auto shown = [&] {
        std::vector<Record> menus = session.VisibleWindows(MenuClass);
        if (!menus.empty() && menus.front().get("xid") != "0x0") *menu = menus.front();
        return !menus.empty() && menus.front().get("xid") != "0x0";
    };
    for (int attempt = 1;; ++attempt) {
        if (!session.Xdotool({"mousemove", std::to_string(icon.CentreX()),
                              std::to_string(icon.CentreY()), "click", "3"}))
            return testing::AssertionFailure() << "xdotool could not right-click the tray icon";
        if (attempt == 3) return session.WaitFor("the tray menu", shown, 15s);
        if (PollUntil(shown, 5s)) return testing::AssertionSuccess();
        if (!session.VisibleWindows(MenuClass).empty())
            return session.WaitFor("the tray menu", shown, 15s);
    }
}

testing::AssertionResult TrayUser::Choose(const Record &menu, const std::string &key)
{
    if (!session.Xdotool({"windowfocus", menu.get("xid"), "key", key}))
        return testing::AssertionFailure() << "xdotool could not press " << key;
    return session.WaitFor(
        "the tray menu to close after " + key,
        [&] { return session.VisibleWindows(MenuClass).empty(); }, 15s);
}

testing::AssertionResult TrayUser::WaitDialog(const std::string &title, Record *dialog)
{
    DriverResult found = session.Driver({"wait", DialogClass, title, "15000"});
    if (found.code != 0 || !found.First())
        return testing::AssertionFailure() << "no dialog " << title << "\n"
                                           << session.ScreenState(title);
    DriverResult shown = session.Driver({"visible", found.First()->get("hwnd"), "15000"});
    if (shown.code != 0 || !shown.First())
        return testing::AssertionFailure() << "the dialog " << title << " did not show\n"
                                           << session.ScreenState(title);
    *dialog = *shown.First();
    return testing::AssertionSuccess();
}

testing::AssertionResult TrayUser::OpenFromTray(const Rect &icon, const std::string &key,
                                                const std::string &title, Record *dialog)
{
    Record menu;
    testing::AssertionResult opened = OpenMenu(icon, &menu);
    if (!opened) return opened;
    testing::AssertionResult chosen = Choose(menu, key);
    if (!chosen) return chosen;
    return WaitDialog(title, dialog);
}

testing::AssertionResult
TrayUser::WaitControls(const Record &dialog, const std::string &what,
                       const std::vector<std::tuple<std::string, std::string, std::string>> &wanted)
{
    return session.WaitFor(
        what,
        [&] {
            std::vector<Record> now = session.Driver({"controls", dialog.get("hwnd")}).records;
            return std::all_of(wanted.begin(), wanted.end(), [&](const auto &entry) {
                std::optional<Record> control = Control(now, std::get<0>(entry));
                return control && control->get(std::get<1>(entry)) == std::get<2>(entry);
            });
        },
        15s);
}

testing::AssertionResult TrayUser::WaitMessageBox(const Record &owner, const std::string &what,
                                                  Record *box)
{
    DriverResult found = session.Driver({"wait", DialogClass, BoxCaption, "15000"});
    if (found.code != 0 || !found.First())
        return testing::AssertionFailure() << "no " << what << " box\n"
                                           << session.ScreenState(what);
    *box = *found.First();
    if (box->get("owner") != owner.get("hwnd"))
        return testing::AssertionFailure()
               << "the " << what << " box belongs to " << box->get("owner") << ", not to "
               << owner.get("hwnd") << "\n"
               << session.ScreenState(what + " owner");
    return testing::AssertionSuccess();
}

} // namespace e2e
