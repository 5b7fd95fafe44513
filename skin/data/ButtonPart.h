// The parts placed on a frame: caption buttons, frame labels and the look
// of the menu bar, which share the button-part record.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/PreparedImage.h"
#include "data/SkinObject.h"
#include "data/SkinValues.h"
#include "imaging/ImageRef.h"
#include "imaging/TextEffect.h"

class ButtonPartBase : public SkinObject {
public:
    static const size_t kTextSize = 51;

    ImageRef image;  // idle look of a button, background of a label
    int32_t anchor;     // how the part follows a change of the frame's size
    int32_t commandId;  // sent by command buttons; id of owner-drawn labels
    int32_t showCode;   // when the part is shown; 0 always
    char text[kTextSize];

protected:
    explicit ButtonPartBase(int32_t typeCode);
    static void AddPartRecord(SchemaBuilder& builder);
};

// Type 20: the menu bar's look, embedded in every FrameSkin.
class MenuBarSkin : public ButtonPartBase {
public:
    static const int kMdiButtonCount = 12;

    MenuBarSkin();

    SkinFont font;
    TextEffect idleEffect;
    TextEffect secondEffect;
    TextEffect hotEffect;
    COLORREF hotColour;  // used when hotImage is empty
    FrameImageRef hotImage;
    TextEffect openEffect;
    COLORREF openColour;  // used when openImage is empty
    FrameImageRef openImage;
    // Minimise, restore, close, system menu; each normal, hot, pressed.
    ImageRef mdiButtons[kMdiButtonCount];
    FrameImageRef barBackground;

private:
    static const Schema& RecordSchema();
};

// Type 3: a caption button, child of a FrameSkin.
class CaptionButtonSkin : public ButtonPartBase {
public:
    enum Action : int32_t { ActionCommand, ActionClose, ActionIcon, ActionMaximise, ActionMinimise, ActionSystemMenu };

    CaptionButtonSkin();

    ImageRef hotImage;
    ImageRef pressedImage;
    ImageRef disabledImage;
    int32_t action;
    int32_t toggle;  // the button keeps a checked state

private:
    static const Schema& RecordSchema();
};

// Type 38: a label drawn on a frame.
class FrameLabelSkin : public ButtonPartBase {
public:
    static const int kAnchorValueCount = 5;

    FrameLabelSkin();
    ~FrameLabelSkin() override;

    void ReleaseOwnResources() override;
    void ResolveOwn(SkinStore& store) override;

    int32_t function;  // 1 the owner's text, 11 owner-drawn, else labelText
    int32_t anchors[kAnchorValueCount];  // left, top, right, bottom, fifth value
    int32_t value;
    SkinFont font;
    TextEffect effect;
    char labelText[kTextSize];
    int32_t hAlign;  // 0 left, 1 centre, 2 right
    int32_t vAlign;  // 0 top, 1 centre, 2 bottom
    // The background cut out; its region is the label's hit region.
    PreparedImage prepared;

private:
    static const Schema& RecordSchema();
};
