#include "SkinFile.h"

#include "data/MemoryStream.h"

#include <fstream>
#include <iterator>

std::vector<char> ReadSkinFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::unique_ptr<SkinStore> LoadSkinFile(const char* path)
{
    const std::vector<char> bytes = ReadSkinFile(path);
    auto store = std::make_unique<SkinStore>();
    const MemoryStream container(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (bytes.empty() || !store->Load(container))
        return nullptr;
    return store;
}
