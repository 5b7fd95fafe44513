// Writes a SkinDocument as skin source text, every field of every object,
// with its bitmaps as BMP files beside the text.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "SkinDocument.h"

class SkinSourceWriter {
public:
    struct BitmapFile {
        std::string fileName;
        std::vector<uint8_t> bytes;
    };

    // The source text; the bitmaps it names are collected in Bitmaps().
    std::string Write(SkinDocument& document);
    const std::vector<BitmapFile>& Bitmaps() const { return bitmaps_; }

private:
    void WriteObject(SkinDocument& document, SkinObject& object, const std::string& opening, int depth);
    void WriteBody(SkinDocument& document, SkinObject& object, int depth);
    void WriteChildren(SkinDocument& document, SkinObject& parent, int depth);
    void WriteCustomValues(SkinObject& object, int depth);
    void WriteBitmap(SkinObject& object, int depth);
    std::string BitmapFileName(const std::string& imageName);
    void Line(int depth, const std::string& text);

    std::string out_;
    uint8_t minor_ = kSkinNewestMinorVersion;
    std::vector<BitmapFile> bitmaps_;
    std::set<std::string> usedFileNames_;
};
