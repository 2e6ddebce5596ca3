// Reader of the resource script statements the program uses: LANGUAGE, STRINGTABLE, MENU, DIALOG
// and DIALOGEX with their controls, ICON, VERSIONINFO and manifest resources (script_lexer.cpp
// reads their tokens and expressions, and #include and #define). Control statements get the default
// styles the resource compiler gives them. Also the program's own script, read once, the key a
// resource is looked up by, and LoadStringA.
#include "platform/sim/resources.h"

#include "platform/sim/internal.h"
#include "platform/sim/script_parser.h"

#ifndef ZELMO_RESOURCE_SCRIPT
#error "ZELMO_RESOURCE_SCRIPT must name the program's .rc file"
#endif

namespace sim
{

void Parser::Run()
{
    Advance();
    while (token_.kind != Token::End)
        TopLevel();
}

std::string Parser::ResourceName()
{
    if (token_.kind == Token::Number) {
        std::string key = std::to_string(token_.value);
        Advance();
        return key;
    }
    if (token_.kind == Token::Name) {
        auto d = script_.defines.find(token_.text);
        std::string key =
            d != script_.defines.end() ? std::to_string(d->second) : Upper(token_.text);
        Advance();
        return key;
    }
    Fail("expected a resource name");
}

void Parser::TopLevel()
{
    if (IsName("LANGUAGE")) {
        Advance();
        Expression();
        Expect(",");
        Expression();
        return;
    }
    if (IsName("STRINGTABLE")) {
        Advance();
        SkipOptions();
        Begin();
        while (!AtEnd()) {
            int id = static_cast<int>(Expression());
            Comma();
            script_.strings[id] = String();
        }
        Advance();
        return;
    }
    std::string name = ResourceName();
    if (IsName("MENU")) {
        Advance();
        SkipOptions();
        script_.menus[name] = MenuItems();
    } else if (IsName("DIALOG") || IsName("DIALOGEX")) {
        bool extended = IsName("DIALOGEX");
        Advance();
        Dialog(name, extended);
    } else if (IsName("ICON")) {
        Advance();
        script_.icons[name] = String();
    } else if (IsName("VERSIONINFO")) {
        Advance();
        VersionInfo(name);
    } else if (IsName("RT_MANIFEST") || (token_.kind == Token::Number && token_.value == 24)) {
        Advance();
        script_.manifests[name] = String();
    } else {
        Fail("unsupported resource statement '" + token_.text + "'");
    }
}

void Parser::SkipOptions()
{
    while (IsName("DISCARDABLE") || IsName("MOVEABLE") || IsName("PURE") || IsName("LOADONCALL") ||
           IsName("PRELOAD") || IsName("IMPURE") || IsName("FIXED"))
        Advance();
}

std::vector<MenuItemTemplate> Parser::MenuItems()
{
    std::vector<MenuItemTemplate> items;
    Begin();
    while (!AtEnd()) {
        MenuItemTemplate item;
        if (IsName("MENUITEM")) {
            Advance();
            if (IsName("SEPARATOR")) {
                Advance();
                item.separator = true;
            } else {
                item.text = String();
                Expect(",");
                item.id = static_cast<int>(Expression());
                while (Comma())
                    Advance(); // options such as GRAYED
            }
        } else if (IsName("POPUP")) {
            Advance();
            item.text = String();
            item.isPopup = true;
            item.popup = MenuItems();
        } else {
            Fail("unexpected '" + token_.text + "' in a menu");
        }
        items.push_back(item);
    }
    Advance();
    return items;
}

void Parser::Dialog(const std::string &name, bool extended)
{
    DialogTemplate dialog;
    dialog.name = name;
    dialog.style = WS_POPUP | WS_BORDER | WS_SYSMENU; // the compiler's default
    SkipOptions();
    dialog.x = static_cast<int>(Expression());
    Expect(",");
    dialog.y = static_cast<int>(Expression());
    Expect(",");
    dialog.cx = static_cast<int>(Expression());
    Expect(",");
    dialog.cy = static_cast<int>(Expression());
    if (extended && Comma()) Expression(); // help id
    bool captionGiven = false;
    for (;;) {
        if (IsName("STYLE")) {
            Advance();
            dialog.style = static_cast<DWORD>(Expression());
        } else if (IsName("EXSTYLE")) {
            Advance();
            dialog.exStyle = static_cast<DWORD>(Expression());
        } else if (IsName("CAPTION")) {
            Advance();
            dialog.caption = String();
            captionGiven = true;
        } else if (IsName("FONT")) {
            Advance();
            dialog.fontSize = static_cast<int>(Expression());
            Expect(",");
            dialog.font = String();
            while (Comma())
                Expression(); // weight, italic, character set
        } else if (IsName("LANGUAGE")) {
            Advance();
            Expression();
            Expect(",");
            Expression();
        } else {
            break;
        }
    }
    if (captionGiven) dialog.style |= WS_CAPTION;
    if (!dialog.font.empty()) dialog.style |= DS_SETFONT;
    Begin();
    while (!AtEnd())
        dialog.controls.push_back(Control(extended));
    Advance();
    script_.dialogs[name] = dialog;
}

void Parser::Rectangle(ControlTemplate &c)
{
    c.x = static_cast<int>(Expression());
    Expect(",");
    c.y = static_cast<int>(Expression());
    Expect(",");
    c.cx = static_cast<int>(Expression());
    Expect(",");
    c.cy = static_cast<int>(Expression());
}

void Parser::TrailingStyles(ControlTemplate &c, bool extended)
{
    if (Comma()) {
        long removed = 0;
        long added = Expression(&removed);
        c.style = (c.style | static_cast<DWORD>(added)) & ~static_cast<DWORD>(removed);
        if (Comma()) {
            c.exStyle = static_cast<DWORD>(Expression());
            if (extended && Comma()) Expression();
        }
    }
}

ControlTemplate Parser::Control(bool extended)
{
    ControlTemplate c;
    if (token_.kind != Token::Name) Fail("expected a control statement");
    c.statement = token_.text;
    Advance();
    const DWORD child = WS_CHILD | WS_VISIBLE;
    struct TextControl {
        const char *statement;
        const char *className;
        DWORD style;
    };
    static const TextControl textControls[] = {
        {"LTEXT", "STATIC", SS_LEFT | WS_GROUP},
        {"CTEXT", "STATIC", SS_CENTER | WS_GROUP},
        {"RTEXT", "STATIC", SS_RIGHT | WS_GROUP},
        {"PUSHBUTTON", "BUTTON", BS_PUSHBUTTON | WS_TABSTOP},
        {"DEFPUSHBUTTON", "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP},
        {"CHECKBOX", "BUTTON", BS_CHECKBOX | WS_TABSTOP},
        {"AUTOCHECKBOX", "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP},
        {"RADIOBUTTON", "BUTTON", BS_RADIOBUTTON},
        {"AUTORADIOBUTTON", "BUTTON", BS_AUTORADIOBUTTON},
        {"GROUPBOX", "BUTTON", BS_GROUPBOX},
    };
    for (const TextControl &t : textControls) {
        if (c.statement == t.statement) {
            c.className = t.className;
            c.style = child | t.style;
            c.text = String();
            Expect(",");
            c.id = static_cast<int>(Expression());
            Expect(",");
            Rectangle(c);
            TrailingStyles(c, extended);
            return c;
        }
    }
    if (c.statement == "EDITTEXT" || c.statement == "COMBOBOX" || c.statement == "LISTBOX") {
        if (c.statement == "EDITTEXT") {
            c.className = "EDIT";
            c.style = child | ES_LEFT | WS_BORDER | WS_TABSTOP;
        } else if (c.statement == "COMBOBOX") {
            c.className = "COMBOBOX";
            c.style = child | CBS_SIMPLE | WS_TABSTOP;
        } else {
            c.className = "LISTBOX";
            c.style = child | LBS_NOTIFY | WS_BORDER;
        }
        c.id = static_cast<int>(Expression());
        Expect(",");
        Rectangle(c);
        TrailingStyles(c, extended);
        return c;
    }
    if (c.statement == "ICON") {
        c.className = "STATIC";
        c.style = child | SS_ICON;
        c.text = token_.kind == Token::String ? String() : ResourceName();
        Expect(",");
        c.id = static_cast<int>(Expression());
        Expect(",");
        c.x = static_cast<int>(Expression());
        Expect(",");
        c.y = static_cast<int>(Expression());
        if (Comma()) {
            c.cx = static_cast<int>(Expression());
            Expect(",");
            c.cy = static_cast<int>(Expression());
            TrailingStyles(c, extended);
        }
        return c;
    }
    if (c.statement == "CONTROL") {
        c.text = token_.kind == Token::String ? String() : std::to_string(Expression());
        Expect(",");
        c.id = static_cast<int>(Expression());
        Expect(",");
        c.className = Upper(String());
        Expect(",");
        long removed = 0;
        c.style = (child | static_cast<DWORD>(Expression(&removed))) & ~static_cast<DWORD>(removed);
        Expect(",");
        Rectangle(c);
        if (Comma()) {
            c.exStyle = static_cast<DWORD>(Expression());
            if (extended && Comma()) Expression();
        }
        return c;
    }
    Fail("unsupported control statement '" + c.statement + "'");
}

void Parser::VersionInfo(const std::string &name)
{
    VersionTemplate version;
    while (token_.kind == Token::Name && !IsName("BEGIN")) {
        std::vector<long> &values = version.fixed[token_.text];
        Advance();
        values.push_back(Expression());
        while (Comma())
            values.push_back(Expression());
    }
    VersionBlock(version, "");
    script_.versions[name] = version;
}

void Parser::VersionBlock(VersionTemplate &version, const std::string &prefix)
{
    Begin();
    while (!AtEnd()) {
        if (IsName("BLOCK")) {
            Advance();
            std::string block = String();
            VersionBlock(version, prefix + block + "/");
        } else if (IsName("VALUE")) {
            Advance();
            std::string key = prefix + String();
            while (Comma()) {
                if (token_.kind == Token::String)
                    version.texts[key] += String();
                else
                    version.numbers[key].push_back(Expression());
            }
        } else {
            Fail("unexpected '" + token_.text + "' in version information");
        }
    }
    Advance();
}

ResourceScript ParseResourceScript(const std::string &path)
{
    ResourceScript script;
    script.path = path;
    Parser(script, path).Run();
    return script;
}

const ResourceScript &ProgramResources()
{
    // Each script is read once; the desktop names the one its program was built with.
    static std::map<std::string, ResourceScript> scripts;
    std::string path = ZELMO_RESOURCE_SCRIPT;
    if (Desktop *desktop = Desktop::Exists();
        desktop && !desktop->state().options.resourceScript.empty())
        path = desktop->state().options.resourceScript;
    auto found = scripts.find(path);
    if (found == scripts.end()) found = scripts.emplace(path, ParseResourceScript(path)).first;
    return found->second;
}

std::string ResourceKey(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) return std::to_string(reinterpret_cast<uintptr_t>(name));
    std::string text = name;
    if (!text.empty() && text[0] == '#') return std::to_string(std::stol(text.substr(1)));
    return Upper(text);
}

} // namespace sim

using namespace sim;

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax)
{
    PlatformCode platform;
    (void)instance;
    const auto &strings = ProgramResources().strings;
    auto it = strings.find(static_cast<int>(id));
    if (!buffer || bufferMax <= 0) return 0;
    if (it == strings.end()) {
        buffer[0] = '\0';
        SetLastError(1814); // ERROR_RESOURCE_NAME_NOT_FOUND
        return 0;
    }
    // The string is kept in UTF-16 and converted into the buffer: whole characters only
    // (system/load-string).
    return static_cast<int>(CopyWholeCharacters(it->second, buffer, bufferMax));
}
