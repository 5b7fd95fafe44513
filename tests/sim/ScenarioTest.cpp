#include "SimTestSupport.h"

namespace {

TEST(Scenario, DefaultScenarioDescribesAReadyMachine)
{
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(LoadScenarioFile(SimScenarioPath("default.txt"), &scenario, &error)) << error;

    EXPECT_TRUE(scenario.serviceRunning);
    ASSERT_EQ(2u, scenario.providers.size());
    EXPECT_EQ(kSafeSignCsp, scenario.providers[0].name);
    EXPECT_EQ(kHiCosCsp, scenario.providers[1].name);
    EXPECT_EQ(1u, scenario.providers[1].type);
    EXPECT_EQ(2u, scenario.drivers.size());
    ASSERT_EQ(1u, scenario.rootCertificates.size());
    EXPECT_EQ(FixtureBytes("root-moica.der"), scenario.rootCertificates[0]);

    ASSERT_EQ(1u, scenario.readers.size());
    ASSERT_TRUE(scenario.readers[0].card);
    const SimCard& card = *scenario.readers[0].card;
    EXPECT_EQ(CardProtocol::T1, card.protocol);
    EXPECT_EQ(0x3B, card.atr.at(0));
    ASSERT_TRUE(card.numberFile);
    EXPECT_EQ("TP03000000001234", std::string(card.numberFile->begin(), card.numberFile->end()));
    EXPECT_EQ(1u, card.containers.size());
    EXPECT_EQ(FixtureBytes("card-citizen.der"), card.certificate);
}

TEST(Scenario, RawFileContentAndRelativePaths)
{
    Scenario scenario;
    std::string error;
    const std::string text = "[reader]\n"
                             "name = R\n"
                             "card = inserted\n"
                             "atr = 3b:6a:00:00\n"
                             "protocol = T=0\n"
                             "fe14 = 41 42 90 00\n"
                             "certificate = card-citizen.der\n";
    ASSERT_TRUE(ParseScenario(text, SimFixturePath(""), &scenario, &error)) << error;
    const SimCard& card = *scenario.readers.at(0).card;
    EXPECT_EQ(Bytes({0x3B, 0x6A, 0x00, 0x00}), card.atr);
    EXPECT_EQ(Bytes({0x41, 0x42, 0x90, 0x00}), *card.numberFile);
    EXPECT_FALSE(card.certificate.empty());
}

// Every fault is reported with the line it is on, and nothing half-parsed
// is accepted.
TEST(Scenario, RejectsFaultsNamingTheLine)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"service = running\nmood = happy\n", "line 2: unknown key 'mood'"},
        {"service = maybe\n", "line 1: expected 'running' or 'stopped'"},
        {"driver = evil.dll\n", "line 1: unknown driver file"},
        {"driver = aetpkss1.dll\ndriver = aetpkss1.dll\n", "line 2: driver 'aetpkss1.dll' is listed twice"},
        {"root-certificate = no-such-file.der\n", "line 1: cannot open"},
        {"[csp]\nname = A\\B\n", "line 2: a CSP name has at most 255 characters"},
        {"[csp]\nname = SafeSign\n[csp]\nname = SAFESIGN\n", "line 3: CSP 'SAFESIGN' is listed twice"},
        {"[csp]\ntype = 1\n", "line 1: [csp] section without 'name'"},
        {"[csp]\nname = X\ntype = 0\n", "line 3: a CSP type is a number"},
        {"[reader]\nname = R\n[reader]\nname = R\n", "line 3: reader 'R' is listed twice"},
        {"[reader]\nname = R\natr = 3B 00\n", "line 1: reader 'R' describes a card but has no 'card = inserted'"},
        {"[reader]\nname = R\ncard = inserted\n", "line 1: the card in reader 'R' needs an 'atr'"},
        {"[reader]\nname = R\ncard = inserted\natr = 3B 0\n", "line 4: an ATR is 1 to 33 hex bytes"},
        {"[reader]\nname = R\ncard = inserted\natr = 3B 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
         "00 00 00 00 00 00 00 00 00 00 00 00 00\n",
         "line 4: an ATR is 1 to 33 hex bytes"},
        {"[reader]\nname = R\ncard = inserted\natr = 3B\ncard-number = TP0300000000123\n",
         "line 5: a card number has exactly 16 characters"},
        {"[reader]\nname = R\ncard = inserted\natr = 3B\ncard-number = TP03000000001234\nfe14 = 00\n",
         "line 6: give either 'card-number' or 'fe14'"},
        {"[reader]\nname = R\nname = S\n", "line 3: 'name' given twice"},
        {"[reader]\nname = R\nprotocol\n", "line 3: expected 'key = value'"},
        {"[reader\n", "line 1: section header without ']'"},
        {"[card]\n", "line 1: unknown section [card]"},
        {"[reader]\nname = R\ncard = inserted\natr = 3B\nbusy = always\n", "line 5: expected 'connect', 'transmit'"},
        {"[reader]\nname = R\ncard = inserted\natr = 3B\nreleased-after = 5\n",
         "line 1: the card in reader 'R' has 'released-after' but is not busy"},
        {"[reader]\nname = R\nremoved-after = soon\n", "line 3: a delay is a number of milliseconds"},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.text, SimFixturePath(""), &scenario, &error)) << c.text;
        EXPECT_EQ(0u, error.find(c.expected)) << "text:\n" << c.text << "error: " << error;
    }
}

// The machine as a program sees it at each moment after the scenario was
// applied.
TEST(Scenario, TimedChangesHappenAtTheirTime)
{
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("[reader]\nname = A\nremoved-after = 400\ncard = inserted\natr = 3B\n"
                              "inserted-after = 100\nbusy = connect\nreleased-after = 300\n"
                              "[reader]\nname = B\nadded-after = 200\n",
                              "", &scenario, &error))
        << error;
    const struct {
        uint64_t elapsedMs;
        const char* readers;
        bool cardInA;
        bool busy;
    } moments[] = {
        {0, "A", false, false},  {99, "A", false, false},  {100, "A", true, true},
        {200, "AB", true, true}, {300, "AB", true, false}, {400, "B", false, false},
    };
    for (const auto& moment : moments) {
        const Scenario now = scenario.At(moment.elapsedMs);
        std::string readers;
        for (const SimReader& reader : now.readers)
            readers += reader.name;
        EXPECT_EQ(moment.readers, readers) << moment.elapsedMs;
        const SimReader* a = now.FindReader("A");
        EXPECT_EQ(moment.cardInA, a && a->card) << moment.elapsedMs;
        EXPECT_EQ(moment.busy, a && a->card && a->card->busy == CardBusy::Connect) << moment.elapsedMs;
    }
}

}  // namespace
