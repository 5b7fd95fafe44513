#include "data/SkinTypes.h"

#include <new>

#include "data/AnimateSkin.h"
#include "data/ButtonPart.h"
#include "data/ButtonSkins.h"
#include "data/ClientEdgeSkin.h"
#include "data/ComboBoxSkin.h"
#include "data/ControlSkinBase.h"
#include "data/CustomPropertySkin.h"
#include "data/FieldSchema.h"
#include "data/FrameSkin.h"
#include "data/GroupBoxSkin.h"
#include "data/HeaderSkin.h"
#include "data/ProgressSkin.h"
#include "data/RebarSkin.h"
#include "data/ReservedSkinTypes.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinImage.h"
#include "data/SkinInfo.h"
#include "data/SpinSkin.h"
#include "data/StaticSkin.h"
#include "data/StatusBarSkin.h"
#include "data/TabSkin.h"
#include "data/ToolBarSkin.h"
#include "data/TrackBarSkin.h"

namespace {

enum Placement { TopLevel = 1, Child = 2, Anywhere = TopLevel | Child, Elsewhere = 0 };

struct TypeEntry {
    int32_t code;
    const char* name;
    int placement;
    SkinObject* (*create)();
};

template <class T>
SkinObject* Create()
{
    return new T();
}

template <int32_t code>
SkinObject* CreateClientEdge()
{
    return new ClientEdgeSkin(code);
}

const TypeEntry kTypes[] = {
    {kTypeFrame, "FrameSkin", TopLevel, &Create<FrameSkin>},
    {kTypeReserved2, "SkinObjectType2", TopLevel, &Create<SkinObjectType2>},
    {kTypeCaptionButton, "CaptionButtonSkin", Child, &Create<CaptionButtonSkin>},
    {kTypeButton, "ButtonSkin", Anywhere, &Create<ButtonSkin>},
    {kTypeCheckBox, "CheckBoxSkin", Anywhere, &Create<CheckBoxSkin>},
    {kTypeComboBox, "ComboBoxSkin", Anywhere, &Create<ComboBoxSkin>},
    {kTypeEdit, "EditSkin", Anywhere, &CreateClientEdge<kTypeEdit>},
    {kTypeGroupBox, "GroupBoxSkin", Anywhere, &Create<GroupBoxSkin>},
    {kTypeListBox, "ListBoxSkin", Anywhere, &CreateClientEdge<kTypeListBox>},
    {kTypeProgress, "ProgressSkin", Anywhere, &Create<ProgressSkin>},
    {kTypeRadio, "RadioSkin", Anywhere, &Create<RadioSkin>},
    {kTypeScrollBar, "ScrollBarSkin", Anywhere, &Create<ScrollBarSkin>},
    {kTypeTrackBar, "TrackBarSkin", Anywhere, &Create<TrackBarSkin>},
    {kTypeStatic, "StaticSkin", Anywhere, &Create<StaticSkin>},
    {kTypeStatusBar, "StatusBarSkin", Anywhere, &Create<StatusBarSkin>},
    {kTypeTab, "TabSkin", Anywhere, &Create<TabSkin>},
    {kTypePopupMenu, "PopupMenuSkin", Anywhere, &Create<PopupMenuSkin>},
    {kTypeImage, "SkinImage", Elsewhere, &Create<SkinImage>},
    {kTypeMenuBar, "MenuBarSkin", Elsewhere, &Create<MenuBarSkin>},
    {kTypeToolBar, "ToolBarSkin", Anywhere, &Create<ToolBarSkin>},
    {kTypeControlBar, "ControlBarSkin", Anywhere, &Create<ControlBarSkin>},
    {kTypeSkinInfo, "SkinInfo", Anywhere, &Create<SkinInfo>},
    {kTypeIpAddress, "IpAddressSkin", Anywhere, &CreateClientEdge<kTypeIpAddress>},
    {kTypeSpin, "SpinSkin", Anywhere, &Create<SpinSkin>},
    {kTypeListView, "ListViewSkin", Anywhere, &CreateClientEdge<kTypeListView>},
    {kTypeTreeView, "TreeViewSkin", Anywhere, &CreateClientEdge<kTypeTreeView>},
    {kTypeRichEdit, "RichEditSkin", Anywhere, &CreateClientEdge<kTypeRichEdit>},
    {kTypeRebar, "RebarSkin", Anywhere, &Create<RebarSkin>},
    {kTypeHeader, "HeaderSkin", Anywhere, &Create<HeaderSkin>},
    {kTypeFrameLabel, "FrameLabelSkin", Anywhere, &Create<FrameLabelSkin>},
    {kTypeReserved39, "SkinObjectType39", TopLevel, &Create<SkinObjectType39>},
    {kTypeAnimate, "AnimateSkin", Anywhere, &Create<AnimateSkin>},
    {kTypeCustomProperty, "CustomPropertySkin", Anywhere, &Create<CustomPropertySkin>},
};

const TypeEntry* FindType(int32_t code)
{
    for (const TypeEntry& entry : kTypes)
        if (entry.code == code)
            return &entry;
    return nullptr;
}

bool IsPlacedAt(int32_t code, Placement placement)
{
    const TypeEntry* entry = FindType(code);
    return entry && (entry->placement & placement) != 0;
}

}  // namespace

bool IsTopLevelTypeCode(int32_t code)
{
    return IsPlacedAt(code, TopLevel);
}

bool IsChildTypeCode(int32_t code)
{
    return IsPlacedAt(code, Child);
}

std::unique_ptr<SkinObject> CreateSkinObject(int32_t code)
{
    const TypeEntry* entry = FindType(code);
    if (!entry)
        return nullptr;
    // Creation that runs out of memory leaves the entry out; reading goes
    // on with the next one.
    try {
        return std::unique_ptr<SkinObject>(entry->create());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const char* SkinTypeName(int32_t code)
{
    if (code == kTypeExtraObject)
        return "SkinObject";
    const TypeEntry* entry = FindType(code);
    return entry ? entry->name : nullptr;
}

int32_t SkinTypeFromName(const char* name)
{
    for (const TypeEntry& entry : kTypes)
        if (name && EqualIgnoringCase(entry.name, name))
            return entry.code;
    return 0;
}
