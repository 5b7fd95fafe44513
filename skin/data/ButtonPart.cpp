#include "data/ButtonPart.h"

#include "data/SkinTypes.h"

namespace {

const RECT kPartPlacement = {1, 1, 21, 21};
const int32_t kDefaultCommandId = 1000;
const int32_t kDefaultLabelValue = 2;
const int32_t kCentredVertically = 1;

}  // namespace

ButtonPartBase::ButtonPartBase(int32_t typeCode)
    : SkinObject(typeCode), image(), anchor(0), commandId(kDefaultCommandId), showCode(0), text()
{
    placement = kPartPlacement;
}

void ButtonPartBase::AddPartRecord(SchemaBuilder& builder)
{
    AddCommonRecord(builder);
    builder.Field("image", FieldKind::Image, SKIN_MEMBER(ButtonPartBase, image))
        // Before minor 8 the common record has no placement; the part
        // carries it here instead.
        .Field("placement", FieldKind::Rect, SKIN_MEMBER(SkinObject, placement), VersionRange::Before(8))
        .Field("anchor", FieldKind::Int, SKIN_MEMBER(ButtonPartBase, anchor))
        .Field("commandId", FieldKind::Int, SKIN_MEMBER(ButtonPartBase, commandId))
        .Field("showCode", FieldKind::Int, SKIN_MEMBER(ButtonPartBase, showCode), VersionRange::Since(11))
        .Field("text", FieldKind::String, SKIN_MEMBER(ButtonPartBase, text), VersionRange::Since(11));
}

MenuBarSkin::MenuBarSkin()
    : ButtonPartBase(kTypeMenuBar),
      font(MakeDefaultFont("Arial")),
      idleEffect(),
      secondEffect(),
      hotEffect(),
      hotColour(0x727272),
      hotImage(),
      openEffect(),
      openColour(0xE07272),
      openImage(),
      mdiButtons(),
      barBackground()
{
    AdoptSchema(RecordSchema());
}

const Schema& MenuBarSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeMenuBar, "MenuBarSkin");
        AddPartRecord(builder);
        builder.Field("font", FieldKind::Font, SKIN_MEMBER(MenuBarSkin, font))
            .Field("idleEffect", FieldKind::TextEffect, SKIN_MEMBER(MenuBarSkin, idleEffect))
            .Field("secondEffect", FieldKind::TextEffect, SKIN_MEMBER(MenuBarSkin, secondEffect))
            .Field("hotEffect", FieldKind::TextEffect, SKIN_MEMBER(MenuBarSkin, hotEffect))
            .Field("hotColour", FieldKind::Colour, SKIN_MEMBER(MenuBarSkin, hotColour))
            .Field("hotImage", FieldKind::FrameImage, SKIN_MEMBER(MenuBarSkin, hotImage))
            .Field("openEffect", FieldKind::TextEffect, SKIN_MEMBER(MenuBarSkin, openEffect))
            .Field("openColour", FieldKind::Colour, SKIN_MEMBER(MenuBarSkin, openColour))
            .Field("openImage", FieldKind::FrameImage, SKIN_MEMBER(MenuBarSkin, openImage));
        builder.Array("mdiButton", FieldKind::Image, SKIN_MEMBER(MenuBarSkin, mdiButtons), kMdiButtonCount,
                      VersionRange::Since(2))
            .Field("barBackground", FieldKind::FrameImage, SKIN_MEMBER(MenuBarSkin, barBackground),
                      VersionRange::Since(3));
        return builder.Build();
    }();
    return schema;
}

CaptionButtonSkin::CaptionButtonSkin()
    : ButtonPartBase(kTypeCaptionButton), hotImage(), pressedImage(), disabledImage(), action(0), toggle(0)
{
    AdoptSchema(RecordSchema());
}

const Schema& CaptionButtonSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeCaptionButton, "CaptionButtonSkin");
        AddPartRecord(builder);
        builder.Field("hotImage", FieldKind::Image, SKIN_MEMBER(CaptionButtonSkin, hotImage))
            .Field("pressedImage", FieldKind::Image, SKIN_MEMBER(CaptionButtonSkin, pressedImage))
            .Field("disabledImage", FieldKind::Image, SKIN_MEMBER(CaptionButtonSkin, disabledImage))
            .Field("action", FieldKind::Int, SKIN_MEMBER(CaptionButtonSkin, action))
            .Field("toggle", FieldKind::Int, SKIN_MEMBER(CaptionButtonSkin, toggle));
        return builder.Build();
    }();
    return schema;
}

FrameLabelSkin::FrameLabelSkin()
    : ButtonPartBase(kTypeFrameLabel),
      function(0),
      anchors(),
      value(kDefaultLabelValue),
      font(),
      effect(),
      labelText(),
      hAlign(0),
      vAlign(kCentredVertically)
{
    AdoptSchema(RecordSchema());
}

FrameLabelSkin::~FrameLabelSkin() = default;

const Schema& FrameLabelSkin::RecordSchema()
{
    static const Schema schema = [] {
        static const char* const kAnchorNames[kAnchorValueCount] = {"anchorLeft", "anchorTop", "anchorRight",
                                                                    "anchorBottom", "anchorExtra"};
        SchemaBuilder builder(kTypeFrameLabel, "FrameLabelSkin");
        AddPartRecord(builder);
        builder.Field("function", FieldKind::Int, SKIN_MEMBER(FrameLabelSkin, function));
        for (int i = 0; i < kAnchorValueCount; ++i)
            builder.Field(kAnchorNames[i], FieldKind::Int, SKIN_MEMBER(FrameLabelSkin, anchors), VersionRange::All(),
                          i * sizeof(int32_t));
        builder.Field("labelValue", FieldKind::Int, SKIN_MEMBER(FrameLabelSkin, value))
            .Field("font", FieldKind::Font, SKIN_MEMBER(FrameLabelSkin, font))
            .Field("effect", FieldKind::TextEffect, SKIN_MEMBER(FrameLabelSkin, effect))
            .Field("labelText", FieldKind::String, SKIN_MEMBER(FrameLabelSkin, labelText))
            .Field("hAlign", FieldKind::Int, SKIN_MEMBER(FrameLabelSkin, hAlign))
            .Field("vAlign", FieldKind::Int, SKIN_MEMBER(FrameLabelSkin, vAlign));
        return builder.Build();
    }();
    return schema;
}

void FrameLabelSkin::ReleaseOwnResources()
{
    ReleasePreparedImage(prepared);
    ButtonPartBase::ReleaseOwnResources();
}

void FrameLabelSkin::ResolveOwn(SkinStore& store)
{
    ReleaseOwnResources();
    PrepareImageRef(store, image, prepared);
    ButtonPartBase::ResolveOwn(store);
}
