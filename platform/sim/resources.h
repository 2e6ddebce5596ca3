// The program's resource script, read by the simulated desktop from the same .rc file that the
// Windows build compiles: string table, menus, dialog templates, icon names and version
// information.
#pragma once

#include "platform.h"

#include <map>
#include <string>
#include <vector>

namespace sim
{

struct MenuItemTemplate {
    std::string text;
    int id = 0;
    bool separator = false;
    std::vector<MenuItemTemplate> popup; // items of a POPUP
    bool isPopup = false;
};

struct ControlTemplate {
    std::string statement; // LTEXT, CONTROL, PUSHBUTTON, ...
    std::string className; // upper case: BUTTON, STATIC, EDIT, COMBOBOX, LISTBOX
    std::string text;
    int id = -1;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    DWORD style = 0;
    DWORD exStyle = 0;
};

struct DialogTemplate {
    std::string name; // the number as text, or the name in upper case
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    std::string font;
    int fontSize = 0;
    std::vector<ControlTemplate> controls;
};

// A VERSIONINFO resource: the numbers of its fixed statements by name (FILEVERSION 1, 0, 0, 0),
// and its VALUE statements keyed by the names of the blocks around them and their own, joined by
// '/' ("StringFileInfo/041104B0/ProductName"): the texts, and the numbers of values given as
// numbers ("VarFileInfo/Translation").
struct VersionTemplate {
    std::map<std::string, std::vector<long>> fixed;
    std::map<std::string, std::string> texts;
    std::map<std::string, std::vector<long>> numbers;
};

struct ResourceScript {
    std::string path; // of the script; the files it names are beside it
    std::map<int, std::string> strings;
    std::map<std::string, std::vector<MenuItemTemplate>> menus; // by name, upper case
    std::map<std::string, DialogTemplate> dialogs;              // by name (see DialogTemplate)
    std::map<std::string, std::string> icons;                   // name upper case -> file
    std::map<std::string, std::string> manifests;               // name -> file
    std::map<std::string, VersionTemplate> versions;            // by name
    std::map<std::string, long> defines;
};

// Parses a resource script and the files it includes. Throws SimulationError naming the file
// and line of anything it does not understand.
ResourceScript ParseResourceScript(const std::string &path);

// The program's own script (resources/ZelmoSound.rc of the source tree), parsed once.
const ResourceScript &ProgramResources();

// The name under which a resource is looked up: a number as decimal text, a name upper case.
std::string ResourceKey(LPCSTR name);

} // namespace sim
