// Fuzzes the skin container reader as the engine runs it: unpacking, the
// header, every record type with its version rules, the embedded bitmaps,
// custom values, the lookups, and the symmetry of each object's Save and
// Load.
//
// An input that begins with the skin magic is an unpacked stream and is
// packed here first, so that mutations reach the records instead of only
// breaking the LZO1X stream; any other input is taken as a container.
#include <lzo/lzo1x.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "data/MemoryStream.h"
#include "data/PreparedImage.h"
#include "data/RecordCodec.h"
#include "data/SkinFontHandle.h"
#include "data/SkinImage.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"

// The device side of resolving has no place in a native build: no fonts or
// regions are made, everything else of the resolve step runs.
SkinFontHandle::~SkinFontHandle() {}
void SkinFontHandle::Create(const SkinFont&) {}
void SkinFontHandle::Reset() {}
void PreparedImage::RegionDeleter::operator()(HRGN) const {}

namespace {

const char kMagic[] = "VELTRAMOX_SKIN_FILE";

std::vector<uint8_t> Pack(const uint8_t* stream, size_t size)
{
    std::vector<uint8_t> container(4 + size + size / 16 + 64 + 3);
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint packed = container.size() - 4;
    if (lzo_init() != LZO_E_OK ||
        lzo1x_1_compress(stream, static_cast<lzo_uint>(size), container.data() + 4, &packed, work.data()) != LZO_E_OK)
        std::abort();
    for (int i = 0; i < 4; ++i)
        container[i] = static_cast<uint8_t>(size >> (8 * i));
    container.resize(4 + packed);
    return container;
}

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
    const std::vector<uint8_t> container = unpacked ? Pack(data, size) : std::vector<uint8_t>(data, data + size);
    SkinStore store;
    if (store.Load(MemoryStream(container.data(), static_cast<int32_t>(container.size()))))
        Exercise(store);
    return 0;
}
