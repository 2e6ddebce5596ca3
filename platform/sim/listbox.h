// The list box's behaviour beyond holding its items (listbox.cpp), for the control procedure of
// the simulated dialogs.
#pragma once

#include "platform.h"

#include <string>
#include <vector>

namespace sim
{

// The list box's part of a message: keys that move the selection, LB_DIR, LB_GETTEXTLEN.
// Returns true with *result set when the message was the list box's.
bool ListBoxMessage(HWND hwnd, DWORD style, std::vector<std::string> &items, int &selection,
                    UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);

// Where a sorted list box or combo box puts a new text: before the first item that does not
// sort before it.
size_t SortedPosition(const std::vector<std::string> &items, const std::string &text);

// Where Up, Down, Home and End move a list's selection of items 0 to last (-1 when empty), from
// the one selected (-1 for none, so that Down selects the first); false for any other key.
bool SelectionAfterKey(WPARAM key, int selection, int last, int *moved);

} // namespace sim
