// The program carries our skin as the resource the engine loads at start-up.
#include "data/MemoryStream.h"
#include "data/SkinStore.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(SkinResource, EmbeddedSkinLoadsWithAllItsObjectsAndImages)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, "SKINRES", "VELTRAMOX");
    ASSERT_NE(nullptr, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* bytes = LockResource(LoadResource(module, resource));
    ASSERT_NE(nullptr, bytes);

    MemoryStream container(bytes, static_cast<int32_t>(size));
    SkinStore store;
    ASSERT_TRUE(store.Load(container));
    EXPECT_EQ(26u, store.Objects().size());
    EXPECT_EQ(6u, store.Images().size());
    EXPECT_NE(nullptr, store.FindObject("MainFrame"));
    EXPECT_NE(nullptr, store.FindObject("DialogCLose"));
}

}  // namespace
