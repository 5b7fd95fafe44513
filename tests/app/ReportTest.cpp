// The report, byte for byte, on simulated machines. Expected texts are
// written here in UTF-8 and turned into Big5 independently of the program's
// own literals, so a wrong byte in either shows.
#include "Probes.h"
#include "Report.h"
#include "ReportBuffer.h"

#include "SimEnvironment.h"

#include <gtest/gtest.h>

#include <string>
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

// The report-file mode writes exactly the report the window would show.
TEST_F(ReportTest, ReportFileModeWritesTheSameBytes)
{
    ASSERT_TRUE(SimApplyScenario(SimScenarioPath("default.txt"), nullptr));
    char temp[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "rep", 0, path);
    std::string commandLine = std::string("sso.exe --report=") + path;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(0u, exitCode);

    FILE* file = fopen(path, "rb");
    ASSERT_NE(nullptr, file);
    std::string written;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;)
        written.append(chunk, n);
    fclose(file);
    DeleteFileA(path);
    EXPECT_EQ(Build(), written);
    EXPECT_NE(std::string::npos, written.find("TP03000000001234"));
}

}  // namespace
