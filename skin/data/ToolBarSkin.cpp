#include "data/ToolBarSkin.h"

#include "data/SkinTypes.h"

ToolBarSkin::ToolBarSkin() : ControlSkinBase(kTypeToolBar), frameImages()
{
    AdoptSchema(RecordSchema());
}

const Schema& ToolBarSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeToolBar, "ToolBarSkin");
        AddControlRecord(builder, nullptr);
        builder.Array("frameImage", FieldKind::FrameImage, SKIN_MEMBER(ToolBarSkin, frameImages), kFrameImageCount);
        return builder.Build();
    }();
    return schema;
}
