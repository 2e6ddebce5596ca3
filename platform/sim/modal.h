// State of the simulated modal user interface (message boxes and popup menus).
#pragma once

#include "platform/sim/desktop.h"

#include <functional>
#include <map>

namespace sim
{

struct ModalState {
    std::vector<MessageBoxInfo> messageBoxes; // every box shown, in order; result 0 while open
    std::map<HMENU, std::vector<MenuItem>> menus;
    std::vector<MenuInfo> menusShown;
};

ModalState &Modal();
void ResetModalState();
void ResetDialogsState();
void ResetComState();
void ResetGdiState();

} // namespace sim
