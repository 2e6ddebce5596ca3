// Scenarios of the controls of ZelmoSound's settings, register and delete dialogs, on copies of
// those dialogs (probe.rc): drop-down lists filled, set and read back as the settings dialogs do
// it, and chosen with the keyboard; automatic check boxes clicked and set with CheckDlgButton,
// also with other values than checked and unchecked and on controls that are no check boxes;
// CheckRadioButton and IsDlgButtonChecked over the group range with its missing ids; the arrow
// keys inside the group of radio buttons, over a disabled one; Tab over disabled controls; and
// characters typed into an edit field that Tab has selected, as a keyboard user fills it.
#include "tests/conformance/probe/probe.h"

#include "resources/resource.h"

#include <iterator>
#include <string>
#include <vector>

namespace
{

constexpr POINT Parking{1000, 740};
HWND Owner = nullptr;
HWND Dialog = nullptr;
// What a dialog of this area does when it is initialised; it ends on IDC_OK or IDOK.
void (*OnInit)(HWND dialog) = nullptr;

INT_PTR CALLBACK ControlsDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Dialog = hwnd;
        if (OnInit) OnInit(hwnd);
        return TRUE;
    case WM_COMMAND:
        if (wParam != IDC_OK && wParam != IDC_FINISH) return FALSE;
        probe::TraceResult("EndDialog", EndDialog(hwnd, 1));
        return TRUE;
    default:
        return FALSE;
    }
}

// Opens the dialog from the user's first step; the later steps act in it, and the last one
// closes it.
void ControlsScenario(int templateId, void (*onInit)(HWND), std::vector<probe::Step> steps)
{
    OnInit = onInit;
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    // The pointer away from the dialog, whose border it would otherwise touch.
    probe::UserPointer(Parking.x, Parking.y);
    steps.insert(steps.begin(), [templateId] {
        probe::TraceResult("DialogBoxParamA",
                           probe::RunProbeDialog(templateId, Owner, "dialog", ControlsDialog));
        probe::ScenarioDone();
    });
    probe::StartUser(Owner, std::move(steps));
    probe::RunScenarioLoop();
}

probe::Step Say(const char *what, std::function<void()> action)
{
    return [=] {
        probe::Trace(std::string("-- ") + what);
        action();
    };
}

void TraceFocus()
{
    probe::Trace("focus " + probe::Role(GetFocus()));
}

LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendDlgItemMessageA(Dialog, id, message, wParam, lParam);
}

void TraceSelection(int id)
{
    probe::TraceResult("CB_GETCURSEL " + std::to_string(id), Send(id, CB_GETCURSEL));
}

// ---- combo-boxes: the interval list of the first group filled as the settings dialog fills it
// (CB_INSERTSTRING at each index), set, read back; indexes out of range; then chosen with the
// keyboard: Tab onto it, Home, Down, End, Down at the end, Up.

constexpr const char *Intervals[] = {"3～6秒", "6～20秒", "10～30秒", "20～60秒"};

void FillList(HWND)
{
    for (int c = 0; c < static_cast<int>(std::size(Intervals)); ++c)
        probe::TraceResult("CB_INSERTSTRING " + std::to_string(c),
                           Send(IDCB_SOUND01, CB_INSERTSTRING, static_cast<WPARAM>(c),
                                reinterpret_cast<LPARAM>(Intervals[c])));
    probe::TraceResult("CB_INSERTSTRING 9",
                       Send(IDCB_SOUND01, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("too far")));
    probe::TraceResult("CB_GETCOUNT", Send(IDCB_SOUND01, CB_GETCOUNT));
    TraceSelection(IDCB_SOUND01);
    probe::TraceResult("CB_SETCURSEL 7", Send(IDCB_SOUND01, CB_SETCURSEL, 7));
    TraceSelection(IDCB_SOUND01);
    probe::TraceResult("CB_SETCURSEL 2", Send(IDCB_SOUND01, CB_SETCURSEL, 2));
    TraceSelection(IDCB_SOUND01);
    char text[32] = "";
    LRESULT length =
        Send(IDCB_SOUND01, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(static_cast<char *>(text)));
    probe::Trace("CB_GETLBTEXT 2 -> " + std::to_string(length) + " \"" + text + "\"");
    probe::TraceResult("CB_SETCURSEL 7", Send(IDCB_SOUND01, CB_SETCURSEL, 7));
    TraceSelection(IDCB_SOUND01);
    // An empty list, and a list the dialog does not have (the first settings dialog has none
    // for the eighth group).
    probe::TraceResult("CB_SETCURSEL -1 " + std::to_string(IDCB_SOUND02),
                       Send(IDCB_SOUND02, CB_SETCURSEL, static_cast<WPARAM>(-1)));
    TraceSelection(IDCB_SOUND02);
    TraceSelection(IDCB_SOUND01 + 7);
}

void ComboBoxes()
{
    auto key = [](const char *what, UINT virtualKey) {
        return Say(what, [virtualKey] { probe::UserKey(virtualKey); });
    };
    auto check = [] {
        TraceFocus();
        TraceSelection(IDCB_SOUND01);
    };
    ControlsScenario(IDD_PAGE1, FillList,
                     {
                         [] {},
                         key("Tab onto the list", VK_TAB),
                         check,
                         key("Home", VK_HOME),
                         check,
                         key("Down", VK_DOWN),
                         check,
                         key("End", VK_END),
                         check,
                         key("Down at the end", VK_DOWN),
                         check,
                         key("Up", VK_UP),
                         check,
                         [] { probe::UserClick(Dialog, IDC_OK); },
                     });
}

// ---- check-boxes: clicks on an automatic check box; CheckDlgButton with each state and with
// values beyond them, on a check box, a push button, a drop-down list and an id the dialog does
// not have; IsDlgButtonChecked of each.

void TraceChecks(const std::string &what)
{
    std::string line = what + ":";
    for (int id : {IDC_SOUND01, IDC_OK, IDCB_SOUND01, IDC_SOUND01 + 7})
        line += " " + std::to_string(IsDlgButtonChecked(Dialog, id));
    probe::Trace(line);
}

void SetChecks(UINT check)
{
    std::string line = "CheckDlgButton " + std::to_string(check) + " ->";
    for (int id : {IDC_SOUND01, IDC_OK, IDCB_SOUND01, IDC_SOUND01 + 7})
        line += " " + std::to_string(CheckDlgButton(Dialog, id, check));
    probe::Trace(line);
    TraceChecks("checked");
}

void CheckBoxes()
{
    ControlsScenario(IDD_PAGE1, nullptr,
                     {
                         [] {},
                         [] { TraceChecks("checked at first"); },
                         Say("click", [] { probe::UserClick(Dialog, IDC_SOUND01); }),
                         [] {
                             TraceChecks("checked");
                             TraceFocus();
                         },
                         Say("click again", [] { probe::UserClick(Dialog, IDC_SOUND01); }),
                         [] { TraceChecks("checked"); },
                         [] {
                             for (UINT check : {1u, 0u, 2u, 5u, 1u})
                                 SetChecks(check);
                         },
                         Say("click the check box set by the dialog",
                             [] { probe::UserClick(Dialog, IDC_SOUND01); }),
                         [] { TraceChecks("checked"); },
                         [] { probe::UserClick(Dialog, IDC_OK); },
                     });
}

// ---- radio-range: CheckRadioButton over the whole group range of the register dialog (601 to
// 620, which has no 608 to 610 nor 615 to 617), with a present id, a missing one, the range
// given backwards; IsDlgButtonChecked over the range.

void TraceRadios()
{
    std::string line = "checked:";
    for (int id = IDC_GROUP01; id <= IDC_GROUP20; ++id)
        line += " " + std::to_string(IsDlgButtonChecked(Dialog, id));
    probe::Trace(line);
}

void CheckRadios(HWND dialog)
{
    probe::TraceResult("CheckRadioButton 603",
                       CheckRadioButton(dialog, IDC_GROUP01, IDC_GROUP20, IDC_GROUP03));
    TraceRadios();
    probe::TraceResult("CheckRadioButton 609",
                       CheckRadioButton(dialog, IDC_GROUP01, IDC_GROUP20, IDC_GROUP01 + 8));
    TraceRadios();
    probe::TraceResult("CheckRadioButton 620",
                       CheckRadioButton(dialog, IDC_GROUP01, IDC_GROUP20, IDC_GROUP20));
    probe::TraceResult("CheckRadioButton backwards 605",
                       CheckRadioButton(dialog, IDC_GROUP20, IDC_GROUP01, IDC_GROUP05));
    TraceRadios();
}

void RadioRange()
{
    ControlsScenario(IDD_REGIST, CheckRadios,
                     {[] {}, [] { probe::UserClick(Dialog, IDC_FINISH); }});
}

// ---- radio-arrows: in the delete dialog's group, a click on the second button, then Down, Up
// and Down again over a disabled button, Up from the first button (round to the last), Down
// from the last; the focus and the checks after each.

void ArrowsInit(HWND dialog)
{
    (void)CheckRadioButton(dialog, IDC_GROUP01, IDC_GROUP20, IDC_GROUP01);
    probe::TraceResult("EnableWindow 604 off",
                       EnableWindow(GetDlgItem(dialog, IDC_GROUP04), FALSE));
}

void RadioArrows()
{
    auto key = [](const char *what, UINT virtualKey) {
        return Say(what, [virtualKey] { probe::UserKey(virtualKey); });
    };
    auto check = [] {
        TraceFocus();
        TraceRadios();
    };
    ControlsScenario(IDD_DELETE, ArrowsInit,
                     {
                         [] {},
                         Say("click the second", [] { probe::UserClick(Dialog, IDC_GROUP02); }),
                         check,
                         key("Down", VK_DOWN),
                         check,
                         key("Down over the disabled one", VK_DOWN),
                         check,
                         key("Up over the disabled one", VK_UP),
                         check,
                         Say("click the first", [] { probe::UserClick(Dialog, IDC_GROUP01); }),
                         key("Up from the first", VK_UP),
                         check,
                         key("Down from the last", VK_DOWN),
                         check,
                         [] { probe::UserClick(Dialog, IDC_FINISH); },
                     });
}

// ---- tab-skips-disabled: in the first settings dialog with the second group's check box and
// list disabled (as for a group without files), Tab from the first check box on, round the
// dialog.

void DisableSecondGroup(HWND dialog)
{
    (void)EnableWindow(GetDlgItem(dialog, IDC_SOUND02), FALSE);
    (void)EnableWindow(GetDlgItem(dialog, IDCB_SOUND02), FALSE);
}

void TabSkipsDisabled()
{
    std::vector<probe::Step> steps = {[] {}, [] { TraceFocus(); }};
    // Round the dialog: 7 check boxes and 7 lists, two of them disabled, and two buttons.
    for (int press = 0; press < 15; ++press) {
        steps.push_back([] { probe::UserKey(VK_TAB); });
        steps.push_back(TraceFocus);
    }
    steps.push_back([] { probe::UserClick(Dialog, IDC_OK); });
    ControlsScenario(IDD_PAGE1, DisableSecondGroup, std::move(steps));
}

// ---- typing: characters typed into the register dialog's file field, which has the focus when
// the dialog opens; Tab round the dialog back to the field, which selects its text, then more
// characters, which replace it; a text the program sets, then one more character.

void TraceFileField()
{
    char text[64] = "";
    UINT length = GetDlgItemTextA(Dialog, IDC_FILENAME, text, sizeof text);
    probe::Trace("file field " + std::to_string(length) + " \"" + text + "\"");
}

void Typing()
{
    std::vector<probe::Step> steps = {[] {}, TraceFocus};
    for (char c : std::string("C:\\a.wav"))
        steps.push_back([c] { probe::UserChar(c); });
    steps.push_back(TraceFileField);
    // The register dialog's tab stops: the field, the button beside it, the group, Register,
    // Listen and Finish.
    for (int press = 0; press < 6; ++press)
        steps.push_back([] { probe::UserKey(VK_TAB); });
    steps.push_back(TraceFocus);
    for (char c : std::string("b.wav"))
        steps.push_back([c] { probe::UserChar(c); });
    steps.push_back(TraceFileField);
    // The program sets the field's text while it has the focus; where does the next character
    // go?
    steps.push_back([] {
        probe::TraceResult("SetDlgItemTextA", SetDlgItemTextA(Dialog, IDC_FILENAME, "x.wav"));
    });
    steps.push_back([] { probe::UserChar('z'); });
    steps.push_back(TraceFileField);
    steps.push_back([] { probe::UserClick(Dialog, IDC_FINISH); });
    ControlsScenario(IDD_REGIST, nullptr, std::move(steps));
}

constexpr probe::Scenario Scenarios[] = {

    {"combo-boxes", ComboBoxes},
    {"check-boxes", CheckBoxes},
    {"radio-range", RadioRange},
    {"radio-arrows", RadioArrows},
    {"tab-skips-disabled", TabSkipsDisabled},
    {"typing", Typing},
};

} // namespace

extern const probe::Area controlsArea = {"controls", Scenarios, std::size(Scenarios)};
