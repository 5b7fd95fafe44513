#include "data/PreparedImage.h"

#include "imaging/Regions.h"

HRGN PreparedImage::Region() const
{
    const std::lock_guard<std::mutex> guard(regionLock_);
    if (!regionMade_ && keyed_ && image) {
        region_.reset(CreateRegionFromImage(*image, key_));
        regionMade_ = true;
    }
    return region_.get();
}

void PreparedImage::RegionDeleter::operator()(HRGN region) const
{
    DeleteObject(region);
}
