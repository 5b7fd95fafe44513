// Small stateless questions to the platform. Every call acquires and
// releases its own PC/SC context, registry keys or CryptoAPI handles, so a
// re-check sees what changed in the meantime.
//
// The enumerating probes share one protocol: with *index == 0 they count
// (writing the count into *index and, where they have one, the buffer size
// the longest item needs); with *index == k >= 1 they restart the walk and
// hand out the k-th item, leaving *index unchanged.
#pragma once

#include <windows.h>
#include <wincrypt.h>

// Registered CSPs (subkeys of the machine's provider list). Item mode hands
// out the name and its "Type" value.
int GetRegisteredCsp(unsigned* index, DWORD* nameSize, char* name, DWORD* type);

// Key containers of one CSP; container receives at most 256 bytes.
int GetCspContainer(unsigned* index, const char* providerName, char* container, DWORD providerType);

// A context on the card's key container; 0 when there is no card.
HCRYPTPROV AcquireCardContext(const char* container, const char* providerName, DWORD providerType);

// The DER certificate stored with the exchange key. Without data only the
// length is reported.
int GetCardCertificate(HCRYPTPROV provider, BYTE* data, DWORD* length);

// A system store of the current user; the caller closes it.
HCERTSTORE OpenSystemStore(const char* name);

// Certificates of a store: name receives the simple display name in UTF-16
// (kCertificateNameUnits units), context the certificate (the caller frees
// it) when given.
const DWORD kCertificateNameUnits = 256;
int GetStoreCertificate(unsigned* index, HCERTSTORE store, WCHAR* name, PCCERT_CONTEXT* context);

// PC/SC readers, at most kMaxReaders of them.
const unsigned kMaxReaders = 16;
int GetReaderName(unsigned* index, DWORD* nameSize, char* name);

// The answer-to-reset of the card in a reader. *atrLength is the capacity
// on entry (0 asks for the size) and the ATR length on return; 0 with
// result 0 means no card. A failed status query leaves *atrLength as given.
int GetReaderAtr(const char* readerName, BYTE* atr, DWORD* atrLength);
