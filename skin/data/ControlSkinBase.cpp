#include "data/ControlSkinBase.h"

#include <cstddef>
#include <string>

#include "data/SkinTypes.h"

ControlSkinBase::ControlSkinBase(int32_t typeCode)
    : SkinObject(typeCode),
      font(MakeDefaultFont("MS Sans Serif")),
      mainImage(),
      controlId(0),
      controlSpare(0),
      autoSkinFont(0)
{
}

ControlSkinBase::~ControlSkinBase() = default;

void ControlSkinBase::AddControlRecord(SchemaBuilder& builder, const char* mainImageKey)
{
    AddCommonRecord(builder);
    AddControlFields(builder, mainImageKey);
}

void ControlSkinBase::AddControlFields(SchemaBuilder& builder, const char* mainImageKey)
{
    builder.Field("font", FieldKind::Font, SKIN_MEMBER(ControlSkinBase, font))
        .Key("FONT")
        .Field("mainImage", FieldKind::FrameImage, SKIN_MEMBER(ControlSkinBase, mainImage));
    if (mainImageKey)
        builder.Key(mainImageKey);
    // Minors 4 to 7 kept a rectangle here that the engine throws away (see
    // the fix-ups); it shares the placement member so the tools keep it.
    builder.Field("placement", FieldKind::Rect, SKIN_MEMBER(SkinObject, placement), VersionRange::Between(4, 7))
        .Field("controlId", FieldKind::Int, SKIN_MEMBER(ControlSkinBase, controlId), VersionRange::Since(6))
        .Key("CONTROLID")
        .Field("controlSpare", FieldKind::Int, SKIN_MEMBER(ControlSkinBase, controlSpare), VersionRange::Since(8))
        .Field("autoSkinFont", FieldKind::Bool, SKIN_MEMBER(ControlSkinBase, autoSkinFont), VersionRange::Since(10))
        .Key("AUTOSKINFONT");
}

void ControlSkinBase::AddImageEffectLooks(SchemaBuilder& builder, MemberRef looks, int count, const LookNames& names)
{
    for (int i = 0; i < count; ++i) {
        const size_t base = i * sizeof(ImageEffectLook);
        const std::string name = names.stateNames[i];
        const std::string key = std::string(names.stateKeys[i]) + ".";
        builder.Field(name + "Image", FieldKind::FrameImage, looks, VersionRange::All(),
                      base + offsetof(ImageEffectLook, image))
            .Key((key + names.imageKey).c_str())
            .Field(name + "Effect", FieldKind::TextEffect, looks, VersionRange::All(),
                   base + offsetof(ImageEffectLook, effect))
            .Key((key + "TEXTEFFECT").c_str())
            .Field(name + "Extra", FieldKind::Bytes, looks, VersionRange::All(), base + offsetof(ImageEffectLook, extra),
                   sizeof(ImageEffectLook::extra));
    }
}

void ControlSkinBase::ReleaseOwnResources()
{
    SkinObject::ReleaseOwnResources();
    fontHandle_.Reset();
}

void ControlSkinBase::ResolveOwn(SkinStore& store)
{
    SkinObject::ResolveOwn(store);
    fontHandle_.Create(font);
}

void ControlSkinBase::ApplyVersionFixups(uint8_t minor)
{
    if (minor >= 4 && minor <= 7)
        placement = kDefaultPlacement;
    if (minor == 6)
        controlId = 0;
}

ControlBarSkin::ControlBarSkin() : ControlSkinBase(kTypeControlBar)
{
    AdoptSchema(RecordSchema());
}

const Schema& ControlBarSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeControlBar, "ControlBarSkin");
        AddControlRecord(builder, nullptr);
        return builder.Build();
    }();
    return schema;
}
