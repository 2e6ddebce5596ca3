// The reader of the resource script, for the simulated desktop's own source files: its tokens and
// expressions are read in script_lexer.cpp, its statements in resources.cpp. A parser reads one
// file and fills the script given; an #include reads the file it names with a parser of its own
// into the same script. Anything it does not understand throws SimulationError naming the file
// and line.
#pragma once

#include "platform/sim/resources.h"

#include <string>
#include <vector>

namespace sim
{

struct Token {
    enum Kind { End, Name, Number, String, Punct } kind = End;
    std::string text;
    long value = 0;
    int line = 0;
};

class Parser
{
  public:
    Parser(ResourceScript &script, const std::string &path);

    void Run();

  private:
    [[noreturn]] void Fail(const std::string &message) const;

    // ---- lexer
    void Advance() { token_ = Lex(); }
    Token Lex();
    Token LexString();
    void Preprocessor();

    // ---- expressions: numbers and names joined by | (and NOT, which removes bits)
    bool IsPunct(const char *p) const { return token_.kind == Token::Punct && token_.text == p; }
    bool IsName(const char *n) const { return token_.kind == Token::Name && token_.text == n; }
    void Expect(const char *p);
    long Primary();
    // Returns the value; bits given with NOT are collected in notMask for the caller.
    long Expression(long *notMask = nullptr);
    bool Comma();
    std::string String();
    void Begin();
    bool AtEnd() const { return IsName("END") || IsPunct("}"); }

    // ---- statements
    std::string ResourceName();
    void TopLevel();
    void SkipOptions();
    std::vector<MenuItemTemplate> MenuItems();
    void Dialog(const std::string &name, bool extended);
    void Rectangle(ControlTemplate &c);
    // Optional ", style [, exstyle [, helpid]]" after a control's rectangle: the given style is
    // added to the statement's defaults, NOT removes default bits.
    void TrailingStyles(ControlTemplate &c, bool extended);
    ControlTemplate Control(bool extended);
    void VersionInfo(const std::string &name);
    // A BEGIN ... END of BLOCK and VALUE statements; prefix holds the names of the blocks around.
    void VersionBlock(VersionTemplate &version, const std::string &prefix);

    ResourceScript &script_;
    std::string path_;
    std::string folder_;
    std::string text_;
    size_t pos_ = 0;
    int line_ = 1;
    Token token_;
};

} // namespace sim
