// The simulated card CSP, registered under both middleware names. It serves
// what the program asks of a card CSP: enumerating the card's key
// containers, opening one, and the certificate stored with its exchange
// key. It talks to the first inserted card of the active scenario, read
// afresh on every call; everything it does not simulate fails with
// E_NOTIMPL, so a caller that strays outside the simulation notices.
#include <windows.h>
#include <wincrypt.h>

#include "ActiveScenario.h"
#include "HandleTable.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct ProviderContext {
    bool verifyOnly;
    std::string container;  // the opened key container; empty for verify-only contexts
    size_t nextContainer;   // position of the container enumeration
};

struct UserKey {
    HCRYPTPROV provider;
};

HandleTable<ProviderContext> g_providers(0x5C5B0001);
HandleTable<UserKey> g_keys(0x5C5E0001);

const DWORD kSupportedAcquireFlags = CRYPT_VERIFYCONTEXT | CRYPT_MACHINE_KEYSET | CRYPT_SILENT;

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// The card the CSP reaches now; its error when there is none.
DWORD CurrentCard(Scenario* scenario, const SimCard** card)
{
    if (!LoadActiveScenario(scenario) || !scenario->serviceRunning)
        return SCARD_E_NO_SERVICE;
    *card = scenario->FirstCard();
    return *card ? ERROR_SUCCESS : SCARD_E_NO_SMARTCARD;
}

bool HoldsContainer(const SimCard& card, const std::string& name)
{
    return std::find(card.containers.begin(), card.containers.end(), name) != card.containers.end();
}

// The card behind an opened container, as long as it still holds it.
DWORD CardOfContext(const ProviderContext& context, Scenario* scenario, const SimCard** card)
{
    if (CurrentCard(scenario, card) != ERROR_SUCCESS || !HoldsContainer(**card, context.container))
        return SCARD_W_REMOVED_CARD;
    return ERROR_SUCCESS;
}

// Copies a value out the CryptoAPI way: a null buffer asks for the length,
// a short one gets ERROR_MORE_DATA and the length.
BOOL CopyOut(const void* value, DWORD size, BYTE* data, DWORD* length)
{
    const DWORD capacity = *length;
    *length = size;
    if (!data)
        return TRUE;
    if (capacity < size)
        return Fail(ERROR_MORE_DATA);
    std::memcpy(data, value, size);
    return TRUE;
}

BOOL EnumerateContainer(ProviderContext& context, BYTE* data, DWORD* length, DWORD flags)
{
    if (flags & CRYPT_FIRST)
        context.nextContainer = 0;
    Scenario scenario;
    const SimCard* card = nullptr;
    if (CurrentCard(&scenario, &card) != ERROR_SUCCESS || context.nextContainer >= card->containers.size())
        return Fail(ERROR_NO_MORE_ITEMS);
    const std::string& name = card->containers[context.nextContainer];
    if (!CopyOut(name.c_str(), static_cast<DWORD>(name.size() + 1), data, length))
        return FALSE;
    // A length query does not move on.
    if (data)
        ++context.nextContainer;
    return TRUE;
}

BOOL NotSimulated()
{
    return Fail(static_cast<DWORD>(E_NOTIMPL));
}

}  // namespace

extern "C" {

// An empty or missing container name opens the card's first container.
BOOL WINAPI CPAcquireContext(HCRYPTPROV* provider, LPCSTR container, DWORD flags, void* /*providerTable*/)
{
    if (!provider)
        return Fail(ERROR_INVALID_PARAMETER);
    if (flags & (CRYPT_NEWKEYSET | CRYPT_DELETEKEYSET))
        return NotSimulated();
    if (flags & ~kSupportedAcquireFlags)
        return Fail(static_cast<DWORD>(NTE_BAD_FLAGS));
    if (flags & CRYPT_VERIFYCONTEXT) {
        *provider = g_providers.Add(ProviderContext{true, std::string(), 0});
        return TRUE;
    }
    Scenario scenario;
    const SimCard* card = nullptr;
    const DWORD error = CurrentCard(&scenario, &card);
    if (error != ERROR_SUCCESS)
        return Fail(error);
    std::string name = container ? container : "";
    if (name.empty() && !card->containers.empty())
        name = card->containers.front();
    if (!HoldsContainer(*card, name))
        return Fail(static_cast<DWORD>(NTE_BAD_KEYSET));
    *provider = g_providers.Add(ProviderContext{false, name, 0});
    return TRUE;
}

BOOL WINAPI CPReleaseContext(HCRYPTPROV provider, DWORD)
{
    if (!g_providers.Remove(provider))
        return Fail(static_cast<DWORD>(NTE_BAD_UID));
    g_keys.RemoveIf([provider](const UserKey& key) { return key.provider == provider; });
    return TRUE;
}

BOOL WINAPI CPGetProvParam(HCRYPTPROV provider, DWORD parameter, BYTE* data, DWORD* length, DWORD flags)
{
    if (!length)
        return Fail(ERROR_INVALID_PARAMETER);
    if (parameter != PP_ENUMCONTAINERS)
        return NotSimulated();
    BOOL result = FALSE;
    if (!g_providers.Visit(provider, [&](ProviderContext& context) {
            result = EnumerateContainer(context, data, length, flags);
        }))
        return Fail(static_cast<DWORD>(NTE_BAD_UID));
    return result;
}

BOOL WINAPI CPGetUserKey(HCRYPTPROV provider, DWORD keySpec, HCRYPTKEY* key)
{
    if (!key)
        return Fail(ERROR_INVALID_PARAMETER);
    DWORD error = ERROR_SUCCESS;
    if (!g_providers.Visit(provider, [&](ProviderContext& context) {
            Scenario scenario;
            const SimCard* card = nullptr;
            if (context.verifyOnly || keySpec != AT_KEYEXCHANGE)
                error = static_cast<DWORD>(NTE_NO_KEY);
            else
                error = CardOfContext(context, &scenario, &card);
        }))
        return Fail(static_cast<DWORD>(NTE_BAD_UID));
    if (error != ERROR_SUCCESS)
        return Fail(error);
    *key = g_keys.Add(UserKey{provider});
    return TRUE;
}

BOOL WINAPI CPGetKeyParam(HCRYPTPROV provider, HCRYPTKEY key, DWORD parameter, BYTE* data, DWORD* length, DWORD)
{
    if (!length)
        return Fail(ERROR_INVALID_PARAMETER);
    bool ownKey = false;
    g_keys.Visit(key, [&](UserKey& userKey) { ownKey = userKey.provider == provider; });
    if (!ownKey)
        return Fail(static_cast<DWORD>(NTE_BAD_KEY));
    if (parameter != KP_CERTIFICATE)
        return NotSimulated();
    Scenario scenario;
    const SimCard* card = nullptr;
    DWORD error = static_cast<DWORD>(NTE_BAD_UID);
    g_providers.Visit(provider, [&](ProviderContext& context) { error = CardOfContext(context, &scenario, &card); });
    if (error != ERROR_SUCCESS)
        return Fail(error);
    if (card->certificate.empty())
        return Fail(static_cast<DWORD>(SCARD_E_NO_SUCH_CERTIFICATE));
    return CopyOut(card->certificate.data(), static_cast<DWORD>(card->certificate.size()), data, length);
}

BOOL WINAPI CPDestroyKey(HCRYPTPROV provider, HCRYPTKEY key)
{
    bool ownKey = false;
    g_keys.Visit(key, [&](UserKey& userKey) { ownKey = userKey.provider == provider; });
    if (!ownKey || !g_keys.Remove(key))
        return Fail(static_cast<DWORD>(NTE_BAD_KEY));
    return TRUE;
}

BOOL WINAPI CPSetProvParam(HCRYPTPROV, DWORD, const BYTE*, DWORD) { return NotSimulated(); }
BOOL WINAPI CPSetKeyParam(HCRYPTPROV, HCRYPTKEY, DWORD, const BYTE*, DWORD) { return NotSimulated(); }
BOOL WINAPI CPGenKey(HCRYPTPROV, ALG_ID, DWORD, HCRYPTKEY*) { return NotSimulated(); }
BOOL WINAPI CPDeriveKey(HCRYPTPROV, ALG_ID, HCRYPTHASH, DWORD, HCRYPTKEY*) { return NotSimulated(); }
BOOL WINAPI CPExportKey(HCRYPTPROV, HCRYPTKEY, HCRYPTKEY, DWORD, DWORD, BYTE*, DWORD*) { return NotSimulated(); }
BOOL WINAPI CPImportKey(HCRYPTPROV, const BYTE*, DWORD, HCRYPTKEY, DWORD, HCRYPTKEY*) { return NotSimulated(); }
BOOL WINAPI CPEncrypt(HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*, DWORD) { return NotSimulated(); }
BOOL WINAPI CPDecrypt(HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*) { return NotSimulated(); }
BOOL WINAPI CPGenRandom(HCRYPTPROV, DWORD, BYTE*) { return NotSimulated(); }
BOOL WINAPI CPCreateHash(HCRYPTPROV, ALG_ID, HCRYPTKEY, DWORD, HCRYPTHASH*) { return NotSimulated(); }
BOOL WINAPI CPHashData(HCRYPTPROV, HCRYPTHASH, const BYTE*, DWORD, DWORD) { return NotSimulated(); }
BOOL WINAPI CPHashSessionKey(HCRYPTPROV, HCRYPTHASH, HCRYPTKEY, DWORD) { return NotSimulated(); }
BOOL WINAPI CPGetHashParam(HCRYPTPROV, HCRYPTHASH, DWORD, BYTE*, DWORD*, DWORD) { return NotSimulated(); }
BOOL WINAPI CPSetHashParam(HCRYPTPROV, HCRYPTHASH, DWORD, const BYTE*, DWORD) { return NotSimulated(); }
BOOL WINAPI CPDestroyHash(HCRYPTPROV, HCRYPTHASH) { return NotSimulated(); }
BOOL WINAPI CPSignHash(HCRYPTPROV, HCRYPTHASH, DWORD, LPCWSTR, DWORD, BYTE*, DWORD*) { return NotSimulated(); }
BOOL WINAPI CPVerifySignature(HCRYPTPROV, HCRYPTHASH, const BYTE*, DWORD, HCRYPTKEY, LPCWSTR, DWORD)
{
    return NotSimulated();
}

}  // extern "C"
