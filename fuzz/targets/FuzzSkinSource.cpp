// Fuzzes the skin source reader behind "skinc build": the line lexer, the
// header, entries, fields of every kind, children, menu bars and custom
// values. Whatever it accepts must survive the trip the skin tools promise:
// the built stream, read back as a container and dumped to source, builds
// to the same bytes.
//
// The input is the source text; bytes after its first NUL are the BMP file
// that every "file = ..." line reads (none without a NUL).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/MemoryStream.h"
#include "FileBytes.h"
#include "QuickPack.h"
#include "SkinDocument.h"
#include "SkinSourceParser.h"
#include "SkinSourceWriter.h"

namespace {

const char kSourcePath[] = "skin.txt";

// Files of the current run: the dump's bitmaps by name, or else the BMP of
// the input under every name.
const std::vector<SkinSourceWriter::BitmapFile>* g_dumpedBitmaps = nullptr;
std::vector<uint8_t> g_inputBitmap;
bool g_haveInputBitmap = false;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// A bare type code ("skip") or a forced header count makes a container on
// purpose that the reader takes apart differently; the round trip holds for
// the others. Children nest to any depth, so the walk keeps its own list.
bool HasBareCodes(const SkinDocument& document)
{
    std::vector<SkinObject*> pending;
    const auto take = [&pending](const SkinDocument::EntryList& entries) {
        for (const DocumentEntry& entry : entries) {
            if (!entry.object)
                return true;
            pending.push_back(entry.object.get());
        }
        return false;
    };
    if (take(document.objects))
        return true;
    while (!pending.empty()) {
        SkinObject& object = *pending.back();
        pending.pop_back();
        const SkinDocument::EntryList* children = document.FindChildren(object);
        if (children && take(*children))
            return true;
        for (const RecordStep& step : object.GetSchema().steps)
            if (step.kind == StepKind::Embedded)
                pending.push_back(&step.embedded(object));
    }
    return false;
}

std::vector<uint8_t> BuildStream(SkinDocument& document)
{
    MemoryStream stream(MemoryStream::kSkinGrowStep);
    Require(document.WriteStream(stream));
    return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.Length());
}

void CheckDumpRebuilds(const std::vector<uint8_t>& built)
{
    const std::vector<uint8_t> container = QuickPack(built.data(), built.size());
    SkinDocument read;
    if (!read.ReadContainer(MemoryStream(container.data(), static_cast<int32_t>(container.size()))))
        return;
    SkinSourceWriter writer;
    const std::string dumped = writer.Write(read);
    g_dumpedBitmaps = &writer.Bitmaps();
    SkinDocument rebuilt;
    SkinSourceParser parser(kSourcePath, dumped);
    parser.Parse(rebuilt);
    g_dumpedBitmaps = nullptr;
    Require(BuildStream(rebuilt) == built);
}

}  // namespace

// The bitmaps come from the input or the dump, never from the disk.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes)
{
    if (g_dumpedBitmaps) {
        for (const SkinSourceWriter::BitmapFile& bitmap : *g_dumpedBitmaps)
            if (bitmap.fileName == path) {
                bytes = bitmap.bytes;
                return true;
            }
        return false;
    }
    bytes = g_inputBitmap;
    return g_haveInputBitmap;
}

std::string DirectoryOf(const std::string&)
{
    return "";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* end = data + size;
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    g_haveInputBitmap = nul != nullptr;
    g_inputBitmap.assign(nul ? nul + 1 : end, end);
    SkinDocument document;
    SkinSourceParser parser(kSourcePath, std::string(data, nul ? nul : end));
    try {
        parser.Parse(document);
    } catch (const SourceError&) {
        return 0;
    }
    if (!document.countOverridden && !HasBareCodes(document))
        CheckDumpRebuilds(BuildStream(document));
    return 0;
}
