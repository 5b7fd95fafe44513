// The device side of resolving has no place in a native build: no fonts or
// regions are made, everything else of the resolve step runs.
#include "data/PreparedImage.h"
#include "data/SkinFontHandle.h"

SkinFontHandle::~SkinFontHandle() {}
void SkinFontHandle::Create(const SkinFont&) {}
void SkinFontHandle::Reset() {}
void PreparedImage::RegionDeleter::operator()(HRGN) const {}
