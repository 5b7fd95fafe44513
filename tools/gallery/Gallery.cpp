// gallery.exe: shows the gallery dialog (or the program's about box) with
// the built-in skin, or with the skin container named by --skin=FILE.
//
//     gallery.exe [--skin=FILE] [--show=gallery|about|none]
//
// --show=none opens nothing: the exit code says whether the skin loaded.
#include "CommandLine.h"
#include "GalleryDialog.h"
#include "SkinEngine.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char kSkinOption[] = "skin";
const char kShowOption[] = "show";
const char kUsage[] = "usage: gallery.exe [--skin=FILE] [--show=gallery|about|none]";
// Larger than any skin we make by far; a bigger file is not one of ours.
const std::streamoff kLargestSkin = 64 * 1024 * 1024;

// Loads the container in `path`; on failure says why on standard error
// and leaves the skin in force as it was.
bool LoadSkinFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const char* reason = nullptr;
    std::vector<char> bytes;
    if (!file) {
        reason = "cannot be opened";
    } else if (file.tellg() <= 0) {
        reason = "is empty";
    } else if (file.tellg() > kLargestSkin) {
        reason = "is too large to be a skin";
    } else {
        bytes.resize(static_cast<size_t>(file.tellg()));
        file.seekg(0);
        if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
            reason = "cannot be read";
        else if (!LoadSkinFromMemory(bytes.data(), static_cast<DWORD>(bytes.size())))
            reason = "is not a skin container";
    }
    if (reason)
        std::fprintf(stderr, "gallery: %s %s; showing the built-in skin\n", path.c_str(), reason);
    return reason == nullptr;
}

}  // namespace

int main()
{
    const char* commandLine = GetCommandLineA();
    const std::string bad = FindBadOption(commandLine, {kSkinOption, kShowOption});
    std::string show = "gallery";
    FindOption(commandLine, kShowOption, show);
    if (!bad.empty() || (show != "gallery" && show != "about" && show != "none")) {
        std::fprintf(stderr, "gallery: bad option %s (%s)\n", bad.empty() ? show.c_str() : bad.c_str(), kUsage);
        return 2;
    }
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (!EngineStart(module) || !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX")) {
        std::fprintf(stderr, "gallery: the built-in skin cannot be loaded\n");
        return 1;
    }
    SetDialogSkinName("Dialog");
    std::string skinFile;
    const bool loaded = !FindOption(commandLine, kSkinOption, skinFile) || LoadSkinFile(skinFile);
    if (show == "about")
        RunAboutBox(module);
    else if (show == "gallery")
        RunGalleryDialog(module);
    EngineStop();
    return loaded ? 0 : 1;
}
