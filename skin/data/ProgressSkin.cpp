#include "data/ProgressSkin.h"

#include "data/SkinTypes.h"

ProgressSkin::ProgressSkin() : ControlSkinBase(kTypeProgress), progressImage(), firstValue(0), secondValue(0), usePercent(0)
{
    AdoptSchema(RecordSchema());
}

const Schema& ProgressSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeProgress, "ProgressSkin");
        AddControlRecord(builder, "BACKGROUND");
        builder.KeyFor("backColour", "BACKCOLOR")
            .KeyFor("textColour", "PROGRESSCOLOR")
            .Field("progressImage", FieldKind::FrameImage, SKIN_MEMBER(ProgressSkin, progressImage))
            .Key("PROGRESSIMAGE")
            .Field("firstValue", FieldKind::Int, SKIN_MEMBER(ProgressSkin, firstValue))
            .Field("secondValue", FieldKind::Int, SKIN_MEMBER(ProgressSkin, secondValue))
            .Field("usePercent", FieldKind::Bool, SKIN_MEMBER(ProgressSkin, usePercent))
            .Key("USEPERCENT");
        return builder.Build();
    }();
    return schema;
}
