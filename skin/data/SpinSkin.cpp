#include "data/SpinSkin.h"

#include "data/SkinTypes.h"

SpinSkin::SpinSkin() : ControlSkinBase(kTypeSpin), arrows()
{
    AdoptSchema(RecordSchema());
}

const Schema& SpinSkin::RecordSchema()
{
    static const Schema schema = [] {
        static const char* const kArrowKeys[ArrowCount] = {"NORMAL.UP",  "NORMAL.DOWN",  "HOVER.UP",    "HOVER.DOWN",
                                                           "PRESSED.UP", "PRESSED.DOWN", "DISABLED.UP", "DISABLED.DOWN"};
        SchemaBuilder builder(kTypeSpin, "SpinSkin");
        AddControlRecord(builder, nullptr);
        builder.Array("arrow", FieldKind::Image, SKIN_MEMBER(SpinSkin, arrows), ArrowCount);
        for (int i = 0; i < ArrowCount; ++i)
            builder.KeyFor(IndexedFieldName("arrow", i).c_str(), kArrowKeys[i]);
        return builder.Build();
    }();
    return schema;
}
