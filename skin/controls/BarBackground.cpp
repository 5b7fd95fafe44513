#include "controls/BarBackground.h"

#include "data/ControlSkinBase.h"
#include "imaging/TurnedDrawing.h"

namespace {

// The framework's docking styles (CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT).
const LONG_PTR kAlignLeft = 0x1000;
const LONG_PTR kAlignRight = 0x4000;

}  // namespace

bool IsUprightBarStyle(LONG_PTR style)
{
    return (style & (kAlignLeft | kAlignRight)) != 0;
}

void DrawBarBackground(HDC hdc, const RECT& area, const ControlSkinBase& skin, const ImageSource& images, bool upright)
{
    DrawTurned(hdc, area, upright ? TurnAnticlockwise : TurnNone, [&](HDC target, const RECT& frame) {
        DrawFrameImage(target, frame, skin.mainImage, skin.backColour, true, images);
    });
}
