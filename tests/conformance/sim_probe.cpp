// zelmo-probe-sim: the conformance probe on the simulated desktop, on its virtual clock. Prints
// the probe's trace on standard output. Its arguments are the probe's command line (scenarios to
// play or leave out, see probe/probe.cpp); with --check it also fails unless the probe played
// to its end.
//
//   zelmo-probe-sim                     every scenario
//   zelmo-probe-sim loops dialogs/esc   the loops area and one dialog scenario
#include "desktop.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace
{

// The probe's folder on the simulated drive; its trace is written beside it.
constexpr char ProbePath[] = "C:\\Probe\\zelmo-probe.exe";
constexpr char TracePath[] = "C:\\Probe\\probe-trace.txt";
// Virtual time the probe may take before it is taken for hung.
constexpr sim::Millis Limit = 3600 * 1000;

} // namespace

int main(int argc, char **argv)
{
    bool check = false;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--check") {
            check = true;
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
        while (desktop.Running(process) && desktop.Now() - start < Limit)
            desktop.Advance(1000);
        if (desktop.Running(process))
            failure = "the probe did not finish within an hour of virtual time";
        else
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
    if (!failure.empty()) {
        std::cerr << "zelmo-probe-sim: " << failure << std::endl;
        return 1;
    }
    return 0;
}
