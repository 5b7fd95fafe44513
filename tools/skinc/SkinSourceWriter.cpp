#include "SkinSourceWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "data/CustomPropertySkin.h"
#include "data/SkinTypes.h"
#include "SourceLexer.h"
#include "ValueText.h"

namespace {

std::string LowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A name that is safe as a file name on every system the tools run on.
bool IsPlainFileName(const std::string& name)
{
    if (name.empty() || name[0] == '.' || name.size() > 64)
        return false;
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
            return false;
    return true;
}

std::string TypeWord(int32_t code)
{
    const char* name = SkinTypeName(code);
    return name ? name : std::to_string(code);
}

std::string FormatText(const char* bytes, size_t size)
{
    return QuoteSourceString(std::string(bytes, strnlen(bytes, size)));
}

}  // namespace

void SkinSourceWriter::Line(int depth, const std::string& text)
{
    // Past a few levels indentation shows nothing more; a deep file would
    // otherwise be mostly blanks.
    out_.append(static_cast<size_t>(std::min(depth, kMaxIndentLevels)) * 2, ' ');
    out_ += text;
    out_ += '\n';
}

std::string SkinSourceWriter::Write(SkinDocument& document)
{
    minor_ = document.version.minor;
    Line(0, "skin " + std::to_string(document.version.major) + "." + std::to_string(document.version.minor));
    Line(0, "builder " + QuoteSourceString(document.builderText));
    if (document.countOverridden)
        Line(0, "count " + std::to_string(document.declaredCount));
    for (DocumentEntry& entry : document.objects) {
        out_ += '\n';
        if (entry.object)
            WriteObject(document, *entry.object, "object " + TypeWord(entry.code), 0);
        else
            Line(0, "skip " + std::to_string(entry.code));
    }
    for (auto& image : document.images) {
        out_ += '\n';
        WriteObject(document, *image, "image", 0);
    }
    for (auto& extra : document.extraObjects) {
        out_ += '\n';
        WriteObject(document, *extra, "extra", 0);
    }
    return out_;
}

void SkinSourceWriter::WriteObject(SkinDocument& document, SkinObject& object, const std::string& opening, int depth)
{
    // Children nest as deep as the container holds them: the objects being
    // written are kept on a stack of their own, not the thread's.
    std::vector<OpenObject> open;
    Open(open, object, opening, depth);
    while (!open.empty()) {
        OpenObject& current = open.back();
        if (current.children && current.nextChild < current.children->size()) {
            const DocumentEntry& entry = (*current.children)[current.nextChild++];
            if (entry.object)
                Open(open, *entry.object, "child " + TypeWord(entry.code), current.depth);
            else
                Line(current.depth, "skip " + std::to_string(entry.code));
            continue;
        }
        current.children = nullptr;
        if (current.nextStep == current.object->GetSchema().steps.size()) {
            Line(current.depth - 1, "end");
            open.pop_back();
            continue;
        }
        const RecordStep& step = current.object->GetSchema().steps[current.nextStep++];
        if (step.versions.Contains(minor_))
            WriteStep(document, open, step);
    }
}

void SkinSourceWriter::Open(std::vector<OpenObject>& open, SkinObject& object, const std::string& opening, int depth)
{
    Line(depth, opening + " " + FormatText(object.name, sizeof object.name));
    open.push_back({&object, depth + 1, 0, nullptr, 0});
}

void SkinSourceWriter::WriteStep(SkinDocument& document, std::vector<OpenObject>& open, const RecordStep& step)
{
    OpenObject& current = open.back();
    SkinObject& object = *current.object;
    switch (step.kind) {
    case StepKind::Field:
        if (step.field.name != "name")
            Line(current.depth, step.field.SourceName() + " = " +
                                    FormatFieldValue(step.field.kind,
                                                     static_cast<const unsigned char*>(step.field.Locate(object)),
                                                     step.field.size));
        break;
    case StepKind::Children:
        current.children = document.FindChildren(object);
        current.nextChild = 0;
        break;
    case StepKind::Embedded:
        Open(open, step.embedded(object), "menubar", current.depth);
        break;
    case StepKind::Special:
        if (std::strcmp(step.special.tag, "custom") == 0)
            WriteCustomValues(object, current.depth);
        else
            WriteBitmap(object, current.depth);
        break;
    }
}

void SkinSourceWriter::WriteCustomValues(SkinObject& object, int depth)
{
    for (const auto& record : static_cast<CustomPropertySkin&>(object).CustomValues()) {
        Line(depth, "custom " + FormatKindName(record->Kind()) + " " + FormatText(record->Key(), PropertyRecord::kKeySize));
        const unsigned char* value = static_cast<const unsigned char*>(record->Value());
        const bool typed = IsPropertyKind(record->Kind()) &&
                           static_cast<size_t>(record->Size()) == FieldKindSize(static_cast<FieldKind>(record->Kind()));
        if (record->Size() > 0)
            Line(depth + 1, "value = " + (typed ? FormatFieldValue(static_cast<FieldKind>(record->Kind()), value,
                                                                    static_cast<size_t>(record->Size()))
                                                 : FormatSourceBytes(value, static_cast<size_t>(record->Size()))));
        if (record->DefaultText()[0])
            Line(depth + 1, "defaulttext = " + FormatText(record->DefaultText(), PropertyRecord::kDefaultTextSize));
        if (record->TextLength() > 0) {
            const std::string text(record->Text(), static_cast<size_t>(record->TextLength()));
            const bool plain = text.find('\0') == text.size() - 1;
            Line(depth + 1, "text = " + (plain ? QuoteSourceString(text.substr(0, text.size() - 1))
                                               : FormatSourceBytes(reinterpret_cast<const unsigned char*>(text.data()),
                                                                   text.size())));
        }
        Line(depth, "end");
    }
}

void SkinSourceWriter::WriteBitmap(SkinObject& object, int depth)
{
    Image& image = static_cast<SkinImage&>(object).image;
    BYTE* encoded = nullptr;
    int32_t size = 0;
    if (!image.IsValid() || !image.Encode(encoded, size, image.GetFormatType()))
        return;
    BitmapFile file{BitmapFileName(object.name), std::vector<uint8_t>(encoded, encoded + size)};
    std::free(encoded);
    Line(depth, "file = " + QuoteSourceString(file.fileName));
    bitmaps_.push_back(std::move(file));
}

std::string SkinSourceWriter::BitmapFileName(const std::string& imageName)
{
    std::string name = imageName;
    for (int n = 1; !IsPlainFileName(name) || usedFileNames_.count(LowerCase(name)); ++n)
        name = "image" + std::to_string(n) + ".bmp";
    usedFileNames_.insert(LowerCase(name));
    return name;
}
