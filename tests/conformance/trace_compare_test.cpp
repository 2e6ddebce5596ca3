// The comparison of the sim's trace with Wine's refuses what would let the two pass by accident:
// a wait that timed out, an exception that stands for no line any more, a scenario one side did
// not play; and an exception stands for its one line only.
#include "tests/conformance/exceptions.h"
#include "tests/conformance/trace_compare.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace conformance;

namespace
{

const WineException &AWineLine()
{
    for (const WineException &exception : WineExceptions())
        if (exception.kind == ExceptionKind::WineLine) return exception;
    throw std::logic_error("the list has no Wine line");
}

std::string Trace(const std::string &scenario, const std::vector<std::string> &lines)
{
    std::string trace = "== " + scenario + "\n";
    for (const std::string &line : lines)
        trace += line + "\n";
    return trace + "== end\n";
}

} // namespace

TEST(TraceComparison, AnExceptionStandsForItsLineAndNothingElsePasses)
{
    const WineException &exception = AWineLine();
    const std::string scenario = exception.scenario;
    const std::string sim = Trace(scenario, {"A", exception.simLine});
    EXPECT_EQ("", CompareTraces(sim, Trace(scenario, {"A", exception.wineLine}), "Wine",
                                Played::Selection));
    // Another line, a line more, or Wine giving the sim's line so that the exception is stale.
    for (const auto &wine : {Trace(scenario, {"B", exception.wineLine}),
                             Trace(scenario, {"A", exception.wineLine, "C"}),
                             Trace(scenario, {"A", exception.simLine}),
                             Trace(scenario, {"A", exception.wineLine, exception.wineLine})})
        EXPECT_NE("", CompareTraces(sim, wine, "Wine", Played::Selection)) << wine;
}

TEST(TraceComparison, ATimeOutOnEitherSideOrAScenarioOnOneSideOnlyFails)
{
    const std::string same = Trace("loops/posted-then-timer", {"A", "timed out: the menu"});
    EXPECT_NE("", CompareTraces(same, same, "Wine", Played::Selection));
    const std::string sim = Trace("loops/posted-then-timer", {"A"});
    EXPECT_NE("", CompareTraces(sim, "== end\n", "Wine", Played::Selection));
    EXPECT_NE("", CompareTraces("== end\n", sim, "Wine", Played::Everything));
    // Everything played: each exception must name a scenario the sim played.
    EXPECT_NE("", CompareTraces(sim, sim, "Wine", Played::Everything));
    EXPECT_EQ("", CompareTraces(sim, sim, "Wine", Played::Selection));
}
