#include "data/ButtonSkins.h"

#include <cstddef>
#include <string>

#include "data/SkinTypes.h"

namespace {

const int32_t kDefaultSecondValue = 1000;

const char* const kButtonStateKeys[ButtonSkin::StateCount] = {"NORMAL", "PRESSED", "DEFAULT",
                                                              "FOCUSED", "HIGHLIGHTED", "DISABLED"};
const char* const kButtonStateNames[ButtonSkin::StateCount] = {"normal", "pressed", "default",
                                                               "focused", "highlighted", "disabled"};

const char* const kCheckGroupKeys[CheckableSkinBase::GroupCount] = {
    "NORMAL", "SELECTED", "DISABLED", "GRAYEDNORMAL", "GRAYEDSELECTED", "HIGHLIGHTEDNORMAL", "HIGHLIGHTEDSELECTED"};
const char* const kCheckGroupNames[CheckableSkinBase::GroupCount] = {
    "normal", "selected", "disabled", "grayedNormal", "grayedSelected", "highlightedNormal", "highlightedSelected"};

std::string Dotted(const char* prefix, const char* suffix)
{
    return std::string(prefix) + "." + suffix;
}

}  // namespace

ButtonSkin::ButtonSkin()
    : ControlSkinBase(kTypeButton), states(), bytes50(), intValue(0), firstValue(0), secondValue(kDefaultSecondValue)
{
    for (ImageEffectLook& state : states)
        SetDefaultTextEffect(state.effect);
    AdoptSchema(RecordSchema());
}

const Schema& ButtonSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeButton, "ButtonSkin");
        AddCommonRecord(builder);
        // Before minor 7 a push button had no control part; its font came
        // after the state looks instead.
        builder.Limit(VersionRange::Since(7));
        AddControlFields(builder, nullptr);
        builder.Limit(VersionRange::All());
        AddImageEffectLooks(builder, SKIN_MEMBER(ButtonSkin, states), StateCount,
                            {kButtonStateKeys, kButtonStateNames, "IMAGE"});
        builder.Field("bytes50", FieldKind::Bytes, SKIN_MEMBER(ButtonSkin, bytes50), VersionRange::All(), 0, 50)
            .Field("intValue", FieldKind::Int, SKIN_MEMBER(ButtonSkin, intValue))
            .Field("font", FieldKind::Font, SKIN_MEMBER(ControlSkinBase, font), VersionRange::Before(7))
            .Key("FONT")
            .Field("firstValue", FieldKind::Int, SKIN_MEMBER(ButtonSkin, firstValue))
            .Field("secondValue", FieldKind::Int, SKIN_MEMBER(ButtonSkin, secondValue), VersionRange::Before(7));
        return builder.Build();
    }();
    return schema;
}

void ButtonSkin::ApplyVersionFixups(uint8_t minor)
{
    ControlSkinBase::ApplyVersionFixups(minor);
    if (minor < 9)
        for (ImageEffectLook& state : states)
            SetDefaultTextEffect(state.effect, font.colour);
}

CheckableSkinBase::CheckableSkinBase(int32_t typeCode)
    : ControlSkinBase(typeCode), groups(), bytes50(), transparent(0)
{
    for (CheckStateLook& group : groups)
        SetDefaultTextEffect(group.effect);
}

Schema CheckableSkinBase::BuildSchema(int32_t typeCode, const char* typeName)
{
    SchemaBuilder builder(typeCode, typeName);
    AddControlRecord(builder, nullptr);
    const MemberRef looks = SKIN_MEMBER(CheckableSkinBase, groups);
    for (int i = 0; i < GroupCount; ++i) {
        const size_t base = i * sizeof(CheckStateLook);
        const std::string name = kCheckGroupNames[i];
        builder.Field(name + "Background", FieldKind::FrameImage, looks, VersionRange::All(),
                      base + offsetof(CheckStateLook, background))
            .Key(Dotted(kCheckGroupKeys[i], "BACKGROUNDIMAGE").c_str())
            .Field(name + "Box", FieldKind::Image, looks, VersionRange::All(), base + offsetof(CheckStateLook, box))
            .Key(Dotted(kCheckGroupKeys[i], "BOXIMAGE").c_str())
            .Field(name + "Effect", FieldKind::TextEffect, looks, VersionRange::All(),
                   base + offsetof(CheckStateLook, effect))
            .Key(Dotted(kCheckGroupKeys[i], "TEXTEFFECT").c_str())
            .Field(name + "Extra", FieldKind::Bytes, looks, VersionRange::All(), base + offsetof(CheckStateLook, extra),
                   sizeof(CheckStateLook::extra));
    }
    builder.Field("bytes50", FieldKind::Bytes, SKIN_MEMBER(CheckableSkinBase, bytes50), VersionRange::All(), 0, 50)
        .Field("transparent", FieldKind::Bool, SKIN_MEMBER(CheckableSkinBase, transparent))
        .Key("TRANSPARENT");
    return builder.Build();
}

void CheckableSkinBase::ApplyVersionFixups(uint8_t minor)
{
    ControlSkinBase::ApplyVersionFixups(minor);
    if (minor >= 9)
        return;
    for (CheckStateLook& group : groups)
        SetDefaultTextEffect(group.effect);
    transparent = 0;
}

CheckBoxSkin::CheckBoxSkin() : CheckableSkinBase(kTypeCheckBox)
{
    static const Schema schema = BuildSchema(kTypeCheckBox, "CheckBoxSkin");
    AdoptSchema(schema);
}

RadioSkin::RadioSkin() : CheckableSkinBase(kTypeRadio)
{
    static const Schema schema = BuildSchema(kTypeRadio, "RadioSkin");
    AdoptSchema(schema);
}
