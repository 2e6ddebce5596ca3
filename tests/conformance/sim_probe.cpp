// zelmo-probe-sim: the conformance probe on the simulated desktop, on its virtual clock. Prints
// the probe's trace on standard output. Its arguments are the probe's command line (scenarios to
// play or leave out, see probe/probe.cpp); with --check it also fails unless the probe played
// to its end without a scenario timing out; with --reference FILE it also compares the trace with
// the Wine trace kept in FILE, as the conformance test compares it with Wine's, and fails on
// any difference. It is the user outside the probe too (probe/outside.h): it clicks the
// simulated tray icon with pointer input, as the conformance test clicks Wine's.
//
//   zelmo-probe-sim                     every scenario
//   zelmo-probe-sim loops dialogs/esc   the loops area and one dialog scenario
#include "platform/sim/desktop.h"
#include "tests/conformance/probe/outside.h"
#include "tests/conformance/trace_compare.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace
{

// The probe's folder on the simulated drive; its trace is written beside it.
constexpr char ProbePath[] = "C:\\Probe\\zelmo-probe.exe";
constexpr char TracePath[] = "C:\\Probe\\probe-trace.txt";
constexpr char ProbeFolder[] = "C:\\Probe\\";
// Virtual time the probe may take before it is taken for hung, and how often the user outside
// looks for a request.
constexpr sim::Millis Limit = 3600 * 1000;
constexpr sim::Millis Glance = 100;

// The user outside the probe: the request removed, then done at the centre of the tray icon with
// the simulated mouse, or answered. "" when done, else what went wrong.
std::string ActOutside(sim::Desktop &desktop)
{
    const std::string path = std::string(ProbeFolder) + probe::OutsideRequestFile;
    std::optional<std::string> request = desktop.ReadFile(path);
    if (!request) return "";
    std::filesystem::remove(desktop.HostPath(path));
    while (!request->empty() && (request->back() == '\n' || request->back() == '\r'))
        request->pop_back();
    if (*request == probe::BrowserShows) {
        // The simulated shell's browser shows what it was last asked to open.
        std::vector<std::string> opened = desktop.ShellExecutes();
        std::string shown = probe::NothingShown;
        if (!opened.empty()) shown = opened.back().substr(opened.back().find(' ') + 1);
        desktop.WriteFile(std::string(ProbeFolder) + probe::OutsideReplyFile, shown + "\n");
        return "";
    }
    std::optional<sim::TrayInfo> tray = desktop.Tray();
    if (!tray) return "the probe asked for '" + *request + "' with no tray icon there";
    const int x = (tray->rect.left + tray->rect.right) / 2;
    const int y = (tray->rect.top + tray->rect.bottom) / 2;
    if (*request == probe::TrayPoint)
        desktop.MovePointer(x, y);
    else if (*request == probe::TrayLeftClick)
        desktop.LeftClick(x, y);
    else if (*request == probe::TrayDoubleClick)
        desktop.DoubleClick(x, y);
    else if (*request == probe::TrayRightClick)
        desktop.RightClick(x, y);
    else
        return "the probe asked for '" + *request + "', which the outside user does not know";
    return "";
}

std::string ReadHostFile(const std::string &path, bool *found)
{
    std::ifstream in(path, std::ios::binary);
    *found = in.good();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char **argv)
{
    bool check = false;
    std::string reference;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--check") {
            check = true;
            continue;
        }
        if (arg == "--reference" && i + 1 < argc) {
            reference = argv[++i];
            continue;
        }
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += arg;
    }

    sim::Desktop::Options options;
    options.start = sim::LocalTime{2026, 12, 8, 10, 0, 0, 0};
    options.programPath = ProbePath;
    options.resourceScript = ZELMO_PROBE_SCRIPT;
    sim::Desktop desktop(options);
    std::string failure;
    int exitCode = 1;
    try {
        int process = desktop.Start(&WinMain, "", commandLine);
        const sim::Millis start = desktop.Now();
        while (failure.empty() && desktop.Running(process) && desktop.Now() - start < Limit) {
            desktop.Advance(Glance);
            failure = ActOutside(desktop);
        }
        if (failure.empty() && desktop.Running(process))
            failure = "the probe did not finish within an hour of virtual time";
        else if (failure.empty())
            exitCode = desktop.ExitCode(process).value_or(1);
    } catch (const sim::SimulationError &error) {
        failure = std::string("the simulation failed: ") + error.what();
    }
    std::string trace = desktop.ReadFile(TracePath).value_or("");
    std::cout << trace << std::flush;
    if (failure.empty() && exitCode != 0)
        failure = "the probe ended with code " + std::to_string(exitCode);
    if (failure.empty() && check && trace.find("== end\n") == std::string::npos)
        failure = "the trace does not end with '== end'";
    if (failure.empty() && check)
        for (const std::string &line : conformance::TimedOut(trace))
            failure += (failure.empty() ? "" : "; ") + line;
    if (failure.empty() && !reference.empty()) {
        bool found = false;
        std::string stored = ReadHostFile(reference, &found);
        if (!found)
            failure = "no stored Wine trace " + reference;
        else
            failure =
                conformance::CompareTraces(trace, stored, "the stored Wine trace",
                                           commandLine.empty() ? conformance::Played::Everything
                                                               : conformance::Played::Selection);
        if (!failure.empty())
            failure = "the trace differs from the Wine trace kept in " + reference +
                      " (tests/conformance/README.md says how to record it again):\n" + failure;
    }
    if (!failure.empty()) {
        std::cerr << "zelmo-probe-sim: " << failure << std::endl;
        return 1;
    }
    return 0;
}
