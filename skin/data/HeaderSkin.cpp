#include "data/HeaderSkin.h"

#include "data/SkinTypes.h"

HeaderSkin::HeaderSkin() : ControlSkinBase(kTypeHeader), effect(), item()
{
    AdoptSchema(RecordSchema());
}

const Schema& HeaderSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeHeader, "HeaderSkin");
        AddControlRecord(builder, "BACKGROUND");
        builder.Field("effect", FieldKind::TextEffect, SKIN_MEMBER(HeaderSkin, effect))
            .Key("TEXTEFFECT")
            .Field("item", FieldKind::FrameImage, SKIN_MEMBER(HeaderSkin, item))
            .Key("ITEM");
        return builder.Build();
    }();
    return schema;
}
