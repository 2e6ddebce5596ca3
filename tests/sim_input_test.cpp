// The simulated desktop's modal loops, input and message queue, where the conformance probe found
// it differing from Windows (as Wine shows it): message boxes are windows that disable what they
// are over, the dialog manager's Enter, menus opened inside menus, message filters, message time
// and position, the tray's sent reports, a clock that never runs back. Dialogs come from the
// probe's own resource script.
#include "platform/sim/desktop.h"
#include "platform/sim/internal.h"
#include "tests/conformance/probe/probe_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> Log;
HWND Owner = nullptr;
HWND Other = nullptr;
HWND Dialog = nullptr;
bool FocusOtherInInit = false;
constexpr UINT WM_TEST = WM_USER + 50;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_USER + 1: // the tray's callback message
        Log.push_back("tray " + std::to_string(lParam));
        return 0;
    case WM_TEST:
        Log.push_back((hwnd == Owner ? "owner " : "other ") + std::to_string(wParam));
        return 0;
    case WM_TIMER:
        Log.push_back("timer " + std::to_string(wParam));
        // A first tick that holds the thread past the time the caller let pass.
        if (wParam == 3 && Log.size() == 1) Sleep(3000);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Dialog = hwnd;
        if (FocusOtherInInit) {
            (void)SetFocus(GetDlgItem(hwnd, IDC_PROBE_OTHER));
            return FALSE;
        }
        return TRUE;
    case WM_COMMAND:
        Log.push_back("command " + std::to_string(LOWORD(wParam)) + " code " +
                      std::to_string(HIWORD(wParam)));
        if (HIWORD(wParam) == BN_CLICKED) (void)EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

int WINAPI TestProgram(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "InputTest";
    RegisterClassA(&wc);
    Owner = CreateWindowExA(0, "InputTest", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            instance, nullptr);
    Other = CreateWindowExA(0, "InputTest", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

class SimInput : public testing::Test
{
  protected:
    SimInput() : desktop(Options())
    {
        Log.clear();
        Dialog = nullptr;
        FocusOtherInInit = false;
        process = desktop.Start(TestProgram);
    }

    static sim::Desktop::Options Options()
    {
        sim::Desktop::Options options;
        options.start = sim::LocalTime{2026, 12, 8, 10, 0, 0, 0};
        options.resourceScript = ZELMO_PROBE_SCRIPT;
        return options;
    }

    // Opens the probe's dialog over the owner; its result lands in Result.
    void OpenDialog()
    {
        desktop.Input(process, [this] {
            Result = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_PROBE), Owner, DialogProc, 0);
        });
        ASSERT_NE(nullptr, Dialog);
    }

    sim::Desktop desktop;
    int process = 0;
    INT_PTR Result = -1;
};

} // namespace

TEST_F(SimInput, AMessageBoxDisablesTheDialogUnderItWhichNoTestActionCanThenReach)
{
    OpenDialog();
    int answer = 0;
    desktop.Input(process, [&] { answer = MessageBoxA(Dialog, "Sure?", "Question", MB_YESNO); });
    ASSERT_EQ(1u, desktop.OpenMessageBoxes().size());
    HWND box = desktop.OpenMessageBoxes()[0].hwnd;
    EXPECT_EQ("#32770", desktop.Window(box)->className);
    EXPECT_EQ(GetDlgItem(box, IDYES), desktop.Focus());
    EXPECT_FALSE(desktop.Window(Dialog)->enabled);
    EXPECT_FALSE(desktop.Window(Owner)->enabled);
    EXPECT_THROW(desktop.Click(Dialog, IDOK), sim::SimulationError);
    EXPECT_THROW(desktop.PressEnter(Dialog), sim::SimulationError);
    EXPECT_THROW(desktop.PressCloseBox(Dialog), sim::SimulationError);
    EXPECT_THROW(desktop.AnswerMessageBox(IDCANCEL), sim::SimulationError); // a Yes/No box

    desktop.AnswerMessageBox(IDNO);
    EXPECT_EQ(IDNO, answer);
    EXPECT_TRUE(desktop.Window(Dialog)->enabled);
    // The focus is back where it was in the dialog: its edit field.
    EXPECT_EQ(GetDlgItem(Dialog, IDC_PROBE_EDIT), desktop.Focus());
    desktop.PressCloseBox(Dialog);
    EXPECT_EQ(IDCANCEL, Result);
    EXPECT_TRUE(desktop.Window(Owner)->enabled);
}

TEST_F(SimInput, ADialogSitsInItsOwnersClientAreaAndAMessageBoxInTheMiddleOfTheScreen)
{
    desktop.Input(process, [] { (void)MoveWindow(Owner, 200, 150, 300, 200, FALSE); });
    OpenDialog();
    // The template puts the dialog's client area at 0,0 of its owner's: its frame (3 pixels)
    // and caption (19) lie above and left of it.
    EXPECT_EQ(200 - 3, desktop.Window(Dialog)->rect.left);
    EXPECT_EQ(150 - 3 - 19, desktop.Window(Dialog)->rect.top);
    desktop.Input(process, [] { (void)MessageBoxA(Dialog, "Sure?", "Question", MB_OK); });
    RECT box = desktop.Window(desktop.OpenMessageBoxes()[0].hwnd)->rect;
    EXPECT_NEAR(1024, box.left + box.right, 1);
    EXPECT_NEAR(768, box.top + box.bottom, 1);
    desktop.AnswerMessageBox(IDOK);

    // Moved off the screen's edge, its owner takes the dialog with it only as far as a dialog
    // frame's width (3 pixels) inside the screen.
    desktop.PressCloseBox(Dialog);
    desktop.Input(process, [] { (void)MoveWindow(Owner, 1000, 700, 300, 200, FALSE); });
    OpenDialog();
    RECT dialog = desktop.Window(Dialog)->rect;
    EXPECT_EQ(1024 - 3, dialog.right);
    EXPECT_EQ(768 - 3, dialog.bottom);
}

TEST_F(SimInput, EnterPressesTheFocusedPushButtonOnceTabHasMadeItTheDefault)
{
    OpenDialog();
    desktop.PressTab(Dialog); // from the edit field to OK
    desktop.PressTab(Dialog); // to the plain push button
    EXPECT_EQ(GetDlgItem(Dialog, IDC_PROBE_OTHER), desktop.Focus());
    desktop.PressEnter(Dialog);
    EXPECT_EQ(IDC_PROBE_OTHER, Result);

    // The dialog itself putting the focus on the button does not make it the default.
    FocusOtherInInit = true;
    OpenDialog();
    EXPECT_EQ(GetDlgItem(Dialog, IDC_PROBE_OTHER), desktop.Focus());
    desktop.PressEnter(Dialog);
    EXPECT_EQ(IDOK, Result);
}

TEST_F(SimInput, AMenuOpenedInsideAMenuIsTheOneChosenFromAndItsEndEndsTheOuterOne)
{
    BOOL outer = -1, inner = -1;
    auto track = [](int first, BOOL *result) {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, first, "&One");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, first + 1, "&Two");
        *result = TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, Owner, nullptr);
        DestroyMenu(menu);
    };
    desktop.Input(process, [&] { track(100, &outer); });
    desktop.Input(process, [&] { track(200, &inner); });
    ASSERT_TRUE(desktop.OpenMenu());
    EXPECT_EQ(200, desktop.OpenMenu()->items[0].id);
    EXPECT_EQ(2, desktop.OpenMenus());
    desktop.ChooseMenu(201);
    EXPECT_EQ(201, inner);
    EXPECT_EQ(0, outer);
    EXPECT_FALSE(desktop.OpenMenu());
    EXPECT_EQ(0, desktop.OpenMenus()) << "both destroyed";
}

TEST_F(SimInput, GetMessageAndPeekMessageHonourTheirWindowAndRangeFilters)
{
    std::vector<std::string> got;
    desktop.Input(process, [&] {
        PostMessageA(Owner, WM_TEST, 1, 0);
        PostMessageA(Other, WM_TEST, 2, 0);
        PostMessageA(Owner, WM_TEST + 1, 3, 0);
        MSG msg;
        GetMessageA(&msg, Other, 0, 0);
        got.push_back(std::to_string(msg.wParam));
        PeekMessageA(&msg, nullptr, WM_TEST + 1, WM_TEST + 1, PM_REMOVE);
        got.push_back(std::to_string(msg.wParam));
        got.push_back(PeekMessageA(&msg, Other, 0, 0, PM_REMOVE) ? "more" : "none for other");
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        got.push_back(std::to_string(msg.wParam));
    });
    EXPECT_EQ((std::vector<std::string>{"2", "3", "none for other", "1"}), got);
    EXPECT_TRUE(Log.empty());
}

TEST_F(SimInput, ALoopWaitingForOneKindOfMessageSleepsWhileOthersQueueAndTimersFallDue)
{
    WPARAM got = 0;
    desktop.Input(process, [&got] {
        SetTimer(Owner, 7, 1000, nullptr);
        PostMessageA(Other, WM_TEST, 1, 0);
        MSG msg;
        GetMessageA(&msg, Owner, WM_TEST, WM_TEST);
        got = msg.wParam;
    });
    // Neither the other window's message nor the timer wakes the waiting loop.
    desktop.Advance(5000);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(sim::ToMillis({2026, 12, 8, 10, 0, 5}), desktop.Now());
    desktop.Post(Owner, WM_TEST, 2, 0);
    EXPECT_EQ(2u, got);
    // Back in the program's loop: the queued message, then one tick for the five seconds.
    EXPECT_EQ((std::vector<std::string>{"other 1", "timer 7"}), Log);
}

TEST_F(SimInput, TheClockNeverRunsBackWhenAHandlerHeldItPastTheTarget)
{
    desktop.Input(process, [] { SetTimer(Owner, 3, 500, nullptr); });
    const sim::Millis start = desktop.Now();
    desktop.Advance(1000); // the tick at 0.5 s sleeps 3 s
    EXPECT_EQ(start + 3500, desktop.Now());
    // One pending tick came of the 3 s, handled at once.
    EXPECT_EQ((std::vector<std::string>{"timer 3", "timer 3"}), Log);
    desktop.Advance(100);
    EXPECT_EQ(start + 3600, desktop.Now());
}

TEST_F(SimInput, MessagesCarryTheTimeAndTheCursorPositionOfTheirPosting)
{
    DWORD postedAt = 0, time = 0, pos = 0;
    MSG got{};
    desktop.Input(process, [&] {
        SetCursorPos(10, 20);
        postedAt = GetTickCount();
        PostMessageA(Owner, WM_TEST, 1, 0);
        SetCursorPos(30, 40);
        Sleep(250);
        PeekMessageA(&got, Owner, WM_TEST, WM_TEST, PM_REMOVE);
        time = GetMessageTime();
        pos = GetMessagePos();
    });
    EXPECT_NE(0u, postedAt);
    EXPECT_EQ(postedAt, got.time);
    EXPECT_EQ(got.time, time);
    EXPECT_EQ(10, got.pt.x);
    EXPECT_EQ(20, got.pt.y);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(10, 20)), pos);
}

TEST_F(SimInput, TheTraysReportsAreSentAheadOfPostedMessagesAndNotThroughTheLoop)
{
    desktop.Input(process, [] {
        NOTIFYICONDATAA data{};
        data.cbSize = sizeof data;
        data.hWnd = Owner;
        data.uID = 1;
        data.uFlags = NIF_MESSAGE;
        data.uCallbackMessage = WM_USER + 1;
        Shell_NotifyIconA(NIM_ADD, &data);
    });
    // A message already waiting in the queue when the user clicks the icon.
    desktop.state().processes[0]->posted.push_back(MSG{Owner, WM_TEST, 9, 0, 0, {}});
    desktop.RightClickTray();
    // The pointer moved onto the icon, then the button went down and up.
    EXPECT_EQ((std::vector<std::string>{"tray 512", "tray 516", "tray 517", "owner 9"}), Log);
    EXPECT_EQ(0u, desktop.Dispatched(Owner).count(WM_USER + 1));
}
