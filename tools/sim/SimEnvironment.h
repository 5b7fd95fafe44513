// Makes this machine (in practice the project's Wine prefix) look like a
// scenario of the simulated smart-card platform: the CSP registrations,
// the driver files in the system folder, the root certificates in the
// current user's "CA" store, and the recorded scenario that the simulated
// winscard.dll and simcsp.dll read on every call. Only what the simulation
// itself created is ever changed or removed.
//
// Programs that use this must sit in the folder that holds simcsp.dll (the
// common bin folder); the CSP registrations point there.
#pragma once

#include <string>

// Validates the scenario file completely before changing anything; on
// failure *error (when given) says why.
bool SimApplyScenario(const std::string& path, std::string* error);

// The same for scenario text, which is stored in a fixed file of the
// temporary folder; give files in it as absolute paths (SimFixturePath).
bool SimApplyScenarioText(const std::string& text, std::string* error);

// Removes every registration, file and certificate the simulation made and
// forgets the scenario: the simulated service then reports itself stopped.
bool SimReset(std::string* error);

// The scenarios and fixtures copied beside the programs, e.g.
// SimScenarioPath("default.txt"), SimFixturePath("root-moica.der").
std::string SimScenarioPath(const std::string& name);
std::string SimFixturePath(const std::string& name);
