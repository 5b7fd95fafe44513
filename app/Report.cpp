#include "Report.h"

#include "Probes.h"
#include "ReportBuffer.h"
#include "ReportText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const char kSafeSignCsp[] = "SafeSign CSP Version 1.0";
const char kHiCosCsp[] = "HiCOS PKI Smart Card Cryptographic Service Provider";
const DWORD kAtrCapacity = 100;
const UINT kPathSize = 512;
const UINT kBig5CodePage = 950;

using namespace ReportText;

// The CSP through which the card certificate is looked for.
struct CardCsp {
    bool found = false;
    std::string name;
    DWORD type = 0;
};

// The report is Big5 whatever the system's code page: what the system hands
// out as text is converted explicitly, never passed through the ANSI page.
std::string Big5FromWide(const WCHAR* text)
{
    const int bytes = WideCharToMultiByte(kBig5CodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string big5(bytes, '\0');
    WideCharToMultiByte(kBig5CodePage, 0, text, -1, &big5[0], bytes, nullptr, nullptr);
    big5.resize(bytes - 1);
    return big5;
}

std::string Big5FromAnsi(const char* text)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 0)
        return std::string();
    std::vector<WCHAR> wide(units);
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), units);
    return Big5FromWide(wide.data());
}

void AppendTitle(ReportBuffer& report)
{
    report.Append(kTitle);
    report.Append("\n   %s\n", std::string(74, '-').c_str());
}

void AppendAtr(ReportBuffer& report, const BYTE* atr, DWORD length)
{
    report.Append(kCardPresent);
    for (DWORD i = 0; i < length; ++i)
        report.Append("%02X ", atr[i]);
    report.Append("\n");
}

void AppendReaderState(ReportBuffer& report, const char* readerName)
{
    BYTE atr[kAtrCapacity] = {};
    DWORD atrLength = kAtrCapacity;
    const int result = GetReaderAtr(readerName, atr, &atrLength);
    if (result && atrLength > 0)
        AppendAtr(report, atr, atrLength);
    else if (atrLength == 0)
        report.Append(kNoCard);
    else  // the status query itself failed: whether a card is there is unknown
        report.Append(kReaderStatusUnknown);
}

void AppendReaders(ReportBuffer& report)
{
    report.Append(kReadersHeader);
    unsigned count = 0;
    DWORD nameSize = 0;
    if (!GetReaderName(&count, &nameSize, nullptr))
        count = 0;
    report.Append(kReaderCount, static_cast<int>(count));
    std::vector<char> name(nameSize ? nameSize : 1);
    for (unsigned i = 1; i <= count; ++i) {
        unsigned index = i;
        std::fill(name.begin(), name.end(), '\0');
        GetReaderName(&index, &nameSize, name.data());
        report.Append(kReaderLine, static_cast<int>(i), Big5FromAnsi(name.data()).c_str());
        AppendReaderState(report, name.data());
    }
}

// The first certificate of the store whose display name is exactly `name`;
// the caller frees it.
PCCERT_CONTEXT FindCertificateByName(HCERTSTORE store, const WCHAR* name)
{
    unsigned count = 0;
    if (!GetStoreCertificate(&count, store, nullptr, nullptr))
        return nullptr;
    for (unsigned i = 1; i <= count; ++i) {
        unsigned index = i;
        WCHAR displayName[kCertificateNameUnits] = {};
        PCCERT_CONTEXT certificate = nullptr;
        if (!GetStoreCertificate(&index, store, displayName, &certificate))
            break;
        if (wcscmp(displayName, name) == 0)
            return certificate;
        CertFreeCertificateContext(certificate);
    }
    return nullptr;
}

// Validity is shown as the UTC calendar date of NotAfter, as stored.
SYSTEMTIME NotAfter(PCCERT_CONTEXT certificate)
{
    SYSTEMTIME time = {};
    FileTimeToSystemTime(&certificate->pCertInfo->NotAfter, &time);
    return time;
}

void AppendRootCertificate(ReportBuffer& report)
{
    report.Append(kRootHeader);
    HCERTSTORE store = OpenSystemStore("CA");
    PCCERT_CONTEXT root = store ? FindCertificateByName(store, kRootName) : nullptr;
    if (root) {
        const SYSTEMTIME validTo = NotAfter(root);
        report.Append(kRootPresent);
        report.Append(kRootValidity, validTo.wYear, validTo.wMonth, validTo.wDay);
        CertFreeCertificateContext(root);
    } else {
        report.Append(kRootAbsent);
    }
    if (store)
        CertCloseStore(store, 0);
}

bool FindRegisteredCsp(const char* wanted, DWORD* type)
{
    unsigned count = 0;
    DWORD nameSize = 0;
    if (!GetRegisteredCsp(&count, &nameSize, nullptr, nullptr))
        return false;
    std::vector<char> name(nameSize ? nameSize : 1);
    for (unsigned i = 1; i <= count; ++i) {
        unsigned index = i;
        DWORD size = nameSize;
        std::fill(name.begin(), name.end(), '\0');
        *type = 0;
        GetRegisteredCsp(&index, &size, name.data(), type);
        if (strcmp(name.data(), wanted) == 0)
            return true;
    }
    return false;
}

bool SystemFileExists(const char* fileName)
{
    char windows[kPathSize] = {};
    GetWindowsDirectoryA(windows, kPathSize);
    char path[kPathSize] = {};
    snprintf(path, sizeof path, "%s\\system32\\%s", windows, fileName);
    FILE* file = fopen(path, "r");
    if (!file)
        return false;
    fclose(file);
    return true;
}

CardCsp AppendCspsAndDrivers(ReportBuffer& report)
{
    report.Append(kCspHeader);
    CardCsp card;
    DWORD safeSignType = 0;
    const bool safeSign = FindRegisteredCsp(kSafeSignCsp, &safeSignType);
    report.Append(safeSign ? kSafeSignPresent : kSafeSignAbsent);

    DWORD hiCosType = 0;
    if (FindRegisteredCsp(kHiCosCsp, &hiCosType)) {
        report.Append(kHiCosPresent);
        card = {true, kHiCosCsp, hiCosType};
    } else {
        report.Append(kHiCosAbsent);
        // SafeSign's middleware reads the same card, so it serves the card
        // check when it is the only one installed.
        if (safeSign)
            card = {true, kSafeSignCsp, safeSignType};
    }

    report.Append(SystemFileExists("aetpkss1.dll") ? kSafeSignDriverPresent : kSafeSignDriverAbsent);
    report.Append(SystemFileExists("HiCOSPKCS11.dll") ? kHiCosDriverPresent : kHiCosDriverAbsent);
    return card;
}

std::vector<BYTE> ReadCardCertificate(HCRYPTPROV provider)
{
    std::vector<BYTE> certificate;
    DWORD length = 0;
    if (GetCardCertificate(provider, nullptr, &length) && length != 0) {
        certificate.resize(length);
        if (!GetCardCertificate(provider, certificate.data(), &length))
            certificate.clear();
        else
            certificate.resize(length);
    }
    return certificate;
}

void AppendCertificate(ReportBuffer& report, PCCERT_CONTEXT certificate)
{
    WCHAR subject[kCertificateNameUnits] = {};
    CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, subject, kCertificateNameUnits);
    const SYSTEMTIME validTo = NotAfter(certificate);
    report.Append(kCardInserted);
    report.Append(kCertificateHeader);
    report.Append(kCertificateSubject, Big5FromWide(subject).c_str());
    report.Append(kCertificateValidity, validTo.wYear, validTo.wMonth, validTo.wDay);
}

void AppendCardCertificate(ReportBuffer& report, const CardCsp& csp)
{
    report.Append(kCardHeader);
    char container[256] = {};
    unsigned first = 1;
    GetCspContainer(&first, csp.name.c_str(), container, csp.type);
    HCRYPTPROV provider = AcquireCardContext(container, csp.name.c_str(), csp.type);
    if (!provider) {
        report.Append(kCardAbsent);
        return;
    }
    const std::vector<BYTE> encoded = ReadCardCertificate(provider);
    PCCERT_CONTEXT certificate =
        encoded.empty() ? nullptr
                        : CertCreateCertificateContext(X509_ASN_ENCODING, encoded.data(),
                                                       static_cast<DWORD>(encoded.size()));
    if (certificate) {
        AppendCertificate(report, certificate);
        CertFreeCertificateContext(certificate);
    }
    CryptReleaseContext(provider, 0);
}

void AppendClosingLines(ReportBuffer& report)
{
    report.Append(kMaker);
    report.Append(kSupportContact);
    report.Append(kProductLine);
}

}  // namespace

int BuildReport(char* reportBuffer, ProbeErrorHandler onError)
{
    ReportBuffer report(reportBuffer);
    AppendTitle(report);
    AppendReaders(report);
    AppendRootCertificate(report);
    const CardCsp csp = AppendCspsAndDrivers(report);
    if (csp.found)
        AppendCardCertificate(report, csp);
    AppendCardNumber(report, onError);
    AppendClosingLines(report);
    return 0;
}
