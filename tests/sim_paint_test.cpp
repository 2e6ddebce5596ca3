// The simulated desktop's painting, as the conformance probe measured it under Wine: WM_PAINT
// after ShowWindow and InvalidateRect and only once nothing else is queued, BeginPaint's update
// rectangle, clipping and erase flag, the class brush, FillRect and GetPixel, and a hidden
// window's lost picture.
#include "platform/sim/desktop.h"
#include "tests/support/test_windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

bool operator==(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void PrintTo(const RECT &r, std::ostream *out)
{
    *out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

namespace
{

std::vector<std::string> Log;
// What WM_PAINT fills the whole client area with, through BeginPaint's clipping; null leaves
// WM_PAINT to DefWindowProcA.
HBRUSH PaintBrush = nullptr;
PAINTSTRUCT LastPaint{};

LRESULT CALLBACK Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        Log.push_back("paint");
        if (!PaintBrush) break;
        HDC dc = BeginPaint(hwnd, &LastPaint);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, PaintBrush);
        EndPaint(hwnd, &LastPaint);
        return 0;
    }
    case WM_ERASEBKGND: {
        LRESULT erased = DefWindowProcA(hwnd, message, wParam, lParam);
        Log.push_back(erased ? "erase" : "erase nothing");
        return erased;
    }
    case WM_USER:
        Log.push_back("posted " + std::to_string(wParam));
        return 0;
    case WM_TIMER:
        Log.push_back("timer");
        KillTimer(hwnd, wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI PaintProgram(HINSTANCE, HINSTANCE, LPSTR, int)
{
    zelmo_test::RegisterTestClass("Painted", Recorder, 0,
                                  static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    zelmo_test::RegisterTestClass("Bare", Recorder);
    return zelmo_test::RunMessageLoop();
}

constexpr uint32_t White = 0xFFFFFF, Gray = 0x808080;

class SimPaint : public testing::Test
{
  protected:
    SimPaint() : desktop_(Options())
    {
        Log.clear();
        PaintBrush = nullptr;
        process_ = desktop_.Start(PaintProgram);
    }

    static sim::Desktop::Options Options()
    {
        sim::Desktop::Options options;
        options.start = sim::LocalTime{2026, 12, 8, 10, 0, 0};
        return options;
    }

    // Runs on the program's thread, then lets the program run until it is idle.
    void Run(std::function<void()> action) { desktop_.Input(process_, std::move(action)); }

    HWND Make(const char *className, DWORD style = WS_POPUP)
    {
        HWND made = nullptr;
        Run([&] {
            made = CreateWindowExA(0, className, "", style, 10, 10, 100, 80, nullptr, nullptr,
                                   nullptr, nullptr);
        });
        return made;
    }

    HWND Shown(const char *className)
    {
        HWND hwnd = Make(className);
        Run([hwnd] { ShowWindow(hwnd, SW_SHOW); });
        Log.clear();
        return hwnd;
    }

    // GetPixel through the window's own device context, as 0xRRGGBB or CLR_INVALID.
    COLORREF PixelThroughDc(HWND hwnd, int x, int y)
    {
        COLORREF color = 0;
        Run([&] {
            HDC dc = GetDC(hwnd);
            color = GetPixel(dc, x, y);
            ReleaseDC(hwnd, dc);
        });
        return color;
    }

    void Fill(HWND hwnd, RECT rect, HBRUSH brush)
    {
        Run([=] {
            HDC dc = GetDC(hwnd);
            FillRect(dc, &rect, brush);
            ReleaseDC(hwnd, dc);
        });
    }

    sim::Desktop desktop_;
    int process_ = 0;
};

TEST_F(SimPaint, AShownWindowIsErasedAtOnceAndPaintedOnlyWhenNothingElseIsQueued)
{
    HWND hwnd = Make("Painted");
    Run([hwnd] {
        ShowWindow(hwnd, SW_SHOW);
        Log.push_back("shown");
        SetTimer(hwnd, 1, 10, nullptr);
        PostMessageA(hwnd, WM_USER, 1, 0);
        PostMessageA(hwnd, WM_USER, 2, 0);
        Sleep(50);
    });
    // The default paint validates: one paint only.
    EXPECT_EQ(
        (std::vector<std::string>{"erase", "shown", "posted 1", "posted 2", "paint", "timer"}),
        Log);
    EXPECT_EQ(White, desktop_.Pixel(hwnd, 50, 40));
    EXPECT_EQ(1, desktop_.Dispatched(hwnd)[WM_PAINT]);
}

TEST_F(SimPaint, InvalidatedRectanglesArePaintedTogetherClippedToThemWithTheEraseOneAskedFor)
{
    HWND hwnd = Shown("Painted");
    PaintBrush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RECT update{};
    BOOL pending = FALSE;
    Run([&] {
        RECT a{10, 20, 30, 40}, b{50, 60, 70, 80}, beyond{90, 70, 300, 300};
        InvalidateRect(hwnd, &a, FALSE);
        InvalidateRect(hwnd, &b, TRUE);
        InvalidateRect(hwnd, &beyond, FALSE);
        pending = GetUpdateRect(hwnd, &update, FALSE);
        UpdateWindow(hwnd);
        Log.push_back("updated");
    });
    EXPECT_TRUE(pending);
    EXPECT_EQ((RECT{10, 20, 100, 80}), update);
    // Painted inside UpdateWindow, and erased by BeginPaint.
    EXPECT_EQ((std::vector<std::string>{"paint", "erase", "updated"}), Log);
    EXPECT_EQ((RECT{10, 20, 100, 80}), LastPaint.rcPaint);
    EXPECT_FALSE(LastPaint.fErase);
    // The fill of the whole client area reached only the update region.
    EXPECT_EQ(Gray, desktop_.Pixel(hwnd, 15, 25));
    EXPECT_EQ(Gray, desktop_.Pixel(hwnd, 95, 75));
    EXPECT_EQ(White, desktop_.Pixel(hwnd, 40, 50));
    EXPECT_EQ(White, desktop_.Pixel(hwnd, 5, 5));
}

TEST_F(SimPaint, WithoutAClassBrushNothingIsErasedAndBeginPaintSaysSo)
{
    HWND hwnd = Make("Bare");
    PaintBrush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    Run([hwnd] { ShowWindow(hwnd, SW_SHOW); });
    EXPECT_EQ((std::vector<std::string>{"erase nothing", "paint"}), Log);
    EXPECT_TRUE(LastPaint.fErase);
    EXPECT_EQ((RECT{0, 0, 100, 80}), LastPaint.rcPaint);

    Log.clear();
    Run([hwnd] {
        RECT r{0, 0, 10, 10};
        InvalidateRect(hwnd, &r, FALSE);
        ValidateRect(hwnd, nullptr);
    });
    EXPECT_TRUE(Log.empty()) << "a validated window is not painted";
}

TEST_F(SimPaint, AHiddenWindowLosesItsPictureDrawsNothingAndIsBlackWhenShownUntilPainted)
{
    HWND hwnd = Shown("Bare");
    HBRUSH red = nullptr;
    Run([&] { red = CreateSolidBrush(RGB(255, 0, 0)); });
    Fill(hwnd, RECT{10, 10, 20, 20}, red);
    EXPECT_EQ(RGB(255, 0, 0), PixelThroughDc(hwnd, 15, 15));

    Run([hwnd] { ShowWindow(hwnd, SW_HIDE); });
    EXPECT_EQ(CLR_INVALID, PixelThroughDc(hwnd, 15, 15));
    Fill(hwnd, RECT{0, 0, 100, 80}, red);
    EXPECT_EQ(0u, desktop_.Pixel(hwnd, 50, 50));
    Run([hwnd] {
        RECT r{0, 0, 10, 10};
        InvalidateRect(hwnd, &r, TRUE);
    });
    EXPECT_TRUE(Log.empty()) << "a hidden window has nothing to paint";

    Run([hwnd] { ShowWindow(hwnd, SW_SHOW); });
    // Nothing erased it and its painter paints nothing.
    EXPECT_EQ(0u, desktop_.Pixel(hwnd, 15, 15));
    Run([red] { DeleteObject(red); });
    EXPECT_EQ(0, desktop_.OpenBrushes());
    EXPECT_EQ(0, desktop_.OpenDeviceContexts());
}

TEST_F(SimPaint, FillRectLeavesOutRightAndBottomIsClippedAndTakesUpsideDownRectangles)
{
    HWND hwnd = Shown("Painted");
    auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    Fill(hwnd, RECT{10, 10, 20, 20}, black);
    EXPECT_EQ(0u, desktop_.Pixel(hwnd, 10, 10));
    EXPECT_EQ(0u, desktop_.Pixel(hwnd, 19, 19));
    EXPECT_EQ(White, desktop_.Pixel(hwnd, 20, 19));
    EXPECT_EQ(White, desktop_.Pixel(hwnd, 19, 20));
    Fill(hwnd, RECT{-5, -5, 5, 5}, black);
    Fill(hwnd, RECT{95, 75, 300, 300}, black);
    EXPECT_EQ(0u, desktop_.Pixel(hwnd, 0, 0));
    EXPECT_EQ(0u, desktop_.Pixel(hwnd, 99, 79));
    Fill(hwnd, RECT{40, 40, 30, 30}, black);
    EXPECT_EQ(0u, desktop_.Pixel(hwnd, 35, 35));
    EXPECT_EQ(CLR_INVALID, PixelThroughDc(hwnd, 100, 80));
    EXPECT_EQ(RGB(0, 0, 0), PixelThroughDc(hwnd, 35, 35));
    EXPECT_EQ(RGB(255, 255, 255), PixelThroughDc(hwnd, 50, 50));
    // The null brush paints nothing.
    Fill(hwnd, RECT{50, 50, 60, 60}, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(White, desktop_.Pixel(hwnd, 55, 55));
}

TEST_F(SimPaint, TheClientAreaLeavesOutBorderFrameAndCaption)
{
    RECT popup{}, bordered{}, captioned{};
    HWND a = Make("Painted");
    HWND b = Make("Painted", WS_POPUP | WS_BORDER);
    HWND c = Make("Painted", WS_OVERLAPPEDWINDOW);
    Run([&] {
        GetClientRect(a, &popup);
        GetClientRect(b, &bordered);
        GetClientRect(c, &captioned);
    });
    EXPECT_EQ((RECT{0, 0, 100, 80}), popup);
    EXPECT_EQ((RECT{0, 0, 98, 78}), bordered);
    EXPECT_EQ((RECT{0, 0, 94, 55}), captioned);
}

} // namespace
