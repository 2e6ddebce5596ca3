// The help page as a user meets it: Zelmo.html opened from the built program folder in a real
// browser (headless Chromium) at a narrow window and at 1280 pixels. The Japanese text comes out
// as written because the page declares its encoding, every link finds its target, nothing the
// page refers to is missing, the page fits the window's width, and it names the menu items and
// dialogs as the program shows them. A picture of each whole page is kept in ZELMO_SCREENSHOTS.
#include "platform/sim/resources.h"
#include "resources/resource.h"
#include "tests/release/devtools.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{

const std::filesystem::path Folder = ZELMO_PROGRAM_FOLDER;
const std::filesystem::path Page = Folder / "Zelmo.html";
const std::filesystem::path Screenshots = ZELMO_SCREENSHOTS;

std::string ReadFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// One browser for every test, started when the first test needs it.
devtools::Browser &TheBrowser()
{
    static devtools::Browser browser(Screenshots / "chromium.log");
    return browser;
}

class HelpPage : public ::testing::TestWithParam<int>
{
  protected:
    static void SetUpTestSuite() { std::filesystem::create_directories(Screenshots); }

    void SetUp() override
    {
        if (!std::filesystem::exists(Page))
            GTEST_SKIP() << "no help page in the program folder " << Folder
                         << "; scripts/test.sh builds the program folder first";
        TheBrowser().Open("file://" + Page.string(), GetParam(), 800);
    }

    std::string Evaluate(const std::string &script) { return TheBrowser().Evaluate(script); }
};

TEST_P(HelpPage, ShowsItsJapaneseTextAsWritten)
{
    // A browser looks for the declaration in the first 1024 bytes only.
    std::string head = ReadFile(Page).substr(0, 1024);
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_NE(std::string::npos, head.find(R"(<meta charset="utf-8">)"));

    EXPECT_EQ("UTF-8", Evaluate("document.characterSet"));
    EXPECT_EQ("ZelmoSound ヘルプ", Evaluate("document.title"));
    EXPECT_EQ("1. ZelmoSound とは", Evaluate("document.querySelector('#about h2').textContent"));
    EXPECT_EQ("false", Evaluate("String(document.body.innerText.includes('\\uFFFD'))"));
}

TEST_P(HelpPage, EveryLinkAndEveryFileItRefersToIsThere)
{
    // Each reference as "kind<TAB>what": a link into the page whose target is missing, a file
    // (its path), or an address outside the program folder.
    std::string references = Evaluate(R"(
        [...document.querySelectorAll('[href], [src]')].map(element => {
            const raw = element.getAttribute(element.hasAttribute('src') ? 'src' : 'href');
            const url = new URL(raw, document.baseURI);
            if (url.protocol === 'file:' && url.pathname === location.pathname) {
                const id = decodeURIComponent(url.hash.slice(1));
                return id && !document.getElementById(id) ? 'no-target\t' + raw : '';
            }
            if (url.protocol === 'file:') return 'file\t' + decodeURIComponent(url.pathname);
            return 'elsewhere\t' + raw;
        }).concat([...document.images].filter(image => image.naturalWidth === 0)
                                       .map(image => 'broken-image\t' + image.src))
          .join('\n'))");
    int links = std::stoi(Evaluate("String(document.querySelectorAll('a[href^=\"#\"]').length)"));
    EXPECT_GE(links, 12) << "the table of contents links every section";
    // The files the page's table of the folder names as coming with the program (the settings
    // and jelly files, which the program writes, aside).
    std::string shipped = Evaluate(R"(
        [...document.querySelectorAll('#files table td:first-child .file')]
            .map(name => name.textContent)
            .filter(name => /^[^.]+\.(wav|exe|html)$/.test(name))
            .map(name => 'shipped\t' + name).join('\n'))");
    EXPECT_GE(Lines(shipped).size(), 15u);
    references += "\n" + shipped;
    for (const std::string &line : Lines(references)) {
        std::string kind = line.substr(0, line.find('\t')), what = line.substr(kind.size() + 1);
        if (kind == "file")
            EXPECT_TRUE(std::filesystem::exists(what)) << "the page refers to " << what;
        else if (kind == "shipped")
            EXPECT_TRUE(std::filesystem::exists(Folder / what)) << "the page lists " << what;
        else
            ADD_FAILURE() << kind << ": " << what;
    }
}

TEST_P(HelpPage, FitsTheWindowWidthAndIsKeptAsAPicture)
{
    // The elements that reach past the window's right edge, widest first.
    std::string overflowing = Evaluate(R"(
        [...document.body.querySelectorAll('*')]
            .filter(element => element.getBoundingClientRect().right > innerWidth + 0.5)
            .map(element => element.tagName + '.' + element.className + ' "' +
                            element.textContent.trim().slice(0, 30) + '" ' +
                            Math.round(element.getBoundingClientRect().right))
            .join('\n'))");
    EXPECT_EQ("", overflowing) << "the page is wider than the window of " << GetParam()
                               << " pixels";

    // The pictures, numbered from the top, replace those of an earlier run.
    std::string name = "Zelmo-" + std::to_string(GetParam());
    for (const auto &entry : std::filesystem::directory_iterator(Screenshots))
        if (entry.path().filename().string().starts_with(name + "-"))
            std::filesystem::remove(entry.path());
    std::vector<std::string> pictures = TheBrowser().PicturesOfWholePage(1500);
    int height = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::string &picture = pictures[i];
        ASSERT_GT(picture.size(), 24u);
        ASSERT_EQ("\x89PNG", picture.substr(0, 4));
        // The header chunk holds the width and the height as big-endian words.
        auto word = [&](size_t at) {
            return static_cast<unsigned char>(picture[at]) << 24 |
                   static_cast<unsigned char>(picture[at + 1]) << 16 |
                   static_cast<unsigned char>(picture[at + 2]) << 8 |
                   static_cast<unsigned char>(picture[at + 3]);
        };
        EXPECT_EQ(GetParam(), word(16));
        height += word(20);
        char number[32];
        std::snprintf(number, sizeof number, "-%02zu.png", i + 1);
        std::ofstream(Screenshots / (name + number), std::ios::binary) << picture;
    }
    EXPECT_EQ(std::stoi(Evaluate("String(document.documentElement.scrollHeight)")), height);
}

// The page names the tray menu's items (the pause item in both its forms) and every dialog as
// the program shows them, so a reader finds on screen what the page says.
TEST_P(HelpPage, NamesTheMenuItemsAndDialogsAsTheProgramShowsThem)
{
    std::string text = Evaluate("document.body.innerText");
    zelmo_test::Program program({2026, 12, 8, 12, 0, 0});
    program.Start();
    std::vector<std::string> names;
    for (bool paused : {false, true}) {
        if (paused) program.ChooseFromTray(IDM_PAUSE);
        program.desktop().RightClickTray();
        auto menu = program.desktop().OpenMenu();
        ASSERT_TRUE(menu);
        for (const sim::MenuItem &item : menu->items)
            if (!item.separator) names.push_back(item.text);
        program.desktop().DismissMenu();
    }
    for (const auto &[name, dialog] : sim::ProgramResources().dialogs)
        names.push_back(dialog.caption);
    names.push_back("Version 1.00"); // the About box's
    for (const std::string &name : names)
        EXPECT_NE(std::string::npos, text.find(name)) << "the page does not name " << name;
}

INSTANTIATE_TEST_SUITE_P(Widths, HelpPage, ::testing::Values(400, 1280),
                         [](const auto &info) { return std::to_string(info.param) + "px"; });

} // namespace
