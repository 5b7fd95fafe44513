#include "data/FrameSkin.h"

#include "data/SkinTypes.h"

namespace {

const RECT kFrameDesign[FrameSkinBase::kPieceCount] = {
    {0, 0, 86, 30},    {86, 0, 173, 30},    {173, 0, 276, 30},
    {0, 30, 10, 148},  {10, 30, 266, 148},  {266, 30, 276, 148},
    {0, 148, 10, 160}, {10, 148, 266, 160}, {266, 148, 276, 160},
};

// A 278 x 152 window with 4-pixel borders.
const RECT kPopupDesign[FrameSkinBase::kPieceCount] = {
    {0, 0, 4, 4},     {4, 0, 274, 4},     {274, 0, 278, 4},
    {0, 4, 4, 148},   {4, 4, 274, 148},   {274, 4, 278, 148},
    {0, 148, 4, 152}, {4, 148, 274, 152}, {274, 148, 278, 152},
};

const char* const kFramePieceKeys[FrameSkinBase::kFrameImageCount] = {
    "ACTIVEFRAME.TOPLEFT",      "ACTIVEFRAME.MIDDLETOP",     "ACTIVEFRAME.TOPRIGHT",
    "ACTIVEFRAME.MIDDLELEFT",   "ACTIVEFRAME.ClIENT",        "ACTIVEFRAME.MIDDLERIGHT",
    "ACTIVEFRAME.BOTTOMLEFt",   "ACTIVEFRAME.BOTTOMMIDDLE",  "ACTIVEFRAME.BOTtoMRIGHT",
    "DEACTIVEFRAME.TOPLEFT",    "DEACTIVEFRAME.MIDDLETOP",   "DEACTIVEFRAME.TOPRIGHT",
    "DEACTIVEFRAME.MIDDLELEFT", "DEACTIVEFRAME.ClIENT",      "DEACTIVEFRAME.MIDDLERIGHT",
    "DEACTIVEFRAME.BOTTOMLEFt", "DEACTIVEFRAME.BOTTOMMIDDLE", "DEACTIVEFRAME.BOTtoMRIGHT",
};

const char* const kPopupPieceKeys[FrameSkinBase::kPieceCount] = {
    "FRAME.TOPLEFT",    "FRAME.MIDDLETOP", "FRAME.TOPRIGHT",     "FRAME.MIDDLELEFT",   "FRAME.ClIENT",
    "FRAME.MIDDLERIGHT", "FRAME.BOTTOMLEFt", "FRAME.BOTTOMMIDDLE", "FRAME.BOTtoMRIGHT",
};

const COLORREF kFrameActiveColour = 0xFF0000;
const COLORREF kPopupActiveColour = 0xE2B61D;
const COLORREF kInactiveColour = 0x727200;
const COLORREF kClientColour = 0xFFFFFF;
const COLORREF kItemActiveColour = 0xFAE6E6;

}  // namespace

FrameSkinBase::FrameSkinBase(int32_t typeCode, const RECT (&design)[kPieceCount])
    : SkinObject(typeCode),
      frameImages(),
      designRects(),
      font(MakeDefaultFont("Arial")),
      frameValues(),
      activeColour(kFrameActiveColour),
      inactiveColour(kInactiveColour),
      clientColour(kClientColour),
      captionEffect()
{
    for (int i = 0; i < kPieceCount; ++i)
        designRects[i] = design[i];
    SetDefaultTextEffect(captionEffect);
}

FrameSkinBase::~FrameSkinBase() = default;

void FrameSkinBase::AddFrameRecord(SchemaBuilder& builder, const FrameKeys& keys)
{
    AddCommonRecord(builder);
    for (int i = 0; i < kFrameImageCount; ++i) {
        builder.Field(IndexedFieldName("frameImage", i), FieldKind::Image, SKIN_MEMBER(FrameSkinBase, frameImages),
                      VersionRange::All(), i * sizeof(ImageRef));
        if (i < keys.keyedPieces)
            builder.Key(keys.pieces[i]);
    }
    builder.Array("designRect", FieldKind::Rect, SKIN_MEMBER(FrameSkinBase, designRects), kPieceCount)
        .Field("font", FieldKind::Font, SKIN_MEMBER(FrameSkinBase, font))
        .Key(keys.font)
        .Array("frameValue", FieldKind::Int, SKIN_MEMBER(FrameSkinBase, frameValues), 2)
        .Field("activeColour", FieldKind::Colour, SKIN_MEMBER(FrameSkinBase, activeColour))
        .Key(keys.activeColour)
        .Field("inactiveColour", FieldKind::Colour, SKIN_MEMBER(FrameSkinBase, inactiveColour));
    if (keys.inactiveColour)
        builder.Key(keys.inactiveColour);
    builder.Field("clientColour", FieldKind::Colour, SKIN_MEMBER(FrameSkinBase, clientColour))
        .Field("captionEffect", FieldKind::TextEffect, SKIN_MEMBER(FrameSkinBase, captionEffect),
               VersionRange::Since(3));
}

void FrameSkinBase::ReleaseOwnResources()
{
    for (PreparedImage& prepared : preparedImages)
        ReleasePreparedImage(prepared);
    SkinObject::ReleaseOwnResources();
}

void FrameSkinBase::ResolveOwn(SkinStore& store)
{
    ReleaseOwnResources();
    for (int i = 0; i < kFrameImageCount; ++i)
        PrepareImageRef(store, frameImages[i], preparedImages[i]);
    SkinObject::ResolveOwn(store);
}

void FrameSkinBase::ApplyVersionFixups(uint8_t minor)
{
    if (minor < 9)
        SetDefaultTextEffect(captionEffect);
}

FrameSkin::FrameSkin() : FrameSkinBase(kTypeFrame, kFrameDesign), menuBar(), skinClient(0), mdiClient()
{
    AdoptSchema(RecordSchema());
}

const Schema& FrameSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeFrame, "FrameSkin");
        AddFrameRecord(builder, {kFramePieceKeys, kFrameImageCount, "CAPTIONFONT", "ACTIVEFRAME.COLOR",
                                 "DEACTIVEFRAME.COLOR"});
        builder.Embedded(SKIN_EMBEDDED(FrameSkin, menuBar))
            .Field("skinClient", FieldKind::Bool, SKIN_MEMBER(FrameSkin, skinClient), VersionRange::Since(6))
            .Key("SKINCLIENT")
            .Field("mdiClient", FieldKind::Image, SKIN_MEMBER(FrameSkin, mdiClient), VersionRange::Since(6))
            .Key("MDICLIENT");
        return builder.Build();
    }();
    return schema;
}

PopupMenuSkin::PopupMenuSkin()
    : FrameSkinBase(kTypePopupMenu, kPopupDesign),
      normalEffect(),
      disabledEffect(),
      activeEffect(),
      itemActiveColour(kItemActiveColour),
      itemSeparatorColour(0),
      separatorImage(),
      activeItemImage(),
      submenuImage(),
      checkImage()
{
    activeColour = kPopupActiveColour;
    AdoptSchema(RecordSchema());
}

const Schema& PopupMenuSkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypePopupMenu, "PopupMenuSkin");
        AddFrameRecord(builder, {kPopupPieceKeys, kPieceCount, "ITEM.FONT", "FRAME.COLOR", nullptr});
        builder.Field("normalEffect", FieldKind::TextEffect, SKIN_MEMBER(PopupMenuSkin, normalEffect))
            .Field("disabledEffect", FieldKind::TextEffect, SKIN_MEMBER(PopupMenuSkin, disabledEffect))
            .Field("activeEffect", FieldKind::TextEffect, SKIN_MEMBER(PopupMenuSkin, activeEffect))
            .Field("itemActiveColour", FieldKind::Colour, SKIN_MEMBER(PopupMenuSkin, itemActiveColour))
            .Key("ITEM.ACTIVECOLOR")
            .Field("itemSeparatorColour", FieldKind::Colour, SKIN_MEMBER(PopupMenuSkin, itemSeparatorColour))
            .Key("ITEM.SEPARATORCOLOR")
            .Field("separatorImage", FieldKind::FrameImage, SKIN_MEMBER(PopupMenuSkin, separatorImage))
            .Key("ITEM.SEPARATORIMAGE")
            .Field("activeItemImage", FieldKind::FrameImage, SKIN_MEMBER(PopupMenuSkin, activeItemImage))
            .Key("ITEM.ACTIVEIMAGE")
            .Field("submenuImage", FieldKind::Image, SKIN_MEMBER(PopupMenuSkin, submenuImage))
            .Key("ITEM.SUBMENU")
            .Field("checkImage", FieldKind::Image, SKIN_MEMBER(PopupMenuSkin, checkImage), VersionRange::Since(3))
            .Key("ITEM.CHECKIMAGE");
        return builder.Build();
    }();
    return schema;
}
