// The run itself. Input files are read and the script parsed before the desktop exists; the
// program folder is filled through the desktop's own file access (so names match without regard
// to letter case, as on Windows); the event log is the desktop's event stream, framed by a start
// line with the options and an exit or end line.
#include "tools/simrunner/runner.h"

#include "tools/simrunner/script.h"

#include "shell/reset.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace simrunner
{

namespace
{

namespace fs = std::filesystem;

// A failure that ends the run with its exit code.
struct RunError {
    int code = 1;
    std::string message;
};

std::string ReadHostFile(const std::string &path, const char *what)
{
    std::ifstream file(path, std::ios::binary);
    if (!file || fs::is_directory(path))
        throw RunError{2, std::string(what) + ": cannot read " + path};
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string Lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string JsonArray(const std::vector<std::string> &texts)
{
    std::string out = "[";
    for (size_t i = 0; i < texts.size(); ++i)
        out += (i ? "," : "") + sim::JsonString(texts[i]);
    return out + "]";
}

// Milliseconds as a JSON number of seconds: 3600, 1.25.
std::string Seconds(sim::Millis millis)
{
    std::string text = std::to_string(millis / 1000);
    if (millis % 1000 == 0) return text;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(millis % 1000));
    std::string digits = fraction;
    while (digits.back() == '0')
        digits.pop_back();
    return text + digits;
}

sim::Event StartEvent(const Options &options)
{
    sim::Event event;
    event.time = StartMillis(options);
    event.kind = "start";
    auto add = [&](const char *name, const std::string &value) {
        if (!value.empty()) event.fields.push_back({name, sim::JsonString(value)});
    };
    event.fields.push_back({"duration", Seconds(options.duration)});
    add("folder", options.folder);
    add("sounds-from", options.soundsFrom);
    if (!options.emptySounds.empty())
        event.fields.push_back({"empty-sounds", JsonArray(options.emptySounds)});
    add("settings", options.settings);
    add("script", options.script);
    std::vector<std::string> snapshots;
    for (const Snapshot &snapshot : options.snapshots)
        snapshots.push_back(snapshot.argument);
    if (!snapshots.empty()) event.fields.push_back({"snapshots", JsonArray(snapshots)});
    add("keep", options.keep);
    auto addPair = [&](const char *name, const std::optional<std::pair<int, int>> &value) {
        if (value)
            event.fields.push_back({name, "[" + std::to_string(value->first) + "," +
                                              std::to_string(value->second) + "]"});
    };
    addPair("cursor", options.cursor);
    addPair("screen", options.screen);
    return event;
}

// Copies the files under a host folder into a folder of the simulated drive.
void CopyFolderIn(sim::Desktop &desktop, const fs::path &from, const std::string &windowsFolder)
{
    std::vector<fs::path> files;
    for (const auto &entry : fs::recursive_directory_iterator(from))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path &file : files) {
        std::string relative = fs::relative(file, from).generic_string();
        std::replace(relative.begin(), relative.end(), '/', '\\');
        desktop.WriteFile(windowsFolder + relative, ReadHostFile(file.string(), "--folder"));
    }
}

void FillProgramFolder(sim::Desktop &desktop, const Options &options, const std::string &settings)
{
    const std::string folder = desktop.ProgramFolder();
    if (!options.folder.empty()) {
        std::error_code ignored;
        fs::create_directories(options.folder, ignored);
        if (!fs::is_directory(options.folder))
            throw RunError{2, "--folder: cannot make the folder " + options.folder};
        CopyFolderIn(desktop, options.folder, folder);
    }
    if (!options.soundsFrom.empty()) {
        std::vector<fs::path> sounds;
        for (const auto &entry : fs::directory_iterator(options.soundsFrom))
            if (entry.is_regular_file() && Lower(entry.path().extension().string()) == ".wav")
                sounds.push_back(entry.path());
        std::sort(sounds.begin(), sounds.end());
        for (const fs::path &sound : sounds)
            desktop.WriteFile(folder + sound.filename().string(),
                              ReadHostFile(sound.string(), "--sounds-from"));
    }
    for (const std::string &name : options.emptySounds)
        desktop.WriteFile(folder + name, "");
    if (!options.settings.empty()) desktop.WriteFile(folder + "ZelmoSound.INI", settings);
}

void KeepProgramFolder(const sim::Desktop &desktop, const std::string &keep)
{
    std::error_code error;
    fs::create_directories(keep, error);
    fs::copy(desktop.HostPath(desktop.ProgramFolder()), keep,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error) throw RunError{1, "--keep: cannot copy the program folder to " + keep};
}

sim::Event TakeSnapshot(const sim::Desktop &desktop, const Snapshot &snapshot)
{
    for (const sim::WindowInfo &window : desktop.Windows()) {
        if (sim::Upper(window.className) != sim::Upper(snapshot.className)) continue;
        if (!desktop.SaveWindowPng(window.handle, snapshot.file))
            throw RunError{1, "--snapshot: cannot write " + snapshot.file};
        sim::Event event;
        event.time = desktop.Now();
        event.kind = "snapshot";
        event.fields = {{"class", sim::JsonString(window.className)},
                        {"file", sim::JsonString(snapshot.file)},
                        {"visible", window.visible ? "true" : "false"}};
        return event;
    }
    throw RunError{2, "--snapshot '" + snapshot.argument + "': there is no window of class " +
                          snapshot.className + " at " + sim::FormatTime(desktop.Now())};
}

// The script's actions and the snapshots in the order they are done: by time, and at one time
// the actions (in file order) before the snapshots.
struct Step {
    sim::Millis time = 0;
    const Action *action = nullptr;
    const Snapshot *snapshot = nullptr;
};

std::vector<Step> Timeline(const std::vector<Action> &actions,
                           const std::vector<Snapshot> &snapshots)
{
    std::vector<Step> steps;
    for (const Action &action : actions)
        steps.push_back(Step{action.time, &action, nullptr});
    for (const Snapshot &snapshot : snapshots)
        steps.push_back(Step{snapshot.time, nullptr, &snapshot});
    std::stable_sort(steps.begin(), steps.end(), [](const Step &a, const Step &b) {
        return a.time < b.time || (a.time == b.time && a.action && !b.action);
    });
    return steps;
}

std::string FieldValue(const sim::Event &event, const std::string &name)
{
    for (const auto &[field, value] : event.fields)
        if (field == name) return value;
    return "0";
}

// What the log has seen; it outlives the desktop, whose teardown must print nothing more.
struct Log {
    std::ostream &out;
    bool closed = false;
    bool exited = false;

    void Print(const sim::Event &event)
    {
        if (!closed) out << event.Json() << '\n';
    }
    void Exit(sim::Millis time, const std::string &code)
    {
        Print(sim::Event{time, "exit", {{"code", code}}});
        exited = closed = true;
    }
};

struct CloseOnExit {
    Log &log;
    ~CloseOnExit() { log.closed = true; }
};

void Simulate(const Options &options, const std::vector<Action> &actions,
              const std::string &settings, Log &log)
{
    sim::Desktop::Options desktopOptions;
    desktopOptions.start = options.start;
    if (options.screen) {
        desktopOptions.screenWidth = options.screen->first;
        desktopOptions.screenHeight = options.screen->second;
    }
    sim::Desktop desktop(desktopOptions);
    CloseOnExit closer{log};
    FillProgramFolder(desktop, options, settings);
    if (options.cursor) desktop.SetCursorPos(options.cursor->first, options.cursor->second);

    desktop.Subscribe([&log](const sim::Event &event) {
        if (event.kind == "exit")
            log.Exit(event.time, FieldValue(event, "code"));
        else
            log.Print(event);
    });
    log.Print(StartEvent(options));

    // Every module's globals back to their start values, as at a fresh start of the program.
    ResetProgramState();
    const int process = desktop.Start(&WinMain);
    auto ended = [&] {
        // The desktop reports the program's end; should it not, its process tells.
        if (!log.exited && !desktop.Running(process))
            log.Exit(desktop.Now(), std::to_string(desktop.ExitCode(process).value_or(0)));
        return log.exited;
    };

    for (const Step &step : Timeline(actions, options.snapshots)) {
        if (ended()) break;
        // A program that held the clock (a synchronous sound, a beep) may be past the step.
        if (step.time > desktop.Now()) desktop.Advance(step.time - desktop.Now());
        if (ended()) break;
        if (step.action) {
            log.Print(sim::Event{desktop.Now(),
                                 "script",
                                 {{"line", std::to_string(step.action->line)},
                                  {"action", sim::JsonString(step.action->written)}}});
            Perform(desktop, *step.action);
        } else {
            log.Print(TakeSnapshot(desktop, *step.snapshot));
        }
    }
    const sim::Millis end = EndMillis(options);
    if (!ended() && end > desktop.Now()) desktop.Advance(end - desktop.Now());
    if (!ended()) log.Print(sim::Event{desktop.Now(), "end", {}});
    log.closed = true;
    if (!options.keep.empty()) KeepProgramFolder(desktop, options.keep);
}

} // namespace

int Run(const Options &options, std::ostream &out, std::ostream &err)
{
    Log log{out};
    try {
        // Everything that can be wrong with the inputs is found before the run starts.
        std::vector<Action> actions;
        if (!options.script.empty())
            actions = ParseScript(ReadHostFile(options.script, "--script"), StartMillis(options),
                                  EndMillis(options));
        std::string settings;
        if (!options.settings.empty()) settings = ReadHostFile(options.settings, "--settings");
        if (!options.soundsFrom.empty() && !fs::is_directory(options.soundsFrom))
            throw RunError{2, "--sounds-from: there is no folder " + options.soundsFrom};
        Simulate(options, actions, settings, log);
    } catch (const ScriptError &error) {
        out.flush();
        err << error.Message() << '\n';
        return 2;
    } catch (const RunError &error) {
        out.flush();
        err << "zelmo-sim: " << error.message << '\n';
        return error.code;
    } catch (const sim::SimulationError &error) {
        out.flush();
        err << "zelmo-sim: the simulation failed: " << error.what() << '\n';
        return 1;
    } catch (const fs::filesystem_error &error) {
        out.flush();
        err << "zelmo-sim: " << error.what() << '\n';
        return 1;
    }
    out.flush();
    return 0;
}

} // namespace simrunner
