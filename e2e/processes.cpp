// Child processes of the end-to-end harness and waiting: a child started with its own
// environment, working folder and output (a log file, or memory), which dies with the harness and
// is killed and reaped when its owner goes away; a command run to its end or its deadline; the
// environment a child gets; and polling for a condition until a deadline.
#include "e2e/harness.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
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

using Clock = std::chrono::steady_clock;

namespace
{

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

int DecodeStatus(int status)
{
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

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

std::set<std::string> LoadedLibraries(pid_t pid)
{
    std::set<std::string> names;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::string name = line.substr(line.find_last_of('/') + 1);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        if (name.ends_with(".dll")) names.insert(name);
    }
    return names;
}

} // namespace e2e
