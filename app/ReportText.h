// The report's texts, stored as the Big5 bytes the report is made of. The
// byte escapes keep the sources independent of any compiler's notion of the
// source character set; the comment above each literal shows its text.
#pragma once

namespace ReportText {

extern const char kTitle[];
extern const char kReadersHeader[];
extern const char kReaderCount[];
extern const char kReaderLine[];
extern const char kNoCard[];
extern const char kCardPresent[];
extern const char kReaderStatusUnknown[];
extern const char kRootHeader[];
// The root certificate's display name, in UTF-16: names are compared through
// the wide CryptoAPI, so the system's code page cannot change the answer.
extern const wchar_t kRootName[];
extern const char kRootPresent[];
extern const char kRootValidity[];
extern const char kRootAbsent[];
extern const char kCspHeader[];
extern const char kSafeSignPresent[];
extern const char kSafeSignAbsent[];
extern const char kHiCosPresent[];
extern const char kHiCosAbsent[];
extern const char kSafeSignDriverPresent[];
extern const char kSafeSignDriverAbsent[];
extern const char kHiCosDriverPresent[];
extern const char kHiCosDriverAbsent[];
extern const char kCardHeader[];
extern const char kCardAbsent[];
extern const char kCardInserted[];
extern const char kCertificateHeader[];
extern const char kCertificateSubject[];
extern const char kCertificateValidity[];
extern const char kCardNumberHeader[];
extern const char kCardNumberLine[];
extern const char kMaker[];
extern const char kSupportContact[];
extern const char kProductLine[];

}  // namespace ReportText
