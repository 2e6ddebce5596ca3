// The simulation runner, run in-process: its log is reproducible, its script does what the same
// steps through the desktop do, it lays out the program folder as documented, and it refuses
// bad arguments and script lines with a clear reason.
#include "tests/support/program.h"
#include "tools/simrunner/options.h"
#include "tools/simrunner/runner.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace
{

struct Result {
    int code = 0;
    std::string out, err;
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::istringstream stream(out);
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }
    bool Logged(const std::string &text) const { return out.find(text) != std::string::npos; }
};

Result RunRunner(const std::vector<std::string> &args)
{
    Result result;
    std::ostringstream out, err;
    try {
        result.code = simrunner::Run(simrunner::ParseCommandLine(args), out, err);
    } catch (const simrunner::UsageError &error) {
        result.code = 2;
        err << error.what();
    }
    result.out = out.str();
    result.err = err.str();
    return result;
}

class Runner : public ::testing::Test
{
  protected:
    Runner()
    {
        char pattern[] = "/tmp/zelmo-runner-test-XXXXXX";
        root_ = mkdtemp(pattern);
        // A program folder with birds, insects and the time-signal chime.
        for (const char *prefix : {"bird", "crickt"})
            for (int i = 0; i < 4; ++i)
                Write("folder/" + std::string(prefix) + "0" + std::to_string(i) + ".wav",
                      zelmo_test::WaveBytes());
        Write("folder/alarm99.wav", zelmo_test::WaveBytes());
    }
    ~Runner() override { fs::remove_all(root_); }

    std::string Path(const std::string &name) const { return root_ + "/" + name; }
    std::string Write(const std::string &name, const std::string &bytes) const
    {
        fs::create_directories(fs::path(Path(name)).parent_path());
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    std::string Read(const std::string &name) const
    {
        std::ifstream file(Path(name), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    // Runs with the program folder above, from the start time given, with a script.
    Result RunScript(const std::string &script, const std::string &start = "2026-12-08 12:00:00",
                     const std::string &duration = "10")
    {
        return RunRunner({"--folder", Path("folder"), "--start", start, "--duration", duration,
                          "--script", Write("script.txt", script)});
    }

    std::string root_;
};

const std::string BirdsInsectsAndSignal = "IDC_SOUND01=1\r\nIDCB_SOUND01=0\r\n"
                                          "IDC_SOUND02=1\r\nIDCB_SOUND02=0\r\n"
                                          "IDC_TSIGNAL=1\r\nIDCB_TSIGNAL=0\r\n";

} // namespace

TEST_F(Runner, TheSameInputsGiveTheSameLogAndTheSamePicture)
{
    std::vector<std::string> args = {
        "--folder",   Path("folder"),
        "--settings", Write("settings.ini", BirdsInsectsAndSignal),
        "--start",    "2026-12-08 12:59:50",
        "--duration", "20",
        "--snapshot", "13:00:01=ZelmoTimeSignal=" + Path("signal.png")};
    Result first = RunRunner(args);
    std::string firstPicture = Read("signal.png");
    fs::remove(Path("signal.png"));
    Result second = RunRunner(args);

    ASSERT_EQ(0, first.code) << first.err;
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(firstPicture, Read("signal.png"));
    EXPECT_EQ(0, firstPicture.rfind("\x89PNG", 0));

    auto lines = first.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(0, lines.front().rfind(
                     R"({"time":"2026-12-08 12:59:50.000","event":"start","duration":20,)", 0));
    EXPECT_EQ(R"({"time":"2026-12-08 13:00:10.000","event":"end"})", lines.back());
    EXPECT_TRUE(first.Logged(R"("event":"window.show","class":"ZelmoTimeSignal")"));
    EXPECT_TRUE(first.Logged(R"("event":"sound","name":"alarm99.wav")"));
    EXPECT_TRUE(first.Logged(
        R"({"time":"2026-12-08 13:00:01.000","event":"snapshot","class":"ZelmoTimeSignal")"));
}

TEST_F(Runner, ASettingsScriptWritesTheSameFileAsTheSameStepsOnTheDesktop)
{
    const std::string settings = "IDC_SOUND01=1\r\nIDCB_SOUND01=2\r\n";
    Result run = RunRunner({"--folder", Path("folder"), "--settings",
                            Write("settings.ini", settings), "--duration", "5", "--script",
                            Write("script.txt", "+1 menu 201\n"
                                                "+2 check 3 302 on\n"
                                                "+2 select 3 362 3\n"
                                                "+3 click 3 452\n"),
                            "--keep", Path("kept")});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(run.Logged(R"("event":"dialog.open","template":"3")"));

    zelmo_test::Program program({2026, 12, 8, 12, 0, 0});
    program.AddSounds("bird", 4);
    program.AddSounds("crickt", 4);
    program.WriteProgramFile("alarm99.wav", zelmo_test::WaveBytes());
    program.WriteProgramFile("ZelmoSound.INI", settings);
    program.Start();
    sim::Desktop &desktop = program.desktop();
    program.Advance(1000);
    desktop.RightClickTray();
    desktop.ChooseMenu(201);
    program.Advance(1000);
    HWND dialog = desktop.Dialog("3")->hwnd;
    desktop.Click(dialog, 302);
    desktop.Select(dialog, 362, 3);
    program.Advance(1000);
    desktop.Click(dialog, 452);
    program.Advance(2000);

    std::string expected = program.Settings();
    EXPECT_NE(std::string::npos, expected.find("IDC_SOUND02=1\r\nIDCB_SOUND02=3\r\n"));
    EXPECT_EQ(expected, Read("kept/ZelmoSound.INI"));
}

TEST_F(Runner, TheProgramFolderIsLaidOutInTheDocumentedOrder)
{
    Write("folder/ZelmoSound.INI", "replaced by --settings");
    Write("sounds/BIRD00.WAV", "a sound of its own");
    Write("sounds/readme.txt", "not a sound");
    Result run = RunRunner({"--folder", Path("folder"), "--sounds-from", Path("sounds"),
                            "--empty-sounds", "alarm99.wav,quiet.wav", "--settings",
                            Write("settings.ini", BirdsInsectsAndSignal), "--start",
                            "2026-12-08 12:59:59", "--duration", "2", "--keep", Path("kept")});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_EQ(BirdsInsectsAndSignal, Read("kept/ZelmoSound.INI"));
    // Names match without regard to letter case, as on Windows: the file is replaced.
    EXPECT_EQ("a sound of its own", Read("kept/bird00.wav"));
    EXPECT_FALSE(fs::exists(Path("kept/BIRD00.WAV")));
    EXPECT_FALSE(fs::exists(Path("kept/readme.txt")));
    EXPECT_EQ("", Read("kept/quiet.wav"));
    int chimes = 0;
    for (const std::string &line : run.Lines()) {
        if (line.find(R"("name":"alarm99.wav")") == std::string::npos) continue;
        ++chimes;
        EXPECT_NE(std::string::npos, line.find(R"("played":false)")) << line;
    }
    EXPECT_GT(chimes, 0);
}

TEST_F(Runner, TheLogEndsWithTheProgramsExitAndLaterLinesAreNotDone)
{
    Result run = RunScript("+1 menu 210\n+2 menu 201\n");
    ASSERT_EQ(0, run.code) << run.err;
    auto lines = run.Lines();
    EXPECT_EQ(R"({"time":"2026-12-08 12:00:01.000","event":"exit","code":0})", lines.back());
    EXPECT_TRUE(run.Logged(R"("event":"tray.delete")"));
    EXPECT_FALSE(run.Logged("dialog.open"));
    EXPECT_FALSE(run.Logged(R"("event":"end")"));
}

TEST_F(Runner, CheckLeavesAMatchingBoxAloneAndPostedCommandsReachTheProgram)
{
    Result run = RunRunner({"--folder", Path("folder"), "--duration", "10", "--keep", Path("kept"),
                            "--script",
                            Write("script.txt", "+1 menu 201\n"
                                                "+1 check 3 301 on   # already on: no click\n"
                                                "+1 check 3 302 off  # already off\n"
                                                "+2 post zelmosound WM_COMMAND 203 0\n"
                                                "+3 answer IDOK\n"
                                                "+4 enter 3\n")});
    ASSERT_EQ(0, run.code) << run.err;
    // Adding a sound file is refused while the settings dialog is open.
    EXPECT_TRUE(run.Logged(R"({"time":"2026-12-08 12:00:02.000","event":"messagebox.open")"));
    EXPECT_TRUE(run.Logged(R"({"time":"2026-12-08 12:00:03.000","event":"messagebox.close")"));
    EXPECT_TRUE(run.Logged(R"("answer":1})"));
    std::string settings = Read("kept/ZelmoSound.INI");
    EXPECT_NE(std::string::npos, settings.find("IDC_SOUND01=1\r\n"));
    EXPECT_NE(std::string::npos, settings.find("IDC_SOUND02=0\r\n"));
}

TEST_F(Runner, TheMouseReachesTheWindowUnderThePointAndThePointersShapeIsLogged)
{
    // The time signal shows at [372,314,84,12] (placed by its former size's corner at the
    // pointer, 512,384); a right click on it sends it away.
    Result run = RunRunner({"--folder", Path("folder"), "--settings",
                            Write("settings.ini", BirdsInsectsAndSignal), "--start",
                            "2026-12-08 12:59:58", "--duration", "10", "--script",
                            Write("script.txt", "13:00:01 pointer 400 320\n"
                                                "13:00:01.5 right-click 400 320\n"
                                                "13:00:02 double-click 10 10\n")});
    ASSERT_EQ(0, run.code) << run.err;
    auto lines = run.Lines();
    auto at = std::find(lines.begin(), lines.end(),
                        R"({"time":"2026-12-08 13:00:01.000","event":"script","line":1,)"
                        R"("action":"pointer 400 320"})");
    ASSERT_NE(lines.end(), at);
    EXPECT_EQ(R"({"time":"2026-12-08 13:00:01.000","event":"pointer","shape":"arrow"})", at[1]);
    at = std::find(at, lines.end(),
                   R"({"time":"2026-12-08 13:00:01.500","event":"script","line":2,)"
                   R"("action":"right-click 400 320"})");
    ASSERT_NE(lines.end(), at);
    EXPECT_EQ(0, at[1].rfind(R"({"time":"2026-12-08 13:00:01.500","event":"window.hide",)"
                             R"("class":"ZelmoTimeSignal")",
                             0));
    // Nothing is there: nothing but sounds follow.
    at = std::find(at, lines.end(),
                   R"({"time":"2026-12-08 13:00:02.000","event":"script","line":3,)"
                   R"("action":"double-click 10 10"})");
    ASSERT_NE(lines.end(), at);
    for (++at; at + 1 != lines.end(); ++at)
        EXPECT_NE(std::string::npos, at->find(R"("event":"sound")")) << *at;
}

TEST_F(Runner, ClockTimesRunOnPastMidnight)
{
    Result run = RunScript("23:59:30 cursor 1 1\n00:00:10 cursor 2 2\n00:00:10 cursor 3 3\n",
                           "2026-12-08 23:59:00", "120");
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(run.Logged(
        R"({"time":"2026-12-09 00:00:10.000","event":"script","line":3,"action":"cursor 3 3"})"));
}

TEST_F(Runner, AScriptLineThatCannotBeParsedStopsTheRunBeforeItStarts)
{
    struct Case {
        std::string script, error;
    };
    for (const Case &c : std::vector<Case>{
             {"+1 menu 201\n+2 frobnicate\n", "script line 2: unknown action 'frobnicate'"},
             {"# a comment\n\n+1 select 3 362\n",
              "script line 3: select wants TEMPLATE CONTROL_ID INDEX|\"TEXT\", got 2"},
             {"+5 cursor 1 2\n+4 cursor 1 2\n", "script line 2: time 2026-12-08 12:00:04.000 is "
                                                "before 2026-12-08 12:00:05.000"},
             {"12:00:01 check 3 302 maybe\n", "script line 1: check wants on or off"},
             {"+1 read-only \"a.wav\" maybe\n", "script line 1: read-only wants on or off"},
             {"+1 choose-file\n", "script line 1: choose-file wants \"PATH\", got 0"},
             {"+11 menu 201\n", "script line 1: time 2026-12-08 12:00:11.000 is after the end"},
             {"+1 text 3 301 \"open\n", "script line 1: a quoted text is not closed"},
             {"1 menu 201\n", "script line 1: '1' is not a time"},
             {"+1 post ZelmoSound WM_USER+x 0 0\n", "script line 1: message 'WM_USER+x'"},
             {"+1 double-click 10\n", "script line 1: double-click wants X Y, got 1"},
         }) {
        Result run = RunScript(c.script);
        EXPECT_EQ(2, run.code) << c.script;
        EXPECT_EQ(0, run.err.rfind(c.error, 0)) << run.err;
        EXPECT_EQ("", run.out) << "nothing runs: " << c.script;
    }
}

TEST_F(Runner, AnActionThatCannotBeDoneAtItsTimeStopsTheRunWithItsLine)
{
    struct Case {
        std::string script, error;
    };
    for (const Case &c : std::vector<Case>{
             {"+1 click 3 452\n", "script line 1: no dialog 3 is open"},
             {"+1 menu 201\n+2 select 3 362 42\n",
              "script line 2: control 362 of dialog 3 has no entry 42 (it has 8)"},
             {"+1 menu 204\n+2 select 7 634 \"bird09.wav\"\n",
              "script line 2: control 634 of dialog 7 has no entry \"bird09.wav\""},
             {"+1 menu 201\n+2 check 3 304 on\n", "script line 2: control 304 of dialog 3 is "
                                                  "disabled"},
             {"+1 menu 201\n+2 click 3 999\n", "script line 2: dialog 3 has no control 999"},
             {"+1 menu 777\n", "script line 1: the open menu has no item 777"},
             {"+1 menu-dismiss\n", "script line 1: no menu is open"},
             {"+1 answer IDOK\n", "script line 1: no message box is open"},
             {"+1 post NoSuchClass WM_CLOSE 0 0\n",
              "script line 1: there is no window of class NoSuchClass"},
             {"+1 choose-file \"C:\\Music\\song.wav\"\n",
              "script line 1: no file-open dialog is open"},
             {"+1 cancel-file\n", "script line 1: no file-open dialog is open"},
             {"+1 read-only \"C:\\ZelmoSound\\none.wav\" on\n",
              "script line 1: there is no file C:\\ZelmoSound\\none.wav"},
             {"+1 left-click 1024 10\n", "script line 1: the point 1024,10 is off the screen"},
         }) {
        Result run = RunScript(c.script);
        EXPECT_EQ(2, run.code) << c.script;
        EXPECT_EQ(c.error + "\n", run.err);
        EXPECT_TRUE(run.Logged(R"("event":"start")")) << "the run had started: " << c.script;
    }
}

TEST_F(Runner, AFileMadeReadOnlyIsLoggedAndThenRefusesTheProgramsReplacement)
{
    // The settings dialog confirmed writes a new file and renames it onto the settings file,
    // which fails once the user has made that file read-only.
    Write("folder/ZelmoSound.INI", "IDC_SOUND01=1\r\nIDCB_SOUND01=0\r\n");
    Result run = RunScript("+1 menu 201\n+2 click 3 452\n"
                           "+3 read-only \"C:\\ZelmoSound\\zelmosound.ini\" on\n"
                           "+4 menu 201\n+5 click 3 452\n",
                           "2026-12-08 12:00:00", "6");
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(run.Logged(R"("event":"file.rename","path":"C:\\ZelmoSound\\ZelmoSound.INI.new",)"
                           R"("to":"C:\\ZelmoSound\\ZelmoSound.INI"})"));
    EXPECT_TRUE(run.Logged(R"({"time":"2026-12-08 12:00:03.000","event":"file.attributes",)"
                           R"("path":"C:\\ZelmoSound\\zelmosound.ini","read-only":true})"));
    EXPECT_TRUE(run.Logged(R"({"time":"2026-12-08 12:00:05.000","event":"file.delete",)"
                           R"("path":"C:\\ZelmoSound\\ZelmoSound.INI.new"})"));
    size_t renames = 0;
    for (const std::string &line : run.Lines())
        renames += line.find(R"("event":"file.rename")") != std::string::npos;
    EXPECT_EQ(1u, renames);
}

TEST_F(Runner, BadArgumentsAreRefusedWithTheReason)
{
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    for (const Case &c : std::vector<Case>{
             {{}, "--duration SECONDS is required"},
             {{"--duration", "ten"}, "--duration wants seconds, not 'ten'"},
             {{"--duration", "1.0001"}, "--duration wants seconds"},
             {{"--duration", "5", "--start", "2026-02-29 12:00:00"}, "--start wants"},
             {{"--duration", "5", "--start", "2026-12-08 24:00:00"}, "--start wants"},
             {{"--duration", "5", "--cursor", "5"}, "--cursor wants X,Y, not '5'"},
             {{"--duration", "5", "--snapshot", "12:00:01=ZelmoTimeSignal"}, "--snapshot wants"},
             {{"--duration", "5", "--snapshot", "12:00:06=ZelmoTimeSignal=x.png"},
              "--snapshot '12:00:06=ZelmoTimeSignal=x.png' is after the end"},
             {{"--duration", "5", "--empty-sounds", "a.wav,..\\b.wav"}, "--empty-sounds: '..\\b"},
             {{"--duration", "5", "--frobnicate", "1"}, "unknown option --frobnicate"},
             {{"--duration"}, "--duration wants a value"},
             {{"--duration", "5", "--settings", "/nonexistent/settings.ini"},
              "zelmo-sim: --settings: cannot read /nonexistent/settings.ini"},
             {{"--duration", "5", "--sounds-from", "/nonexistent"},
              "zelmo-sim: --sounds-from: there is no folder /nonexistent"},
             {{"--duration", "5", "--snapshot", "12:00:01=NoSuchClass=" + Path("x.png")},
              "zelmo-sim: --snapshot '12:00:01=NoSuchClass="},
         }) {
        Result run = RunRunner(c.args);
        EXPECT_EQ(2, run.code) << c.error;
        EXPECT_EQ(0, run.err.rfind(c.error, 0)) << run.err;
    }
}

TEST_F(Runner, TheScreenOptionSizesTheSimulatedScreen)
{
    auto pngSize = [](const std::string &png) {
        auto big = [&](size_t at) {
            unsigned value = 0;
            for (size_t i = 0; i < 4 && at + i < png.size(); ++i)
                value = value << 8 | static_cast<unsigned char>(png[at + i]);
            return value;
        };
        return std::make_pair(big(16), big(20)); // the IHDR chunk's width and height
    };
    // The jelly window covers the screen; the time signal is kept on it near the cursor, which
    // itself stays on the screen (at 319,199).
    Result run = RunRunner(
        {"--folder", Path("folder"), "--settings", Write("settings.ini", BirdsInsectsAndSignal),
         "--start", "2026-12-08 12:59:58", "--duration", "4", "--screen", "320x200", "--cursor",
         "900,700", "--snapshot", "12:59:59=ZelmoJelly=" + Path("jelly.png")});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_EQ(std::make_pair(320u, 200u), pngSize(Read("jelly.png")));
    EXPECT_TRUE(run.Logged(R"("screen":[320,200])"));
    EXPECT_TRUE(run.Logged(
        R"("event":"window.show","class":"ZelmoTimeSignal","title":"","rect":[179,129,99,16])"))
        << run.out;

    Result standard = RunRunner({"--folder", Path("folder"), "--duration", "1", "--snapshot",
                                 "12:00:01=ZelmoJelly=" + Path("standard.png")});
    ASSERT_EQ(0, standard.code) << standard.err;
    EXPECT_EQ(std::make_pair(1024u, 768u), pngSize(Read("standard.png")));
    EXPECT_FALSE(standard.Logged(R"("screen")"));

    for (const char *bad : {"0x480", "640", "640x", "x480", "640x480x2", "8193x10", "-640x480",
                            "640X480", "99999999999x1"}) {
        Result refused = RunRunner({"--duration", "1", "--screen", bad});
        EXPECT_EQ(2, refused.code) << bad;
        EXPECT_EQ(0, refused.err.rfind("--screen wants WIDTHxHEIGHT", 0)) << refused.err;
    }
}

TEST_F(Runner, AScriptRegistersAndDeletesSoundFilesAndTheFileEventsShowEachStep)
{
    Write("folder/Music/Song.wav", zelmo_test::WaveBytes(700));
    Result run = RunScript("+1 menu 203\n"
                           "+2 click 6 602\n"
                           "+3 click 6 458\n"
                           "+4 choose-file \"C:\\ZelmoSound\\Music\\Song.wav\"\n"
                           "+5 click 6 456\n"
                           "+6 answer IDOK\n"
                           "+7 click 6 454\n"
                           "+8 menu 204\n"
                           "+9 click 7 602\n"
                           "+10 select 7 634 \"bird01.wav\"\n"
                           "+11 click 7 457\n"
                           "+12 answer IDYES\n"
                           "+13 answer IDOK\n"
                           "+14 click 7 454\n",
                           "2026-12-08 12:00:00", "15");
    ASSERT_EQ(0, run.code) << run.err;
    std::vector<std::string> files;
    for (const std::string &line : run.Lines()) {
        size_t at = line.find(R"("event":"file)");
        if (at != std::string::npos) files.push_back(line.substr(at));
    }
    const std::string folder = R"(C:\\ZelmoSound\\)";
    EXPECT_EQ((std::vector<std::string>{
                  R"("event":"filedialog.open","title":"音ファイルの参照 どのファイル？"})",
                  R"("event":"filedialog.close","file":")" + folder +
                      R"(Music\\Song.wav","chosen":true})",
                  R"("event":"file.copy","path":")" + folder + R"(bird04.~00","from":")" + folder +
                      R"(Music\\Song.wav"})",
                  R"("event":"file.rename","path":")" + folder + R"(bird04.~00","to":")" + folder +
                      R"(bird04.wav"})",
                  R"("event":"file.delete","path":")" + folder + R"(bird01.wav"})",
                  R"("event":"file.rename","path":")" + folder + R"(bird02.wav","to":")" + folder +
                      R"(bird01.wav"})",
                  R"("event":"file.rename","path":")" + folder + R"(bird03.wav","to":")" + folder +
                      R"(bird02.wav"})",
                  R"("event":"file.rename","path":")" + folder + R"(bird04.wav","to":")" + folder +
                      R"(bird03.wav"})",
              }),
              files);
    EXPECT_TRUE(run.Logged(R"("text":"指定のファイルは bird04.wav として登録されました。")"))
        << run.out;
    EXPECT_TRUE(run.Logged(R"("text":"指定の bird01.wav を削除します。\nよろしいですか？")"))
        << run.out;
}

TEST_F(Runner, AScriptStartsTheJellyfishFromTheTrayMenuHoversClicksAndEndsThemWithYes)
{
    // On a 64 x 64 screen every picture lies within 32 pixels of the corner, so the pointer
    // finds a hidden character and a jellyfish's tool wherever they were placed.
    Result run =
        RunRunner({"--folder", Path("folder"), "--screen", "64x64", "--duration", "12", "--keep",
                   Path("kept"), "--snapshot", "+5=ZelmoJelly=" + Path("jelly.png"), "--script",
                   Write("script.txt", "+1 menu 206\n"
                                       "+2 answer IDOK\n"
                                       "+3 pointer 16 16\n"
                                       "+6 left-click 32 32\n"
                                       "+8 right-click 32 32\n"
                                       "+9 answer IDYES\n")});
    ASSERT_EQ(0, run.code) << run.err;
    std::vector<std::string> wanted = {
        R"("event":"window.show","class":"ZelmoJelly","title":"","rect":[0,0,64,64]})",
        R"("event":"messagebox.open","text":"★終了する時は、マウス右クリックです。\n)",
        R"("event":"messagebox.close","text":"★終了する時は)",
        R"("event":"sound","name":"jellybb.wav")",
        R"("event":"wait","milliseconds":)",
        R"({"time":"2026-12-08 12:00:03.000","event":"pointer","shape":"cross"})",
        R"({"time":"2026-12-08 12:00:03.500","event":"tooltip.show","text":")",
        R"("event":"snapshot","class":"ZelmoJelly",)",
        R"("event":"tooltip.hide")",
        R"({"time":"2026-12-08 12:00:08.000","event":"beep","frequency":900,"duration":100})",
        R"("event":"messagebox.open","text":"終了します。","caption":"ZelmoSound","type":292})",
        R"("event":"messagebox.close","text":"終了します。","answer":6})",
        R"("event":"file.rename","path":"C:\\ZelmoSound\\Jelly.INI.new","to":"C:\\ZelmoSound\\Jelly.INI"})",
        R"("event":"window.hide","class":"ZelmoJelly")",
    };
    auto lines = run.Lines();
    auto at = lines.begin();
    for (const std::string &text : wanted) {
        at = std::find_if(at, lines.end(),
                          [&](const std::string &line) { return line.find(text) != line.npos; });
        ASSERT_NE(lines.end(), at) << "missing in order: " << text;
    }
    // The insects rested while the jellyfish ran.
    for (auto line = lines.begin(); line != at; ++line) {
        if (line->find(R"("event":"sound")") != line->npos) {
            EXPECT_NE(std::string::npos, line->find(R"("name":"j)")) << *line;
        }
    }

    std::string kept = Read("kept/Jelly.INI");
    EXPECT_EQ(70, std::count(kept.begin(), kept.end(), '\n'));
    EXPECT_EQ(0, kept.rfind("JELLY01_EXIST=1\r\nJELLY01_TYPE_=0\r\n", 0)) << kept;
    EXPECT_EQ(0, Read("jelly.png").rfind("\x89PNG", 0));
}

// Two scripts of the jellyfish's edges: the tray menu's exit while they run saves them, with
// the ages they reached; and a jelly file saved on a larger screen brings its jellyfish onto
// this one, where the next save finds them.
TEST_F(Runner, TheJellyfishAreSavedAtExitAndComeOntoASmallerScreen)
{
    Result run =
        RunRunner({"--folder", Path("folder"), "--duration", "10", "--keep", Path("kept"),
                   "--script", Write("script.txt", "+1 menu 206\n+2 answer IDOK\n+5 menu 210\n")});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(run.Logged(R"("event":"exit","code":0})")) << run.out;
    std::string kept = Read("kept/Jelly.INI");
    EXPECT_EQ(0, kept.rfind("JELLY01_EXIST=1\r\nJELLY01_TYPE_=0\r\nJELLY01_DIRCT=", 0)) << kept;
    EXPECT_NE(std::string::npos, kept.find("JELLY01_AGE__=00010\r\n")) << kept;

    Write("folder/Jelly.INI", "JELLY01_EXIST=1\r\nJELLY01_TYPE_=2\r\nJELLY01_AGE__=01000\r\n"
                              "JELLY01_XXXXX=1500\r\nJELLY01_YYYYY=0900\r\n");
    run = RunRunner({"--folder", Path("folder"), "--screen", "640x480", "--duration", "5", "--keep",
                     Path("kept2"), "--script",
                     Write("script.txt", "+1 menu 206\n+2 right-click 10 10\n+3 answer IDYES\n")});
    ASSERT_EQ(0, run.code) << run.err;
    kept = Read("kept2/Jelly.INI");
    const int x = std::atoi(kept.c_str() + kept.find("JELLY01_XXXXX=") + 14);
    const int y = std::atoi(kept.c_str() + kept.find("JELLY01_YYYYY=") + 14);
    EXPECT_GE(608, x) << kept;
    EXPECT_GE(448, y) << kept;
}

// A read-only recording registered onto a number that is taken (user1-01.wav there, user1-00.wav
// not, so the group's count gives 01): the scratch copy is made writable and removed, and the
// next attempt meets the same free scratch name.
TEST_F(Runner, AReadOnlySourceOntoATakenNumberLeavesNoScratchCopy)
{
    Write("folder/user1-01.wav", zelmo_test::WaveBytes(300));
    Write("folder/Music/Song.wav", zelmo_test::WaveBytes(700));
    Result run = RunScript("+1 read-only \"C:\\ZelmoSound\\Music\\Song.wav\" on\n"
                           "+2 menu 203\n"
                           "+3 text 6 631 \"C:\\ZelmoSound\\Music\\Song.wav\"\n"
                           "+4 click 6 456\n+5 answer IDOK\n+6 click 6 456\n+7 answer IDOK\n",
                           "2026-12-08 12:00:00", "8");
    ASSERT_EQ(0, run.code) << run.err;
    // The program's file events in the program folder: the event and the file's name.
    std::vector<std::string> files;
    const std::regex event(
        R"re("event":"file\.([a-z]+)","path":"C:\\\\ZelmoSound\\\\([^"\\]+)")re");
    for (const std::string &line : run.Lines()) {
        std::smatch match;
        if (std::regex_search(line, match, event))
            files.push_back(match[1].str() + " " + match[2].str());
    }
    const std::vector<std::string> attempt = {"copy user1-01.~00", "delete user1-01.~00"};
    std::vector<std::string> twice = attempt;
    twice.insert(twice.end(), attempt.begin(), attempt.end());
    EXPECT_EQ(twice, files) << run.out;
    EXPECT_TRUE(run.Logged("ファイルのコピーに失敗しました。")) << run.out;
}
