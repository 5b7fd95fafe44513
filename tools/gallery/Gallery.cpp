// gallery.exe: shows the gallery dialog (or the program's about box) with
// the built-in skin, or with the skin container named by --skin=FILE.
//
//     gallery.exe [--skin=FILE] [--show=PAGE|about|none]
//
// PAGE names one page of the gallery ("gallery", the buttons and statics,
// by default; GalleryDialog.cpp lists the others).
// --show=none opens nothing: the exit code says whether the skin loaded.
#include "CommandLine.h"
#include "GalleryDialog.h"
#include "SkinEngine.h"
#include "SkinFile.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

const char kSkinOption[] = "skin";
const char kShowOption[] = "show";
const char kUsage[] = "usage: gallery.exe [--skin=FILE] [--show=PAGE|about|none]";

}  // namespace

int main()
{
    const char* commandLine = GetCommandLineA();
    const std::string bad = FindBadOption(commandLine, {kSkinOption, kShowOption});
    std::string show = "gallery";
    FindOption(commandLine, kShowOption, show);
    const GalleryPage* page = FindGalleryPage(show.c_str());
    if (!bad.empty() || (!page && show != "about" && show != "none")) {
        std::fprintf(stderr, "gallery: bad option %s (%s)\n", bad.empty() ? show.c_str() : bad.c_str(), kUsage);
        return 2;
    }
    const HINSTANCE module = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&classes);
    EngineStart(module);
    // The program's own choice of skin: the file when it loads, else the
    // built-in one (the reason for that goes to standard error).
    std::string skinFile;
    const bool fileGiven = FindOption(commandLine, kSkinOption, skinFile);
    const bool fileLoaded = fileGiven && LoadSkinFile(skinFile.c_str());
    if (!fileLoaded && !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX")) {
        std::fprintf(stderr, "gallery: the built-in skin cannot be loaded\n");
        return 1;
    }
    SetDialogSkinName("Dialog");
    if (show == "about")
        RunAboutBox(module);
    else if (page)
        RunGalleryDialog(module, page);
    EngineStop();
    return fileGiven && !fileLoaded ? 1 : 0;
}
