// The generated icons read back with a reader of their own: every icon the resource script names
// exists at its size as a valid .ico of the 16 colours (the jellyfish's with 32 bits a pixel and
// an alpha channel), agrees with the simulated desktop's table, and keeps the transparency its
// picture needs; the generator refuses malformed grids.
#include "platform/sim/icon_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

const uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                               0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                               0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

uint32_t Le(const std::string &b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | uint8_t(b[at + size_t(i)]);
    return v;
}

struct Ico {
    int width = 0, height = 0;
    std::vector<uint32_t> argb; // 0 for transparent, 0xFF000000 | rgb for opaque
    int Transparent() const { return int(std::count(argb.begin(), argb.end(), 0u)); }
};

// The jellyfish's pictures, fifteen of them drawn every 300 ms, keep an alpha channel: Wine draws
// those without a round trip to its server, a 16-colour icon with three at every draw.
bool IsArgb(const std::string &name)
{
    return name.starts_with("J");
}

// Checks every header field of a single-image .ico, 4 bits a pixel or for the jellyfish's 32
// with alpha, and decodes it; every colour is one of the 16.
Ico ReadIco(const std::string &name, bool argb, const fs::path &dir)
{
    const std::string b = ReadFile(dir / (name + ".ico"));
    const uint32_t bits = argb ? 32 : 4;
    const size_t palette = argb ? 0 : 64;
    Ico ico;
    EXPECT_GE(b.size(), 22u + 40 + palette) << name;
    if (b.size() < 22 + 40 + palette) return ico;
    const int w = int(uint8_t(b[6])), h = int(uint8_t(b[7]));
    const size_t xorRow = size_t(w) * bits / 8, andRow = size_t(w + 31) / 32 * 4;
    const size_t xorAt = 22 + 40 + palette, andAt = xorAt + xorRow * size_t(h);
    EXPECT_EQ(Le(b, 0, 2), 0u) << name;
    EXPECT_EQ(Le(b, 2, 2), 1u) << name << ": not an icon";
    EXPECT_EQ(Le(b, 4, 2), 1u) << name << ": image count";
    EXPECT_EQ(uint8_t(b[8]), argb ? 0 : 16) << name << ": colour count";
    EXPECT_EQ(Le(b, 10, 2), 1u) << name << ": planes";
    EXPECT_EQ(Le(b, 12, 2), bits) << name << ": bits per pixel";
    EXPECT_EQ(Le(b, 14, 4), b.size() - 22) << name << ": bytes in resource";
    EXPECT_EQ(Le(b, 18, 4), 22u) << name << ": image offset";
    EXPECT_EQ(Le(b, 22, 4), 40u) << name << ": BITMAPINFOHEADER size";
    EXPECT_EQ(Le(b, 26, 4), uint32_t(w)) << name;
    EXPECT_EQ(Le(b, 30, 4), uint32_t(2 * h)) << name << ": height must count the mask";
    EXPECT_EQ(Le(b, 34, 2), 1u) << name;
    EXPECT_EQ(Le(b, 36, 2), bits) << name;
    EXPECT_EQ(Le(b, 38, 4), 0u) << name << ": compression";
    EXPECT_EQ(b.size(), andAt + andRow * size_t(h)) << name << ": file size";
    for (size_t i = 0; i < palette / 4; ++i)
        EXPECT_EQ(Le(b, 62 + i * 4, 4), kPalette[i]) << name << ": palette entry " << i;
    if (b.size() != andAt + andRow * size_t(h)) return ico;
    ico.width = w;
    ico.height = h;
    for (int y = 0; y < h; ++y) {
        const size_t row = size_t(h - 1 - y); // both bitmaps are stored bottom-up
        for (int x = 0; x < w; ++x) {
            const bool clear = uint8_t(b[andAt + row * andRow + size_t(x) / 8]) & (0x80 >> (x % 8));
            uint32_t pixel = 0;
            if (argb) {
                // Blue, green, red, alpha: opaque or wholly clear, and clear where the mask is.
                const uint32_t bgra = Le(b, xorAt + row * xorRow + size_t(x) * 4, 4);
                EXPECT_EQ(bgra >> 24, clear ? 0u : 0xFFu) << name << ": alpha at " << x << "," << y;
                EXPECT_TRUE(clear ? bgra == 0
                                  : std::count(kPalette, kPalette + 16, bgra & 0xFFFFFF))
                    << name << ": colour " << std::hex << bgra << " at " << x << "," << y;
                pixel = bgra;
            } else {
                const uint8_t pair = uint8_t(b[xorAt + row * xorRow + size_t(x) / 2]);
                const int index = x % 2 ? pair & 0x0F : pair >> 4;
                EXPECT_TRUE(!clear || index == 0)
                    << name << ": transparent pixel not black at " << x << "," << y;
                pixel = 0xFF000000u | kPalette[index];
            }
            ico.argb.push_back(clear ? 0u : pixel);
        }
    }
    return ico;
}

Ico ReadIco(const std::string &name)
{
    return ReadIco(name, IsArgb(name), ZELMO_TEST_ICON_DIR);
}

// Names of the ICON statements in the resource script's ICONS block, in order.
std::vector<std::string> RcIcons()
{
    std::string rc = ReadFile(ZELMO_TEST_RC_FILE);
    size_t begin = rc.find("// ICONS BEGIN"), end = rc.find("// ICONS END");
    EXPECT_TRUE(begin != std::string::npos && end != std::string::npos && begin < end);
    std::istringstream block(rc.substr(begin, end - begin));
    std::vector<std::string> names;
    const std::regex statement(R"(^(\w+) ICON "(\w+)\.ico"\s*$)");
    std::string line;
    std::smatch m;
    while (std::getline(block, line)) {
        if (line.starts_with("//")) continue;
        EXPECT_TRUE(std::regex_match(line, m, statement)) << "not an ICON statement: " << line;
        if (!m.empty() && m[1] == m[2]) names.push_back(m[1]);
    }
    return names;
}

bool IsTray(const std::string &n)
{
    return n == "ZELMO_ICON1" || n == "ZELMO_ICON2" || n == "MOON_ICON1" || n == "MOON_ICON2";
}

bool MustBeOpaque(const std::string &n)
{
    return IsTray(n) || n == "ZELMO_ICON" || n.starts_with("JELLY") || n == "JCHANGE_ICON" ||
           n == "JEND_ICON" || n == "JDUMMY_ICON";
}

const sim::IconPixels *Table(const std::string &name)
{
    for (int i = 0; i < sim::kIconPixelsCount; ++i)
        if (name == sim::kIconPixels[i].name) return &sim::kIconPixels[i];
    return nullptr;
}

TEST(IconResources, EveryRcIconIsGeneratedAtItsSize)
{
    std::vector<std::string> names = RcIcons();
    std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size()) << "an icon is named twice";
    // The pictures the program loads by name.
    std::vector<std::string> required = {
        "ZELMO_ICON",  "ZELMO_ICON1", "ZELMO_ICON2", "MOON_ICON1",   "MOON_ICON2", "STAR1_ICON",
        "STAR2_ICON",  "PASO1_ICON",  "PASO2_ICON",  "TREE1_ICON",   "TREE2_ICON", "MONS1_ICON",
        "MONS2_ICON",  "SNOW1_ICON",  "SNOW2_ICON",  "JCHANGE_ICON", "JEND_ICON",  "JDUMMY_ICON",
        "JBACK1_ICON", "JBACK2_ICON", "JSTAR_ICON"};
    for (int i = 0; i < 10; ++i)
        for (std::string prefix : {"JELLY0", "JELLY2", "JHIDE"})
            required.push_back(prefix + std::to_string(i) + "_ICON");
    for (const std::string &name : required)
        EXPECT_TRUE(unique.count(name)) << name << " is missing from the resource script";
    EXPECT_EQ(names.size(), required.size());
    for (const std::string &name : names) {
        Ico ico = ReadIco(name);
        const int side = IsTray(name) ? 16 : 32;
        EXPECT_EQ(ico.width, side) << name;
        EXPECT_EQ(ico.height, side) << name;
    }
}

TEST(IconResources, IcoAndSimTableAgreePixelForPixel)
{
    std::vector<std::string> names = RcIcons();
    ASSERT_EQ(sim::kIconPixelsCount, int(names.size()));
    for (const std::string &name : names) {
        const sim::IconPixels *table = Table(name);
        ASSERT_NE(table, nullptr) << name << " is not in the simulated desktop's table";
        Ico ico = ReadIco(name);
        ASSERT_EQ(table->width, ico.width) << name;
        ASSERT_EQ(table->height, ico.height) << name;
        std::vector<uint32_t> pixels(table->argb, table->argb + table->width * table->height);
        EXPECT_EQ(pixels, ico.argb) << name;
    }
}

TEST(IconPictures, TransparencySuitsWhereEachIsDrawn)
{
    for (const std::string &name : RcIcons()) {
        Ico ico = ReadIco(name);
        const int area = ico.width * ico.height;
        if (MustBeOpaque(name)) {
            EXPECT_EQ(ico.Transparent(), 0) << name << " must be opaque";
        }
        if (name == "JBACK1_ICON" || name == "JBACK2_ICON" || name == "JSTAR_ICON") {
            EXPECT_GT(ico.Transparent(), area / 2) << name << " must be mostly transparent";
            EXPECT_LT(ico.Transparent(), area) << name << " is empty";
        }
        if (name.starts_with("JHIDE")) {
            EXPECT_EQ(ico.argb[0] | ico.argb[31] | ico.argb[area - 32] | ico.argb[area - 1], 0u)
                << name << " must stand on a transparent ground";
        }
    }
    Ico dummy = ReadIco("JDUMMY_ICON");
    EXPECT_EQ(std::count(dummy.argb.begin(), dummy.argb.end(), 0xFF000000u), 32 * 32);
}

TEST(IconPictures, VariantsDifferWhereTheyShould)
{
    // The crossed-out tray icons are their plain picture with only red pixels added.
    for (auto [plain, crossed] :
         {std::pair{"ZELMO_ICON1", "ZELMO_ICON2"}, std::pair{"MOON_ICON1", "MOON_ICON2"}}) {
        Ico a = ReadIco(plain), b = ReadIco(crossed);
        ASSERT_EQ(a.argb.size(), b.argb.size());
        int changed = 0;
        for (size_t i = 0; i < a.argb.size(); ++i)
            if (a.argb[i] != b.argb[i]) {
                ++changed;
                EXPECT_EQ(b.argb[i], 0xFFFF0000u) << crossed << " pixel " << i;
            }
        EXPECT_GT(changed, 30) << crossed << " is hardly crossed out";
    }
    // No two resources share a picture (a copied grid left unedited).
    std::map<std::vector<uint32_t>, std::string> seen;
    for (const std::string &name : RcIcons()) {
        auto [it, added] = seen.emplace(ReadIco(name).argb, name);
        EXPECT_TRUE(added) << name << " is the same picture as " << it->second;
    }
}

// Runs the generator on the given arguments; returns its exit status and its stderr.
int RunGenerator(const std::vector<std::string> &args, std::string &errors)
{
    fs::path log = fs::path(testing::TempDir()) / "icongen_stderr.txt";
    std::string command = "\"" ZELMO_TEST_ICONGEN "\"";
    for (const std::string &arg : args)
        command += " \"" + arg + "\"";
    int status = std::system((command + " 2>\"" + log.string() + "\"").c_str());
    errors = ReadFile(log);
    return status;
}

fs::path WriteGrid(const std::string &name, const std::string &text)
{
    fs::path dir = fs::path(testing::TempDir()) / "icongen_grids";
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
}

std::string Rows(int n, const std::string &row)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += row + "\n";
    return s;
}

TEST(IconGenerator, RejectsMalformedGridsNamingFileAndLine)
{
    const std::string row16(16, 'k');
    struct Case {
        const char *file, *why;
        std::string text, where;
    } cases[] = {
        {"BADCHAR.txt", "unknown character",
         "# c\n" + Rows(3, row16) + "kkkkZkkkkkkkkkkk\n" + Rows(12, row16), ":5:"},
        {"RAGGED.txt", "short row", Rows(7, row16) + "kkk\n" + Rows(8, row16), ":8:"},
        {"ODDSIZE.txt", "20x20", Rows(20, std::string(20, 'k')), ":0:"},
        {"TALL.txt", "16x32", Rows(32, row16), ":0:"},
        {"EMPTY.txt", "no rows", "# nothing\n", ":0:"},
        {"lower_case.txt", "not a resource name", Rows(16, row16), ":0:"},
    };
    for (const Case &c : cases) {
        fs::path grid = WriteGrid(c.file, c.text);
        std::string errors;
        fs::path out = fs::path(testing::TempDir()) / "bad.cpp";
        EXPECT_NE(RunGenerator({"--sim-table", out, grid}, errors), 0) << c.why;
        EXPECT_NE(errors.find(grid.string() + c.where), std::string::npos)
            << c.why << ": " << errors;
    }
}

TEST(IconGenerator, AcceptsCommentsAndCrlfAndIsRepeatable)
{
    // A hand-made grid with a distinct corner each way round checks row and nibble order.
    std::string text = "# corners\r\nRkkkkkkkkkkkkkk.\r\n" + Rows(14, std::string(16, 'k')) +
                       "Bkkkkkkkkkkkkkkw\r\n";
    fs::path grid = WriteGrid("CORNERS.txt", text);
    fs::path dir = fs::path(testing::TempDir()) / "icongen_out";
    std::string errors;
    ASSERT_EQ(RunGenerator({"--ico-dir", dir, grid}, errors), 0) << errors;
    std::string b = ReadFile(dir / "CORNERS.ico");
    ASSERT_EQ(b.size(), 22u + 40 + 64 + 16 * 8 + 16 * 4);
    const size_t xorAt = 126, andAt = xorAt + 128;
    EXPECT_EQ(uint8_t(b[xorAt]), 0xC0);          // bottom row first: blue, black
    EXPECT_EQ(uint8_t(b[xorAt + 7]), 0x0F);      // ... black, white
    EXPECT_EQ(uint8_t(b[xorAt + 15 * 8]), 0x90); // top row: red, black
    EXPECT_EQ(uint8_t(b[andAt + 15 * 4 + 1]), 0x01);
    EXPECT_EQ(uint8_t(b[andAt]) | uint8_t(b[andAt + 1]), 0);

    // The same grid with 32 bits a pixel: the same picture, the corners where they were.
    fs::path argbDir = fs::path(testing::TempDir()) / "icongen_argb";
    ASSERT_EQ(RunGenerator({"--ico-dir", argbDir, "--argb-prefix", "C", grid}, errors), 0)
        << errors;
    Ico wide = ReadIco("CORNERS", true, argbDir);
    ASSERT_EQ(wide.argb.size(), 256u);
    EXPECT_EQ(wide.argb[0], 0xFFFF0000u);
    EXPECT_EQ(wide.argb[15], 0u);
    EXPECT_EQ(wide.argb[240], 0xFF0000FFu);
    EXPECT_EQ(wide.argb[255], 0xFFFFFFFFu);

    // The repository's grids give the very bytes the build made.
    fs::path again = fs::path(testing::TempDir()) / "icongen_again";
    fs::path table = again / "sim_icons.cpp";
    std::vector<std::string> args = {"--ico-dir", again,           "--sim-table",
                                     table,       "--argb-prefix", "J"};
    for (const auto &entry : fs::directory_iterator(ZELMO_TEST_GRID_DIR))
        if (entry.path().extension() == ".txt") args.push_back(entry.path());
    ASSERT_EQ(RunGenerator(args, errors), 0) << errors;
    EXPECT_EQ(ReadFile(table), ReadFile(ZELMO_TEST_SIM_TABLE));
    for (const std::string &name : RcIcons())
        EXPECT_EQ(ReadFile(again / (name + ".ico")),
                  ReadFile(fs::path(ZELMO_TEST_ICON_DIR) / (name + ".ico")))
            << name;
}

} // namespace
