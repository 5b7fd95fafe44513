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
const size_t kMaxAtrLength = 33;           // ISO/IEC 7816-3
const size_t kMaxRegistryKeyName = 255;    // a provider name is a registry key name
const size_t kCardNumberLength = 16;
const size_t kMaxElementaryFileSize = 0x7FFF;  // what READ BINARY's 15-bit offset reaches

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

    bool parse(const std::string& text, std::string* error);

private:
    bool parseLine(const std::string& line);
    bool openSection(const std::string& name);
    bool closeSection();
    bool closeProvider();
    bool closeReader();
    bool takeOnce(const std::string& key);

    bool machineKey(const std::string& key, const std::string& value);
    bool providerKey(const std::string& key, const std::string& value);
    bool readerKey(const std::string& key, const std::string& value);
    bool cardKey(const std::string& key, const std::string& value);

    bool parseDriver(const std::string& value);
    bool readCertificate(const std::string& value, Bytes* certificate);
    bool parseYesNo(const std::string& value, const char* yes, const char* no, bool* flag);
    bool fail(const std::string& message);
    bool failSection(const std::string& message);

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

bool ScenarioParser::parse(const std::string& text, std::string* error)
{
    *scenario_ = Scenario();
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool ok = true;
    while (ok && start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++lineNumber_;
        ok = parseLine(text.substr(start, end - start));
        start = end + 1;
    }
    ok = ok && closeSection();
    if (!ok && error)
        *error = error_;
    return ok;
}

bool ScenarioParser::parseLine(const std::string& rawLine)
{
    const std::string line = Trim(rawLine);
    if (line.empty() || line[0] == '#')
        return true;
    if (line.front() == '[') {
        if (line.back() != ']')
            return fail("section header without ']'");
        return closeSection() && openSection(Trim(line.substr(1, line.size() - 2)));
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
        return fail("expected 'key = value'");
    const std::string key = Trim(line.substr(0, equals));
    const std::string value = Trim(line.substr(equals + 1));
    if (value.empty())
        return fail("'" + key + "' has no value");
    switch (section_) {
    case Section::Machine:
        return machineKey(key, value);
    case Section::Provider:
        return providerKey(key, value);
    case Section::Reader:
        return readerKey(key, value);
    }
    return false;
}

bool ScenarioParser::openSection(const std::string& name)
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
    return fail("unknown section [" + name + "]");
}

bool ScenarioParser::closeSection()
{
    switch (section_) {
    case Section::Machine:
        return true;
    case Section::Provider:
        return closeProvider();
    case Section::Reader:
        return closeReader();
    }
    return false;
}

bool ScenarioParser::closeProvider()
{
    if (provider_.name.empty())
        return failSection("[csp] section without 'name'");
    for (const SimProvider& other : scenario_->providers) {
        // Provider names are registry key names, which ignore case.
        if (EqualsIgnoringCase(other.name, provider_.name))
            return failSection("CSP '" + provider_.name + "' is listed twice");
    }
    scenario_->providers.push_back(provider_);
    return true;
}

bool ScenarioParser::closeReader()
{
    if (reader_.name.empty())
        return failSection("[reader] section without 'name'");
    if (scenario_->findReader(reader_.name))
        return failSection("reader '" + reader_.name + "' is listed twice");
    if (cardKeysSeen_ && !cardInserted_)
        return failSection("reader '" + reader_.name + "' describes a card but has no 'card = inserted'");
    if (cardInserted_) {
        if (card_.atr.empty())
            return failSection("the card in reader '" + reader_.name + "' needs an 'atr'");
        reader_.card = card_;
    }
    scenario_->readers.push_back(reader_);
    return true;
}

// Single-valued keys may appear once per section.
bool ScenarioParser::takeOnce(const std::string& key)
{
    if (!keysSeen_.insert(key).second)
        return fail("'" + key + "' given twice");
    return true;
}

bool ScenarioParser::machineKey(const std::string& key, const std::string& value)
{
    if (key == "service")
        return takeOnce(key) && parseYesNo(value, "running", "stopped", &scenario_->serviceRunning);
    if (key == "driver")
        return parseDriver(value);
    if (key == "root-certificate") {
        Bytes certificate;
        if (!readCertificate(value, &certificate))
            return false;
        scenario_->rootCertificates.push_back(certificate);
        return true;
    }
    return fail("unknown key '" + key + "' (before the first section)");
}

bool ScenarioParser::parseDriver(const std::string& value)
{
    const char* const* known = std::find_if(std::begin(kKnownDriverFiles), std::end(kKnownDriverFiles),
                                            [&](const char* name) { return value == name; });
    if (known == std::end(kKnownDriverFiles))
        return fail("unknown driver file '" + value + "'");
    if (std::find(scenario_->drivers.begin(), scenario_->drivers.end(), value) != scenario_->drivers.end())
        return fail("driver '" + value + "' is listed twice");
    scenario_->drivers.push_back(value);
    return true;
}

bool ScenarioParser::providerKey(const std::string& key, const std::string& value)
{
    if (key == "name") {
        if (value.size() > kMaxRegistryKeyName || value.find('\\') != std::string::npos)
            return fail("a CSP name has at most 255 characters and no backslash");
        provider_.name = value;
        return takeOnce(key);
    }
    if (key == "type") {
        const unsigned long type = std::strtoul(value.c_str(), nullptr, 10);
        if (value.find_first_not_of("0123456789") != std::string::npos || type < 1 || type > 999)
            return fail("a CSP type is a number from 1 to 999");
        provider_.type = static_cast<uint32_t>(type);
        return takeOnce(key);
    }
    return fail("unknown key '" + key + "' in [csp]");
}

bool ScenarioParser::readerKey(const std::string& key, const std::string& value)
{
    if (key == "name") {
        reader_.name = value;
        return takeOnce(key);
    }
    if (key == "atr-query")
        return takeOnce(key) && parseYesNo(value, "fails", "works", &reader_.atrQueryFails);
    if (key == "card")
        return takeOnce(key) && parseYesNo(value, "inserted", "none", &cardInserted_);
    cardKeysSeen_ = true;
    return cardKey(key, value);
}

bool ScenarioParser::cardKey(const std::string& key, const std::string& value)
{
    if (key == "container") {
        card_.containers.push_back(value);
        return true;
    }
    if (!takeOnce(key))
        return false;
    if (key == "atr") {
        if (!ParseHexBytes(value, &card_.atr) || card_.atr.empty() || card_.atr.size() > kMaxAtrLength)
            return fail("an ATR is 1 to 33 hex bytes");
        return true;
    }
    if (key == "protocol") {
        bool t1 = false;
        if (!parseYesNo(value, "T=1", "T=0", &t1))
            return false;
        card_.protocol = t1 ? CardProtocol::T1 : CardProtocol::T0;
        return true;
    }
    if (key == "exclusive")
        return parseYesNo(value, "yes", "no", &card_.exclusive);
    if (key == "card-number" || key == "fe14") {
        if (card_.numberFile)
            return fail("give either 'card-number' or 'fe14', not both");
        if (key == "card-number") {
            if (value.size() != kCardNumberLength)
                return fail("a card number has exactly 16 characters");
            card_.numberFile = Bytes(value.begin(), value.end());
            return true;
        }
        Bytes content;
        if (!ParseHexBytes(value, &content) || content.size() > kMaxElementaryFileSize)
            return fail("'fe14' takes at most 32767 hex bytes");
        card_.numberFile = content;
        return true;
    }
    if (key == "certificate")
        return readCertificate(value, &card_.certificate);
    return fail("unknown key '" + key + "' in [reader]");
}

bool ScenarioParser::readCertificate(const std::string& value, Bytes* certificate)
{
    const std::string path = IsAbsolutePath(value) ? value : baseDirectory_ + "/" + value;
    std::string error;
    if (!ReadWholeFile(path, kMaxCertificateSize, certificate, &error))
        return fail(error);
    if (certificate->empty())
        return fail("certificate file '" + value + "' is empty");
    return true;
}

bool ScenarioParser::parseYesNo(const std::string& value, const char* yes, const char* no, bool* flag)
{
    if (value == yes || value == no) {
        *flag = value == yes;
        return true;
    }
    return fail("expected '" + std::string(yes) + "' or '" + no + "', not '" + value + "'");
}

bool ScenarioParser::fail(const std::string& message)
{
    error_ = "line " + std::to_string(lineNumber_) + ": " + message;
    return false;
}

// Faults of a whole section are reported at its header line.
bool ScenarioParser::failSection(const std::string& message)
{
    error_ = "line " + std::to_string(sectionLine_) + ": " + message;
    return false;
}

}  // namespace

const SimReader* Scenario::findReader(const std::string& name) const
{
    for (const SimReader& reader : readers) {
        if (reader.name == name)
            return &reader;
    }
    return nullptr;
}

const SimCard* Scenario::firstCard() const
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

bool ParseScenario(const std::string& text, const std::string& baseDirectory, Scenario* scenario,
                   std::string* error)
{
    return ScenarioParser(baseDirectory, scenario).parse(text, error);
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
