// Reader of the resource script statements the program uses: #include (system headers such as
// <windows.h> are skipped) and #define, LANGUAGE, STRINGTABLE, MENU, DIALOG and DIALOGEX with
// their controls, ICON and manifest resources.
// Control statements get the default styles the resource compiler gives them.
#include "resources.h"

#include "internal.h"

#include <cctype>
#include <fstream>
#include <sstream>

#ifndef ZELMO_RESOURCE_SCRIPT
#error "ZELMO_RESOURCE_SCRIPT must name the program's .rc file"
#endif

namespace sim
{

namespace
{

struct Token {
    enum Kind { End, Name, Number, String, Punct } kind = End;
    std::string text;
    long value = 0;
    int line = 0;
};

const std::map<std::string, long> &StyleConstants()
{
    static const std::map<std::string, long> table = {
        {"WS_OVERLAPPED", WS_OVERLAPPED},
        {"WS_POPUP", WS_POPUP},
        {"WS_CHILD", WS_CHILD},
        {"WS_VISIBLE", WS_VISIBLE},
        {"WS_DISABLED", WS_DISABLED},
        {"WS_CAPTION", WS_CAPTION},
        {"WS_BORDER", WS_BORDER},
        {"WS_DLGFRAME", WS_DLGFRAME},
        {"WS_VSCROLL", WS_VSCROLL},
        {"WS_HSCROLL", WS_HSCROLL},
        {"WS_SYSMENU", WS_SYSMENU},
        {"WS_THICKFRAME", WS_THICKFRAME},
        {"WS_GROUP", WS_GROUP},
        {"WS_TABSTOP", WS_TABSTOP},
        {"WS_MINIMIZEBOX", WS_MINIMIZEBOX},
        {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX},
        {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME},
        {"WS_EX_TOPMOST", WS_EX_TOPMOST},
        {"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT},
        {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},
        {"WS_EX_STATICEDGE", WS_EX_STATICEDGE},
        {"WS_EX_NOPARENTNOTIFY", WS_EX_NOPARENTNOTIFY},
        {"DS_3DLOOK", DS_3DLOOK},
        {"DS_SETFONT", DS_SETFONT},
        {"DS_MODALFRAME", DS_MODALFRAME},
        {"DS_CENTER", DS_CENTER},
        {"BS_PUSHBUTTON", BS_PUSHBUTTON},
        {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
        // The standard dialog command ids of <windows.h>.
        {"IDOK", IDOK},
        {"IDCANCEL", IDCANCEL},
        {"IDYES", IDYES},
        {"IDNO", IDNO},
        {"BS_CHECKBOX", BS_CHECKBOX},
        {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
        {"BS_RADIOBUTTON", BS_RADIOBUTTON},
        {"BS_GROUPBOX", BS_GROUPBOX},
        {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
        {"BS_NOTIFY", BS_NOTIFY},
        {"SS_LEFT", SS_LEFT},
        {"SS_CENTER", SS_CENTER},
        {"SS_RIGHT", SS_RIGHT},
        {"SS_ICON", SS_ICON},
        {"SS_NOPREFIX", SS_NOPREFIX},
        {"ES_LEFT", ES_LEFT},
        {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
        {"ES_READONLY", ES_READONLY},
        {"CBS_SIMPLE", CBS_SIMPLE},
        {"CBS_DROPDOWN", CBS_DROPDOWN},
        {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
        {"CBS_SORT", CBS_SORT},
        {"CBS_HASSTRINGS", CBS_HASSTRINGS},
        {"LBS_NOTIFY", LBS_NOTIFY},
        {"LBS_SORT", LBS_SORT},
        {"LBS_NOINTEGRALHEIGHT", LBS_NOINTEGRALHEIGHT},
        {"LBS_STANDARD", LBS_STANDARD},
        // The dialog command ids windows.h names, which templates give their buttons.
        {"IDOK", IDOK},
        {"IDCANCEL", IDCANCEL},
    };
    return table;
}

class Parser
{
  public:
    Parser(ResourceScript &script, const std::string &path) : script_(script), path_(path)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw SimulationError("cannot read resource script " + path);
        std::stringstream buffer;
        buffer << in.rdbuf();
        text_ = buffer.str();
        folder_ = path.substr(0, path.find_last_of('/') + 1);
    }

    void Run()
    {
        Advance();
        while (token_.kind != Token::End)
            TopLevel();
    }

  private:
    [[noreturn]] void Fail(const std::string &message) const
    {
        throw SimulationError(path_ + ":" + std::to_string(token_.line) + ": " + message);
    }

    // ---- lexer
    void Advance() { token_ = Lex(); }

    Token Lex()
    {
        for (;;) {
            while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
                if (text_[pos_] == '\n') ++line_;
                ++pos_;
            }
            if (pos_ >= text_.size()) return Token{Token::End, "", 0, line_};
            if (text_.compare(pos_, 2, "//") == 0) {
                pos_ = text_.find('\n', pos_);
                if (pos_ == std::string::npos) pos_ = text_.size();
                continue;
            }
            if (text_.compare(pos_, 2, "/*") == 0) {
                size_t end = text_.find("*/", pos_ + 2);
                for (size_t i = pos_; i < std::min(end, text_.size()); ++i)
                    line_ += text_[i] == '\n';
                pos_ = end == std::string::npos ? text_.size() : end + 2;
                continue;
            }
            if (text_[pos_] == '#') {
                Preprocessor();
                continue;
            }
            break;
        }
        char c = text_[pos_];
        if (c == '"') return LexString();
        if (std::isdigit(static_cast<unsigned char>(c))) {
            size_t start = pos_;
            while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            std::string digits = text_.substr(start, pos_ - start);
            while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' ||
                                       digits.back() == 'U' || digits.back() == 'u'))
                digits.pop_back();
            return Token{Token::Number, digits, std::stol(digits, nullptr, 0), line_};
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t start = pos_;
            while (pos_ < text_.size() &&
                   (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                ++pos_;
            return Token{Token::Name, text_.substr(start, pos_ - start), 0, line_};
        }
        ++pos_;
        return Token{Token::Punct, std::string(1, c), 0, line_};
    }

    Token LexString()
    {
        std::string value;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size()) Fail("unterminated string");
            char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    value += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            if (c == '\\' && pos_ < text_.size()) {
                char e = text_[pos_++];
                switch (e) {
                case 'n':
                    value += '\n';
                    break;
                case 't':
                    value += '\t';
                    break;
                case 'r':
                    value += '\r';
                    break;
                case 'a':
                    value += '\b';
                    break;
                case '\\':
                    value += '\\';
                    break;
                case '"':
                    value += '"';
                    break;
                default:
                    value += '\\';
                    value += e;
                    break;
                }
                continue;
            }
            if (c == '\n') ++line_;
            value += c;
        }
        return Token{Token::String, value, 0, line_};
    }

    void Preprocessor()
    {
        size_t end = text_.find('\n', pos_);
        std::string directive =
            text_.substr(pos_, end == std::string::npos ? std::string::npos : end - pos_);
        pos_ = end == std::string::npos ? text_.size() : end;
        std::istringstream words(directive.substr(1));
        std::string word;
        words >> word;
        if (word == "include") {
            std::string file;
            words >> file;
            // A system header such as <windows.h> gives the resource compiler the style names,
            // which this reader knows from its own table; only the program's own files are read.
            if (!file.empty() && file[0] == '<') return;
            if (file.size() >= 2 && file[0] == '"') file = file.substr(1, file.size() - 2);
            Parser(script_, folder_ + file).Run();
        } else if (word == "define") {
            std::string name, value;
            words >> name;
            std::getline(words, value);
            size_t first = value.find_first_not_of(" \t");
            value = first == std::string::npos ? "" : value.substr(first);
            if (!value.empty()) script_.defines[name] = std::stol(value, nullptr, 0);
        }
        // #pragma, #ifdef guards and the like carry nothing the program reads.
    }

    // ---- expressions: numbers and names joined by | (and NOT, which removes bits)
    bool IsPunct(const char *p) const { return token_.kind == Token::Punct && token_.text == p; }
    bool IsName(const char *n) const { return token_.kind == Token::Name && token_.text == n; }

    void Expect(const char *p)
    {
        if (!IsPunct(p)) Fail(std::string("expected '") + p + "' but found '" + token_.text + "'");
        Advance();
    }

    long Primary()
    {
        if (IsPunct("(")) {
            Advance();
            long value = Expression();
            Expect(")");
            return value;
        }
        if (IsPunct("-")) {
            Advance();
            return -Primary();
        }
        if (token_.kind == Token::Number) {
            long value = token_.value;
            Advance();
            return value;
        }
        if (token_.kind == Token::Name) {
            auto d = script_.defines.find(token_.text);
            auto s = StyleConstants().find(token_.text);
            long value = 0;
            if (d != script_.defines.end())
                value = d->second;
            else if (s != StyleConstants().end())
                value = s->second;
            else
                Fail("unknown name '" + token_.text + "'");
            Advance();
            return value;
        }
        Fail("expected a number but found '" + token_.text + "'");
    }

    // Returns the value; bits given with NOT are collected in notMask for the caller.
    long Expression(long *notMask = nullptr)
    {
        long value = 0;
        bool first = true;
        for (;;) {
            if (IsName("NOT")) {
                Advance();
                long bits = Primary();
                if (notMask) *notMask |= bits;
                value &= ~bits;
            } else {
                long v = Primary();
                value = first ? v : (value | v);
            }
            first = false;
            if (!IsPunct("|")) return value;
            Advance();
        }
    }

    bool Comma()
    {
        if (IsPunct(",")) {
            Advance();
            return true;
        }
        return false;
    }

    std::string String()
    {
        if (token_.kind != Token::String) Fail("expected a string but found '" + token_.text + "'");
        std::string value = token_.text;
        Advance();
        return value;
    }

    void Begin()
    {
        if (IsName("BEGIN") || IsPunct("{"))
            Advance();
        else
            Fail("expected BEGIN");
    }

    bool AtEnd() const { return IsName("END") || IsPunct("}"); }

    // ---- statements
    std::string ResourceName()
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

    void TopLevel()
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
        } else if (IsName("RT_MANIFEST") || (token_.kind == Token::Number && token_.value == 24)) {
            Advance();
            script_.manifests[name] = String();
        } else {
            Fail("unsupported resource statement '" + token_.text + "'");
        }
    }

    void SkipOptions()
    {
        while (IsName("DISCARDABLE") || IsName("MOVEABLE") || IsName("PURE") ||
               IsName("LOADONCALL") || IsName("PRELOAD") || IsName("IMPURE") || IsName("FIXED"))
            Advance();
    }

    std::vector<MenuItemTemplate> MenuItems()
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

    void Dialog(const std::string &name, bool extended)
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

    void Rectangle(ControlTemplate &c)
    {
        c.x = static_cast<int>(Expression());
        Expect(",");
        c.y = static_cast<int>(Expression());
        Expect(",");
        c.cx = static_cast<int>(Expression());
        Expect(",");
        c.cy = static_cast<int>(Expression());
    }

    // Optional ", style [, exstyle [, helpid]]" after a control's rectangle: the given style is
    // added to the statement's defaults, NOT removes default bits.
    void TrailingStyles(ControlTemplate &c, bool extended)
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

    ControlTemplate Control(bool extended)
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
            c.style =
                (child | static_cast<DWORD>(Expression(&removed))) & ~static_cast<DWORD>(removed);
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

    ResourceScript &script_;
    std::string path_;
    std::string folder_;
    std::string text_;
    size_t pos_ = 0;
    int line_ = 1;
    Token token_;
};

} // namespace

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
    size_t count = std::min(it->second.size(), static_cast<size_t>(bufferMax - 1));
    it->second.copy(buffer, count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}
