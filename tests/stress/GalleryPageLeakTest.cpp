// The stress run allows each page it makes again only what the system
// itself keeps of it: a page made and destroyed skinned may keep no more.
#include <gtest/gtest.h>

#include "GalleryDialog.h"
#include "GdiPressure.h"
#include "SkinEngine.h"

#include <vector>

namespace {

void MakeAndDestroy(const GalleryPage& page)
{
    HWND dialog = CreateGalleryDialog(GetModuleHandleA(nullptr), &page);
    UpdateWindow(dialog);  // painting makes what must go with the page
    DestroyWindow(dialog);
}

// The GDI objects each page leaves behind over two makings.
std::vector<int> KeptByEachPage(const GalleryPage* pages, int count)
{
    std::vector<int> kept;
    for (int i = 0; i < count; ++i)
        kept.push_back(GdiObjectsKept([&] { MakeAndDestroy(pages[i]); }, 2));
    return kept;
}

}  // namespace

TEST(GalleryPageLeak, ASkinnedPageKeepsNoMoreThanTheSystemKeepsOfIt)
{
    int count = 0;
    const GalleryPage* pages = GalleryPages(count);
    const std::vector<int> unskinned = KeptByEachPage(pages, count);
    const HINSTANCE module = GetModuleHandleA(nullptr);
    ASSERT_TRUE(EngineStart(module));
    ASSERT_TRUE(LoadSkinFromResource(module, "SKINRES", "VELTRAMOX"));
    SetDialogSkinName("Dialog");
    const std::vector<int> skinned = KeptByEachPage(pages, count);
    EngineStop();
    for (int i = 0; i < count; ++i)
        EXPECT_LE(skinned[i], unskinned[i]) << pages[i].name << ": " << unskinned[i] << " unskinned";
}
