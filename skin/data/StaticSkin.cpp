#include "data/StaticSkin.h"

#include "data/SkinTypes.h"

StaticSkin::StaticSkin() : ControlSkinBase(kTypeStatic), transparent(1), effect(), text()
{
    SetDefaultTextEffect(effect);
    AdoptSchema(RecordSchema());
}

const Schema& StaticSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeStatic, "StaticSkin");
        AddControlRecord(builder, "BACKIMAGE");
        builder.KeyFor("backColour", "BACKCOLOR")
            .Field("transparent", FieldKind::Bool, SKIN_MEMBER(StaticSkin, transparent))
            .Key("TRANSPARENT")
            .Field("effect", FieldKind::TextEffect, SKIN_MEMBER(StaticSkin, effect))
            .Key("TEXTEFFECT")
            .Field("text", FieldKind::String, SKIN_MEMBER(StaticSkin, text));
        return builder.Build();
    }();
    return schema;
}

void StaticSkin::ApplyVersionFixups(uint8_t minor)
{
    ControlSkinBase::ApplyVersionFixups(minor);
    if (minor < 9)
        SetDefaultTextEffect(effect, font.colour);
}
