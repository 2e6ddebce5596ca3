// Reading the icon text grids and checking them: size, palette characters, one grid a file.
#include "tools/icongen/icon_grid.h"

#include <fstream>
#include <sstream>

namespace icongen
{
namespace
{

std::string Where(std::string_view file, int line)
{
    return std::string(file) + ":" + std::to_string(line) + ": ";
}

bool IsResourceName(std::string_view name)
{
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return false;
    }
    return true;
}

std::string Describe(char c)
{
    if (c >= 0x21 && c <= 0x7E) return std::string("'") + c + "'";
    std::ostringstream out;
    out << "byte 0x" << std::hex << int(static_cast<unsigned char>(c));
    return out.str();
}

} // namespace

int PixelValue(char code)
{
    if (code == kTransparentCode) return kTransparent;
    for (size_t i = 0; i < kPalette.size(); ++i)
        if (kPalette[i].code == code) return int(i);
    return -1;
}

bool ParseGrid(std::string_view text, std::string_view file, Icon &icon, std::string &error)
{
    icon.width = 0;
    icon.height = 0;
    icon.pixels.clear();
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Blank lines and '#' comments carry no pixels.
        if (line.empty() || line[0] == '#') continue;
        if (icon.height == 0) {
            icon.width = int(line.size());
        } else if (int(line.size()) != icon.width) {
            error = Where(file, lineNumber) + "row has " + std::to_string(line.size()) +
                    " pixels, the first row has " + std::to_string(icon.width);
            return false;
        }
        for (size_t x = 0; x < line.size(); ++x) {
            int value = PixelValue(line[x]);
            if (value < 0) {
                error = Where(file, lineNumber) + "column " + std::to_string(x + 1) +
                        ": unknown pixel character " + Describe(line[x]);
                return false;
            }
            icon.pixels.push_back(uint8_t(value));
        }
        ++icon.height;
        if (icon.height > 32) {
            error = Where(file, lineNumber) + "more than 32 rows";
            return false;
        }
    }
    if (icon.height == 0) {
        error = Where(file, 0) + "no pixel rows";
        return false;
    }
    bool validSize = icon.width == icon.height && (icon.width == 16 || icon.width == 32);
    if (!validSize) {
        error = Where(file, 0) + "grid is " + std::to_string(icon.width) + "x" +
                std::to_string(icon.height) + ", it must be 16x16 or 32x32";
        return false;
    }
    return true;
}

bool LoadGrid(const std::string &path, Icon &icon, std::string &error)
{
    std::string base = path.substr(path.find_last_of("/\\") + 1);
    constexpr std::string_view kSuffix = ".txt";
    if (base.size() <= kSuffix.size() || !base.ends_with(kSuffix)) {
        error = Where(path, 0) + "a grid file's name must be <RESOURCE_NAME>.txt";
        return false;
    }
    icon.name = base.substr(0, base.size() - kSuffix.size());
    if (!IsResourceName(icon.name)) {
        error = Where(path, 0) + "'" + icon.name +
                "' is not a resource name (capitals, digits and '_', not starting with a digit)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = Where(path, 0) + "cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseGrid(text.str(), path, icon, error);
}

} // namespace icongen
