// Scenarios of modal dialogs: WM_INITDIALOG and the focus its result gives, EndDialog and the
// result, Enter on the default or the focused push button, Esc, the close box, a message box
// over a dialog, which disables the dialog until it closes, a question whose default answer is
// No, and a group of automatic radio buttons. The owner's timer ticks on all the while; the
// user acts on its ticks.
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/probe_resource.h"

#include <iterator>

namespace
{

HWND Owner = nullptr;
HWND Dialog = nullptr;
// What the dialog does in WM_INITDIALOG.
enum class Init { ReturnTrue, FocusOtherReturnFalse, ReturnFalse, EndAtOnce };
Init InitKind = Init::ReturnTrue;
bool OtherStays = false;

// Ends the dialog with the command's id plus 100, so each way out shows in the result.
INT_PTR CALLBACK ProbeDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Dialog = hwnd;
        // The controls exist already; the dialog is not shown yet.
        probe::TraceResult("IsWindowVisible dialog", IsWindowVisible(hwnd));
        probe::TraceResult("GetDlgItem OK", GetDlgItem(hwnd, IDOK) != nullptr);
        switch (InitKind) {
        case Init::ReturnTrue:
            return TRUE;
        case Init::FocusOtherReturnFalse:
            probe::Trace("SetFocus other from " +
                         probe::Role(SetFocus(GetDlgItem(hwnd, IDC_PROBE_OTHER))));
            return FALSE;
        case Init::ReturnFalse:
            return FALSE;
        case Init::EndAtOnce:
            probe::TraceResult("EndDialog", EndDialog(hwnd, 42));
            probe::TraceResult("IsWindow dialog", IsWindow(hwnd));
            return TRUE;
        }
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        // In some scenarios the plain push button only takes the focus.
        if (LOWORD(wParam) == IDC_PROBE_OTHER && OtherStays) return TRUE;
        probe::TraceResult("EndDialog", EndDialog(hwnd, 100 + LOWORD(wParam)));
        probe::TraceResult("IsWindowVisible dialog", IsWindowVisible(hwnd));
        return TRUE;
    default:
        return FALSE;
    }
}

// Opens the probe's dialog from the user's first step; the later steps act in it.
void DialogScenario(int templateId, Init init, std::vector<probe::Step> steps,
                    bool otherStays = false)
{
    InitKind = init;
    OtherStays = otherStays;
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    steps.insert(steps.begin(), [templateId] {
        INT_PTR result = probe::RunProbeDialog(templateId, Owner, "dialog", ProbeDialog);
        probe::TraceResult("DialogBoxParamA", result);
        probe::TraceResult("IsWindowEnabled owner", IsWindowEnabled(Owner));
        probe::ScenarioDone();
    });
    probe::StartUser(Owner, std::move(steps));
    probe::RunScenarioLoop();
}

// Read from the second tick in the dialog on: the first may come before the dialog's loop has
// found the queue empty and shown it, on a slow machine.
void TraceState()
{
    probe::Trace("focus " + probe::Role(GetFocus()));
    probe::TraceResult("IsWindowVisible dialog", IsWindowVisible(Dialog));
    probe::TraceResult("IsWindowEnabled owner", IsWindowEnabled(Owner));
}

void FocusFromTrueThenClickOk()
{
    DialogScenario(IDD_PROBE, Init::ReturnTrue,
                   {[] {}, TraceState, [] { probe::UserClick(Dialog, IDOK); }});
}

void FocusSetByDialogThenEnter()
{
    DialogScenario(IDD_PROBE, Init::FocusOtherReturnFalse,
                   {[] {}, TraceState, [] { probe::UserKey(VK_RETURN); }});
}

void NoFocusThenEnter()
{
    DialogScenario(IDD_PROBE, Init::ReturnFalse,
                   {[] {}, TraceState, [] { probe::UserKey(VK_RETURN, Dialog); }});
}

void EnterInEditField()
{
    DialogScenario(IDD_PROBE, Init::ReturnTrue, {[] { probe::UserKey(VK_RETURN); }});
}

// Tab moves the focus from the edit field over OK to the plain push button.
void TabToOtherThenEnter()
{
    DialogScenario(IDD_PROBE, Init::ReturnTrue,
                   {[] { probe::UserKey(VK_TAB); }, [] { probe::UserKey(VK_TAB); }, TraceState,
                    [] { probe::UserKey(VK_RETURN); }});
}

// A click on the plain push button gives it the focus; Enter then?
void ClickOtherThenEnter()
{
    DialogScenario(IDD_PROBE, Init::ReturnTrue,
                   {[] {}, [] { probe::UserClick(Dialog, IDC_PROBE_OTHER); }, TraceState,
                    [] { probe::UserKey(VK_RETURN); }},
                   true);
}

void Escape()
{
    DialogScenario(IDD_PROBE, Init::ReturnTrue, {[] { probe::UserKey(VK_ESCAPE); }});
}

void CloseBox()
{
    DialogScenario(IDD_PROBE, Init::ReturnTrue, {[] { probe::UserCloseBox(Dialog); }});
}

void CloseBoxWithoutCancel()
{
    DialogScenario(IDD_PROBE_NOCANCEL, Init::ReturnTrue, {[] { probe::UserCloseBox(Dialog); }});
}

void EndDialogInInit()
{
    DialogScenario(IDD_PROBE, Init::EndAtOnce, {});
}

// The dialog shown (and so painted) before the next step: on a busy machine the first tick in it
// may come before its loop has found the queue empty.
probe::Step WaitShown()
{
    return probe::WaitUntil("the dialog shown", [] { return IsWindowVisible(Dialog) != FALSE; });
}

// A message box owned by the dialog disables it (and the owner stays disabled) until it closes.
void MessageBoxOverDialog()
{
    DialogScenario(
        IDD_PROBE, Init::ReturnTrue,
        {WaitShown(),
         [] {
             int answer = MessageBoxA(Dialog, "Probe over dialog", "Probe dialog box", MB_OK);
             probe::TraceResult("MessageBoxA", answer);
             probe::TraceResult("IsWindowEnabled dialog", IsWindowEnabled(Dialog));
         },
         [] {
             probe::NameWindow(probe::FindTopWindow("#32770", "Probe dialog box"), "box");
             probe::TraceResult("IsWindowEnabled dialog", IsWindowEnabled(Dialog));
             probe::TraceResult("IsWindowEnabled owner", IsWindowEnabled(Owner));
             probe::Trace("focus " + probe::Role(GetFocus()));
         },
         [] { probe::UserKey(VK_RETURN); }, [] { probe::UserClick(Dialog, IDCANCEL); }});
}

// ---- a group of automatic radio buttons with BS_NOTIFY, as the register and delete dialogs have

void TraceRadios()
{
    std::string line = "checked:";
    for (int id : {IDC_PROBE_RADIO1, IDC_PROBE_RADIO2, IDC_PROBE_RADIO3})
        line += " " + std::to_string(IsDlgButtonChecked(Dialog, id));
    probe::Trace(line);
}

INT_PTR CALLBACK RadioDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Dialog = hwnd;
        probe::TraceResult(
            "CheckRadioButton two",
            CheckRadioButton(hwnd, IDC_PROBE_RADIO1, IDC_PROBE_RADIO3, IDC_PROBE_RADIO2));
        TraceRadios();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK) return FALSE;
        probe::TraceResult("EndDialog", EndDialog(hwnd, IDOK));
        return TRUE;
    default:
        return FALSE;
    }
}

// A click on an unchecked button of the group, on the checked one, then on another; the
// notifications each brings and the checks after it.
void RadioGroup()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(Owner,
                     {
                         [] {
                             probe::TraceResult("DialogBoxParamA",
                                                probe::RunProbeDialog(IDD_PROBE_RADIO, Owner,
                                                                      "dialog", RadioDialog));
                             probe::ScenarioDone();
                         },
                         [] {},
                         [] {
                             probe::Trace("focus " + probe::Role(GetFocus()));
                             probe::UserClick(Dialog, IDC_PROBE_RADIO3);
                         },
                         [] {
                             TraceRadios();
                             probe::UserClick(Dialog, IDC_PROBE_RADIO3);
                         },
                         [] {
                             TraceRadios();
                             probe::UserClick(Dialog, IDC_PROBE_RADIO1);
                         },
                         [] {
                             TraceRadios();
                             probe::Trace("focus " + probe::Role(GetFocus()));
                             probe::UserClick(Dialog, IDOK);
                         },
                     });
    probe::RunScenarioLoop();
}

// A question whose second button, No, is the default: Enter answers No.
void QuestionDefaultNo()
{
    DialogScenario(IDD_PROBE, Init::ReturnTrue,
                   {WaitShown(),
                    [] {
                        int answer = MessageBoxA(Dialog, "Probe question", "Probe question box",
                                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
                        probe::TraceResult("MessageBoxA", answer);
                    },
                    [] {
                        HWND box = probe::FindTopWindow("#32770", "Probe question box");
                        probe::NameWindow(box, "box");
                        probe::Trace("focus " + probe::Role(GetFocus()));
                    },
                    [] { probe::UserKey(VK_RETURN); }, [] { probe::UserClick(Dialog, IDCANCEL); }});
}

constexpr probe::Scenario Scenarios[] = {
    {"focus-from-true", FocusFromTrueThenClickOk},
    {"focus-set-by-dialog-then-enter", FocusSetByDialogThenEnter},
    {"no-focus-then-enter", NoFocusThenEnter},
    {"enter-in-edit-field", EnterInEditField},
    {"tab-to-other-then-enter", TabToOtherThenEnter},
    {"click-other-then-enter", ClickOtherThenEnter},
    {"escape", Escape},
    {"close-box", CloseBox},
    {"close-box-without-cancel", CloseBoxWithoutCancel},
    {"enddialog-in-init", EndDialogInInit},
    {"messagebox-over-dialog", MessageBoxOverDialog},
    {"radio-group", RadioGroup},
    {"question-default-no", QuestionDefaultNo},
};

} // namespace

extern const probe::Area dialogsArea = {"dialogs", Scenarios, std::size(Scenarios)};
