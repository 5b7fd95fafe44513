// The control skins the engine makes for the children of skinned windows.
#pragma once

#include <memory>

class SkinnedWindow;

// The skin of a control type for a child of `owner`; null for a type the
// engine does not skin, whose controls keep the system look.
std::unique_ptr<SkinnedWindow> MakeControlSkin(int controlType, SkinnedWindow& owner);

// The skin of a toolbar the manager skins on its own, outside any skinned
// window.
std::unique_ptr<SkinnedWindow> MakeToolbarSkin();
