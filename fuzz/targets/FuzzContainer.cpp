// Fuzzes the skin container reader as the engine runs it: unpacking, the
// header, every record type with its version rules, the embedded bitmaps,
// custom values, the lookups, and the symmetry of each object's Save and
// Load.
//
// An input that begins with the skin magic is an unpacked stream and is
// packed here first, so that mutations reach the records instead of only
// breaking the LZO1X stream; any other input is taken as a container.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinImage.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "QuickPack.h"

namespace {

const char kMagic[] = "VELTRAMOX_SKIN_FILE";

std::unique_ptr<SkinObject> CreateForCode(int32_t code)
{
    if (code == kTypeExtraObject)
        return std::unique_ptr<SkinObject>(new SkinObject(code));
    return CreateSkinObject(code);
}

// What Save writes, Load must read to the last byte.
void CheckSaveLoadSymmetry(SkinObject& object)
{
    MemoryStream saved;
    object.Save(saved);
    saved.Rewind();
    std::unique_ptr<SkinObject> copy = CreateForCode(ReadInt32(saved));
    if (!copy)
        std::abort();
    copy->Load(saved);
    if (saved.Position() != saved.Length())
        std::abort();
}

void Exercise(SkinStore& store)
{
    for (const auto& entry : store.Objects()) {
        SkinObject& object = *entry.second;
        if (store.FindObject(entry.first.c_str()) != &object)
            std::abort();
        object.FindProperty("name");
        object.FindProperty("FONT");
        object.FindProperty(entry.first.c_str());
        CheckSaveLoadSymmetry(object);
    }
    for (const auto& entry : store.Images())
        CheckSaveLoadSymmetry(*entry.second);
    for (const auto& entry : store.ExtraObjects())
        CheckSaveLoadSymmetry(*entry.second);
    for (int32_t code = 0; code <= 40; ++code)
        store.FindObjectByType(code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 24))
        return 0;
    const bool unpacked = size >= sizeof kMagic - 1 && std::memcmp(data, kMagic, sizeof kMagic - 1) == 0;
    const std::vector<uint8_t> container = unpacked ? QuickPack(data, size) : std::vector<uint8_t>(data, data + size);
    SkinStore store;
    if (store.Load(MemoryStream(container.data(), static_cast<int32_t>(container.size()))))
        Exercise(store);
    return 0;
}
