#include "ActiveScenario.h"

#include "SimRegistry.h"

#include <windows.h>

#include <cstdlib>

std::string ActiveScenarioPath()
{
    std::string path;
    if (!ReadRegistryString(HKEY_CURRENT_USER, kSimulationKey, kScenarioValue, &path))
        path.clear();
    return path;
}

uint64_t SystemTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

uint64_t MillisecondsSinceApplied()
{
    std::string text;
    if (!ReadRegistryString(HKEY_CURRENT_USER, kSimulationKey, kAppliedAtValue, &text))
        return 0;
    const uint64_t appliedAt = std::strtoull(text.c_str(), nullptr, 10);
    const uint64_t now = SystemTimeNow();
    return now > appliedAt ? (now - appliedAt) / 10000 : 0;
}

bool LoadActiveScenario(Scenario* scenario)
{
    const std::string path = ActiveScenarioPath();
    if (path.empty())
        return false;
    std::string error;
    Scenario described;
    if (LoadScenarioFile(path, &described, &error)) {
        *scenario = described.At(MillisecondsSinceApplied());
        return true;
    }
    OutputDebugStringA(("simulated platform: " + error + "\n").c_str());
    return false;
}
