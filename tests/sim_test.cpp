// The simulated desktop itself: the Windows behaviour the program relies on.
#include "platform/sim/desktop.h"
#include "platform/sim/internal.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace
{

std::vector<std::string> Log;
HWND Owner = nullptr;
HWND Owned = nullptr;
HWND Peer = nullptr; // another program's window that hears of timer 3's ticks

LRESULT CALLBACK Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        Log.push_back("create");
        return 0;
    case WM_TIMER:
        Log.push_back("timer " + std::to_string(wParam));
        // A slow handler: Windows keeps one pending tick per timer, never a burst.
        if (wParam == 2 && Log.size() == 1) Sleep(3500);
        if (wParam == 4) PostMessageA(hwnd, WM_USER + 1, 0, 0);
        if (wParam == 3 && Peer) PostMessageA(Peer, WM_USER + 2, GetTickCount(), 0);
        return 0;
    case WM_USER:
        Log.push_back("user " + std::to_string(wParam));
        return 0;
    case WM_USER + 1: // a program that keeps itself busy for ever
        PostMessageA(hwnd, WM_USER + 1, 0, 0);
        return 0;
    case WM_USER + 2:
        Log.push_back("news after " + std::to_string(GetTickCount() - wParam) + " ms");
        return 0;
    case WM_DESTROY:
        Log.push_back(hwnd == Owner ? "destroy owner" : "destroy owned");
        if (hwnd == Owner) PostQuitMessage(7);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int WINAPI TestProgram(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = Recorder;
    wc.hInstance = instance;
    wc.lpszClassName = "Recorder";
    RegisterClassA(&wc);
    Owner = CreateWindowExA(0, "recorder", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            instance, nullptr);
    Owned = CreateWindowExA(0, "RECORDER", "owned", WS_POPUP, 0, 0, 10, 10, Owner, nullptr,
                            instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0))
        DispatchMessageA(&msg);
    return static_cast<int>(msg.wParam);
}

sim::Desktop::Options StartAt(sim::LocalTime time)
{
    sim::Desktop::Options options;
    options.start = time;
    return options;
}

} // namespace

TEST(SimDesktop, CreationIsHandledBeforeCreateReturnsAndTimersTickOnTheVirtualClock)
{
    Log.clear();
    sim::Desktop desktop(StartAt({2026, 12, 8, 10, 0, 0}));
    int process = desktop.Start(TestProgram);
    EXPECT_EQ((std::vector<std::string>{"create", "create"}), Log);
    Log.clear();
    desktop.Input(process, [] { SetTimer(Owner, 1, 1000, nullptr); });
    desktop.Advance(3500);
    EXPECT_EQ((std::vector<std::string>{"timer 1", "timer 1", "timer 1"}), Log);
    EXPECT_EQ(sim::ToMillis({2026, 12, 8, 10, 0, 3, 500}), desktop.Now());
}

TEST(SimDesktop, ASlowHandlerGetsOnePendingTickNotABurst)
{
    Log.clear();
    sim::Desktop desktop(StartAt({2026, 12, 8, 10, 0, 0}));
    int process = desktop.Start(TestProgram);
    Log.clear();
    desktop.Input(process, [] { SetTimer(Owner, 2, 1000, nullptr); });
    desktop.Advance(10 * 1000);
    // The first tick takes 3.5 s: the ticks due at 2, 3 and 4 make one, at 4.5.
    EXPECT_EQ(8u, Log.size());
}

TEST(SimDesktop, DestroyingTheOwnerDestroysOwnedWindowsFirstAndDropsTheirMessages)
{
    Log.clear();
    sim::Desktop desktop;
    int process = desktop.Start(TestProgram);
    Log.clear();
    desktop.Input(process, [] {
        SetTimer(Owner, 1, 1000, nullptr);
        SetTimer(Owned, 1, 1000, nullptr);
        SetTimer(Owned, 2, 1000, nullptr);
    });
    EXPECT_EQ(3, desktop.ActiveTimers());
    desktop.Input(process, [] {
        KillTimer(Owned, 2);
        PostMessageA(Owned, WM_USER, 1, 0);
        PostMessageA(Owner, WM_USER, 2, 0);
        DestroyWindow(Owner);
    });
    EXPECT_EQ((std::vector<std::string>{"destroy owned", "destroy owner"}), Log);
    EXPECT_EQ(0, desktop.ActiveTimers()) << "a window's timers go with it";
    EXPECT_EQ(7, desktop.ExitCode(process).value_or(-1));
}

TEST(SimDesktop, TimersOfAProgramThatHasEndedDoNotHoldTheClock)
{
    sim::Desktop desktop(StartAt({2026, 12, 8, 10, 0, 0}));
    int process = desktop.Start(TestProgram);
    // The program returns from WinMain with its window and the window's timer still there.
    desktop.Input(process, [] {
        SetTimer(Owner, 1, 1000, nullptr);
        PostQuitMessage(3);
    });
    ASSERT_EQ(3, desktop.ExitCode(process).value_or(-1));
    desktop.Advance(5000);
    EXPECT_EQ(sim::ToMillis({2026, 12, 8, 10, 0, 5}), desktop.Now());
}

TEST(SimDesktop, TwoProgramsTakeTurnsInTimeAndOneThatEndsLeavesTheOtherTicking)
{
    Log.clear();
    sim::Desktop desktop(StartAt({2026, 12, 8, 10, 0, 0}));
    int first = desktop.Start(TestProgram);
    HWND firstOwner = Owner;
    int second = desktop.Start(TestProgram);
    Peer = Owner;
    desktop.Input(first, [firstOwner] { SetTimer(firstOwner, 3, 300, nullptr); });
    desktop.Input(second, [] { SetTimer(Owner, 5, 500, nullptr); });
    Log.clear();
    desktop.Advance(1500);
    // The second program hears of each tick of the first at once; at 1.5 s both are due and the
    // programs run in the order they were started.
    const std::string tick3 = "timer 3", news = "news after 0 ms", tick5 = "timer 5";
    EXPECT_EQ((std::vector<std::string>{tick3, news, tick5, tick3, news, tick3, news, tick5, tick3,
                                        news, tick3, news, tick5}),
              Log);
    desktop.Input(first, [] { PostQuitMessage(0); });
    Log.clear();
    desktop.Advance(1000);
    EXPECT_EQ((std::vector<std::string>{tick5, tick5}), Log);
    EXPECT_EQ(sim::ToMillis({2026, 12, 8, 10, 0, 2, 500}), desktop.Now());
    EXPECT_TRUE(desktop.Running(second));
    Peer = nullptr;
}

TEST(SimDesktop, AProgramThatNeverBecomesIdleFailsTheCallerWithATime)
{
    sim::Desktop desktop(StartAt({2026, 12, 8, 10, 0, 0}));
    int process = desktop.Start(TestProgram);
    // A tick at 10:00:02 starts a message that posts itself again for ever.
    desktop.Input(process, [] { SetTimer(Owner, 4, 2000, nullptr); });
    try {
        desktop.Advance(5000);
        FAIL() << "the busy program was not noticed";
    } catch (const sim::SimulationError &error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("2026-12-08 10:00:02.000"))
            << error.what();
    }
}

TEST(SimDesktop, FindWindowMatchesClassIgnoringCaseAndTitleExactly)
{
    sim::Desktop desktop;
    desktop.Start(TestProgram);
    EXPECT_EQ(Owner, desktop.FindWindow("RECORDER", "owner"));
    EXPECT_EQ(nullptr, desktop.FindWindow("Recorder", "Owner"));
    EXPECT_EQ(nullptr, desktop.FindWindow("Other", "owner"));
}

TEST(SimText, WsprintfAFormatsAsUser32DoesAndRefusesWhatItDoesNotSimulate)
{
    char buffer[1100];
    EXPECT_EQ(11, wsprintfA(buffer, "jelly%02d.wav", 4));
    EXPECT_STREQ("jelly04.wav", buffer);
    wsprintfA(buffer, "%s%02d.wav|%02d|%04d|%-3d|%.2s|%x", "bird", 123, -5, -33, 7, "abc", 255);
    EXPECT_STREQ("bird123.wav|-5|-033|7  |ab|ff", buffer);
    // The buffer holds 1024 characters with the terminator; output that fills it is answered
    // 1024.
    buffer[1023] = buffer[1024] = 'x';
    EXPECT_EQ(1024, wsprintfA(buffer, "%s%s", std::string(1000, 'a').c_str(),
                              std::string(100, 'b').c_str()));
    EXPECT_EQ('\0', buffer[1023]);
    EXPECT_EQ('x', buffer[1024]) << "nothing is written beyond the buffer";
    EXPECT_EQ(1022, wsprintfA(buffer, "%s", std::string(1022, 'c').c_str()));
    EXPECT_EQ(1024, wsprintfA(buffer, "%s", std::string(1023, 'c').c_str()));
    EXPECT_THROW(wsprintfA(buffer, "%5.1f", 1.0), sim::SimulationError);
}

TEST(SimFiles, PathsIgnoreCaseAndSearchesMatchWildcards)
{
    sim::Desktop desktop;
    desktop.WriteFile("C:\\ZelmoSound\\Bird00.WAV", "x");
    desktop.WriteFile("C:\\ZelmoSound\\bird01.wav", "xy");
    desktop.WriteFile("C:\\ZelmoSound\\birds.txt", "z");
    EXPECT_EQ("x", desktop.ReadFile("c:/zelmosound/BIRD00.wav").value_or(""));
    EXPECT_TRUE(sim::WildcardMatch("bird*.wav", "BIRD_old.WAV"));
    EXPECT_FALSE(sim::WildcardMatch("bird*.wav", "birds.txt"));
    EXPECT_TRUE(sim::WildcardMatch("*", ""));
    EXPECT_FALSE(sim::WildcardMatch("a?c", "ac"));

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("C:\\zelmosound\\BIRD*.wav", &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    std::vector<std::string> names{data.cFileName};
    while (FindNextFileA(find, &data))
        names.push_back(data.cFileName);
    EXPECT_EQ((std::vector<std::string>{"Bird00.WAV", "bird01.wav"}), names);
    EXPECT_EQ(1, desktop.OpenHandles());
    EXPECT_EQ(1, desktop.OpenSearches());
    HANDLE file = CreateFileA("C:\\ZelmoSound\\birds.txt", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(1, desktop.OpenFiles());
    EXPECT_EQ(2, desktop.OpenHandles());
    CloseHandle(file);
    FindClose(find);
    EXPECT_EQ(0, desktop.OpenHandles());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("C:\\ZelmoSound\\drop*.wav", &data));
}

TEST(SimFiles, ReplacingAFileIsRefusedInAReadOnlyFolderAndWhileItIsOpen)
{
    sim::Desktop desktop;
    desktop.WriteFile("C:\\ZelmoSound\\a.txt", "old");
    desktop.WriteFile("C:\\ZelmoSound\\b.txt", "new");
    HANDLE open = CreateFileA("C:\\ZelmoSound\\a.txt", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(
        MoveFileExA("C:\\ZelmoSound\\b.txt", "C:\\ZelmoSound\\a.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(DeleteFileA("C:\\ZelmoSound\\a.txt"));
    CloseHandle(open);
    desktop.Faults().readOnlyFolders.push_back("c:\\zelmosound");
    EXPECT_FALSE(
        MoveFileExA("C:\\ZelmoSound\\b.txt", "C:\\ZelmoSound\\a.txt", MOVEFILE_REPLACE_EXISTING));
    desktop.Faults().readOnlyFolders.clear();
    EXPECT_FALSE(MoveFileExA("C:\\ZelmoSound\\b.txt", "C:\\ZelmoSound\\a.txt", 0));
    EXPECT_TRUE(
        MoveFileExA("C:\\ZelmoSound\\b.txt", "C:\\ZelmoSound\\a.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("new", desktop.ReadFile("C:\\ZelmoSound\\a.txt").value_or(""));
    EXPECT_FALSE(desktop.FileExists("C:\\ZelmoSound\\b.txt"));
}

TEST(SimFiles, InjectedFailuresHitTheNthCallOrEveryCallOnAFile)
{
    sim::Desktop desktop;
    using sim::FileOperation;
    desktop.WriteFile("C:\\ZelmoSound\\a.txt", "old");
    auto create = [](const char *name) {
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return file != INVALID_HANDLE_VALUE;
    };
    // The second create from now fails, once.
    desktop.Faults().FailCall(FileOperation::Create, 2, ERROR_DISK_FULL);
    EXPECT_TRUE(create("C:\\ZelmoSound\\b.txt"));
    EXPECT_FALSE(create("C:\\ZelmoSound\\c.txt"));
    EXPECT_FALSE(desktop.FileExists("C:\\ZelmoSound\\c.txt"));
    EXPECT_TRUE(create("C:\\ZelmoSound\\c.txt"));
    EXPECT_EQ(3, desktop.Faults().calls[FileOperation::Create]);

    // Every move touching a.txt fails, whichever side it is on and however it is spelt.
    desktop.Faults().FailEvery(FileOperation::Move, "c:/zelmosound/A.TXT");
    EXPECT_FALSE(MoveFileA("C:\\ZelmoSound\\a.txt", "C:\\ZelmoSound\\d.txt"));
    EXPECT_FALSE(
        MoveFileExA("C:\\ZelmoSound\\b.txt", "C:\\ZelmoSound\\a.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(MoveFileA("C:\\ZelmoSound\\b.txt", "C:\\ZelmoSound\\e.txt"));
    EXPECT_EQ("old", desktop.ReadFile("C:\\ZelmoSound\\a.txt").value_or(""));

    // A failing write has written half its bytes; a failing flush or delete changes nothing.
    desktop.Faults().ClearFailures();
    desktop.Faults().FailCall(FileOperation::Write, 1);
    desktop.Faults().FailCall(FileOperation::Flush, 1);
    desktop.Faults().FailCall(FileOperation::Delete, 1);
    HANDLE file =
        CreateFileA("C:\\ZelmoSound\\a.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(file, "123456", 6, &written, nullptr));
    EXPECT_EQ(3u, written);
    EXPECT_FALSE(FlushFileBuffers(file));
    CloseHandle(file);
    EXPECT_EQ("123", desktop.ReadFile("C:\\ZelmoSound\\a.txt").value_or(""));
    EXPECT_FALSE(DeleteFileA("C:\\ZelmoSound\\a.txt"));
    EXPECT_TRUE(DeleteFileA("C:\\ZelmoSound\\a.txt"));
    EXPECT_EQ(0, desktop.OpenHandles());
}

TEST(SimSound, ANewRequestCutsOffTheSoundStillPlayingAndMissingFilesAreSilent)
{
    sim::Desktop desktop;
    std::string wave = zelmo_test::WaveBytes(2000);
    desktop.WriteFile("C:\\ZelmoSound\\long.wav", wave);
    EXPECT_TRUE(PlaySoundA("long.wav", nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME));
    desktop.Advance(500);
    // Asked for asynchronously, a missing file is silent, though the request is taken.
    EXPECT_TRUE(PlaySoundA("missing.wav", nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME));
    ASSERT_EQ(2u, desktop.Sounds().size());
    EXPECT_EQ(2000, desktop.Sounds()[0].duration);
    EXPECT_EQ(desktop.Sounds()[0].time + 500, desktop.Sounds()[0].cutOffAt);
    EXPECT_FALSE(desktop.Sounds()[1].played);
    EXPECT_FALSE(PlaySoundA("missing.wav", nullptr, SND_NODEFAULT | SND_FILENAME));
}

TEST(SimSound, TheDurationComesFromTheChunksAndWhatTheFileHoldsAndOnlyTheLastSoundIsCutOff)
{
    sim::Desktop desktop;
    const std::string wave = zelmo_test::WaveBytes(2000); // 44 bytes of headers, then samples
    const std::string folder = desktop.ProgramFolder();
    // A chunk of odd size before the format is padded to an even length.
    std::string padded =
        wave.substr(0, 12) + std::string("LIST\3\0\0\0abc\0", 12) + wave.substr(12);
    desktop.WriteFile(folder + "padded.wav", padded);
    // A data chunk that claims more samples than the file holds plays what is there.
    desktop.WriteFile(folder + "short.wav", wave.substr(0, 44 + 22050));
    desktop.WriteFile(folder + "noformat.wav", wave.substr(0, 12) + wave.substr(36));
    desktop.WriteFile(folder + "text.wav", "hello, not a wave");
    desktop.WriteFile(folder + "folder.wav\\inside.txt", "");
    const DWORD async = SND_ASYNC | SND_NODEFAULT | SND_FILENAME;
    for (const char *name : {"padded.wav", "short.wav", "noformat.wav", "text.wav", "folder.wav"}) {
        (void)PlaySoundA(name, nullptr, async);
        desktop.Advance(100);
    }
    std::vector<std::pair<bool, sim::Millis>> played;
    for (const sim::SoundRecord &sound : desktop.Sounds())
        played.emplace_back(sound.played, sound.duration);
    EXPECT_EQ((std::vector<std::pair<bool, sim::Millis>>{
                  {true, 2000}, {true, 500}, {false, 0}, {false, 0}, {false, 0}}),
              played);
    // Each was cut off by the next request; the unplayable ones leave the cut-off time alone.
    const sim::Millis start = desktop.Sounds()[0].time;
    EXPECT_EQ(start + 100, desktop.Sounds()[0].cutOffAt);
    EXPECT_EQ(start + 200, desktop.Sounds()[1].cutOffAt);
    // A sound that has ended is not cut off by the next request.
    EXPECT_TRUE(PlaySoundA("short.wav", nullptr, async));
    desktop.Advance(600);
    EXPECT_TRUE(PlaySoundA("padded.wav", nullptr, async));
    EXPECT_EQ(-1, desktop.Sounds()[5].cutOffAt);
}

TEST(SimSound, AFileChangedSincePlayingItLastIsReadAgain)
{
    sim::Desktop desktop;
    const std::string folder = desktop.ProgramFolder();
    const DWORD async = SND_ASYNC | SND_NODEFAULT | SND_FILENAME;
    auto play = [&](const char *name) {
        (void)PlaySoundA(name, nullptr, async);
        const sim::SoundRecord &sound = desktop.Sounds().back();
        return sound.played ? sound.duration : -1;
    };
    desktop.WriteFile(folder + "a.wav", zelmo_test::WaveBytes(1000));
    EXPECT_EQ(1000, play("a.wav"));
    EXPECT_EQ(1000, play("A.WAV"));
    // Rewritten in place to the same size: only the contents tell.
    desktop.WriteFile(folder + "a.wav", zelmo_test::WaveBytes(1000).replace(0, 4, "RIFX"));
    EXPECT_EQ(-1, play("a.wav"));
    desktop.WriteFile(folder + "a.wav", zelmo_test::WaveBytes(300));
    EXPECT_EQ(300, play("a.wav"));
    // Renamed, and another file put under the name behind the desktop's back.
    EXPECT_TRUE(MoveFileA((folder + "a.wav").c_str(), (folder + "b.wav").c_str()));
    EXPECT_EQ(-1, play("a.wav"));
    EXPECT_EQ(300, play("b.wav"));
    const std::string host = desktop.HostPath(folder + "b.wav");
    std::filesystem::remove(host);
    EXPECT_EQ(-1, play("b.wav"));
    std::ofstream(host, std::ios::binary) << zelmo_test::WaveBytes(700);
    EXPECT_EQ(700, play("b.wav"));
}

TEST(SimDrawing, FillRectCoversLeftAndTopButNotRightAndBottomAndIsClippedToTheWindow)
{
    sim::Desktop desktop;
    int process = desktop.Start(TestProgram); // the owner window is 10 x 10
    desktop.Input(process, [] {
        // Drawing lands only on a window that is on the screen.
        ShowWindow(Owner, SW_SHOW);
        HDC dc = GetDC(Owner);
        RECT white{2, 3, 5, 7};
        EXPECT_EQ(1, FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
        RECT inverted{9, 9, 8, 8}; // filled as (8, 8, 9, 9)
        EXPECT_EQ(1, FillRect(dc, &inverted, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
        RECT beyond{-5, -5, 3, 4};
        EXPECT_EQ(1, FillRect(dc, &beyond, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
        RECT hollow{0, 0, 10, 10};
        EXPECT_EQ(1, FillRect(dc, &hollow, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
        ReleaseDC(Owner, dc);
        EXPECT_EQ(0, FillRect(dc, &hollow, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))))
            << "a released device context draws nothing";
    });
    std::string rows;
    for (int y = 0; y < 10; ++y, rows += '\n')
        for (int x = 0; x < 10; ++x)
            rows += desktop.Pixel(Owner, x, y) == 0xFFFFFF ? '#' : '.';
    EXPECT_EQ("..........\n"
              "..........\n"
              "..........\n"
              "...##.....\n"
              "..###.....\n"
              "..###.....\n"
              "..###.....\n"
              "..........\n"
              "........#.\n"
              "..........\n",
              rows);
    auto ops = desktop.DrawLog(Owner);
    ASSERT_EQ(3u, ops.size());
    EXPECT_EQ("fill", ops[0].kind);
    EXPECT_EQ("FFFFFF", ops[0].what);
    EXPECT_EQ(3, ops[0].width);
    EXPECT_EQ(4, ops[0].height);
    EXPECT_EQ(8, ops[1].x);
    EXPECT_EQ(0, desktop.OpenDeviceContexts());
}

TEST(SimDrawing, AnIconDrawnAt32By32KeepsTheGroundWhereItsMaskIsSet)
{
    sim::Desktop desktop;
    int process = desktop.Start(TestProgram);
    desktop.Input(process, [] {
        MoveWindow(Owner, 0, 0, 40, 40, FALSE);
        ShowWindow(Owner, SW_SHOW);
        HDC dc = GetDC(Owner);
        RECT all{0, 0, 40, 40};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HICON star = static_cast<HICON>(LoadImageA(nullptr, "JSTAR_ICON", IMAGE_ICON, 0, 0, 0));
        EXPECT_TRUE(DrawIconEx(dc, 4, 4, star, 32, 32, 0, nullptr, DI_NORMAL));
        ReleaseDC(Owner, dc);
        DestroyIcon(star);
    });
    // The star's centre (column 15, row 15 of its grid) is white, its corner transparent, and
    // the yellow rays are opaque.
    EXPECT_EQ(0xFFFFFFu, desktop.Pixel(Owner, 4 + 15, 4 + 15));
    EXPECT_EQ(0xFFFF00u, desktop.Pixel(Owner, 4 + 15, 4 + 10));
    EXPECT_EQ(0xFFFFFFu, desktop.Pixel(Owner, 4, 4)) << "transparent: the white ground stays";
    EXPECT_EQ(0xFFFFFFu, desktop.Pixel(Owner, 4 + 31, 4 + 31));
    auto ops = desktop.DrawLog(Owner);
    ASSERT_EQ(2u, ops.size());
    EXPECT_EQ("JSTAR_ICON", ops[1].what);
    EXPECT_EQ(32, ops[1].width);
}

TEST(SimText, WsprintfFormatsNumbersAndStopsAt1024Characters)
{
    char name[16];
    EXPECT_EQ(11, wsprintfA(name, "jelly%02d.wav", 4));
    EXPECT_STREQ("jelly04.wav", name);
    std::string longText(2000, 'x');
    std::vector<char> buffer(1100, '\1');
    EXPECT_EQ(1024, wsprintfA(buffer.data(), "%s", longText.c_str()));
    EXPECT_EQ('\0', buffer[1023]);
    EXPECT_EQ('\1', buffer[1024]) << "nothing is written past 1024 characters";
}

TEST(SimText, TheProcessCodePageIsTheManifestsUtf8AndOtherCodePagesAreRefused)
{
    sim::Desktop desktop;
    EXPECT_EQ(static_cast<UINT>(CP_UTF8), GetACP());
    WCHAR wide[8] = {};
    // "ゼ", then bytes that are not UTF-8: a sequence cut short, a stray byte, an overlong form.
    EXPECT_EQ(1, MultiByteToWideChar(CP_ACP, 0, "\xe3\x82\xbc", 3, wide, 8));
    EXPECT_EQ(0x30BC, wide[0]);
    EXPECT_EQ(5, MultiByteToWideChar(CP_UTF8, 0, "a\xe3\x82\xff\xc0\xaf", 6, wide, 8));
    EXPECT_EQ((std::vector<WCHAR>{'a', 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}),
              std::vector<WCHAR>(wide, wide + 5));
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 3)); // no room for the zero
    EXPECT_THROW(MultiByteToWideChar(932, 0, "abc", -1, wide, 8), sim::SimulationError);
}
