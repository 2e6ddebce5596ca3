// The simulated desktop's text, dialog layout and dialog controls, where the conformance probe's
// fonts, geometry and controls scenarios found it differing from Wine: text measured with the
// installed Ume faces, dialogs laid out from their template's font, the controls' states and
// keys, and the test actions that choose list entries and type through the keyboard. The dialogs
// are the probe's copies of the program's own (its resource script).
#include "platform/sim/desktop.h"
#include "platform/sim/fonts.h"

#include "resources/resource.h"
#include "tests/support/owner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace
{

HWND Dialog = nullptr;
std::vector<std::string> Commands;

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) Dialog = hwnd;
    if (message == WM_COMMAND)
        Commands.push_back(std::to_string(LOWORD(wParam)) + ":" + std::to_string(HIWORD(wParam)));
    return message == WM_INITDIALOG;
}

class SimControls : public testing::Test
{
  protected:
    SimControls() : desktop(Options())
    {
        Commands.clear();
        Dialog = nullptr;
        process = desktop.Start(zelmo_test::OwnerProgram);
    }

    static sim::Desktop::Options Options()
    {
        sim::Desktop::Options options;
        options.start = sim::LocalTime{2026, 12, 8, 10, 0, 0, 0};
        options.resourceScript = ZELMO_PROBE_SCRIPT;
        return options;
    }

    void Open(int templateId)
    {
        desktop.Input(process, [templateId] {
            (void)DialogBoxParamA(nullptr, MAKEINTRESOURCEA(templateId), zelmo_test::OwnerWindow,
                                  DialogProc, 0);
        });
        ASSERT_NE(nullptr, Dialog);
        Commands.clear();
    }

    void Run(std::function<void()> action) { desktop.Input(process, std::move(action)); }

    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        LRESULT result = 0;
        Run([&] { result = SendDlgItemMessageA(Dialog, id, message, wParam, lParam); });
        return result;
    }

    // A control's rectangle in the dialog's client area, and its client size.
    std::string Layout(int id)
    {
        std::string text;
        Run([&] {
            HWND control = GetDlgItem(Dialog, id);
            RECT r{}, client{};
            (void)GetWindowRect(control, &r);
            (void)GetClientRect(control, &client);
            POINT origin{0, 0};
            (void)ClientToScreen(Dialog, &origin);
            char name[16] = "";
            (void)GetClassNameA(control, name, sizeof name);
            text = std::string(name) + " " + std::to_string(r.left - origin.x) + "," +
                   std::to_string(r.top - origin.y) + " " + std::to_string(r.right - r.left) + "x" +
                   std::to_string(r.bottom - r.top) + " client " + std::to_string(client.right) +
                   "x" + std::to_string(client.bottom);
        });
        return text;
    }

    sim::Desktop desktop;
    int process = 0;
};

} // namespace

// The About box in "MS Sans Serif" and the delete dialog in "ＭＳ Ｐゴシック", 9 points: both
// faces are Ume fonts whose Latin letters average 7 by 12 pixels; each template coordinate is
// scaled on its own and rounded; a control's border becomes a 2-pixel client edge, a list box
// keeps whole rows, an icon static takes its icon's size.
TEST_F(SimControls, ADialogIsLaidOutInItsTemplatesFontAsTheDialogManagerDoes)
{
    EXPECT_EQ(7, sim::DialogBaseUnits("MS Sans Serif", 9).cx);
    EXPECT_EQ(12, sim::DialogBaseUnits("ＭＳ Ｐゴシック", 9).cy);
    Open(IDD_ABOUT);
    auto about = *desktop.Window(Dialog);
    // 136 x 65 units: 238 x 98 pixels, a 3-pixel frame and a 19-pixel caption round them.
    EXPECT_EQ(244, about.rect.right - about.rect.left);
    EXPECT_EQ(123, about.rect.bottom - about.rect.top);
    EXPECT_EQ("Static 18,15 32x32 client 32x32", Layout(IDC_ABOUTICON));
    EXPECT_EQ("Button 75,66 88x21 client 88x21", Layout(IDC_OK));
    // Moved to a size below zero, a window has none.
    Run([] { (void)MoveWindow(GetDlgItem(Dialog, IDC_OK), 10, 10, -5, 21, TRUE); });
    EXPECT_EQ("Button 10,10 0x21 client 0x21", Layout(IDC_OK));
    desktop.PressCloseBox(Dialog);

    Open(IDD_DELETE);
    EXPECT_EQ("Edit 133,54 147x18 client 143x14", Layout(IDC_FOLDER));
    // 132 units are 198 pixels, 194 inside the edges: 16 rows of 12 and 2 left over.
    EXPECT_EQ("ListBox 133,111 147x196 client 143x192", Layout(IDC_FILELIST));
}

TEST_F(SimControls, ButtonsTakeOnlyTheStatesTheyHaveAndListsKeepTheirSelectionOnABadIndex)
{
    Open(IDD_PAGE1);
    BOOL results[4] = {};
    Run([&] {
        results[0] = CheckDlgButton(Dialog, IDC_SOUND01, 5);
        results[1] = CheckDlgButton(Dialog, IDC_OK, BST_CHECKED);
        results[2] = CheckDlgButton(Dialog, IDCB_SOUND01, BST_CHECKED);
        results[3] = CheckDlgButton(Dialog, IDC_SOUND01 + 7, BST_CHECKED); // no such control
    });
    EXPECT_EQ((std::vector<BOOL>{TRUE, TRUE, TRUE, TRUE}), std::vector<BOOL>(results, results + 4));
    EXPECT_EQ(BST_CHECKED, Send(IDC_SOUND01, BM_GETCHECK)) << "a check box is checked, not 5";
    EXPECT_EQ(BST_UNCHECKED, Send(IDC_OK, BM_GETCHECK));
    EXPECT_EQ(BST_UNCHECKED, Send(IDCB_SOUND01, BM_GETCHECK));

    for (const char *entry : {"a", "b", "c"})
        Send(IDCB_SOUND01, CB_INSERTSTRING, static_cast<WPARAM>(-1),
             reinterpret_cast<LPARAM>(entry));
    EXPECT_EQ(1, Send(IDCB_SOUND01, CB_SETCURSEL, 1));
    EXPECT_EQ(CB_ERR, Send(IDCB_SOUND01, CB_SETCURSEL, 7));
    EXPECT_EQ(1, Send(IDCB_SOUND01, CB_GETCURSEL)) << "kept";
    EXPECT_EQ(CB_ERR, Send(IDCB_SOUND01, CB_SETCURSEL, static_cast<WPARAM>(-1)));
    EXPECT_EQ(CB_ERR, Send(IDCB_SOUND01, CB_GETCURSEL)) << "cleared";
}

// Tab passes over disabled controls; a drop-down list tells its focus and each key's selection;
// the arrows move within a radio group round it, over a disabled button, clicking each.
TEST_F(SimControls, TheKeyboardMovesOverEnabledControlsAndRadioGroupsAndChoosesInLists)
{
    Open(IDD_PAGE1);
    Run([] {
        (void)EnableWindow(GetDlgItem(Dialog, IDC_SOUND02), FALSE);
        (void)EnableWindow(GetDlgItem(Dialog, IDCB_SOUND02), FALSE);
        for (const char *entry : {"a", "b", "c"})
            (void)SendDlgItemMessageA(Dialog, IDCB_SOUND01, CB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(entry));
    });
    desktop.PressTab(Dialog);
    EXPECT_EQ(GetDlgItem(Dialog, IDCB_SOUND01), desktop.Focus());
    desktop.Select(Dialog, IDCB_SOUND01, 2);
    EXPECT_EQ(2, Send(IDCB_SOUND01, CB_GETCURSEL));
    // Focus, then Home and two Downs, each ending with the selection and telling its change.
    EXPECT_EQ(
        (std::vector<std::string>{"361:3", "361:9", "361:1", "361:9", "361:1", "361:9", "361:1"}),
        Commands);
    HWND third = GetDlgItem(Dialog, IDC_SOUND03);
    const auto painted = desktop.Dispatched(third)[WM_PAINT];
    desktop.PressTab(Dialog);
    EXPECT_EQ(third, desktop.Focus()) << "past the second group";
    EXPECT_EQ(painted + 1, desktop.Dispatched(third)[WM_PAINT])
        << "the check box that got the focus paints again";
    EXPECT_EQ("361:10", Commands[7]);
    EXPECT_EQ("361:4", Commands[8]);
    desktop.PressCloseBox(Dialog);

    Open(IDD_DELETE);
    Run([] { (void)EnableWindow(GetDlgItem(Dialog, IDC_GROUP03), FALSE); });
    desktop.Click(Dialog, IDC_GROUP02);
    auto arrow = [&](WPARAM key) {
        desktop.Post(desktop.Focus(), WM_KEYDOWN, key, 1);
        return GetDlgCtrlID(desktop.Focus());
    };
    EXPECT_EQ(IDC_GROUP04, arrow(VK_DOWN));
    EXPECT_EQ(BST_CHECKED, Send(IDC_GROUP04, BM_GETCHECK));
    EXPECT_EQ(BST_UNCHECKED, Send(IDC_GROUP02, BM_GETCHECK));
    EXPECT_EQ(IDC_GROUP02, arrow(VK_UP));
    EXPECT_EQ(IDC_GROUP01, arrow(VK_UP));
    EXPECT_EQ(IDC_GROUP20, arrow(VK_UP)) << "round the group";
    EXPECT_EQ(BST_CHECKED, Send(IDC_GROUP20, BM_GETCHECK));
}

// TypeText tabs onto the field, which selects its text, and types each character, which
// replaces it; the program's own text leaves the caret at the start.
TEST_F(SimControls, TypedTextReplacesTheFieldsTextCharacterByCharacter)
{
    Open(IDD_REGIST);
    desktop.TypeText(Dialog, IDC_FILENAME, "a.wav");
    desktop.TypeText(Dialog, IDC_FILENAME, "b.wav");
    char text[32] = "";
    Run([&] { (void)GetDlgItemTextA(Dialog, IDC_FILENAME, text, sizeof text); });
    EXPECT_EQ("b.wav", std::string(text));
    long changes = std::count(Commands.begin(), Commands.end(), "631:768");
    EXPECT_EQ(10, changes) << "one EN_CHANGE per character";

    Run([] { (void)SetDlgItemTextA(Dialog, IDC_FILENAME, "x.wav"); });
    desktop.Post(GetDlgItem(Dialog, IDC_FILENAME), WM_CHAR, 'z', 1);
    Run([&] { (void)GetDlgItemTextA(Dialog, IDC_FILENAME, text, sizeof text); });
    EXPECT_EQ("zx.wav", std::string(text));
    EXPECT_THROW(desktop.TypeText(Dialog, IDC_FILENAME, "ゼルモ.wav"), sim::SimulationError);
}

// The time signal's font and the dialogs' are the Ume faces, measured from their files; a font
// deleted while selected is still used there and goes when deselected.
TEST_F(SimControls, TextIsMeasuredInTheInstalledFacesAndADeletedFontGoesWhenDeselected)
{
    SIZE signal{}, again{};
    BOOL deleted = FALSE;
    int fontsWhileSelected = 0;
    Run([&] {
        HDC dc = GetDC(zelmo_test::OwnerWindow);
        HFONT font = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, "Yu Gothic UI");
        HGDIOBJ old = SelectObject(dc, font);
        // "１２時だよ～ん" in UTF-16.
        const WCHAR text[] = {0xFF11, 0xFF12, 0x6642, 0x3060, 0x3088, 0xFF5E, 0x3093};
        (void)GetTextExtentPoint32W(dc, text, 7, &signal);
        deleted = DeleteObject(font);
        (void)GetTextExtentPoint32W(dc, text, 7, &again);
        fontsWhileSelected = desktop.OpenFonts();
        (void)SelectObject(dc, old);
        (void)ReleaseDC(zelmo_test::OwnerWindow, dc);
    });
    EXPECT_EQ(99, signal.cx);
    EXPECT_EQ(16, signal.cy);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(99, again.cx);
    EXPECT_EQ(1, fontsWhileSelected);
    EXPECT_EQ(0, desktop.OpenFonts());
    EXPECT_THROW(sim::Realize(sim::LogicalFont{"Arial", -12}), sim::SimulationError)
        << "a face our set-up does not install";
}

// The faces the simulated desktop maps are the ones the Wine prefix maps (e2e/wine-env.sh).
TEST(SimFonts, TheFaceMappingIsTheWinePrefixs)
{
    std::ifstream script(ZELMO_WINE_ENV);
    std::string line;
    std::vector<std::pair<std::string, std::string>> prefix;
    const std::regex entry(R"re(^\s*'(.+)=(.+)'\s*$)re");
    bool inFaces = false;
    while (std::getline(script, line)) {
        if (line.rfind("WINE_ENV_FACES=(", 0) == 0)
            inFaces = true;
        else if (inFaces && line == ")")
            break;
        std::smatch match;
        if (inFaces && std::regex_match(line, match, entry))
            prefix.emplace_back(match[1].str(), match[2].str());
    }
    EXPECT_EQ(prefix, sim::FontSubstitutes());
}
