// One simulated machine: its PC/SC readers and cards, the CSPs registered,
// the driver files present and the root certificates installed. The text
// format is described in docs/simulated-environment.md.
//
// This code is Windows-free on purpose: the simulated DLLs, the tool that
// applies a scenario and the tests all read scenarios through it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class CardProtocol { T0, T1 };

struct SimCard {
    Bytes atr;
    CardProtocol protocol = CardProtocol::T1;
    bool exclusive = false;                 // held by another program
    std::optional<Bytes> numberFile;        // content of EF FE14, absent: no such file
    std::vector<std::string> containers;    // key containers, in enumeration order
    Bytes certificate;                      // exchange key's certificate; empty: none
};

struct SimReader {
    std::string name;
    bool atrQueryFails = false;
    std::optional<SimCard> card;
};

struct SimProvider {
    std::string name;
    uint32_t type = 1;  // PROV_RSA_FULL
};

struct Scenario {
    bool serviceRunning = true;
    std::vector<SimReader> readers;
    std::vector<SimProvider> providers;
    std::vector<std::string> drivers;  // file names in the system folder
    std::vector<Bytes> rootCertificates;

    const SimReader* FindReader(const std::string& name) const;
    // The card a CSP talks to: the first inserted card in reader order.
    const SimCard* FirstCard() const;
};

// The driver file names a scenario may place.
extern const char* const kKnownDriverFiles[2];

// Reads the text; relative file names inside it are resolved against
// baseDirectory and the files are read at once, so a scenario that parses
// is complete. On failure *error names the line and the fault.
bool ParseScenario(const std::string& text, const std::string& baseDirectory, Scenario* scenario,
                   std::string* error);

bool LoadScenarioFile(const std::string& path, Scenario* scenario, std::string* error);

// Equality of two names with ASCII letters compared ignoring case, as the
// registry compares key names.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// Hex bytes as two digits each, optionally separated by blanks or colons.
bool ParseHexBytes(const std::string& text, Bytes* bytes);

// Reads a whole file of at most maxSize bytes.
bool ReadWholeFile(const std::string& path, size_t maxSize, Bytes* content, std::string* error);
