// The skin manager: binding top-level windows, finding skinned ancestors,
// classifying windows by class, and switching every window to a new skin.
#include "WindowTestSupport.h"

#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "data/SkinObject.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/GdiObject.h"

#include <commctrl.h>

namespace {

class ManagerTest : public SkinnedWindowTest {
protected:
    void SetUp() override
    {
        SkinnedWindowTest::SetUp();
        UseProbeControlSkins();
    }

    HWND Child(HWND parent, const char* className, DWORD style = 0, int id = 0)
    {
        return CreateWindowExA(0, className, "child", WS_CHILD | WS_VISIBLE | style, 10, 10, 80, 24, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                               nullptr);
    }

    SkinManager& manager_ = SkinManager::Instance();
};

bool IsSubclassedBySkin(HWND window)
{
    return GetPropA(window, SkinnedWindow::kObjectProperty) != nullptr &&
           GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinWindowProc);
}

TEST_F(ManagerTest, AFrameIsSkinnedOnceAndOnlyWithAFrameObject)
{
    HWND window = CreateFrame();
    EXPECT_FALSE(manager_.SkinFrame(window, "Button")) << "a button object is no frame";
    EXPECT_FALSE(manager_.SkinFrame(window, "NoSuchObject"));
    EXPECT_EQ(nullptr, manager_.FindWindowObject(window));

    ASSERT_TRUE(manager_.SkinFrame(window, "MainFrame"));
    SkinnedWindow* skin = manager_.FindWindowObject(window);
    EXPECT_FALSE(manager_.SkinFrame(window, "Dialog"));
    EXPECT_EQ(skin, manager_.FindWindowObject(window));
    EXPECT_STREQ("MainFrame", skin->GetSkinObject()->Name()) << "the second call changed nothing";
}

TEST_F(ManagerTest, WithoutANameTheFirstFrameObjectIsTaken)
{
    HWND window = CreateFrame();
    ASSERT_TRUE(manager_.SkinFrame(window, nullptr));
    EXPECT_EQ(DefaultStore().FindObjectByType(kTypeFrame), manager_.FindWindowObject(window)->GetSkinObject());
}

TEST_F(ManagerTest, ADialogTakesAnObjectOfAnyTypeWithoutFrameParts)
{
    HWND window = CreateFrame(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    ASSERT_TRUE(manager_.SkinDialog(window, "Button"));
    SkinnedWindow* skin = manager_.FindWindowObject(window);
    EXPECT_EQ(nullptr, skin->FrameObject());
    // Painting and hit testing without frame parts must simply work.
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT rect;
    GetWindowRect(window, &rect);
    SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 1, rect.top + 1));
    EXPECT_FALSE(manager_.SkinDialog(window, nullptr));
}

TEST_F(ManagerTest, SkinnedAncestorIsFoundThroughUnskinnedChildrenButNotThroughOwners)
{
    HWND frame = CreateSkinnedFrame();
    HWND panel = Child(frame, "SsoTestFrame");
    HWND grandchild = Child(panel, "SsoTestFrame");
    EXPECT_EQ(manager_.FindWindowObject(frame), manager_.FindSkinnedAncestor(grandchild));

    HWND owned = CreateWindowExA(0, "SsoTestFrame", "owned", WS_POPUP, 0, 0, 50, 50, frame, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    windows_.push_back(owned);
    EXPECT_EQ(nullptr, manager_.FindSkinnedAncestor(owned)) << "an owned window is no child";
}

TEST_F(ManagerTest, ClassNamesAreMatchedExactly)
{
    EXPECT_EQ(kTypeButton, manager_.ControlTypeOfClass("Button"));
    EXPECT_EQ(0, manager_.ControlTypeOfClass("BUTTON"));
    EXPECT_EQ(0, manager_.ControlTypeOfClass("Butto"));
    EXPECT_EQ(kTypeControlBar, manager_.ControlTypeOfClass("AfxControlBar70sd"));
    EXPECT_EQ(kTypeRichEdit, manager_.ControlTypeOfClass("RICHEDIT"));
    EXPECT_EQ(0, manager_.ControlTypeOfClass("RichEdit20A"));
}

TEST_F(ManagerTest, ButtonsAreClassifiedByTheirStyle)
{
    HWND frame = CreateFrame();
    const struct {
        DWORD style;
        int type;
    } kCases[] = {
        {BS_PUSHBUTTON, kTypeButton},    {BS_DEFPUSHBUTTON, kTypeButton},    {BS_USERBUTTON, kTypeButton},
        {BS_CHECKBOX, kTypeCheckBox},    {BS_AUTOCHECKBOX, kTypeCheckBox},   {BS_3STATE, kTypeCheckBox},
        {BS_AUTO3STATE, kTypeCheckBox},  {BS_OWNERDRAW, kTypeCheckBox},      {BS_RADIOBUTTON, kTypeRadio},
        {BS_AUTORADIOBUTTON, kTypeRadio}, {BS_GROUPBOX, kTypeGroupBox},
    };
    for (const auto& test : kCases) {
        HWND button = Child(frame, "Button", test.style);
        EXPECT_EQ(test.type, SkinnedWindow::ClassifyWindow(button)) << "style " << test.style;
        DestroyWindow(button);
    }
}

TEST_F(ManagerTest, OnlyTheListOfASimpleComboBoxIsAListBox)
{
    HWND frame = CreateFrame();
    for (DWORD style : {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST}) {
        HWND combo = Child(frame, "ComboBox", style);
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        EXPECT_EQ(style == CBS_SIMPLE ? kTypeListBox : 0, SkinnedWindow::ClassifyWindow(info.hwndList))
            << "combo style " << style;
        DestroyWindow(combo);
    }
}

TEST_F(ManagerTest, ANewSkinRebindsByNameThenByTypeAndTheOldStoreGoes)
{
    HWND frame = CreateSkinnedFrame();
    HWND button = Child(frame, "Button", BS_PUSHBUTTON);
    SkinnedWindow* frameSkin = manager_.FindWindowObject(frame);
    SkinnedWindow* buttonSkin = manager_.FindWindowObject(button);
    ASSERT_NE(nullptr, buttonSkin);

    const std::string renamed = Replaced(DefaultSkinSource(), "\"MainFrame\"", "\"Renamed\"");
    ASSERT_TRUE(LoadSkinSource(renamed));

    SkinStore& store = manager_.GetSkinStore();
    EXPECT_EQ(frameSkin, manager_.FindWindowObject(frame)) << "the same object, re-bound";
    EXPECT_EQ(store.FindObjectByType(kTypeFrame), frameSkin->GetSkinObject()) << "by type when the name is gone";
    EXPECT_EQ(store.FindObject("Button"), buttonSkin->GetSkinObject()) << "by name";
    EXPECT_TRUE(IsSubclassedBySkin(frame));
    EXPECT_TRUE(IsSubclassedBySkin(button));
}

// Each control is re-bound once, by the window that skinned it: a second
// re-bind from the manager's own pass would repaint it again.
TEST_F(ManagerTest, ANewSkinRebindsEachControlOnce)
{
    HWND frame = CreateSkinnedFrame();
    const HWND controls[] = {Child(frame, "Button", BS_PUSHBUTTON), Child(frame, "Static"),
                             Child(frame, "Button", BS_AUTOCHECKBOX), Child(frame, "ScrollBar")};
    for (HWND control : controls)
        ASSERT_NE(nullptr, manager_.FindWindowObject(control));
    ProbeControlSkin::bindings = 0;

    ASSERT_TRUE(LoadSkinSource(Replaced(DefaultSkinSource(), "\"MainFrame\"", "\"Renamed\"")));

    EXPECT_EQ(static_cast<int>(sizeof controls / sizeof controls[0]), ProbeControlSkin::bindings);
    for (HWND control : controls)
        EXPECT_EQ(manager_.GetSkinStore().FindObjectByType(SkinnedWindow::ClassifyWindow(control)),
                  manager_.FindWindowObject(control)->GetSkinObject());
}

TEST_F(ManagerTest, ASkinWithoutAnObjectForAControlGivesItBackToTheSystem)
{
    HWND frame = CreateSkinnedFrame();
    HWND button = Child(frame, "Button", BS_PUSHBUTTON);
    HWND label = Child(frame, "Static");
    const size_t registered = manager_.WindowCount();
    ASSERT_TRUE(IsSubclassedBySkin(button));

    ASSERT_TRUE(LoadSkinSource(WithoutObject(DefaultSkinSource(), "ButtonSkin", "Button")));

    EXPECT_EQ(nullptr, manager_.FindWindowObject(button));
    EXPECT_FALSE(IsSubclassedBySkin(button));
    EXPECT_EQ(0u, manager_.FindWindowObject(frame)->Children().count(button));
    EXPECT_TRUE(IsSubclassedBySkin(label)) << "other controls keep their skin";
    EXPECT_EQ(registered - 1, manager_.WindowCount());
}

TEST_F(ManagerTest, ASkinWithoutFramesUnskinsTheFrames)
{
    HWND frame = CreateSkinnedFrame();
    std::string source = WithoutObject(DefaultSkinSource(), "FrameSkin", "MainFrame");
    source = WithoutObject(source, "FrameSkin", "Dialog");
    ASSERT_TRUE(LoadSkinSource(source));

    EXPECT_EQ(nullptr, manager_.FindWindowObject(frame));
    EXPECT_EQ(nullptr, GetPropA(frame, SkinnedWindow::kObjectProperty));
    EXPECT_NE(reinterpret_cast<LONG_PTR>(SkinWindowProc), GetWindowLongPtrA(frame, GWLP_WNDPROC));
    Region region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(ERROR, GetWindowRgn(frame, region)) << "the window region is gone";
}

TEST_F(ManagerTest, AControlSkinThatDeclinesItsWindowLeavesNothingBehind)
{
    HWND frame = CreateSkinnedFrame();
    ProbeControlSkin::decline = true;
    const size_t registered = manager_.WindowCount();
    HWND button = Child(frame, "Button", BS_PUSHBUTTON);

    EXPECT_EQ(1, ProbeControlSkin::created);
    EXPECT_EQ(nullptr, manager_.FindWindowObject(button));
    EXPECT_EQ(registered, manager_.WindowCount());
    EXPECT_EQ(0u, manager_.FindWindowObject(frame)->Children().count(button));
    EXPECT_EQ(nullptr, GetPropA(button, SkinnedWindow::kObjectProperty));
}

TEST_F(ManagerTest, AnAttachThatFailsLeavesTheManagerAsItWas)
{
    // A handle whose window is gone: binding succeeds, subclassing fails.
    HWND gone = CreateFrame();
    DestroyWindow(gone);
    const struct {
        const char* what;
        bool (*skin)(SkinManager&, HWND);
    } kAttaches[] = {
        {"frame", [](SkinManager& m, HWND w) { return m.SkinFrame(w, "MainFrame"); }},
        {"dialog", [](SkinManager& m, HWND w) { return m.SkinDialog(w, "Dialog"); }},
        {"toolbar", [](SkinManager& m, HWND w) { return m.SkinToolbar(w); }},
    };
    const size_t registered = manager_.WindowCount();
    for (const auto& attach : kAttaches) {
        EXPECT_FALSE(attach.skin(manager_, gone)) << attach.what;
        EXPECT_EQ(nullptr, manager_.FindWindowObject(gone)) << attach.what;
        EXPECT_EQ(registered, manager_.WindowCount()) << attach.what;
    }
}

TEST_F(ManagerTest, ALoadThatFailsLeavesTheSkinAndItsWindowsAsTheyWere)
{
    HWND frame = CreateSkinnedFrame();
    HWND button = Child(frame, "Button", BS_PUSHBUTTON);
    const SkinStore* store = &manager_.GetSkinStore();
    const SkinObject* frameObject = manager_.FindWindowObject(frame)->GetSkinObject();
    const SkinObject* buttonObject = manager_.FindWindowObject(button)->GetSkinObject();
    const std::vector<BYTE> whole = DefaultSkinBytes();
    const std::vector<BYTE> garbage(64, 0x5A);
    const struct {
        const char* what;
        const BYTE* bytes;
        size_t size;
    } kLoads[] = {
        {"the first half of a skin", whole.data(), whole.size() / 2},
        {"all of a skin but its last byte", whole.data(), whole.size() - 1},
        {"no skin at all", garbage.data(), garbage.size()},
        {"nothing", whole.data(), 0},
    };
    for (const auto& load : kLoads) {
        EXPECT_FALSE(LoadSkinFromMemory(load.bytes, static_cast<DWORD>(load.size))) << load.what;
        EXPECT_EQ(store, &manager_.GetSkinStore()) << load.what;
        EXPECT_EQ(frameObject, manager_.FindWindowObject(frame)->GetSkinObject()) << load.what;
        EXPECT_EQ(buttonObject, manager_.FindWindowObject(button)->GetSkinObject()) << load.what;
        EXPECT_TRUE(IsSubclassedBySkin(frame) && IsSubclassedBySkin(button)) << load.what;
    }
}

TEST_F(ManagerTest, ADestroyedChildLeavesTheManagerAndItsOwner)
{
    HWND frame = CreateSkinnedFrame();
    HWND button = Child(frame, "Button", BS_PUSHBUTTON);
    const size_t registered = manager_.WindowCount();
    SkinnedWindow* frameSkin = manager_.FindWindowObject(frame);
    ASSERT_EQ(1u, frameSkin->Children().count(button));

    DestroyWindow(button);
    EXPECT_EQ(registered - 1, manager_.WindowCount());
    EXPECT_EQ(0u, frameSkin->Children().count(button));

    DestroyWindow(frame);
    EXPECT_EQ(registered - 2, manager_.WindowCount());
}

}  // namespace
