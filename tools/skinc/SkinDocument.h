// Everything a skin container holds, in file order: the header's version
// and text, the object section (with bare type codes and repeated names
// kept), the images and the extra objects, and each object's child list.
// The skin source text and the container are two forms of one document.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/SkinImage.h"
#include "data/SkinObject.h"
#include "data/SkinVersion.h"

class MemoryStream;

// The container of an unpacked skin stream: uint32 length, then the
// stream compressed with LZO1X-999.
bool PackContainer(const uint8_t* stream, size_t length, std::vector<uint8_t>& container);

// One entry of the object section or of a child list.
struct DocumentEntry {
    int32_t code;                        // the type code written
    std::unique_ptr<SkinObject> object;  // null for a bare code
};

class SkinDocument {
public:
    using EntryList = std::vector<DocumentEntry>;

    static const char* const kDefaultBuilderText;

    SkinVersion version = {kSkinMajorVersion, kSkinNewestMinorVersion};
    std::string builderText = kDefaultBuilderText;
    // The header's object count when it is not the number of entries.
    bool countOverridden = false;
    uint32_t declaredCount = 0;

    EntryList objects;
    std::vector<std::unique_ptr<SkinImage>> images;
    std::vector<std::unique_ptr<SkinObject>> extraObjects;

    // The child list of an object of this document (created empty).
    EntryList& ChildrenOf(const SkinObject& parent) { return children_[&parent]; }
    const EntryList* FindChildren(const SkinObject& parent) const;

    uint32_t HeaderObjectCount() const;

    // The unpacked skin stream of this document.
    bool WriteStream(MemoryStream& stream);
    // The container: uint32 unpacked length, then the stream compressed
    // with LZO1X-999.
    bool WriteContainer(std::vector<uint8_t>& container);

    // Reads a container as stored: every entry in file order, no version
    // fix-ups. Returns false when the engine would refuse the container.
    bool ReadContainer(const MemoryStream& container);

private:
    class Reader;
    class Writer;

    std::map<const SkinObject*, EntryList> children_;
};
