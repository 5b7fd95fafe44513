#include "SkinFile.h"

#include "SkinEngine.h"
#include "StandardError.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Far larger than any skin; a bigger file is not read into memory at all.
const DWORD kLargestSkinFile = 64 * 1024 * 1024;

std::string SystemMessage(DWORD code)
{
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// The file's bytes; empty with `reason` set when it cannot be read whole.
std::vector<BYTE> ReadSkinFile(const char* path, std::string& reason)
{
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        reason = "cannot be opened: " + SystemMessage(GetLastError());
        return {};
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) {
        reason = "cannot be read: " + SystemMessage(GetLastError());
        return {};
    }
    if (size.QuadPart == 0 || size.QuadPart > kLargestSkinFile) {
        reason = size.QuadPart == 0 ? "is empty" : "is too large to be a skin";
        return {};
    }
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        reason = "cannot be read whole";
        return {};
    }
    return bytes;
}

}  // namespace

bool LoadSkinFile(const char* path)
{
    std::string reason;
    const std::vector<BYTE> bytes = ReadSkinFile(path, reason);
    if (!bytes.empty() && !LoadSkinFromMemory(bytes.data(), static_cast<DWORD>(bytes.size())))
        reason = "is not a skin container this program can read";
    if (reason.empty())
        return true;
    const std::string line = "Skin file \"" + std::string(path) + "\" " + reason + "; the built-in skin is used.\n";
    WriteToStandardError(line.c_str());
    return false;
}
