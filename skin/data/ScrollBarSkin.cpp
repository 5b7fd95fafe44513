#include "data/ScrollBarSkin.h"

#include <cstddef>
#include <string>

#include "data/SkinTypes.h"

ScrollBarSkin::ScrollBarSkin() : ControlSkinBase(kTypeScrollBar), states(), gripper(), metrics{0, 100, 10, 1, 10}
{
    AdoptSchema(RecordSchema());
}

const Schema& ScrollBarSkin::RecordSchema()
{
    static const Schema schema = [] {
        static const char* const kStateKeys[StateCount] = {"NORMAL", "PRESSED", "HIGHLIGHTED", "DISABLED"};
        static const char* const kStateNames[StateCount] = {"normal", "pressed", "highlighted", "disabled"};
        struct Part {
            const char* key;
            const char* name;
            FieldKind kind;
            size_t offset;
        };
        static const Part kParts[] = {
            {"ARROW1", "Arrow1", FieldKind::Image, offsetof(ScrollBarStateLook, arrow1)},
            {"ARROW2", "Arrow2", FieldKind::Image, offsetof(ScrollBarStateLook, arrow2)},
            {"SCROLLBAR", "Bar", FieldKind::FrameImage, offsetof(ScrollBarStateLook, bar)},
            {"THUMB", "Thumb", FieldKind::FrameImage, offsetof(ScrollBarStateLook, thumb)},
        };
        SchemaBuilder builder(kTypeScrollBar, "ScrollBarSkin");
        AddControlRecord(builder, nullptr);
        const MemberRef looks = SKIN_MEMBER(ScrollBarSkin, states);
        for (int i = 0; i < StateCount; ++i)
            for (const Part& part : kParts)
                builder.Field(std::string(kStateNames[i]) + part.name, part.kind, looks, VersionRange::All(),
                              i * sizeof(ScrollBarStateLook) + part.offset)
                    .Key((std::string(kStateKeys[i]) + "." + part.key).c_str());
        builder.Field("gripper", FieldKind::Image, SKIN_MEMBER(ScrollBarSkin, gripper))
            .Key("GRIPPER")
            .Array("metric", FieldKind::Int, SKIN_MEMBER(ScrollBarSkin, metrics), kMetricCount);
        return builder.Build();
    }();
    return schema;
}
