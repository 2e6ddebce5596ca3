// State of the simulated icons, tray and shell.
#pragma once

#include "platform/sim/desktop.h"
#include "platform/sim/icon_table.h"

#include <map>

namespace sim
{

struct IconObject {
    std::string name; // resource name, upper case
    const IconPixels *pixels = nullptr;
    int width = 0;
    int height = 0;
    bool shared = false;
};

struct ShellState {
    std::map<HICON, IconObject> icons;
    std::vector<TrayInfo> trayIcons;   // in the order added, each with its place on the screen
    std::vector<TrayInfo> trayHistory; // every record added or changed, in order
    std::vector<std::string> executed;
    MSG lastTrayPress{}; // for the icons' double clicks
};

ShellState &Shell();
void ResetShellState();

// The notification area: the icons in a row along the bottom of the screen from its right-hand
// corner, the first added rightmost, each a cell of this size. It lies above every window, as the
// task bar does (the jellyfish's full-screen window too).
constexpr int TrayCell = 20;
// The icon at the screen point, or null.
const TrayInfo *TrayIconAt(POINT point);
// A mouse event over a tray icon (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...), which the shell reports to
// the icon's window at once with its callback message.
void TrayInput(const TrayInfo &icon, UINT message, POINT point, DWORD time);
const IconPixels *FindIconPixels(const std::string &name);
const IconObject *FindIcon(HICON icon);

} // namespace sim
