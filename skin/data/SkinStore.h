// A loaded skin: the objects of the file, its bitmaps and its extra
// objects, each in a table ordered by name, guarded by one re-entrant lock.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively (the
// resolve step reaches GDI only through the objects' resources).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "data/SkinFileReader.h"
#include "data/SkinImage.h"
#include "data/SkinObject.h"
#include "imaging/ImageRef.h"

class MemoryStream;

// What the last successful load found in its container.
struct SkinLoadInfo {
    SkinVersion version;
    uint32_t declaredObjects;
    int32_t streamLength;  // unpacked bytes
    int32_t bytesRead;     // of them, the bytes the sections used
};

class SkinStore : public ImageSource {
public:
    using ObjectTable = std::map<std::string, std::unique_ptr<SkinObject>>;
    using ImageTable = std::map<std::string, std::unique_ptr<SkinImage>>;

    SkinStore();
    ~SkinStore();

    SkinStore(const SkinStore&) = delete;
    SkinStore& operator=(const SkinStore&) = delete;

    // Empties the store, then unpacks and reads the container and resolves
    // every top-level object. False (and an empty store) when the container
    // does not unpack or its header is refused.
    bool Load(const MemoryStream& container);
    // Destroys every object, image and extra object; the container version
    // rules go back to 1.11.
    void Clear();

    // A top-level object of that name; else a child of one (name order,
    // depth first); else an image; else an extra object. Exact names.
    SkinObject* FindObject(const char* name);
    // The first top-level object in name order of that type code; a request
    // for 24 (control bars) looks for 23 (toolbars).
    SkinObject* FindObjectByType(int32_t typeCode);
    // The bitmap of the image of that name.
    Image* FindImage(const char* name) const override;

    const SkinHeader& Header() const { return header_; }
    const SkinLoadInfo& LoadInfo() const { return loadInfo_; }
    const ObjectTable& Objects() const { return objects_; }
    const ImageTable& Images() const { return images_; }
    const ObjectTable& ExtraObjects() const { return extraObjects_; }

private:
    class TableReader;

    void ClearLocked();

    mutable std::recursive_mutex lock_;
    ImageTable images_;
    ObjectTable extraObjects_;
    SkinHeader header_;
    ObjectTable objects_;
    SkinLoadInfo loadInfo_;
};
