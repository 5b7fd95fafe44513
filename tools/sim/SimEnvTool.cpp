// simenv: applies a scenario of the simulated smart-card platform from the
// shell, for the run command and for tests that start the program.
//
//   simenv apply FILE   make this machine look like the scenario FILE
//   simenv reset        remove everything the simulation made
#include "SimEnvironment.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage()
{
    std::fputs("usage: simenv apply FILE\n       simenv reset\n", stderr);
    return 2;
}

int Report(bool done, const std::string& error)
{
    if (done)
        return 0;
    std::fprintf(stderr, "simenv: %s\n", error.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (argc == 3 && std::strcmp(argv[1], "apply") == 0)
        return Report(SimApplyScenario(argv[2], &error), error);
    if (argc == 2 && std::strcmp(argv[1], "reset") == 0)
        return Report(SimReset(&error), error);
    return Usage();
}
