// The DevTools pipe client of devtools.h: starts Chromium as a child process in a process group
// of its own, sends commands and matches answers by their id, keeps the events it meets on the
// way for WaitForEvent.
#include "tests/release/devtools.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace devtools
{
namespace
{

using Clock = std::chrono::steady_clock;
constexpr auto AnswerTimeout = std::chrono::seconds(60);

void AppendUtf8(std::string &out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The id of an answer ({"id":N,...}); events have none.
std::optional<long> AnswerId(const std::string &message)
{
    constexpr std::string_view prefix = R"({"id":)";
    if (message.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return std::strtol(message.c_str() + prefix.size(), nullptr, 10);
}

[[noreturn]] void Fail(const std::string &what)
{
    throw std::runtime_error("Chromium: " + what);
}

} // namespace

std::string Quote(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::optional<std::string> StringField(const std::string &json, std::string_view key)
{
    std::string start = "\"" + std::string(key) + "\":\"";
    size_t pos = json.find(start);
    if (pos == std::string::npos) return std::nullopt;
    std::string out;
    for (pos += start.size(); pos < json.size() && json[pos] != '"'; ++pos) {
        if (json[pos] != '\\') {
            out += json[pos];
            continue;
        }
        if (++pos >= json.size()) break;
        switch (char c = json[pos]) {
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            unsigned code = static_cast<unsigned>(std::stoul(json.substr(pos + 1, 4), nullptr, 16));
            pos += 4;
            // A surrogate pair stands for one character beyond the basic plane.
            if (code >= 0xD800 && code < 0xDC00 && json.compare(pos + 1, 2, "\\u") == 0) {
                unsigned low =
                    static_cast<unsigned>(std::stoul(json.substr(pos + 3, 4), nullptr, 16));
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                pos += 6;
            }
            AppendUtf8(out, code);
            break;
        }
        default:
            out += c; // " \ /
        }
    }
    return out;
}

std::string DecodeBase64(std::string_view text)
{
    static constexpr std::string_view digits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        size_t value = digits.find(c);
        if (value == std::string_view::npos) continue; // padding
        bits = bits << 6 | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>(bits >> count & 0xFF);
        }
    }
    return out;
}

Browser::Browser(const std::filesystem::path &logFile)
{
    // A browser that dies leaves a pipe whose writing would otherwise end the test.
    std::signal(SIGPIPE, SIG_IGN);
    char folder[] = "/tmp/zelmo-chromium-XXXXXX";
    if (!mkdtemp(folder)) Fail("no folder for the profile");
    profile_ = folder;

    int commands[2], answers[2];
    if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(answers, O_CLOEXEC) != 0) Fail("no pipes");
    std::vector<std::string> args = {"chromium",
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--no-first-run",
                                     "--no-default-browser-check",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--hide-scrollbars",
                                     "--mute-audio",
                                     "--remote-debugging-pipe",
                                     "--user-data-dir=" + profile_.string(),
                                     "about:blank"};
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);

    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        // Out of the way of descriptors 3 and 4 first, then onto them (dup2 clears close-on-exec).
        int in = fcntl(commands[0], F_DUPFD_CLOEXEC, 10);
        int out = fcntl(answers[1], F_DUPFD_CLOEXEC, 10);
        if (in < 0 || out < 0 || dup2(in, 3) < 0 || dup2(out, 4) < 0) _exit(126);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (log >= 0) close(log);
    close(commands[0]);
    close(answers[1]);
    toBrowser_ = commands[1];
    fromBrowser_ = answers[0];
    if (pid_ < 0) Fail("cannot start a process");
    setpgid(pid_, pid_);
    try {
        Call("Browser.getVersion", "{}", true);
    } catch (const std::runtime_error &e) {
        Fail(std::string("did not start (is the package chromium installed? scripts/setup.sh "
                         "installs it): ") +
             e.what());
    }
}

Browser::~Browser()
{
    if (pid_ > 0) {
        try {
            Call("Browser.close", "{}", true);
        } catch (const std::runtime_error &) {
            // Ended below either way.
        }
        close(toBrowser_);
        close(fromBrowser_);
        int status = 0;
        auto deadline = Clock::now() + std::chrono::seconds(10);
        pid_t done = 0;
        while ((done = waitpid(pid_, &status, WNOHANG)) == 0 && Clock::now() < deadline)
            poll(nullptr, 0, 20);
        // Whatever the browser left in its group (or the browser itself, if it did not close).
        kill(-pid_, SIGKILL);
        if (done == 0) waitpid(pid_, &status, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(profile_, ignored);
}

std::string Browser::Receive(Clock::time_point deadline)
{
    for (;;) {
        // Only the bytes not yet looked at: a picture comes as one message of megabytes.
        if (size_t end = pending_.find('\0', scanned_); end != std::string::npos) {
            std::string message = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            scanned_ = 0;
            return message;
        }
        scanned_ = pending_.size();
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) Fail("no answer in time");
        pollfd ready{fromBrowser_, POLLIN, 0};
        int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno != EINTR) Fail("cannot wait for the pipe");
        if (polled <= 0) continue;
        char buffer[65536];
        ssize_t count = read(fromBrowser_, buffer, sizeof buffer);
        if (count == 0) Fail("the browser closed its pipe");
        if (count < 0 && errno != EINTR) Fail("cannot read the pipe");
        if (count > 0) pending_.append(buffer, static_cast<size_t>(count));
    }
}

std::string Browser::Call(const std::string &method, const std::string &params, bool toBrowser)
{
    long id = nextId_++;
    std::string message = R"({"id":)" + std::to_string(id) + R"(,"method":)" + Quote(method) +
                          R"(,"params":)" + params;
    if (!toBrowser && !session_.empty()) message += R"(,"sessionId":)" + Quote(session_);
    message += std::string("}") + '\0';
    for (size_t sent = 0; sent < message.size();) {
        ssize_t count = write(toBrowser_, message.data() + sent, message.size() - sent);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) Fail("cannot send " + method);
        sent += static_cast<size_t>(count);
    }
    auto deadline = Clock::now() + AnswerTimeout;
    for (;;) {
        std::string answer = Receive(deadline);
        std::optional<long> answerId = AnswerId(answer);
        if (!answerId) {
            events_.push_back(std::move(answer));
            continue;
        }
        if (*answerId != id) continue;
        if (answer.find(R"("error":{)") != std::string::npos)
            Fail(method + " failed: " + StringField(answer, "message").value_or(answer));
        return answer;
    }
}

void Browser::WaitForEvent(const std::string &method)
{
    std::string wanted = R"({"method":)" + Quote(method);
    auto deadline = Clock::now() + AnswerTimeout;
    for (;;) {
        auto found = std::find_if(events_.begin(), events_.end(), [&](const std::string &event) {
            return event.compare(0, wanted.size(), wanted) == 0 &&
                   StringField(event, "sessionId") == session_;
        });
        if (found != events_.end()) {
            events_.erase(events_.begin(), found + 1);
            return;
        }
        events_.clear();
        std::string message = Receive(deadline);
        if (!AnswerId(message)) events_.push_back(std::move(message));
    }
}

void Browser::Open(const std::string &url, int width, int height)
{
    std::string target = Call("Target.createTarget", R"({"url":"about:blank"})", true);
    std::string attached = Call("Target.attachToTarget",
                                R"({"flatten":true,"targetId":)" +
                                    Quote(StringField(target, "targetId").value_or("")) + "}",
                                true);
    session_ = StringField(attached, "sessionId").value_or("");
    width_ = width;
    Call("Emulation.setDeviceMetricsOverride", R"({"deviceScaleFactor":1,"mobile":false,"width":)" +
                                                   std::to_string(width) + R"(,"height":)" +
                                                   std::to_string(height) + "}");
    Call("Page.enable", "{}");
    events_.clear();
    Call("Page.navigate", R"({"url":)" + Quote(url) + "}");
    WaitForEvent("Page.loadEventFired");
    Evaluate("document.fonts.ready.then(() => 'ready')");
}

std::string Browser::Evaluate(const std::string &expression)
{
    std::string answer = Call("Runtime.evaluate", R"({"awaitPromise":true,"returnByValue":true,)"
                                                  R"("expression":)" +
                                                      Quote(expression) + "}");
    if (answer.find(R"("exceptionDetails":)") != std::string::npos)
        Fail("the script failed: " + StringField(answer, "description").value_or(answer));
    std::optional<std::string> value = StringField(answer, "value");
    if (!value) Fail("the script gave no text: " + answer);
    return *value;
}

std::vector<std::string> Browser::PicturesOfWholePage(int pieceHeight)
{
    int height = std::stoi(Evaluate("String(document.documentElement.scrollHeight)"));
    // A window as high as the page, so that every piece lies in it.
    Call("Emulation.setDeviceMetricsOverride", R"({"deviceScaleFactor":1,"mobile":false,"width":)" +
                                                   std::to_string(width_) + R"(,"height":)" +
                                                   std::to_string(height) + "}");
    std::vector<std::string> pictures;
    for (int top = 0; top < height; top += pieceHeight) {
        std::string clip = R"({"x":0,"scale":1,"y":)" + std::to_string(top) + R"(,"width":)" +
                           std::to_string(width_) + R"(,"height":)" +
                           std::to_string(std::min(pieceHeight, height - top)) + "}";
        std::string answer =
            Call("Page.captureScreenshot", R"({"format":"png","clip":)" + clip + "}");
        pictures.push_back(DecodeBase64(StringField(answer, "data").value_or("")));
    }
    return pictures;
}

} // namespace devtools
