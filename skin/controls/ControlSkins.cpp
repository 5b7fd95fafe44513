#include "controls/ControlSkins.h"

#include "controls/SkinnedAnimate.h"
#include "controls/SkinnedCheckBox.h"
#include "controls/SkinnedComboBox.h"
#include "controls/SkinnedControlBar.h"
#include "controls/SkinnedEdit.h"
#include "controls/SkinnedGroupBox.h"
#include "controls/SkinnedHeader.h"
#include "controls/SkinnedListBox.h"
#include "controls/SkinnedListView.h"
#include "controls/SkinnedProgress.h"
#include "controls/SkinnedPushButton.h"
#include "controls/SkinnedRadio.h"
#include "controls/SkinnedRebar.h"
#include "controls/SkinnedScrollBar.h"
#include "controls/SkinnedScrollControl.h"
#include "controls/SkinnedStatic.h"
#include "controls/SkinnedStatusBar.h"
#include "controls/SkinnedTab.h"
#include "controls/SkinnedToolBar.h"
#include "controls/SkinnedTrackBar.h"
#include "controls/SkinnedTreeView.h"
#include "controls/SkinnedUpDown.h"
#include "data/SkinTypes.h"

std::unique_ptr<SkinnedWindow> MakeControlSkin(int controlType, SkinnedWindow& owner)
{
    switch (controlType) {
    case kTypeButton:
        return std::make_unique<SkinnedPushButton>(controlType, owner);
    case kTypeCheckBox:
        return std::make_unique<SkinnedCheckBox>(controlType, owner);
    case kTypeRadio:
        return std::make_unique<SkinnedRadio>(controlType, owner);
    case kTypeGroupBox:
        return std::make_unique<SkinnedGroupBox>(controlType, owner);
    case kTypeComboBox:
        return std::make_unique<SkinnedComboBox>(controlType, owner);
    case kTypeStatic:
        return std::make_unique<SkinnedStatic>(controlType, owner);
    case kTypeTab:
        return std::make_unique<SkinnedTab>(controlType, owner);
    case kTypeProgress:
        return std::make_unique<SkinnedProgress>(controlType, owner);
    case kTypeTrackBar:
        return std::make_unique<SkinnedTrackBar>(controlType, owner);
    case kTypeSpin:
        return std::make_unique<SkinnedUpDown>(controlType, owner);
    case kTypeScrollBar:
        return std::make_unique<SkinnedScrollBar>(controlType, owner);
    case kTypeAnimate:
        return std::make_unique<SkinnedAnimate>(controlType, owner);
    case kTypeStatusBar:
        return std::make_unique<SkinnedStatusBar>(controlType, owner);
    case kTypeToolBar:
        return std::make_unique<SkinnedToolBar>(controlType, owner);
    case kTypeControlBar:
        return std::make_unique<SkinnedControlBar>(controlType, owner);
    case kTypeRebar:
        return std::make_unique<SkinnedRebar>(controlType, owner);
    case kTypeHeader:
        return std::make_unique<SkinnedHeader>(controlType, owner);
    case kTypeIpAddress:
        return std::make_unique<SkinnedScrollControl>(controlType, owner);
    // Both kinds of edit look for an object made for their control id
    // among the rich edit objects.
    case kTypeEdit:
    case kTypeRichEdit:
        return std::make_unique<SkinnedEdit>(kTypeRichEdit, owner);
    case kTypeListBox:
        return std::make_unique<SkinnedListBox>(controlType, owner);
    case kTypeListView:
        return std::make_unique<SkinnedListView>(controlType, owner);
    case kTypeTreeView:
        return std::make_unique<SkinnedTreeView>(controlType, owner);
    default:
        return nullptr;
    }
}

std::unique_ptr<SkinnedWindow> MakeToolbarSkin()
{
    return std::make_unique<SkinnedToolBar>();
}
