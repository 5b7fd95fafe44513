#include "data/SkinObject.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinTypes.h"
#include "data/SkinVersion.h"

namespace {

const size_t kMaxLookupKey = 98;

}  // namespace

SkinObject::SkinObject(int32_t typeCode)
    : backColour(GetSysColor(COLOR_BTNFACE)),
      textColour(GetSysColor(COLOR_WINDOWTEXT)),
      keyColour(255),
      placement(kDefaultPlacement),
      autoPlace(0),
      secondText(),
      spare(0),
      name(),
      typeCode_(typeCode),
      schema_(nullptr)
{
    AdoptSchema(CommonRecordSchema());
}

SkinObject::~SkinObject()
{
    // Each child would destroy its own children in turn, one stack frame per
    // level: the subtree is taken apart here instead, one object at a time.
    // (The embedded parts of this object are gone already: they are members
    // of the derived part, and destroyed their children themselves.)
    std::vector<std::unique_ptr<SkinObject>> doomed;
    for (auto& entry : children_)
        doomed.push_back(std::move(entry.second));
    while (!doomed.empty()) {
        std::unique_ptr<SkinObject> object = std::move(doomed.back());
        doomed.pop_back();
        TakeNestedObjects(*object, doomed);
    }
}

void SkinObject::TakeNestedObjects(SkinObject& object, std::vector<std::unique_ptr<SkinObject>>& into)
{
    for (auto& entry : object.children_)
        into.push_back(std::move(entry.second));
    object.children_.clear();
    // Embedded parts die with their owner; their children are taken too.
    for (const RecordStep& step : object.GetSchema().steps)
        if (step.kind == StepKind::Embedded)
            TakeNestedObjects(step.embedded(object), into);
}

void SkinObject::AddCommonRecord(SchemaBuilder& builder)
{
    builder.Field("name", FieldKind::String, SKIN_MEMBER(SkinObject, name))
        .Key("NAME")
        .Field("backColour", FieldKind::Colour, SKIN_MEMBER(SkinObject, backColour))
        .Field("textColour", FieldKind::Colour, SKIN_MEMBER(SkinObject, textColour))
        .Field("keyColour", FieldKind::Colour, SKIN_MEMBER(SkinObject, keyColour))
        .Field("secondText", FieldKind::String, SKIN_MEMBER(SkinObject, secondText))
        .Field("spare", FieldKind::Int, SKIN_MEMBER(SkinObject, spare))
        .Field("placement", FieldKind::Rect, SKIN_MEMBER(SkinObject, placement), VersionRange::Since(8))
        .Field("autoPlace", FieldKind::Bool, SKIN_MEMBER(SkinObject, autoPlace), VersionRange::Since(8))
        .Key("AUTOPLACE")
        .Children();
}

const Schema& SkinObject::CommonRecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeExtraObject, "SkinObject");
        AddCommonRecord(builder);
        return builder.Build();
    }();
    return schema;
}

void SkinObject::AdoptSchema(const Schema& schema)
{
    const std::vector<RecordStep>& common = CommonRecordSchema().steps;
    // The record readers take the common record first and the type's own
    // steps after it; a schema that began differently would be misread.
    for (size_t i = 0; i < common.size(); ++i)
        if (i >= schema.steps.size() || schema.steps[i].kind != common[i].kind ||
            schema.steps[i].field.name != common[i].field.name)
            throw std::logic_error("skin schema " + schema.typeName + " does not begin with the common record");
    schema_ = &schema;
    for (const RecordStep& step : schema.steps) {
        if (step.kind != StepKind::Field)
            continue;
        for (const std::string& key : step.field.keys)
            RegisterProperty(static_cast<int32_t>(step.field.kind), key.c_str(), "", step.field.Locate(*this),
                             static_cast<int32_t>(step.field.size));
    }
}

COLORREF SkinObject::DefaultKeyColour() const
{
    return 0xFF00FF;
}

template <class Visit>
SkinObject* SkinObject::VisitSubtree(Visit visit)
{
    std::vector<SkinObject*> pending(1, this);
    while (!pending.empty()) {
        SkinObject* object = pending.back();
        pending.pop_back();
        if (SkinObject* found = visit(*object))
            return found;
        for (auto entry = object->children_.rbegin(); entry != object->children_.rend(); ++entry)
            pending.push_back(entry->second.get());
    }
    return nullptr;
}

void SkinObject::ReleaseResources()
{
    VisitSubtree([](SkinObject& object) -> SkinObject* {
        object.ReleaseOwnResources();
        return nullptr;
    });
}

void SkinObject::Resolve(SkinStore& store)
{
    VisitSubtree([&store](SkinObject& object) -> SkinObject* {
        object.ResolveOwn(store);
        return nullptr;
    });
}

void SkinObject::ResolveOwn(SkinStore&) {}

void SkinObject::ReleaseOwnResources() {}

bool SkinObject::Save(MemoryStream& stream)
{
    WriteContext context(CurrentSkinVersion().minor);
    WriteEntry(*this, stream, context);
    return true;
}

bool SkinObject::Load(MemoryStream& stream)
{
    RecordReadContext context(CurrentSkinVersion().minor);
    ReadRecord(*this, stream, context);
    return true;
}

PropertyRecord* SkinObject::FindProperty(const char* key)
{
    if (!key)
        return nullptr;
    char upper[kMaxLookupKey + 1] = {};
    const size_t length = strnlen(key, kMaxLookupKey);
    std::memcpy(upper, key, length);
    CharUpperBuffA(upper, static_cast<DWORD>(length));
    const auto found = properties_.find(std::string(upper, length));
    return found == properties_.end() ? nullptr : found->second.get();
}

void SkinObject::ApplyVersionFixups(uint8_t) {}

SkinObject* SkinObject::FindChild(const char* childName)
{
    if (!childName)
        return nullptr;
    return VisitSubtree([childName](SkinObject& object) -> SkinObject* {
        const auto found = object.children_.find(childName);
        return found == object.children_.end() ? nullptr : found->second.get();
    });
}

bool SkinObject::AddChild(std::unique_ptr<SkinObject> child)
{
    if (!child)
        return false;
    const std::string childName = child->Name();
    return children_.emplace(childName, std::move(child)).second;
}

void SkinObject::RegisterProperty(int32_t kind, const char* key, const char* defaultText, void* field, int32_t size)
{
    std::unique_ptr<PropertyRecord> record(new PropertyRecord(kind, key, defaultText, field, size));
    // The record holds the key cut to its 29 characters; the table holds it
    // whole, so a longer key is found by its own name.
    properties_[key ? key : ""] = std::move(record);
}
