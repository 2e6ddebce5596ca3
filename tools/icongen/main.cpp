// zelmo-icongen --ico-dir DIR --sim-table FILE.cpp [--contact-sheet FILE.png]
//               [--argb-prefix PREFIX] GRID.txt...
// Validates the text grids and writes DIR/<NAME>.ico for each (4 bits a pixel, or 32 bits with
// an alpha channel for the icons whose names begin with PREFIX), the simulated desktop's pixel
// tables and, when asked, a contact sheet. Icons are handled in name order, so the outputs are
// the same whatever order the grids are given in.
#include "formats/png_writer.h"
#include "tools/icongen/contact_sheet.h"
#include "tools/icongen/icon_grid.h"
#include "tools/icongen/icon_outputs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

constexpr const char *kUsage =
    "usage: zelmo-icongen [--ico-dir DIR] [--sim-table FILE.cpp] [--contact-sheet FILE.png] "
    "[--argb-prefix PREFIX] GRID.txt...\n"
    "At least one output and one grid are needed.\n";

bool WriteFile(const std::string &path, const void *data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char *>(data), std::streamsize(size));
    out.close();
    if (!out) {
        std::fprintf(stderr, "zelmo-icongen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    std::string icoDir, simTable, contactSheet, argbPrefix;
    std::vector<std::string> grids;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string *option = arg == "--ico-dir"         ? &icoDir
                              : arg == "--sim-table"     ? &simTable
                              : arg == "--contact-sheet" ? &contactSheet
                              : arg == "--argb-prefix"   ? &argbPrefix
                                                         : nullptr;
        if (option) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "zelmo-icongen: %s needs a value\n%s", arg.c_str(), kUsage);
                return 2;
            }
            *option = argv[++i];
        } else if (arg.starts_with("--")) {
            std::fprintf(stderr, "zelmo-icongen: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            grids.push_back(arg);
        }
    }
    if (grids.empty() || (icoDir.empty() && simTable.empty() && contactSheet.empty())) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    std::vector<icongen::Icon> icons(grids.size());
    bool ok = true;
    for (size_t i = 0; i < grids.size(); ++i) {
        std::string error;
        if (!icongen::LoadGrid(grids[i], icons[i], error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            ok = false;
        }
    }
    if (!ok) return 1;
    std::sort(icons.begin(), icons.end(),
              [](const icongen::Icon &a, const icongen::Icon &b) { return a.name < b.name; });
    for (size_t i = 1; i < icons.size(); ++i) {
        if (icons[i].name == icons[i - 1].name) {
            std::fprintf(stderr, "zelmo-icongen: icon %s is given twice\n", icons[i].name.c_str());
            return 1;
        }
    }

    if (!icoDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(icoDir, ec);
        for (const icongen::Icon &icon : icons) {
            bool argb = !argbPrefix.empty() && icon.name.starts_with(argbPrefix);
            std::vector<uint8_t> ico = icongen::EncodeIco(icon, argb ? icongen::IcoDepth::Argb32
                                                                     : icongen::IcoDepth::Palette4);
            if (!WriteFile(icoDir + "/" + icon.name + ".ico", ico.data(), ico.size())) return 1;
        }
    }
    if (!simTable.empty()) {
        std::string source = icongen::SimTableSource(icons);
        if (!WriteFile(simTable, source.data(), source.size())) return 1;
    }
    if (!contactSheet.empty()) {
        icongen::Image sheet = icongen::RenderContactSheet(icons);
        if (!png::WriteRgb(contactSheet, sheet.width, sheet.height, sheet.pixels)) {
            std::fprintf(stderr, "zelmo-icongen: cannot write %s\n", contactSheet.c_str());
            return 1;
        }
    }
    return 0;
}
