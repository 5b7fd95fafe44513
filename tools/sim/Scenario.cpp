#include "Scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <set>

const char* const kKnownDriverFiles[2] = {"aetpkss1.dll", "HiCOSPKCS11.dll"};

namespace {

const size_t kMaxScenarioSize = 1 << 20;
const size_t kMaxCertificateSize = 1 << 20;
const size_t kMaxAtrLength = 33;         // ISO/IEC 7816-3
const size_t kMaxRegistryKeyName = 255;  // a provider name is a registry key name
const size_t kCardNumberLength = 16;
const size_t kMaxElementaryFileSize = 0x7FFF;  // what READ BINARY's 15-bit offset reaches
const unsigned long kLongestDelayMs = 24 * 3600 * 1000;

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsAbsolutePath(const std::string& path)
{
    if (!path.empty() && (path[0] == '/' || path[0] == '\\'))
        return true;
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

enum class Section { Machine, Provider, Reader };

class ScenarioParser {
public:
    ScenarioParser(const std::string& baseDirectory, Scenario* scenario)
        : baseDirectory_(baseDirectory), scenario_(scenario)
    {
    }

    bool Parse(const std::string& text, std::string* error);

private:
    bool ParseLine(const std::string& line);
    bool OpenSection(const std::string& name);
    bool CloseSection();
    bool CloseProvider();
    bool CloseReader();
    bool TakeOnce(const std::string& key);

    bool MachineKey(const std::string& key, const std::string& value);
    bool ProviderKey(const std::string& key, const std::string& value);
    bool ReaderKey(const std::string& key, const std::string& value);
    bool CardKey(const std::string& key, const std::string& value);

    bool ParseDriver(const std::string& value);
    bool ReadCertificate(const std::string& value, Bytes* certificate);
    bool ParseYesNo(const std::string& value, const char* yes, const char* no, bool* flag);
    bool ParseDelay(const std::string& value, uint32_t* milliseconds);
    bool Fail(const std::string& message);
    bool FailSection(const std::string& message);

    std::string baseDirectory_;
    Scenario* scenario_;
    Section section_ = Section::Machine;
    std::set<std::string> keysSeen_;
    SimProvider provider_;
    SimReader reader_;
    SimCard card_;
    bool cardInserted_ = false;
    bool cardKeysSeen_ = false;
    int lineNumber_ = 0;
    int sectionLine_ = 0;
    std::string error_;
};

bool ScenarioParser::Parse(const std::string& text, std::string* error)
{
    *scenario_ = Scenario();
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool ok = true;
    while (ok && start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++lineNumber_;
        ok = ParseLine(text.substr(start, end - start));
        start = end + 1;
    }
    ok = ok && CloseSection();
    if (!ok && error)
        *error = error_;
    return ok;
}

bool ScenarioParser::ParseLine(const std::string& rawLine)
{
    const std::string line = Trim(rawLine);
    if (line.empty() || line[0] == '#')
        return true;
    if (line.front() == '[') {
        if (line.back() != ']')
            return Fail("section header without ']'");
        return CloseSection() && OpenSection(Trim(line.substr(1, line.size() - 2)));
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
        return Fail("expected 'key = value'");
    const std::string key = Trim(line.substr(0, equals));
    const std::string value = Trim(line.substr(equals + 1));
    if (value.empty())
        return Fail("'" + key + "' has no value");
    switch (section_) {
    case Section::Machine:
        return MachineKey(key, value);
    case Section::Provider:
        return ProviderKey(key, value);
    case Section::Reader:
        return ReaderKey(key, value);
    }
    return false;
}

bool ScenarioParser::OpenSection(const std::string& name)
{
    keysSeen_.clear();
    sectionLine_ = lineNumber_;
    if (name == "csp") {
        section_ = Section::Provider;
        provider_ = SimProvider();
        return true;
    }
    if (name == "reader") {
        section_ = Section::Reader;
        reader_ = SimReader();
        card_ = SimCard();
        cardInserted_ = false;
        cardKeysSeen_ = false;
        return true;
    }
    return Fail("unknown section [" + name + "]");
}

bool ScenarioParser::CloseSection()
{
    switch (section_) {
    case Section::Machine:
        return true;
    case Section::Provider:
        return CloseProvider();
    case Section::Reader:
        return CloseReader();
    }
    return false;
}

bool ScenarioParser::CloseProvider()
{
    if (provider_.name.empty())
        return FailSection("[csp] section without 'name'");
    for (const SimProvider& other : scenario_->providers) {
        // Provider names are registry key names, which ignore case.
        if (EqualsIgnoringCase(other.name, provider_.name))
            return FailSection("CSP '" + provider_.name + "' is listed twice");
    }
    scenario_->providers.push_back(provider_);
    return true;
}

bool ScenarioParser::CloseReader()
{
    if (reader_.name.empty())
        return FailSection("[reader] section without 'name'");
    if (scenario_->FindReader(reader_.name))
        return FailSection("reader '" + reader_.name + "' is listed twice");
    if (cardKeysSeen_ && !cardInserted_)
        return FailSection("reader '" + reader_.name + "' describes a card but has no 'card = inserted'");
    if (card_.releasedAfterMs && card_.busy == CardBusy::No)
        return FailSection("the card in reader '" + reader_.name + "' has 'released-after' but is not busy");
    if (cardInserted_) {
        if (card_.atr.empty())
            return FailSection("the card in reader '" + reader_.name + "' needs an 'atr'");
        reader_.card = card_;
    }
    scenario_->readers.push_back(reader_);
    return true;
}

// Single-valued keys may appear once per section.
bool ScenarioParser::TakeOnce(const std::string& key)
{
    if (!keysSeen_.insert(key).second)
        return Fail("'" + key + "' given twice");
    return true;
}

bool ScenarioParser::MachineKey(const std::string& key, const std::string& value)
{
    if (key == "service")
        return TakeOnce(key) && ParseYesNo(value, "running", "stopped", &scenario_->serviceRunning);
    if (key == "driver")
        return ParseDriver(value);
    if (key == "root-certificate") {
        Bytes certificate;
        if (!ReadCertificate(value, &certificate))
            return false;
        scenario_->rootCertificates.push_back(certificate);
        return true;
    }
    return Fail("unknown key '" + key + "' (before the first section)");
}

bool ScenarioParser::ParseDriver(const std::string& value)
{
    const char* const* known = std::find_if(std::begin(kKnownDriverFiles), std::end(kKnownDriverFiles),
                                            [&](const char* name) { return value == name; });
    if (known == std::end(kKnownDriverFiles))
        return Fail("unknown driver file '" + value + "'");
    if (std::find(scenario_->drivers.begin(), scenario_->drivers.end(), value) != scenario_->drivers.end())
        return Fail("driver '" + value + "' is listed twice");
    scenario_->drivers.push_back(value);
    return true;
}

bool ScenarioParser::ProviderKey(const std::string& key, const std::string& value)
{
    if (key == "name") {
        if (value.size() > kMaxRegistryKeyName || value.find('\\') != std::string::npos)
            return Fail("a CSP name has at most 255 characters and no backslash");
        provider_.name = value;
        return TakeOnce(key);
    }
    if (key == "type") {
        const unsigned long type = std::strtoul(value.c_str(), nullptr, 10);
        if (value.find_first_not_of("0123456789") != std::string::npos || type < 1 || type > 999)
            return Fail("a CSP type is a number from 1 to 999");
        provider_.type = static_cast<uint32_t>(type);
        return TakeOnce(key);
    }
    return Fail("unknown key '" + key + "' in [csp]");
}

bool ScenarioParser::ReaderKey(const std::string& key, const std::string& value)
{
    if (key == "name") {
        reader_.name = value;
        return TakeOnce(key);
    }
    if (key == "atr-query")
        return TakeOnce(key) && ParseYesNo(value, "fails", "works", &reader_.atrQueryFails);
    if (key == "card")
        return TakeOnce(key) && ParseYesNo(value, "inserted", "none", &cardInserted_);
    if (key == "added-after")
        return TakeOnce(key) && ParseDelay(value, &reader_.addedAfterMs);
    if (key == "removed-after") {
        uint32_t delay = 0;
        if (!TakeOnce(key) || !ParseDelay(value, &delay))
            return false;
        reader_.removedAfterMs = delay;
        return true;
    }
    cardKeysSeen_ = true;
    return CardKey(key, value);
}

bool ScenarioParser::CardKey(const std::string& key, const std::string& value)
{
    if (key == "container") {
        card_.containers.push_back(value);
        return true;
    }
    if (!TakeOnce(key))
        return false;
    if (key == "atr") {
        if (!ParseHexBytes(value, &card_.atr) || card_.atr.empty() || card_.atr.size() > kMaxAtrLength)
            return Fail("an ATR is 1 to 33 hex bytes");
        return true;
    }
    if (key == "protocol") {
        bool t1 = false;
        if (!ParseYesNo(value, "T=1", "T=0", &t1))
            return false;
        card_.protocol = t1 ? CardProtocol::T1 : CardProtocol::T0;
        return true;
    }
    if (key == "exclusive")
        return ParseYesNo(value, "yes", "no", &card_.exclusive);
    if (key == "busy") {
        if (value != "connect" && value != "transmit" && value != "no")
            return Fail("expected 'connect', 'transmit' or 'no', not '" + value + "'");
        card_.busy = value == "connect" ? CardBusy::Connect : value == "transmit" ? CardBusy::Transmit : CardBusy::No;
        return true;
    }
    if (key == "released-after") {
        uint32_t delay = 0;
        if (!ParseDelay(value, &delay))
            return false;
        card_.releasedAfterMs = delay;
        return true;
    }
    if (key == "inserted-after")
        return ParseDelay(value, &card_.insertedAfterMs);
    if (key == "card-number" || key == "fe14") {
        if (card_.numberFile)
            return Fail("give either 'card-number' or 'fe14', not both");
        if (key == "card-number") {
            if (value.size() != kCardNumberLength)
                return Fail("a card number has exactly 16 characters");
            card_.numberFile = Bytes(value.begin(), value.end());
            return true;
        }
        Bytes content;
        if (!ParseHexBytes(value, &content) || content.size() > kMaxElementaryFileSize)
            return Fail("'fe14' takes at most 32767 hex bytes");
        card_.numberFile = content;
        return true;
    }
    if (key == "certificate")
        return ReadCertificate(value, &card_.certificate);
    return Fail("unknown key '" + key + "' in [reader]");
}

bool ScenarioParser::ReadCertificate(const std::string& value, Bytes* certificate)
{
    const std::string path = IsAbsolutePath(value) ? value : baseDirectory_ + "/" + value;
    std::string error;
    if (!ReadWholeFile(path, kMaxCertificateSize, certificate, &error))
        return Fail(error);
    if (certificate->empty())
        return Fail("certificate file '" + value + "' is empty");
    return true;
}

bool ScenarioParser::ParseYesNo(const std::string& value, const char* yes, const char* no, bool* flag)
{
    if (value == yes || value == no) {
        *flag = value == yes;
        return true;
    }
    return Fail("expected '" + std::string(yes) + "' or '" + no + "', not '" + value + "'");
}

bool ScenarioParser::ParseDelay(const std::string& value, uint32_t* milliseconds)
{
    const unsigned long delay = std::strtoul(value.c_str(), nullptr, 10);
    if (value.find_first_not_of("0123456789") != std::string::npos || delay > kLongestDelayMs)
        return Fail("a delay is a number of milliseconds up to a day");
    *milliseconds = static_cast<uint32_t>(delay);
    return true;
}

bool ScenarioParser::Fail(const std::string& message)
{
    error_ = "line " + std::to_string(lineNumber_) + ": " + message;
    return false;
}

// Faults of a whole section are reported at its header line.
bool ScenarioParser::FailSection(const std::string& message)
{
    error_ = "line " + std::to_string(sectionLine_) + ": " + message;
    return false;
}

}  // namespace

const SimReader* Scenario::FindReader(const std::string& name) const
{
    for (const SimReader& reader : readers) {
        if (reader.name == name)
            return &reader;
    }
    return nullptr;
}

Scenario Scenario::At(uint64_t elapsedMs) const
{
    Scenario now = *this;
    now.readers.clear();
    for (SimReader reader : readers) {
        if (elapsedMs < reader.addedAfterMs || (reader.removedAfterMs && elapsedMs >= *reader.removedAfterMs))
            continue;
        if (reader.card && elapsedMs < reader.card->insertedAfterMs)
            reader.card.reset();
        if (reader.card && reader.card->releasedAfterMs && elapsedMs >= *reader.card->releasedAfterMs)
            reader.card->busy = CardBusy::No;
        now.readers.push_back(reader);
    }
    return now;
}

const SimCard* Scenario::FirstCard() const
{
    for (const SimReader& reader : readers) {
        if (reader.card)
            return &*reader.card;
    }
    return nullptr;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool ParseHexBytes(const std::string& text, Bytes* bytes)
{
    bytes->clear();
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == ':') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size())
            return false;
        const int high = HexDigitValue(c);
        const int low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes->push_back(static_cast<uint8_t>(high << 4 | low));
        i += 2;
    }
    return true;
}

bool ParseScenario(const std::string& text, const std::string& baseDirectory, Scenario* scenario, std::string* error)
{
    return ScenarioParser(baseDirectory, scenario).Parse(text, error);
}

bool LoadScenarioFile(const std::string& path, Scenario* scenario, std::string* error)
{
    Bytes text;
    if (!ReadWholeFile(path, kMaxScenarioSize, &text, error))
        return false;
    std::string lineError;
    if (ParseScenario(std::string(text.begin(), text.end()), DirectoryOf(path), scenario, &lineError))
        return true;
    if (error)
        *error = path + ", " + lineError;
    return false;
}

bool ReadWholeFile(const std::string& path, size_t maxSize, Bytes* content, std::string* error)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        if (error)
            *error = "cannot open '" + path + "'";
        return false;
    }
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > maxSize) {
        if (error)
            *error = "'" + path + "' is larger than " + std::to_string(maxSize) + " bytes";
        return false;
    }
    content->assign(static_cast<size_t>(size), 0);
    file.seekg(0);
    if (size > 0 && !file.read(reinterpret_cast<char*>(content->data()), size)) {
        if (error)
            *error = "'" + path + "' ends before its announced size";
        return false;
    }
    return true;
}
