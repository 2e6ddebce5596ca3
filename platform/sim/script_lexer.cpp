// The resource script reader's tokens and expressions (resources.cpp reads the statements):
// comments skipped, numbers with their suffixes, names, strings with their escapes and doubled
// quotes, #include of the program's own files (system headers such as <windows.h> are skipped)
// and #define; expressions of numbers, defined names and the style names of <windows.h> joined by
// | (NOT removes bits).
#include "platform/sim/script_parser.h"

#include "platform/sim/internal.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace sim
{

namespace
{

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
        // The fixed part of a VERSIONINFO statement (winver.h).
        {"VS_FFI_FILEFLAGSMASK", 0x3F},
        {"VOS_NT_WINDOWS32", 0x40004},
        {"VFT_APP", 1},
        {"VFT2_UNKNOWN", 0},
    };
    return table;
}

} // namespace

Parser::Parser(ResourceScript &script, const std::string &path) : script_(script), path_(path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SimulationError("cannot read resource script " + path);
    std::stringstream buffer;
    buffer << in.rdbuf();
    text_ = buffer.str();
    folder_ = path.substr(0, path.find_last_of('/') + 1);
}

void Parser::Fail(const std::string &message) const
{
    throw SimulationError(path_ + ":" + std::to_string(token_.line) + ": " + message);
}

Token Parser::Lex()
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

Token Parser::LexString()
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

void Parser::Preprocessor()
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

void Parser::Expect(const char *p)
{
    if (!IsPunct(p)) Fail(std::string("expected '") + p + "' but found '" + token_.text + "'");
    Advance();
}

long Parser::Primary()
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

long Parser::Expression(long *notMask)
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

bool Parser::Comma()
{
    if (IsPunct(",")) {
        Advance();
        return true;
    }
    return false;
}

std::string Parser::String()
{
    if (token_.kind != Token::String) Fail("expected a string but found '" + token_.text + "'");
    std::string value = token_.text;
    Advance();
    return value;
}

void Parser::Begin()
{
    if (IsName("BEGIN") || IsPunct("{"))
        Advance();
    else
        Fail("expected BEGIN");
}

} // namespace sim
