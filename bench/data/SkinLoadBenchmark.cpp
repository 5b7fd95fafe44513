// Loads the default skin as the engine does and prints the median time of
// each stage: unpacking, reading the records (with the bitmaps decoded on
// the way), decoding the bitmaps alone, resolving (fonts, frame pieces cut
// out with their regions), and the whole SkinStore::Load.
//   bench_skinload [RUNS] [CONTAINER]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinFileReader.h"
#include "data/SkinImage.h"
#include "data/SkinStore.h"

namespace {

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

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Median microseconds of `runs` calls of `stage`.
double Median(int runs, const std::function<void()>& stage)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        stage();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

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

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 51;
    const char* path = argc > 2 ? argv[2] : SSO_DEFAULT_SKIN;
    const std::vector<uint8_t> bytes = ReadFile(path);
    const MemoryStream container(bytes.data(), static_cast<int32_t>(bytes.size()));
    SkinStore store;
    if (!store.Load(container)) {
        std::fprintf(stderr, "bench_skinload: %s does not load\n", path);
        return 1;
    }

    MemoryStream unpacked;
    container.DecompressTo(unpacked);
    std::vector<std::vector<BYTE>> bitmaps;
    for (const auto& entry : store.Images()) {
        BYTE* encoded = nullptr;
        int32_t size = 0;
        if (const_cast<Image&>(entry.second->image).Encode(encoded, size, Image::FormatBmp))
            bitmaps.emplace_back(encoded, encoded + size);
        std::free(encoded);
    }

    const double unpack = Median(runs, [&] {
        MemoryStream out;
        container.DecompressTo(out);
    });
    const double read = Median(runs, [&] {
        MemoryStream stream(unpacked.Data(), unpacked.Length());
        CollectingReader collected;
        SkinFileReader reader(collected);
        reader.ReadStream(stream);
    });
    const double decode = Median(runs, [&] {
        for (const std::vector<BYTE>& bitmap : bitmaps) {
            Image image;
            image.Decode(bitmap.data(), static_cast<int32_t>(bitmap.size()), Image::FormatBmp);
        }
    });
    const double resolve = Median(runs, [&] {
        for (const auto& entry : store.Objects())
            entry.second->Resolve(store);
    });
    const double whole = Median(runs, [&] {
        SkinStore loaded;
        loaded.Load(container);
    });

    std::printf("bench_skinload: %s, %u bytes packed, %d unpacked, %u objects, %u images, %d runs\n", path,
                static_cast<unsigned>(bytes.size()), unpacked.Length(), static_cast<unsigned>(store.Objects().size()),
                static_cast<unsigned>(store.Images().size()), runs);
    std::printf("  unpack (LZO1X)                 %10.1f us\n", unpack);
    std::printf("  read records (decoding incl.)  %10.1f us\n", read);
    std::printf("    of which decoding bitmaps    %10.1f us\n", decode);
    std::printf("  resolve (fonts, regions)       %10.1f us\n", resolve);
    std::printf("  SkinStore::Load, all stages    %10.1f us\n", whole);
    return 0;
}
