#include "data/RebarSkin.h"

#include "data/SkinTypes.h"

RebarSkin::RebarSkin() : ControlSkinBase(kTypeRebar), bandImage(), bytes16()
{
    AdoptSchema(RecordSchema());
}

const Schema& RebarSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeRebar, "RebarSkin");
        AddControlRecord(builder, "BACKGROUND");
        builder.Field("bandImage", FieldKind::FrameImage, SKIN_MEMBER(RebarSkin, bandImage))
            .Key("BANDIMAGE")
            .Field("bytes16", FieldKind::Bytes, SKIN_MEMBER(RebarSkin, bytes16), VersionRange::All(), 0, 16);
        return builder.Build();
    }();
    return schema;
}
