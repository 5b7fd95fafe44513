#include "controls/SkinnedControlBar.h"

#include "controls/BarBackground.h"
#include "data/ControlSkinBase.h"
#include "data/SkinStore.h"

void SkinnedControlBar::Paint(HDC hdc)
{
    const ControlSkinBase* skin = ControlObject();
    if (!skin)
        return;
    RECT client;
    GetClientRect(window_, &client);
    DrawBarBackground(hdc, client, *skin, Store(), IsUprightBarStyle(GetWindowLongPtrA(window_, GWL_STYLE)));
}
