#include "data/TrackBarSkin.h"

#include "data/SkinTypes.h"

TrackBarSkin::TrackBarSkin()
    : ControlSkinBase(kTypeTrackBar), horizontalThumb(), firstValue(0), values(), channel(), transparent(0),
      verticalThumb()
{
    AdoptSchema(RecordSchema());
}

const Schema& TrackBarSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeTrackBar, "TrackBarSkin");
        AddControlRecord(builder, "BACKGROUND");
        builder.Field("horizontalThumb", FieldKind::FrameImage, SKIN_MEMBER(TrackBarSkin, horizontalThumb))
            .Key("THUMB.HORIZONTAL")
            .Field("firstValue", FieldKind::Int, SKIN_MEMBER(TrackBarSkin, firstValue))
            .Array("value", FieldKind::Int, SKIN_MEMBER(TrackBarSkin, values), kValueCount)
            .Field("channel", FieldKind::FrameImage, SKIN_MEMBER(TrackBarSkin, channel))
            .Key("CHANNEL")
            .Field("transparent", FieldKind::Bool, SKIN_MEMBER(TrackBarSkin, transparent), VersionRange::Since(9))
            .Key("TRANSPARENT")
            .Field("verticalThumb", FieldKind::FrameImage, SKIN_MEMBER(TrackBarSkin, verticalThumb),
                   VersionRange::Since(9))
            .Key("THUMB.VERTICAL");
        return builder.Build();
    }();
    return schema;
}
