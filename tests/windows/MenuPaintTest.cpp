// What skinned menus show: the popup's frame pieces and background, the
// hot item from its image or colour, separators, check and submenu marks
// from images or drawn plainly, disabled text, accelerator text aligned
// right of the tab; the menu bar's item states and its rows; scrolling.
#include "MenuTestSupport.h"

#include "core/SkinManager.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "DcStateCheck.h"
#include "imaging/DrawUtils.h"
#include "imaging/GdiObject.h"
#include "imaging/TextEffect.h"
#include "MessageLog.h"
#include "SkinEngine.h"
#include "windows/SkinnedFrame.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>

namespace {

unsigned Pixel(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

unsigned Pixel(const uint8_t* colour3)
{
    return Pixel(LoadColour3(colour3));
}

const unsigned kKeyPixel = 0xFF00FF;

const PopupMenuSkin& PopupSkin()
{
    return *static_cast<const PopupMenuSkin*>(SkinManager::Instance().GetSkinStore().FindObjectByType(kTypePopupMenu));
}

// The popup's client area as its painter draws it, with the DC checked.
WindowPixels RenderPopup(PopupMenuWindow* popup)
{
    RECT client;
    GetClientRect(popup->Window(), &client);
    WindowPixels result;
    result.width = client.right;
    result.height = client.bottom;
    result.pixels.assign(static_cast<size_t>(client.right) * client.bottom, 0);
    WindowDC screen(nullptr);
    OwnedDC dc(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
    {
        ObjectSelector selected(dc, bitmap);
        const DcState before(dc);
        popup->Paint(dc);
        EXPECT_TRUE(before.Unchanged(dc)) << "the popup painter";
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    GetDIBits(screen, bitmap, 0, client.bottom, result.pixels.data(), &info, DIB_RGB_COLORS);
    for (unsigned& pixel : result.pixels)
        pixel &= 0xFFFFFF;
    return result;
}

int CountPixels(const WindowPixels& pixels, const RECT& area, unsigned colour)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += pixels.At(x, y) == colour;
    return count;
}

// Pixels within `tolerance` of `colour` in every channel: text is drawn
// smoothed, so only the cores of its strokes have the ink colour itself.
int CountNear(const WindowPixels& pixels, const RECT& area, unsigned colour, int tolerance = 24)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const unsigned p = pixels.At(x, y);
            bool within = true;
            for (int shift : {0, 8, 16})
                within = within && std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                            static_cast<int>((colour >> shift) & 0xFF)) <= tolerance;
            count += within;
        }
    return count;
}

// Pixels in `area` that differ from `other` at the same place.
int CountDifferent(const WindowPixels& a, const WindowPixels& b, const RECT& area)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += a.At(x, y) != b.At(x, y);
    return count;
}

// An image list of square one-colour pictures, destroyed with the scope.
class TestImageList {
public:
    TestImageList(int side, std::initializer_list<COLORREF> colours) : TestImageList(side, side, colours) {}
    TestImageList(int width, int height, std::initializer_list<COLORREF> colours)
        : list_(ImageList_Create(width, height, ILC_COLOR24, static_cast<int>(colours.size()), 0))
    {
        WindowDC screen(nullptr);
        OwnedDC dc(CreateCompatibleDC(screen));
        for (COLORREF colour : colours) {
            Bitmap picture(CreateCompatibleBitmap(screen, width, height));
            {
                ObjectSelector selected(dc, picture);
                FillSolidRect(dc, {0, 0, width, height}, colour);
            }
            ImageList_Add(list_, picture, nullptr);
        }
    }
    ~TestImageList() { ImageList_Destroy(list_); }
    TestImageList(const TestImageList&) = delete;
    TestImageList& operator=(const TestImageList&) = delete;

    HIMAGELIST Get() const { return list_; }

private:
    HIMAGELIST list_;
};

class MenuPaintTest : public MenuTest {
protected:
    SkinnedFrame& Frame() { return *static_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(frame_)); }

    // An item's picture cell: past the item padding's left and top margins
    // and a pixel more, as high as the item less its padding and 2 pixels.
    static RECT IconCell(PopupMenuWindow* popup, int index)
    {
        const FrameImageRef& padding = PopupSkin().activeItemImage;
        const RECT item = popup->ItemRect(index);
        const int side = item.bottom - item.top - padding.marginTop - padding.marginBottom - 2;
        const int left = item.left + padding.marginLeft + 1, top = item.top + padding.marginTop + 1;
        return {left, top, left + side, top + side};
    }

    // Opens File with `hot` selected by the keys (-1: none).
    PopupMenuWindow* OpenFile(int hot = -1)
    {
        ClickBarItem(0);
        PopupMenuWindow* root = Root();
        if (!root)
            return nullptr;
        while (hot >= 0 && root->HotIndex() != hot)
            Key(root, VK_DOWN);
        return root;
    }

    // The skin without one line of the popup-menu object.
    void LoadWithout(const char* key)
    {
        std::string source = DefaultSkinSource();
        const size_t at = source.find(std::string("  ") + key + " = ");
        ASSERT_NE(std::string::npos, at) << key;
        source.erase(at, source.find('\n', at) + 1 - at);
        ASSERT_TRUE(LoadSkinSource(source));
    }
};

TEST_F(MenuPaintTest, ThePopupShowsItsFramePiecesAndWhatItsPainterDraws)
{
    CreateMenuFrame();
    PopupMenuWindow* popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const PopupMenuSkin& skin = PopupSkin();
    const WindowPixels shown = CaptureWindow(popup->Window());
    // Key-coloured pixels of the pieces are cut away by the window region.
    const WindowPixels corner = RenderPiece(skin.frameImages[0], 4, 4, skin.activeColour);
    const WindowPixels bottomRight = RenderPiece(skin.frameImages[8], 4, 4, skin.activeColour);
    int compared = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            if (corner.At(x, y) != kKeyPixel) {
                EXPECT_EQ(corner.At(x, y), shown.At(x, y)) << "top-left piece at " << x << "," << y;
                ++compared;
            }
            if (bottomRight.At(x, y) != kKeyPixel) {
                EXPECT_EQ(bottomRight.At(x, y), shown.At(shown.width - 4 + x, shown.height - 4 + y))
                    << "bottom-right piece at " << x << "," << y;
                ++compared;
            }
        }
    EXPECT_GT(compared, 16) << "most of the corners are opaque";
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(popup->Window(), region)) << "the popup has the region of its frame";
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the key-coloured corner is outside it";
    DeleteObject(region);

    const WindowPixels painted = RenderPopup(popup);
    int differences = 0;
    for (int y = 0; y < painted.height; ++y)
        for (int x = 0; x < painted.width; ++x)
            differences += painted.At(x, y) != shown.At(x + 4, y + 4);
    EXPECT_EQ(0, differences) << "the client area is what the painter draws";
    EXPECT_EQ(0, CountPixels(painted, {0, 0, painted.width, painted.height}, kKeyPixel)) << "no key colour shows";
}

TEST_F(MenuPaintTest, TheHotItemIsDrawnFromItsImageOrItsColour)
{
    CreateMenuFrame();
    PopupMenuWindow* popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const WindowPixels idle = RenderPopup(popup);
    Key(popup, VK_DOWN);
    ASSERT_EQ(kOpenItem, popup->HotIndex());
    const WindowPixels hot = RenderPopup(popup);
    const RECT item = popup->ItemRect(kOpenItem);
    EXPECT_GT(CountDifferent(idle, hot, item), (item.right - item.left) * 2) << "the hot image covers the item";
    EXPECT_EQ(0, CountDifferent(idle, hot, popup->ItemRect(kRecentItem))) << "other items unchanged";
    EXPECT_EQ(0, CountPixels(hot, item, kKeyPixel));
    Key(popup, VK_ESCAPE);

    LoadWithout("ITEM.ACTIVEIMAGE");
    popup = OpenFile(kOpenItem);
    ASSERT_NE(nullptr, popup);
    const WindowPixels plain = RenderPopup(popup);
    const RECT plainItem = popup->ItemRect(kOpenItem);
    EXPECT_EQ(Pixel(PopupSkin().itemActiveColour), plain.At(plainItem.left + 1, (plainItem.top + plainItem.bottom) / 2))
        << "without an image the hot item is filled with ITEM.ACTIVECOLOR";
    EXPECT_EQ(Pixel(PopupSkin().itemActiveColour), plain.At(plainItem.right - 2, plainItem.top));
}

TEST_F(MenuPaintTest, SeparatorsComeFromTheirImageOrTheSeparatorColour)
{
    CreateMenuFrame();
    PopupMenuWindow* popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const RECT separator = popup->ItemRect(kSeparatorItem);
    const WindowPixels withImage = RenderPopup(popup);
    const unsigned background = withImage.At(separator.left + 1, separator.top);
    int marked = 0;
    for (int y = separator.top; y < separator.bottom; ++y)
        marked += withImage.At((separator.left + separator.right) / 2, y) != background;
    EXPECT_GT(marked, 0) << "the separator image shows";
    Key(popup, VK_ESCAPE);

    LoadWithout("ITEM.SEPARATORIMAGE");
    popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const WindowPixels plain = RenderPopup(popup);
    const RECT plainSeparator = popup->ItemRect(kSeparatorItem);
    EXPECT_EQ(Pixel(PopupSkin().itemSeparatorColour), plain.At((plainSeparator.left + plainSeparator.right) / 2,
                                                               (plainSeparator.top + plainSeparator.bottom) / 2));
}

TEST_F(MenuPaintTest, CheckAndSubmenuMarksComeFromImagesOrAreDrawnPlainly)
{
    CreateMenuFrame();
    PopupMenuWindow* popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const FrameImageRef& padding = PopupSkin().activeItemImage;
    const WindowPixels withImages = RenderPopup(popup);
    const RECT checked = popup->ItemRect(kCheckedItem);
    const RECT plainItem = popup->ItemRect(kExitItem);
    const int height = checked.bottom - checked.top;
    const RECT checkCell = {checked.left + padding.marginLeft + 1, checked.top + padding.marginTop + 1,
                            checked.left + padding.marginLeft + height - padding.marginTop - padding.marginBottom - 2,
                            checked.bottom - padding.marginBottom - 1};
    const RECT sameCellUnchecked = {checkCell.left, plainItem.top + padding.marginTop + 1, checkCell.right,
                                    plainItem.bottom - padding.marginBottom - 1};
    int checkDiff = 0;
    for (int y = 0; y < checkCell.bottom - checkCell.top; ++y)
        for (int x = checkCell.left; x < checkCell.right; ++x)
            checkDiff += withImages.At(x, checkCell.top + y) != withImages.At(x, sameCellUnchecked.top + y);
    EXPECT_GT(checkDiff, 4) << "the check image shows in the icon cell";
    EXPECT_EQ(0, CountPixels(withImages, checkCell, kKeyPixel)) << "its key colour does not";
    const RECT recent = popup->ItemRect(kRecentItem);
    const RECT arrowCell = {recent.right - padding.marginRight - height, recent.top, recent.right - padding.marginRight,
                            recent.bottom};
    const RECT noArrow = {arrowCell.left, plainItem.top, arrowCell.right, plainItem.bottom};
    int arrowDiff = 0;
    for (int y = 0; y < height; ++y)
        for (int x = arrowCell.left; x < arrowCell.right; ++x)
            arrowDiff += withImages.At(x, arrowCell.top + y) != withImages.At(x, noArrow.top + y);
    EXPECT_GT(arrowDiff, 4) << "the submenu image shows at the right end";
    EXPECT_EQ(0, CountPixels(withImages, arrowCell, kKeyPixel));
    Key(popup, VK_ESCAPE);

    std::string source = DefaultSkinSource();
    for (const char* key : {"  ITEM.CHECKIMAGE = ", "  ITEM.SUBMENU = "}) {
        const size_t at = source.find(key);
        ASSERT_NE(std::string::npos, at);
        source.erase(at, source.find('\n', at) + 1 - at);
    }
    ASSERT_TRUE(LoadSkinSource(source));
    popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const WindowPixels plain = RenderPopup(popup);
    const RECT check = popup->ItemRect(kCheckedItem);
    const int h = check.bottom - check.top;
    const int squareLeft = check.left + PopupSkin().activeItemImage.marginLeft + h / 2 - 3;
    const int squareTop = (check.top + check.bottom) / 2 - 3;
    EXPECT_EQ(36, CountPixels(plain, {squareLeft, squareTop, squareLeft + 6, squareTop + 6}, 0))
        << "a black 6 x 6 square marks the checked item";
    const RECT sub = popup->ItemRect(kRecentItem);
    const int tip = sub.right - PopupSkin().activeItemImage.marginRight - 8;
    const int subMiddle =
        (sub.top + PopupSkin().activeItemImage.marginTop + 1 + sub.top + PopupSkin().activeItemImage.marginTop + 1 + h -
         PopupSkin().activeItemImage.marginTop - PopupSkin().activeItemImage.marginBottom - 2) /
        2;
    EXPECT_EQ(0u, plain.At(tip + 1, subMiddle)) << "a black triangle points to the submenu";
}

TEST_F(MenuPaintTest, DisabledTextUsesTheDisabledEffectAndAcceleratorsAlignRight)
{
    CreateMenuFrame();
    PopupMenuWindow* popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const PopupMenuSkin& skin = PopupSkin();
    const WindowPixels pixels = RenderPopup(popup);
    const RECT disabled = popup->ItemRect(kDisabledItem);
    EXPECT_GT(CountNear(pixels, disabled, Pixel(skin.disabledEffect.textColour)), 2);
    EXPECT_EQ(0, CountNear(pixels, disabled, Pixel(skin.normalEffect.textColour))) << "no normal ink";
    const RECT exit = popup->ItemRect(kExitItem);
    EXPECT_GT(CountNear(pixels, exit, Pixel(skin.normalEffect.textColour)), 2);

    // "Open" starts at the text's left edge; "Ctrl+O" ends at its right edge.
    const RECT open = popup->ItemRect(kOpenItem);
    const int height = open.bottom - open.top;
    const int textLeft = open.left + skin.activeItemImage.marginLeft + height + 1;
    const int textRight = open.right - skin.activeItemImage.marginRight - height;
    const unsigned background = pixels.At(open.right - 2, open.top);
    int leftmost = pixels.width, rightmost = -1;
    for (int y = open.top; y < open.bottom; ++y)
        for (int x = open.left; x < open.right; ++x)
            if (CountNear(pixels, {x, y, x + 1, y + 1}, background, 60) == 0) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
    EXPECT_LE(std::abs(leftmost - textLeft), 2) << "the text before the tab is left-aligned";
    EXPECT_LE(std::abs(rightmost - (textRight - 1)), 2) << "the accelerator is right-aligned";
}

const COLORREF kNormalFirst = RGB(200, 30, 40), kNormalSecond = RGB(30, 160, 50);
const COLORREF kHotFirst = RGB(240, 200, 10), kHotSecond = RGB(250, 120, 0), kDisabledFirst = RGB(90, 90, 200);

TEST_F(MenuPaintTest, ItemPicturesComeFromTheHotTheDisabledOrTheNormalListAndSetTheItemHeight)
{
    CreateMenuFrame();
    PopupMenuWindow* popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const FrameImageRef& padding = PopupSkin().activeItemImage;
    const int plainHeight = popup->ItemHeight();
    ASSERT_LT(plainHeight, 20 + padding.marginTop + padding.marginBottom + 2) << "the text is lower than the pictures";
    Key(popup, VK_ESCAPE);

    TestImageList normal(20, {kNormalFirst, kNormalSecond}), hot(20, {kHotFirst, kHotSecond}),
        disabled(20, {kDisabledFirst});
    MenuItemImages images;
    images.indexes = {{kExit, 0}, {kOpen, 1}, {kDisabled, 0}, {kChecked, 1}, {kOne, 0}, {kTwo, 1}, {kExit, 1}};
    images.normal = normal.Get();
    images.hot = hot.Get();
    images.disabled = disabled.Get();
    Frame().SetMenuItemImages(images);
    popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(20 + padding.marginTop + padding.marginBottom + 2, popup->ItemHeight()) << "as high as a picture";
    RECT window;
    GetWindowRect(popup->Window(), &window);
    EXPECT_EQ(7 * popup->ItemHeight() + 8, window.bottom - window.top) << "the popup grew with its items";

    WindowPixels pixels = RenderPopup(popup);
    const RECT exit = IconCell(popup, kExitItem);
    ASSERT_EQ(20, exit.right - exit.left);
    const int cellArea = 20 * 20;
    EXPECT_EQ(cellArea, CountPixels(pixels, exit, Pixel(kNormalFirst))) << "the first entry of a command counts";
    EXPECT_EQ(cellArea, CountPixels(pixels, IconCell(popup, kOpenItem), Pixel(kNormalSecond)));
    EXPECT_EQ(cellArea, CountPixels(pixels, IconCell(popup, kDisabledItem), Pixel(kDisabledFirst)));
    EXPECT_EQ(0, CountPixels(pixels, IconCell(popup, kCheckedItem), Pixel(kNormalSecond))) << "the check mark instead";
    EXPECT_EQ(0, CountPixels(pixels, IconCell(popup, kAmpersandItem), Pixel(kNormalFirst))) << "not in the table";
    EXPECT_EQ(0, CountPixels(pixels, IconCell(popup, kAmpersandItem), Pixel(kNormalSecond)));
    const RECT right = {exit.right, exit.top, exit.right + 1, exit.bottom};
    EXPECT_EQ(0, CountPixels(pixels, right, Pixel(kNormalFirst))) << "nothing beyond the cell";

    Key(popup, VK_DOWN);
    ASSERT_EQ(kOpenItem, popup->HotIndex());
    pixels = RenderPopup(popup);
    EXPECT_EQ(cellArea, CountPixels(pixels, IconCell(popup, kOpenItem), Pixel(kHotSecond))) << "the hot list";
    EXPECT_EQ(cellArea, CountPixels(pixels, IconCell(popup, kExitItem), Pixel(kNormalFirst)));
    Key(popup, VK_DOWN);
    Key(popup, VK_DOWN);
    ASSERT_EQ(kDisabledItem, popup->HotIndex());
    pixels = RenderPopup(popup);
    EXPECT_EQ(cellArea, CountPixels(pixels, IconCell(popup, kDisabledItem), Pixel(kHotFirst)))
        << "a hot disabled item shows the hot list";

    // Submenus take the table too; the keys that open one make its first
    // item hot.
    Key(popup, VK_UP);
    Key(popup, VK_RIGHT);
    ASSERT_NE(nullptr, popup->Child());
    const WindowPixels recent = RenderPopup(popup->Child());
    EXPECT_EQ(cellArea, CountPixels(recent, IconCell(popup->Child(), 0), Pixel(kHotFirst)));
    EXPECT_EQ(cellArea, CountPixels(recent, IconCell(popup->Child(), 1), Pixel(kNormalSecond)));
    Key(popup->Child(), VK_ESCAPE);
    Key(popup, VK_ESCAPE);
}

TEST_F(MenuPaintTest, WithoutAHotOrDisabledListItemsShowTheNormalOne)
{
    CreateMenuFrame();
    TestImageList normal(24, {kNormalFirst, kNormalSecond});
    MenuItemImages images;
    images.indexes = {{kOpen, 1}, {kDisabled, 0}};
    images.normal = normal.Get();
    Frame().SetMenuItemImages(images);
    PopupMenuWindow* popup = OpenFile(kOpenItem);
    ASSERT_NE(nullptr, popup);
    const FrameImageRef& padding = PopupSkin().activeItemImage;
    EXPECT_EQ(24 + padding.marginTop + padding.marginBottom + 2, popup->ItemHeight());
    const WindowPixels pixels = RenderPopup(popup);
    EXPECT_EQ(24 * 24, CountPixels(pixels, IconCell(popup, kOpenItem), Pixel(kNormalSecond)));
    EXPECT_EQ(24 * 24, CountPixels(pixels, IconCell(popup, kDisabledItem), Pixel(kNormalFirst)));
    Key(popup, VK_ESCAPE);
}

TEST_F(MenuPaintTest, TheLargerSideOfThePicturesSetsTheItemHeight)
{
    CreateMenuFrame();
    const FrameImageRef& padding = PopupSkin().activeItemImage;
    for (SIZE size : {SIZE{30, 12}, SIZE{12, 30}}) {
        SCOPED_TRACE(size.cx);
        TestImageList normal(size.cx, size.cy, {kNormalFirst});
        MenuItemImages images;
        images.indexes = {{kOpen, 0}};
        images.normal = normal.Get();
        Frame().SetMenuItemImages(images);
        PopupMenuWindow* popup = OpenFile();
        ASSERT_NE(nullptr, popup);
        EXPECT_EQ(30 + padding.marginTop + padding.marginBottom + 2, popup->ItemHeight());
        Key(popup, VK_ESCAPE);
    }
}

TEST_F(MenuPaintTest, ATableWithoutListsChangesNothing)
{
    CreateMenuFrame();
    PopupMenuWindow* popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    const int height = popup->ItemHeight();
    const WindowPixels plain = RenderPopup(popup);
    Key(popup, VK_ESCAPE);
    MenuItemImages images;
    images.indexes = {{kOpen, 0}, {kExit, 0}};
    Frame().SetMenuItemImages(images);
    popup = OpenFile();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(height, popup->ItemHeight());
    EXPECT_EQ(plain.pixels, RenderPopup(popup).pixels);
    Key(popup, VK_ESCAPE);
}

TEST_F(MenuPaintTest, BarItemsShowNormalHotAndPressedStates)
{
    CreateMenuFrame();
    const MenuBarSkin& bar = static_cast<const FrameSkin*>(DefaultStore().FindObject("MainFrame"))->menuBar;
    RECT item = Bar().ItemRect(1);
    auto capture = [&] { return CaptureWindow(frame_); };
    const WindowPixels normal = capture();
    EXPECT_EQ(Pixel(bar.backColour), normal.At(item.left + 1, item.top + 1)) << "a normal item shows the bar";
    const POINT centre = BarItemCentre(1);
    SendMessageA(frame_, WM_NCMOUSEMOVE, HTMENU, MAKELPARAM(centre.x, centre.y));
    ASSERT_EQ(MenuBar::ItemHot, Bar().Items()[1].state);
    const WindowPixels hot = capture();
    EXPECT_GT(CountDifferent(normal, hot, item), 10) << "the hot image";
    ClickBarItem(1);
    ASSERT_EQ(MenuBar::ItemOpen, Bar().Items()[1].state);
    const WindowPixels pressed = capture();
    EXPECT_GT(CountDifferent(hot, pressed, item), 10) << "the pressed image";
    Key(Root(), VK_ESCAPE);
}

// A Unicode frame's bar drawn through the code page would look just as
// what the code page makes of its items.
TEST_F(MenuPaintTest, AUnicodeFrameShowsItsBarItemsInUnicode)
{
    WNDCLASSW unicodeClass = {};
    unicodeClass.lpfnWndProc = DefWindowProcW;
    unicodeClass.hInstance = GetModuleHandleA(nullptr);
    unicodeClass.lpszClassName = L"SsoTestFrameW";
    RegisterClassW(&unicodeClass);
    const std::wstring texts[2] = {L"\u0141\uD55C\u00E6", ThroughCodePage(L"\u0141\uD55C\u00E6")};
    std::vector<unsigned> bars[2];
    for (int pass = 0; pass < 2; ++pass) {
        HMENU menu = CreateMenu();
        AppendMenuW(menu, MF_STRING, kGo, texts[pass].c_str());
        HWND frame = CreateWindowExW(0, L"SsoTestFrameW", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                                     nullptr, menu, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(frame);
        ASSERT_TRUE(IsWindowUnicode(frame));
        ASSERT_TRUE(SetWindowSkin(frame, "MainFrame"));
        PumpFor(50);
        auto* skin = static_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(frame));
        bars[pass] = Cut(CaptureWindow(frame), skin->Bar().ItemRect(0)).pixels;
        DestroyWindow(frame);
    }
    EXPECT_NE(bars[0], bars[1]);
}

TEST_F(MenuPaintTest, ANarrowFrameShowsTheBarInTwoRowsAndTheClientShrinksByARow)
{
    HMENU menu = CreateMenu();
    for (const char* text : {"&Alpha", "&Bravo", "&Charlie", "&Delta", "&Echo", "&Foxtrot"})
        AppendMenuA(menu, MF_STRING, 900, text);
    frame_ = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 500, 300, menu);
    RECT wide;
    GetClientRect(frame_, &wide);
    const RECT first = Bar().ItemRect(0);
    ASSERT_EQ(first.top, Bar().ItemRect(5).top) << "one row when wide";
    SetWindowPos(frame_, nullptr, 0, 0, 200, 300, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(30);
    RECT narrow, window;
    GetClientRect(frame_, &narrow);
    GetWindowRect(frame_, &window);
    ASSERT_EQ(200, window.right - window.left);
    const RECT last = Bar().ItemRect(5);
    EXPECT_GT(last.top, first.top) << "the last item wrapped into a second row";
    const int rowHeight = last.bottom - last.top + 2;
    EXPECT_EQ(wide.bottom - rowHeight, narrow.bottom) << "the client lost one row";
    const WindowPixels pixels = CaptureWindow(frame_);
    const MenuBarSkin& bar = static_cast<const FrameSkin*>(DefaultStore().FindObject("MainFrame"))->menuBar;
    const int background = CountNear(pixels, last, Pixel(bar.backColour), 40);
    EXPECT_LT(background, (last.right - last.left) * (last.bottom - last.top) - 3) << "text in the second row";
}

TEST_F(MenuPaintTest, AMenuTallerThanTheScreenScrollsOneItemPerClickWithinTheScreen)
{
    CreateMenuFrame();
    HMENU tall = CreatePopupMenu();
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int count = screenHeight / 10 + 5;
    for (int i = 0; i < count; ++i)
        AppendMenuA(tall, MF_STRING, 1000 + i, ("Item " + std::to_string(i)).c_str());
    PopupMenuWindow popup(frame_, nullptr, PopupMenuWindow::ModeContextMenu);
    ASSERT_TRUE(popup.Create());
    popup.LoadMenu(tall);
    const SIZE size = popup.Measure();
    EXPECT_EQ(count * popup.ItemHeight() + 8, size.cy) << "measured for every item";
    ASSERT_GT(size.cy, screenHeight);
    popup.ShowAt(PlacePopup(100, 50, size, 0));
    RECT rect;
    GetWindowRect(popup.Window(), &rect);
    EXPECT_GE(rect.top, 0);
    EXPECT_LE(rect.bottom, screenHeight - 2) << "within the screen";
    ASSERT_TRUE(popup.Scrolls());
    EXPECT_LT(popup.VisibleCount(), count);
    EXPECT_EQ(0, popup.FirstVisible());

    const RECT down = popup.DownBand();
    const RECT up = popup.UpBand();
    ASSERT_GT(down.bottom - down.top, 0);
    PostMessageA(popup.Window(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((down.left + down.right) / 2, (down.top + down.bottom) / 2));
    PumpFor(30);
    EXPECT_EQ(1, popup.FirstVisible()) << "one item per click";
    PostMessageA(popup.Window(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((down.left + down.right) / 2, (down.top + down.bottom) / 2));
    PumpFor(30);
    EXPECT_EQ(2, popup.FirstVisible());
    PostMessageA(popup.Window(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((up.left + up.right) / 2, (up.top + up.bottom) / 2));
    PumpFor(30);
    EXPECT_EQ(1, popup.FirstVisible());
    const WindowPixels pixels = RenderPopup(&popup);
    const int mid = (up.right - up.left) / 2;
    EXPECT_EQ(0u, pixels.At(mid, up.top + 2)) << "the up arrow";
    EXPECT_EQ(0u, pixels.At(mid, down.bottom - 3)) << "the down arrow";
    EXPECT_EQ(1000u + 1, popup.Items()->items[popup.FirstVisible()].command);

    // Scrolled to its end the last item is the last row, and a further
    // click there moves nothing.
    const int last = count - popup.VisibleCount();
    for (int click = 0; click <= count; ++click)
        PostMessageA(popup.Window(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM((down.left + down.right) / 2, (down.top + down.bottom) / 2));
    PumpFor(60);
    EXPECT_EQ(last, popup.FirstVisible()) << "at the end";
    const RECT lastRow = popup.ItemRect(count - 1);
    EXPECT_GE(lastRow.top, up.bottom);
    EXPECT_LE(lastRow.bottom, down.top) << "the last item shown whole above the down band";
    popup.CloseChain();
    DestroyMenu(tall);
}

}  // namespace
