#include "imaging/TempFiles.h"

#include <cstdio>
#include <cstring>

namespace {

// The first two letters of "VX$$TEMP", the base name the animation skin
// gives its temporary clips.
const char kTempPrefix[] = "VX";

class OwnedFile {
public:
    explicit OwnedFile(HANDLE file) : file_(file) {}
    ~OwnedFile() { Close(); }

    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;

    HANDLE Get() const { return file_; }
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    bool Close()
    {
        const bool closed = !IsOpen() || CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE file_;
};

// snprintf into out; false when the text was cut.
template <typename... Args>
bool FormatInto(char* out, size_t outSize, const char* format, Args... args)
{
    const int length = std::snprintf(out, outSize, format, args...);
    return length >= 0 && static_cast<size_t>(length) < outSize;
}

// True when the last character of dir is a single-byte backslash; in
// code pages such as Big5 the byte 0x5C also ends double-byte characters.
bool EndsInBackslash(const char* dir)
{
    const size_t length = std::strlen(dir);
    if (length == 0)
        return false;
    const char* last = CharPrevA(dir, dir + length);
    return last == dir + length - 1 && *last == '\\';
}

bool WriteWhole(HANDLE file, const void* bytes, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

// MakeTempFilePath, also telling which empty file the system made for the
// unique name (reserved gets "" when it made none).
bool MakeTempPaths(char* out, size_t outSize, char (&reserved)[MAX_PATH], const char* fileName, const char* fallbackDir,
                   const char* extension)
{
    reserved[0] = '\0';
    if (!out || outSize == 0)
        return false;
    char tempDir[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, tempDir);
    const char* dir = (length > 0 && length < MAX_PATH) ? tempDir : (fallbackDir ? fallbackDir : "");
    bool fits = GetTempFileNameA(dir, kTempPrefix, 0, reserved) ? FormatInto(out, outSize, "%s", reserved)
                                                                : JoinPath(out, outSize, dir, fileName ? fileName : "");
    if (fits && extension) {
        const size_t used = std::strlen(out);
        fits = FormatInto(out + used, outSize - used, ".%s", extension);
    }
    if (!fits)
        out[0] = '\0';
    return fits;
}

bool DeleteIfThere(const char* path)
{
    return !path[0] || DeleteFileA(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int ExtractResourceToFile(const char* path, HMODULE module, const char* name, const char* type)
{
    HRSRC found = FindResourceA(module, name, type);
    return found ? ExtractResourceToFile(path, module, found) : 0;
}

int ExtractResourceToFile(const char* path, HMODULE module, HRSRC resource)
{
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (!bytes)
        return 0;
    OwnedFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return 0;
    const bool complete = WriteWhole(file.Get(), bytes, size);
    if (file.Close() && complete)
        return 1;
    DeleteFileA(path);
    return 0;
}

bool JoinPath(char* out, size_t outSize, const char* dir, const char* fileName)
{
    const char* separator = EndsInBackslash(dir) ? "" : "\\";
    if (FormatInto(out, outSize, "%s%s%s", dir, separator, fileName))
        return true;
    if (outSize)
        out[0] = '\0';
    return false;
}

bool MakeTempFilePath(char* out, size_t outSize, const char* fileName, const char* fallbackDir, const char* extension)
{
    char reserved[MAX_PATH];
    return MakeTempPaths(out, outSize, reserved, fileName, fallbackDir, extension);
}

TempFile::TempFile(const char* fileName, const char* fallbackDir, const char* extension)
{
    if (!MakeTempPaths(path_, sizeof path_, reserved_, fileName, fallbackDir, extension)) {
        DeleteIfThere(reserved_);
        reserved_[0] = '\0';
    }
}

bool TempFile::Remove()
{
    if (!DeleteIfThere(path_))
        return false;
    // Without an extension the unique name is the file itself.
    const bool gone = DeleteIfThere(reserved_);
    path_[0] = '\0';
    reserved_[0] = '\0';
    return gone;
}
