// Simulated text: the process code page, which the program's manifest sets to UTF-8, and the
// conversions between it and UTF-16. Bytes that are not UTF-8 become U+FFFD, one for each
// maximal part of a sequence that could have begun a character, as Windows and Wine decode them.
// Only the UTF-8 code page is simulated: another one fails loudly rather than guess.
#include "platform/sim/internal.h"
#include "platform/sim/resources.h"

#include <cstring>
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
std::vector<WCHAR> Utf16Units(const std::string &bytes)
{
    std::vector<WCHAR> out;
    for (size_t i = 0; i < bytes.size();) {
        uint32_t point = DecodeUtf8(bytes, i);
        if (point >= 0x10000) {
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

uint32_t DecodeUtf8(const std::string &text, size_t &i, bool *valid)
{
    auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    unsigned char c = byte(i);
    if (valid) *valid = true;
    if (c < 0x80) {
        ++i;
        return c;
    }
    // The length of the sequence and the range its second byte must lie in.
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    }
    uint32_t point = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
    size_t at = i + 1;
    for (int k = 1; k < length; ++k, ++at) {
        bool fits = at < text.size() && byte(at) >= (k == 1 ? low : 0x80) &&
                    byte(at) <= (k == 1 ? high : 0xBF);
        if (!fits) {
            length = 0;
            break;
        }
        point = (point << 6) | (byte(at) & 0x3F);
    }
    i = at;
    if (length == 0) {
        if (valid) *valid = false;
        return Replacement;
    }
    return point;
}

void EncodeUtf8(uint32_t c, std::string &out)
{
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

namespace
{

// The length of the longest beginning of the text, in whole characters, within room bytes.
size_t WholeCharacters(const std::string &text, size_t room)
{
    size_t fits = 0;
    for (size_t at = 0; at < text.size();) {
        DecodeUtf8(text, at);
        if (at > room) break;
        fits = at;
    }
    return fits;
}

} // namespace

size_t CopyWholeCharacters(const std::string &text, LPSTR buffer, int count)
{
    if (count <= 0) return 0;
    size_t length = WholeCharacters(text, static_cast<size_t>(count) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

bool CopyConverted(const std::string &text, LPSTR buffer, int count)
{
    if (count <= 0) return false;
    const size_t room = static_cast<size_t>(count);
    if (text.size() + 1 <= room) {
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return true;
    }
    std::memcpy(buffer, text.data(), WholeCharacters(text, room));
    buffer[room - 1] = '\0';
    return false;
}

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
        EncodeUtf8(c, out);
    }
    return out;
}

} // namespace sim

using namespace sim;

UINT WINAPI GetACP(void)
{
    PlatformCode platform;
    return ActiveCodePage();
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide,
                               int wideLength)
{
    PlatformCode platform;
    if (codePage == CP_ACP) codePage = ActiveCodePage();
    if (codePage != CP_UTF8)
        throw SimulationError("MultiByteToWideChar: code page " + std::to_string(codePage) +
                              " is not simulated");
    if (flags != 0) throw SimulationError("MultiByteToWideChar: its flags are not simulated");
    std::string source =
        length < 0 ? std::string(text) + '\0' : std::string(text, static_cast<size_t>(length));
    std::vector<WCHAR> out = Utf16Units(source);
    if (wideLength == 0) return static_cast<int>(out.size());
    if (static_cast<int>(out.size()) > wideLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(out.begin(), out.end(), wide);
    return static_cast<int>(out.size());
}
