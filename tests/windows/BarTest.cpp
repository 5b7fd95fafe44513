// Headers, status bars, toolbars, rebars and docking control bars: each
// painter's picture against what the skin's pieces say (the DC handed back
// as found), the toolbar's pressed button shown at once, and upright
// docking bars showing their background turned.
#include "BarTestSupport.h"

#include "controls/SkinnedToolBar.h"
#include "core/SkinManager.h"
#include "data/HeaderSkin.h"
#include "data/RebarSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "data/StatusBarSkin.h"
#include "data/ToolBarSkin.h"
#include "DcStateCheck.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const unsigned kMarkerPixel = 0xFF0000;
const unsigned kBlackPixel = 0x000000;

// Our skin with a toolbar object whose four faces differ from each other
// and whose hot face is transparent in the middle, so that what lies
// under it shows.
std::string DistinctFacesSkin()
{
    std::string source = DefaultSkinSource();
    const char* const faces[][2] = {
        {"frameImage[0] = { bitmap \"controls.bmp\" rect 72 131 84 143 margins 4 4 4 4 stretch 1 }",
         "frameImage[0] = { bitmap \"controls.bmp\" rect 18 131 34 155 margins 2 4 2 1 stretch 1 }"},
        {"frameImage[2] = { bitmap \"controls.bmp\" rect 100 131 112 143 margins 4 4 4 4 stretch 1 }",
         "frameImage[2] = { bitmap \"controls.bmp\" rect 14 2 20 20 margins 2 0 2 0 stretch 1 }"},
        {"frameImage[3] = { bitmap \"controls.bmp\" rect 72 131 84 143 margins 4 4 4 4 stretch 1 }",
         "frameImage[3] = { bitmap \"controls.bmp\" rect 54 131 70 153 margins 6 3 6 2 stretch 1 }"},
    };
    for (const auto& face : faces) {
        EXPECT_NE(std::string::npos, source.find(face[0])) << face[0];
        source = Replaced(source, face[0], face[1]);
    }
    return source;
}

// What the toolbar's picture must be: its background straight, then the
// faces in order, each keyed.
WindowPixels ExpectedToolbar(const ToolBarSkin& skin, const RECT& client, const RECT& button,
                             std::initializer_list<SkinnedToolBar::Face> faces)
{
    return RenderWith(client.right, client.bottom, [&](HDC dc) {
        DrawFrameImage(dc, client, skin.mainImage, skin.backColour, true, DefaultStore());
        for (SkinnedToolBar::Face face : faces)
            DrawFrameImageKeyed(dc, button, skin.frameImages[face], RGB(255, 0, 255), DefaultStore());
    });
}

}  // namespace

TEST_F(BarTest, ToolbarFacesFollowTheButtonStateAndTheHotOneLiesOverItsNormalFace)
{
    ASSERT_TRUE(LoadSkinSource(DistinctFacesSkin()));
    HWND toolbar = AddToolbar(Frame(), TBSTYLE_FLAT, BTNS_BUTTON, false, nullptr, 1);
    struct Row {
        const char* what;
        BYTE state;
        bool hot;
        std::initializer_list<SkinnedToolBar::Face> faces;
    };
    const Row rows[] = {
        {"normal", TBSTATE_ENABLED, false, {SkinnedToolBar::FaceNormal}},
        {"checked", TBSTATE_ENABLED | TBSTATE_CHECKED, false, {SkinnedToolBar::FacePressed}},
        {"pressed", TBSTATE_ENABLED | TBSTATE_PRESSED, false, {SkinnedToolBar::FacePressed}},
        {"disabled", 0, false, {SkinnedToolBar::FaceDisabled}},
        {"indeterminate", TBSTATE_ENABLED | TBSTATE_INDETERMINATE, false, {SkinnedToolBar::FaceDisabled}},
        {"hot", TBSTATE_ENABLED, true, {SkinnedToolBar::FaceNormal, SkinnedToolBar::FaceHot}},
        {"hot and checked", TBSTATE_ENABLED | TBSTATE_CHECKED, true, {SkinnedToolBar::FacePressed}},
        {"hot and pressed", TBSTATE_ENABLED | TBSTATE_PRESSED, true, {SkinnedToolBar::FacePressed}},
        {"hot and indeterminate", TBSTATE_ENABLED | TBSTATE_INDETERMINATE, true, {SkinnedToolBar::FaceDisabled}},
        {"disabled and checked", TBSTATE_CHECKED, false, {SkinnedToolBar::FacePressed}},
        {"indeterminate and pressed",
         TBSTATE_ENABLED | TBSTATE_INDETERMINATE | TBSTATE_PRESSED,
         false,
         {SkinnedToolBar::FacePressed}},
    };
    auto* skin = static_cast<SkinnedToolBar*>(SkinManager::Instance().FindWindowObject(toolbar));
    const auto& object = *static_cast<const ToolBarSkin*>(skin->GetSkinObject());
    for (const Row& row : rows) {
        SendMessageA(toolbar, TB_SETSTATE, kFirstButton, MAKELONG(row.state, 0));
        SendMessageA(toolbar, TB_SETHOTITEM, row.hot ? 0 : -1, 0);
        ASSERT_EQ(row.hot ? 0 : -1, SendMessageA(toolbar, TB_GETHOTITEM, 0, 0)) << row.what;
        const RECT client = ClientOf(toolbar);
        const RECT button = ItemRect(toolbar, 0);
        const WindowPixels expected = ExpectedToolbar(object, client, button, row.faces);
        EXPECT_TRUE(ShowsPicture(PaintedBy(*skin, client), 0, 0, expected)) << row.what;
    }
}

TEST_F(BarTest, DropDownButtonsShowTheTriangleAndMoveTheirIconLeft)
{
    HWND toolbar = AddToolbar(Frame(), TBSTYLE_FLAT, BTNS_DROPDOWN, true);
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(toolbar);
    const WindowPixels shown = PaintedBy(*skin, ClientOf(toolbar));
    struct Row {
        int index;
        bool dropDown;
    };
    for (const Row row : {Row{0, true}, Row{1, false}}) {
        const RECT button = ItemRect(toolbar, row.index);
        const int middle = (button.top + button.bottom) / 2, right = button.right;
        const POINT inside[] = {{right - 8, middle - 2},
                                {right - 3, middle - 2},
                                {right - 5, middle},
                                {right - 5, middle + 2},
                                {right - 6, middle - 1}};
        for (const POINT& p : inside)
            EXPECT_EQ(row.dropDown, shown.At(p.x, p.y) == kBlackPixel) << row.index << ": " << p.x << "," << p.y;
        const POINT outside[] = {{right - 9, middle - 2}, {right - 2, middle - 2}, {right - 5, middle + 3}};
        for (const POINT& p : outside)
            EXPECT_NE(kBlackPixel, shown.At(p.x, p.y)) << row.index << ": " << p.x << "," << p.y;
        const RECT icon = BoundsOf(shown, button, kMarkerPixel);
        const int contentWidth = button.right - button.left - (row.dropDown ? 6 : 0);
        EXPECT_EQ(button.left + (contentWidth - kIconSize) / 2, icon.left) << row.index;
        EXPECT_EQ(kIconSize, icon.right - icon.left) << row.index;
    }
}

TEST_F(BarTest, DisabledIconsAreDrawnWithoutTheirColours)
{
    HWND toolbar = AddToolbar(Frame(), TBSTYLE_FLAT, BTNS_BUTTON, true);
    SendMessageA(toolbar, TB_SETSTATE, kFirstButton + 1, MAKELONG(0, 0));
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(toolbar);
    const auto& object = *static_cast<const ToolBarSkin*>(skin->GetSkinObject());
    const RECT client = ClientOf(toolbar);
    const WindowPixels shown = PaintedBy(*skin, client);
    RECT icon = BoundsOf(shown, ItemRect(toolbar, 0), kMarkerPixel);
    EXPECT_EQ(kIconSize, icon.bottom - icon.top) << "an enabled icon in its colours";
    const RECT disabled = ItemRect(toolbar, 1);
    icon = BoundsOf(shown, disabled, kMarkerPixel);
    EXPECT_TRUE(IsRectEmpty(&icon)) << "a disabled icon keeps none of its colours";
    const WindowPixels face = Cut(ExpectedToolbar(object, client, disabled, {SkinnedToolBar::FaceDisabled}), disabled);
    icon = BoundsDifferingFrom(shown, disabled, face);
    EXPECT_NEAR(kIconSize, icon.right - icon.left, 1) << "but is drawn, embossed";
}

TEST_F(BarTest, TextGoesInAStripUnderTheIconOnlyUnderBothTextStyles)
{
    struct Row {
        DWORD style;
        bool text;
    };
    // CCS_NOPARENTALIGN is always set here; CCS_NODIVIDER completes the pair.
    for (const Row row : {Row{CCS_NODIVIDER, true}, Row{0, false}}) {
        HWND toolbar = AddToolbar(Frame(), TBSTYLE_FLAT | row.style, BTNS_BUTTON, true, "Go");
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(toolbar);
        const auto& object = *static_cast<const ToolBarSkin*>(skin->GetSkinObject());
        const WindowPixels shown = PaintedBy(*skin, ClientOf(toolbar));
        const RECT button = ItemRect(toolbar, 0);
        const int strip = row.text ? TextHeight(toolbar, "Go") : 0;
        const int above = button.bottom - button.top - strip;
        const RECT icon = BoundsOf(shown, button, kMarkerPixel);
        EXPECT_EQ(button.top + (above - kIconSize) / 2, icon.top) << row.text;
        const RECT text = BoundsOf(shown, button, PixelOf(object.font.colour));
        EXPECT_EQ(row.text, !IsRectEmpty(&text)) << row.text;
        if (row.text) {
            EXPECT_GE(text.top, button.bottom - strip);
        }
        DestroyWindow(toolbar);
    }
}

TEST_F(BarTest, AToolbarClickShowsThePressedButtonAtOnce)
{
    HWND toolbar = AddToolbar(Frame(), TBSTYLE_FLAT);
    MessageLog& log = MessageLog::Instance();
    log.Subclass(Frame(), kParent);
    log.Subclass(toolbar, kSent);
    log.RestrictTo({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_PAINT, WM_COMMAND});
    PumpFor(20);
    const RECT button = ItemRect(toolbar, 0);
    const LPARAM centre = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    log.Flush();
    SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    // Read before any message is pumped: the system's repaint has not come.
    const WindowPixels shown = ClientPixels(toolbar);
    static const ExpectedMessage kButtonDown[] = {
        {WM_LBUTTONDOWN, kSent, 0, 0},
        {WM_PAINT, kSent | kOptional, 0, 0},  // a system toolbar that updates itself at once
    };
    EXPECT_TRUE(LogMatches(kButtonDown, "button down"));
    auto* skin = static_cast<SkinnedToolBar*>(SkinManager::Instance().FindWindowObject(toolbar));
    const auto& object = *static_cast<const ToolBarSkin*>(skin->GetSkinObject());
    const WindowPixels pressed = ExpectedToolbar(object, ClientOf(toolbar), button, {SkinnedToolBar::FacePressed});
    EXPECT_TRUE(ShowsPicture(shown, button.left, button.top, Cut(pressed, button)));

    log.Flush();
    SendMessageA(toolbar, WM_LBUTTONUP, 0, centre);
    PumpFor(20);
    static const ExpectedMessage kButtonUp[] = {
        {WM_LBUTTONUP, kSent, 0, 0},
        {WM_COMMAND, kParent | kWParam, kFirstButton, 0},
        {WM_PAINT, kPosted | kOptional, 0, 0},
        {WM_PAINT, kSent, 0, 0},
    };
    EXPECT_TRUE(LogMatches(kButtonUp, "button up clicks and repaints"));
    log.RestrictTo({});
}

TEST_F(BarTest, ToolbarsInUprightDockingBarsShowTheirBackgroundTurned)
{
    struct Row {
        const char* barClass;
        DWORD align;
        bool turned;
    };
    const Row rows[] = {
        {"AfxControlBar42s", kAlignLeft, true},  {"AfxControlBar42sd", kAlignRight, true},
        {"AfxControlBar42s", kAlignTop, false},  {"AfxControlBar42sd", kAlignBottom, false},
        {"AfxControlBar70s", kAlignLeft, false},  // its toolbars are not the framework's upright kind
    };
    const auto& object = *static_cast<const ToolBarSkin*>(DefaultStore().FindObjectByType(kTypeToolBar));
    for (const Row& row : rows) {
        HWND bar = AddControlBar(Frame(), row.barClass, row.align);
        HWND toolbar = AddToolbar(bar, TBSTYLE_FLAT, BTNS_BUTTON, false, nullptr, 0);
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(toolbar);
        ASSERT_NE(nullptr, skin) << row.barClass;
        const RECT client = ClientOf(toolbar);
        const WindowPixels shown = PaintedBy(*skin, client);
        EXPECT_TRUE(ShowsPicture(shown, 0, 0, BarBackground(object, client, row.turned)))
            << row.barClass << " aligned " << std::hex << row.align;
        DestroyWindow(bar);
    }
}

TEST_F(BarTest, UprightControlBarsShowTheirOwnBackgroundTurned)
{
    const auto& object = *static_cast<const ToolBarSkin*>(DefaultStore().FindObjectByType(kTypeToolBar));
    for (DWORD align : {kAlignLeft, kAlignRight, kAlignTop}) {
        HWND bar = AddControlBar(Frame(), "AfxControlBar42sd", align);
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(bar);
        ASSERT_NE(nullptr, skin);
        const RECT client = ClientOf(bar);
        const bool turned = align != kAlignTop;
        EXPECT_TRUE(ShowsPicture(PaintedBy(*skin, client), 0, 0, BarBackground(object, client, turned)))
            << std::hex << align;
        DestroyWindow(bar);
    }
}

TEST_F(BarTest, HeaderItemsShowTheirTextOnlyWithinTheBackgroundsMargins)
{
    HWND header = AddBar(WC_HEADERA, HDS_HORZ, 10, 10, 360, 24);
    HWND icons = AddToolbar(Frame(), 0, BTNS_BUTTON, true, nullptr, 0);  // lends the header its red image
    const Bitmap marker(CreateBitmap(8, 8, 1, 32, std::vector<unsigned>(64, kMarkerPixel).data()));
    SendMessageA(header, HDM_SETIMAGELIST, 0, SendMessageA(icons, TB_GETIMAGELIST, 0, 0));
    struct Row {
        int format;
        int align;  // -1 left, 0 centre, 1 right
    };
    const Row rows[] = {
        {HDF_LEFT | HDF_STRING | HDF_BITMAP, -1},
        {HDF_CENTER | HDF_STRING | HDF_IMAGE, 0},
        {HDF_RIGHT | HDF_STRING | HDF_BITMAP | HDF_IMAGE, 1},
    };
    for (int i = 0; i < 3; ++i) {
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH | HDI_BITMAP | HDI_IMAGE;
        item.cxy = 120;
        item.pszText = const_cast<char*>("Name");
        item.fmt = rows[i].format;
        item.hbm = marker.Get();
        item.iImage = 0;
        SendMessageA(header, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(header);
    const auto& object = *static_cast<const HeaderSkin*>(skin->GetSkinObject());
    const RECT client = ClientOf(header);
    const WindowPixels shown = PaintedBy(*skin, client);
    const RECT marked = BoundsOf(shown, client, kMarkerPixel);
    EXPECT_TRUE(IsRectEmpty(&marked)) << "no item bitmap or image is drawn";
    const FrameImageRef& edges = object.mainImage;
    for (int i = 0; i < 3; ++i) {
        RECT item;
        SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        const WindowPixels face = RenderFrameImage(object.item, item.right - item.left, item.bottom - item.top, 0);
        EXPECT_TRUE(ShowsPicture(shown, item.left, item.top, face, 1)) << "item " << i;
        const RECT text = BoundsDifferingFrom(shown, item, face);
        ASSERT_FALSE(IsRectEmpty(&text)) << "item " << i << " shows its text";
        const int left = item.left + edges.marginLeft, right = item.right - edges.marginRight;
        if (rows[i].align < 0)
            EXPECT_NEAR(left, text.left, 1) << "item " << i;
        else if (rows[i].align > 0)
            EXPECT_NEAR(right, text.right, 1) << "item " << i;
        else
            EXPECT_NEAR((left + right) / 2, (text.left + text.right) / 2, 1) << "item " << i;
    }
}

TEST_F(BarTest, StatusBarPartsUnderTheSkinsObjectOrItsOwnDefault)
{
    HWND status = AddBar(STATUSCLASSNAMEA, SBARS_SIZEGRIP);
    const int edges[] = {120, 240, -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    for (int part = 0; part < 3; ++part)
        SendMessageA(status, SB_SETTEXTA, part, reinterpret_cast<LPARAM>("Ready"));
    struct Row {
        const char* skin;
        bool withObject;
    };
    for (const Row row : {Row{"ours", true}, Row{"without a status bar object", false}, Row{"ours again", true}}) {
        if (row.withObject)
            ASSERT_TRUE(LoadSkinSource(DefaultSkinSource()));
        else
            ASSERT_TRUE(LoadSkinSource(WithoutObject(DefaultSkinSource(), "StatusBarSkin", "StatusBar")));
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(status);
        ASSERT_NE(nullptr, skin) << row.skin << ": the status bar stays skinned";
        const auto* object = dynamic_cast<const StatusBarSkin*>(skin->GetSkinObject());
        ASSERT_NE(nullptr, object) << row.skin;
        EXPECT_EQ(row.withObject, DefaultStore().FindObjectByType(kTypeStatusBar) == object) << row.skin;
        const WindowPixels shown = CaptureWindow(status);
        for (int part = 0; part < 3; ++part) {
            RECT area;
            SendMessageA(status, SB_GETRECT, part, reinterpret_cast<LPARAM>(&area));
            const WindowPixels face = RenderFrameImage(object->itemImage, area.right - area.left,
                                                       area.bottom - area.top, GetSysColor(COLOR_BTNFACE));
            const RECT text = BoundsDifferingFrom(shown, area, face);
            WindowPixels edges = face;  // the edges outside the text
            for (int y = text.top - area.top; y < text.bottom - area.top; ++y)
                for (int x = text.left - area.left; x < text.right - area.left; ++x)
                    edges.pixels[static_cast<size_t>(y) * edges.width + x] = 0xFF00FF;
            EXPECT_TRUE(ShowsPicture(shown, area.left, area.top, edges, 2)) << row.skin << ", part " << part;
            EXPECT_LT(text.right - text.left, 60) << row.skin << ", part " << part << ": only the text differs";
            EXPECT_NEAR(area.left + object->itemImage.marginLeft, text.left, 1) << row.skin << ", part " << part;
        }
    }
}

TEST_F(BarTest, RebarBandsShowTheirImageAndTextInTheSkinsColour)
{
    HWND rebar = AddBar(REBARCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE | WS_CLIPCHILDREN, 10, 10, 360, 40);
    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V3_SIZE;
    band.fMask = RBBIM_TEXT | RBBIM_SIZE | RBBIM_STYLE | RBBIM_CHILDSIZE;
    band.fStyle = RBBS_NOGRIPPER;
    band.lpText = const_cast<char*>("Band");
    band.cx = 170;
    band.cyMinChild = 24;
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    band.lpText = const_cast<char*>("");
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(rebar);
    const auto& object = *static_cast<const RebarSkin*>(skin->GetSkinObject());
    const RECT client = ClientOf(rebar);
    const WindowPixels shown = PaintedBy(*skin, client);
    const unsigned textPixel = PixelOf(LoadColour3(object.BandEffect().textColour));
    for (int i = 0; i < 2; ++i) {
        RECT area;
        SendMessageA(rebar, RB_GETRECT, i, reinterpret_cast<LPARAM>(&area));
        const WindowPixels face = RenderFrameImage(object.bandImage, area.right - area.left, area.bottom - area.top,
                                                   GetSysColor(COLOR_BTNFACE));
        EXPECT_TRUE(ShowsPicture(shown, area.left, area.top, face, 2)) << "band " << i;
        const RECT text = BoundsDifferingFrom(shown, area, face);
        const RECT coloured = BoundsOf(shown, area, textPixel);
        EXPECT_EQ(i == 0, !IsRectEmpty(&coloured)) << "band " << i;
        if (i == 0) {
            EXPECT_NEAR(area.left + object.bandImage.marginLeft, text.left, 1) << text.right;
        }
    }
}
