// zelmo-sim: runs ZelmoSound on the simulated desktop's virtual clock from the command line and
// prints every observable event as a line of JSON (see --help).
#include "tools/simrunner/options.h"
#include "tools/simrunner/runner.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    simrunner::Options options;
    try {
        options = simrunner::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const simrunner::UsageError &error) {
        std::cerr << "zelmo-sim: " << error.what() << "\n(zelmo-sim --help lists the options)\n";
        return 2;
    }
    if (options.help) {
        std::cout << simrunner::HelpText();
        return 0;
    }
    return simrunner::Run(options, std::cout, std::cerr);
}
