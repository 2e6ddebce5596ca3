// State of the simulated icons, tray and shell.
#pragma once

#include "desktop.h"
#include "icon_table.h"

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
    std::vector<TrayInfo> trayIcons;
    std::vector<TrayInfo> trayHistory; // every record added or changed, in order
    std::vector<std::string> executed;
};

ShellState &Shell();
void ResetShellState();
const IconPixels *FindIconPixels(const std::string &name);
const IconObject *FindIcon(HICON icon);

} // namespace sim
