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

// A card another program holds in a transaction: the call named waits
// until the card is released.
enum class CardBusy { No, Connect, Transmit };

struct SimCard {
    Bytes atr;
    CardProtocol protocol = CardProtocol::T1;
    bool exclusive = false;  // held by another program
    CardBusy busy = CardBusy::No;
    std::optional<uint32_t> releasedAfterMs;  // when the busy card is released
    uint32_t insertedAfterMs = 0;             // the card is in from then on
    std::optional<Bytes> numberFile;          // content of EF FE14, absent: no such file
    std::vector<std::string> containers;      // key containers, in enumeration order
    Bytes certificate;                        // exchange key's certificate; empty: none
};

struct SimReader {
    std::string name;
    bool atrQueryFails = false;
    std::optional<SimCard> card;
    uint32_t addedAfterMs = 0;               // the reader is attached from then on
    std::optional<uint32_t> removedAfterMs;  // and detached from then on
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
    // The machine as it is `elapsedMs` after the scenario was applied: the
    // timed readers and cards that are there then, busy cards released when
    // their time has come.
    Scenario At(uint64_t elapsedMs) const;
    // The card a CSP talks to: the first inserted card in reader order.
    const SimCard* FirstCard() const;
};

// The driver file names a scenario may place.
extern const char* const kKnownDriverFiles[2];

// Reads the text; relative file names inside it are resolved against
// baseDirectory and the files are read at once, so a scenario that parses
// is complete. On failure *error names the line and the fault.
bool ParseScenario(const std::string& text, const std::string& baseDirectory, Scenario* scenario, std::string* error);

bool LoadScenarioFile(const std::string& path, Scenario* scenario, std::string* error);

// Equality of two names with ASCII letters compared ignoring case, as the
// registry compares key names.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// Hex bytes as two digits each, optionally separated by blanks or colons.
bool ParseHexBytes(const std::string& text, Bytes* bytes);

// Reads a whole file of at most maxSize bytes.
bool ReadWholeFile(const std::string& path, size_t maxSize, Bytes* content, std::string* error);
