#include "SimTestSupport.h"

#include <cstring>
#include <vector>

namespace {

const char kProviderListKey[] = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider";

class CardCsp : public SimTest {};

std::vector<std::string> EnumerateContainers(const char* providerName)
{
    std::vector<std::string> names;
    CryptProvider provider;
    if (!CryptAcquireContextA(provider.Receive(), nullptr, providerName, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return names;
    DWORD flags = CRYPT_FIRST;
    char name[256];
    DWORD length = sizeof(name);
    while (CryptGetProvParam(provider.Get(), PP_ENUMCONTAINERS, reinterpret_cast<BYTE*>(name), &length, flags)) {
        names.push_back(std::string(name, length - 1));
        flags = 0;
        length = sizeof(name);
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_ITEMS), GetLastError());
    return names;
}

bool ReadDword(const std::string& subKey, const char* valueName, DWORD* value)
{
    DWORD size = sizeof(*value);
    return RegGetValueA(HKEY_LOCAL_MACHINE, subKey.c_str(), valueName, RRF_RT_REG_DWORD, nullptr, value, &size) ==
           ERROR_SUCCESS;
}

TEST_F(CardCsp, RegisteredUnderBothNamesWithTypeAndImagePath)
{
    const std::string longName = "Simulated Provider " + std::string(200, 'L');
    apply("[csp]\nname = " + std::string(kSafeSignCsp) + "\n[csp]\nname = " + kHiCosCsp + "\n[csp]\nname = " +
          longName + "\ntype = 24\n");
    for (const char* name : {kSafeSignCsp, kHiCosCsp}) {
        const std::string key = std::string(kProviderListKey) + "\\" + name;
        DWORD type = 0;
        EXPECT_TRUE(ReadDword(key, "Type", &type)) << name;
        EXPECT_EQ(1u, type);
        char image[MAX_PATH] = {};
        DWORD size = sizeof(image);
        ASSERT_EQ(ERROR_SUCCESS,
                  RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Image Path", RRF_RT_REG_SZ, nullptr, image, &size));
        EXPECT_NE(nullptr, std::strstr(image, "\\simcsp.dll")) << image;
    }
    CryptProvider provider;
    EXPECT_TRUE(CryptAcquireContextA(provider.Receive(), nullptr, longName.c_str(), 24, CRYPT_VERIFYCONTEXT))
        << std::hex << GetLastError();

    // A scenario without them takes away exactly its own registrations.
    applyFile("bare.txt");
    DWORD type = 0;
    EXPECT_FALSE(ReadDword(std::string(kProviderListKey) + "\\" + kHiCosCsp, "Type", &type));
    EXPECT_FALSE(ReadDword(std::string(kProviderListKey) + "\\" + longName, "Type", &type));
    EXPECT_TRUE(ReadDword(std::string(kProviderListKey) + "\\Microsoft Base Cryptographic Provider v1.0", "Type",
                          &type))
        << "the system's own providers stay";
}

TEST_F(CardCsp, EnumeratesTheCardsContainers)
{
    apply("[csp]\nname = " + std::string(kHiCosCsp) +
          "\n[reader]\nname = R\ncard = inserted\natr = 3B 00\ncontainer = first\ncontainer = second\n");
    EXPECT_EQ(std::vector<std::string>({"first", "second"}), EnumerateContainers(kHiCosCsp));

    // A length query does not move the enumeration on.
    CryptProvider provider;
    ASSERT_TRUE(CryptAcquireContextA(provider.Receive(), nullptr, kHiCosCsp, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    DWORD length = 0;
    ASSERT_TRUE(CryptGetProvParam(provider.Get(), PP_ENUMCONTAINERS, nullptr, &length, CRYPT_FIRST));
    EXPECT_EQ(6u, length);
    char name[4];
    length = sizeof(name);
    EXPECT_FALSE(CryptGetProvParam(provider.Get(), PP_ENUMCONTAINERS, reinterpret_cast<BYTE*>(name), &length, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetLastError());
    EXPECT_EQ(6u, length);
}

TEST_F(CardCsp, WithoutACardThereAreNoContainersAndNoKeyset)
{
    applyFile("empty-reader.txt");
    EXPECT_TRUE(EnumerateContainers(kHiCosCsp).empty());
    CryptProvider provider;
    EXPECT_FALSE(
        CryptAcquireContextA(provider.Receive(), "GCA5-0000000000001234", kHiCosCsp, PROV_RSA_FULL, CRYPT_MACHINE_KEYSET));
    EXPECT_FALSE(CryptAcquireContextA(provider.Receive(), "", kHiCosCsp, PROV_RSA_FULL, CRYPT_MACHINE_KEYSET));
}

TEST_F(CardCsp, ExchangeKeyCarriesTheCardCertificate)
{
    applyFile("default.txt");
    CryptProvider provider;
    ASSERT_TRUE(CryptAcquireContextA(provider.Receive(), "GCA5-0000000000001234", kHiCosCsp, PROV_RSA_FULL,
                                     CRYPT_MACHINE_KEYSET))
        << std::hex << GetLastError();
    CryptKey key;
    EXPECT_FALSE(CryptGetUserKey(provider.Get(), AT_SIGNATURE, key.Receive()));
    ASSERT_TRUE(CryptGetUserKey(provider.Get(), AT_KEYEXCHANGE, key.Receive()));

    DWORD length = 0;
    ASSERT_TRUE(CryptGetKeyParam(key.Get(), KP_CERTIFICATE, nullptr, &length, 0));
    const Bytes expected = FixtureBytes("card-citizen.der");
    ASSERT_EQ(expected.size(), length);
    Bytes certificate(length);
    ASSERT_TRUE(CryptGetKeyParam(key.Get(), KP_CERTIFICATE, certificate.data(), &length, 0));
    EXPECT_EQ(expected, certificate);

    CertContext context(CertCreateCertificateContext(X509_ASN_ENCODING, certificate.data(), length));
    ASSERT_TRUE(context);
    EXPECT_EQ(kCardHolderBig5, DisplayName(context.Get()));
    EXPECT_EQ("2029-06-30 16:00", NotAfterDate(context.Get()));

    BYTE random[8];
    EXPECT_FALSE(CryptGenRandom(provider.Get(), sizeof(random), random));
    EXPECT_EQ(static_cast<DWORD>(E_NOTIMPL), GetLastError());
}

TEST_F(CardCsp, KeyWithoutCertificateAndRemovedCard)
{
    apply("[csp]\nname = " + std::string(kHiCosCsp) +
          "\n[reader]\nname = R\ncard = inserted\natr = 3B 00\ncontainer = c\n");
    CryptProvider provider;
    ASSERT_TRUE(CryptAcquireContextA(provider.Receive(), "", kHiCosCsp, PROV_RSA_FULL, CRYPT_MACHINE_KEYSET));
    CryptKey key;
    ASSERT_TRUE(CryptGetUserKey(provider.Get(), AT_KEYEXCHANGE, key.Receive()));
    DWORD length = 0;
    EXPECT_FALSE(CryptGetKeyParam(key.Get(), KP_CERTIFICATE, nullptr, &length, 0));

    apply("[csp]\nname = " + std::string(kHiCosCsp) + "\n[reader]\nname = R\n");
    EXPECT_FALSE(CryptGetKeyParam(key.Get(), KP_CERTIFICATE, nullptr, &length, 0));
    EXPECT_EQ(static_cast<DWORD>(SCARD_W_REMOVED_CARD), GetLastError());
}

}  // namespace
