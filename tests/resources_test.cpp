// The program's resources as the simulated desktop reads them from the resource script, and as
// the Windows build compiles them into ZelmoSound.exe: every dialog template control by control
// against its table, the string, the menu, the icons and the version information; and the built
// program's resource directory, manifest, version information, imported libraries and size.
#include "platform/sim/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

// ---- The expected templates, one row per control in tab order.

// Window class and style bits of each kind of control. WS_GROUP is left out: radio groups are
// checked on their own, and static texts keep the group bit the resource compiler gives them.
struct Kind {
    const char *className;
    DWORD style;
};

constexpr Kind Text{"STATIC", SS_LEFT};
constexpr Kind Icon{"STATIC", SS_ICON};
constexpr Kind GroupBox{"BUTTON", BS_GROUPBOX};
constexpr Kind Check{"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
constexpr Kind List{"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
constexpr Kind Push{"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
constexpr Kind Default{"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP};
constexpr Kind TabRadio{"BUTTON", BS_AUTORADIOBUTTON | BS_NOTIFY | WS_TABSTOP};
constexpr Kind Radio{"BUTTON", BS_AUTORADIOBUTTON | BS_NOTIFY};
constexpr Kind Edit{"EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP};
constexpr Kind ReadOnly{"EDIT", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER};
constexpr Kind ListBox{"LISTBOX", LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP};

struct Row {
    int id; // -1 for static texts and group boxes
    Kind kind;
    const char *text;
    int x, y, cx, cy;
};

constexpr Row Template3[] = {
    {-1, Text, "再生する音と何秒ごとに再生するかを設定します。", 6, 8, 164, 10},
    {301, Check, "虫の音を  ", 6, 24, 48, 10},
    {361, List, "", 56, 22, 110, 110},
    {302, Check, "鳥の音を  ", 6, 42, 48, 10},
    {362, List, "", 56, 40, 110, 110},
    {303, Check, "水の音を  ", 6, 60, 48, 10},
    {363, List, "", 56, 58, 110, 110},
    {304, Check, "波の音を  ", 6, 78, 48, 10},
    {364, List, "", 56, 76, 110, 110},
    {305, Check, "風鈴の音を", 6, 96, 48, 10},
    {365, List, "", 56, 94, 110, 110},
    {306, Check, "ある楽器を", 6, 114, 48, 10},
    {366, List, "", 56, 112, 110, 110},
    {307, Check, "水滴の音を", 6, 132, 48, 10},
    {367, List, "", 56, 130, 110, 110},
    {452, Default, "ＯＫ", 6, 172, 50, 14},
    {453, Push, "キャンセル", 66, 172, 50, 14},
};

constexpr Row Template4[] = {
    {-1, Text, "再生する音と何秒ごとに再生するかを設定します。", 6, 8, 164, 10},
    {311, Check, "鐘の音を  ", 6, 24, 48, 10},
    {371, List, "", 56, 22, 110, 110},
    {312, Check, "汽車の音を", 6, 42, 48, 10},
    {372, List, "", 56, 40, 110, 110},
    {313, Check, "セミの音を", 6, 60, 48, 10},
    {373, List, "", 56, 58, 110, 110},
    {314, Check, "恐い音を  ", 6, 78, 48, 10},
    {374, List, "", 56, 76, 110, 110},
    {318, Check, "ユーザ１を", 6, 98, 48, 10},
    {378, List, "", 56, 96, 110, 110},
    {319, Check, "ユーザ２を", 6, 116, 48, 10},
    {379, List, "", 56, 114, 110, 110},
    {320, Check, "ユーザ３を", 6, 134, 48, 10},
    {380, List, "", 56, 132, 110, 110},
    {321, Check, ">>時報を<<", 6, 154, 48, 10},
    {381, List, "", 56, 152, 110, 110},
    {-1, Text, "ウィンドウズが起動した時に自動的に動くように..", 6, 172, 164, 10},
    {451, Push, "スタートアップに登録します。", 26, 184, 112, 14},
    {452, Default, "ＯＫ", 6, 206, 50, 14},
    {453, Push, "キャンセル", 66, 206, 50, 14},
};

constexpr Row Template6[] = {
    {-1, Text, "他の音ファイル ( WAVEファイル ) をコピーして登録します。", 6, 8, 190, 12},
    {-1, GroupBox, "どのファイルを？", 4, 22, 92, 90},
    {631, Edit, "", 8, 36, 84, 12},
    {458, Push, "参照...", 26, 56, 50, 14},
    {-1, Text, "対象となるファイルは", 8, 80, 80, 12},
    {-1, Text, "＊.WAV ファイルのみです", 8, 92, 86, 12},
    {-1, GroupBox, "どのグループに？", 100, 22, 64, 184},
    {601, TabRadio, "虫の音　", 110, 34, 40, 12},
    {602, Radio, "鳥の音　", 110, 46, 40, 12},
    {603, Radio, "水の音　", 110, 58, 40, 12},
    {604, Radio, "波の音　", 110, 70, 40, 12},
    {605, Radio, "風鈴の音", 110, 82, 40, 12},
    {606, Radio, "ある楽器", 110, 94, 40, 12},
    {607, Radio, "水滴の音", 110, 106, 40, 12},
    {611, Radio, "鐘の音　", 110, 118, 40, 12},
    {612, Radio, "汽車の音", 110, 130, 40, 12},
    {613, Radio, "セミの音", 110, 142, 40, 12},
    {614, Radio, "恐い音　", 110, 154, 40, 12},
    {618, Radio, "ユーザ１", 110, 166, 40, 12},
    {619, Radio, "ユーザ２", 110, 178, 40, 12},
    {620, Radio, "ユーザ３", 110, 190, 40, 12},
    {-1, GroupBox, "どうします？", 168, 22, 62, 128},
    {456, Default, "登録する", 174, 36, 50, 14},
    {-1, Text, "登録する前に", 174, 70, 48, 12},
    {459, Push, "聞いてみる", 174, 84, 50, 14},
    {454, Push, "終了する", 174, 124, 50, 14},
};

constexpr Row Template7[] = {
    {-1, Text, "登録された音ファイル ( WAVEファイル ) を削除します。", 6, 8, 176, 12},
    {-1, GroupBox, "どのグループの？", 4, 22, 64, 184},
    {601, TabRadio, "虫の音　", 14, 34, 40, 12},
    {602, Radio, "鳥の音　", 14, 46, 40, 12},
    {603, Radio, "水の音　", 14, 58, 40, 12},
    {604, Radio, "波の音　", 14, 70, 40, 12},
    {605, Radio, "風鈴の音", 14, 82, 40, 12},
    {606, Radio, "ある楽器", 14, 94, 40, 12},
    {607, Radio, "水滴の音", 14, 106, 40, 12},
    {611, Radio, "鐘の音　", 14, 118, 40, 12},
    {612, Radio, "汽車の音", 14, 130, 40, 12},
    {613, Radio, "セミの音", 14, 142, 40, 12},
    {614, Radio, "恐い音　", 14, 154, 40, 12},
    {618, Radio, "ユーザ１", 14, 166, 40, 12},
    {619, Radio, "ユーザ２", 14, 178, 40, 12},
    {620, Radio, "ユーザ３", 14, 190, 40, 12},
    {-1, GroupBox, "どのファイルを？", 72, 22, 92, 184},
    {632, ReadOnly, "", 76, 36, 84, 12},
    {-1, Text, "選択したファイル", 76, 52, 84, 10},
    {633, ReadOnly, "", 76, 60, 84, 12},
    {634, ListBox, "", 76, 74, 84, 132},
    {-1, GroupBox, "どうします？", 168, 22, 62, 128},
    {457, Default, "削除する", 174, 36, 50, 14},
    {-1, Text, "削除する前に", 174, 70, 48, 12},
    {459, Push, "聞いてみる", 174, 84, 50, 14},
    {454, Push, "終了する", 174, 124, 50, 14},
};

// The About box fixes only the order and contents; its layout is checked as relations below.
constexpr Row Template702[] = {
    {703, Icon, "ZELMO_ICON", 0, 0, 0, 0},
    {-1, Text, "ZelmoSound", 0, 0, 0, 0},
    {-1, Text, "Version 1.00", 0, 0, 0, 0},
    {452, Default, "OK", 0, 0, 0, 0},
};

struct Template {
    const char *name;
    const char *caption;
    const char *font;
    int cx, cy;
    std::span<const Row> rows;
    bool layoutGiven;
};

const Template Templates[] = {
    {"3", "ゼルモ音の設定", "ＭＳ Ｐゴシック", 172, 194, Template3, true},
    {"4", "その他の音の設定", "ＭＳ Ｐゴシック", 172, 228, Template4, true},
    {"6", "音ファイルの登録", "ＭＳ Ｐゴシック", 234, 216, Template6, true},
    {"7", "音ファイルの削除", "ＭＳ Ｐゴシック", 234, 216, Template7, true},
    {"702", "About ZelmoSound", "MS Sans Serif", 136, 65, Template702, false},
};

void PrintTo(const Template &t, std::ostream *os)
{
    *os << "template " << t.name;
}

constexpr DWORD Frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

// ---- A dialog as read from the script or from the compiled program, in one shape.

struct Control {
    int id = 0;
    std::string className, text;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0, exStyle = 0;
};

struct Dialog {
    std::string caption, font;
    int fontSize = 0, x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0, exStyle = 0;
    std::vector<Control> controls;
};

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(value));
    return text;
}

std::string Describe(const Control &c)
{
    return std::to_string(c.id) + " " + c.className + " \"" + c.text + "\" " + std::to_string(c.x) +
           "," + std::to_string(c.y) + "," + std::to_string(c.cx) + "," + std::to_string(c.cy) +
           " style " + Hex(c.style) + " ex " + Hex(c.exStyle);
}

Dialog FromScript(const std::string &name,
                  const sim::ResourceScript &script = sim::ProgramResources())
{
    const auto &dialogs = script.dialogs;
    auto found = dialogs.find(name);
    if (found == dialogs.end())
        throw std::runtime_error("the resource script has no dialog " + name);
    const sim::DialogTemplate &t = found->second;
    Dialog d{t.caption, t.font, t.fontSize, t.x, t.y, t.cx, t.cy, t.style, t.exStyle, {}};
    for (const sim::ControlTemplate &c : t.controls)
        d.controls.push_back({c.id, c.className, c.text, c.x, c.y, c.cx, c.cy, c.style, c.exStyle});
    return d;
}

void ExpectMatches(const Dialog &dialog, const Template &expected)
{
    EXPECT_EQ(expected.caption, dialog.caption);
    EXPECT_EQ(expected.font, dialog.font);
    EXPECT_EQ(9, dialog.fontSize);
    EXPECT_EQ(expected.cx, dialog.cx);
    EXPECT_EQ(expected.cy, dialog.cy);
    EXPECT_EQ(Hex(Frame), Hex(dialog.style));
    ASSERT_EQ(expected.rows.size(), dialog.controls.size());
    for (size_t i = 0; i < expected.rows.size(); ++i) {
        const Row &row = expected.rows[i];
        const Control &c = dialog.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ": " + Describe(c));
        EXPECT_EQ(row.id, c.id);
        EXPECT_EQ(row.kind.className, c.className);
        EXPECT_EQ(row.text, c.text);
        EXPECT_EQ(Hex(Child | row.kind.style), Hex(c.style & ~WS_GROUP));
        EXPECT_EQ(0u, c.exStyle);
        if (expected.layoutGiven) {
            EXPECT_EQ((std::array{row.x, row.y, row.cx, row.cy}),
                      (std::array{c.x, c.y, c.cx, c.cy}));
        }
    }
    auto isDefault = [](const Control &c) {
        return c.className == "BUTTON" && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    };
    EXPECT_EQ(1, std::count_if(dialog.controls.begin(), dialog.controls.end(), isDefault));
}

// The radio buttons 601..620 that exist follow each other as one group: WS_GROUP on the first,
// none on the others, and the control after the last starts the next group.
void ExpectOneRadioGroup(const Dialog &dialog)
{
    const int ids[] = {601, 602, 603, 604, 605, 606, 607, 611, 612, 613, 614, 618, 619, 620};
    const auto &controls = dialog.controls;
    auto isRadio = [](const Control &c) {
        return c.className == "BUTTON" && (c.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
    };
    auto first = std::find_if(controls.begin(), controls.end(), isRadio);
    ASSERT_NE(controls.end(), first);
    EXPECT_EQ(std::size(ids), static_cast<size_t>(std::count_if(first, controls.end(), isRadio)));
    size_t start = static_cast<size_t>(first - controls.begin());
    ASSERT_LT(start + std::size(ids), controls.size()) << "a control follows the last radio button";
    for (size_t k = 0; k < std::size(ids); ++k) {
        const Control &c = controls[start + k];
        SCOPED_TRACE(Describe(c));
        EXPECT_EQ(ids[k], c.id);
        EXPECT_TRUE(isRadio(c));
        EXPECT_EQ(k == 0, (c.style & WS_GROUP) != 0);
        EXPECT_EQ(k == 0, (c.style & WS_TABSTOP) != 0);
    }
    const Control &next = controls[start + std::size(ids)];
    EXPECT_NE(0u, next.style & WS_GROUP) << "no new group after 620: " << Describe(next);
}

std::vector<std::string> IconNames()
{
    std::vector<std::string> names = {
        "ZELMO_ICON",  "ZELMO_ICON1", "ZELMO_ICON2", "MOON_ICON1",   "MOON_ICON2", "STAR1_ICON",
        "STAR2_ICON",  "PASO1_ICON",  "PASO2_ICON",  "TREE1_ICON",   "TREE2_ICON", "MONS1_ICON",
        "MONS2_ICON",  "SNOW1_ICON",  "SNOW2_ICON",  "JCHANGE_ICON", "JEND_ICON",  "JDUMMY_ICON",
        "JBACK1_ICON", "JBACK2_ICON", "JSTAR_ICON"};
    for (int i = 0; i < 10; ++i) {
        names.push_back("JELLY0" + std::to_string(i) + "_ICON");
        names.push_back("JELLY2" + std::to_string(i) + "_ICON");
        names.push_back("JHIDE" + std::to_string(i) + "_ICON");
    }
    return names;
}

// ---- The resource script as the simulated desktop reads it

class ScriptDialog : public ::testing::TestWithParam<Template>
{
};

TEST_P(ScriptDialog, MatchesItsTable)
{
    ExpectMatches(FromScript(GetParam().name), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Templates, ScriptDialog, ::testing::ValuesIn(Templates),
                         [](const auto &info) {
                             return std::string("Template") + info.param.name;
                         });

TEST(ResourceScript, RadioButtonsOfTheAddAndDeleteDialogsFormOneGroup)
{
    for (const char *name : {"6", "7"}) {
        SCOPED_TRACE(std::string("dialog ") + name);
        ExpectOneRadioGroup(FromScript(name));
    }
}

TEST(ResourceScript, AboutBoxShowsTheIconLeftOfTheTextsAndOkBelow)
{
    Dialog about = FromScript("702");
    ASSERT_EQ(4u, about.controls.size());
    const Control &icon = about.controls[0], &name = about.controls[1];
    const Control &version = about.controls[2], &ok = about.controls[3];
    EXPECT_EQ(1u, sim::ProgramResources().icons.count(icon.text));
    // A 32-pixel icon is about 20 dialog units wide in this font.
    EXPECT_GE(name.x, icon.x + 20);
    EXPECT_GE(version.x, icon.x + 20);
    EXPECT_GE(version.y, name.y + name.cy);
    EXPECT_GE(ok.y, version.y + version.cy);
    for (const Control &c : about.controls) {
        SCOPED_TRACE(Describe(c));
        EXPECT_GE(c.x, 0);
        EXPECT_GE(c.y, 0);
        EXPECT_LE(c.x + c.cx, about.cx);
        EXPECT_LE(c.y + c.cy, about.cy);
    }
}

// The conformance probe measures copies of the program's dialogs (in its own probe.rc): they are
// the program's own, header and controls.
TEST(ResourceScript, TheConformanceProbesCopiesOfTheDialogsAreTheProgramsOwn)
{
    const sim::ResourceScript probe = sim::ParseResourceScript(ZELMO_PROBE_SCRIPT);
    for (const char *name : {"3", "4", "6", "7", "702"}) {
        SCOPED_TRACE(std::string("dialog ") + name);
        Dialog copy = FromScript(name, probe), own = FromScript(name);
        EXPECT_EQ(own.caption, copy.caption);
        EXPECT_EQ(own.font + " " + std::to_string(own.fontSize),
                  copy.font + " " + std::to_string(copy.fontSize));
        EXPECT_EQ((std::array{own.x, own.y, own.cx, own.cy}),
                  (std::array{copy.x, copy.y, copy.cx, copy.cy}));
        EXPECT_EQ(Hex(own.style) + " " + Hex(own.exStyle),
                  Hex(copy.style) + " " + Hex(copy.exStyle));
        std::vector<std::string> ownControls, copyControls;
        for (const Control &c : own.controls)
            ownControls.push_back(Describe(c));
        for (const Control &c : copy.controls)
            copyControls.push_back(Describe(c));
        EXPECT_EQ(ownControls, copyControls);
    }
}

TEST(ResourceScript, HoldsTheNameStringTheMenuAndEveryIcon)
{
    const sim::ResourceScript &script = sim::ProgramResources();
    ASSERT_EQ(1u, script.strings.count(1));
    EXPECT_EQ("ZelmoSound", script.strings.at(1));

    ASSERT_EQ(1u, script.menus.count("ZELMOSOUND"));
    const auto &menu = script.menus.at("ZELMOSOUND");
    ASSERT_EQ(2u, menu.size());
    EXPECT_EQ("Start", menu[0].text);
    EXPECT_EQ(11, menu[0].id);
    EXPECT_EQ("Exit", menu[1].text);
    EXPECT_EQ(99, menu[1].id);
    EXPECT_FALSE(menu[0].isPopup || menu[1].isPopup || menu[0].separator || menu[1].separator);

    std::vector<std::string> names = IconNames();
    for (const std::string &name : names)
        EXPECT_EQ(1u, script.icons.count(name)) << name;
    EXPECT_EQ(names.size(), script.icons.size());
}

TEST(ResourceScript, VersionInfoNamesTheProductItsVersionAndWhatItIs)
{
    const auto &versions = sim::ProgramResources().versions;
    ASSERT_EQ(1u, versions.count("1"));
    const sim::VersionTemplate &version = versions.at("1");
    // The texts stand in the block of the one translation: Japanese, Unicode.
    EXPECT_EQ((std::vector<long>{0x0411, 1200}), version.numbers.at("VarFileInfo/Translation"));
    const std::string block = "StringFileInfo/041104B0/";
    EXPECT_EQ("ZelmoSound", version.texts.at(block + "ProductName"));
    EXPECT_EQ("自然の音と時報とクラゲたちの常駐ユーティリティ",
              version.texts.at(block + "FileDescription"));
    EXPECT_EQ("ZelmoSound.exe", version.texts.at(block + "OriginalFilename"));
    // The version the About box shows, and the same as the numbers Explorer shows beside it.
    std::string about = FromScript("702").controls[2].text;
    EXPECT_EQ(about, "Version " + version.texts.at(block + "ProductVersion"));
    EXPECT_EQ(about, "Version " + version.texts.at(block + "FileVersion"));
    EXPECT_EQ((std::vector<long>{1, 0, 0, 0}), version.fixed.at("FILEVERSION"));
    EXPECT_EQ(version.fixed.at("FILEVERSION"), version.fixed.at("PRODUCTVERSION"));
    EXPECT_EQ(std::vector<long>{1}, version.fixed.at("FILETYPE")); // an application
}

// ---- The built ZelmoSound.exe

struct Output {
    std::string text;
    int status = -1;
};

Output RunCommand(const std::string &command)
{
    Output out;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.text.append(buffer, count);
    out.status = pclose(pipe);
    return out;
}

// Reads the little-endian words of a compiled resource.
class Reader
{
  public:
    explicit Reader(const std::string &bytes) : bytes_(bytes) {}

    unsigned Word()
    {
        if (pos_ + 2 > bytes_.size()) throw std::runtime_error("the dialog resource ends early");
        unsigned value = static_cast<unsigned char>(bytes_[pos_]) |
                         static_cast<unsigned>(static_cast<unsigned char>(bytes_[pos_ + 1])) << 8;
        pos_ += 2;
        return value;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }
    int Short() { return static_cast<int16_t>(Word()); }
    void Skip(size_t count) { pos_ += count; }
    size_t Position() const { return pos_; }
    void Seek(size_t pos) { pos_ = pos; }
    void Align() { pos_ = (pos_ + 3) & ~size_t{3}; }

    // A zero-ended UTF-16 string as UTF-8 (the templates use the basic plane only).
    std::string Text()
    {
        std::string text;
        for (unsigned unit = Word(); unit != 0; unit = Word()) {
            if (unit < 0x80) {
                text += static_cast<char>(unit);
            } else if (unit < 0x800) {
                text += static_cast<char>(0xC0 | unit >> 6);
                text += static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                text += static_cast<char>(0xE0 | unit >> 12);
                text += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
                text += static_cast<char>(0x80 | (unit & 0x3F));
            }
        }
        return text;
    }

    // A string, or 0xFFFF and a number (given back as "#number").
    std::string TextOrNumber()
    {
        if (pos_ + 2 <= bytes_.size() && static_cast<unsigned char>(bytes_[pos_]) == 0xFF &&
            static_cast<unsigned char>(bytes_[pos_ + 1]) == 0xFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Text();
    }

  private:
    const std::string &bytes_;
    size_t pos_ = 0;
};

// An extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
Dialog ParseDialogEx(const std::string &bytes)
{
    static const std::map<std::string, std::string> classes = {
        {"#128", "BUTTON"},  {"#129", "EDIT"},      {"#130", "STATIC"},
        {"#131", "LISTBOX"}, {"#132", "SCROLLBAR"}, {"#133", "COMBOBOX"}};
    Reader r(bytes);
    if (r.Word() != 1 || r.Word() != 0xFFFF)
        throw std::runtime_error("not an extended dialog template");
    Dialog d;
    r.Dword(); // help id
    d.exStyle = r.Dword();
    d.style = r.Dword();
    unsigned count = r.Word();
    d.x = r.Short();
    d.y = r.Short();
    d.cx = r.Short();
    d.cy = r.Short();
    r.TextOrNumber(); // menu
    r.TextOrNumber(); // window class
    d.caption = r.Text();
    if (d.style & DS_SETFONT) {
        d.fontSize = static_cast<int>(r.Word());
        r.Skip(4); // weight, italic, character set
        d.font = r.Text();
    }
    for (unsigned i = 0; i < count; ++i) {
        r.Align();
        Control c;
        r.Dword(); // help id
        c.exStyle = r.Dword();
        c.style = r.Dword();
        c.x = r.Short();
        c.y = r.Short();
        c.cx = r.Short();
        c.cy = r.Short();
        c.id = static_cast<int>(r.Dword());
        c.className = r.TextOrNumber();
        if (auto known = classes.find(c.className); known != classes.end())
            c.className = known->second;
        c.text = r.TextOrNumber();
        r.Skip(r.Word()); // creation data
        d.controls.push_back(c);
    }
    return d;
}

// A node of a compiled version resource (length, value length, type, key, value, children) and
// everything under it, read into the shape the simulated desktop reads from the script. The root,
// VS_VERSION_INFO, holds the fixed file information.
void ReadVersionNode(Reader &r, const std::string &prefix, sim::VersionTemplate &out)
{
    size_t start = r.Position();
    size_t end = start + r.Word();
    unsigned valueLength = r.Word();
    unsigned type = r.Word();
    std::string key = r.Text();
    r.Align();
    std::string childPrefix = prefix + key + "/";
    if (start == 0) {
        if (key != "VS_VERSION_INFO" || r.Dword() != 0xFEEF04BD)
            throw std::runtime_error("not a version resource");
        r.Dword(); // structure version
        auto version = [&r] {
            DWORD high = r.Dword(), low = r.Dword();
            return std::vector<long>{high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF};
        };
        out.fixed["FILEVERSION"] = version();
        out.fixed["PRODUCTVERSION"] = version();
        for (const char *name : {"FILEFLAGSMASK", "FILEFLAGS", "FILEOS", "FILETYPE", "FILESUBTYPE"})
            out.fixed[name] = {static_cast<long>(r.Dword())};
        r.Skip(8); // date
        childPrefix = "";
    } else if (valueLength > 0 && type == 1) {
        out.texts[prefix + key] = r.Text();
    } else {
        for (unsigned i = 0; i < valueLength / 2; ++i)
            out.numbers[prefix + key].push_back(static_cast<long>(r.Word()));
    }
    for (r.Align(); r.Position() + 6 <= end; r.Align())
        ReadVersionNode(r, childPrefix, out);
    r.Seek(end);
}

class BuiltProgram : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (exe_.parent_path() == exe_.root_path() || !std::filesystem::exists(exe_))
            GTEST_SKIP() << "the Windows build was not given; scripts/test.sh builds it first ("
                         << exe_ << ")";
    }

    Output Tool(const std::string &command) const
    {
        return RunCommand(command + " '" + exe_.string() + "'");
    }

    const std::filesystem::path exe_{ZELMO_WIN32_EXE};
};

TEST_F(BuiltProgram, HoldsEveryNamedResource)
{
    Output list = Tool("wrestool -l");
    ASSERT_EQ(0, list.status) << list.text;
    std::set<std::pair<int, std::string>> found;
    static const std::regex entry(R"(--type=(\d+) --name=(?:'([^']*)'|(\d+)))");
    for (std::sregex_iterator m(list.text.begin(), list.text.end(), entry), end; m != end; ++m)
        found.insert({std::stoi((*m)[1]), (*m)[2].matched ? (*m)[2].str() : (*m)[3].str()});

    // Menu, dialogs, the string table block of string 1, the version information, the manifest,
    // one icon group per name.
    std::vector<std::pair<int, std::string>> wanted = {{4, "ZELMOSOUND"}, {5, "3"},  {5, "4"},
                                                       {5, "6"},          {5, "7"},  {5, "702"},
                                                       {6, "1"},          {16, "1"}, {24, "1"}};
    for (const auto &[name, file] : sim::ProgramResources().icons)
        wanted.push_back({14, name});
    for (const auto &[type, name] : wanted)
        EXPECT_EQ(1u, found.count({type, name})) << "type " << type << " name " << name;
}

TEST_F(BuiltProgram, ManifestAsksForTheUtf8CodePage)
{
    Output manifest = Tool("wrestool -x --raw --type=24 --name=1");
    ASSERT_EQ(0, manifest.status);
    static const std::regex codePage(R"(<activeCodePage[^>]*>\s*UTF-8\s*</activeCodePage>)");
    EXPECT_TRUE(std::regex_search(manifest.text, codePage)) << manifest.text;
}

// The compiled templates match the tables, and match what the simulated desktop reads from the
// script bit for bit, so the sim shows the same dialogs as Windows.
TEST_F(BuiltProgram, DialogsAreCompiledAsTheSimulatedDesktopReadsThem)
{
    for (const Template &t : Templates) {
        SCOPED_TRACE(std::string("dialog ") + t.name);
        Output raw = Tool(std::string("wrestool -x --raw --type=5 --name=") + t.name);
        ASSERT_EQ(0, raw.status);
        Dialog compiled = ParseDialogEx(raw.text);
        ExpectMatches(compiled, t);

        Dialog script = FromScript(t.name);
        EXPECT_EQ(Hex(script.style), Hex(compiled.style));
        EXPECT_EQ(Hex(script.exStyle), Hex(compiled.exStyle));
        EXPECT_EQ((std::array{script.x, script.y}), (std::array{compiled.x, compiled.y}));
        ASSERT_EQ(script.controls.size(), compiled.controls.size());
        for (size_t i = 0; i < script.controls.size(); ++i)
            EXPECT_EQ(Describe(script.controls[i]), Describe(compiled.controls[i]));
    }
}

// What Explorer shows in the file's properties comes out of the compiler as the script says,
// the Japanese description included (the script is read as UTF-8).
TEST_F(BuiltProgram, VersionInfoIsCompiledAsTheSimulatedDesktopReadsIt)
{
    Output raw = Tool("wrestool -x --raw --type=16 --name=1");
    ASSERT_EQ(0, raw.status);
    Reader reader(raw.text);
    sim::VersionTemplate compiled;
    ReadVersionNode(reader, "", compiled);
    const sim::VersionTemplate &script = sim::ProgramResources().versions.at("1");
    EXPECT_EQ(script.fixed, compiled.fixed);
    EXPECT_EQ(script.texts, compiled.texts);
    EXPECT_EQ(script.numbers, compiled.numbers);
}

TEST_F(BuiltProgram, ImportsOnlySystemLibraries)
{
    Output dump = Tool("i686-w64-mingw32-objdump -p");
    ASSERT_EQ(0, dump.status);
    static const std::set<std::string> allowed = {"KERNEL32", "USER32",   "GDI32",    "SHELL32",
                                                  "OLE32",    "COMCTL32", "COMDLG32", "WINMM",
                                                  "ADVAPI32", "MSVCRT"};
    static const std::regex dll(R"(DLL Name: (\S+))");
    std::set<std::string> imported;
    for (std::sregex_iterator m(dump.text.begin(), dump.text.end(), dll), end; m != end; ++m) {
        std::string name = (*m)[1].str();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (name.ends_with(".DLL")) name.resize(name.size() - 4);
        imported.insert(name);
        EXPECT_EQ(1u, allowed.count(name)) << (*m)[1].str() << " is not a system library";
    }
    EXPECT_EQ(1u, imported.count("KERNEL32"));
}

// Two builds of the same sources give the same bytes only without the time of linking in the
// file header (after "PE\0\0", the machine and the number of sections).
TEST_F(BuiltProgram, CarriesNoLinkTimeStamp)
{
    std::ifstream in(exe_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 0x40u);
    Reader reader(bytes);
    reader.Seek(0x3C);
    size_t header = reader.Dword();
    ASSERT_EQ(0, bytes.compare(header, 4, std::string("PE\0\0", 4)));
    reader.Seek(header + 8);
    EXPECT_EQ(0u, reader.Dword());
}

TEST_F(BuiltProgram, IsUnderOneMegabyte)
{
    EXPECT_LT(std::filesystem::file_size(exe_), 1u << 20);
}

} // namespace
