// Skinned frames: the non-client area drawn from the skin's parts, hit
// testing, activation, maximising, and the system never painting.
#include "WindowTestSupport.h"

#include "MessageLog.h"
#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"

namespace {

class FrameTest : public SkinnedWindowTest {};

TEST_F(FrameTest, BindsTheWindowToMainFrame)
{
    HWND window = CreateSkinnedFrame();
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(window);
    ASSERT_NE(nullptr, skin);
    EXPECT_EQ(skin, GetPropA(window, "OBJECT"));
    EXPECT_STREQ("MainFrame", skin->GetSkinObject()->Name());
}

}  // namespace
