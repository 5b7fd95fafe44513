// Push buttons (type 4), check boxes (type 5) and radio buttons (type 11):
// one look per button state, each with its own text effect.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"
#include "imaging/TextEffect.h"

class ButtonSkin : public ControlSkinBase {
public:
    enum State { StateNormal, StatePressed, StateDefault, StateFocused, StateHighlighted, StateDisabled, StateCount };

    ButtonSkin();

    void ApplyVersionFixups(uint8_t minor) override;

    ImageEffectLook states[StateCount];
    uint8_t bytes50[50];
    int32_t intValue;
    int32_t firstValue;
    int32_t secondValue;

private:
    static const Schema& RecordSchema();
};

// One state group of a check box or radio button; 192 bytes in the record.
struct CheckStateLook {
    FrameImageRef background;
    ImageRef box;
    TextEffect effect;
    uint8_t extra[16];
};

// The layout that check boxes and radio buttons share.
class CheckableSkinBase : public ControlSkinBase {
public:
    enum Group {
        GroupNormal,
        GroupSelected,
        GroupDisabled,
        GroupGrayedNormal,
        GroupGrayedSelected,
        GroupHighlightedNormal,
        GroupHighlightedSelected,
        GroupCount
    };

    void ApplyVersionFixups(uint8_t minor) override;

    CheckStateLook groups[GroupCount];
    uint8_t bytes50[50];
    int32_t transparent;

protected:
    explicit CheckableSkinBase(int32_t typeCode);
    static Schema BuildSchema(int32_t typeCode, const char* typeName);
};

class CheckBoxSkin : public CheckableSkinBase {
public:
    CheckBoxSkin();
};

class RadioSkin : public CheckableSkinBase {
public:
    RadioSkin();
};
