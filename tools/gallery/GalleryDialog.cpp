#include "GalleryDialog.h"

#include "GalleryIds.h"
#include "Resource.h"
#include "imaging/GdiObject.h"

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

void SetStates(HWND dialog)
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
}

const LPARAM kModal = 1;

INT_PTR CALLBACK GalleryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetStates(dialog);
        SetWindowPos(dialog, nullptr, kGalleryX, kGalleryY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetFocus(GetDlgItem(dialog, IDC_PUSH_FOCUSED));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        if (GetWindowLongPtrA(dialog, DWLP_USER) == kModal)
            EndDialog(dialog, LOWORD(wParam));
        else
            DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY: {
        // The static does not own the picture it shows.
        const auto picture = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(dialog, IDC_STATIC_BITMAP, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (picture)
            DeleteObject(picture);
        return FALSE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

HWND CreateGalleryDialog(HINSTANCE module)
{
    HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_GALLERY), nullptr, GalleryProc, 0);
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}

INT_PTR RunGalleryDialog(HINSTANCE module)
{
    return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_GALLERY), nullptr, GalleryProc, kModal);
}

INT_PTR RunAboutBox(HINSTANCE module)
{
    return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr, GalleryProc, kModal);
}
