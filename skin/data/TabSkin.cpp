#include "data/TabSkin.h"

#include "data/SkinTypes.h"

TabSkin::TabSkin() : ControlSkinBase(kTypeTab), states(), frame(), transparent(0)
{
    for (ImageEffectLook& state : states)
        SetDefaultTextEffect(state.effect);
    AdoptSchema(RecordSchema());
}

const Schema& TabSkin::RecordSchema()
{
    static const Schema schema = [] {
        static const char* const kStateKeys[StateCount] = {"NORMAL", "PRESSED", "DISABLED", "HOVERED"};
        static const char* const kStateNames[StateCount] = {"normal", "pressed", "disabled", "hovered"};
        SchemaBuilder builder(kTypeTab, "TabSkin");
        AddControlRecord(builder, "BACKGROUND");
        AddImageEffectLooks(builder, SKIN_MEMBER(TabSkin, states), StateCount, {kStateKeys, kStateNames, "TABIMAGE"});
        builder.Field("frame", FieldKind::FrameImage, SKIN_MEMBER(TabSkin, frame))
            .Key("FRAME")
            .Field("transparent", FieldKind::Bool, SKIN_MEMBER(TabSkin, transparent), VersionRange::Since(9))
            .Key("TRANSpARENT");
        return builder.Build();
    }();
    return schema;
}
