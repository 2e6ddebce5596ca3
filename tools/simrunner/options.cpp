// Parsing of the runner's command line and of the virtual-time notations. Every value is checked
// here, before a simulated desktop exists, so a bad argument never leaves a half-done run.
#include "tools/simrunner/options.h"

#include <algorithm>
#include <cctype>

namespace simrunner
{

namespace
{

constexpr sim::Millis DayMillis = 86400000;

bool AllDigits(const std::string &text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// Digits after a decimal point as milliseconds: "5" is 500, "25" is 250; more than three
// digits would be finer than the virtual clock.
std::optional<sim::Millis> Fraction(const std::string &digits)
{
    if (!AllDigits(digits) || digits.size() > 3) return std::nullopt;
    std::string padded = digits + std::string(3 - digits.size(), '0');
    return std::stoll(padded);
}

std::vector<std::string> Split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

bool LeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : days[month - 1];
}

Snapshot ParseSnapshot(const std::string &argument, sim::Millis start, sim::Millis end)
{
    size_t first = argument.find('=');
    size_t second = first == std::string::npos ? first : argument.find('=', first + 1);
    if (second == std::string::npos)
        throw UsageError("--snapshot wants TIME=CLASS=FILE.png, not '" + argument + "'");
    Snapshot snapshot;
    snapshot.argument = argument;
    snapshot.className = argument.substr(first + 1, second - first - 1);
    snapshot.file = argument.substr(second + 1);
    if (snapshot.className.empty() || snapshot.file.empty())
        throw UsageError("--snapshot '" + argument + "' names no window class or no file");
    auto time = ParseTimePoint(argument.substr(0, first), start, start);
    if (!time) throw UsageError("--snapshot '" + argument + "' has no valid time (HH:MM:SS[.mmm])");
    if (*time > end)
        throw UsageError("--snapshot '" + argument + "' is after the end of the run (" +
                         sim::FormatTime(end) + ")");
    snapshot.time = *time;
    return snapshot;
}

// "1024x768": a screen of 1 to MaxScreenSide pixels each way.
constexpr int MaxScreenSide = 8192;

std::pair<int, int> ParseScreen(const std::string &value)
{
    std::vector<std::string> sides = Split(value, 'x');
    if (sides.size() == 2 && AllDigits(sides[0]) && AllDigits(sides[1]) && sides[0].size() <= 5 &&
        sides[1].size() <= 5) {
        int width = std::stoi(sides[0]), height = std::stoi(sides[1]);
        if (width >= 1 && width <= MaxScreenSide && height >= 1 && height <= MaxScreenSide)
            return {width, height};
    }
    throw UsageError("--screen wants WIDTHxHEIGHT, each 1 to " + std::to_string(MaxScreenSide) +
                     " pixels, not '" + value + "'");
}

} // namespace

std::optional<sim::Millis> ParseSeconds(const std::string &text)
{
    size_t dot = text.find('.');
    std::string whole = text.substr(0, dot);
    if (!AllDigits(whole) || whole.size() > 9) return std::nullopt;
    sim::Millis millis = std::stoll(whole) * 1000;
    if (dot != std::string::npos) {
        auto fraction = Fraction(text.substr(dot + 1));
        if (!fraction) return std::nullopt;
        millis += *fraction;
    }
    return millis;
}

std::optional<sim::Millis> ParseClock(const std::string &text)
{
    size_t dot = text.find('.');
    std::vector<std::string> parts = Split(text.substr(0, dot), ':');
    if (parts.size() != 3 || parts[0].size() > 2 || parts[1].size() != 2 || parts[2].size() != 2)
        return std::nullopt;
    for (const std::string &part : parts)
        if (!AllDigits(part)) return std::nullopt;
    int hour = std::stoi(parts[0]), minute = std::stoi(parts[1]), second = std::stoi(parts[2]);
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    sim::Millis millis = ((hour * 60LL + minute) * 60 + second) * 1000;
    if (dot != std::string::npos) {
        auto fraction = Fraction(text.substr(dot + 1));
        if (!fraction) return std::nullopt;
        millis += *fraction;
    }
    return millis;
}

std::optional<sim::Millis> ParseTimePoint(const std::string &text, sim::Millis start,
                                          sim::Millis notBefore)
{
    if (!text.empty() && text[0] == '+') {
        auto seconds = ParseSeconds(text.substr(1));
        if (!seconds) return std::nullopt;
        return start + *seconds;
    }
    auto clock = ParseClock(text);
    if (!clock) return std::nullopt;
    sim::LocalTime day = sim::FromMillis(notBefore);
    day.hour = day.minute = day.second = day.millisecond = 0;
    sim::Millis time = sim::ToMillis(day) + *clock;
    return time < notBefore ? time + DayMillis : time;
}

std::optional<sim::LocalTime> ParseStart(const std::string &text)
{
    size_t blank = text.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    std::vector<std::string> date = Split(text.substr(0, blank), '-');
    if (date.size() != 3 || date[0].size() != 4 || date[1].size() != 2 || date[2].size() != 2)
        return std::nullopt;
    for (const std::string &part : date)
        if (!AllDigits(part)) return std::nullopt;
    sim::LocalTime start;
    start.year = std::stoi(date[0]);
    start.month = std::stoi(date[1]);
    start.day = std::stoi(date[2]);
    if (start.year < 1970 || start.month < 1 || start.month > 12 || start.day < 1 ||
        start.day > DaysInMonth(start.year, start.month))
        return std::nullopt;
    auto clock = ParseClock(text.substr(blank + 1));
    if (!clock) return std::nullopt;
    start.hour = static_cast<int>(*clock / 3600000);
    start.minute = static_cast<int>(*clock / 60000 % 60);
    start.second = static_cast<int>(*clock / 1000 % 60);
    start.millisecond = static_cast<int>(*clock % 1000);
    return start;
}

std::optional<long long> ParseInteger(const std::string &text)
{
    bool negative = !text.empty() && text[0] == '-';
    std::string digits = text.substr(negative ? 1 : 0);
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 15) return std::nullopt;
    for (unsigned char c : digits)
        if (base == 10 ? !std::isdigit(c) : !std::isxdigit(c)) return std::nullopt;
    long long value = std::stoll(digits, nullptr, base);
    return negative ? -value : value;
}

sim::Millis StartMillis(const Options &options)
{
    return sim::ToMillis(options.start);
}

sim::Millis EndMillis(const Options &options)
{
    return StartMillis(options) + options.duration;
}

Options ParseCommandLine(const std::vector<std::string> &args)
{
    Options options;
    bool haveDuration = false;
    std::vector<std::string> snapshotArguments;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        if (name.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + name + "'");
        if (i + 1 >= args.size()) throw UsageError(name + " wants a value");
        const std::string &value = args[++i];
        if (name == "--folder") {
            options.folder = value;
        } else if (name == "--sounds-from") {
            options.soundsFrom = value;
        } else if (name == "--empty-sounds") {
            for (const std::string &sound : Split(value, ',')) {
                if (sound.empty() || sound.find_first_of("\\/:") != std::string::npos)
                    throw UsageError("--empty-sounds: '" + sound + "' is not a file name");
                options.emptySounds.push_back(sound);
            }
        } else if (name == "--settings") {
            options.settings = value;
        } else if (name == "--start") {
            auto start = ParseStart(value);
            if (!start)
                throw UsageError("--start wants \"YYYY-MM-DD HH:MM:SS\", not '" + value + "'");
            options.start = *start;
        } else if (name == "--duration") {
            auto duration = ParseSeconds(value);
            if (!duration) throw UsageError("--duration wants seconds, not '" + value + "'");
            options.duration = *duration;
            haveDuration = true;
        } else if (name == "--script") {
            options.script = value;
        } else if (name == "--snapshot") {
            snapshotArguments.push_back(value);
        } else if (name == "--keep") {
            options.keep = value;
        } else if (name == "--cursor") {
            std::vector<std::string> xy = Split(value, ',');
            auto x = xy.size() == 2 ? ParseInteger(xy[0]) : std::nullopt;
            auto y = xy.size() == 2 ? ParseInteger(xy[1]) : std::nullopt;
            if (!x || !y) throw UsageError("--cursor wants X,Y, not '" + value + "'");
            options.cursor = {static_cast<int>(*x), static_cast<int>(*y)};
        } else if (name == "--screen") {
            options.screen = ParseScreen(value);
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    if (!haveDuration) throw UsageError("--duration SECONDS is required");
    // Snapshot times read against the start, which may come later on the command line.
    for (const std::string &argument : snapshotArguments)
        options.snapshots.push_back(
            ParseSnapshot(argument, StartMillis(options), EndMillis(options)));
    std::stable_sort(options.snapshots.begin(), options.snapshots.end(),
                     [](const Snapshot &a, const Snapshot &b) { return a.time < b.time; });
    return options;
}

std::string HelpText()
{
    return R"(zelmo-sim: runs ZelmoSound on the simulated desktop's virtual clock and prints what it
does, one JSON object per line, each with its virtual time.

usage: zelmo-sim --duration SECONDS [options]

  --folder DIR            host folder whose files are copied into the program folder
                          (C:\ZelmoSound\) of a fresh simulated desktop; created if missing
  --sounds-from DIR       copy every *.wav of DIR into the program folder
  --empty-sounds NAME,... create empty files with these names in the program folder; they are
                          unplayable, so requests for them are logged with "played":false
  --settings FILE         copy FILE as ZelmoSound.INI into the program folder
                          (the folder is filled in this order: --folder, --sounds-from,
                          --empty-sounds, --settings; later ones replace earlier files)
  --start "YYYY-MM-DD HH:MM:SS"
                          virtual start, local time (default 2026-12-08 12:00:00)
  --duration SECONDS      virtual seconds to run, decimals allowed (required)
  --script FILE           user actions at virtual times (below)
  --snapshot TIME=CLASS=FILE.png
                          save the picture of the first window of class CLASS (for example
                          ZelmoTimeSignal) at TIME (HH:MM:SS[.mmm] or +SECONDS); repeatable
  --keep DIR              after the run, copy the program folder's files into DIR
  --cursor X,Y            mouse cursor position
  --screen WIDTHxHEIGHT   size of the simulated screen in pixels (default 1024x768)
  --help                  this text

Script: one action per line, "TIME ACTION ARGS...". TIME is +SECONDS (after the start,
decimals allowed) or HH:MM:SS[.mmm], the first such moment at or after the line before (so on
the start day or later); times never go back. '#' starts a comment; blank lines are skipped.
Actions at the same time run in file order, snapshots after them.
  tray-right-click                  a right click on the tray icon (the pointer moves there: the
                                    tray is at the bottom right of the screen)
  tray-left-click, tray-double-click, tray-point
                                    a left click, a left double click on it, the pointer onto it
  menu COMMAND_ID                   choose the item of the open menu; with no menu open, the
                                    tray menu is opened first by a right click
  menu-dismiss                      close the open menu without a choice
  click TEMPLATE CONTROL_ID         click a button of the open dialog of that template (3, 4, 6,
                                    7, 702)
  check TEMPLATE CONTROL_ID on|off  click a check box only if its state differs
  select TEMPLATE CONTROL_ID INDEX  choose an entry of a combo box or list box, by its index
                                    or, given as "TEXT", by its text (a file of the delete
                                    dialog's list: select 7 634 "bird01.wav"), with the keys:
                                    Tab onto the list, Home, Down
  text TEMPLATE CONTROL_ID "TEXT"   type into an edit field ("\"" and "\\" inside quotes):
                                    Tab onto it, then the characters (printable ASCII only)
  enter TEMPLATE | escape TEMPLATE | close TEMPLATE
                                    Enter, Esc, or the caption's close box of the dialog
  answer IDYES|IDNO|IDOK|IDCANCEL|N answer the message box opened last
  post CLASS MESSAGE WPARAM LPARAM  post a message to the first window of the class; MESSAGE,
                                    WPARAM and LPARAM are numbers, WM_USER+N or WM_ names
  cursor X Y                        put the mouse pointer there, as before a start: no window
                                    hears of it
  pointer X Y                       move the mouse there: the window under the point gets the
                                    move (and sets the pointer's shape)
  left-click X Y | right-click X Y | double-click X Y
                                    move there and click (a double click is two left clicks at
                                    once); a disabled window gets none ("input.ignored")
  choose-file "PATH"                in the open file-open dialog, type PATH into the file
                                    name field and press Open
  cancel-file                       cancel the open file-open dialog
  read-only "PATH" on|off           set or clear a file's read-only attribute, as its owner
                                    would in the file's properties

Output: {"event":"start",...} with the options first; then every sound, beep, window, tray,
menu, dialog, message box, file-open dialog, file, help and shell event of the program (the
file-open dialog: filedialog.open with its title, filedialog.close with the file chosen; files:
file.write, file.copy with "from", file.rename with "to", file.delete, file.attributes for a
read-only action), the pointer's shape ({"event":"pointer","shape":"cross"}) and tool tips
({"event":"tooltip.show","text":...,"rect":[left,top,width,height]} and "tooltip.hide"),
and the program's waits ({"event":"wait","milliseconds":50}: the jellyfish hold still);
{"event":"script",...}
before each action and {"event":"snapshot",...} for each picture; last {"event":"exit","code":N}
when the program ends or {"event":"end"} when the duration is over. The program stops at its
exit: later actions and snapshots are not done.

Exit code: 0 for a run done, 2 for a bad argument or a script line that cannot be parsed or
done at its time (stderr "script line N: reason"), 1 when the simulation itself fails.
)";
}

} // namespace simrunner
