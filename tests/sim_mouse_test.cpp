// The simulated mouse, as the conformance probe measured it under Wine: input at a screen point
// reaches the window under it (top-most windows first, hidden ones not, a disabled one only with
// WM_SETCURSOR), in client coordinates, each message after WM_SETCURSOR; double clicks; the
// pointer's shape; the time and place of messages; the move a window gets for appearing under
// the resting pointer.
#include "platform/sim/desktop.h"
#include "tests/support/test_windows.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

std::vector<std::string> Log;
std::vector<sim::Event> Events;

std::string Name(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
        return "move";
    case WM_LBUTTONDOWN:
        return "ldown";
    case WM_LBUTTONUP:
        return "lup";
    case WM_LBUTTONDBLCLK:
        return "ldbl";
    case WM_RBUTTONDOWN:
        return "rdown";
    case WM_RBUTTONUP:
        return "rup";
    case WM_RBUTTONDBLCLK:
        return "rdbl";
    default:
        return std::to_string(message);
    }
}

std::string Who(HWND hwnd)
{
    char title[32] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    return title;
}

LRESULT CALLBACK Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK) {
        Log.push_back(Who(hwnd) + " " + Name(message) + " " +
                      std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
                      std::to_string(static_cast<short>(HIWORD(lParam))) + " keys " +
                      std::to_string(wParam));
        return 0;
    }
    if (message == WM_SETCURSOR) {
        Log.push_back(Who(hwnd) + " setcursor " +
                      std::to_string(static_cast<short>(LOWORD(lParam))) + " " +
                      Name(HIWORD(lParam)));
    }
    if (message == WM_USER) {
        DWORD position = GetMessagePos();
        Log.push_back("posted, read at " + std::to_string(GetMessageTime()) + " " +
                      std::to_string(LOWORD(position)) + "," + std::to_string(HIWORD(position)));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI MouseProgram(HINSTANCE, HINSTANCE, LPSTR, int)
{
    zelmo_test::RegisterTestClass("Plain", Recorder, 0, nullptr, LoadCursorA(nullptr, IDC_ARROW));
    zelmo_test::RegisterTestClass("Double", Recorder, CS_DBLCLKS);
    return zelmo_test::RunMessageLoop();
}

class SimMouse : public testing::Test
{
  protected:
    SimMouse() : desktop_(Options())
    {
        Log.clear();
        Events.clear();
        desktop_.SetCursorPos(1000, 740);
        process_ = desktop_.Start(MouseProgram);
        desktop_.Subscribe([](const sim::Event &event) { Events.push_back(event); });
    }

    static sim::Desktop::Options Options()
    {
        sim::Desktop::Options options;
        options.start = sim::LocalTime{2026, 12, 8, 10, 0, 0};
        return options;
    }

    void Run(std::function<void()> action) { desktop_.Input(process_, std::move(action)); }

    // A window shown at the place given; top-most ones are made first, so that only the bands
    // keep them above the others.
    HWND Window(const char *title, const char *className, RECT r, DWORD exStyle = 0)
    {
        HWND made = nullptr;
        Run([&] {
            made = CreateWindowExA(exStyle, className, title, WS_POPUP, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr,
                                   nullptr);
            ShowWindow(made, SW_SHOW);
        });
        Log.clear();
        return made;
    }

    std::vector<std::string> EventKinds(const std::string &kind) const
    {
        std::vector<std::string> found;
        for (const sim::Event &event : Events)
            if (event.kind == kind) found.push_back(event.Json());
        return found;
    }

    sim::Desktop desktop_;
    int process_ = 0;
};

TEST_F(SimMouse, InputGoesToTheTopMostWindowUnderThePointInClientCoordinates)
{
    HWND top = Window("top", "Double", RECT{0, 0, 1024, 768}, WS_EX_TOPMOST);
    HWND under = Window("under", "Plain", RECT{100, 100, 300, 250});
    desktop_.LeftClick(150, 150);
    EXPECT_EQ((std::vector<std::string>{"top setcursor 1 move", "top move 150,150 keys 0",
                                        "top setcursor 1 ldown", "top ldown 150,150 keys 1",
                                        "top setcursor 1 lup", "top lup 150,150 keys 0"}),
              Log);
    EXPECT_EQ(top, desktop_.Foreground()) << "a press activates the window";

    // Hidden, the top window lets the pointer through: the window now under it gets a move.
    Log.clear();
    Run([top] { ShowWindow(top, SW_HIDE); });
    desktop_.RightClick(160, 170);
    EXPECT_EQ((std::vector<std::string>{"under setcursor 1 move", "under move 50,50 keys 0",
                                        "under setcursor 1 move", "under move 60,70 keys 0",
                                        "under setcursor 1 rdown", "under rdown 60,70 keys 2",
                                        "under setcursor 1 rup", "under rup 60,70 keys 0"}),
              Log);
    EXPECT_EQ(under, desktop_.Foreground());

    // Nothing is under the point: nobody hears of it.
    Log.clear();
    desktop_.LeftClick(20, 20);
    EXPECT_TRUE(Log.empty());
}

TEST_F(SimMouse, ADisabledWindowGetsOnlySetCursorWithHtErrorAndTheInputIsLoggedAsIgnored)
{
    HWND hwnd = Window("off", "Plain", RECT{100, 100, 300, 250});
    Run([hwnd] { EnableWindow(hwnd, FALSE); });
    desktop_.LeftClick(170, 170);
    EXPECT_EQ((std::vector<std::string>{"off setcursor -2 move", "off setcursor -2 ldown",
                                        "off setcursor -2 lup"}),
              Log);
    EXPECT_EQ(3u, EventKinds("input.ignored").size());
    EXPECT_EQ(1u, EventKinds("messagebeep").size()) << "the press, not the move or the release";
}

TEST_F(SimMouse, AWindowUnderAMessageBoxIgnoresClicksUntilTheBoxIsAnswered)
{
    HWND owner = Window("owner", "Plain", RECT{100, 100, 300, 250});
    int answer = 0;
    Run([&] { answer = MessageBoxA(owner, "Sure?", "Question", MB_OK); });
    ASSERT_EQ(1u, desktop_.OpenMessageBoxes().size());
    // The box's own loop reads the click; the disabled owner only sets the pointer.
    desktop_.LeftClick(120, 120);
    EXPECT_EQ((std::vector<std::string>{"owner setcursor -2 move", "owner setcursor -2 ldown",
                                        "owner setcursor -2 lup"}),
              Log);
    EXPECT_EQ(3u, EventKinds("input.ignored").size());
    EXPECT_EQ(1u, desktop_.OpenMessageBoxes().size()) << "a click beside the box leaves it open";

    desktop_.AnswerMessageBox(IDOK);
    EXPECT_EQ(IDOK, answer);
    Log.clear();
    desktop_.LeftClick(130, 120);
    EXPECT_EQ((std::vector<std::string>{"owner setcursor 1 move", "owner move 30,20 keys 0",
                                        "owner setcursor 1 ldown", "owner ldown 30,20 keys 1",
                                        "owner setcursor 1 lup", "owner lup 30,20 keys 0"}),
              Log);
    EXPECT_EQ(3u, EventKinds("input.ignored").size());
}

TEST_F(SimMouse, APressIsADoubleClickOnlyWithCsDblClksCloseInTimeAndPlace)
{
    Window("plain", "Plain", RECT{100, 100, 300, 250});
    Window("double", "Double", RECT{400, 100, 600, 250});
    auto presses = [] {
        std::vector<std::string> found;
        for (const std::string &line : Log)
            if (line.find("setcursor") == std::string::npos &&
                (line.find("down") != std::string::npos || line.find("dbl") != std::string::npos))
                found.push_back(line.substr(0, line.find(' ', line.find(' ') + 1)));
        Log.clear();
        return found;
    };
    desktop_.DoubleClick(150, 150);
    EXPECT_EQ((std::vector<std::string>{"plain ldown", "plain ldown"}), presses());
    desktop_.DoubleClick(450, 150);
    desktop_.LeftClick(450, 150);
    EXPECT_EQ((std::vector<std::string>{"double ldown", "double ldbl", "double ldown"}), presses());
    desktop_.RightClick(470, 150);
    desktop_.RightClick(470, 150);
    EXPECT_EQ((std::vector<std::string>{"double rdown", "double rdbl"}), presses());
    desktop_.LeftClick(480, 150);
    desktop_.Advance(500);
    desktop_.LeftClick(480, 150);
    desktop_.LeftClick(482, 150);
    EXPECT_EQ((std::vector<std::string>{"double ldown", "double ldown", "double ldown"}),
              presses());
}

TEST_F(SimMouse, TheClassCursorIsSetAndWithoutOneTheShapeTheProgramSetStays)
{
    Window("plain", "Plain", RECT{100, 100, 300, 250});
    Window("double", "Double", RECT{400, 100, 600, 250});
    EXPECT_EQ("", desktop_.PointerShape());
    desktop_.MovePointer(150, 150);
    EXPECT_EQ("arrow", desktop_.PointerShape());
    Run([] { SetCursor(LoadCursorA(nullptr, IDC_CROSS)); });
    desktop_.MovePointer(450, 150);
    EXPECT_EQ("cross", desktop_.PointerShape());
    desktop_.MovePointer(150, 150);
    EXPECT_EQ("arrow", desktop_.PointerShape());
    EXPECT_EQ(3u, EventKinds("pointer").size());
    HCURSOR mine = nullptr;
    Run([&] { mine = LoadCursorA(reinterpret_cast<HINSTANCE>(0x400000), "MINE"); });
    EXPECT_EQ(nullptr, mine) << "the program has no cursor resources";
}

TEST_F(SimMouse, MessagesCarryTheTimeAndPlaceTheyWereMadeOrRead)
{
    HWND hwnd = Window("plain", "Plain", RECT{100, 100, 300, 250});
    desktop_.Advance(2000);
    desktop_.MovePointer(130, 140);
    DWORD moved = 0, movedAt = 0;
    Run([&] {
        moved = static_cast<DWORD>(GetMessageTime());
        movedAt = GetMessagePos();
        PostMessageA(hwnd, WM_USER, 0, 0);
    });
    // The tick count runs from an hour before the desktop's start.
    EXPECT_EQ(3600u * 1000 + 2000, moved);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(130, 140)), movedAt);
    EXPECT_EQ("posted, read at 3602000 130,140", Log.back());
    DWORD ticks = 0;
    Run([&] { ticks = GetTickCount(); });
    EXPECT_EQ(3602000u, ticks);
}

TEST_F(SimMouse, MovesNotYetReadAreMergedAndAWindowAppearingUnderThePointerGetsOne)
{
    HWND hwnd = nullptr;
    Run([&] {
        hwnd = CreateWindowExA(0, "Plain", "late", WS_POPUP, 900, 700, 200, 100, nullptr, nullptr,
                               nullptr, nullptr);
        ShowWindow(hwnd, SW_SHOW);
    });
    EXPECT_EQ((std::vector<std::string>{"late setcursor 1 move", "late move 100,40 keys 0"}), Log);
    Log.clear();
    Run([] {
        SetCursorPos(910, 710);
        SetCursorPos(920, 720);
    });
    EXPECT_EQ((std::vector<std::string>{"late setcursor 1 move", "late move 20,20 keys 0"}), Log);
    Log.clear();
    // Moved away from under the pointer, it hears nothing more.
    Run([hwnd] { MoveWindow(hwnd, 0, 0, 100, 100, FALSE); });
    EXPECT_TRUE(Log.empty());
}

TEST_F(SimMouse, SendInputPlacesAbsoluteCoordinatesInSixtyFiveThousandthsOfTheScreen)
{
    Window("plain", "Plain", RECT{100, 100, 300, 250});
    UINT sent = 0;
    Run([&] {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = (200 * 65536 + 32768) / 1024;
        input.mi.dy = (150 * 65536 + 32768) / 768;
        sent = SendInput(1, &input, sizeof input);
    });
    EXPECT_EQ(1u, sent);
    EXPECT_EQ((std::vector<std::string>{"plain setcursor 1 move", "plain move 100,50 keys 0"}),
              Log);
    EXPECT_EQ(200, desktop_.CursorPos().x);
}

} // namespace
