#include "data/StatusBarSkin.h"

#include "data/SkinTypes.h"

StatusBarSkin::StatusBarSkin() : ControlSkinBase(kTypeStatusBar), itemImage(), image()
{
    AdoptSchema(RecordSchema());
}

const Schema& StatusBarSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeStatusBar, "StatusBarSkin");
        AddControlRecord(builder, "BACKIMAGE");
        builder.KeyFor("font", "ITEM.FONT")
            .Field("itemImage", FieldKind::FrameImage, SKIN_MEMBER(StatusBarSkin, itemImage))
            .Key("ITEM.ITEMIMAGE")
            .Field("image", FieldKind::Image, SKIN_MEMBER(StatusBarSkin, image));
        return builder.Build();
    }();
    return schema;
}
