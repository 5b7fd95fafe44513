#include "data/PreparedImage.h"

#include <memory>

#include "data/SkinInfo.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/Image.h"
#include "imaging/ImageRef.h"

PreparedImage::~PreparedImage()
{
    ReleasePreparedImage(*this);
}

void ReleasePreparedImage(PreparedImage& prepared)
{
    delete prepared.image;
    DeletePreparedRegion(prepared.region);
    prepared.width = prepared.height = prepared.reserved = 0;
    prepared.region = nullptr;
    prepared.image = nullptr;
}

void PrepareImageRef(SkinStore& store, const ImageRef& ref, PreparedImage& out)
{
    const SkinInfo* info = static_cast<const SkinInfo*>(store.FindObjectByType(kTypeSkinInfo));
    const bool buildRegion = info && info->useTransparentColour;

    ReleasePreparedImage(out);
    Image* bitmap = store.FindImage(ref.name);
    if (!bitmap)
        return;
    std::unique_ptr<Image> cut(new Image());
    if (!bitmap->Crop(ref.source.left, ref.source.top, ref.source.right, ref.source.bottom, cut.get()))
        return;
    if (buildRegion)
        out.region = CreatePreparedRegion(*cut, info->keyColour);
    out.width = cut->GetWidth();
    out.height = cut->GetHeight();
    out.image = cut.release();
}
