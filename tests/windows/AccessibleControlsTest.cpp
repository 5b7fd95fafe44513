// Skinned windows keep what a screen reader reads of the system's: the
// caption buttons are push buttons named as the system menu names their
// commands, and every control family reads the same skinned as unskinned.
#include "WindowTestSupport.h"

#include "AccessibleProbe.h"
#include "core/SkinManager.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

// Name, role, state and value of an object's child, as one line.
std::wstring Facts(IAccessible* object, long child)
{
    BSTR name = nullptr, value = nullptr;
    VARIANT role = {}, state = {};
    object->get_accName(ChildId(child), &name);
    object->get_accValue(ChildId(child), &value);
    object->get_accRole(ChildId(child), &role);
    object->get_accState(ChildId(child), &state);
    return TakeText(name) + L" | role " + std::to_wstring(role.lVal) + L" | state " + std::to_wstring(state.lVal) +
           L" | value " + TakeText(value);
}

std::wstring MenuName(HWND window, UINT command)
{
    WCHAR text[128] = {};
    GetMenuStringW(GetSystemMenu(window, FALSE), command, text, 128, MF_BYCOMMAND);
    std::wstring name;
    for (const WCHAR* c = text; *c && *c != L'\t'; ++c)
        if (*c != L'&')
            name += *c;
    return name;
}

class AccessibleControlsTest : public SkinnedWindowTest {
protected:
    void SetUp() override
    {
        SkinnedWindowTest::SetUp();
        CoInitialize(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void TearDown() override
    {
        SkinnedWindowTest::TearDown();
        CoUninitialize();
    }
};

struct TitleBarCase {
    const char* name;
    int showCommand;
    std::vector<UINT> commands;  // the buttons, in the skin's order
};

TEST_F(AccessibleControlsTest, CaptionButtonsArePushButtonsNamedAsTheSystemNamesThem)
{
    const TitleBarCase kCases[] = {
        {"a frame", SW_SHOWNORMAL, {SC_CLOSE, SC_MAXIMIZE, SC_MINIMIZE}},
        {"a maximised frame", SW_MAXIMIZE, {SC_CLOSE, SC_RESTORE, SC_MINIMIZE}},
    };
    for (const TitleBarCase& row : kCases) {
        SCOPED_TRACE(row.name);
        HWND frame = CreateSkinnedFrame();
        ShowWindow(frame, row.showCommand);
        PumpMessages();
        IAccessible* titleBar = AccessibleOf(frame, OBJID_TITLEBAR);
        ASSERT_TRUE(titleBar);
        long count = 0;
        titleBar->get_accChildCount(&count);
        std::vector<std::wstring> heard, expected;
        for (long child = 1; child <= count; ++child) {
            VARIANT role = {};
            titleBar->get_accRole(ChildId(child), &role);
            EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, role.lVal);
            BSTR name = nullptr;
            titleBar->get_accName(ChildId(child), &name);
            heard.push_back(TakeText(name));
        }
        for (UINT command : row.commands)
            expected.push_back(MenuName(frame, command));
        EXPECT_EQ(expected, heard);
        // The close button's default action closes, as its click does.
        EXPECT_EQ(S_OK, titleBar->accDoDefaultAction(ChildId(1)));
        titleBar->Release();
        PumpMessages();
        EXPECT_FALSE(IsWindow(frame));
    }
}

struct ControlRow {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
};

// One control of every family the engine skins, in the states that show
// in a reader's answers: checked, disabled, a value.
const ControlRow kControls[] = {
    {L"Button", L"&Push", BS_PUSHBUTTON | WS_TABSTOP},
    {L"Button", L"&Default", BS_DEFPUSHBUTTON},
    {L"Button", L"Check", BS_AUTOCHECKBOX},
    {L"Button", L"Three state", BS_AUTO3STATE | WS_DISABLED},
    {L"Button", L"Radio", BS_AUTORADIOBUTTON},
    {L"Button", L"Group", BS_GROUPBOX},
    {L"Static", L"A label", SS_LEFT},
    {L"Edit", L"typed text", WS_BORDER | ES_AUTOHSCROLL},
    {L"Edit", L"read only", WS_BORDER | ES_READONLY},
    {L"ListBox", L"", WS_BORDER | LBS_NOTIFY},
    {L"ComboBox", L"", CBS_DROPDOWNLIST},
    {L"ScrollBar", L"", SBS_HORZ},
    {L"msctls_progress32", L"", 0},
    {L"msctls_trackbar32", L"", 0},
    {L"msctls_updown32", L"", 0},
    {L"SysTabControl32", L"", 0},
    {L"SysListView32", L"", LVS_REPORT},
    {L"SysTreeView32", L"", 0},
    {L"SysHeader32", L"", 0},
    {L"msctls_statusbar32", L"status", 0},
    {L"ToolbarWindow32", L"", CCS_NOPARENTALIGN | CCS_NORESIZE},
};

const WORD kFirstId = 1100;

// The dialog of every family, its controls given their states; null when
// it could not be made.
HWND CreateFamilyDialog()
{
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 300, 260, L"Families");
    short y = 4;
    WORD id = kFirstId;
    for (const ControlRow& row : kControls) {
        dialog.Add(row.className, row.text, id++, WS_CHILD | WS_VISIBLE | row.style, 4, y, 140, 10);
        y += 12;
    }
    HWND window = dialog.Create(nullptr, PlainDialogProc);
    if (!window)
        return nullptr;
    CheckDlgButton(window, kFirstId + 2, BST_CHECKED);
    CheckDlgButton(window, kFirstId + 3, BST_INDETERMINATE);
    SendDlgItemMessageW(window, kFirstId + 9, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"first"));
    SendDlgItemMessageW(window, kFirstId + 9, LB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(window, kFirstId + 10, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"chosen"));
    SendDlgItemMessageW(window, kFirstId + 10, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(window, kFirstId + 12, PBM_SETPOS, 40, 0);
    SendDlgItemMessageW(window, kFirstId + 13, TBM_SETPOS, TRUE, 30);
    SetFocus(GetDlgItem(window, kFirstId));
    PumpMessages();
    return window;
}

// Each control's facts, and how many of the controls the engine skinned.
std::vector<std::wstring> ReadFamilies(int& skinned)
{
    std::vector<std::wstring> facts;
    HWND dialog = CreateFamilyDialog();
    EXPECT_TRUE(dialog);
    skinned = 0;
    for (WORD id = kFirstId; id < kFirstId + std::size(kControls); ++id) {
        HWND control = GetDlgItem(dialog, id);
        skinned += SkinManager::Instance().FindWindowObject(control) != nullptr;
        IAccessible* object = AccessibleOf(control, OBJID_CLIENT);
        facts.push_back(object ? Facts(object, CHILDID_SELF) : L"no object");
        if (object)
            object->Release();
    }
    DestroyWindow(dialog);
    return facts;
}

TEST_F(AccessibleControlsTest, EveryControlFamilyReadsTheSameSkinnedAsUnskinned)
{
    ClearDialogSkinName();
    int skinned = 0;
    const std::vector<std::wstring> system = ReadFamilies(skinned);
    EXPECT_EQ(0, skinned);
    SetDialogSkinName("Dialog");
    const std::vector<std::wstring> ours = ReadFamilies(skinned);
    EXPECT_GE(skinned, static_cast<int>(std::size(kControls)) - 2) << "nearly every family was skinned";
    for (size_t i = 0; i < std::size(kControls); ++i) {
        SCOPED_TRACE(testing::Message() << "control " << i);
        EXPECT_EQ(system[i], ours[i]);
    }
}

}  // namespace
