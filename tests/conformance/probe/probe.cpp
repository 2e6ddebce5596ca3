// The conformance probe: a small Windows program that plays fixed scenarios of the Windows
// behaviours ZelmoSound relies on and writes what happened to a trace. The same sources run on
// the simulated desktop and under Wine; the conformance test requires the two traces to match.
//
// Its command line selects scenarios: no words runs every one; "area" or "area/scenario" runs
// those named; "-area/scenario" (or "-area") leaves that one out.
#include "tests/conformance/probe/areas.h"
#include "tests/conformance/probe/framework.h"

#include <vector>

namespace
{

#define PROBE_LIST_AREA(name) &name##Area,
const probe::Area *const Areas[] = {PROBE_AREAS(PROBE_LIST_AREA)};
#undef PROBE_LIST_AREA

std::vector<std::string> Words(const char *text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char *c = text; c && *c; ++c) {
        if (*c == ' ' || *c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += *c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool Names(const std::string &word, const std::string &area, const std::string &scenario)
{
    return word == area || word == area + "/" + scenario;
}

bool Selected(const std::vector<std::string> &words, const std::string &area,
              const std::string &scenario)
{
    bool anyChosen = false, chosen = false;
    for (const std::string &word : words) {
        if (word[0] == '-') {
            if (Names(word.substr(1), area, scenario)) return false;
            continue;
        }
        anyChosen = true;
        chosen = chosen || Names(word, area, scenario);
    }
    return !anyChosen || chosen;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow)
{
    (void)previous;
    (void)cmdShow;
    probe::Instance = instance;
    if (!probe::OpenTrace()) return 2;
    probe::RegisterProbeClass();
    std::vector<std::string> words = Words(commandLine);
    for (const probe::Area *area : Areas) {
        for (size_t i = 0; i < area->count; ++i) {
            const probe::Scenario &scenario = area->scenarios[i];
            if (!Selected(words, area->name, scenario.name)) continue;
            probe::Trace(std::string("== ") + area->name + "/" + scenario.name);
            scenario.run();
            probe::EndScenario();
        }
    }
    probe::Trace("== end");
    probe::CloseTrace();
    return 0;
}
