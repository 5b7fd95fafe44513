// Registry values of the simulated platform: plain strings and string
// lists, read and written in one call each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The key under HKEY_CURRENT_USER where the simulation keeps its state,
// and its values: the active scenario file, when it was applied (the
// system time in 100 ns units, as decimal text: the base of its timed
// changes), and the thumbprints of the root certificates the simulation
// added.
extern const char kSimulationKey[];
extern const char kScenarioValue[];
extern const char kAppliedAtValue[];
extern const char kCertificatesValue[];

bool ReadRegistryString(HKEY root, const char* subKey, const char* valueName, std::string* value);
bool WriteRegistryString(HKEY root, const char* subKey, const char* valueName, const std::string& value);

// REG_MULTI_SZ lists; a missing value reads as an empty list.
std::vector<std::string> ReadRegistryStrings(HKEY root, const char* subKey, const char* valueName);
bool WriteRegistryStrings(HKEY root, const char* subKey, const char* valueName, const std::vector<std::string>& values);

bool DeleteRegistryValue(HKEY root, const char* subKey, const char* valueName);
