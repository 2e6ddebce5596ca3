// The program's windows worked as a user works them under Wine: the hidden main window, the
// tray icon and its menu (xdotool), dialogs, their controls and message boxes (the driver). The
// fixture of the end-to-end tests that act through the tray menu.
#pragma once

#include "e2e/harness.h"

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace e2e
{

// A control, menu item or button id as the driver takes it.
inline std::string Id(int id)
{
    return std::to_string(id);
}
// The control record of that id in the driver's "controls" output.
std::optional<Record> Control(const std::vector<Record> &records, const std::string &id);
// The texts of a list or combo box's items in that output.
std::vector<std::string> Items(const std::vector<Record> &records, const std::string &id);
std::string Lower(std::string text);
// A file's bytes, or "" when it cannot be read.
std::string ReadText(const std::filesystem::path &path);

class TrayUser : public SessionTest
{
  protected:
    // The hidden main window, once the program has made it.
    testing::AssertionResult WaitMainWindow(Record *window);
    testing::AssertionResult WaitTrayIcon(Record *icon);
    // Both of the above, and the icon's rectangle on the screen.
    testing::AssertionResult WaitTray(Record *main, Rect *icon);
    // A click on button ID of a dialog or message box, through the driver.
    testing::AssertionResult Click(const Record &window, const std::string &id);
    // Waits until the window is gone.
    testing::AssertionResult Gone(const Record &window, const std::string &what);
    // Right-clicks the icon and waits for the popup menu. Right after the icon's picture
    // changed, Wine's tray window now and then drops a click (seen once in many runs): a click
    // that opened nothing within a few seconds is given again, never while a menu is open.
    testing::AssertionResult OpenMenu(const Rect &icon, Record *menu);
    // Presses the item's accelerator key in the menu's window and waits for the menu to close.
    testing::AssertionResult Choose(const Record &menu, const std::string &key);
    // Waits for the dialog and then for it to show: the window exists (and can be found) while
    // its controls are still being made, and a dialog box shows itself only once its dialog
    // procedure has initialised it.
    testing::AssertionResult WaitDialog(const std::string &title, Record *dialog);
    // Chooses a dialog's item from the tray menu by its accelerator and waits for the dialog.
    testing::AssertionResult OpenFromTray(const Rect &icon, const std::string &key,
                                          const std::string &title, Record *dialog);
    // Waits until each (control id, field, value) holds in the dialog's controls.
    testing::AssertionResult
    WaitControls(const Record &dialog, const std::string &what,
                 const std::vector<std::tuple<std::string, std::string, std::string>> &wanted);
    // The program's message box (captioned with the application name) open over the window.
    testing::AssertionResult WaitMessageBox(const Record &owner, const std::string &what,
                                            Record *box);
};

} // namespace e2e
