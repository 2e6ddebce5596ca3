// The simulated tool tip control, as the conformance probe measured it under Wine with the jelly
// window's use of it: a full-screen top-most owner relaying its mouse moves and right button
// messages, tools with TTF_CENTERTIP.
#include "platform/sim/desktop.h"
#include "tests/support/test_windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

HWND Owner = nullptr;
HWND Tip = nullptr;
std::vector<std::string> OwnerHeard;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN)
        OwnerHeard.push_back((message == WM_MOUSEMOVE ? "move " : "press ") +
                             std::to_string(LOWORD(lParam)) + "," + std::to_string(HIWORD(lParam)));
    if (message == WM_MOUSEMOVE || message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) {
        MSG relay{hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        DWORD position = GetMessagePos();
        relay.pt = POINT{LOWORD(position), HIWORD(position)};
        SendMessageA(Tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The owner and its control, which always shows tips unless the command line says "active".
int WINAPI TipProgram(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    InitCommonControls();
    zelmo_test::RegisterTestClass("Owner", OwnerProc, CS_DBLCLKS);
    Owner = CreateWindowExA(WS_EX_TOPMOST, "Owner", "", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr,
                            instance, nullptr);
    DWORD style = std::string(commandLine) == "active" ? 0 : TTS_ALWAYSTIP;
    Tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, Owner, nullptr, instance, nullptr);
    ShowWindow(Owner, SW_SHOW);
    return zelmo_test::RunMessageLoop();
}

// A jellyfish's tool: 20 x 20 inside its 32 x 32 square.
RECT ToolAt(int x, int y)
{
    return RECT{x + 4, y + 4, x + 24, y + 24};
}

class SimToolTip : public testing::Test
{
  protected:
    explicit SimToolTip(const std::string &commandLine = "") : desktop_(Options())
    {
        desktop_.SetCursorPos(1000, 740);
        process_ = desktop_.Start(TipProgram, "", commandLine);
        desktop_.Subscribe([this](const sim::Event &event) {
            if (event.kind.rfind("tooltip.", 0) == 0) events_.push_back(event.Json());
        });
    }

    static sim::Desktop::Options Options()
    {
        sim::Desktop::Options options;
        options.start = sim::LocalTime{2026, 12, 8, 10, 0, 0};
        return options;
    }

    void Run(std::function<void()> action) { desktop_.Input(process_, std::move(action)); }

    LRESULT Tool(UINT message, UINT_PTR id, RECT rect, const char *text, UINT flags = 0)
    {
        LRESULT result = 0;
        Run([&] {
            TOOLINFOA info{};
            info.cbSize = TTTOOLINFOA_V1_SIZE;
            info.uFlags = TTF_CENTERTIP | flags;
            info.hwnd = Owner;
            info.uId = id;
            info.rect = rect;
            info.lpszText = const_cast<LPSTR>(text);
            result = SendMessageA(Tip, message, id, reinterpret_cast<LPARAM>(&info));
        });
        return result;
    }

    std::string Shown() const
    {
        auto tip = desktop_.ShownToolTip();
        return tip ? tip->text : "";
    }

    sim::Desktop desktop_;
    int process_ = 0;
    std::vector<std::string> events_;
};

TEST_F(SimToolTip, TheToolsTextShowsAfterTheInitialDelayCentredBelowItsRectangle)
{
    ASSERT_EQ(TRUE, Tool(TTM_ADDTOOLA, 0, ToolAt(100, 200), "にゃむにゃむ"));
    ASSERT_EQ(TRUE, Tool(TTM_ADDTOOLA, 1, ToolAt(300, 200), "tool one"));
    desktop_.MovePointer(110, 210);
    desktop_.Advance(480);
    EXPECT_EQ("", Shown()) << "not before the initial delay";
    desktop_.Advance(40);
    ASSERT_EQ("にゃむにゃむ", Shown());
    RECT r = desktop_.ShownToolTip()->rect;
    EXPECT_EQ(225, r.top) << "one pixel below the tool, its border included";
    EXPECT_LE(std::abs((r.left + r.right) - (104 + 124)), 2);
    // Six wide characters of 12 pixels, the margins and the border.
    EXPECT_EQ(12 * 6 + 2 * 2 + 2, r.right - r.left);
    EXPECT_EQ(
        (std::vector<std::string>{R"({"time":"2026-12-08 10:00:00.500","event":"tooltip.show",)"
                                  R"("text":"にゃむにゃむ","rect":[75,225,78,18]})"}),
        events_);

    // Onto the other tool: this tip goes at once, the other's comes after the short delay.
    desktop_.MovePointer(310, 210);
    EXPECT_EQ("", Shown());
    desktop_.Advance(120);
    EXPECT_EQ("tool one", Shown());
}

TEST_F(SimToolTip, TheTipGoesOffTheToolOnARelayedButtonAndAfterFiveSeconds)
{
    Tool(TTM_ADDTOOLA, 0, ToolAt(100, 200), "zero");
    desktop_.MovePointer(110, 210);
    desktop_.Advance(600);
    ASSERT_EQ("zero", Shown());
    desktop_.MovePointer(200, 210);
    EXPECT_EQ("", Shown());
    desktop_.Advance(2000);
    EXPECT_EQ("", Shown()) << "off every tool nothing shows";

    desktop_.MovePointer(112, 212);
    desktop_.Advance(600);
    ASSERT_EQ("zero", Shown());
    desktop_.RightClick(112, 212);
    EXPECT_EQ("", Shown());
    desktop_.Advance(2000);
    EXPECT_EQ("", Shown()) << "back only after the next move";
    desktop_.MovePointer(113, 213);
    desktop_.Advance(600);
    ASSERT_EQ("zero", Shown());
    desktop_.Advance(5000);
    EXPECT_EQ("", Shown()) << "gone after five seconds";
}

TEST_F(SimToolTip, ChangingTheShownToolShowsItAgainAndDeletingAnyToolHidesTheTip)
{
    Tool(TTM_ADDTOOLA, 0, ToolAt(100, 200), "zero");
    Tool(TTM_ADDTOOLA, 1, ToolAt(300, 200), "one");
    desktop_.MovePointer(110, 210);
    desktop_.Advance(600);
    Tool(TTM_SETTOOLINFOA, 0, ToolAt(100, 200), "new text");
    EXPECT_EQ("new text", Shown());
    // Moved from under the pointer: the tip shows at the new place, until the pointer is looked
    // at again.
    Tool(TTM_SETTOOLINFOA, 0, ToolAt(400, 200), "moved");
    ASSERT_EQ("moved", Shown());
    EXPECT_EQ(225, desktop_.ShownToolTip()->rect.top);
    desktop_.Advance(100);
    EXPECT_EQ("", Shown());

    Tool(TTM_SETTOOLINFOA, 0, ToolAt(100, 200), "back");
    desktop_.MovePointer(111, 211);
    desktop_.Advance(600);
    ASSERT_EQ("back", Shown());
    Tool(TTM_DELTOOLA, 1, ToolAt(300, 200), "one");
    EXPECT_EQ("", Shown()) << "deleting another tool hides the tip too";
    EXPECT_EQ(1, desktop_.ToolTips().at(0).tools);
    Tool(TTM_DELTOOLA, 0, ToolAt(100, 200), "back");
    desktop_.MovePointer(112, 212);
    desktop_.Advance(2000);
    EXPECT_EQ("", Shown());
    EXPECT_EQ(0, desktop_.ToolTips().at(0).tools);
}

TEST_F(SimToolTip, AtTheBottomAndTheRightEdgeOfTheScreenTheTipStaysOnIt)
{
    Tool(TTM_ADDTOOLA, 0, ToolAt(600, 736), "bottom");
    Tool(TTM_ADDTOOLA, 1, ToolAt(992, 300), "a tip at the right edge");
    desktop_.MovePointer(610, 745);
    desktop_.Advance(600);
    ASSERT_EQ("bottom", Shown());
    EXPECT_EQ(740 - 1, desktop_.ShownToolTip()->rect.bottom) << "above the tool";
    desktop_.MovePointer(1000, 310);
    desktop_.Advance(200);
    ASSERT_EQ("a tip at the right edge", Shown());
    EXPECT_LE(desktop_.ShownToolTip()->rect.right, 1024);
    EXPECT_EQ(325, desktop_.ShownToolTip()->rect.top);
}

// A click on the shown tip: the move onto the tip sends it away and the press reaches the owner
// below; the tip of a TTF_TRANSPARENT tool lets the move through to the owner as well.
TEST_F(SimToolTip, AClickOnTheTipReachesTheOwnerAndATransparentTipLetsTheMoveThrough)
{
    for (UINT flags : {0u, static_cast<UINT>(TTF_TRANSPARENT)}) {
        SCOPED_TRACE(flags ? "transparent" : "plain");
        Tool(TTM_ADDTOOLA, 0, ToolAt(100, 200), "zero", flags);
        desktop_.MovePointer(110, 210);
        desktop_.Advance(600);
        ASSERT_EQ("zero", Shown());
        OwnerHeard.clear();
        desktop_.LeftClick(114, 228);
        EXPECT_EQ("", Shown());
        std::vector<std::string> heard(OwnerHeard.begin(), OwnerHeard.begin() + 2);
        if (flags)
            EXPECT_EQ((std::vector<std::string>{"move 114,228", "press 114,228"}), heard);
        else
            EXPECT_EQ("press 114,228", OwnerHeard.front());
        Tool(TTM_DELTOOLA, 0, ToolAt(100, 200), "zero", flags);
        desktop_.MovePointer(1000, 740);
    }
}

TEST_F(SimToolTip, ToolTipMessagesTheControlDoesNotSimulateFailLoudly)
{
    EXPECT_THROW(Run([] { SendMessageA(Tip, WM_USER + 32, 0, 0); }), sim::SimulationError);
}

class SimToolTipWhenActive : public SimToolTip
{
  protected:
    SimToolTipWhenActive() : SimToolTip("active") {}
};

TEST_F(SimToolTipWhenActive, WithoutTtsAlwaysTipNoTipShowsWhileTheOwnerIsInactive)
{
    Tool(TTM_ADDTOOLA, 0, ToolAt(100, 200), "zero");
    HWND front = nullptr;
    Run([&] {
        front = CreateWindowExA(0, "Owner", "", WS_POPUP, 600, 450, 200, 150, nullptr, nullptr,
                                nullptr, nullptr);
        ShowWindow(front, SW_SHOW);
    });
    desktop_.MovePointer(110, 210);
    desktop_.Advance(2000);
    EXPECT_EQ("", Shown());
    Run([] { SetForegroundWindow(Owner); });
    desktop_.MovePointer(111, 211);
    desktop_.Advance(600);
    EXPECT_EQ("zero", Shown());
}

} // namespace
