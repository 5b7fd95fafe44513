// The redirection installed in this process: the system's own controls'
// scroll calls reach the replacements for the window served, any other
// window gets exactly the system's results, and removal puts every byte
// back.
#include <windows.h>

#include <commctrl.h>

#include "controls/NcScroll.h"
#include "controls/ScrollApiRedirect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

enum Function { kEnable, kGetInfo, kGetPos, kGetRange, kSetInfo, kSetPos, kSetRange, kShow, kFunctionCount };
const char* const kFunctionNames[kFunctionCount] = {"EnableScrollBar", "GetScrollInfo", "GetScrollPos",
                                                    "GetScrollRange",  "SetScrollInfo", "SetScrollPos",
                                                    "SetScrollRange",  "ShowScrollBar"};

// Replacements that count their calls and leave the work to the system.
std::atomic<HWND> g_served{nullptr};
int g_calls[kFunctionCount];
int g_callsForOthers;  // replacement calls for a window not served: never
int g_callsBack;       // calls from the system's code under a replacement back into one: never
thread_local HWND t_inReplacementFor = nullptr;

// One replacement call, counted. A call for the window whose replacement
// is already passing a call down to the system is not passed down again,
// so that a redirection that sends it back shows as a count, not as a
// stack overflow.
class CountedCall {
public:
    CountedCall(Function function, HWND window) : previous_(t_inReplacementFor)
    {
        ++g_calls[function];
        if (window != g_served && !GetPropA(window, kNcScrollProperty))
            ++g_callsForOthers;
        callBack_ = previous_ == window;
        g_callsBack += callBack_;
        t_inReplacementFor = window;
    }
    ~CountedCall() { t_inReplacementFor = previous_; }
    bool CallBack() const { return callBack_; }

private:
    HWND previous_;
    bool callBack_;
};

void ResetCounts()
{
    memset(g_calls, 0, sizeof g_calls);
    g_callsForOthers = 0;
    g_callsBack = 0;
}

BOOL WINAPI CountEnable(HWND window, UINT bar, UINT arrows)
{
    CountedCall call(kEnable, window);
    return !call.CallBack() && SystemScrollFunctions().enableScrollBar(window, bar, arrows);
}
BOOL WINAPI CountGetInfo(HWND window, int bar, LPSCROLLINFO info)
{
    CountedCall call(kGetInfo, window);
    return !call.CallBack() && SystemScrollFunctions().getScrollInfo(window, bar, info);
}
int WINAPI CountGetPos(HWND window, int bar)
{
    CountedCall call(kGetPos, window);
    return call.CallBack() ? 0 : SystemScrollFunctions().getScrollPos(window, bar);
}
BOOL WINAPI CountGetRange(HWND window, int bar, LPINT minPos, LPINT maxPos)
{
    CountedCall call(kGetRange, window);
    return !call.CallBack() && SystemScrollFunctions().getScrollRange(window, bar, minPos, maxPos);
}
int WINAPI CountSetInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    CountedCall call(kSetInfo, window);
    return call.CallBack() ? 0 : SystemScrollFunctions().setScrollInfo(window, bar, info, redraw);
}
int WINAPI CountSetPos(HWND window, int bar, int pos, BOOL redraw)
{
    CountedCall call(kSetPos, window);
    return call.CallBack() ? 0 : SystemScrollFunctions().setScrollPos(window, bar, pos, redraw);
}
BOOL WINAPI CountSetRange(HWND window, int bar, int minPos, int maxPos, BOOL redraw)
{
    CountedCall call(kSetRange, window);
    return !call.CallBack() && SystemScrollFunctions().setScrollRange(window, bar, minPos, maxPos, redraw);
}
BOOL WINAPI CountShow(HWND window, int bar, BOOL show)
{
    CountedCall call(kShow, window);
    return !call.CallBack() && SystemScrollFunctions().showScrollBar(window, bar, show);
}

const ScrollFunctions kCounting = {CountEnable,  CountGetInfo, CountGetPos,   CountGetRange,
                                   CountSetInfo, CountSetPos,  CountSetRange, CountShow};

bool ServesOne(HWND window)
{
    return window == g_served;
}

// The functions as the program calls them: through its imports.
const ScrollFunctions kImported = {EnableScrollBar, GetScrollInfo, GetScrollPos,   GetScrollRange,
                                   SetScrollInfo,   SetScrollPos,  SetScrollRange, ShowScrollBar};

const char* const kModules[kRedirectedFunctionCount] = {"user32.dll", "user32.dll", "user32.dll", "user32.dll",
                                                        "user32.dll", "user32.dll", "user32.dll", "user32.dll",
                                                        "win32u.dll", "win32u.dll", "win32u.dll"};
const char* const kExports[kRedirectedFunctionCount] = {
    "EnableScrollBar",     "GetScrollInfo",       "GetScrollPos",         "GetScrollRange",
    "SetScrollInfo",       "SetScrollPos",        "SetScrollRange",       "ShowScrollBar",
    "NtUserSetScrollInfo", "NtUserShowScrollBar", "NtUserEnableScrollBar"};

// The first bytes of every function the install may patch.
std::vector<Bytes> SnapshotExports()
{
    std::vector<Bytes> snapshot;
    for (int i = 0; i < kRedirectedFunctionCount; ++i) {
        HMODULE module = GetModuleHandleA(kModules[i]);
        const auto* code = module ? reinterpret_cast<const uint8_t*>(GetProcAddress(module, kExports[i])) : nullptr;
        snapshot.push_back(code ? Bytes(code, code + kTrampolineSize) : Bytes());
    }
    return snapshot;
}

const char kParentClass[] = "RedirectTestParent";

class RedirectTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kParentClass;
        RegisterClassA(&windowClass);
    }

    void SetUp() override
    {
        ResetCounts();
        g_served = nullptr;
        parent_ = CreateWindowExA(0, kParentClass, "redirect", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(parent_);
        ShowWindow(parent_, SW_SHOWNOACTIVATE);
    }

    void TearDown() override
    {
        ScrollApiRedirect_Remove();
        DestroyWindow(parent_);
    }

    HWND Child(const char* className, DWORD style)
    {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 120, parent_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    HWND parent_ = nullptr;
};

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// ---- The controls' own calls ---------------------------------------------

const int kItems = 30;

void FillListBox(HWND window)
{
    for (int i = 0; i < kItems; ++i)
        SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("list box item"));
    SendMessageA(window, WM_VSCROLL, SB_PAGEDOWN, 0);
}

void FillEdit(HWND window)
{
    std::string text;
    for (int i = 0; i < kItems; ++i)
        text += "edit line\r\n";
    SetWindowTextA(window, text.c_str());
    SendMessageA(window, EM_SCROLL, SB_PAGEDOWN, 0);
}

void FillListView(HWND window)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 400;
    column.pszText = const_cast<char*>("column");
    SendMessageA(window, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < kItems; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("list view item");
        SendMessageA(window, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(window, LVM_SCROLL, 0, 100);
}

void FillTreeView(HWND window)
{
    for (int i = 0; i < kItems; ++i) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>("tree view item");
        SendMessageA(window, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
    SendMessageA(window, WM_VSCROLL, SB_PAGEDOWN, 0);
}

struct ControlCase {
    const char* className;
    DWORD style;
    void (*fill)(HWND);
    std::vector<Function> called;  // each reaches the replacement at least once
};

TEST_F(RedirectTest, ControlsOwnScrollCallsReachTheReplacements)
{
    const ControlCase cases[] = {
        {"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, FillListBox, {kSetInfo, kShow}},
        {"EDIT", WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, FillEdit, {kSetInfo}},
        {WC_LISTVIEWA, LVS_REPORT, FillListView, {kSetInfo, kGetInfo, kGetPos}},
        {WC_TREEVIEWA, 0, FillTreeView, {kSetInfo, kSetPos}},
    };
    ASSERT_EQ(1, ScrollApiRedirect_Install(kCounting, ServesOne));
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.className);
        HWND served = Child(c.className, c.style);
        HWND other = Child(c.className, c.style);
        ASSERT_TRUE(served && other);
        g_served = served;
        ResetCounts();
        c.fill(served);
        PumpMessages();
        for (Function function : c.called)
            EXPECT_LT(0, g_calls[function]) << kFunctionNames[function];
        EXPECT_EQ(0, g_callsForOthers);
        EXPECT_EQ(0, g_callsBack);

        ResetCounts();
        c.fill(other);
        PumpMessages();
        for (int f = 0; f < kFunctionCount; ++f)
            EXPECT_EQ(0, g_calls[f]) << kFunctionNames[f] << " for a window not served";
        DestroyWindow(served);
        DestroyWindow(other);
    }
}

// ---- The same results as the system's ------------------------------------

using Results = std::vector<long>;

struct Step {
    const char* name;
    Results (*run)(const ScrollFunctions& f, HWND window);
};

SCROLLINFO InfoOf(const ScrollFunctions& f, HWND window, int bar, BOOL* result)
{
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    *result = f.getScrollInfo(window, bar, &info);
    return info;
}

Results InfoResults(const ScrollFunctions& f, HWND window, int bar)
{
    BOOL result;
    const SCROLLINFO info = InfoOf(f, window, bar, &result);
    return {result, info.nMin, info.nMax, static_cast<long>(info.nPage), info.nPos, info.nTrackPos};
}

const Step kSteps[] = {
    {"SetScrollRange",
     [](const ScrollFunctions& f, HWND w) -> Results { return {f.setScrollRange(w, SB_VERT, 0, 200, TRUE)}; }},
    {"SetScrollPos",
     [](const ScrollFunctions& f, HWND w) -> Results { return {f.setScrollPos(w, SB_VERT, 50, TRUE)}; }},
    {"SetScrollPos beyond the range",
     [](const ScrollFunctions& f, HWND w) -> Results {
         return {f.setScrollPos(w, SB_VERT, 500, FALSE), f.getScrollPos(w, SB_VERT)};
     }},
    {"GetScrollRange",
     [](const ScrollFunctions& f, HWND w) -> Results {
         int minPos = -1, maxPos = -1;
         const BOOL result = f.getScrollRange(w, SB_VERT, &minPos, &maxPos);
         return {result, minPos, maxPos};
     }},
    {"SetScrollInfo",
     [](const ScrollFunctions& f, HWND w) -> Results {
         SCROLLINFO info = {sizeof info, SIF_ALL, 3, 99, 10, 95, 0};
         Results results = {f.setScrollInfo(w, SB_HORZ, &info, TRUE)};
         const Results read = InfoResults(f, w, SB_HORZ);
         results.insert(results.end(), read.begin(), read.end());
         return results;
     }},
    {"SetScrollInfo with a page larger than the range",
     [](const ScrollFunctions& f, HWND w) -> Results {
         SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE, 0, 9, 50, 0, 0};
         Results results = {f.setScrollInfo(w, SB_HORZ, &info, FALSE)};
         const Results read = InfoResults(f, w, SB_HORZ);
         results.insert(results.end(), read.begin(), read.end());
         return results;
     }},
    {"EnableScrollBar",
     [](const ScrollFunctions& f, HWND w) -> Results {
         return {f.enableScrollBar(w, SB_VERT, ESB_DISABLE_UP), f.enableScrollBar(w, SB_VERT, ESB_DISABLE_UP)};
     }},
    {"ShowScrollBar",
     [](const ScrollFunctions& f, HWND w) -> Results {
         return {f.showScrollBar(w, SB_HORZ, FALSE), f.showScrollBar(w, SB_VERT, TRUE)};
     }},
    {"GetScrollInfo of a bar that does not exist",
     [](const ScrollFunctions& f, HWND w) -> Results { return InfoResults(f, w, 7); }},
    {"GetScrollInfo of SB_CTL on a window that is no scroll bar",
     [](const ScrollFunctions& f, HWND w) -> Results { return InfoResults(f, w, SB_CTL); }},
};

// Every step's results, with the window's scroll bar styles after it.
std::vector<Results> RunSteps(const ScrollFunctions& functions, HWND window)
{
    std::vector<Results> all;
    for (const Step& step : kSteps) {
        Results results = step.run(functions, window);
        results.push_back(GetWindowLongA(window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
        all.push_back(results);
    }
    return all;
}

void ExpectSameResults(const std::vector<Results>& expected, const std::vector<Results>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], actual[i]) << kSteps[i].name;
}

TEST_F(RedirectTest, WindowNotServedGetsTheSystemsResults)
{
    const std::vector<Results> system = RunSteps(kImported, Child(kParentClass, 0));
    ASSERT_EQ(1, ScrollApiRedirect_Install(kCounting, ServesOne));
    g_served = Child(kParentClass, 0);
    ExpectSameResults(system, RunSteps(kImported, Child(kParentClass, 0)));
    ExpectSameResults(system, RunSteps(SystemScrollFunctions(), Child(kParentClass, 0)));
    for (int f = 0; f < kFunctionCount; ++f)
        EXPECT_EQ(0, g_calls[f]) << kFunctionNames[f];
}

TEST_F(RedirectTest, ServedWindowReachesTheReplacementsAndTheSystemBelowThem)
{
    const std::vector<Results> system = RunSteps(kImported, Child(kParentClass, 0));
    ASSERT_EQ(1, ScrollApiRedirect_Install(kCounting, ServesOne));

    // The program's own calls for a served window: every one counted, the
    // system's results through the counting replacements.
    g_served = Child(kParentClass, 0);
    ExpectSameResults(system, RunSteps(kImported, g_served));
    for (int f = 0; f < kFunctionCount; ++f)
        EXPECT_LT(0, g_calls[f]) << kFunctionNames[f];
    EXPECT_EQ(0, g_callsForOthers);
    EXPECT_EQ(0, g_callsBack);

    // The system's functions for a served window stay with the system,
    // also where user32 goes on to a redirected win32u entry.
    ResetCounts();
    g_served = Child(kParentClass, 0);
    ExpectSameResults(system, RunSteps(SystemScrollFunctions(), g_served));
    for (int f = 0; f < kFunctionCount; ++f)
        EXPECT_EQ(0, g_calls[f]) << kFunctionNames[f];
}

TEST_F(RedirectTest, WithoutPredicateTheWindowPropertyDecides)
{
    ASSERT_EQ(1, ScrollApiRedirect_Install(kCounting, nullptr));
    HWND marked = Child(kParentClass, WS_VSCROLL);
    HWND plain = Child(kParentClass, WS_VSCROLL);
    SetPropA(marked, kNcScrollProperty, reinterpret_cast<HANDLE>(1));
    GetScrollPos(plain, SB_VERT);
    EXPECT_EQ(0, g_calls[kGetPos]);
    GetScrollPos(marked, SB_VERT);
    EXPECT_EQ(1, g_calls[kGetPos]);
    RemovePropA(marked, kNcScrollProperty);
}

TEST_F(RedirectTest, NullReplacementsLeaveTheSystemsFunctions)
{
    const ScrollFunctions none = {};
    ASSERT_EQ(1, ScrollApiRedirect_Install(none, ServesOne));
    g_served = Child(kParentClass, WS_VSCROLL);
    SetScrollRange(g_served, SB_VERT, 0, 30, FALSE);
    EXPECT_EQ(0, SetScrollPos(g_served, SB_VERT, 20, FALSE));
    EXPECT_EQ(20, GetScrollPos(g_served, SB_VERT));
}

// ---- Installing and removing ---------------------------------------------

// What the install does to each function on the architecture that runs:
// the result, and which export's code carries the patch (a JMP written
// over its first five bytes).
struct PatchFact {
    PatchResult result;
    int patchedAt;  // index into kExports
};

#if defined(__i386__)
// Wine 8's i686 user32 ShowScrollBar is a jump to win32u's entry, which the
// trampoline follows: the patch lies there, and the win32u function finds
// it already taken.
const PatchFact kPatchFacts[kRedirectedFunctionCount] = {
    {PatchResult::kPatched, 0},      {PatchResult::kPatched, 1},  {PatchResult::kPatched, 2},
    {PatchResult::kPatched, 3},      {PatchResult::kPatched, 4},  {PatchResult::kPatched, 5},
    {PatchResult::kPatched, 6},      {PatchResult::kPatched, 9},  {PatchResult::kPatched, 8},
    {PatchResult::kSharedTarget, 9}, {PatchResult::kPatched, 10},
};
#else
// Every function of Wine 8 on x86_64 is patched at its own export.
const PatchFact kPatchFacts[kRedirectedFunctionCount] = {
    {PatchResult::kPatched, 0}, {PatchResult::kPatched, 1}, {PatchResult::kPatched, 2},  {PatchResult::kPatched, 3},
    {PatchResult::kPatched, 4}, {PatchResult::kPatched, 5}, {PatchResult::kPatched, 6},  {PatchResult::kPatched, 7},
    {PatchResult::kPatched, 8}, {PatchResult::kPatched, 9}, {PatchResult::kPatched, 10},
};
#endif

const void* ExportAddress(int index)
{
    return reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleA(kModules[index]), kExports[index]));
}

TEST_F(RedirectTest, RemovePutsEveryByteBack)
{
    const std::vector<Bytes> before = SnapshotExports();
    ASSERT_EQ(1, ScrollApiRedirect_Install(kCounting, ServesOne));
    const RedirectStatus& status = ScrollApiRedirect_Status();
    EXPECT_TRUE(status.installed);
    const std::vector<Bytes> patched = SnapshotExports();
    std::vector<bool> carriesPatch(kRedirectedFunctionCount, false);
    for (int i = 0; i < kRedirectedFunctionCount; ++i) {
        const RedirectedFunction& function = status.functions[i];
        const PatchFact& fact = kPatchFacts[i];
        SCOPED_TRACE(kExports[i]);
        printf("%s!%s: %s\n", function.module, function.name, PatchResultText(function.result));
        EXPECT_STREQ(kExports[i], function.name);
        EXPECT_EQ(fact.result, function.result);
        EXPECT_EQ(ExportAddress(fact.patchedAt), function.target);
        carriesPatch[fact.patchedAt] = true;
    }
    for (int i = 0; i < kRedirectedFunctionCount; ++i) {
        SCOPED_TRACE(kExports[i]);
        if (!carriesPatch[i]) {
            EXPECT_EQ(before[i], patched[i]) << "an export the patch only passes through";
            continue;
        }
        EXPECT_EQ(0xE9, patched[i].at(0));
        EXPECT_EQ(Bytes(before[i].begin() + kJumpSize, before[i].end()),
                  Bytes(patched[i].begin() + kJumpSize, patched[i].end()))
            << "only the jump written";
    }
    ASSERT_EQ(1, ScrollApiRedirect_Remove());
    EXPECT_FALSE(status.installed);
    EXPECT_EQ(before, SnapshotExports());
}

TEST_F(RedirectTest, InstallTwiceAndRemoveTwiceAreHarmless)
{
    const std::vector<Bytes> before = SnapshotExports();
    EXPECT_EQ(1, ScrollApiRedirect_Remove()) << "without install";
    EXPECT_EQ(before, SnapshotExports());

    ASSERT_EQ(1, ScrollApiRedirect_Install(kCounting, ServesOne));
    const std::vector<Bytes> patched = SnapshotExports();
    const ScrollFunctions none = {};
    EXPECT_EQ(1, ScrollApiRedirect_Install(none, nullptr));
    EXPECT_EQ(patched, SnapshotExports());
    g_served = Child(kParentClass, WS_VSCROLL);
    GetScrollPos(g_served, SB_VERT);
    EXPECT_EQ(1, g_calls[kGetPos]) << "the first install's replacements stay";

    EXPECT_EQ(1, ScrollApiRedirect_Remove());
    EXPECT_EQ(1, ScrollApiRedirect_Remove());
    EXPECT_EQ(before, SnapshotExports());

    // And installed again after the removal.
    ResetCounts();
    ASSERT_EQ(1, ScrollApiRedirect_Install(kCounting, ServesOne));
    EXPECT_EQ(patched, SnapshotExports());
    GetScrollPos(g_served, SB_VERT);
    EXPECT_EQ(1, g_calls[kGetPos]);
}

}  // namespace
