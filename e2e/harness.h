// The end-to-end harness: runs the real ZelmoSound.exe under Wine on a virtual X display of its
// own, looks at its windows through zelmo-e2e-driver.exe (run in the same Wine prefix), and
// works the mouse and keyboard with xdotool. Every process it starts is killed and reaped when
// its owner goes away, and dies with the harness if the harness is killed.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <sys/types.h>

namespace e2e
{

// The program's hidden main window, the class of dialog boxes, and WM_COMMAND as the driver's
// "post" takes it.
constexpr char MainClass[] = "ZelmoSound";
constexpr char MainTitle[] = "Zelmo Sound version1.00";
constexpr char DialogClass[] = "#32770";
constexpr char WmCommand[] = "0x111";

using Millis = std::chrono::milliseconds;
using Environment = std::map<std::string, std::string>;

// One line of the driver's output: "KIND\tkey=value\t...".
struct Record {
    std::string kind;
    std::map<std::string, std::string> fields;

    // The field's value, or "" when the line has no such field.
    std::string get(const std::string &key) const;
};

std::vector<Record> ParseRecords(const std::string &output);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    int CentreX() const { return left + Width() / 2; }
    int CentreY() const { return top + Height() / 2; }
    bool operator==(const Rect &other) const = default;
};

// "left,top,right,bottom" as the driver prints it; nullopt when malformed.
std::optional<Rect> ParseRect(const std::string &text);

// A shortcut file's fields, read from the Shell Link binary format. Texts are UTF-8.
struct ShellLink {
    uint32_t flags = 0;        // LinkFlags
    std::string localBasePath; // the target, from the LinkInfo structure
    std::string description;   // NAME_STRING
    std::string relativePath;  // RELATIVE_PATH
    std::string workingDir;    // WORKING_DIR
    std::string arguments;     // COMMAND_LINE_ARGUMENTS
};

// The shortcut in the bytes of a .lnk file; nullopt, with the reason in *error, when the bytes
// do not hold one.
std::optional<ShellLink> ParseShellLink(const std::string &bytes, std::string *error);

// The path as a Windows program under Wine sees it: on drive Z:, which is the Unix root.
std::string WindowsPath(const std::filesystem::path &unixPath);

// The files of that name anywhere under the folder (symbolic links to folders not followed).
std::vector<std::filesystem::path> FindFilesNamed(const std::filesystem::path &root,
                                                  const std::string &name);

// A POSIX TZ value ("ZZZ-0:MM:SS": local time is UTC plus that offset) that puts local time the
// given number of seconds before a full hour at the UTC moment given.
std::string TimeZoneBeforeFullHour(std::time_t utc, int secondsBefore);

// How a process ended: its exit code, or 128 + the signal that ended it.
struct Outcome {
    bool finished = false; // false: still running at the deadline, then killed
    int code = -1;
    std::string out;
    std::string err;
};

struct ChildOptions {
    std::vector<std::string> argv;
    Environment env;
    std::filesystem::path cwd;     // empty: the harness's own
    std::filesystem::path logFile; // stdout and stderr go here; empty: captured in memory
    int deathSignal = 9;           // sent to the child when the harness dies
    int passFd = -1;               // a descriptor the child inherits (Xvfb's -displayfd)
};

// A child process, killed (if still running) and reaped when the object goes away.
class Child
{
  public:
    explicit Child(const ChildOptions &options);
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool Running();
    // The exit code once the process has ended within the time given.
    std::optional<int> WaitExit(Millis timeout);
    void Signal(int signal);
    void Kill();
    // What the process wrote, when it is captured in memory.
    std::string Stdout() const;
    std::string Stderr() const;

  private:
    pid_t pid_ = -1;
    int pidfd_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::optional<int> code_;
};

// The file names (lower case) of the Windows libraries a Wine process has mapped, read from
// /proc/PID/maps: what the program has loaded so far.
std::set<std::string> LoadedLibraries(pid_t pid);

// Runs a command to its end, killing it at the deadline.
Outcome Run(const std::vector<std::string> &argv, const Environment &env, Millis timeout);

// This process's environment with the given variables replaced.
Environment CurrentEnvironment(const Environment &overrides);

// Polls until the condition holds or the time is up; true when it held.
bool PollUntil(const std::function<bool()> &condition, Millis timeout,
               Millis interval = Millis(50));

// Raw 8-bit RGB pixels of a screen area.
struct Pixels {
    Rect area;
    std::vector<unsigned char> rgb;
    bool operator==(const Pixels &other) const = default;
    bool Uniform() const;
};

struct DriverResult {
    int code = -1; // 0 done, 1 not found, 2 usage, else the driver did not finish
    std::vector<Record> records;
    std::string output;
    // The first record of this kind, if any.
    std::optional<Record> First(const std::string &kind = "window") const;
};

// The Wine route, the virtual display and the prepared prefix, shared by every test of a run.
class Session
{
  public:
    static Session &Get();

    // Chooses the route, starts Xvfb and prepares (or reuses) the prefix; once per run.
    void Start();
    // Stops the prefix's wineserver and every Wine process of it, then Xvfb.
    void Stop();

    // Why the tests cannot run here (Wine unusable, Windows build not configured), or "".
    const std::string &SkipReason() const { return skipReason_; }
    // What went wrong while starting, or "".
    const std::string &Failure() const { return failure_; }

    const std::string &Route() const { return route_; }
    const std::filesystem::path &ProgramExe() const { return programExe_; }
    // The Windows build folder of the route (the program, the driver, the conformance probe).
    const std::filesystem::path &BuildDir() const { return buildDir_; }
    // The sound files the Windows build generated.
    std::filesystem::path SoundDir() const { return buildDir_ / "sounds"; }
    const std::filesystem::path &Artefacts() const { return artefacts_; }
    const std::string &Display() const { return display_; }
    // The Wine prefix every program of the run uses.
    const std::filesystem::path &Prefix() const { return prefix_; }

    // The environment of every Wine process: prefix, loader, display, no debug output.
    Environment WineEnvironment() const;
    // The command line that runs a Windows program under the route's loader.
    std::vector<std::string> WineCommand(const std::filesystem::path &exe,
                                         const std::vector<std::string> &args = {}) const;

    DriverResult Driver(const std::vector<std::string> &args, Millis timeout = Millis(30000));
    // The visible top-level windows matching the class (and title, when not empty).
    std::vector<Record> VisibleWindows(const std::string &className, const std::string &title = "");

    bool Xdotool(const std::vector<std::string> &args);
    // A picture of the whole screen, kept as screenshots/NAME.png; the path or "".
    std::filesystem::path Screenshot(const std::string &name);
    std::optional<Pixels> Grab(const Rect &area);
    // Polls until the area shows something other than one colour and stays the same between two
    // looks, so a picture is not taken half painted.
    std::optional<Pixels> WaitPainted(const Rect &area, Millis timeout);

    // For failure messages: a screenshot's path and the list of top-level windows.
    std::string ScreenState(const std::string &label);
    // PollUntil, with the screen state in the failure message.
    testing::AssertionResult WaitFor(const std::string &what,
                                     const std::function<bool()> &condition, Millis timeout);

  private:
    Session() = default;
    bool ChooseRoute();
    bool StartXvfb();
    bool PreparePrefix();
    void StopWineServer();
    void ReapOrphans();

    bool started_ = false;
    std::string skipReason_;
    std::string failure_;
    std::string route_;
    std::string routeReason_;
    std::string loader_;
    std::string server_;
    std::string winearch_;
    std::string dllOverrides_;
    std::filesystem::path buildDir_;
    std::filesystem::path programExe_;
    std::filesystem::path driverExe_;
    std::filesystem::path artefacts_;
    std::filesystem::path prefix_;
    std::string display_;
    std::unique_ptr<Child> xvfb_;
    int failures_ = 0;
};

// The fixture of a suite of Wine tests: the suite starts the session (virtual display, prefix,
// wineserver) and stops it at its end; each test is skipped with the reason when Wine cannot run
// here, and fails when the session could not start.
class SessionTest : public testing::Test
{
  protected:
    static void SetUpTestSuite() { Session::Get().Start(); }
    static void TearDownTestSuite() { Session::Get().Stop(); }

    void SetUp() override
    {
        if (!session.SkipReason().empty()) GTEST_SKIP() << session.SkipReason();
        ASSERT_TRUE(session.Failure().empty()) << session.Failure();
    }

    Session &session = Session::Get();
};

// A fresh program folder in /tmp holding a copy of ZelmoSound.exe; removed afterwards.
class ProgramFolder
{
  public:
    explicit ProgramFolder(const std::filesystem::path &exe);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    const std::filesystem::path &Dir() const { return dir_; }
    std::filesystem::path Exe() const { return dir_ / "ZelmoSound.exe"; }
    // Copies a file (a sound, say) into the folder.
    void Add(const std::filesystem::path &file) const;
    // File names in the folder.
    std::vector<std::string> Files() const;

  private:
    std::filesystem::path dir_;
};

// ZelmoSound.exe running from a program folder, with the Wine environment and the variables
// given (TZ, say). Ended at the end of its scope: asked with WM_CLOSE first, killed if it does
// not go.
class Program
{
  public:
    // Started in the program folder, as Explorer starts it, or in the working directory given.
    Program(Session &session, const ProgramFolder &folder, const std::string &logName,
            const Environment &extra = {}, const std::filesystem::path &workingDirectory = {});
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    Child &Process() { return *child_; }

  private:
    Session &session_;
    std::unique_ptr<Child> child_;
};

} // namespace e2e
