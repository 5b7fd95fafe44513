#include "SkinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "FileBytes.h"
#include "SkinDocument.h"
#include "SkinSourceParser.h"
#include "SkinSourceWriter.h"

namespace {

std::vector<uint8_t> Compile(SkinSourceParser& parser)
{
    SkinDocument document;
    parser.Parse(document);
    std::vector<uint8_t> container;
    EXPECT_TRUE(document.WriteContainer(container));
    return container;
}

}  // namespace

std::vector<uint8_t> ReadTestFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return bytes;
}

std::vector<uint8_t> BuildContainerUnchecked(const std::string& source)
{
    SkinSourceParser parser(std::string(SSO_SKIN_SOURCE_DIR) + "/test.txt", source);
    return Compile(parser);
}

std::vector<uint8_t> BuildContainer(const std::string& source)
{
    std::vector<uint8_t> container = BuildContainerUnchecked(source);
    EXPECT_EQ(DumpAndRebuild(container), container) << "dump then build changed the container of:\n" << source;
    return container;
}

std::vector<uint8_t> DumpAndRebuild(const std::vector<uint8_t>& container)
{
    SkinDocument document;
    EXPECT_TRUE(document.ReadContainer(StreamOf(container)));
    SkinSourceWriter writer;
    const std::string text = writer.Write(document);
    // The dump's bitmaps are written beside it; compile it from there.
    const std::string directory = TestOutputPath("rebuild");
    CreateDirectoryA(directory.c_str(), nullptr);
    for (const SkinSourceWriter::BitmapFile& bitmap : writer.Bitmaps())
        EXPECT_TRUE(WriteFileBytes(directory + "/" + bitmap.fileName, bitmap.bytes.data(), bitmap.bytes.size()));
    SkinSourceParser parser(directory + "/dump.txt", text);
    return Compile(parser);
}

std::vector<uint8_t> Unpack(const std::vector<uint8_t>& container)
{
    MemoryStream stream;
    EXPECT_TRUE(StreamOf(container).DecompressTo(stream));
    return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.Length());
}

std::vector<uint8_t> Pack(const std::vector<uint8_t>& stream)
{
    std::vector<uint8_t> container;
    EXPECT_TRUE(PackContainer(stream.data(), stream.size(), container));
    return container;
}

MemoryStream StreamOf(const std::vector<uint8_t>& bytes)
{
    return MemoryStream(bytes.data(), static_cast<int32_t>(bytes.size()));
}

std::unique_ptr<SkinStore> LoadStore(const std::vector<uint8_t>& container)
{
    std::unique_ptr<SkinStore> store(new SkinStore());
    if (!store->Load(StreamOf(container)))
        return nullptr;
    return store;
}

int RunProgram(const std::string& commandLine, std::string& output)
{
    // A file of its own per run: the previous child may still hold its
    // inherited handle for a moment after it has exited.
    static int runs = 0;
    const std::string capture = TestOutputPath("program-output-" + std::to_string(++runs) + ".txt");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(capture.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    const BOOL started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(file);
    if (!started)
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const std::vector<uint8_t> bytes = ReadTestFile(capture);
    output.assign(bytes.begin(), bytes.end());
    return static_cast<int>(exitCode);
}

std::string TestOutputPath(const std::string& name)
{
    return std::string(SSO_TEST_OUTPUT_DIR) + "/" + name;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
