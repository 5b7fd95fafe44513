// The report, byte for byte, on simulated machines. Expected texts are
// written here in UTF-8 and turned into Big5 independently of the program's
// own literals, so a wrong byte in either shows.
#include "CardNumber.h"
#include "Probes.h"
#include "Report.h"
#include "ReportBuffer.h"

#include "SimEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Big5(const std::string& utf8)
{
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(units);
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), units);
    const int bytes = WideCharToMultiByte(950, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::string big5(bytes, '\0');
    WideCharToMultiByte(950, 0, wide.data(), -1, &big5[0], bytes, nullptr, nullptr);
    big5.resize(bytes - 1);
    return big5;
}

const char kTitleAndRule[] =
    "\n   Tavren 自然人憑證檢查程式 v3.1   2005/08/15"
    "\n   --------------------------------------------------------------------------\n";
const char kClosing[] =
    "\n  【本程式由 PKI專業廠商 Tavren 所提供】\n"
    "\n    如有 PKI 相關問題，請洽 Tavren 客服專線 (02)2700-5678 或來信 pki-support@tavren.com.tw"
    "\n    Tavren 提供完整的 PKI 安全產品系列，相關資料請參閱 http://www.tavren.com.tw/pki/\n";
const char kReadersHeader[] = "\n  檢查讀卡機\n      ";
const char kRootHeader[] = "\n  檢查根憑證\n      ";
const char kCspHeader[] = "\n  檢查CSP及驅動程式\n      ";
const char kCardHeader[] = "\n  檢查卡片\n      ";
const char kCardNumberHeader[] = "\n  自然人憑證卡號: ";
const char kRootPresent[] = "你有安裝自然人根憑證\n      根憑證有效期限: 2031 年 12 月 31 日\n";
const char kRootAbsent[] = "你沒有安裝自然人根憑證\n";
const char kCertificateLines[] =
    "你有插入 GCA 5.0 憑證智慧卡\n"
    "\n  檢查憑證\n      你的憑證是發給: 王大明\n      你的憑證有效期限: 2029 年 6 月 30 日\n";
const char kCardReader[] =
    "card = inserted\n"
    "atr = 3B 8A 80 01 53 49 4D 43 41 52 44 30 30 31 79\n"
    "card-number = TP03000000001234\n"
    "container = GCA5-0000000000001234\n";

std::string g_failedCalls;
void CollectFailedCall(const char* call)
{
    g_failedCalls += call;
    g_failedCalls += ";";
}

class ReportTest : public testing::Test {
protected:
    void TearDown() override { SimReset(nullptr); }

    // Applies a scenario; {root}, {wrong-root} and {card} stand for the
    // absolute paths of the fixtures.
    static void Apply(std::string text)
    {
        Replace(text, "{root}", SimFixturePath("root-moica.der"));
        Replace(text, "{wrong-root}", SimFixturePath("root-moica-trailing-blank.der"));
        Replace(text, "{card}", SimFixturePath("card-citizen.der"));
        std::string error;
        ASSERT_TRUE(SimApplyScenarioText(text, &error)) << error;
    }

    static void Replace(std::string& text, const std::string& from, const std::string& to)
    {
        for (size_t at; (at = text.find(from)) != std::string::npos;)
            text.replace(at, from.size(), to);
    }

    std::string Build()
    {
        g_failedCalls.clear();
        std::vector<char> buffer(ReportBuffer::kSize);
        BuildReport(buffer.data(), CollectFailedCall);
        return buffer.data();
    }

    // The text of a section: from its header up to the next header (the
    // card section holds the certificate header, so it ends at the card
    // number).
    static std::string Section(const std::string& report, const char* header)
    {
        const std::string start = Big5(header);
        const size_t begin = report.find(start);
        if (begin == std::string::npos)
            return "<missing>";
        const size_t end = header == kCardHeader ? report.find(Big5(kCardNumberHeader), begin) - 1
                                                 : report.find("\n\n  ", begin + 1);
        return report.substr(begin, end == std::string::npos ? std::string::npos : end + 1 - begin);
    }
};

TEST_F(ReportTest, ReadyMachineGivesTheFullReport)
{
    Apply(std::string("driver = aetpkss1.dll\ndriver = HiCOSPKCS11.dll\nroot-certificate = {root}\n"
                      "[csp]\nname = SafeSign CSP Version 1.0\n"
                      "[csp]\nname = HiCOS PKI Smart Card Cryptographic Service Provider\n"
                      "[reader]\nname = Generic USB Smart Card Reader 0\nprotocol = T=1\ncertificate = {card}\n") +
          kCardReader);
    const std::string expected = Big5(
        std::string(kTitleAndRule) + kReadersHeader + "你有 1 台讀卡機\n" +
        "       第 1 台讀卡機: Generic USB Smart Card Reader 0 -- 有插卡\n"
        "                卡片資訊: 3B 8A 80 01 53 49 4D 43 41 52 44 30 30 31 79 \n" +
        kRootHeader + kRootPresent + kCspHeader +
        "你有安裝自然人憑證 SafeSign CSP。\n"
        "      你有安裝自然人憑證 HiCOS PKI Smart Card CSP。\n"
        "      你有安裝safeSign自然人憑證驅動程式。\n"
        "      你有安裝HiCOS自然人憑證驅動程式。\n" +
        kCardHeader + kCertificateLines + kCardNumberHeader + "\n        TP03000000001234\n" + kClosing);
    EXPECT_EQ(expected, Build());
    EXPECT_EQ("", g_failedCalls);
}

TEST_F(ReportTest, BareMachineHasNoReadersNoRootNoMiddlewareButCardNumberLines)
{
    Apply("service = running\n");
    const std::string expected =
        Big5(std::string(kTitleAndRule) + kReadersHeader + "你有 0 台讀卡機\n" + kRootHeader + kRootAbsent +
             kCspHeader +
             "你沒有安裝自然人憑證 SafeSign CSP。\n"
             "      你沒有安裝自然人憑證 HiCOS PKI Smart Card CSP。\n"
             "      你沒有安裝safeSign自然人憑證驅動程式。\n"
             "      你沒有安裝HiCOS自然人憑證驅動程式。\n" +
             kCardNumberHeader + "\n        \n" + kClosing);
    EXPECT_EQ(expected, Build());
    // Listing no readers fails, and the card-number probe says so.
    EXPECT_EQ("SCardListReaders;", g_failedCalls);
}

TEST_F(ReportTest, StoppedServiceReportsNoReadersAndNamesBothFailedCalls)
{
    Apply("service = stopped\n");
    const std::string report = Build();
    EXPECT_EQ(Big5(std::string(kReadersHeader) + "你有 0 台讀卡機\n"), Section(report, kReadersHeader));
    EXPECT_EQ("SCardEstablishContext;SCardListReaders;", g_failedCalls);
}

TEST_F(ReportTest, ReaderLinesShowCardStateAtrAndFailedQueries)
{
    Apply(std::string("[reader]\nname = Empty Reader\n"
                      "[reader]\nname = Broken Reader\natr-query = fails\n"
                      "[reader]\nname = Card Reader\n") +
          kCardReader);
    EXPECT_EQ(Big5(std::string(kReadersHeader) + "你有 3 台讀卡機\n" +
                   "       第 1 台讀卡機: Empty Reader -- 沒有插卡\n"
                   "       第 2 台讀卡機: Broken Reader -- 無法取得讀卡機狀態\n"
                   "       第 3 台讀卡機: Card Reader -- 有插卡\n"
                   "                卡片資訊: 3B 8A 80 01 53 49 4D 43 41 52 44 30 30 31 79 \n"),
              Section(Build(), kReadersHeader));
}

TEST_F(ReportTest, OnlyTheFirstSixteenReadersAreListed)
{
    std::string scenario;
    for (int i = 1; i <= 18; ++i)
        scenario += "[reader]\nname = Reader " + std::to_string(i) + "\n";
    Apply(scenario);
    const std::string readers = Section(Build(), kReadersHeader);
    EXPECT_NE(std::string::npos, readers.find(Big5("你有 16 台讀卡機\n")));
    EXPECT_NE(std::string::npos, readers.find(Big5("第 16 台讀卡機: Reader 16 -- ")));
    EXPECT_EQ(std::string::npos, readers.find("Reader 17"));
}

TEST_F(ReportTest, CardNumberComesFromTheFirstReaderThatHoldsACard)
{
    Apply(std::string("[reader]\nname = Empty\n"
                      "[reader]\nname = Busy\ncard = inserted\natr = 3B 00\nexclusive = yes\n"
                      "card-number = BUSY000000000000\n"
                      "[reader]\nname = T0 Reader\nprotocol = T=0\n") +
          kCardReader);
    EXPECT_EQ(Big5(std::string(kCardNumberHeader) + "\n        TP03000000001234\n"),
              Section(Build(), kCardNumberHeader).substr(0, Big5(kCardNumberHeader).size() + 27));
}

// A reader another program holds in a transaction answers neither connect
// nor transmit until released: the card-number step passes it over, however
// many there are, within its one limit, and the report goes on.
TEST_F(ReportTest, BusyReadersArePassedOverWithinOneLimit)
{
    const std::string held = "card = inserted\natr = 3B 00\ncard-number = HELD000000000000\nbusy = ";
    const std::string free = std::string("[reader]\nname = Free\nprotocol = T=1\n") + kCardReader;
    struct Row {
        const char* name;
        std::string scenario;
        const char* number;
    };
    const Row rows[] = {
        {"connect waits", "[reader]\nname = Held\n" + held + "connect\n", ""},
        {"transmit waits", "[reader]\nname = Held\n" + held + "transmit\n", ""},
        {"a busy reader before a free one", "[reader]\nname = Held\n" + held + "connect\n" + free, "TP03000000001234"},
        {"three busy readers",
         "[reader]\nname = A\n" + held + "connect\n[reader]\nname = B\n" + held + "transmit\n[reader]\nname = C\n" +
             held + "connect\n",
         ""},
        {"released in time", "[reader]\nname = Held\n" + held + "connect\nreleased-after = 100\n", "HELD000000000000"},
    };
    const DWORD limit = 400;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Apply(row.scenario);
        std::vector<char> buffer(ReportBuffer::kSize);
        ReportBuffer report(buffer.data());
        const DWORD start = GetTickCount();
        AppendCardNumber(report, CollectFailedCall, limit);
        const DWORD took = GetTickCount() - start;
        EXPECT_EQ(Big5(kCardNumberHeader) + "\n        " + row.number + "\n", report.Text());
        EXPECT_LT(took, limit + 200) << "one limit for all the readers";
    }
}

// Long reader names and a reader list beyond the probe's first buffer are
// read whole: the card is still found in the last reader.
TEST_F(ReportTest, LongReaderNamesAndListsAreReadWhole)
{
    std::string scenario;
    for (int i = 1; i <= 12; ++i)
        scenario += "[reader]\nname = " + std::string(450, 'A' + i) + "\n";
    scenario += "[reader]\nname = " + std::string(300, 'z') + "\nprotocol = T=1\n" + kCardReader;
    Apply(scenario);
    const std::string report = Build();
    EXPECT_NE(std::string::npos, report.find("\n        TP03000000001234\n"));
    EXPECT_NE(std::string::npos, report.find(Big5("第 13 台讀卡機: ") + std::string(300, 'z') + " -- "));
}

TEST_F(ReportTest, OversizedReportEndsCleanlyWithinItsBuffer)
{
    std::string scenario;
    for (int i = 1; i <= 16; ++i)
        scenario += "[reader]\nname = " + std::to_string(i) + std::string(1500, 'r') + "\n";
    Apply(scenario);
    const std::string report = Build();
    EXPECT_LT(report.size(), ReportBuffer::kSize);
    EXPECT_EQ(Big5(" -- 沒有插卡\n"), report.substr(report.size() - Big5(" -- 沒有插卡\n").size()));
}

TEST_F(ReportTest, RootCertificateMustMatchTheNameExactly)
{
    Apply("root-certificate = {wrong-root}\n");
    EXPECT_EQ(Big5(std::string(kRootHeader) + kRootAbsent), Section(Build(), kRootHeader));
    // Validity is the UTC date of NotAfter (16:00 UTC), also where it is
    // already the next day locally.
    Apply("root-certificate = {wrong-root}\nroot-certificate = {root}\n");
    EXPECT_EQ(Big5(std::string(kRootHeader) + kRootPresent), Section(Build(), kRootHeader));
}

TEST_F(ReportTest, CspLinesAndCardSectionForEachMiddlewareCombination)
{
    const std::string safeSign = "[csp]\nname = SafeSign CSP Version 1.0\n";
    const std::string hiCos = "[csp]\nname = HiCOS PKI Smart Card Cryptographic Service Provider\n";
    const std::string card = std::string("[reader]\nname = R\ncertificate = {card}\n") + kCardReader;
    const std::string safeSignYes = "你有安裝自然人憑證 SafeSign CSP。\n";
    const std::string safeSignNo = "你沒有安裝自然人憑證 SafeSign CSP。\n";
    const std::string hiCosYes = "      你有安裝自然人憑證 HiCOS PKI Smart Card CSP。\n";
    const std::string hiCosNo = "      你沒有安裝自然人憑證 HiCOS PKI Smart Card CSP。\n";
    const std::string driversNo = "      你沒有安裝safeSign自然人憑證驅動程式。\n"
                                  "      你沒有安裝HiCOS自然人憑證驅動程式。\n";
    struct Case {
        std::string scenario;
        std::string cspLines;
        std::string cardSection;  // empty: no card section
    } cases[] = {
        {safeSign + hiCos + card, safeSignYes + hiCosYes, kCertificateLines},
        {hiCos + card, safeSignNo + hiCosYes, kCertificateLines},
        {hiCos + "[reader]\nname = R\n", safeSignNo + hiCosYes, "你沒有插入 GCA 5.0 憑證智慧卡\n"},
        // SafeSign alone reads the same card.
        {safeSign + card, safeSignYes + hiCosNo, kCertificateLines},
        {card, safeSignNo + hiCosNo, ""},
    };
    for (const Case& c : cases) {
        Apply(c.scenario);
        const std::string report = Build();
        EXPECT_EQ(Big5(kCspHeader + c.cspLines + driversNo), Section(report, kCspHeader)) << c.scenario;
        EXPECT_EQ(c.cardSection.empty() ? "<missing>" : Big5(kCardHeader + c.cardSection),
                  Section(report, kCardHeader))
            << c.scenario;
        EXPECT_NE(std::string::npos, report.find(Big5(kCardNumberHeader))) << c.scenario;
    }
}

TEST_F(ReportTest, DriversAreFoundInTheSystemFolder)
{
    Apply("driver = HiCOSPKCS11.dll\n");
    const std::string csps = Section(Build(), kCspHeader);
    EXPECT_NE(std::string::npos, csps.find(Big5("      你沒有安裝safeSign自然人憑證驅動程式。\n")));
    EXPECT_NE(std::string::npos, csps.find(Big5("      你有安裝HiCOS自然人憑證驅動程式。\n")));
}

TEST_F(ReportTest, ContainerlessCspGivesNoContainerName)
{
    Apply("[csp]\nname = HiCOS PKI Smart Card Cryptographic Service Provider\n"
          "[reader]\nname = R\ncard = inserted\natr = 3B 00\n");
    const char* provider = "HiCOS PKI Smart Card Cryptographic Service Provider";
    unsigned count = 0;
    EXPECT_EQ(1, GetCspContainer(&count, provider, nullptr, PROV_RSA_FULL));
    EXPECT_EQ(0u, count);
    unsigned first = 1;
    char container[256];
    memset(container, 'x', sizeof container);
    EXPECT_EQ(0, GetCspContainer(&first, provider, container, PROV_RSA_FULL));
    EXPECT_EQ(std::string(256, '\0'), std::string(container, 256));
}

TEST_F(ReportTest, ProbesCountThenHandOutByIndex)
{
    Apply(std::string("[csp]\nname = A Provider With The Longest Name Of All Registered Ones\ntype = 24\n"
                      "[reader]\nname = First\n[reader]\nname = Second Reader\n") +
          kCardReader);
    unsigned readers = 0;
    DWORD nameSize = 0;
    ASSERT_EQ(1, GetReaderName(&readers, &nameSize, nullptr));
    EXPECT_EQ(2u, readers);
    EXPECT_EQ(sizeof "Second Reader", nameSize);
    char name[64];
    unsigned second = 2;
    ASSERT_EQ(1, GetReaderName(&second, &nameSize, name));
    EXPECT_STREQ("Second Reader", name);
    DWORD tooSmall = 4;
    EXPECT_EQ(0, GetReaderName(&second, &tooSmall, name));
    unsigned beyond = 3;
    EXPECT_EQ(1, GetReaderName(&beyond, &nameSize, name));

    BYTE atr[100];
    DWORD atrLength = 0;
    EXPECT_EQ(1, GetReaderAtr("Second Reader", atr, &atrLength));
    EXPECT_EQ(15u, atrLength);
    atrLength = sizeof atr;
    EXPECT_EQ(0, GetReaderAtr("First", atr, &atrLength));
    EXPECT_EQ(0u, atrLength);

    unsigned csps = 0;
    DWORD cspNameSize = 0;
    ASSERT_EQ(1, GetRegisteredCsp(&csps, &cspNameSize, nullptr, nullptr));
    std::vector<char> cspName(cspNameSize);
    DWORD type = 0;
    bool found = false;
    for (unsigned i = 1; i <= csps; ++i) {
        unsigned index = i;
        DWORD size = cspNameSize;
        GetRegisteredCsp(&index, &size, cspName.data(), &type);
        if (std::string(cspName.data()) == "A Provider With The Longest Name Of All Registered Ones") {
            found = true;
            EXPECT_EQ(24u, type);
        }
    }
    EXPECT_TRUE(found);
}

// The bytes of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

// A caller's buffer with guard bytes after its capacity: whatever a probe
// does, the guard must come back as it was.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t capacity) : bytes_(capacity + kGuard, kFill), capacity_(capacity) {}

    BYTE* Data() { return bytes_.data(); }
    char* Text() { return reinterpret_cast<char*>(bytes_.data()); }
    DWORD Capacity() const { return static_cast<DWORD>(capacity_); }
    std::string Contents() const { return std::string(bytes_.begin(), bytes_.begin() + capacity_); }
    bool GuardIntact() const
    {
        return std::string(bytes_.begin() + capacity_, bytes_.end()) == std::string(kGuard, char(kFill));
    }
    bool Untouched() const { return GuardIntact() && Contents() == std::string(capacity_, char(kFill)); }

private:
    static constexpr size_t kGuard = 64;
    static constexpr BYTE kFill = 0xA5;
    std::vector<BYTE> bytes_;
    size_t capacity_;
};

// A certificate file of `size` bytes in the temporary folder ("" when it
// cannot be written); "any bytes" is enough for the probe, which does not
// parse them.
std::string WriteCertificateFile(size_t size)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "sso-grown-certificate.der";
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return std::string();
    for (size_t i = 0; i < size; ++i)
        fputc(static_cast<int>(i * 7 & 0xFF), file);
    fclose(file);
    return path;
}

class CardCertificateTest : public ReportTest {
protected:
    void TearDown() override
    {
        if (provider_)
            CryptReleaseContext(provider_, 0);
        ReportTest::TearDown();
    }

    // A context on the card's container through the HiCOS middleware.
    void AcquireCard(const std::string& certificatePath)
    {
        Apply(CardScenario(certificatePath));
        unsigned first = 1;
        char container[256] = {};
        ASSERT_EQ(1, GetCspContainer(&first, kHiCos, container, PROV_RSA_FULL));
        provider_ = AcquireCardContext(container, kHiCos, PROV_RSA_FULL);
        ASSERT_NE(0u, provider_);
    }

    static std::string CardScenario(const std::string& certificatePath)
    {
        return std::string("[csp]\nname = ") + kHiCos + "\n[reader]\nname = R\ncertificate = " + certificatePath +
               "\n" + kCardReader;
    }

    static const char kHiCos[];
    HCRYPTPROV provider_ = 0;
};

const char CardCertificateTest::kHiCos[] = "HiCOS PKI Smart Card Cryptographic Service Provider";

TEST_F(CardCertificateTest, ReadFillsExactlyTheCapacityAndRefusesLess)
{
    const std::string certificate = ReadWholeFile(SimFixturePath("card-citizen.der"));
    ASSERT_FALSE(certificate.empty());
    ASSERT_NO_FATAL_FAILURE(AcquireCard(SimFixturePath("card-citizen.der")));
    DWORD length = 0;
    ASSERT_EQ(1, GetCardCertificate(provider_, nullptr, &length));
    ASSERT_EQ(certificate.size(), length);

    GuardedBuffer exact(length);
    DWORD exactLength = exact.Capacity();
    EXPECT_EQ(1, GetCardCertificate(provider_, exact.Data(), &exactLength));
    EXPECT_EQ(length, exactLength);
    EXPECT_EQ(certificate, exact.Contents());
    EXPECT_TRUE(exact.GuardIntact());

    GuardedBuffer oneShort(length - 1);
    DWORD shortLength = oneShort.Capacity();
    EXPECT_EQ(0, GetCardCertificate(provider_, oneShort.Data(), &shortLength));
    EXPECT_TRUE(oneShort.Untouched());
}

// Another card between the size query and the read: the certificate grew,
// and the buffer sized for the first must not be written past.
TEST_F(CardCertificateTest, CertificateThatGrewSinceTheSizeQueryIsNotWrittenPastTheBuffer)
{
    ASSERT_NO_FATAL_FAILURE(AcquireCard(SimFixturePath("card-citizen.der")));
    DWORD length = 0;
    ASSERT_EQ(1, GetCardCertificate(provider_, nullptr, &length));
    // Grown by less than the guard, so that a write past the buffer shows
    // in the guard rather than in the heap around it.
    const std::string grown = WriteCertificateFile(length + 40);
    ASSERT_FALSE(grown.empty());
    Apply(CardScenario(grown));
    GuardedBuffer buffer(length);
    DWORD readLength = buffer.Capacity();
    EXPECT_EQ(0, GetCardCertificate(provider_, buffer.Data(), &readLength));
    EXPECT_TRUE(buffer.Untouched());
    DeleteFileA(grown.c_str());
}

// Each probe that fills a caller's buffer needs room for all it writes,
// the terminator included; one byte less is refused without a write.
TEST_F(ReportTest, ReaderNameAndAtrFitBuffersOfExactlyTheirSize)
{
    Apply(std::string("[reader]\nname = Second Reader\n") + kCardReader);
    const std::string name = "Second Reader";
    unsigned first = 1;

    GuardedBuffer noRoomForTerminator(name.size());
    DWORD nameSize = noRoomForTerminator.Capacity();
    EXPECT_EQ(0, GetReaderName(&first, &nameSize, noRoomForTerminator.Text()));
    EXPECT_TRUE(noRoomForTerminator.Untouched());

    GuardedBuffer exactName(name.size() + 1);
    nameSize = exactName.Capacity();
    EXPECT_EQ(1, GetReaderName(&first, &nameSize, exactName.Text()));
    EXPECT_EQ(name + '\0', exactName.Contents());
    EXPECT_TRUE(exactName.GuardIntact());

    const std::string atr = "\x3B\x8A\x80\x01\x53\x49\x4D\x43\x41\x52\x44\x30\x30\x31\x79";
    GuardedBuffer shortAtr(atr.size() - 1);
    DWORD atrLength = shortAtr.Capacity();
    EXPECT_EQ(0, GetReaderAtr(name.c_str(), shortAtr.Data(), &atrLength));
    EXPECT_TRUE(shortAtr.Untouched());

    GuardedBuffer exactAtr(atr.size());
    atrLength = exactAtr.Capacity();
    EXPECT_EQ(1, GetReaderAtr(name.c_str(), exactAtr.Data(), &atrLength));
    EXPECT_EQ(atr.size(), atrLength);
    EXPECT_EQ(atr, exactAtr.Contents());
    EXPECT_TRUE(exactAtr.GuardIntact());
}

// The container buffer holds 256 bytes: a name of 255 characters and its
// terminator fill it exactly and are handed out; one of 256 cannot be.
TEST_F(ReportTest, ContainerNameFillsItsBufferExactly)
{
    const char* provider = "HiCOS PKI Smart Card Cryptographic Service Provider";
    for (const size_t length : {254u, 255u, 256u}) {
        const std::string name(length, 'c');
        Apply(std::string("[csp]\nname = ") + provider + "\n[reader]\nname = R\ncard = inserted\natr = 3B 00\n" +
              "container = " + name + "\n");
        GuardedBuffer container(256);
        unsigned first = 1;
        const int result = GetCspContainer(&first, provider, container.Text(), PROV_RSA_FULL);
        EXPECT_EQ(length < 256 ? 1 : 0, result) << length;
        EXPECT_EQ(length < 256 ? name : std::string(), std::string(container.Text())) << length;
        EXPECT_TRUE(container.GuardIntact()) << length;
    }
}

// Every provider has a type of its own here, so a card check through one
// middleware with another's type shows: CryptoAPI refuses a provider opened
// with a type it is not registered under. "Zeta" sorts after both
// middlewares, so it is the last provider any listing walks.
TEST_F(ReportTest, CardIsReadWithTheTypeOfTheMiddlewareThatReadsIt)
{
    const std::string safeSign = "[csp]\nname = SafeSign CSP Version 1.0\ntype = 24\n";
    const std::string hiCos = "[csp]\nname = HiCOS PKI Smart Card Cryptographic Service Provider\ntype = 12\n";
    const std::string other = "[csp]\nname = Zeta Other Provider\ntype = 5\n";
    const std::string card = std::string("[reader]\nname = R\ncertificate = {card}\n") + kCardReader;
    for (const std::string& middlewares : {safeSign + other, safeSign + hiCos + other, hiCos + other}) {
        Apply(middlewares + card);
        EXPECT_EQ(Big5(std::string(kCardHeader) + kCertificateLines), Section(Build(), kCardHeader)) << middlewares;
    }
}

// The program started as a person or a script starts it.
struct Program {
    explicit Program(std::string commandLine)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
    }
    ~Program()
    {
        if (!started)
            return;
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool EndsWithin(DWORD milliseconds) const
    {
        return WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const
    {
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    // Its visible top-level window, once it waits for input.
    HWND Window(DWORD milliseconds) const
    {
        if (WaitForInputIdle(process.hProcess, milliseconds) != 0)
            return nullptr;
        std::pair<DWORD, HWND> wanted(process.dwProcessId, nullptr);
        EnumWindows(TakeVisibleOfProcess, reinterpret_cast<LPARAM>(&wanted));
        return wanted.second;
    }

    static BOOL CALLBACK TakeVisibleOfProcess(HWND window, LPARAM lParam)
    {
        auto* wanted = reinterpret_cast<std::pair<DWORD, HWND>*>(lParam);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != wanted->first || !IsWindowVisible(window))
            return TRUE;
        wanted->second = window;
        return FALSE;
    }

    PROCESS_INFORMATION process = {};
    bool started = false;
};

// A reader another program holds keeps neither the window nor the exit
// waiting: the window shows within six seconds of the start, and closing
// it ends the program at once.
TEST_F(ReportTest, WithABusyReaderTheWindowShowsInTimeAndClosesAtOnce)
{
    ASSERT_TRUE(SimApplyScenario(SimScenarioPath("busy-reader.txt"), nullptr));
    const Program program("sso.exe");
    ASSERT_TRUE(program.started);
    const HWND window = program.Window(6000);
    ASSERT_TRUE(window) << "no window within six seconds";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.EndsWithin(2000));
}

// The report-file mode writes exactly the report the window would show.
TEST_F(ReportTest, ReportFileModeWritesTheSameBytes)
{
    ASSERT_TRUE(SimApplyScenario(SimScenarioPath("default.txt"), nullptr));
    char temp[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "rep", 0, path);
    const Program program(std::string("sso.exe --report=") + path);
    ASSERT_TRUE(program.started);
    ASSERT_TRUE(program.EndsWithin(60000));
    EXPECT_EQ(0u, program.ExitCode());

    const std::string written = ReadWholeFile(path);
    DeleteFileA(path);
    EXPECT_EQ(Build(), written);
    EXPECT_NE(std::string::npos, written.find("TP03000000001234"));
}

}  // namespace
