#include "data/ComboBoxSkin.h"

#include "data/SkinTypes.h"

namespace {

const COLORREF kFocusColour = 0xFF0000;
const COLORREF kFocusTextColour = 0xFFFFFF;

}  // namespace

ComboBoxSkin::ComboBoxSkin()
    : ControlSkinBase(kTypeComboBox),
      thumbs(),
      focusColour(kFocusColour),
      disabledBackground(0),
      disabledText(0),
      focusTextColour(kFocusTextColour)
{
    textColour = GetSysColor(COLOR_BTNTEXT);
    AdoptSchema(RecordSchema());
}

const Schema& ComboBoxSkin::RecordSchema()
{
    static const Schema schema = [] {
        static const char* const kThumbKeys[ThumbCount] = {"THUMB.NORMAL", "THUMB.PRESSED", "THUMB.HOVERED",
                                                           "THUMB.DISABLED"};
        SchemaBuilder builder(kTypeComboBox, "ComboBoxSkin");
        AddControlRecord(builder, nullptr);
        builder.KeyFor("backColour", "COLOR.BACKCOLOR").KeyFor("textColour", "COLOR.TEXTCOLOR");
        builder.Array("thumb", FieldKind::FrameImage, SKIN_MEMBER(ComboBoxSkin, thumbs), ThumbCount);
        for (int i = 0; i < ThumbCount; ++i)
            builder.KeyFor(IndexedFieldName("thumb", i).c_str(), kThumbKeys[i]);
        builder.Field("focusColour", FieldKind::Colour, SKIN_MEMBER(ComboBoxSkin, focusColour))
            .Key("COLOR.FOCUS")
            .Field("disabledBackground", FieldKind::Colour, SKIN_MEMBER(ComboBoxSkin, disabledBackground),
                   VersionRange::Since(11))
            .Key("COLOR.DISABLEDBACKGROUND")
            .Field("disabledText", FieldKind::Colour, SKIN_MEMBER(ComboBoxSkin, disabledText), VersionRange::Since(11))
            .Key("COLOR.DISABLEDTEXT")
            .Field("focusTextColour", FieldKind::Colour, SKIN_MEMBER(ComboBoxSkin, focusTextColour),
                   VersionRange::Since(11))
            .Key("COLOR.FOCUSTEXTCOLOR");
        return builder.Build();
    }();
    return schema;
}

void ComboBoxSkin::ApplyVersionFixups(uint8_t minor)
{
    ControlSkinBase::ApplyVersionFixups(minor);
    if (minor > 10)
        return;
    if (minor < 9) {
        backColour = GetSysColor(COLOR_BTNFACE);
        textColour = GetSysColor(COLOR_BTNTEXT);
    }
    // Older files kept the disabled look in the field colours and drew the
    // field itself in the window colours.
    disabledBackground = backColour;
    disabledText = textColour;
    backColour = GetSysColor(COLOR_WINDOW);
    textColour = GetSysColor(COLOR_WINDOWTEXT);
}
