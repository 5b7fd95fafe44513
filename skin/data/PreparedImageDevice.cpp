#include "data/PreparedImage.h"

#include "imaging/GdiObject.h"
#include "imaging/Image.h"
#include "imaging/Regions.h"

HRGN CreatePreparedRegion(const Image& image, COLORREF transparentColour)
{
    const Bitmap device(image.MakeBitmap(nullptr));
    return CreateRegionFromBitmap(device, transparentColour);
}

void DeletePreparedRegion(HRGN region)
{
    const Region owned(region);
}
