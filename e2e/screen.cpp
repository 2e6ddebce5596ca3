// What the end-to-end harness reads of the screen: the windows zelmo-e2e-driver.exe lists and
// the records of its output, the screen's pixels and screenshots (ImageMagick's import), the mouse
// and keyboard worked with xdotool, and waiting for what a test expects with the screen's state in
// the failure message.
#include "e2e/harness.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace e2e
{

namespace fs = std::filesystem;

namespace
{

// A file name made of the label's letters and digits.
std::string FileLabel(const std::string &label)
{
    std::string name;
    for (char c : label)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
    return name.substr(0, 60);
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

} // namespace e2e
