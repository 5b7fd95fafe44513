// skinc: the skin compiler. Builds skin containers from skin source,
// dumps containers back to source, checks containers as the engine loads
// them, re-encodes bitmaps, and lists the object types' fields.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "FileBytes.h"
#include "SkinDocument.h"
#include "SkinSourceParser.h"
#include "SkinSourceWriter.h"
#include "ValueText.h"

namespace {

const char kUsage[] =
    "usage: skinc build SOURCE -o FILE    skin source and its BMPs to a skin container\n"
    "       skinc dump FILE [-o SOURCE]   a container to source (BMPs beside SOURCE)\n"
    "       skinc check FILE              load a container as the engine does\n"
    "       skinc image IN.bmp OUT.bmp    decode and re-encode a bitmap\n"
    "       skinc unpack FILE -o STREAM   the unpacked skin stream of a container\n"
    "       skinc schema [TYPE]           every field of every object type\n";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "skinc: %s\n", message.c_str());
    return 1;
}

// The value after "-o", or "" when there is none.
std::string OutputOption(int argc, char** argv, int from)
{
    for (int i = from; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-o") == 0)
            return argv[i + 1];
    return "";
}

bool LoadContainer(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    if (!ReadFileBytes(path, bytes)) {
        error = path + ": cannot read";
        return false;
    }
    return true;
}

// Why the engine would refuse a container, for the messages below.
std::string RefusalReason(const MemoryStream& container)
{
    MemoryStream stream(MemoryStream::kSkinGrowStep);
    if (!container.DecompressTo(stream))
        return "it does not unpack (not an LZO1X container of its declared length)";
    return "its header is refused (short, wrong magic, or major version other than 1)";
}

int Build(int argc, char** argv)
{
    const std::string output = OutputOption(argc, argv, 3);
    if (argc != 5 || output.empty())
        return Fail(std::string("build needs SOURCE -o FILE\n") + kUsage);
    SkinDocument document;
    SkinSourceParser parser(argv[2]);
    try {
        parser.Parse(document);
    } catch (const SourceError& error) {
        return Fail(error.what());
    }
    for (const std::string& warning : parser.Warnings())
        std::fprintf(stderr, "skinc: warning: %s\n", warning.c_str());
    std::vector<uint8_t> container;
    if (!document.WriteContainer(container))
        return Fail(std::string(argv[2]) + ": the container could not be compressed");
    if (!WriteFileBytes(output, container.data(), container.size()))
        return Fail(output + ": cannot write");
    return 0;
}

int Dump(int argc, char** argv)
{
    const std::string output = OutputOption(argc, argv, 3);
    if (argc != 3 && !(argc == 5 && !output.empty()))
        return Fail(std::string("dump needs FILE [-o SOURCE]\n") + kUsage);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!LoadContainer(argv[2], bytes, error))
        return Fail(error);
    const MemoryStream container(bytes.data(), static_cast<int32_t>(bytes.size()));
    SkinDocument document;
    if (!document.ReadContainer(container))
        return Fail(std::string(argv[2]) + ": not a skin container: " + RefusalReason(container));
    SkinSourceWriter writer;
    const std::string text = writer.Write(document);
    const std::string directory = DirectoryOf(output);
    for (const SkinSourceWriter::BitmapFile& bitmap : writer.Bitmaps())
        if (!WriteFileBytes(directory + bitmap.fileName, bitmap.bytes.data(), bitmap.bytes.size()))
            return Fail(directory + bitmap.fileName + ": cannot write");
    if (output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    return WriteFileBytes(output, text.data(), text.size()) ? 0 : Fail(output + ": cannot write");
}

// Lists an object and its children, depth first. Children nest as deep as
// the container holds them, so the walk keeps its own stack. Indentation
// shows the first levels; past them a line names its level instead, so the
// listing keeps its nesting at any depth without growing with its square.
void PrintObject(const SkinObject& top, int depth)
{
    const int kMaxIndentLevels = 32;
    std::vector<std::pair<const SkinObject*, int>> pending(1, {&top, depth});
    while (!pending.empty()) {
        const SkinObject& object = *pending.back().first;
        const int level = pending.back().second;
        pending.pop_back();
        const char* type = SkinTypeName(object.TypeCode());
        const std::string deep = level > kMaxIndentLevels ? "[level " + std::to_string(level) + "] " : "";
        std::printf("%*s%s%s  %s (%d)\n", std::min(level, kMaxIndentLevels) * 2, "", deep.c_str(), object.Name(),
                    type ? type : "?", static_cast<int>(object.TypeCode()));
        for (auto child = object.Children().rbegin(); child != object.Children().rend(); ++child)
            pending.push_back({child->second.get(), level + 1});
    }
}

int Check(int argc, char** argv)
{
    if (argc != 3)
        return Fail(std::string("check needs FILE\n") + kUsage);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!LoadContainer(argv[2], bytes, error))
        return Fail(error);
    const MemoryStream container(bytes.data(), static_cast<int32_t>(bytes.size()));
    SkinStore store;
    if (!store.Load(container))
        return Fail(std::string(argv[2]) + ": the engine refuses it: " + RefusalReason(container));
    const SkinLoadInfo& info = store.LoadInfo();
    std::printf("container: %u bytes, unpacks to %d bytes\n", static_cast<unsigned>(bytes.size()), info.streamLength);
    std::printf("version: %u.%u, %u objects declared\n", info.version.major, info.version.minor,
                static_cast<unsigned>(info.declaredObjects));
    std::printf("read: %d of %d bytes%s\n", info.bytesRead, info.streamLength,
                info.bytesRead == info.streamLength ? " (to the last byte)" : " (bytes left over)");
    std::printf("objects: %u\n", static_cast<unsigned>(store.Objects().size()));
    for (const auto& object : store.Objects())
        PrintObject(*object.second, 1);
    std::printf("images: %u\n", static_cast<unsigned>(store.Images().size()));
    for (const auto& entry : store.Images()) {
        const Image& image = entry.second->image;
        if (image.IsValid())
            std::printf("  %s  %d x %d, %d bits\n", entry.first.c_str(), image.GetWidth(), image.GetHeight(),
                        image.GetBpp());
        else
            std::printf("  %s  no pixels: %s\n", entry.first.c_str(), image.GetLastError());
    }
    std::printf("extra objects: %u\n", static_cast<unsigned>(store.ExtraObjects().size()));
    for (const auto& object : store.ExtraObjects())
        PrintObject(*object.second, 1);
    return 0;
}

int ReencodeImage(int argc, char** argv)
{
    if (argc != 4)
        return Fail(std::string("image needs IN.bmp OUT.bmp\n") + kUsage);
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(argv[2], bytes))
        return Fail(std::string(argv[2]) + ": cannot read");
    Image image;
    if (!image.Decode(bytes.data(), static_cast<int32_t>(bytes.size()), Image::FormatBmp))
        return Fail(std::string(argv[2]) + ": " + image.GetLastError());
    BYTE* encoded = nullptr;
    int32_t size = 0;
    if (!image.Encode(encoded, size, Image::FormatBmp))
        return Fail(std::string(argv[2]) + ": " + image.GetLastError());
    const bool written = WriteFileBytes(argv[3], encoded, static_cast<size_t>(size));
    std::free(encoded);
    return written ? 0 : Fail(std::string(argv[3]) + ": cannot write");
}

int UnpackContainer(int argc, char** argv)
{
    const std::string output = OutputOption(argc, argv, 3);
    if (argc != 5 || output.empty())
        return Fail(std::string("unpack needs FILE -o STREAM\n") + kUsage);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!LoadContainer(argv[2], bytes, error))
        return Fail(error);
    MemoryStream stream(MemoryStream::kSkinGrowStep);
    if (!MemoryStream(bytes.data(), static_cast<int32_t>(bytes.size())).DecompressTo(stream))
        return Fail(std::string(argv[2]) + ": it does not unpack (not an LZO1X container of its declared length)");
    return WriteFileBytes(output, stream.Data(), static_cast<size_t>(stream.Length())) ? 0
                                                                                      : Fail(output + ": cannot write");
}

std::string VersionNote(VersionRange versions)
{
    if (versions.first == 0 && versions.last == 255)
        return "";
    if (versions.last == 255)
        return ", minor >= " + std::to_string(versions.first);
    if (versions.first == 0)
        return ", minor < " + std::to_string(versions.last + 1);
    return ", minor " + std::to_string(versions.first) + " to " + std::to_string(versions.last);
}

void PrintSchema(int32_t code)
{
    std::unique_ptr<SkinObject> object = CreateSkinObject(code);
    if (!object)
        object.reset(new SkinObject(code));
    const Schema& schema = object->GetSchema();
    std::printf("%s (%d)\n", SkinTypeName(code), static_cast<int>(code));
    for (const RecordStep& step : schema.steps) {
        if (step.kind == StepKind::Children) {
            std::printf("  (children)\n");
        } else if (step.kind == StepKind::Embedded) {
            std::printf("  (menubar block: a MenuBarSkin)\n");
        } else if (step.kind == StepKind::Special) {
            std::printf("  (%s)\n", std::strcmp(step.special.tag, "image") == 0 ? "file = \"BMP\"" : "custom blocks");
        } else {
            const FieldSpec& field = step.field;
            if (field.name == "name") {
                std::printf("  NAME: String, %u bytes (given on the object line)\n", static_cast<unsigned>(field.size));
                continue;
            }
            std::string names;
            for (const std::string& key : field.keys)
                if (key != field.SourceName())
                    names += " " + key;
            if (field.name != field.SourceName())
                names += " " + field.name;
            std::printf("  %s: %s, %u bytes%s%s = %s\n", field.SourceName().c_str(), FieldKindName(field.kind),
                        static_cast<unsigned>(field.size), VersionNote(step.versions).c_str(),
                        names.empty() ? "" : (", also" + names).c_str(),
                        FormatFieldValue(field.kind, static_cast<const unsigned char*>(field.Locate(*object)),
                                         field.size)
                            .c_str());
        }
    }
}

int ListSchemas(int argc, char** argv)
{
    if (argc > 3)
        return Fail(std::string("schema takes at most one TYPE\n") + kUsage);
    const int32_t codes[] = {kTypeFrame,     kTypeReserved2,  kTypeCaptionButton, kTypeButton,     kTypeCheckBox,
                             kTypeComboBox,  kTypeEdit,       kTypeGroupBox,      kTypeListBox,    kTypeProgress,
                             kTypeRadio,     kTypeScrollBar,  kTypeTrackBar,      kTypeStatic,     kTypeStatusBar,
                             kTypeTab,       kTypePopupMenu,  kTypeImage,         kTypeExtraObject, kTypeMenuBar,
                             kTypeToolBar,   kTypeControlBar, kTypeSkinInfo,      kTypeIpAddress,  kTypeSpin,
                             kTypeListView,  kTypeTreeView,   kTypeRichEdit,      kTypeRebar,      kTypeHeader,
                             kTypeFrameLabel, kTypeReserved39, kTypeAnimate,      kTypeCustomProperty};
    if (argc == 3) {
        int32_t code = SkinTypeFromName(argv[2]);
        if (!code && !ParseInt32Word(argv[2], code))
            return Fail(std::string("unknown type ") + argv[2]);
        if (!SkinTypeName(code))
            return Fail(std::string("unknown type ") + argv[2]);
        PrintSchema(code);
        return 0;
    }
    for (const int32_t code : codes)
        PrintSchema(code);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Fail(kUsage);
    const std::string command = argv[1];
    if (command == "build")
        return Build(argc, argv);
    if (command == "dump")
        return Dump(argc, argv);
    if (command == "check")
        return Check(argc, argv);
    if (command == "image")
        return ReencodeImage(argc, argv);
    if (command == "unpack")
        return UnpackContainer(argc, argv);
    if (command == "schema")
        return ListSchemas(argc, argv);
    return Fail("unknown command " + command + "\n" + kUsage);
}
