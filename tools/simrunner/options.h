// The simulation runner's command line: its options, their parsing and the help text, and the
// notations of virtual time it shares with the script (a start date, clock times, seconds).
#pragma once

#include "platform/sim/desktop.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace simrunner
{

// A command line the runner cannot use; the message says why.
struct UsageError : std::runtime_error {
    explicit UsageError(const std::string &what) : std::runtime_error(what) {}
};

struct Snapshot {
    sim::Millis time = 0;
    std::string className;
    std::string file;
    std::string argument; // as given on the command line
};

struct Options {
    std::string folder;
    std::string soundsFrom;
    std::vector<std::string> emptySounds;
    std::string settings;
    sim::LocalTime start{2026, 12, 8, 12, 0, 0, 0};
    sim::Millis duration = 0;
    std::string script;
    std::vector<Snapshot> snapshots; // in order of time, then of the command line
    std::string keep;
    std::optional<std::pair<int, int>> cursor;
    std::optional<std::pair<int, int>> screen; // width and height; 1024 x 768 when not given
    bool help = false;
};

// Parses the arguments after the program name; throws UsageError.
Options ParseCommandLine(const std::vector<std::string> &args);
std::string HelpText();

sim::Millis StartMillis(const Options &options);
sim::Millis EndMillis(const Options &options);

// "12", "0.25": whole seconds with at most three decimals, in milliseconds.
std::optional<sim::Millis> ParseSeconds(const std::string &text);
// "9:05:00", "13:00:00.300": a clock time, in milliseconds since midnight.
std::optional<sim::Millis> ParseClock(const std::string &text);
// "+SECONDS" after start, or the first moment at or after notBefore that shows the clock time.
std::optional<sim::Millis> ParseTimePoint(const std::string &text, sim::Millis start,
                                          sim::Millis notBefore);
// "2026-12-08 12:00:00" (a date and a clock time, local time).
std::optional<sim::LocalTime> ParseStart(const std::string &text);
// A decimal or 0x hexadecimal integer, optionally negative.
std::optional<long long> ParseInteger(const std::string &text);

} // namespace simrunner
