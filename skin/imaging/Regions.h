// Window regions built from colour-keyed bitmaps, and their scaling and
// tiling. Every function returns a new region that the caller deletes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class Image;

// The opaque pixels of a device bitmap: pixels whose colour differs from
// `transparentColour` (a COLORREF). A bitmap without opaque pixels gives an
// empty region; an unreadable bitmap gives null.
HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF transparentColour);

// The same region read straight from an image's own pixels: pixels whose
// colour differs from `transparentColour`. One pass over the pixels and one
// ExtCreateRegion; no bitmap is made.
HRGN CreateRegionFromImage(const Image& image, COLORREF transparentColour);

// A copy of `region` scaled by (scaleX, scaleY) about the origin, then
// moved by (dx, dy); null when the copy cannot be made.
HRGN ScaleRegion(HRGN region, float scaleX, float scaleY, int dx, int dy);

// Copies of `region` placed every cellWidth x cellHeight from (left, top),
// united and cut to the rectangle (left, top, right, bottom).
HRGN TileRegion(HRGN region, int cellWidth, int cellHeight, int left, int top, int right, int bottom);

// Appends one rectangle (x0, y, x1, y + 1) per horizontal run of pixels of
// `row` (32-bit 0x00RRGGBB values) whose colour, masked by `compareMask`,
// differs from `key` masked likewise.
void AppendOpaqueRuns(const uint32_t* row, int width, int y, uint32_t key, uint32_t compareMask,
                      std::vector<RECT>& runs);

// A region made of the given rectangles in one ExtCreateRegion call;
// null when the data block cannot be built.
HRGN CreateRegionFromRects(const std::vector<RECT>& rects);
