// Loads the default skin as the engine does and prints, for the whole
// SkinStore::Load and for each of its stages (unpacking, reading the
// records with the bitmaps decoded on the way, resolving), the median time
// next to the floor of unpacking alone (LZO1X of the same stream into a
// buffer that already exists), with the goal of each. The window regions
// of the frame pieces, built on first use rather than at load, are timed
// on their own.
//   bench_skinload [RUNS] [CONTAINER]
#include <windows.h>

#include <lzo/lzo1x.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Measure.h"
#include "data/FrameSkin.h"
#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinFileReader.h"
#include "data/SkinImage.h"
#include "data/SkinInfo.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/GdiObject.h"
#include "imaging/Regions.h"

namespace {

const double kLoadGoal = 1500;
const double kUnpackGoal = 100;
const double kResolveGoal = 300;

// Keeps what the reader finds so that nothing is resolved.
class CollectingReader : public ReadContext {
public:
    CollectingReader() : ReadContext(kSkinNewestMinorVersion) {}

    void TakeObject(int32_t, std::unique_ptr<SkinObject> object) override { objects.push_back(std::move(object)); }
    void SkipObject(int32_t) override {}
    void TakeImage(std::unique_ptr<SkinImage> image) override { images.push_back(std::move(image)); }
    void TakeExtraObject(std::unique_ptr<SkinObject> object) override { objects.push_back(std::move(object)); }

    std::vector<std::unique_ptr<SkinObject>> objects;
    std::vector<std::unique_ptr<SkinImage>> images;
};

std::vector<uint8_t> ReadFile(const char* path)
{
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}

// The prepared frame pieces of the store, with the key their regions use.
std::vector<const Image*> PreparedPieces(const SkinStore& store)
{
    std::vector<const Image*> pieces;
    for (const auto& entry : store.Objects())
        if (const FrameSkinBase* frame = dynamic_cast<const FrameSkinBase*>(entry.second.get()))
            for (const PreparedImage& piece : frame->preparedImages)
                if (piece.image)
                    pieces.push_back(piece.image.get());
    return pieces;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 51;
    const char* path = argc > 2 ? argv[2] : SSO_DEFAULT_SKIN;
    const std::vector<uint8_t> bytes = ReadFile(path);
    const MemoryStream container(bytes.data(), static_cast<int32_t>(bytes.size()));
    SkinStore store;
    if (!store.Load(container) || lzo_init() != LZO_E_OK) {
        std::fprintf(stderr, "bench_skinload: %s does not load\n", path);
        return 1;
    }
    MemoryStream unpacked;
    container.DecompressTo(unpacked);

    std::vector<uint8_t> kept(static_cast<size_t>(unpacked.Length()));
    const auto lzoAlone = [&] {
        lzo_uint produced = kept.size();
        lzo1x_decompress_safe(bytes.data() + 4, static_cast<lzo_uint>(bytes.size() - 4), kept.data(), &produced,
                              nullptr);
    };
    const Timing whole = MeasureAgainst(runs, [&] {
        SkinStore loaded;
        loaded.Load(container);
    }, lzoAlone);
    const Timing unpack = MeasureAgainst(runs, [&] {
        MemoryStream out;
        container.DecompressTo(out);
    }, lzoAlone);
    const Timing read = MeasureAgainst(runs, [&] {
        MemoryStream stream(unpacked.Data(), unpacked.Length());
        CollectingReader collected;
        SkinFileReader reader(collected);
        reader.ReadStream(stream);
    }, lzoAlone);
    const Timing resolve = MeasureAgainst(runs, [&] {
        for (const auto& entry : store.Objects())
            entry.second->Resolve(store);
    }, lzoAlone);

    const SkinInfo* info = static_cast<const SkinInfo*>(store.FindObjectByType(kTypeSkinInfo));
    const COLORREF key = info ? info->keyColour : RGB(255, 0, 255);
    const std::vector<const Image*> pieces = PreparedPieces(store);
    const Timing regions = MeasureAgainst(runs, [&] {
        for (const Image* piece : pieces)
            Region region(CreateRegionFromImage(*piece, key));
    }, lzoAlone);

    std::printf("bench_skinload: %s, %u bytes packed, %d unpacked, %u objects, %u images, %d runs\n", path,
                static_cast<unsigned>(bytes.size()), unpacked.Length(), static_cast<unsigned>(store.Objects().size()),
                static_cast<unsigned>(store.Images().size()), runs);
    PrintTableHeader("LZO1X us");
    PrintTimeRow("SkinStore::Load of the default skin", whole, kLoadGoal);
    PrintTimeRow("  unpack into the stream's own buffer", unpack, kUnpackGoal);
    PrintShareRow("  read records (bitmaps decoded)", read);
    PrintTimeRow("  resolve (fonts, pieces cut out)", resolve, kResolveGoal);
    char name[64];
    std::snprintf(name, sizeof name, "regions of all %u frame pieces, on first use",
                  static_cast<unsigned>(pieces.size()));
    PrintShareRow(name, regions);
    std::printf("  per piece: %.1f us\n", pieces.empty() ? 0.0 : regions.median / static_cast<double>(pieces.size()));
    return 0;
}
