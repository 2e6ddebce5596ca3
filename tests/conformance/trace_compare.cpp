// The comparison of the sim's probe trace with Wine's: see trace_compare.h.
#include "tests/conformance/trace_compare.h"

#include "tests/conformance/exceptions.h"

#include <algorithm>
#include <sstream>

namespace conformance
{

namespace
{

bool SimOnly(const std::string &scenario)
{
    for (const WineException &exception : WineExceptions())
        if (exception.kind == ExceptionKind::SimOnly && scenario == exception.scenario) return true;
    return false;
}

const Section *Find(const std::vector<Section> &sections, const std::string &scenario)
{
    for (const Section &section : sections)
        if (section.scenario == scenario) return &section;
    return nullptr;
}

// Wine's lines with each documented Wine line of the scenario put back to the sim's.
std::vector<std::string> Excepted(const Section &wine)
{
    std::vector<std::string> lines = wine.lines;
    for (const WineException &exception : WineExceptions()) {
        if (exception.kind != ExceptionKind::WineLine || wine.scenario != exception.scenario)
            continue;
        for (std::string &line : lines)
            if (line == exception.wineLine) line = exception.simLine;
    }
    return lines;
}

// Every exception must still stand for something: its scenario is one the sim plays, and a Wine
// line is in that scenario's Wine trace (when it was played there), once.
std::string StaleExceptions(const std::vector<Section> &sim, const std::vector<Section> &wine,
                            Played played)
{
    std::string found;
    for (const WineException &exception : WineExceptions()) {
        const Section *simSection = Find(sim, exception.scenario);
        if (!simSection) {
            if (played == Played::Everything)
                found += std::string("the exception for ") + exception.scenario +
                         " names a scenario the probe does not play\n";
            continue;
        }
        if (exception.kind != ExceptionKind::WineLine) continue;
        const Section *wineSection = Find(wine, exception.scenario);
        if (!wineSection) continue; // missing altogether: a difference of its own
        auto count = std::count(wineSection->lines.begin(), wineSection->lines.end(),
                                std::string(exception.wineLine));
        if (count != 1)
            found += std::string("the exception for ") + exception.scenario + " stands for \"" +
                     exception.wineLine + "\", which the Wine trace holds " +
                     std::to_string(count) + " times (once, or the exception is stale)\n";
    }
    return found;
}

} // namespace

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

std::vector<std::string> TimedOut(const std::string &trace)
{
    std::vector<std::string> found;
    for (const Section &section : Sections(trace))
        for (const std::string &line : section.lines)
            if (line.rfind("timed out:", 0) == 0) found.push_back(section.scenario + ": " + line);
    return found;
}

std::string CompareTraces(const std::string &simTrace, const std::string &wineTrace,
                          const std::string &wineName, Played played)
{
    std::string findings;
    for (const auto &[trace, name] :
         {std::pair{&simTrace, std::string("the sim's trace")}, std::pair{&wineTrace, wineName}})
        for (const std::string &line : TimedOut(*trace))
            findings += name + " timed out in " + line + "\n";

    const std::vector<Section> sim = Sections(simTrace), wine = Sections(wineTrace);
    std::vector<std::string> simOrder, wineOrder;
    for (const Section &section : sim)
        if (!SimOnly(section.scenario)) simOrder.push_back(section.scenario);
    for (const Section &section : wine)
        if (played == Played::Everything || Find(sim, section.scenario))
            wineOrder.push_back(section.scenario);
    if (simOrder != wineOrder)
        findings += "the two traces hold different scenarios (- sim, + " + wineName + "):\n" +
                    Diff(simOrder, wineOrder);
    findings += StaleExceptions(sim, wine, played);

    for (const Section &simSection : sim) {
        if (SimOnly(simSection.scenario)) continue;
        const Section *wineSection = Find(wine, simSection.scenario);
        if (!wineSection) continue;
        std::vector<std::string> wineLines = Excepted(*wineSection);
        if (wineLines != simSection.lines)
            findings += "scenario " + simSection.scenario + " (- sim, + " + wineName + "):\n" +
                        Diff(simSection.lines, wineLines);
    }
    return findings;
}

} // namespace conformance
