#include "data/ReservedSkinTypes.h"

#include "data/SkinTypes.h"

SkinObjectType2::SkinObjectType2()
    : SkinObject(kTypeReserved2), image(), firstRect(), secondRect(), byteValue(255), colour(0xFFFFFF), value(1)
{
    AdoptSchema(RecordSchema());
}

const Schema& SkinObjectType2::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeReserved2, "SkinObjectType2");
        AddCommonRecord(builder);
        builder.Field("image", FieldKind::Image, SKIN_MEMBER(SkinObjectType2, image))
            .Field("firstRect", FieldKind::Rect, SKIN_MEMBER(SkinObjectType2, firstRect))
            .Field("secondRect", FieldKind::Rect, SKIN_MEMBER(SkinObjectType2, secondRect))
            .Field("byteValue", FieldKind::Byte, SKIN_MEMBER(SkinObjectType2, byteValue))
            .Field("colour", FieldKind::Colour, SKIN_MEMBER(SkinObjectType2, colour))
            .Field("value", FieldKind::Int, SKIN_MEMBER(SkinObjectType2, value));
        return builder.Build();
    }();
    return schema;
}

SkinObjectType39::SkinObjectType39() : SkinObject(kTypeReserved39), values{16, 16, 5, 10}, image()
{
    AdoptSchema(RecordSchema());
}

const Schema& SkinObjectType39::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeReserved39, "SkinObjectType39");
        AddCommonRecord(builder);
        builder.Array("value", FieldKind::Int, SKIN_MEMBER(SkinObjectType39, values), kValueCount)
            .Field("image", FieldKind::Image, SKIN_MEMBER(SkinObjectType39, image));
        return builder.Build();
    }();
    return schema;
}
