#include "SimTestSupport.h"

#include <cstdio>

const char kSafeSignCsp[] = "SafeSign CSP Version 1.0";
const char kHiCosCsp[] = "HiCOS PKI Smart Card Cryptographic Service Provider";
const char kRootNameBig5[] = "\xA4\xBA\xAC\x46\xB3\xA1\xBE\xCC\xC3\xD2\xBA\xDE\xB2\x7A\xA4\xA4\xA4\xDF";
const char kCardHolderBig5[] = "\xA4\xFD\xA4\x6A\xA9\xFA";

void SimTest::TearDown()
{
    std::string error;
    EXPECT_TRUE(SimReset(&error)) << error;
}

void SimTest::apply(const std::string& text)
{
    std::string error;
    ASSERT_TRUE(SimApplyScenarioText(text, &error)) << error;
}

void SimTest::applyFile(const std::string& scenarioName)
{
    std::string error;
    ASSERT_TRUE(SimApplyScenario(SimScenarioPath(scenarioName), &error)) << error;
}

Bytes FixtureBytes(const std::string& name)
{
    Bytes content;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(SimFixturePath(name), 1 << 20, &content, &error)) << error;
    return content;
}

std::string DisplayName(PCCERT_CONTEXT certificate)
{
    char name[256] = {};
    CertGetNameStringA(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, sizeof(name));
    return name;
}

std::string NotAfterDate(PCCERT_CONTEXT certificate)
{
    SYSTEMTIME time = {};
    FileTimeToSystemTime(&certificate->pCertInfo->NotAfter, &time);
    char date[32];
    std::snprintf(date, sizeof(date), "%04u-%02u-%02u %02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
    return date;
}
