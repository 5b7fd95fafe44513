// The about box as the resource compiler wrote it into the program.
#include "Resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A walk over a DIALOG template (not DIALOGEX): header, then its items,
// each on a DWORD boundary.
class DialogTemplateReader {
public:
    explicit DialogTemplateReader(const void* bytes) : at_(static_cast<const WORD*>(bytes)) {}

    const DLGTEMPLATE& Header()
    {
        const DLGTEMPLATE* header = reinterpret_cast<const DLGTEMPLATE*>(at_);
        at_ = reinterpret_cast<const WORD*>(header + 1);
        ReadNameOrOrdinal();  // menu
        ReadNameOrOrdinal();  // class
        ReadNameOrOrdinal();  // caption
        if (header->style & DS_SETFONT) {
            ++at_;  // point size
            ReadNameOrOrdinal();
        }
        return *header;
    }

    // The next item, with its class and text ("#n" for an ordinal).
    const DLGITEMTEMPLATE& Item(std::wstring& className, std::wstring& text)
    {
        AlignToDword();
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at_);
        at_ = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(item) + sizeof(DLGITEMTEMPLATE));
        className = ReadNameOrOrdinal();
        text = ReadNameOrOrdinal();
        const WORD extraBytes = *at_++;
        at_ = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at_) + extraBytes);
        return *item;
    }

private:
    std::wstring ReadNameOrOrdinal()
    {
        if (*at_ == 0xFFFF) {
            const WORD ordinal = at_[1];
            at_ += 2;
            return L"#" + std::to_wstring(ordinal);
        }
        std::wstring name;
        while (*at_)
            name += static_cast<wchar_t>(*at_++);
        ++at_;
        return name;
    }

    void AlignToDword() { at_ = reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(at_) + 3) & ~ULONG_PTR(3)); }

    const WORD* at_;
};

TEST(AboutBoxTemplate, IconControlKeepsItsTwentyByTwentyRectangle)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResource(module, MAKEINTRESOURCE(IDD_ABOUTBOX), RT_DIALOG);
    ASSERT_NE(nullptr, resource);
    DialogTemplateReader reader(LockResource(LoadResource(module, resource)));
    const DLGTEMPLATE& header = reader.Header();
    bool found = false;
    for (WORD i = 0; i < header.cdit; ++i) {
        std::wstring className, text;
        const DLGITEMTEMPLATE& item = reader.Item(className, text);
        if (item.id != IDC_ABOUT_ICON)
            continue;
        found = true;
        // The static class, by its predefined atom or by name.
        EXPECT_TRUE(className == L"#130" || _wcsicmp(className.c_str(), L"Static") == 0);
        EXPECT_EQ(L"#" + std::to_wstring(IDI_SSO), text);
        EXPECT_EQ(static_cast<DWORD>(SS_ICON), item.style & SS_TYPEMASK);
        EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE), item.style & (WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(14, item.x);
        EXPECT_EQ(9, item.y);
        EXPECT_EQ(20, item.cx);
        EXPECT_EQ(20, item.cy);
    }
    EXPECT_TRUE(found);
}

}  // namespace
