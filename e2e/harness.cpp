// The end-to-end harness's session: the Wine route that wine-env.sh chooses, the virtual X
// display (Xvfb), the prepared Wine prefix and its wineserver, kept for the whole run and stopped
// at its end with every Wine process handed to this one; and the program folders and programs a
// test runs in it.
#include "e2e/harness.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e
{

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace
{

constexpr char WmClose[] = "0x10";
constexpr char PreparedMarker[] = ".zelmo-e2e-prepared";

std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Trim(std::string text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    return text.substr(start);
}

bool OnPath(const std::string &program)
{
    const char *path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
    return false;
}

std::string Describe(const Outcome &outcome)
{
    std::string text = outcome.finished ? "exit code " + std::to_string(outcome.code)
                                        : std::string("did not finish in time");
    if (!outcome.out.empty()) text += "\nstdout: " + outcome.out;
    if (!outcome.err.empty()) text += "\nstderr: " + outcome.err;
    return text;
}

// The processes whose parent is this process, from /proc.
std::vector<pid_t> ChildrenOfThisProcess()
{
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator("/proc", error)) {
        std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
        std::string stat = ReadFile(entry.path() / "stat");
        // "pid (command) state ppid ...": the command may hold spaces, so read after its ')'.
        size_t close = stat.rfind(')');
        char state = 0;
        int parent = 0;
        if (close == std::string::npos ||
            std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) != 2)
            continue;
        if (parent == getpid()) children.push_back(static_cast<pid_t>(std::stoi(name)));
    }
    return children;
}

} // namespace

Session &Session::Get()
{
    static Session session;
    return session;
}

void Session::Start()
{
    if (started_) return;
    started_ = true;
    artefacts_ = ZELMO_E2E_ARTEFACTS;
    // Wine's background processes (wineserver, explorer, services) leave the process that
    // started them; as a subreaper this process becomes their parent, so it can reap them.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    // Each run's pictures replace the last run's; a second suite of the same run keeps the first
    // suite's.
    static bool cleared = false;
    std::error_code error;
    if (!cleared) fs::remove_all(artefacts_ / "screenshots", error);
    cleared = true;
    fs::create_directories(artefacts_ / "screenshots");
    fs::create_directories(artefacts_ / "logs");
    for (const char *tool : {"bash", "Xvfb", "xdotool", "import"}) {
        if (!OnPath(tool)) {
            skipReason_ = std::string(tool) + " is not installed (scripts/setup.sh installs it)";
            return;
        }
    }
    if (!ChooseRoute() || !StartXvfb()) return;
    // A server left by an earlier run would keep its explorer on that run's display.
    StopWineServer();
    if (!PreparePrefix()) return;
    // One server for the whole run. A server that is not told to persist shuts the prefix down
    // as soon as its last program ends and kills whatever starts in that moment, such as the
    // driver run right after the program under test has quit. A minute's persistence outlasts
    // every pause between Wine programs here, and still lets the server end by itself if this
    // harness is killed before it can stop it.
    Outcome server = Run({server_, "-p60"}, WineEnvironment(), Millis(30000));
    if (!server.finished || server.code != 0)
        failure_ = "the wineserver did not start: " + Describe(server);
}

bool Session::ChooseRoute()
{
    Outcome described = Run({"bash", "-c", ". \"$0\" && wine_env_describe", ZELMO_E2E_WINE_ENV},
                            CurrentEnvironment({}), Millis(60000));
    if (!described.finished || described.code != 0) {
        failure_ = "wine-env.sh could not describe the Wine route: " + Describe(described);
        return false;
    }
    for (const Record &line : ParseRecords(described.out)) {
        // Each line is "key=value"; the record parser sees it as a bare kind.
        size_t equals = line.kind.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.kind.substr(0, equals), value = line.kind.substr(equals + 1);
        if (key == "route")
            route_ = value;
        else if (key == "loader")
            loader_ = value;
        else if (key == "server")
            server_ = value;
        else if (key == "winearch")
            winearch_ = value;
        else if (key == "winedlloverrides")
            dllOverrides_ = value;
        else if (key == "reason")
            routeReason_ = value;
    }
    Outcome version = Run({loader_, "--version"}, CurrentEnvironment({}), Millis(60000));
    if (route_ != "win32" && (!version.finished || version.code != 0)) {
        skipReason_ = "Wine cannot run here: neither the 32-bit loader /usr/lib/wine/wine nor " +
                      loader_ + " runs (" + Describe(version) + ")";
        return false;
    }
    if (route_ == "win64")
        std::cout << (routeReason_.empty() ? std::string("the x86_64 route was asked for")
                                           : routeReason_)
                  << "; testing the x86_64 build of the same sources under wine64" << std::endl;
    std::string buildDir =
        route_ == "win32" ? ZELMO_E2E_WIN32_BUILD_DIR : ZELMO_E2E_WIN64_BUILD_DIR;
    std::string variable = route_ == "win32" ? "ZELMO_WIN32_BUILD_DIR" : "ZELMO_WIN64_BUILD_DIR";
    if (buildDir.empty()) {
        skipReason_ = variable + " is not set: configure the sim build with -D" + variable +
                      "=<the " + route_ + " build folder> (scripts/test.sh does)";
        return false;
    }
    buildDir_ = buildDir;
    programExe_ = buildDir_ / "ZelmoSound.exe";
    driverExe_ = buildDir_ / "zelmo-e2e-driver.exe";
    for (const fs::path &exe : {programExe_, driverExe_}) {
        if (!fs::exists(exe)) {
            failure_ = exe.string() + " is missing: build it with cmake --build build/" + route_;
            return false;
        }
    }
    return true;
}

bool Session::StartXvfb()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        failure_ = "pipe: " + std::string(std::strerror(errno));
        return false;
    }
    // Xvfb picks a free display number itself and writes it to the descriptor when it is ready.
    xvfb_ = std::make_unique<Child>(
        ChildOptions{{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                      "-nolisten", "tcp", "-noreset"},
                     CurrentEnvironment({}),
                     {},
                     artefacts_ / "logs" / "xvfb.log",
                     SIGTERM,
                     fds[1]});
    close(fds[1]);
    std::string number;
    auto deadline = Clock::now() + Millis(20000);
    while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
        auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
        pollfd readable{fds[0], POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[16];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    number = Trim(number);
    if (number.empty()) {
        failure_ = "Xvfb did not start: " + ReadFile(artefacts_ / "logs" / "xvfb.log");
        return false;
    }
    display_ = ":" + number;
    return true;
}

bool Session::PreparePrefix()
{
    prefix_ = artefacts_ / ("prefix-" + route_);
    Outcome version = Run({loader_, "--version"}, CurrentEnvironment({}), Millis(60000));
    // A prefix is reused while the Wine version and the preparation script stay the same.
    std::string stamp = route_ + "\n" + Trim(version.out) + "\n" +
                        std::to_string(std::hash<std::string>{}(ReadFile(ZELMO_E2E_WINE_ENV))) +
                        "\n";
    fs::path marker = prefix_ / PreparedMarker;
    if (fs::exists(prefix_ / "system.reg") && fs::exists(marker) && ReadFile(marker) == stamp)
        return true;
    std::cout << "e2e: preparing the Wine prefix " << prefix_.string()
              << " (once; later runs reuse it)" << std::endl;
    std::error_code error;
    fs::remove_all(prefix_, error);
    Outcome prepared =
        Run({"bash", "-c", ". \"$0\" && wine_env_prepare_prefix", ZELMO_E2E_WINE_ENV},
            WineEnvironment(), Millis(300000));
    if (!prepared.finished || prepared.code != 0) {
        failure_ = "preparing the Wine prefix failed: " + Describe(prepared);
        return false;
    }
    std::ofstream(marker, std::ios::binary) << stamp;
    return true;
}

void Session::StopWineServer()
{
    if (prefix_.empty()) prefix_ = artefacts_ / ("prefix-" + route_);
    if (server_.empty() || !fs::exists(prefix_)) return;
    Run({server_, "-k"}, WineEnvironment(), Millis(30000));
    Run({server_, "-w"}, WineEnvironment(), Millis(30000));
}

void Session::Stop()
{
    if (!started_) return;
    StopWineServer();
    if (xvfb_) {
        xvfb_->Signal(SIGTERM);
        xvfb_->WaitExit(Millis(10000));
        xvfb_.reset();
    }
    ReapOrphans();
    started_ = false;
}

// Reaps the Wine processes that were handed to this one; any still running after the deadline
// are killed.
void Session::ReapOrphans()
{
    bool killed = false;
    auto deadline = Clock::now() + Millis(15000);
    for (;;) {
        int status = 0;
        pid_t pid = waitpid(-1, &status, WNOHANG);
        if (pid > 0) continue;
        if (pid < 0 && errno != EINTR) return; // no children left
        if (Clock::now() >= deadline && !killed) {
            for (pid_t orphan : ChildrenOfThisProcess())
                kill(orphan, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(Millis(20));
    }
}

Environment Session::WineEnvironment() const
{
    return CurrentEnvironment({{"WINEPREFIX", prefix_.string()},
                               {"WINEARCH", winearch_},
                               {"WINELOADER", loader_},
                               {"WINESERVER", server_},
                               {"WINEDEBUG", "-all"},
                               {"WINEDLLOVERRIDES", dllOverrides_},
                               {"WINE_ENV_ROUTE", route_},
                               {"DISPLAY", display_},
                               // Arguments and output pass as UTF-8.
                               {"LC_ALL", "C.UTF-8"}});
}

std::vector<std::string> Session::WineCommand(const fs::path &exe,
                                              const std::vector<std::string> &args) const
{
    std::vector<std::string> command{loader_, exe.string()};
    command.insert(command.end(), args.begin(), args.end());
    return command;
}

ProgramFolder::ProgramFolder(const fs::path &exe)
{
    char pattern[] = "/tmp/zelmo-e2e-XXXXXX";
    if (mkdtemp(pattern)) dir_ = pattern;
    if (!dir_.empty() && fs::exists(exe)) fs::copy_file(exe, Exe());
}

ProgramFolder::~ProgramFolder()
{
    std::error_code error;
    if (!dir_.empty()) fs::remove_all(dir_, error);
}

void ProgramFolder::Add(const fs::path &file) const
{
    fs::copy_file(file, dir_ / file.filename(), fs::copy_options::overwrite_existing);
}

std::vector<std::string> ProgramFolder::Files() const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(dir_, error))
        names.push_back(entry.path().filename().string());
    return names;
}

Program::Program(Session &session, const ProgramFolder &folder, const std::string &logName,
                 const Environment &extra, const fs::path &workingDirectory)
    : session_(session)
{
    Environment env = session.WineEnvironment();
    for (const auto &[key, value] : extra)
        env[key] = value;
    child_ = std::make_unique<Child>(
        ChildOptions{session.WineCommand(folder.Exe()), env,
                     workingDirectory.empty() ? folder.Dir() : workingDirectory,
                     session.Artefacts() / "logs" / (logName + ".log"), SIGKILL, -1});
}

Program::~Program()
{
    if (!child_->Running()) return;
    // Asked to close as the system would; killed when it does not go.
    DriverResult main = session_.Driver({"find", MainClass, MainTitle}, Millis(10000));
    if (std::optional<Record> window = main.First())
        session_.Driver({"post", window->get("hwnd"), WmClose, "0", "0"}, Millis(10000));
    if (!child_->WaitExit(Millis(10000))) child_->Kill();
}

} // namespace e2e
