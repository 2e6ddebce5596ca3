// State of the simulated dialogs and their controls, shared by dialogs.cpp (running dialogs,
// the dialog manager's keys) and controls.cpp (the standard controls), and by the message box.
#pragma once

#include "platform/sim/internal.h"
#include "platform/sim/resources.h"

#include <map>
#include <string>
#include <vector>

namespace sim
{

struct ControlState {
    int id = 0;
    std::string className;
    DWORD style = 0;
    int check = BST_UNCHECKED;
    std::vector<std::string> items;
    int selection = -1;
    // An edit field's selection, in bytes of its text; the caret is at its end.
    int selectionStart = 0;
    int selectionEnd = 0;
};

struct DialogState {
    HWND hwnd = nullptr;
    std::string templateName;
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    HWND owner = nullptr;
    int process = 0;
    int defaultId = 0;         // what DM_GETDEFID answers
    HWND savedFocus = nullptr; // the focus it had when it lost the activation
};

struct DialogsState {
    std::map<HWND, ControlState> controls;
    std::vector<DialogState> dialogs; // open ones, innermost last
    std::vector<std::string> shown;
};

DialogsState &D();
DialogState *FindDialog(HWND hwnd);
bool IsButtonKind(const ControlState &c, int kind);
ControlState *FindControl(HWND hwnd);
HWND ControlWindow(HWND dialog, int id);
LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The focus set by the dialog manager (the first tab stop, Tab, the arrows): an edit field that
// gets it has all its text selected, so that typing replaces it.
void DialogSetFocus(HWND control);

// Runs a dialog from a template modally, as DialogBoxParamA does: owner disabled, WM_INITDIALOG,
// shown when its loop first finds the queue empty, keys through the dialog manager, destroyed
// before it returns. announce: record it and report it as a dialog (message boxes do not).
// quitResult: what it answers when a quit message ends it; 0 for its default button's id.
INT_PTR RunDialog(const DialogTemplate &t, const std::string &name, HINSTANCE instance, HWND owner,
                  DLGPROC proc, LPARAM param, bool announce, INT_PTR quitResult = 0);

} // namespace sim
