// The base of every control skin type: a font, a main frame image, the
// control id and the AUTOSKINFONT switch (the control record), and type 24,
// the control bar, which holds nothing more.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/SkinFontHandle.h"
#include "data/SkinObject.h"
#include "data/SkinValues.h"
#include "imaging/ImageRef.h"
#include "imaging/TextEffect.h"

// One state of a push button or a tab; 120 bytes in the record.
struct ImageEffectLook {
    FrameImageRef image;
    TextEffect effect;
    uint8_t extra[16];
};

class ControlSkinBase : public SkinObject {
public:
    ~ControlSkinBase() override;

    void ReleaseOwnResources() override;
    void ResolveOwn(SkinStore& store) override;
    void ApplyVersionFixups(uint8_t minor) override;

    // The font painters select for the control's text; made by Resolve.
    HFONT FontHandle() const { return fontHandle_.Get(); }

    SkinFont font;
    FrameImageRef mainImage;
    int32_t controlId;  // a control-specific object matches this control ID
    int32_t controlSpare;
    int32_t autoSkinFont;

protected:
    explicit ControlSkinBase(int32_t typeCode);
    // The common record followed by the control record; `mainImageKey`
    // (may be null) is the type's key of the main frame image.
    static void AddControlRecord(SchemaBuilder& builder, const char* mainImageKey);
    // The control record alone.
    static void AddControlFields(SchemaBuilder& builder, const char* mainImageKey);
    // The fields of `count` image-and-effect looks of an array member: keys
    // STATE.<imageKey> and STATE.TEXTEFFECT, plain names stateImage,
    // stateEffect and stateExtra.
    struct LookNames {
        const char* const* stateKeys;
        const char* const* stateNames;
        const char* imageKey;
    };
    static void AddImageEffectLooks(SchemaBuilder& builder, MemberRef looks, int count, const LookNames& names);

private:
    SkinFontHandle fontHandle_;
};

// Type 24: control bars. FindObjectByType(24) answers with a type 23 object.
class ControlBarSkin : public ControlSkinBase {
public:
    ControlBarSkin();

private:
    static const Schema& RecordSchema();
};
