#include "BarTestSupport.h"

#include "data/ControlSkinBase.h"
#include "data/SkinStore.h"
#include "DcStateCheck.h"

void BarTest::SetUpTestSuite()
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    for (const char* name : {"AfxControlBar42s", "AfxControlBar42sd", "AfxControlBar70s"}) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
}

void BarTest::TearDown()
{
    ControlTest::TearDown();
    for (HIMAGELIST list : imageLists_)
        ImageList_Destroy(list);
    imageLists_.clear();
}

HWND BarTest::AddBar(const char* className, DWORD style, int x, int y, int width, int height)
{
    return AddControl(className, "", style | CCS_NOPARENTALIGN | CCS_NORESIZE, x, y, width, height);
}

HWND BarTest::AddToolbar(HWND parent, DWORD style, BYTE firstStyle, bool icons, const char* text, int buttons)
{
    RECT area;
    GetClientRect(parent, &area);
    HWND toolbar =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, "", style | WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0,
                        0, std::min(300L, area.right), std::min(60L, area.bottom), parent, reinterpret_cast<HMENU>(150),
                        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (icons) {
        HIMAGELIST list = ImageList_Create(kIconSize, kIconSize, ILC_COLOR32, 1, 1);
        imageLists_.push_back(list);
        WindowDC screen(nullptr);
        Bitmap red(CreateCompatibleBitmap(screen, kIconSize, kIconSize));
        {
            OwnedDC memory(CreateCompatibleDC(screen));
            ObjectSelector selected(memory, red);
            const RECT all = {0, 0, kIconSize, kIconSize};
            const Brush brush(CreateSolidBrush(RGB(255, 0, 0)));
            FillRect(memory, &all, brush);
        }
        ImageList_Add(list, red, nullptr);
        SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    }
    const INT_PTR label = text ? SendMessageA(toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(text)) : -1;
    for (int i = 0; i < buttons; ++i) {
        TBBUTTON button = {};
        button.iBitmap = icons ? 0 : I_IMAGENONE;
        button.idCommand = kFirstButton + i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = i == 0 ? firstStyle : BTNS_BUTTON;
        button.iString = label;
        SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(40, text ? 44 : 30));
    PumpFor(20);
    return toolbar;
}

HWND BarTest::AddControlBar(HWND parent, const char* className, DWORD align)
{
    const bool upright = align == kAlignLeft || align == kAlignRight;
    HWND bar =
        CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | align, 10, 60, upright ? 40 : 300,
                        upright ? 200 : 40, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpFor(20);
    return bar;
}

RECT ClientOf(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client;
}

RECT ItemRect(HWND toolbar, int index)
{
    RECT area = {};
    SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&area));
    return area;
}

unsigned PixelOf(COLORREF colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

WindowPixels RenderWith(int width, int height, const std::function<void(HDC)>& draw)
{
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    ObjectSelector selected(memory, bitmap);
    draw(memory);
    return ReadPixels(memory, width, height);
}

WindowPixels PaintedBy(SkinnedWindow& skin, const RECT& client)
{
    return RenderWith(client.right, client.bottom, [&](HDC dc) {
        const DcState before(dc);
        skin.Paint(dc);
        EXPECT_TRUE(before.Unchanged(dc));
    });
}

WindowPixels ClientPixels(HWND window)
{
    const RECT client = ClientOf(window);
    WindowDC dc(window);
    return ReadPixels(dc, client.right, client.bottom);
}


namespace {

template <typename Matches>
RECT BoundsWhere(const RECT& area, Matches matches)
{
    RECT bounds = {};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (!matches(x, y))
                continue;
            const RECT pixel = {x, y, x + 1, y + 1};
            UnionRect(&bounds, &bounds, &pixel);
        }
    return bounds;
}

}  // namespace

RECT BoundsOf(const WindowPixels& shown, const RECT& area, unsigned pixel)
{
    return BoundsWhere(area, [&](int x, int y) { return shown.At(x, y) == pixel; });
}

RECT BoundsDifferingFrom(const WindowPixels& shown, const RECT& area, const WindowPixels& expected)
{
    return BoundsWhere(area, [&](int x, int y) { return shown.At(x, y) != expected.At(x - area.left, y - area.top); });
}

WindowPixels BarBackground(const ControlSkinBase& skin, const RECT& client, bool turned)
{
    const int width = client.right, height = client.bottom;
    if (!turned)
        return RenderFrameImage(skin.mainImage, width, height, skin.backColour);
    // Laid flat the bar is height x width; a quarter turn anticlockwise
    // brings the flat picture's right edge to the top.
    const WindowPixels flat = RenderFrameImage(skin.mainImage, height, width, skin.backColour);
    WindowPixels turnedPicture;
    turnedPicture.width = width;
    turnedPicture.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            turnedPicture.pixels.push_back(flat.At(height - 1 - y, x));
    return turnedPicture;
}

int TextHeight(HWND control, const char* text)
{
    WindowDC dc(control);
    SavedDCState saved(dc);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    return extent.cy;
}
