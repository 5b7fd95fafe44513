// The scenario the simulated platform plays right now. The DLLs read it
// afresh on every call, so applying another scenario takes effect at once,
// also inside a process that already holds handles.
#pragma once

#include "Scenario.h"

#include <string>

// The recorded scenario file; empty when none is recorded.
std::string ActiveScenarioPath();

// The system time in 100 ns units, the base of the timed changes.
uint64_t SystemTimeNow();

// The scenario as it is now, its timed changes applied. False when no
// scenario is recorded or the recorded one no longer parses (the reason
// goes to the debugger output).
bool LoadActiveScenario(Scenario* scenario);
