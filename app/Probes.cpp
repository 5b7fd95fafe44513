#include "Probes.h"

#include <winscard.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char kProviderListKey[] = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider";
const DWORD kContainerNameSize = 256;
const int kStoreNameUnits = 256;

// Reads a provider's "Type" value; 0 when it is missing or not a DWORD.
DWORD ReadProviderType(HKEY providerList, const char* providerName)
{
    DWORD type = 0;
    HKEY provider;
    if (RegOpenKeyExA(providerList, providerName, 0, KEY_READ, &provider) != ERROR_SUCCESS)
        return type;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(provider, "Type", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        size == sizeof value)
        type = value;
    RegCloseKey(provider);
    return type;
}

// The reader list as one multi-string that is always followed by two
// terminators, whatever the service delivered.
bool ListReaders(SCARDCONTEXT context, std::vector<char>& list)
{
    DWORD length = 0;
    if (SCardListReadersA(context, nullptr, nullptr, &length) != SCARD_S_SUCCESS)
        return false;
    list.assign(length + 2, '\0');
    if (SCardListReadersA(context, nullptr, list.data(), &length) != SCARD_S_SUCCESS)
        return false;
    return true;
}

}  // namespace

int GetRegisteredCsp(unsigned* index, DWORD* nameSize, char* name, DWORD* type)
{
    if (!index)
        return 0;
    HKEY providerList;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProviderListKey, 0, KEY_READ, &providerList) != ERROR_SUCCESS)
        return 0;
    DWORD subKeys = 0;
    DWORD longestName = 0;
    bool haveInfo = RegQueryInfoKeyA(providerList, nullptr, nullptr, nullptr, &subKeys, &longestName, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    if (*index == 0) {
        *index = subKeys;
        if (nameSize)
            *nameSize = longestName + 1;
    } else if (haveInfo && name && type && nameSize && *index <= subKeys && *nameSize >= longestName + 1) {
        if (RegEnumKeyA(providerList, *index - 1, name, *nameSize) == ERROR_SUCCESS)
            *type = ReadProviderType(providerList, name);
    }
    RegCloseKey(providerList);
    return 1;
}

int GetCspContainer(unsigned* index, const char* providerName, char* container, DWORD providerType)
{
    if (!index || !providerName)
        return 0;
    HCRYPTPROV provider;
    if (!CryptAcquireContextA(&provider, nullptr, providerName, providerType, CRYPT_VERIFYCONTEXT))
        return 0;
    BYTE entry[kContainerNameSize] = {};
    DWORD length = sizeof entry;
    DWORD flags = CRYPT_FIRST;
    unsigned count = 0;
    while (CryptGetProvParam(provider, PP_ENUMCONTAINERS, entry, &length, flags)) {
        flags = 0;
        if (*index == ++count) {
            if (container) {
                memset(container, 0, kContainerNameSize);
                // A full 256-byte entry fits when it ends in its terminator (a 255-character name).
                const bool fits = length != 0 && (length < kContainerNameSize ||
                                                  (length == kContainerNameSize && entry[length - 1] == '\0'));
                if (fits)
                    memcpy(container, entry, length);
            }
            CryptReleaseContext(provider, 0);
            return 1;
        }
        length = sizeof entry;
    }
    CryptReleaseContext(provider, 0);
    if (*index == 0) {
        *index = count;
        return 1;
    }
    if (container)
        memset(container, 0, kContainerNameSize);
    return 0;
}

HCRYPTPROV AcquireCardContext(const char* container, const char* providerName, DWORD providerType)
{
    HCRYPTPROV provider;
    if (!CryptAcquireContextA(&provider, container, providerName, providerType, CRYPT_MACHINE_KEYSET))
        return 0;
    return provider;
}

int GetCardCertificate(HCRYPTPROV provider, BYTE* data, DWORD* length)
{
    if (!length)
        return 0;
    HCRYPTKEY key;
    if (!CryptGetUserKey(provider, AT_KEYEXCHANGE, &key))
        return 0;
    const DWORD capacity = *length;
    int result = CryptGetKeyParam(key, KP_CERTIFICATE, nullptr, length, 0) ? 1 : 0;
    // The caller sized data from an earlier length query; a certificate that
    // grew since (another card) must not be written past that size.
    if (result && data)
        result = *length <= capacity && CryptGetKeyParam(key, KP_CERTIFICATE, data, length, 0) ? 1 : 0;
    CryptDestroyKey(key);
    return result;
}

HCERTSTORE OpenSystemStore(const char* name)
{
    WCHAR wideName[kStoreNameUnits] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, kStoreNameUnits))
        return nullptr;
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, wideName);
}

int GetStoreCertificate(unsigned* index, HCERTSTORE store, WCHAR* name, PCCERT_CONTEXT* context)
{
    if (!index || !store)
        return 0;
    WCHAR scratch[kCertificateNameUnits];
    WCHAR* displayName = name ? name : scratch;
    unsigned count = 0;
    PCCERT_CONTEXT certificate = nullptr;
    while ((certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr) {
        CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, displayName,
                           kCertificateNameUnits);
        if (*index == ++count) {
            if (context)
                *context = certificate;
            else
                CertFreeCertificateContext(certificate);
            return 1;
        }
    }
    if (name)
        memset(name, 0, kCertificateNameUnits * sizeof *name);
    if (*index == 0) {
        *index = count;
        return 1;
    }
    return 0;
}

int GetReaderName(unsigned* index, DWORD* nameSize, char* name)
{
    if (!index)
        return 0;
    SCARDCONTEXT context;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return 0;
    std::vector<char> list;
    if (!ListReaders(context, list)) {
        SCardReleaseContext(context);
        return 0;
    }
    int result = 1;
    unsigned count = 0;
    size_t longest = 0;
    for (const char* reader = list.data(); *reader && count < kMaxReaders; reader += strlen(reader) + 1) {
        const size_t length = strlen(reader);
        longest = std::max(longest, length);
        if (*index == ++count) {
            result = nameSize && name && *nameSize > length;
            if (result) {
                memset(name, 0, *nameSize);
                memcpy(name, reader, length + 1);
            }
            break;
        }
    }
    SCardReleaseContext(context);
    if (*index == 0) {
        *index = count;
        if (nameSize)
            *nameSize = static_cast<DWORD>(longest + 1);
    }
    return result;
}

int GetReaderAtr(const char* readerName, BYTE* atr, DWORD* atrLength)
{
    if (!atrLength)
        return 0;
    SCARDCONTEXT context;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return 0;
    SCARD_READERSTATEA state = {};
    state.szReader = readerName;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    const LONG status = SCardGetStatusChangeA(context, 1000, &state, 1);
    SCardReleaseContext(context);
    if (status != SCARD_S_SUCCESS)
        return 0;
    // Never trust a length beyond the structure's own ATR field.
    const DWORD length = std::min<DWORD>(state.cbAtr, sizeof state.rgbAtr);
    const DWORD capacity = *atrLength;
    *atrLength = length;
    if (capacity == 0)
        return 1;
    if (length == 0 || length > capacity || !atr)
        return 0;
    memcpy(atr, state.rgbAtr, length);
    return 1;
}
