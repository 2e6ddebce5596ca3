// The conformance test: the probe plays its scenarios on the simulated desktop and, built for
// Windows, under Wine (on the route e2e/wine-env.sh picks), and the two traces must be identical
// apart from the documented Wine exceptions. A difference is shown as a line diff per scenario.
#include "exceptions.h"
#include "harness.h"

#include <fstream>
#include <iterator>
#include <sstream>

using namespace e2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

constexpr char ProbeExe[] = "zelmo-probe.exe";
constexpr char TraceFile[] = "probe-trace.txt";

struct Section {
    std::string scenario;
    std::vector<std::string> lines;
};

// The trace cut at its "== area/scenario" lines; "== end" closes it.
std::vector<Section> Sections(const std::string &trace)
{
    std::vector<Section> sections;
    std::istringstream in(trace);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("== ", 0) == 0) {
            sections.push_back(Section{line.substr(3), {}});
        } else if (sections.empty()) {
            sections.push_back(Section{"(before any scenario)", {line}});
        } else {
            sections.back().lines.push_back(line);
        }
    }
    return sections;
}

// A line diff ("  " both, "- " sim only, "+ " Wine only) by longest common subsequence.
std::string Diff(const std::vector<std::string> &sim, const std::vector<std::string> &wine)
{
    const size_t n = sim.size(), m = wine.size();
    std::vector<std::vector<size_t>> common(n + 1, std::vector<size_t>(m + 1, 0));
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            common[i][j] = sim[i] == wine[j] ? common[i + 1][j + 1] + 1
                                             : std::max(common[i + 1][j], common[i][j + 1]);
    std::string out;
    size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && sim[i] == wine[j]) {
            out += "    " + sim[i++] + "\n";
            ++j;
        } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
            out += "  + " + wine[j++] + "\n";
        } else {
            out += "  - " + sim[i++] + "\n";
        }
    }
    return out;
}

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SimOnly(const std::string &scenario)
{
    for (const conformance::WineException &exception : conformance::WineExceptions())
        if (exception.kind == conformance::ExceptionKind::SimOnly && scenario == exception.scenario)
            return true;
    return false;
}

// Wine's lines with each documented Wine line of the scenario put back to the sim's.
std::vector<std::string> Excepted(const Section &wine)
{
    std::vector<std::string> lines = wine.lines;
    for (const conformance::WineException &exception : conformance::WineExceptions()) {
        if (exception.kind != conformance::ExceptionKind::WineLine ||
            wine.scenario != exception.scenario)
            continue;
        for (std::string &line : lines)
            if (line == exception.wineLine) line = exception.simLine;
    }
    return lines;
}

class Conformance : public testing::Test
{
  protected:
    static void SetUpTestSuite() { Session::Get().Start(); }
    static void TearDownTestSuite() { Session::Get().Stop(); }

    Session &session = Session::Get();
};

// The probe under Wine: copied into a folder of its own, its trace read back from there.
testing::AssertionResult RunOnWine(Session &session, const std::vector<std::string> &args,
                                   std::string *trace)
{
    fs::path exe = session.BuildDir() / ProbeExe;
    if (!fs::exists(exe))
        return testing::AssertionFailure()
               << exe << " is missing: build it with cmake --build build/" << session.Route();
    char pattern[] = "/tmp/zelmo-probe-XXXXXX";
    if (!mkdtemp(pattern)) return testing::AssertionFailure() << "cannot make a folder in /tmp";
    fs::path folder = pattern;
    fs::copy_file(exe, folder / ProbeExe);
    ChildOptions options{session.WineCommand(folder / ProbeExe, args),
                         session.WineEnvironment(),
                         folder,
                         session.Artefacts() / "logs" / "probe.log",
                         SIGKILL,
                         -1};
    std::optional<int> code;
    {
        Child probe(options);
        code = probe.WaitExit(120s);
    }
    *trace = ReadText(folder / TraceFile);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!code)
        return testing::AssertionFailure()
               << "the probe did not finish under Wine within 120 s; its trace so far:\n"
               << *trace << session.ScreenState("probe hung");
    if (*code != 0)
        return testing::AssertionFailure()
               << "the probe ended with code " << *code << " under Wine; its trace:\n"
               << *trace;
    return testing::AssertionSuccess();
}

} // namespace

TEST_F(Conformance, TheSimulatedDesktopAndWineGiveTheSameTrace)
{
    Outcome sim = e2e::Run({ZELMO_PROBE_SIM, "--check"}, CurrentEnvironment({}), 120s);
    ASSERT_TRUE(sim.finished && sim.code == 0)
        << "the probe failed on the simulated desktop: " << sim.err << "\n"
        << sim.out;
    std::vector<Section> simSections = Sections(sim.out);

    if (!session.SkipReason().empty()) GTEST_SKIP() << session.SkipReason();
    ASSERT_TRUE(session.Failure().empty()) << session.Failure();
    std::vector<std::string> args;
    for (const conformance::WineException &exception : conformance::WineExceptions())
        if (exception.kind == conformance::ExceptionKind::SimOnly)
            args.push_back(std::string("-") + exception.scenario);
    std::string wineTrace;
    ASSERT_TRUE(RunOnWine(session, args, &wineTrace));
    std::vector<Section> wineSections = Sections(wineTrace);

    std::vector<std::string> simOrder, wineOrder;
    for (const Section &section : simSections)
        if (!SimOnly(section.scenario)) simOrder.push_back(section.scenario);
    for (const Section &section : wineSections)
        wineOrder.push_back(section.scenario);
    ASSERT_EQ(simOrder, wineOrder) << "the two sides played different scenarios";

    std::string differences;
    for (const Section &simSection : simSections) {
        if (SimOnly(simSection.scenario)) continue;
        for (const Section &wineSection : wineSections) {
            if (wineSection.scenario != simSection.scenario) continue;
            std::vector<std::string> wineLines = Excepted(wineSection);
            if (wineLines != simSection.lines)
                differences += "scenario " + simSection.scenario + " (- sim, + Wine):\n" +
                               Diff(simSection.lines, wineLines);
        }
    }
    EXPECT_TRUE(differences.empty()) << differences;
}
