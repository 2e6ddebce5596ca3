// Simulated text: the process code page, which the program's manifest sets to UTF-8, and the
// conversions between it and UTF-16. Bytes that are not UTF-8 become U+FFFD, one for each
// maximal part of a sequence that could have begun a character, as Windows and Wine decode them.
// Only the UTF-8 code page is simulated: another one fails loudly rather than guess.
#include "internal.h"
#include "resources.h"

#include <fstream>
#include <sstream>

namespace sim
{

namespace
{

constexpr WCHAR Replacement = 0xFFFD;

// The code page the program's manifest asks for with activeCodePage, or 0 without one.
UINT ManifestCodePage()
{
    const ResourceScript &script = ProgramResources();
    for (const auto &[name, file] : script.manifests) {
        std::string folder = script.path.substr(0, script.path.find_last_of('/') + 1);
        std::ifstream in(folder + file, std::ios::binary);
        if (!in)
            throw SimulationError("the program's manifest " + folder + file + " cannot be read");
        std::stringstream text;
        text << in.rdbuf();
        std::string manifest = text.str();
        size_t at = manifest.find("<activeCodePage");
        if (at == std::string::npos) continue;
        size_t start = manifest.find('>', at);
        size_t end = manifest.find('<', start);
        if (start == std::string::npos || end == std::string::npos) continue;
        if (Upper(manifest.substr(start + 1, end - start - 1)) == "UTF-8") return CP_UTF8;
    }
    return 0;
}

UINT ActiveCodePage()
{
    UINT codePage = ManifestCodePage();
    if (codePage == 0)
        throw SimulationError("the process code page of a program without the UTF-8 manifest "
                              "is not simulated");
    return codePage;
}

// The code units of UTF-8 bytes; see the file's comment for bytes that are not UTF-8.
std::vector<WCHAR> DecodeUtf8(const std::string &bytes)
{
    std::vector<WCHAR> out;
    const size_t size = bytes.size();
    for (size_t i = 0; i < size;) {
        auto byte = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
        unsigned char lead = byte(i);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int extra = lead >= 0xC2 && lead <= 0xDF   ? 1
                    : lead >= 0xE0 && lead <= 0xEF ? 2
                    : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                   : 0;
        if (extra == 0) {
            out.push_back(Replacement);
            ++i;
            continue;
        }
        // The second byte's range narrows for the leads that could make overlong forms,
        // surrogates or code points past U+10FFFF.
        unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        uint32_t point = lead & (0x3F >> extra);
        size_t used = 1;
        bool whole = true;
        for (int k = 0; k < extra; ++k, low = 0x80, high = 0xBF) {
            if (i + used >= size || byte(i + used) < low || byte(i + used) > high) {
                whole = false;
                break;
            }
            point = (point << 6) | (byte(i + used) & 0x3F);
            ++used;
        }
        i += used;
        if (!whole) {
            out.push_back(Replacement);
        } else if (point >= 0x10000) {
            point -= 0x10000;
            out.push_back(static_cast<WCHAR>(0xD800 + (point >> 10)));
            out.push_back(static_cast<WCHAR>(0xDC00 + (point & 0x3FF)));
        } else {
            out.push_back(static_cast<WCHAR>(point));
        }
    }
    return out;
}

} // namespace

std::string Upper(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// UTF-16 back to UTF-8, for text the program hands over in wide characters.
std::string NarrowUtf16(const WCHAR *wide, int length)
{
    std::string out;
    size_t count = length < 0 ? 0 : static_cast<size_t>(length);
    if (length < 0)
        while (wide[count])
            ++count;
    for (size_t i = 0; i < count; ++i) {
        uint32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace sim

using namespace sim;

UINT WINAPI GetACP(void)
{
    return ActiveCodePage();
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide,
                               int wideLength)
{
    if (codePage == CP_ACP) codePage = ActiveCodePage();
    if (codePage != CP_UTF8)
        throw SimulationError("MultiByteToWideChar: code page " + std::to_string(codePage) +
                              " is not simulated");
    if (flags != 0) throw SimulationError("MultiByteToWideChar: its flags are not simulated");
    std::string source =
        length < 0 ? std::string(text) + '\0' : std::string(text, static_cast<size_t>(length));
    std::vector<WCHAR> out = DecodeUtf8(source);
    if (wideLength == 0) return static_cast<int>(out.size());
    if (static_cast<int>(out.size()) > wideLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(out.begin(), out.end(), wide);
    return static_cast<int>(out.size());
}
