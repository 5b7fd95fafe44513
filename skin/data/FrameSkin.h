// The frames of top-level windows and dialogs, and the popup menu, which
// share the frame record: eighteen frame pieces (active and inactive), the
// design rectangles, a font, colours and the caption text effect.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ButtonPart.h"
#include "data/PreparedImage.h"
#include "data/SkinObject.h"
#include "data/SkinValues.h"
#include "imaging/ImageRef.h"
#include "imaging/TextEffect.h"

class FrameSkinBase : public SkinObject {
public:
    // Pieces 0 to 8 of the active frame, in the order top-left, top,
    // top-right, left, centre, right, bottom-left, bottom, bottom-right;
    // 9 to 17 the same for the inactive frame.
    static const int kFrameImageCount = 18;
    static const int kPieceCount = 9;

    ~FrameSkinBase() override;

    void ReleaseOwnResources() override;
    void ResolveOwn(SkinStore& store) override;
    void ApplyVersionFixups(uint8_t minor) override;

    ImageRef frameImages[kFrameImageCount];
    RECT designRects[kPieceCount];  // the frame as the skin's designer drew it
    SkinFont font;
    int32_t frameValues[2];
    COLORREF activeColour;
    COLORREF inactiveColour;
    COLORREF clientColour;
    TextEffect captionEffect;
    // The frame images cut out when the skin is resolved.
    PreparedImage preparedImages[kFrameImageCount];

protected:
    // The keys of the nine active pieces (and of the inactive ones where the
    // type has them), of the font and of the two frame colours.
    struct FrameKeys {
        const char* const* pieces;
        int keyedPieces;
        const char* font;
        const char* activeColour;
        const char* inactiveColour;
    };

    FrameSkinBase(int32_t typeCode, const RECT (&designRects)[kPieceCount]);
    static void AddFrameRecord(SchemaBuilder& builder, const FrameKeys& keys);
};

// Type 1: frames of top-level windows and dialogs.
class FrameSkin : public FrameSkinBase {
public:
    FrameSkin();

    MenuBarSkin menuBar;  // the menu bar's look; never in any table
    int32_t skinClient;
    ImageRef mdiClient;   // background of an MDI client

private:
    static const Schema& RecordSchema();
};

// Type 17: every popup menu.
class PopupMenuSkin : public FrameSkinBase {
public:
    PopupMenuSkin();

    TextEffect normalEffect;
    TextEffect disabledEffect;
    TextEffect activeEffect;
    COLORREF itemActiveColour;
    COLORREF itemSeparatorColour;
    FrameImageRef separatorImage;
    // Its margins are the item padding even when the image is empty.
    FrameImageRef activeItemImage;
    ImageRef submenuImage;
    ImageRef checkImage;

private:
    static const Schema& RecordSchema();
};
