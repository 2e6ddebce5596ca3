// Names and texts compared as Windows compares them (see names.h). The letter-case table covers
// the scripts a file name in a Japanese program is likely to hold; the list box order was
// measured against Wine by the conformance probe (filedialogs/sorted-list), which also shows
// where it is only approximated: among texts that differ in nothing but hyphens, accents or
// widths, and for scripts other than Latin, kana and kanji.
#include "platform/sim/names.h"

#include "platform/sim/internal.h"

#include <vector>

namespace sim
{

namespace
{

// The upper-case letter of a code point, or the code point itself.
uint32_t UpperLetter(uint32_t c)
{
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20; // Latin-1
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A: pairs of upper and lower case, the upper one first; the pairs
        // start on odd code points in two stretches.
        bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        bool lower = oddPairs ? (c % 2 == 0) : (c % 2 == 1);
        bool paired = c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F;
        return paired && lower ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 0x20; // Greek
    if (c == 0x3C2) return 0x3A3;                                // final sigma
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20; // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20; // full-width Latin
    return c;
}

// The lower-case letter of a code point, for the letters UpperLetter knows.
uint32_t LowerLetter(uint32_t c)
{
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) return UpperLetter(c + 1) == c ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 0x3F;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    return c;
}

// ---- the list box order

// Punctuation and symbols of ASCII in the order Windows sorts them (the space first); the
// hyphen and the apostrophe are not among them: they are ignored unless nothing else differs.
constexpr char SymbolOrder[] = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

bool Ignorable(uint32_t c)
{
    return c == '-' || c == '\'' || c == 0xFF0D;
}

struct Weights {
    uint32_t primary = 0;
    uint32_t accent = 0; // 0 for none
    uint32_t width = 0;  // 0 narrow, 1 full-width, 2 katakana, 3 hiragana
};

// Latin-1 letters with an accent sort with their base letter.
constexpr char Latin1Base[] = "AAAAAA?CEEEEIIIIDNOOOOO?OUUUUY??"
                              "aaaaaa?ceeeeiiiidnooooo?ouuuuy?y";

Weights Weigh(uint32_t c)
{
    Weights w;
    if (c >= 0xFF01 && c <= 0xFF5E) { // full-width ASCII
        c -= 0xFEE0;
        w.width = 1;
    }
    if (c >= 0xC0 && c <= 0xFF && Latin1Base[c - 0xC0] != '?') {
        w.accent = c - 0xBF;
        c = static_cast<unsigned char>(Latin1Base[c - 0xC0]);
    }
    if (c < 0x80) {
        if (c >= '0' && c <= '9') {
            w.primary = 0x100 + (c - '0');
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            w.primary = 0x200 + (UpperLetter(c) - 'A');
        } else {
            w.primary = 1;
            for (const char *s = SymbolOrder; *s; ++s)
                if (static_cast<uint32_t>(static_cast<unsigned char>(*s)) == c)
                    w.primary = 2 + static_cast<uint32_t>(s - SymbolOrder);
        }
        return w;
    }
    if (c >= 0x3041 && c <= 0x3096) { // hiragana sorts with its katakana
        w.primary = 0x20000 + (c + 0x60);
        w.width = 3;
    } else if (c >= 0x30A1 && c <= 0x30FC) {
        w.primary = 0x20000 + c;
        w.width = 2;
    } else if (c >= 0x4E00 && c <= 0x9FFF) {
        w.primary = 0x30000 + c; // kanji after kana
    } else if (c < 0x3000) {
        w.primary = 0x1000 + UpperLetter(c); // other scripts after Latin letters
    } else {
        w.primary = 0x40000 + c;
    }
    return w;
}

std::vector<Weights> WeighText(const std::string &text)
{
    std::vector<Weights> weights;
    for (size_t i = 0; i < text.size();) {
        uint32_t c = DecodeUtf8(text, i);
        if (!Ignorable(c)) weights.push_back(Weigh(c));
    }
    return weights;
}

template <typename Field>
int CompareLevel(const std::vector<Weights> &a, const std::vector<Weights> &b, Field field)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i].*field != b[i].*field) return a[i].*field < b[i].*field ? -1 : 1;
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

bool ValidShortChar(unsigned char c)
{
    if (c >= 0x80) return true;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    for (const char *s = "!#$%&'()-@^_`{}~"; *s; ++s)
        if (c == static_cast<unsigned char>(*s)) return true;
    return false;
}

} // namespace

namespace
{

std::string MapLetters(const std::string &text, uint32_t (*map)(uint32_t))
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t start = i;
        bool valid = true;
        uint32_t c = DecodeUtf8(text, i, &valid);
        if (!valid) {
            out.append(text, start, i - start);
            continue;
        }
        EncodeUtf8(map(c), out);
    }
    return out;
}

} // namespace

std::string FoldCase(const std::string &name)
{
    return MapLetters(name, UpperLetter);
}

std::string LowerCase(const std::string &text)
{
    return MapLetters(text, LowerLetter);
}

std::string ShortName(const std::string &name)
{
    if (name == "." || name == "..") return "";
    size_t dot = name.find_last_of('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    // Lengths in characters: a letter outside ASCII stands for itself in a short name.
    auto characters = [](const std::string &part) {
        size_t count = 0;
        for (size_t i = 0; i < part.size(); ++count)
            DecodeUtf8(part, i);
        return count;
    };
    bool valid = !base.empty() && characters(base) <= 8 && characters(extension) <= 3;
    for (unsigned char c : base + extension)
        valid = valid && ValidShortChar(c);
    if (valid) return "";
    // Blanks and the other dots go; characters no short name may hold become '_'.
    auto clean = [](const std::string &part, size_t limit) {
        std::string out;
        size_t count = 0;
        for (size_t i = 0; i < part.size() && count < limit;) {
            size_t start = i;
            DecodeUtf8(part, i);
            unsigned char c = static_cast<unsigned char>(part[start]);
            if (c == ' ' || c == '.') continue;
            out += ValidShortChar(c) ? part.substr(start, i - start) : std::string("_");
            ++count;
        }
        return FoldCase(out);
    };
    std::string shortName = clean(base, 6) + "~1";
    std::string shortExtension = clean(extension, 3);
    return shortExtension.empty() ? shortName : shortName + "." + shortExtension;
}

bool WildcardMatch(const std::string &pattern, const std::string &name)
{
    // Iterative matcher for * and ?; a ? stands for one character, not one byte.
    std::string p = FoldCase(pattern), n = FoldCase(name);
    auto next = [&](size_t at) {
        size_t after = at;
        DecodeUtf8(n, after);
        return after;
    };
    size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '?') {
            ++pi;
            ni = next(ni);
        } else if (pi < p.size() && p[pi] == n[ni]) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = mark = next(mark);
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

bool FileNameMatches(const std::string &pattern, const std::string &name)
{
    if (WildcardMatch(pattern, name)) return true;
    std::string shortName = ShortName(name);
    return !shortName.empty() && WildcardMatch(pattern, shortName);
}

int CompareTexts(const std::string &a, const std::string &b)
{
    std::vector<Weights> wa = WeighText(a), wb = WeighText(b);
    if (int order = CompareLevel(wa, wb, &Weights::primary)) return order;
    if (int order = CompareLevel(wa, wb, &Weights::accent)) return order;
    if (int order = CompareLevel(wa, wb, &Weights::width)) return order;
    // Only hyphens, apostrophes or letter case differ: the shorter first, then by bytes.
    std::string fa = FoldCase(a), fb = FoldCase(b);
    if (fa.size() != fb.size()) return fa.size() < fb.size() ? -1 : 1;
    return fa.compare(fb) < 0 ? -1 : fa.compare(fb) > 0 ? 1 : 0;
}

} // namespace sim
