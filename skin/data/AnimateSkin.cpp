#include "data/AnimateSkin.h"

#include <cstring>

#include "data/SkinTypes.h"

AnimateSkin::AnimateSkin() : ControlSkinBase(kTypeAnimate), background()
{
    std::strncpy(name, "AnimateCtrl32", kNameSize - 1);
    AdoptSchema(RecordSchema());
}

const Schema& AnimateSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeAnimate, "AnimateSkin");
        AddControlRecord(builder, "BORDER");
        builder.Field("background", FieldKind::Image, SKIN_MEMBER(AnimateSkin, background)).Key("BACKGROUND");
        return builder.Build();
    }();
    return schema;
}
