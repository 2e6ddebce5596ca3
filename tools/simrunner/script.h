// The runner's script: user actions at virtual times, parsed in full before the run starts and
// then done one by one on the simulated desktop, as the user's input would be.
#pragma once

#include "platform/sim/desktop.h"

#include <string>
#include <vector>

namespace simrunner
{

// A script line that cannot be parsed, or an action that cannot be done at its time.
struct ScriptError {
    int line = 0;
    std::string reason;
    std::string Message() const { return "script line " + std::to_string(line) + ": " + reason; }
};

enum class Verb {
    TrayRightClick,
    TrayPoint,
    TrayLeftClick,
    TrayDoubleClick,
    Menu,
    MenuDismiss,
    Click,
    Check,
    Select,
    Text,
    Enter,
    Escape,
    Close,
    Answer,
    Post,
    Cursor,
    ChooseFile,
    CancelFile,
    ReadOnly,
    Pointer,
    LeftClick,
    RightClick,
    DoubleClick,
};

struct Action {
    int line = 0;
    sim::Millis time = 0;
    std::string written; // the action and its arguments as written, for the log
    Verb verb = Verb::Cursor;
    std::string name;          // dialog template or window class
    long long numbers[3] = {}; // control id, index, command, message, wParam, lParam, x, y
    std::string text;          // typed text, a file's path, or a list entry
    bool on = false;           // check: the state wanted
};

// Parses a whole script; times run from start and may not pass end. Throws ScriptError.
std::vector<Action> ParseScript(const std::string &script, sim::Millis start, sim::Millis end);

// Does the action now; throws ScriptError when it cannot be done.
void Perform(sim::Desktop &desktop, const Action &action);

} // namespace simrunner
