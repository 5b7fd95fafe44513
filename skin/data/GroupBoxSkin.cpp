#include "data/GroupBoxSkin.h"

#include "data/SkinTypes.h"

GroupBoxSkin::GroupBoxSkin()
    : ControlSkinBase(kTypeGroupBox), captionImage(), captionColour(GetSysColor(COLOR_BTNFACE)), effect(), transparent(0)
{
    SetDefaultTextEffect(effect);
    AdoptSchema(RecordSchema());
}

const Schema& GroupBoxSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeGroupBox, "GroupBoxSkin");
        AddControlRecord(builder, "FRAMEIMAGE");
        builder.Field("captionImage", FieldKind::FrameImage, SKIN_MEMBER(GroupBoxSkin, captionImage))
            .Key("CAPTIONIMAGE")
            .Field("captionColour", FieldKind::Colour, SKIN_MEMBER(GroupBoxSkin, captionColour))
            .Key("CAPTIONCOLOR")
            .Field("effect", FieldKind::TextEffect, SKIN_MEMBER(GroupBoxSkin, effect))
            .Key("TEXTEFFECT")
            .Field("transparent", FieldKind::Bool, SKIN_MEMBER(GroupBoxSkin, transparent))
            .Key("TRANSPARENT");
        return builder.Build();
    }();
    return schema;
}

void GroupBoxSkin::ApplyVersionFixups(uint8_t minor)
{
    ControlSkinBase::ApplyVersionFixups(minor);
    if (minor >= 9)
        return;
    SetDefaultTextEffect(effect);
    transparent = 0;
}
