// Reads a skin source file (docs/skin-source-format.md) and the bitmaps it
// names into a SkinDocument.
#pragma once

#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "SkinDocument.h"
#include "SourceLexer.h"

class PropertyRecord;
struct FieldSpec;

// "file:line: field: message" (the field part only where one is concerned).
class SourceError : public std::runtime_error {
public:
    SourceError(const std::string& file, int line, const std::string& field, const std::string& message);
};

class SkinSourceParser {
public:
    // Reads the file at `path`.
    explicit SkinSourceParser(std::string path);
    // Reads `text` as if it were the file at `path` (which names it in
    // messages, and whose directory holds the bitmaps).
    SkinSourceParser(std::string path, std::string text);

    // Throws SourceError for the first fault found.
    void Parse(SkinDocument& document);
    // Harmless oddities worth a look, as "file:line: ..." texts.
    const std::vector<std::string>& Warnings() const { return warnings_; }

private:
    struct Line {
        int number;
        std::vector<SourceToken> tokens;
    };

    // An object whose body is being read, up to its "end" line.
    struct OpenBody {
        SkinObject* object;
        std::string what;  // object, child, menubar... as messages name it
        int opened;        // the line that opened the body
        std::set<const FieldSpec*> assigned;
        bool menuBarSeen;
        // A child: entered in its parent's child list once its body is complete.
        SkinObject* parent;
        int32_t code;
        std::unique_ptr<SkinObject> child;
    };

    void ReadLines();
    bool NextLine();
    const Line& Current() const { return lines_[next_ - 1]; }
    [[noreturn]] void Fail(const std::string& field, const std::string& message) const;
    void Warn(const std::string& message);

    void ParseHeaderLine(SkinDocument& document, bool entriesStarted);
    void ParseEntry(SkinDocument& document);
    std::unique_ptr<SkinObject> ParseObjectLine(bool topLevel, int32_t& code);
    void ParseBody(SkinDocument& document, SkinObject& object, const std::string& what);
    void ParseBodyLine(SkinDocument& document, std::vector<OpenBody>& open);
    void Open(std::vector<OpenBody>& open, SkinObject& object, const std::string& what);
    void OpenChild(std::vector<OpenBody>& open);
    void Close(SkinDocument& document, std::vector<OpenBody>& open);
    void ParseField(SkinObject& object, std::set<const FieldSpec*>& assigned);
    void OpenMenuBar(std::vector<OpenBody>& open);
    void ParseCustomValue(SkinObject& object);
    void ParseCustomLine(PropertyRecord& record);
    void LoadBitmap(SkinObject& image);

    int32_t CodeOfTypeWord(const std::string& word) const;
    std::string NameToken(size_t index, size_t maxLength) const;
    void ExpectTokenCount(size_t count) const;

    std::string path_;
    std::string text_;
    bool haveText_ = false;
    std::vector<Line> lines_;
    size_t next_ = 0;
    uint8_t minor_ = kSkinNewestMinorVersion;
    std::vector<std::string> warnings_;
};
