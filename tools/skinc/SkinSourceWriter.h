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
    // constexpr, hence inline: std::min binds a reference to it, which needs a definition.
    static constexpr int kMaxIndentLevels = 32;

    // An object whose text is being written: its body's depth, its next
    // record step, and the child list being written, if any.
    struct OpenObject {
        SkinObject* object;
        int depth;
        size_t nextStep;
        const SkinDocument::EntryList* children;
        size_t nextChild;
    };

    void WriteObject(SkinDocument& document, SkinObject& object, const std::string& opening, int depth);
    void Open(std::vector<OpenObject>& open, SkinObject& object, const std::string& opening, int depth);
    void WriteStep(SkinDocument& document, std::vector<OpenObject>& open, const RecordStep& step);
    void WriteCustomValues(SkinObject& object, int depth);
    void WriteBitmap(SkinObject& object, int depth);
    std::string BitmapFileName(const std::string& imageName);
    void Line(int depth, const std::string& text);

    std::string out_;
    uint8_t minor_ = kSkinNewestMinorVersion;
    std::vector<BitmapFile> bitmaps_;
    std::set<std::string> usedFileNames_;
};
