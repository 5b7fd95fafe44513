#include "SimRegistry.h"

#include "SimHandles.h"

const char kSimulationKey[] = "Software\\SsoSimulation";
const char kScenarioValue[] = "Scenario";
const char kAppliedAtValue[] = "AppliedAt";
const char kCertificatesValue[] = "Certificates";

namespace {

// Values longer than this are not ours; refusing them keeps a damaged
// registry from turning into a huge allocation.
const DWORD kMaxValueSize = 1 << 20;

bool ReadRawValue(HKEY root, const char* subKey, const char* valueName, DWORD expectedType, std::string* data)
{
    RegKey key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != expectedType || size > kMaxValueSize)
        return false;
    data->assign(size, '\0');
    if (size == 0)
        return true;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&(*data)[0]), &size) !=
        ERROR_SUCCESS)
        return false;
    data->resize(size);
    return true;
}

bool WriteRawValue(HKEY root, const char* subKey, const char* valueName, DWORD type, const std::string& data)
{
    RegKey key;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Receive(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.Get(), valueName, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

}  // namespace

bool ReadRegistryString(HKEY root, const char* subKey, const char* valueName, std::string* value)
{
    if (!ReadRawValue(root, subKey, valueName, REG_SZ, value))
        return false;
    // The stored terminator (and anything a careless writer put after it).
    value->resize(value->find('\0') == std::string::npos ? value->size() : value->find('\0'));
    return true;
}

bool WriteRegistryString(HKEY root, const char* subKey, const char* valueName, const std::string& value)
{
    return WriteRawValue(root, subKey, valueName, REG_SZ, value + '\0');
}

std::vector<std::string> ReadRegistryStrings(HKEY root, const char* subKey, const char* valueName)
{
    std::vector<std::string> values;
    std::string data;
    if (!ReadRawValue(root, subKey, valueName, REG_MULTI_SZ, &data))
        return values;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\0', start);
        if (end == std::string::npos)
            end = data.size();
        if (end == start)
            break;
        values.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return values;
}

bool WriteRegistryStrings(HKEY root, const char* subKey, const char* valueName, const std::vector<std::string>& values)
{
    std::string data;
    for (const std::string& value : values)
        data += value + '\0';
    data += '\0';
    return WriteRawValue(root, subKey, valueName, REG_MULTI_SZ, data);
}

bool DeleteRegistryValue(HKEY root, const char* subKey, const char* valueName)
{
    RegKey key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS)
        return true;
    const LONG result = RegDeleteValueA(key.Get(), valueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
