#include "StressEvents.h"

#include <algorithm>
#include <cstdio>

namespace {

// How often each kind comes, out of the sum: mostly the mouse and keys,
// now and then the window's state, rarely a change of skin.
struct KindWeight {
    StressKind kind;
    int weight;
};

const KindWeight kWeights[] = {
    {StressKind::Move, 24},    {StressKind::Click, 14},   {StressKind::DoubleClick, 5}, {StressKind::RightClick, 3},
    {StressKind::Drag, 8},     {StressKind::Wheel, 4},    {StressKind::Key, 25},        {StressKind::Resize, 3},
    {StressKind::Minimise, 1}, {StressKind::Maximise, 2}, {StressKind::Restore, 2},     {StressKind::SwitchSkin, 1},
    {StressKind::Raise, 8},
};

// The keys a user presses at a skinned window, menus and dialogs alike.
const WORD kKeys[] = {VK_F10,    VK_ESCAPE, VK_TAB,   VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN,
                      VK_RETURN, VK_SPACE,  VK_PRIOR, VK_NEXT, VK_HOME,  VK_END};

const char* const kKindNames[] = {"move",   "click",    "double click", "right click", "drag",        "wheel", "key",
                                  "resize", "minimise", "maximise",     "restore",     "skin change", "raise"};

const char* const kZoneNames[] = {"anywhere", "caption band", "edge"};

// The frame's edges and corners: a band this wide inside the rectangle.
const int kEdgeBand = 6;
const int kCaptionBand = 44;

int Along(int from, int to, int fraction)
{
    return from + static_cast<int>((static_cast<long long>(to - from - 1) * fraction) / 9999);
}

}  // namespace

StressEventStream::StressEventStream(uint32_t seed, int windowCount) : random_(seed), windowCount_(windowCount) {}

int StressEventStream::Uniform(int low, int high)
{
    return low + static_cast<int>(random_() % static_cast<uint32_t>(high - low + 1));
}

StressPlace StressEventStream::Place()
{
    const int zone = Uniform(0, 9);
    return {zone < 4   ? StressZone::Anywhere
            : zone < 8 ? StressZone::CaptionBand
                       : StressZone::Edge,
            Uniform(0, 9999), Uniform(0, 9999)};
}

void StressEventStream::ChooseKey(StressEvent& event)
{
    const int choice = Uniform(0, 9);
    if (choice < 3) {
        // Alt and a letter: menu mnemonics, and keys no item has.
        event.key = static_cast<WORD>('A' + Uniform(0, 25));
        event.alt = true;
    } else if (choice == 3) {
        event.key = VK_SPACE;
        event.alt = true;
    } else {
        event.key = kKeys[Uniform(0, sizeof kKeys / sizeof kKeys[0] - 1)];
        event.shift = event.key == VK_TAB && Uniform(0, 1) == 1;
    }
}

StressEvent StressEventStream::Next()
{
    int total = 0;
    for (const KindWeight& entry : kWeights)
        total += entry.weight;
    int pick = Uniform(0, total - 1);
    StressKind kind = kWeights[0].kind;
    for (const KindWeight& entry : kWeights) {
        if (pick < entry.weight) {
            kind = entry.kind;
            break;
        }
        pick -= entry.weight;
    }
    if (kind == StressKind::Raise)
        window_ = Uniform(0, windowCount_ - 1);
    StressEvent event = {kind, window_, Place(), Place(), 0, false, false, 0, 0};
    if (kind == StressKind::Key)
        ChooseKey(event);
    else if (kind == StressKind::Wheel)
        event.amount = Uniform(-3, 3);
    else if (kind == StressKind::Resize) {
        event.amount = Uniform(60, 700);
        event.height = Uniform(40, 560);
    }
    return event;
}

POINT ResolvePlace(const StressPlace& place, const RECT& rect)
{
    const int x = Along(rect.left, rect.right, place.across);
    const int y = Along(rect.top, rect.bottom, place.down);
    switch (place.zone) {
    case StressZone::CaptionBand:
        return {x, Along(rect.top, std::min<int>(rect.bottom, rect.top + kCaptionBand), place.down)};
    case StressZone::Edge: {
        // The quarter of `down` picks the side, the rest how far in; a band
        // never deeper than the window.
        const int side = place.down / 2500;
        const int across = side < 2 ? rect.bottom - rect.top : rect.right - rect.left;
        const int depth = Along(0, std::min(kEdgeBand, across), (place.down % 2500) * 4);
        switch (side) {
        case 0:
            return {x, rect.top + depth};
        case 1:
            return {x, rect.bottom - 1 - depth};
        case 2:
            return {rect.left + depth, y};
        default:
            return {rect.right - 1 - depth, y};
        }
    }
    default:
        return {x, y};
    }
}

std::string Describe(const StressEvent& event)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s on window %d at %s %d,%d key %u%s%s amount %d", kKindNames[int(event.kind)],
                  event.window, kZoneNames[int(event.from.zone)], event.from.across, event.from.down, event.key,
                  event.alt ? " alt" : "", event.shift ? " shift" : "", event.amount);
    return text;
}
