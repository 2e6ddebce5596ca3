// The conformance test: the probe plays its scenarios on the simulated desktop and, built for
// Windows, under Wine (on the route e2e/wine-env.sh picks), and the two traces must be identical
// apart from the documented Wine exceptions (trace_compare.h says what else fails it). Wine's
// trace must also be the one kept in the tree (wine-trace.txt), with which the sim's own test
// (conformance_sim) compares the sim where Wine cannot run; with ZELMO_RECORD_WINE_TRACE=1
// (scripts/record-wine-trace.sh) the test records it there instead.
//
// Under Wine the test is also the user outside the probe (probe/outside.h): it clicks the tray
// icon with real pointer input (xdotool on the icon's window, which the driver finds), and it
// stands in for the browser, so that what the shell was asked to show can be told.
#include "e2e/harness.h"
#include "tests/conformance/exceptions.h"
#include "tests/conformance/probe/outside.h"
#include "tests/conformance/trace_compare.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

using namespace e2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

constexpr char ProbeExe[] = "zelmo-probe.exe";
constexpr char TraceFile[] = "probe-trace.txt";
constexpr char BrowserLog[] = "browser.log";
constexpr auto ProbeLimit = 300s;
// How long the browser may take to be started by the shell.
constexpr auto BrowserLimit = 20s;

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string LastLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);
}

// A URL's %XX escapes undone.
std::string Unescaped(const std::string &url)
{
    std::string text;
    for (size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size()) {
            text += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += url[i];
        }
    }
    return text;
}

bool Recording()
{
    const char *record = std::getenv("ZELMO_RECORD_WINE_TRACE");
    return record && std::string(record) == "1";
}

// The user outside the probe under Wine, acting on the probe's requests in its folder.
class OutsideUser
{
  public:
    OutsideUser(Session &session, const fs::path &folder) : session_(session), folder_(folder) {}

    // Acts on the request waiting, if there is one: "" when done, else what went wrong.
    std::string Act()
    {
        const fs::path file = folder_ / probe::OutsideRequestFile;
        if (!fs::exists(file)) return "";
        // The probe writes the request and its line end in one go, but the file can be seen
        // before the write has reached it: a request is whole only with its line end.
        const std::string text = ReadText(file);
        if (text.empty() || text.back() != '\n') return "";
        std::string request = LastLine(text);
        std::error_code ignored;
        fs::remove(file, ignored);
        if (request == probe::BrowserShows) return AnswerBrowser();
        std::optional<Record> icon = session_.Driver({"tray"}).First("icon");
        std::optional<Rect> rect = icon ? ParseRect(icon->get("rect")) : std::nullopt;
        if (!rect) return "the probe asked for '" + request + "' with no tray icon there";
        const std::string x = std::to_string(rect->CentreX()), y = std::to_string(rect->CentreY());
        std::vector<std::string> clicks;
        if (request == probe::TrayLeftClick)
            clicks = {"click", "1"};
        else if (request == probe::TrayDoubleClick)
            clicks = {"click", "--repeat", "2", "--delay", "80", "1"};
        else if (request == probe::TrayRightClick)
            clicks = {"click", "3"};
        else if (request != probe::TrayPoint)
            return "the probe asked for '" + request + "', which the outside user does not know";
        std::vector<std::string> command{"mousemove", x, y};
        command.insert(command.end(), clicks.begin(), clicks.end());
        return session_.Xdotool(command) ? "" : "xdotool could not do '" + request + "'";
    }

  private:
    // The browser is a stand-in the shell starts (xdg-open, through Wine's winebrowser) that
    // writes down the URL it was given: a file:// URL of the host's path, told back as the path
    // the program gave (drive Z: is the host's root).
    std::string AnswerBrowser()
    {
        const fs::path log = folder_ / BrowserLog;
        (void)PollUntil(
            [&] {
                const std::string text = ReadText(log);
                return !text.empty() && text.back() == '\n';
            },
            BrowserLimit);
        std::string shown = LastLine(ReadText(log));
        const std::string scheme = "file://";
        if (shown.rfind(scheme, 0) == 0) shown = Unescaped(shown.substr(scheme.size()));
        if (shown.rfind('/', 0) == 0) shown = WindowsPath(shown);
        if (shown.empty()) shown = probe::NothingShown;
        // Written whole under another name and renamed, as the probe reads it once it exists.
        const fs::path reply = folder_ / probe::OutsideReplyFile;
        fs::path part = reply;
        part += ".part";
        std::ofstream(part, std::ios::binary) << shown << "\n";
        std::error_code failed;
        fs::rename(part, reply, failed);
        return failed ? "the reply could not be written: " + failed.message() : "";
    }

    Session &session_;
    fs::path folder_;
};

// The probe under Wine: copied into a folder of its own, its trace read back from there, its
// requests to the user outside answered while it runs.
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
    // The stand-in browser, first on the path of the programs the probe starts.
    fs::path bin = folder / "host-bin";
    fs::create_directories(bin);
    std::ofstream(bin / "xdg-open")
        << "#!/bin/sh\nprintf '%s\\n' \"$*\" >>\"$ZELMO_PROBE_BROWSER_LOG\"\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    Environment environment = session.WineEnvironment();
    environment["PATH"] = bin.string() + ":" + environment["PATH"];
    environment["ZELMO_PROBE_BROWSER_LOG"] = (folder / BrowserLog).string();
    ChildOptions options{session.WineCommand(folder / ProbeExe, args), environment, folder,
                         session.Artefacts() / "logs" / "probe.log",   SIGKILL,     -1};
    std::optional<int> code;
    std::string outside;
    const auto started = std::chrono::steady_clock::now();
    {
        Child probe(options);
        OutsideUser user(session, folder);
        const auto deadline = std::chrono::steady_clock::now() + ProbeLimit;
        while (!code && outside.empty() && std::chrono::steady_clock::now() < deadline) {
            code = probe.WaitExit(50ms);
            if (!code) outside = user.Act();
        }
    }
    std::cout << "the probe ran "
              << std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                  started)
                     .count()
              << " s under Wine (" << session.Route() << " route)" << std::endl;
    *trace = ReadText(folder / TraceFile);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!outside.empty())
        return testing::AssertionFailure()
               << "the user outside the probe: " << outside << "; the probe's trace so far:\n"
               << *trace;
    if (!code)
        return testing::AssertionFailure() << "the probe did not finish under Wine within "
                                           << ProbeLimit.count() << " s; its trace so far:\n"
                                           << *trace << session.ScreenState("probe hung");
    if (*code != 0)
        return testing::AssertionFailure()
               << "the probe ended with code " << *code << " under Wine; its trace:\n"
               << *trace;
    return testing::AssertionSuccess();
}

// How Wine's trace of now differs from the one kept in the tree, scenario by scenario.
std::string StoredDifferences(const std::string &stored, const std::string &now)
{
    std::vector<conformance::Section> was = conformance::Sections(stored),
                                      is = conformance::Sections(now);
    std::vector<std::string> wasOrder, isOrder;
    for (const auto &section : was)
        wasOrder.push_back(section.scenario);
    for (const auto &section : is)
        isOrder.push_back(section.scenario);
    if (wasOrder != isOrder)
        return "the scenarios (- stored, + Wine now):\n" + conformance::Diff(wasOrder, isOrder);
    std::string differences;
    for (size_t i = 0; i < was.size(); ++i)
        if (was[i].lines != is[i].lines)
            differences += "scenario " + was[i].scenario + " (- stored, + Wine now):\n" +
                           conformance::Diff(was[i].lines, is[i].lines);
    return differences;
}

class Conformance : public testing::Test
{
  protected:
    static void SetUpTestSuite() { Session::Get().Start(); }
    static void TearDownTestSuite() { Session::Get().Stop(); }

    Session &session = Session::Get();
};

} // namespace

TEST_F(Conformance, TheSimulatedDesktopAndWineGiveTheSameTrace)
{
    Outcome sim = e2e::Run({ZELMO_PROBE_SIM, "--check"}, CurrentEnvironment({}), 120s);
    ASSERT_TRUE(sim.finished && sim.code == 0)
        << "the probe failed on the simulated desktop: " << sim.err << "\n"
        << sim.out;

    if (!session.SkipReason().empty())
        GTEST_SKIP() << session.SkipReason()
                     << " (conformance_sim compares the sim with the Wine trace kept in "
                     << ZELMO_PROBE_WINE_TRACE << ")";
    ASSERT_TRUE(session.Failure().empty()) << session.Failure();
    std::vector<std::string> args;
    for (const conformance::WineException &exception : conformance::WineExceptions())
        if (exception.kind == conformance::ExceptionKind::SimOnly)
            args.push_back(std::string("-") + exception.scenario);
    std::string wineTrace;
    ASSERT_TRUE(RunOnWine(session, args, &wineTrace));

    if (Recording()) {
        std::ofstream(ZELMO_PROBE_WINE_TRACE, std::ios::binary) << wineTrace;
        std::cout << "recorded Wine's trace (" << session.Route() << " route) in "
                  << ZELMO_PROBE_WINE_TRACE << std::endl;
    } else {
        std::string stored = ReadText(ZELMO_PROBE_WINE_TRACE);
        EXPECT_EQ("", StoredDifferences(stored, wineTrace))
            << "the Wine trace kept in " << ZELMO_PROBE_WINE_TRACE
            << " is out of date: record it again with scripts/record-wine-trace.sh";
    }
    std::string differences =
        conformance::CompareTraces(sim.out, wineTrace, "Wine", conformance::Played::Everything);
    EXPECT_TRUE(differences.empty()) << differences;
}
