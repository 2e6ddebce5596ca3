// The comparison of two probe traces: the simulated desktop's and Wine's (played now, or the
// reference trace recorded under Wine and kept in the tree). The traces must be identical
// scenario by scenario, apart from the documented Wine exceptions (exceptions.h); and the
// comparison refuses what would let it pass by accident: a scenario that timed out on either
// side, an exception that stands for no line of its scenario any more, a scenario one side did
// not play.
#pragma once

#include <string>
#include <vector>

namespace conformance
{

struct Section {
    std::string scenario; // "area/scenario"
    std::vector<std::string> lines;
};

// The trace cut at its "== area/scenario" lines; "== end" closes it.
std::vector<Section> Sections(const std::string &trace);

// A line diff ("  " both, "- " sim only, "+ " Wine only) by longest common subsequence.
std::string Diff(const std::vector<std::string> &sim, const std::vector<std::string> &wine);

enum class Played {
    // Both traces hold every scenario: the sim's all of them, Wine's all but the sim-only ones.
    Everything,
    // The sim played a selection: only its scenarios are looked for in Wine's trace.
    Selection,
};

// What is wrong between the sim's trace and Wine's, each finding with its diff; "" when they
// agree. wineName says which Wine trace it is ("Wine's trace", "the stored trace").
std::string CompareTraces(const std::string &simTrace, const std::string &wineTrace,
                          const std::string &wineName, Played played);

// Where a trace stopped waiting for something: its "timed out:" lines, with their scenarios.
std::vector<std::string> TimedOut(const std::string &trace);

} // namespace conformance
