#include "GalleryDialog.h"

#include "GalleryIds.h"
#include "imaging/GdiObject.h"
#include "Resource.h"

#include <commctrl.h>

namespace {

const int kBitmapWidth = 56;
const int kBitmapHeight = 36;

// A small picture for the bitmap static: a blue-to-green band.
HBITMAP MakePicture(HWND dialog)
{
    WindowDC screen(dialog);
    Bitmap bitmap(CreateCompatibleBitmap(screen, kBitmapWidth, kBitmapHeight));
    OwnedDC memory(CreateCompatibleDC(screen));
    {
        ObjectSelector selected(memory, bitmap);
        for (int x = 0; x < kBitmapWidth; ++x) {
            const int green = 255 * x / kBitmapWidth;
            const Brush brush(CreateSolidBrush(RGB(40, green, 255 - green)));
            const RECT column = {x, 0, x + 1, kBitmapHeight};
            FillRect(memory, &column, brush);
        }
    }
    return bitmap.Release();
}

void InitButtonsPage(HWND dialog)
{
    CheckDlgButton(dialog, IDC_CHECK_CHECKED, BST_CHECKED);
    CheckDlgButton(dialog, IDC_CHECK_THREESTATE, BST_INDETERMINATE);
    CheckDlgButton(dialog, IDC_CHECK_DISABLED_CHECKED, BST_CHECKED);
    CheckDlgButton(dialog, IDC_RADIO_SECOND, BST_CHECKED);
    CheckDlgButton(dialog, IDC_RADIO_OTHER_DISABLED, BST_CHECKED);
    SendDlgItemMessageA(dialog, IDC_PUSH_PUSHED, BM_SETSTATE, TRUE, 0);
    const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    const HICON icon = LoadIconA(module, MAKEINTRESOURCEA(IDI_SSO));
    SendDlgItemMessageA(dialog, IDC_PUSH_ICON, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    SendDlgItemMessageA(dialog, IDC_STATIC_BITMAP, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(MakePicture(dialog)));
    SetFocus(GetDlgItem(dialog, IDC_PUSH_FOCUSED));
}

void CleanupButtonsPage(HWND dialog)
{
    // The static does not own the picture it shows.
    const auto picture =
        reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, IDC_STATIC_BITMAP, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (picture)
        DeleteObject(picture);
}

void SetBar(HWND dialog, int id, int position)
{
    // A page of a fifth: "at the end" is the last page, 80.
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 100, 21, position, 0};
    SetScrollInfo(GetDlgItem(dialog, id), SB_CTL, &info, TRUE);
}

void FillList(HWND list)
{
    for (int i = 1; i <= 30; ++i) {
        char item[80];
        wsprintfA(item, "Item %02d: a line long enough to scroll the list sideways", i);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageA(list, LB_SETHORIZONTALEXTENT, 420, 0);
    SendMessageA(list, LB_SETTOPINDEX, 4, 0);
}

void InitScrollPage(HWND dialog)
{
    const int ids[][2] = {{IDC_SCROLL_H_ENABLED, IDC_SCROLL_V_ENABLED},
                          {IDC_SCROLL_H_DISABLED, IDC_SCROLL_V_DISABLED},
                          {IDC_SCROLL_H_START, IDC_SCROLL_V_START},
                          {IDC_SCROLL_H_END, IDC_SCROLL_V_END}};
    const int positions[] = {30, 55, 0, 100};
    for (int row = 0; row < 4; ++row)
        for (int id : ids[row])
            SetBar(dialog, id, positions[row]);
    // The list boxes' skin gives them the skin's bars.
    for (int id : {IDC_SCROLL_LIST, IDC_SCROLL_LIST_LEFT})
        FillList(GetDlgItem(dialog, id));
}

// Each clip plays from the gallery's resources, in a loop (ACS_AUTOPLAY);
// closing the page stops them.
void InitAnimatePage(HWND dialog)
{
    for (int id : {IDC_ANIMATE_TRANSPARENT, IDC_ANIMATE_CENTRED, IDC_ANIMATE_OPAQUE})
        SendDlgItemMessageA(dialog, id, ACM_OPENA, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_GALLERY_CLIP)));
}

void AddHeaderItems(HWND header)
{
    const char* const names[] = {"Name", "Size", "Modified"};
    const int formats[] = {HDF_LEFT, HDF_RIGHT, HDF_CENTER};
    for (int i = 0; i < 3; ++i) {
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = i == 0 ? 200 : 120;
        item.fmt = formats[i] | HDF_STRING;
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(header, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

// Normal, checked, disabled, drop-down and hot buttons, with the system's
// small standard pictures.
void AddToolbarButtons(HWND toolbar, bool withHot)
{
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    const TBBUTTON buttons[] = {
        {STD_FILENEW, 1701, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
        {STD_FILEOPEN, 1702, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, -1},
        {0, 0, 0, BTNS_SEP, {}, 0, -1},
        {STD_FILESAVE, 1703, 0, BTNS_BUTTON, {}, 0, -1},
        {STD_PRINT, 1704, TBSTATE_ENABLED, BTNS_DROPDOWN, {}, 0, -1},
        {STD_FIND, 1705, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
    };
    SendMessageA(toolbar, TB_ADDBUTTONSA, sizeof buttons / sizeof buttons[0], reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(30, 26));
    if (withHot)
        SendMessageA(toolbar, TB_SETHOTITEM, 5, 0);
}

void AddRebarBands(HWND rebar, HWND toolbar)
{
    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V3_SIZE;
    band.fMask = RBBIM_TEXT | RBBIM_SIZE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
    band.fStyle = RBBS_CHILDEDGE;
    band.lpText = const_cast<char*>("Tools");
    band.hwndChild = toolbar;
    band.cyMinChild = 26;
    band.cx = 300;
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    band.fMask = RBBIM_TEXT | RBBIM_SIZE | RBBIM_STYLE;
    band.lpText = const_cast<char*>("Address");
    band.cx = 160;
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

void InitBarsPage(HWND dialog)
{
    AddHeaderItems(GetDlgItem(dialog, IDC_BARS_HEADER));
    AddToolbarButtons(GetDlgItem(dialog, IDC_BARS_TOOLBAR), true);
    HWND rebar = GetDlgItem(dialog, IDC_BARS_REBAR);
    HWND inBand =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, 0,
                        200, 26, rebar, reinterpret_cast<HMENU>(IDC_BARS_REBAR_TOOLBAR),
                        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    AddToolbarButtons(inBand, false);
    AddRebarBands(rebar, inBand);
    HWND status = GetDlgItem(dialog, IDC_BARS_STATUS);
    const int edges[] = {180, 340, -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    const char* const texts[] = {"Ready", "3 items", "Skinned"};
    for (int part = 0; part < 3; ++part)
        SendMessageA(status, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(texts[part]));
}

void InitTabsPage(HWND dialog)
{
    for (const char* name : {"General", "Details", "Advanced"}) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(name);
        SendDlgItemMessageA(dialog, IDC_TABS_TAB, TCM_INSERTITEMA, 99, reinterpret_cast<LPARAM>(&item));
    }
    const int bars[][2] = {
        {IDC_TABS_PROGRESS_EMPTY, 0},  {IDC_TABS_PROGRESS_HALF, 50},  {IDC_TABS_PROGRESS_FULL, 100},
        {IDC_TABS_VPROGRESS_EMPTY, 0}, {IDC_TABS_VPROGRESS_HALF, 50}, {IDC_TABS_VPROGRESS_FULL, 100},
    };
    for (const auto& bar : bars)
        SendDlgItemMessageA(dialog, bar[0], PBM_SETPOS, static_cast<WPARAM>(bar[1]), 0);
    SendDlgItemMessageA(dialog, IDC_TABS_TRACK, TBM_SETPOS, TRUE, 30);
    SendDlgItemMessageA(dialog, IDC_TABS_VTRACK, TBM_SETPOS, TRUE, 70);
    // A clip playing over the tab page shows the page behind it.
    SendDlgItemMessageA(dialog, IDC_TABS_PAGE_ANIMATE, ACM_OPENA, 0,
                        reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_GALLERY_CLIP)));
}

void FillTree(HWND tree)
{
    const char* const groups[] = {"Readers", "Certificates", "Middleware", "Drivers", "Settings"};
    TVINSERTSTRUCTA insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    HTREEITEM chosen = nullptr;
    for (const char* group : groups) {
        insert.hParent = TVI_ROOT;
        insert.item.pszText = const_cast<char*>(group);
        const auto parent =
            reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        insert.hParent = parent;
        for (const char* leaf : {"First entry", "Second entry"}) {
            insert.item.pszText = const_cast<char*>(leaf);
            const auto item =
                reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
            if (!chosen && leaf[0] == 'S')
                chosen = item;
        }
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    }
    // The second entry of the first group, in sight.
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(chosen));
}

void FillListView(HWND view)
{
    const char* const columns[] = {"Reader", "Card"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 110;
        column.pszText = const_cast<char*>(columns[i]);
        SendMessageA(view, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int row = 0; row < 12; ++row) {
        char reader[40];
        wsprintfA(reader, "Reader %02d", row + 1);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = reader;
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(row % 3 ? "Inserted" : "Empty");
        SendMessageA(view, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    LVITEMA selected = {};
    selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(view, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&selected));
}

void InitListsPage(HWND dialog)
{
    for (int id : {IDC_LISTS_LIST, IDC_LISTS_LIST_DISABLED, IDC_LISTS_LIST_OWNERDRAW})
        FillList(GetDlgItem(dialog, id));
    SendDlgItemMessageA(dialog, IDC_LISTS_LIST, LB_SETCURSEL, 6, 0);
    SendDlgItemMessageA(dialog, IDC_LISTS_LIST_OWNERDRAW, LB_SETCURSEL, 5, 0);
    FillTree(GetDlgItem(dialog, IDC_LISTS_TREE));
    FillListView(GetDlgItem(dialog, IDC_LISTS_VIEW));
    SetDlgItemTextA(dialog, IDC_LISTS_EDIT, "Editable");
    SetDlgItemTextA(dialog, IDC_LISTS_EDIT_READONLY, "Read-only");
    SetDlgItemTextA(dialog, IDC_LISTS_EDIT_DISABLED, "Disabled");
    SetDlgItemTextA(dialog, IDC_LISTS_EDIT_LINES,
                    "Several lines of text,\r\nenough of them\r\nto need\r\nthe bar\r\nat the side.");
    SendDlgItemMessageA(dialog, IDC_LISTS_IPADDRESS, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 20));
    for (int id : {IDC_LISTS_COMBO, IDC_LISTS_COMBO_DISABLED, IDC_LISTS_COMBO_SIMPLE}) {
        for (const char* reader : {"Reader 01", "Reader 02", "Reader 03", "Reader 04", "Reader 05"})
            SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reader));
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, id == IDC_LISTS_COMBO ? 1 : 2, 0);
    }
    SetFocus(GetDlgItem(dialog, IDC_LISTS_COMBO));
}

// The owner-drawn list box keeps the system's look: the page draws its
// items as the system would.
bool DrawOwnerDrawnItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlID != IDC_LISTS_LIST_OWNERDRAW || item.itemID == static_cast<UINT>(-1))
        return false;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    char text[100] = {};
    SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
    const TextColours colours(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT),
                              GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT area = item.rcItem;
    area.left += 2;
    DrawTextA(item.hDC, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
    return true;
}

const GalleryPage kPages[] = {
    {"gallery", IDD_GALLERY, InitButtonsPage, CleanupButtonsPage},
    {"scroll", IDD_GALLERY_SCROLL, InitScrollPage, nullptr},
    {"animate", IDD_GALLERY_ANIMATE, InitAnimatePage, nullptr},
    {"bars", IDD_GALLERY_BARS, InitBarsPage, nullptr},
    {"tabs", IDD_GALLERY_TABS, InitTabsPage, nullptr},
    {"lists", IDD_GALLERY_LISTS, InitListsPage, nullptr},
};

// The common controls' window classes, registered before a page that
// holds them is made.
void RegisterCommonControls()
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&classes);
}

// What the dialog procedure keeps of its page and how it was opened.
struct PageRun {
    const GalleryPage* page;
    bool modal;
};

INT_PTR CALLBACK GalleryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* run = reinterpret_cast<const PageRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        run = reinterpret_cast<const PageRun*>(lParam);
        if (run->page && run->page->init)
            run->page->init(dialog);
        SetWindowPos(dialog, nullptr, kGalleryX, kGalleryY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // A page that placed the focus itself keeps it.
        return IsChild(dialog, GetFocus()) ? FALSE : TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        if (run && run->modal)
            EndDialog(dialog, LOWORD(wParam));
        else
            DestroyWindow(dialog);
        return TRUE;
    case WM_DRAWITEM:
        return DrawOwnerDrawnItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_DESTROY:
        if (run && run->page && run->page->cleanup)
            run->page->cleanup(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

const GalleryPage* GalleryPages(int& count)
{
    count = static_cast<int>(sizeof kPages / sizeof kPages[0]);
    return kPages;
}

const GalleryPage* FindGalleryPage(const char* name)
{
    for (const GalleryPage& page : kPages)
        if (lstrcmpA(page.name, name) == 0)
            return &page;
    return nullptr;
}

HWND CreateGalleryDialog(HINSTANCE module, const GalleryPage* page)
{
    // Modeless pages live as long as the process: their run never moves.
    static PageRun runs[sizeof kPages / sizeof kPages[0]];
    const GalleryPage* shown = page ? page : &kPages[0];
    PageRun& run = runs[shown - kPages];
    run = {shown, false};
    RegisterCommonControls();
    HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(shown->dialogId), nullptr, GalleryProc,
                                     reinterpret_cast<LPARAM>(&run));
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}

INT_PTR RunGalleryDialog(HINSTANCE module, const GalleryPage* page)
{
    PageRun run = {page ? page : &kPages[0], true};
    RegisterCommonControls();
    return DialogBoxParamA(module, MAKEINTRESOURCEA(run.page->dialogId), nullptr, GalleryProc,
                           reinterpret_cast<LPARAM>(&run));
}

INT_PTR RunAboutBox(HINSTANCE module)
{
    PageRun run = {nullptr, true};
    return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr, GalleryProc,
                           reinterpret_cast<LPARAM>(&run));
}
