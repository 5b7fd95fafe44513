#include "data/SkinStore.h"

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinTypes.h"

// Enters what the reader finds in the store's tables; a later entry of a
// name takes the place of an earlier one.
class SkinStore::TableReader : public ReadContext {
public:
    explicit TableReader(SkinStore& store) : ReadContext(kSkinNewestMinorVersion), store_(store) {}

    void TakeObject(int32_t, std::unique_ptr<SkinObject> object) override
    {
        const std::string name = object->Name();
        store_.objects_[name] = std::move(object);
    }

    void SkipObject(int32_t) override {}

    void TakeImage(std::unique_ptr<SkinImage> image) override
    {
        const std::string name = image->Name();
        store_.images_[name] = std::move(image);
    }

    void TakeExtraObject(std::unique_ptr<SkinObject> object) override
    {
        const std::string name = object->Name();
        store_.extraObjects_[name] = std::move(object);
    }

private:
    SkinStore& store_;
};

SkinStore::SkinStore() : header_(), loadInfo_()
{
    Clear();
}

SkinStore::~SkinStore()
{
    Clear();
}

bool SkinStore::Load(const MemoryStream& container)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    ClearLocked();
    TableReader tables(*this);
    SkinFileReader reader(tables);
    if (!reader.ReadContainer(container)) {
        ClearLocked();
        return false;
    }
    header_ = reader.Header();
    loadInfo_ = {header_.Version(), header_.ObjectCount(), reader.StreamLength(), reader.BytesRead()};
    for (auto& entry : objects_)
        entry.second->Resolve(*this);
    return true;
}

void SkinStore::Clear()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    ClearLocked();
}

void SkinStore::ClearLocked()
{
    objects_.clear();
    images_.clear();
    extraObjects_.clear();
    header_ = SkinHeader();
    loadInfo_ = SkinLoadInfo();
    ResetCurrentSkinVersion();
}

SkinObject* SkinStore::FindObject(const char* name)
{
    if (!name)
        return nullptr;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    const auto object = objects_.find(name);
    if (object != objects_.end())
        return object->second.get();
    for (auto& entry : objects_)
        if (SkinObject* child = entry.second->FindChild(name))
            return child;
    const auto image = images_.find(name);
    if (image != images_.end())
        return image->second.get();
    const auto extra = extraObjects_.find(name);
    return extra == extraObjects_.end() ? nullptr : extra->second.get();
}

SkinObject* SkinStore::FindObjectByType(int32_t typeCode)
{
    // Control bars have no object of their own; toolbars stand in for them.
    const int32_t wanted = typeCode == kTypeControlBar ? kTypeToolBar : typeCode;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    for (auto& entry : objects_)
        if (entry.second->TypeCode() == wanted)
            return entry.second.get();
    return nullptr;
}

Image* SkinStore::FindImage(const char* name) const
{
    if (!name)
        return nullptr;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    const auto image = images_.find(name);
    return image == images_.end() ? nullptr : &image->second->image;
}
