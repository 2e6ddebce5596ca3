#include "harness.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace e2e
{

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace
{

constexpr char WmClose[] = "0x10";
constexpr char PreparedMarker[] = ".zelmo-e2e-prepared";

std::string ReadAll(int fd)
{
    std::string text;
    if (fd < 0) return text;
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        ssize_t n = pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
        offset += n;
    }
    return text;
}

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

// A file name made of the label's letters and digits.
std::string FileLabel(const std::string &label)
{
    std::string name;
    for (char c : label)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
    return name.substr(0, 60);
}

int DecodeStatus(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
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

std::string Record::get(const std::string &key) const
{
    auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

std::vector<Record> ParseRecords(const std::string &output)
{
    std::vector<Record> records;
    std::stringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        Record record;
        std::stringstream parts(line);
        std::string part;
        std::getline(parts, record.kind, '\t');
        while (std::getline(parts, part, '\t')) {
            size_t equals = part.find('=');
            if (equals != std::string::npos)
                record.fields[part.substr(0, equals)] = part.substr(equals + 1);
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<Rect> ParseRect(const std::string &text)
{
    Rect rect;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &rect.left, &rect.top, &rect.right, &rect.bottom,
                    &tail) != 4)
        return std::nullopt;
    return rect;
}

namespace
{

// Little-endian reads with bounds checks over the bytes of a file.
class ByteReader
{
  public:
    explicit ByteReader(const std::string &bytes) : bytes_(bytes) {}

    bool Has(size_t offset, size_t count) const
    {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    uint32_t Number(size_t offset, size_t count) const
    {
        uint32_t value = 0;
        for (size_t i = count; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(bytes_[offset + i]);
        return value;
    }
    uint16_t U16(size_t offset) const { return static_cast<uint16_t>(Number(offset, 2)); }
    uint32_t U32(size_t offset) const { return Number(offset, 4); }

    // UTF-16LE code units from offset: count of them, or up to a zero unit when count is npos.
    std::optional<std::u16string> Utf16(size_t offset, size_t count, size_t limit) const
    {
        std::u16string text;
        for (size_t at = offset; text.size() != count; at += 2) {
            if (at + 2 > limit || !Has(at, 2)) return std::nullopt;
            char16_t unit = U16(at);
            if (count == std::string::npos && unit == 0) break;
            text.push_back(unit);
        }
        return text;
    }
    // Single-byte characters up to a zero byte.
    std::optional<std::string> Narrow(size_t offset, size_t limit) const
    {
        std::string text;
        for (size_t at = offset;; ++at) {
            if (at >= limit || !Has(at, 1)) return std::nullopt;
            if (bytes_[at] == '\0') return text;
            text.push_back(bytes_[at]);
        }
    }
    std::string Bytes(size_t offset, size_t count) const { return bytes_.substr(offset, count); }

  private:
    const std::string &bytes_;
};

std::string Utf8(const std::u16string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The fixed parts of the Shell Link binary format.
constexpr uint32_t LinkHeaderSize = 0x4C;
constexpr unsigned char LinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr size_t LinkFlagsOffset = 0x14;
constexpr uint32_t HasLinkTargetIdList = 0x1;
constexpr uint32_t HasLinkInfo = 0x2;
constexpr uint32_t IsUnicode = 0x80;
// LinkInfo: its flag for a local target, and the header size from which the Unicode form of
// the local base path is present.
constexpr uint32_t VolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t LinkInfoUnicodeHeader = 0x24;

} // namespace

std::optional<ShellLink> ParseShellLink(const std::string &bytes, std::string *error)
{
    ByteReader reader(bytes);
    auto fail = [&](const std::string &why) -> std::optional<ShellLink> {
        *error = why;
        return std::nullopt;
    };
    if (!reader.Has(0, LinkHeaderSize) || reader.U32(0) != LinkHeaderSize)
        return fail("no 0x4C-byte link header");
    if (reader.Bytes(4, 16) != std::string(std::begin(LinkClsid), std::end(LinkClsid)))
        return fail("the header's class id is not the shell link's");
    ShellLink link;
    link.flags = reader.U32(LinkFlagsOffset);
    size_t at = LinkHeaderSize;
    if (link.flags & HasLinkTargetIdList) {
        if (!reader.Has(at, 2)) return fail("the item id list is cut off");
        at += 2 + reader.U16(at);
    }
    if (link.flags & HasLinkInfo) {
        if (!reader.Has(at, 28)) return fail("the LinkInfo header is cut off");
        uint32_t size = reader.U32(at);
        uint32_t headerSize = reader.U32(at + 4);
        uint32_t infoFlags = reader.U32(at + 8);
        size_t end = at + size;
        if (size < 28 || !reader.Has(at, size)) return fail("the LinkInfo size is wrong");
        if (infoFlags & VolumeIdAndLocalBasePath) {
            std::optional<std::string> narrow = reader.Narrow(at + reader.U32(at + 16), end);
            if (!narrow) return fail("the local base path runs past the LinkInfo");
            link.localBasePath = *narrow;
            if (headerSize >= LinkInfoUnicodeHeader) {
                std::optional<std::u16string> wide =
                    reader.Utf16(at + reader.U32(at + 28), std::string::npos, end);
                if (!wide) return fail("the Unicode local base path runs past the LinkInfo");
                link.localBasePath = Utf8(*wide);
            }
        }
        at = end;
    }
    // The optional strings, in the order the format keeps them.
    std::pair<uint32_t, std::string *> strings[] = {{0x04, &link.description},
                                                    {0x08, &link.relativePath},
                                                    {0x10, &link.workingDir},
                                                    {0x20, &link.arguments}};
    for (auto &[flag, text] : strings) {
        if (!(link.flags & flag)) continue;
        if (!reader.Has(at, 2)) return fail("a string's length is cut off");
        size_t count = reader.U16(at);
        at += 2;
        if (link.flags & IsUnicode) {
            std::optional<std::u16string> wide = reader.Utf16(at, count, bytes.size());
            if (!wide) return fail("a string is cut off");
            *text = Utf8(*wide);
            at += 2 * count;
        } else {
            if (!reader.Has(at, count)) return fail("a string is cut off");
            *text = reader.Bytes(at, count);
            at += count;
        }
        // Wine counts and writes each string's terminating zero; Windows leaves it out.
        while (!text->empty() && text->back() == '\0')
            text->pop_back();
    }
    return link;
}

std::string WindowsPath(const fs::path &unixPath)
{
    std::string text = "Z:" + unixPath.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::vector<fs::path> FindFilesNamed(const fs::path &root, const std::string &name)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error))
        if (it->path().filename() == name) found.push_back(it->path());
    return found;
}

std::string TimeZoneBeforeFullHour(std::time_t utc, int secondsBefore)
{
    constexpr long Hour = 3600;
    long intoHour = static_cast<long>(utc % Hour);
    long offset = ((Hour - secondsBefore - intoHour) % Hour + Hour) % Hour;
    char text[32];
    std::snprintf(text, sizeof text, "ZZZ-0:%02ld:%02ld", offset / 60, offset % 60);
    return text;
}

Environment CurrentEnvironment(const Environment &overrides)
{
    Environment env;
    for (char **entry = environ; *entry; ++entry) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals != std::string::npos) env[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto &[key, value] : overrides)
        env[key] = value;
    return env;
}

bool PollUntil(const std::function<bool()> &condition, Millis timeout, Millis interval)
{
    auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(interval);
    }
}

Child::Child(const ChildOptions &options)
{
    // Everything the child needs is built before fork: after it only system calls are made.
    std::vector<std::string> envText;
    for (const auto &[key, value] : options.env)
        envText.push_back(key + "=" + value);
    std::vector<char *> argv, envp;
    for (const std::string &arg : options.argv)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    for (const std::string &entry : envText)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);

    int logFd = -1;
    if (options.logFile.empty()) {
        outFd_ = memfd_create("child-stdout", MFD_CLOEXEC);
        errFd_ = memfd_create("child-stderr", MFD_CLOEXEC);
    } else {
        logFd = open(options.logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    int nullFd = open("/dev/null", O_RDWR | O_CLOEXEC);
    int outFd = logFd >= 0 ? logFd : outFd_ >= 0 ? outFd_ : nullFd;
    int errFd = logFd >= 0 ? logFd : errFd_ >= 0 ? errFd_ : nullFd;
    const char *cwd = options.cwd.empty() ? nullptr : options.cwd.c_str();
    pid_t parent = getpid();

    pid_ = fork();
    if (pid_ == 0) {
        // Dies with the harness, whatever way the harness ends.
        prctl(PR_SET_PDEATHSIG, options.deathSignal);
        if (getppid() != parent) _exit(127);
        dup2(nullFd, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        if (options.passFd >= 0) fcntl(options.passFd, F_SETFD, 0);
        if (cwd && chdir(cwd) != 0) _exit(127);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (nullFd >= 0) close(nullFd);
    if (logFd >= 0) close(logFd);
    if (pid_ > 0) pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

Child::~Child()
{
    Kill();
    for (int fd : {pidfd_, outFd_, errFd_})
        if (fd >= 0) close(fd);
}

bool Child::Running()
{
    return Started() && !WaitExit(Millis(0)).has_value();
}

std::optional<int> Child::WaitExit(Millis timeout)
{
    if (code_ || !Started()) return code_;
    auto deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        pid_t result = waitpid(pid_, &status, WNOHANG);
        if (result == pid_) {
            code_ = DecodeStatus(status);
            return code_;
        }
        if (result < 0 && errno != EINTR) {
            code_ = -1;
            return code_;
        }
        auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        if (pidfd_ >= 0) {
            // Readable once the process has ended.
            pollfd wait{pidfd_, POLLIN, 0};
            poll(&wait, 1, static_cast<int>(left.count()));
        } else {
            std::this_thread::sleep_for(std::min(left, Millis(10)));
        }
    }
}

void Child::Signal(int signal)
{
    if (Started() && !code_) kill(pid_, signal);
}

void Child::Kill()
{
    if (!Started() || code_) return;
    kill(pid_, SIGKILL);
    if (!WaitExit(Millis(10000))) {
        int status = 0;
        waitpid(pid_, &status, 0);
        code_ = DecodeStatus(status);
    }
}

std::string Child::Stdout() const
{
    return ReadAll(outFd_);
}
std::string Child::Stderr() const
{
    return ReadAll(errFd_);
}

Outcome Run(const std::vector<std::string> &argv, const Environment &env, Millis timeout)
{
    Child child(ChildOptions{argv, env, {}, {}, SIGKILL, -1});
    Outcome outcome;
    std::optional<int> code = child.WaitExit(timeout);
    if (!code) child.Kill();
    outcome.finished = code.has_value();
    outcome.code = code.value_or(-1);
    outcome.out = child.Stdout();
    outcome.err = child.Stderr();
    return outcome;
}

bool Pixels::Uniform() const
{
    for (size_t i = 3; i + 2 < rgb.size(); i += 3)
        if (rgb[i] != rgb[0] || rgb[i + 1] != rgb[1] || rgb[i + 2] != rgb[2]) return false;
    return true;
}

std::optional<Record> DriverResult::First(const std::string &kind) const
{
    for (const Record &record : records)
        if (record.kind == kind) return record;
    return std::nullopt;
}

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

DriverResult Session::Driver(const std::vector<std::string> &args, Millis timeout)
{
    Outcome outcome = Run(WineCommand(driverExe_, args), WineEnvironment(), timeout);
    DriverResult result;
    result.code = outcome.finished ? outcome.code : -1;
    result.output = outcome.out;
    result.records = ParseRecords(outcome.out);
    return result;
}

std::vector<Record> Session::VisibleWindows(const std::string &className, const std::string &title)
{
    std::vector<Record> found;
    for (const Record &window : Driver({"list"}).records)
        if (window.kind == "window" && window.get("class") == className &&
            window.get("visible") == "1" && (title.empty() || window.get("title") == title))
            found.push_back(window);
    return found;
}

bool Session::Xdotool(const std::vector<std::string> &args)
{
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), args.begin(), args.end());
    return Run(command, CurrentEnvironment({{"DISPLAY", display_}}), Millis(20000)).code == 0;
}

fs::path Session::Screenshot(const std::string &name)
{
    fs::path path = artefacts_ / "screenshots" / (name + ".png");
    Outcome outcome = Run({"import", "-window", "root", path.string()},
                          CurrentEnvironment({{"DISPLAY", display_}}), Millis(30000));
    return outcome.code == 0 ? path : fs::path();
}

std::optional<Pixels> Session::Grab(const Rect &area)
{
    if (area.Width() <= 0 || area.Height() <= 0) return std::nullopt;
    std::string geometry = std::to_string(area.Width()) + "x" + std::to_string(area.Height()) +
                           "+" + std::to_string(area.left) + "+" + std::to_string(area.top);
    Outcome outcome =
        Run({"import", "-window", "root", "-crop", geometry, "+repage", "-depth", "8", "rgb:-"},
            CurrentEnvironment({{"DISPLAY", display_}}), Millis(30000));
    size_t expected = static_cast<size_t>(area.Width()) * static_cast<size_t>(area.Height()) * 3;
    if (outcome.code != 0 || outcome.out.size() != expected) return std::nullopt;
    return Pixels{area, std::vector<unsigned char>(outcome.out.begin(), outcome.out.end())};
}

std::optional<Pixels> Session::WaitPainted(const Rect &area, Millis timeout)
{
    std::optional<Pixels> previous, settled;
    PollUntil(
        [&] {
            std::optional<Pixels> current = Grab(area);
            if (current && !current->Uniform() && previous && *current == *previous)
                settled = current;
            previous = current;
            return settled.has_value();
        },
        timeout, Millis(100));
    return settled;
}

std::string Session::ScreenState(const std::string &label)
{
    fs::path shot = Screenshot("failure-" + std::to_string(++failures_) + "-" + FileLabel(label));
    DriverResult windows = Driver({"list"}, Millis(30000));
    return "screenshot: " + (shot.empty() ? std::string("(none)") : shot.string()) +
           "\ntop-level windows:\n" + windows.output;
}

testing::AssertionResult Session::WaitFor(const std::string &what,
                                          const std::function<bool()> &condition, Millis timeout)
{
    if (PollUntil(condition, timeout)) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "gave up after " << timeout.count() << " ms waiting for " << what << "\n"
           << ScreenState(what);
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
                 const Environment &extra)
    : session_(session)
{
    Environment env = session.WineEnvironment();
    for (const auto &[key, value] : extra)
        env[key] = value;
    child_ = std::make_unique<Child>(
        ChildOptions{session.WineCommand(folder.Exe()), env, folder.Dir(),
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
