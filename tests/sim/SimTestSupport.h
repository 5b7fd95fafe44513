// Shared pieces of the simulated platform's tests: a fixture that applies
// scenario text and resets the machine afterwards, owning wrappers for
// PC/SC and CryptoAPI handles, and the fixtures' expected values.
#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <winscard.h>

#include <gtest/gtest.h>

#include "Scenario.h"
#include "SimEnvironment.h"
#include "SimHandles.h"

#include <string>

inline void ReleaseScardContext(SCARDCONTEXT context) { SCardReleaseContext(context); }
inline void DisconnectCard(SCARDHANDLE card) { SCardDisconnect(card, SCARD_LEAVE_CARD); }
inline void ReleaseProvider(HCRYPTPROV provider) { CryptReleaseContext(provider, 0); }
inline void DestroyKey(HCRYPTKEY key) { CryptDestroyKey(key); }

using ScardContext = UniqueHandle<SCARDCONTEXT, ReleaseScardContext>;
using ScardCard = UniqueHandle<SCARDHANDLE, DisconnectCard>;
using CryptProvider = UniqueHandle<HCRYPTPROV, ReleaseProvider>;
using CryptKey = UniqueHandle<HCRYPTKEY, DestroyKey>;

// The middleware names the program looks for.
extern const char kSafeSignCsp[];
extern const char kHiCosCsp[];

// "內政部憑證管理中心" and "王大明" in Big5, as CertGetNameStringA returns them
// under code page 950.
extern const char kRootNameBig5[];
extern const char kCardHolderBig5[];

class SimTest : public ::testing::Test {
protected:
    void TearDown() override;

    void apply(const std::string& text);
    void applyFile(const std::string& scenarioName);
};

Bytes FixtureBytes(const std::string& name);

// The simple display name of a certificate in the ANSI code page.
std::string DisplayName(PCCERT_CONTEXT certificate);

// Year, month and day of the certificate's NotAfter, in UTC.
std::string NotAfterDate(PCCERT_CONTEXT certificate);
