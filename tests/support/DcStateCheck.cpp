#include "DcStateCheck.h"

#include "imaging/GdiObject.h"

#include <sstream>
#include <string>

namespace {

// The DC's clip region as region data; false when it has none.
bool ClipRegionData(HDC dc, std::vector<BYTE>& data)
{
    data.clear();
    Region clip(CreateRectRgn(0, 0, 0, 0));
    if (GetClipRgn(dc, clip) != 1)
        return false;
    const DWORD size = GetRegionData(clip, 0, nullptr);
    data.resize(size);
    if (size == 0 || GetRegionData(clip, size, reinterpret_cast<RGNDATA*>(data.data())) != size)
        data.clear();
    return true;
}

// Compares as regions, not as bytes: equal areas may be stored in
// different rectangle lists.
bool SameRegion(const std::vector<BYTE>& a, const std::vector<BYTE>& b)
{
    if (a.empty() || b.empty())
        return a == b;
    Region first(ExtCreateRegion(nullptr, static_cast<DWORD>(a.size()), reinterpret_cast<const RGNDATA*>(a.data())));
    Region second(ExtCreateRegion(nullptr, static_cast<DWORD>(b.size()), reinterpret_cast<const RGNDATA*>(b.data())));
    return first && second && EqualRgn(first, second);
}

POINT WindowOrigin(HDC dc)
{
    POINT origin = {};
    GetWindowOrgEx(dc, &origin);
    return origin;
}

POINT ViewportOrigin(HDC dc)
{
    POINT origin = {};
    GetViewportOrgEx(dc, &origin);
    return origin;
}

class Differences {
public:
    template <typename Value>
    void Compare(const char* what, const Value& before, const Value& now)
    {
        if (before == now)
            return;
        // Handles, colours and mode flags all read best in hexadecimal.
        text_ << (count_++ ? "; " : "") << what << std::hex << std::showbase << " was " << before << ", is "
              << now << std::dec << std::noshowbase;
    }

    void Compare(const char* what, POINT before, POINT now)
    {
        if (before.x != now.x || before.y != now.y)
            text_ << (count_++ ? "; " : "") << what << " was (" << before.x << "," << before.y << "), is ("
                  << now.x << "," << now.y << ")";
    }

    void Note(const char* what) { text_ << (count_++ ? "; " : "") << what; }

    testing::AssertionResult Result() const
    {
        if (count_ == 0)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the painter left the DC changed: " << text_.str();
    }

private:
    std::ostringstream text_;
    int count_ = 0;
};

}  // namespace

DcState::DcState(HDC dc)
    : bitmap_(GetCurrentObject(dc, OBJ_BITMAP)),
      font_(GetCurrentObject(dc, OBJ_FONT)),
      brush_(GetCurrentObject(dc, OBJ_BRUSH)),
      pen_(GetCurrentObject(dc, OBJ_PEN)),
      palette_(GetCurrentObject(dc, OBJ_PAL)),
      textColour_(GetTextColor(dc)),
      backColour_(GetBkColor(dc)),
      backMode_(GetBkMode(dc)),
      rop2_(GetROP2(dc)),
      stretchMode_(GetStretchBltMode(dc)),
      textAlign_(GetTextAlign(dc)),
      windowOrigin_(WindowOrigin(dc)),
      viewportOrigin_(ViewportOrigin(dc)),
      hasClip_(false)
{
    hasClip_ = ClipRegionData(dc, clip_);
}

testing::AssertionResult DcState::Unchanged(HDC dc) const
{
    const DcState now(dc);
    Differences differences;
    differences.Compare("selected bitmap", bitmap_, now.bitmap_);
    differences.Compare("selected font", font_, now.font_);
    differences.Compare("selected brush", brush_, now.brush_);
    differences.Compare("selected pen", pen_, now.pen_);
    differences.Compare("selected palette", palette_, now.palette_);
    differences.Compare("text colour", textColour_, now.textColour_);
    differences.Compare("background colour", backColour_, now.backColour_);
    differences.Compare("background mode", backMode_, now.backMode_);
    differences.Compare("raster operation", rop2_, now.rop2_);
    differences.Compare("stretch mode", stretchMode_, now.stretchMode_);
    differences.Compare("text alignment", textAlign_, now.textAlign_);
    differences.Compare("window origin", windowOrigin_, now.windowOrigin_);
    differences.Compare("viewport origin", viewportOrigin_, now.viewportOrigin_);
    if (hasClip_ != now.hasClip_)
        differences.Note(hasClip_ ? "clip region removed" : "clip region added");
    else if (hasClip_ && !SameRegion(clip_, now.clip_))
        differences.Note("clip region changed");
    return differences.Result();
}
