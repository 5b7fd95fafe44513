#include "SimEnvironment.h"

#include "ActiveScenario.h"
#include "Scenario.h"
#include "SimHandles.h"
#include "SimRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

const char kProviderListKey[] = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider";
// Marks a provider key as made by the simulation, so only those are removed.
const char kOwnerMark[] = "SsoSimulation";
const char kCspFileName[] = "simcsp.dll";
const char kTextScenarioFileName[] = "sso-sim-scenario.txt";
// The driver files are placeholders: the program only tests that they open.
const char kDriverPlaceholder[] = "Placeholder written by the simulated smart-card platform; not a driver.\r\n";

bool Failure(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

std::string FolderOfExecutable()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of("\\/"));
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// --- CSP registrations -------------------------------------------------

std::vector<std::string> SubkeyNames(HKEY key)
{
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(std::string(name, length));
    }
    return names;
}

bool IsSimulatedProvider(HKEY list, const std::string& name)
{
    RegKey key;
    if (RegOpenKeyExA(list, name.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExA(key.Get(), kOwnerMark, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool SetDwordValue(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

// advapi32 loads a provider from "Image Path" after checking "Type", and
// insists on a signature value ("SigInFile" stands for one in the file).
bool RegisterProvider(HKEY list, const SimProvider& provider, const std::string& imagePath, std::string* error)
{
    RegKey key;
    if (RegCreateKeyExA(list, provider.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return Failure(error, "cannot create the registration of CSP '" + provider.name + "'");
    const bool written =
        RegSetValueExA(key.Get(), "Image Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(imagePath.c_str()),
                       static_cast<DWORD>(imagePath.size() + 1)) == ERROR_SUCCESS &&
        SetDwordValue(key.Get(), "Type", provider.type) && SetDwordValue(key.Get(), "SigInFile", 0) &&
        SetDwordValue(key.Get(), kOwnerMark, 1);
    return written || Failure(error, "cannot write the registration of CSP '" + provider.name + "'");
}

bool IsWanted(const Scenario& scenario, const std::string& name)
{
    return std::any_of(scenario.providers.begin(), scenario.providers.end(),
                       [&](const SimProvider& provider) { return EqualsIgnoringCase(provider.name, name); });
}

bool SyncProviders(const Scenario& scenario, std::string* error)
{
    RegKey list;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProviderListKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, list.Receive(), nullptr) != ERROR_SUCCESS)
        return Failure(error, std::string("cannot open HKLM\\") + kProviderListKey);
    for (const std::string& name : SubkeyNames(list.Get())) {
        if (!IsSimulatedProvider(list.Get(), name))
            continue;
        if (!IsWanted(scenario, name) && RegDeleteKeyA(list.Get(), name.c_str()) != ERROR_SUCCESS)
            return Failure(error, "cannot remove the registration of CSP '" + name + "'");
    }
    if (scenario.providers.empty())
        return true;
    const std::string imagePath = FolderOfExecutable() + "\\" + kCspFileName;
    if (!FileExists(imagePath))
        return Failure(error, imagePath + " is missing; run from the folder that holds the simulated DLLs");
    for (const SimProvider& provider : scenario.providers) {
        RegKey existing;
        if (RegOpenKeyExA(list.Get(), provider.name.c_str(), 0, KEY_QUERY_VALUE, existing.Receive()) == ERROR_SUCCESS &&
            !IsSimulatedProvider(list.Get(), provider.name))
            return Failure(error, "CSP '" + provider.name + "' is registered by someone else; not touching it");
        if (!RegisterProvider(list.Get(), provider, imagePath, error))
            return false;
    }
    return true;
}

// --- driver files --------------------------------------------------------

std::string SystemFolder()
{
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

bool IsPlaceholder(const std::string& path)
{
    Bytes content;
    const std::string expected = kDriverPlaceholder;
    return ReadWholeFile(path, expected.size(), &content, nullptr) &&
           std::string(content.begin(), content.end()) == expected;
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    return !file.fail();
}

bool SyncDriver(const std::string& name, bool wanted, std::string* error)
{
    const std::string path = SystemFolder() + "\\" + name;
    const bool exists = FileExists(path);
    if (wanted && !exists && !WriteTextFile(path, kDriverPlaceholder))
        return Failure(error, "cannot write " + path);
    if (!wanted && exists) {
        if (!IsPlaceholder(path))
            return Failure(error, path + " was not placed by the simulation; not removing it");
        if (!DeleteFileA(path.c_str()))
            return Failure(error, "cannot remove " + path);
    }
    return true;
}

bool SyncDrivers(const Scenario& scenario, std::string* error)
{
    for (const char* name : kKnownDriverFiles) {
        const bool wanted = std::find(scenario.drivers.begin(), scenario.drivers.end(), name) != scenario.drivers.end();
        if (!SyncDriver(name, wanted, error))
            return false;
    }
    return true;
}

// --- root certificates ---------------------------------------------------

// SHA-1 thumbprint in upper-case hex; the same key the store files it under.
std::string Thumbprint(PCCERT_CONTEXT certificate)
{
    BYTE hash[20];
    DWORD size = sizeof(hash);
    if (!CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash, &size))
        return std::string();
    std::string hex;
    char digits[3];
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof(digits), "%02X", hash[i]);
        hex += digits;
    }
    return hex;
}

PCCERT_CONTEXT FindByThumbprint(HCERTSTORE store, const std::string& thumbprint)
{
    Bytes hash;
    if (!ParseHexBytes(thumbprint, &hash) || hash.empty())
        return nullptr;
    CRYPT_HASH_BLOB blob = {static_cast<DWORD>(hash.size()), hash.data()};
    return CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &blob, nullptr);
}

bool DecodeCertificates(const Scenario& scenario, std::vector<CertContext>* certificates, std::string* error)
{
    for (const Bytes& der : scenario.rootCertificates) {
        CertContext certificate(
            CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size())));
        if (!certificate)
            return Failure(error, "a root certificate of the scenario is not a DER X.509 certificate");
        certificates->push_back(std::move(certificate));
    }
    return true;
}

bool RemoveUnwanted(HCERTSTORE store, const std::vector<std::string>& wanted, std::vector<std::string>* added,
                    std::string* error)
{
    for (auto thumbprint = added->begin(); thumbprint != added->end();) {
        if (std::find(wanted.begin(), wanted.end(), *thumbprint) != wanted.end()) {
            ++thumbprint;
            continue;
        }
        // CertDeleteCertificateFromStore frees the context, also on failure.
        const PCCERT_CONTEXT found = FindByThumbprint(store, *thumbprint);
        if (found && !CertDeleteCertificateFromStore(found))
            return Failure(error, "cannot remove root certificate " + *thumbprint);
        thumbprint = added->erase(thumbprint);
    }
    return true;
}

bool AddWanted(HCERTSTORE store, const std::vector<CertContext>& certificates, std::vector<std::string>* added,
               std::string* error)
{
    for (const CertContext& certificate : certificates) {
        const std::string thumbprint = Thumbprint(certificate.Get());
        // One that was there before the simulation stays someone else's.
        if (CertContext(FindByThumbprint(store, thumbprint)))
            continue;
        if (!CertAddCertificateContextToStore(store, certificate.Get(), CERT_STORE_ADD_NEW, nullptr))
            return Failure(error, "cannot add root certificate " + thumbprint);
        added->push_back(thumbprint);
    }
    return true;
}

bool SyncRootCertificates(const Scenario& scenario, std::string* error)
{
    std::vector<CertContext> certificates;
    if (!DecodeCertificates(scenario, &certificates, error))
        return false;
    std::vector<std::string> wanted;
    for (const CertContext& certificate : certificates)
        wanted.push_back(Thumbprint(certificate.Get()));

    // The user's own registry part of the "CA" store: deleting through the
    // logical system store reports success in Wine 8 but is never saved.
    CertStore store(CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"CA"));
    if (!store)
        return Failure(error, "cannot open the current user's CA store");
    std::vector<std::string> added = ReadRegistryStrings(HKEY_CURRENT_USER, kSimulationKey, kCertificatesValue);
    const bool synced =
        RemoveUnwanted(store.Get(), wanted, &added, error) && AddWanted(store.Get(), certificates, &added, error);
    // Record what was done even when a later step failed, so a reset can undo it.
    if (!WriteRegistryStrings(HKEY_CURRENT_USER, kSimulationKey, kCertificatesValue, added))
        return Failure(error, "cannot record the added root certificates");
    return synced;
}

bool SyncEverything(const Scenario& scenario, std::string* error)
{
    return SyncProviders(scenario, error) && SyncDrivers(scenario, error) && SyncRootCertificates(scenario, error);
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

}  // namespace

bool SimApplyScenario(const std::string& path, std::string* error)
{
    const std::string fullPath = FullPath(path);
    Scenario scenario;
    if (!LoadScenarioFile(fullPath, &scenario, error))
        return false;
    if (!SyncEverything(scenario, error))
        return false;
    if (!WriteRegistryString(HKEY_CURRENT_USER, kSimulationKey, kAppliedAtValue, std::to_string(SystemTimeNow())) ||
        !WriteRegistryString(HKEY_CURRENT_USER, kSimulationKey, kScenarioValue, fullPath))
        return Failure(error, "cannot record the active scenario");
    return true;
}

bool SimApplyScenarioText(const std::string& text, std::string* error)
{
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return Failure(error, "no temporary folder");
    const std::string path = std::string(folder, length) + kTextScenarioFileName;
    if (!WriteTextFile(path, text))
        return Failure(error, "cannot write " + path);
    return SimApplyScenario(path, error);
}

bool SimReset(std::string* error)
{
    if (!SyncEverything(Scenario(), error))
        return false;
    if (!DeleteRegistryValue(HKEY_CURRENT_USER, kSimulationKey, kScenarioValue))
        return Failure(error, "cannot forget the active scenario");
    return true;
}

std::string SimScenarioPath(const std::string& name)
{
    return FolderOfExecutable() + "\\sim\\scenarios\\" + name;
}

std::string SimFixturePath(const std::string& name)
{
    return FolderOfExecutable() + "\\sim\\fixtures\\" + name;
}
