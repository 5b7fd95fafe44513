#include "data/PreparedImage.h"

#include "data/SkinInfo.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/ImageRef.h"

void ReleasePreparedImage(PreparedImage& prepared)
{
    const std::lock_guard<std::mutex> guard(prepared.regionLock_);
    prepared.image.reset();
    prepared.region_.reset();
    prepared.regionMade_ = false;
    prepared.keyed_ = false;
    prepared.key_ = 0;
    prepared.width = prepared.height = prepared.reserved = 0;
}

void PrepareImageRef(SkinStore& store, const ImageRef& ref, PreparedImage& out)
{
    const SkinInfo* info = static_cast<const SkinInfo*>(store.FindObjectByType(kTypeSkinInfo));

    ReleasePreparedImage(out);
    Image* bitmap = store.FindImage(ref.name);
    if (!bitmap)
        return;
    std::unique_ptr<Image> cut(new Image());
    if (!bitmap->Crop(ref.source.left, ref.source.top, ref.source.right, ref.source.bottom, cut.get()))
        return;
    out.keyed_ = info && info->useTransparentColour;
    out.key_ = info ? info->keyColour : 0;
    out.width = cut->GetWidth();
    out.height = cut->GetHeight();
    out.image = std::move(cut);
}
