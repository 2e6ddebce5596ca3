// A headless Chromium, driven through its DevTools pipe: the browser reads commands from its file
// descriptor 3 and writes answers and events to descriptor 4, each message a JSON text ended by a
// NUL byte. Only what the help page's test needs: open a page at a window size, evaluate a
// script, take a picture of the whole page. Every wait has a deadline; a failure throws
// std::runtime_error with what the browser said.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace devtools
{

// The text as a JSON string literal, quotes included.
std::string Quote(std::string_view text);

// The string value of the first "key":"..." in the JSON text, unescaped to UTF-8; nullopt when
// the text has none.
std::optional<std::string> StringField(const std::string &json, std::string_view key);

std::string DecodeBase64(std::string_view text);

class Browser
{
  public:
    // Starts Chromium with a new empty profile in a folder of its own; its output goes to logFile.
    explicit Browser(const std::filesystem::path &logFile);
    // Closes the browser, waits for it, ends what is left of its process group and removes the
    // profile.
    ~Browser();
    Browser(const Browser &) = delete;
    Browser &operator=(const Browser &) = delete;

    // Opens the address in a new page whose window is width x height CSS pixels, and waits until
    // the page has loaded and its fonts are ready.
    void Open(const std::string &url, int width, int height);
    // The value of a script expression in the page (a promise is awaited); it must be a string.
    std::string Evaluate(const std::string &expression);
    // PNG pictures of the whole page at the window's width, top to bottom, each at most
    // pieceHeight pixels high (image viewers refuse very tall pictures).
    std::vector<std::string> PicturesOfWholePage(int pieceHeight);

  private:
    // Sends a command (to the page unless toBrowser) and waits for its answer, which it returns.
    std::string Call(const std::string &method, const std::string &params, bool toBrowser = false);
    void WaitForEvent(const std::string &method);
    // The next message from the browser; throws when none comes before the deadline.
    std::string Receive(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int toBrowser_ = -1, fromBrowser_ = -1;
    std::filesystem::path profile_;
    std::string pending_;             // bytes received after the last whole message
    size_t scanned_ = 0;              // of pending_, the bytes known to hold no end of message
    std::vector<std::string> events_; // events received while waiting for an answer
    std::string session_;             // the open page's session
    int width_ = 0;
    long nextId_ = 1;
};

} // namespace devtools
