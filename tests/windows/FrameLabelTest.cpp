// Frame labels: hit codes, region shapes and modes, window text and
// owner drawing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ElementTestSupport.h"
#include "Surface.h"
#include "data/ButtonPart.h"
#include "imaging/GdiObject.h"
#include "imaging/ImageRef.h"

using namespace ElementColours;

namespace {

bool RegionHas(HRGN region, int x, int y)
{
    return PtInRegion(region, x, y) != FALSE;
}

// Columns of the rectangle that hold anything but the background.
int InkWidth(const Surface& surface, const RECT& rect)
{
    int first = -1;
    int last = -1;
    for (int x = rect.left; x < rect.right; ++x) {
        if (surface.Count(x, rect.top, x + 1, rect.bottom, kBackground) == rect.bottom - rect.top)
            continue;
        if (first < 0)
            first = x;
        last = x;
    }
    return first < 0 ? 0 : last - first + 1;
}

int WindowTextInk(ElementTestWindow& window, FrameLabel& label, const char* text)
{
    SetWindowTextA(window.Window(), text);
    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    DrawChecked(label, surface);
    return InkWidth(surface, label.Rect());
}

}  // namespace

TEST(FrameLabelTest, FunctionsGiveTheirHitCodes)
{
    ElementTestWindow window;
    FrameLabel* label = window.Label("Fit");
    FrameLabelSkin* skin = window.LabelSkin("Fit");
    ASSERT_TRUE(label && skin);
    const POINT inside = {label->Rect().left + 2, label->Rect().top + 2};
    // By function code 0 to 12.
    const int expected[] = {0, HTCAPTION, HTLEFT, HTTOPLEFT, HTTOP, HTTOPRIGHT, HTRIGHT,
                            HTBOTTOMRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTCAPTION, 0, 0};
    for (int function = 0; function < static_cast<int>(sizeof expected / sizeof expected[0]); ++function) {
        SCOPED_TRACE(function);
        skin->function = function;
        EXPECT_EQ(label->HitCode(), expected[function]);
        EXPECT_EQ(window.Skin().LabelHitCode(inside), expected[function]);
    }
    skin->function = -3;
    EXPECT_EQ(label->HitCode(), 0);
    // Outside every label there is no code.
    EXPECT_EQ(window.Skin().LabelHitCode(POINT{195, 95}), 0);
}

TEST(FrameLabelTest, CombineCodesGiveRegionOperations)
{
    ElementTestWindow window;
    FrameLabel* label = window.Label("Fit");
    FrameLabelSkin* skin = window.LabelSkin("Fit");
    ASSERT_TRUE(label && skin);
    const struct {
        int32_t code;
        int mode;
    } cases[] = {{0, RGN_AND}, {1, RGN_DIFF}, {2, RGN_OR}, {3, RGN_XOR}, {4, RGN_OR}, {-1, RGN_OR}};
    for (const auto& c : cases) {
        skin->value = c.code;
        EXPECT_EQ(label->CombineMode(), c.mode) << c.code;
    }
}

TEST(FrameLabelTest, RegionIsTheImageShapePlacedByItsDrawMode)
{
    ElementTestWindow window;
    FrameLabel* label = window.Label("Shape");  // 100 60 120 80, a 10 x 10 image
    FrameLabelSkin* skin = window.LabelSkin("Shape");
    ASSERT_TRUE(label && skin);
    ASSERT_NE(skin->prepared.Region(), nullptr);
    struct Probe {
        int x, y;
        bool inside;
    };
    const struct {
        int32_t drawMode;
        const char* what;
        std::vector<Probe> probes;
    } cases[] = {
        {DrawModeOnce, "once", {{101, 61, false}, {105, 65, true}, {112, 72, false}, {119, 79, false}}},
        {DrawModeTile, "tiled", {{101, 61, false}, {105, 65, true}, {111, 71, false}, {101, 71, false},
                                 {115, 75, true}, {119, 79, true}}},
        {DrawModeStretch, "stretched", {{101, 61, false}, {104, 64, false}, {107, 67, true}, {115, 75, true},
                                        {119, 79, true}, {120, 70, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        skin->image.drawMode = c.drawMode;
        Region region(label->BuildRegion());
        ASSERT_TRUE(region);
        for (const Probe& probe : c.probes) {
            EXPECT_EQ(RegionHas(region, probe.x, probe.y), probe.inside) << probe.x << ", " << probe.y;
            EXPECT_EQ(label->HitTest(probe.x, probe.y), probe.inside) << probe.x << ", " << probe.y;
        }
    }
}

TEST(FrameLabelTest, LabelWithoutImageShapeIsItsRectangle)
{
    for (bool transparency : {true, false}) {
        SCOPED_TRACE(transparency ? "transparency on" : "transparency off");
        ElementTestWindow window(transparency);
        // Without transparency the image has no shape either.
        for (const char* name : {"Fit", "Shape"}) {
            if (transparency && std::string(name) == "Shape")
                continue;
            SCOPED_TRACE(name);
            FrameLabel* label = window.Label(name);
            ASSERT_TRUE(label);
            const RECT& rect = label->Rect();
            Region region(label->BuildRegion());
            RECT box;
            ASSERT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
            EXPECT_TRUE(EqualRect(&box, &rect));
            EXPECT_TRUE(label->HitTest(rect.left, rect.top));
            EXPECT_FALSE(label->HitTest(rect.right, rect.top));
        }
    }
}

TEST(FrameLabelTest, WindowTextLabelDrawsTheWindowText)
{
    ElementTestWindow window;
    FrameLabel* label = window.Label("Text");
    ASSERT_TRUE(label);
    EXPECT_TRUE(window.Skin().HasWindowTextLabel());

    EXPECT_EQ(WindowTextInk(window, *label, ""), 0);
    const int short_ = WindowTextInk(window, *label, "WW");
    const int longer = WindowTextInk(window, *label, "WWWW");
    EXPECT_GT(short_, 0);
    EXPECT_GT(longer, short_ + short_ / 2);
    // An ampersand is text, not a mnemonic prefix: it takes room of its own.
    const int plain = WindowTextInk(window, *label, "WW");
    const int withAmpersand = WindowTextInk(window, *label, "&WW");
    EXPECT_GT(withAmpersand, plain + 2);
}

// Drawn through the code page, a Unicode window's title would look just as
// what the code page makes of it.
TEST(FrameLabelTest, WindowTextLabelDrawsAUnicodeTitleInUnicode)
{
    ElementTestWindow window(true, false, true);
    FrameLabel* label = window.Label("Text");
    ASSERT_TRUE(label && IsWindowUnicode(window.Window()));
    const wchar_t kOutside[] = L"\u0141\uD55C\u00E6";
    char coded[16] = {};
    WideCharToMultiByte(CP_ACP, 0, kOutside, -1, coded, sizeof coded, nullptr, nullptr);
    std::vector<COLORREF> shown[2];
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0)
            SetWindowTextW(window.Window(), kOutside);
        else
            SetWindowTextA(window.Window(), coded);
        Surface surface(kDesignWidth, kDesignHeight, kBackground);
        DrawChecked(*label, surface);
        const RECT rect = label->Rect();
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                shown[pass].push_back(surface.At(x, y));
    }
    EXPECT_NE(shown[0], shown[1]);
}

TEST(FrameLabelTest, OtherLabelsDrawTheirOwnText)
{
    ElementTestWindow window;
    FrameLabel* label = window.Label("Fit");
    FrameLabelSkin* skin = window.LabelSkin("Fit");
    ASSERT_TRUE(label && skin);
    SetWindowTextA(window.Window(), "WWWW");
    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    DrawChecked(*label, surface);
    EXPECT_EQ(InkWidth(surface, label->Rect()), 0);
    std::strcpy(skin->labelText, "Ab");
    DrawChecked(*label, surface);
    EXPECT_GT(InkWidth(surface, label->Rect()), 0);
}

TEST(FrameLabelTest, OwnerDrawnLabelAsksTheWindowAndGetsItsDcBack)
{
    ElementTestWindow window;
    FrameLabel* label = window.Label("Owner");
    ASSERT_TRUE(label);
    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    // The owner leaves a brush of its own selected: the check inside puts
    // the label to the test.
    DrawChecked(*label, surface);

    const DrawItemRecord& record = LastDrawItem();
    ASSERT_EQ(record.count, 1);
    EXPECT_EQ(record.wParam, 777u);
    EXPECT_EQ(record.item.CtlType, 5u);
    EXPECT_EQ(record.item.CtlID, 777u);
    EXPECT_EQ(record.item.itemID, static_cast<UINT>(-1));
    EXPECT_EQ(record.item.itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
    EXPECT_EQ(record.item.hDC, surface.Dc());
    EXPECT_TRUE(EqualRect(&record.item.rcItem, &label->Rect()));
    const RECT& rect = label->Rect();
    EXPECT_TRUE(surface.AllAre(rect.left, rect.top, rect.right, rect.bottom, kOwnerFill));
}
