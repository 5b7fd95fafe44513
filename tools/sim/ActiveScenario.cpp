#include "ActiveScenario.h"

#include "SimRegistry.h"

#include <windows.h>

std::string ActiveScenarioPath()
{
    std::string path;
    if (!ReadRegistryString(HKEY_CURRENT_USER, kSimulationKey, kScenarioValue, &path))
        path.clear();
    return path;
}

bool LoadActiveScenario(Scenario* scenario)
{
    const std::string path = ActiveScenarioPath();
    if (path.empty())
        return false;
    std::string error;
    if (LoadScenarioFile(path, scenario, &error))
        return true;
    OutputDebugStringA(("simulated platform: " + error + "\n").c_str());
    return false;
}
