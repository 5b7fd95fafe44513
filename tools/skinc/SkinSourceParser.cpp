#include "SkinSourceParser.h"

#include <cstring>
#include <sstream>
#include <utility>

#include "data/CustomPropertySkin.h"
#include "data/SkinFileReader.h"
#include "data/SkinTypes.h"
#include "FileBytes.h"
#include "ValueText.h"

namespace {

// The header's builder field needs no terminator: a text may fill it, as
// containers the engine accepts do, and must compile back from their dump.
const size_t kMaxBuilderText = SkinHeader::kBuilderTextSize;

bool IsWord(const SourceToken& token, const char* text)
{
    return token.type == SourceToken::Word && token.text == text;
}

bool ParseByte(const std::string& text, uint8_t& value)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int number = std::stoi(text);
    value = static_cast<uint8_t>(number);
    return number <= 255;
}

const RecordStep* FindStep(const Schema& schema, StepKind kind, const char* tag = nullptr)
{
    for (const RecordStep& step : schema.steps)
        if (step.kind == kind && (!tag || std::strcmp(step.special.tag, tag) == 0))
            return &step;
    return nullptr;
}

}  // namespace

SourceError::SourceError(const std::string& file, int line, const std::string& field, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + (field.empty() ? "" : field + ": ") + message)
{
}

SkinSourceParser::SkinSourceParser(std::string path) : path_(std::move(path)) {}

SkinSourceParser::SkinSourceParser(std::string path, std::string text)
    : path_(std::move(path)), text_(std::move(text)), haveText_(true)
{
}

void SkinSourceParser::Fail(const std::string& field, const std::string& message) const
{
    throw SourceError(path_, next_ ? Current().number : 0, field, message);
}

void SkinSourceParser::Warn(const std::string& message)
{
    warnings_.push_back(path_ + ":" + std::to_string(Current().number) + ": " + message);
}

void SkinSourceParser::ReadLines()
{
    if (!haveText_) {
        std::vector<uint8_t> bytes;
        if (!ReadFileBytes(path_, bytes))
            throw SourceError(path_, 0, "", "cannot read the source file");
        text_.assign(bytes.begin(), bytes.end());
    }
    std::istringstream source(text_);
    std::string text;
    int number = 0;
    while (std::getline(source, text)) {
        ++number;
        Line line{number, {}};
        std::string error;
        if (!TokenizeSourceLine(text, line.tokens, error))
            throw SourceError(path_, number, "", error);
        if (!line.tokens.empty())
            lines_.push_back(std::move(line));
    }
}

bool SkinSourceParser::NextLine()
{
    if (next_ >= lines_.size())
        return false;
    ++next_;
    return true;
}

void SkinSourceParser::Parse(SkinDocument& document)
{
    ReadLines();
    bool entriesStarted = false;
    while (NextLine()) {
        const SourceToken& first = Current().tokens[0];
        if (IsWord(first, "skin") || IsWord(first, "builder") || IsWord(first, "count")) {
            ParseHeaderLine(document, entriesStarted);
        } else {
            ParseEntry(document);
            entriesStarted = true;
        }
    }
}

void SkinSourceParser::ExpectTokenCount(size_t count) const
{
    if (Current().tokens.size() != count)
        Fail("", "expected " + std::to_string(count) + " items on this line");
}

void SkinSourceParser::ParseHeaderLine(SkinDocument& document, bool entriesStarted)
{
    const std::vector<SourceToken>& tokens = Current().tokens;
    if (entriesStarted)
        Fail(tokens[0].text, "header lines come before the first entry");
    ExpectTokenCount(2);
    if (tokens[0].text == "skin") {
        const std::string& version = tokens[1].text;
        const size_t dot = version.find('.');
        uint8_t major = 0, minor = 0;
        if (tokens[1].type != SourceToken::Word || dot == std::string::npos ||
            !ParseByte(version.substr(0, dot), major) || !ParseByte(version.substr(dot + 1), minor))
            Fail("skin", "expected a version major.minor, as 1.11");
        document.version = {major, minor};
        minor_ = minor;
    } else if (tokens[0].text == "builder") {
        if (tokens[1].type != SourceToken::String || tokens[1].text.size() > kMaxBuilderText)
            Fail("builder", "expected a quoted text of at most " + std::to_string(kMaxBuilderText) + " characters");
        document.builderText = tokens[1].text;
    } else {
        int32_t count = 0;
        if (tokens[1].type != SourceToken::Word || !ParseInt32Word(tokens[1].text, count))
            Fail("count", "expected a number");
        document.countOverridden = true;
        document.declaredCount = static_cast<uint32_t>(count);
    }
}

int32_t SkinSourceParser::CodeOfTypeWord(const std::string& word) const
{
    int32_t code = SkinTypeFromName(word.c_str());
    if (!code && !ParseInt32Word(word, code))
        Fail("", "unknown object type '" + word + "'");
    return code;
}

std::string SkinSourceParser::NameToken(size_t index, size_t maxLength) const
{
    const std::vector<SourceToken>& tokens = Current().tokens;
    if (index >= tokens.size() || tokens[index].type != SourceToken::String)
        Fail("", "expected a quoted name");
    const std::string& name = tokens[index].text;
    if (name.size() > maxLength || name.find('\0') != std::string::npos)
        Fail("", "name longer than " + std::to_string(maxLength) + " characters");
    return name;
}

std::unique_ptr<SkinObject> SkinSourceParser::ParseObjectLine(bool topLevel, int32_t& code)
{
    ExpectTokenCount(3);
    const std::vector<SourceToken>& tokens = Current().tokens;
    if (tokens[1].type != SourceToken::Word)
        Fail("", "expected an object type");
    code = CodeOfTypeWord(tokens[1].text);
    const bool allowed = topLevel ? IsTopLevelTypeCode(code) : IsChildTypeCode(code);
    if (!allowed)
        Fail("", "type " + tokens[1].text + " cannot stand " + (topLevel ? "at top level" : "as a child") +
                     " (write 'skip " + std::to_string(code) + "' for a bare code)");
    std::unique_ptr<SkinObject> object = CreateSkinObject(code);
    const std::string name = NameToken(2, SkinObject::kNameSize - 1);
    std::memset(object->name, 0, sizeof object->name);
    std::memcpy(object->name, name.data(), name.size());
    return object;
}

void SkinSourceParser::ParseEntry(SkinDocument& document)
{
    const std::vector<SourceToken>& tokens = Current().tokens;
    const SourceToken& keyword = tokens[0];
    int32_t code = 0;
    if (IsWord(keyword, "object")) {
        std::unique_ptr<SkinObject> object = ParseObjectLine(true, code);
        ParseBody(document, *object, "object");
        document.objects.push_back({code, std::move(object)});
    } else if (IsWord(keyword, "skip")) {
        ExpectTokenCount(2);
        if (!ParseInt32Word(tokens[1].text, code))
            Fail("skip", "expected a type code");
        document.objects.push_back({code, nullptr});
    } else if (IsWord(keyword, "image") || IsWord(keyword, "extra")) {
        ExpectTokenCount(2);
        const bool isImage = keyword.text == "image";
        std::unique_ptr<SkinObject> object =
            isImage ? std::unique_ptr<SkinObject>(new SkinImage()) : std::make_unique<SkinObject>(kTypeExtraObject);
        const std::string name = NameToken(1, SkinObject::kNameSize - 1);
        std::memcpy(object->name, name.data(), name.size());
        ParseBody(document, *object, keyword.text);
        if (isImage)
            document.images.emplace_back(static_cast<SkinImage*>(object.release()));
        else
            document.extraObjects.push_back(std::move(object));
    } else {
        Fail("", "expected skin, builder, count, object, image, extra or skip");
    }
}

void SkinSourceParser::ParseBody(SkinDocument& document, SkinObject& object, const std::string& what)
{
    // Children nest to any depth the text gives: the bodies being read are
    // kept on a stack of their own, not the thread's.
    std::vector<OpenBody> open;
    Open(open, object, what);
    while (!open.empty()) {
        if (!NextLine())
            throw SourceError(path_, open.back().opened, "", open.back().what + " without end");
        ParseBodyLine(document, open);
    }
}

void SkinSourceParser::ParseBodyLine(SkinDocument& document, std::vector<OpenBody>& open)
{
    OpenBody& body = open.back();
    SkinObject& object = *body.object;
    const std::vector<SourceToken>& tokens = Current().tokens;
    const SourceToken& first = tokens[0];
    if (IsWord(first, "end")) {
        ExpectTokenCount(1);
        Close(document, open);
    } else if (tokens.size() >= 2 && tokens[1].type == SourceToken::Equals) {
        if (IsWord(first, "file") && FindStep(object.GetSchema(), StepKind::Special, "image"))
            LoadBitmap(object);
        else
            ParseField(object, body.assigned);
    } else if (IsWord(first, "child")) {
        OpenChild(open);
    } else if (IsWord(first, "skip")) {
        ExpectTokenCount(2);
        int32_t code = 0;
        if (!ParseInt32Word(tokens[1].text, code))
            Fail("skip", "expected a type code");
        document.ChildrenOf(object).push_back({code, nullptr});
    } else if (IsWord(first, "menubar")) {
        OpenMenuBar(open);
    } else if (IsWord(first, "custom")) {
        ParseCustomValue(object);
    } else {
        Fail(first.text, "expected 'FIELD = value', child, skip or end");
    }
}

void SkinSourceParser::Open(std::vector<OpenBody>& open, SkinObject& object, const std::string& what)
{
    open.push_back({&object, what, Current().number, {}, false, nullptr, 0, nullptr});
}

void SkinSourceParser::OpenChild(std::vector<OpenBody>& open)
{
    SkinObject* parent = open.back().object;
    int32_t code = 0;
    std::unique_ptr<SkinObject> child = ParseObjectLine(false, code);
    Open(open, *child, "child");
    open.back().parent = parent;
    open.back().code = code;
    open.back().child = std::move(child);
}

void SkinSourceParser::Close(SkinDocument& document, std::vector<OpenBody>& open)
{
    OpenBody closed = std::move(open.back());
    open.pop_back();
    if (closed.child)
        document.ChildrenOf(*closed.parent).push_back({closed.code, std::move(closed.child)});
}

void SkinSourceParser::ParseField(SkinObject& object, std::set<const FieldSpec*>& assigned)
{
    const std::vector<SourceToken>& tokens = Current().tokens;
    const std::string& name = tokens[0].text;
    if (tokens[0].type != SourceToken::Word)
        Fail("", "expected a field name");
    const Schema& schema = object.GetSchema();
    const FieldSpec* field = schema.FindField(name, minor_);
    if (field && field->name == "name")
        Fail(name, "the name is given on the object's first line");
    if (!field) {
        if (schema.FindFieldAnyVersion(name))
            Fail(name, "not stored in containers of minor version " + std::to_string(minor_));
        Fail(name, "no such field in a " + schema.typeName);
    }
    if (!assigned.insert(field).second)
        Warn(name + ": set again; the later value counts");
    std::string error;
    if (!ParseFieldValue(field->kind, tokens, 2, static_cast<unsigned char*>(field->Locate(object)), field->size,
                         error))
        Fail(name, error);
}

void SkinSourceParser::OpenMenuBar(std::vector<OpenBody>& open)
{
    OpenBody& body = open.back();
    SkinObject& frame = *body.object;
    const RecordStep* step = FindStep(frame.GetSchema(), StepKind::Embedded);
    if (!step)
        Fail("menubar", "only a FrameSkin has a menu bar");
    if (body.menuBarSeen)
        Fail("menubar", "a frame has one menu bar");
    body.menuBarSeen = true;
    SkinObject& menuBar = step->embedded(frame);
    const std::vector<SourceToken>& tokens = Current().tokens;
    if (tokens.size() > 2)
        Fail("menubar", "expected menubar or menubar \"NAME\"");
    if (tokens.size() == 2) {
        const std::string name = NameToken(1, SkinObject::kNameSize - 1);
        std::memcpy(menuBar.name, name.data(), name.size());
    }
    Open(open, menuBar, "menubar");
}

void SkinSourceParser::ParseCustomValue(SkinObject& object)
{
    if (!FindStep(object.GetSchema(), StepKind::Special, "custom"))
        Fail("custom", "only a CustomPropertySkin has custom values");
    ExpectTokenCount(3);
    const std::vector<SourceToken>& tokens = Current().tokens;
    std::unique_ptr<PropertyRecord> record(new PropertyRecord());
    int32_t kind = 0;
    if (tokens[1].type != SourceToken::Word || !ParseKindName(tokens[1].text, kind))
        Fail("custom", "unknown kind '" + tokens[1].text + "'");
    record->SetKind(kind);
    const std::string key = NameToken(2, PropertyRecord::kKeySize - 1);
    std::memcpy(record->KeyBytes(), key.data(), key.size());
    const int opened = Current().number;
    while (NextLine()) {
        if (IsWord(Current().tokens[0], "end")) {
            ExpectTokenCount(1);
            static_cast<CustomPropertySkin&>(object).AddCustomValue(std::move(record));
            return;
        }
        ParseCustomLine(*record);
    }
    throw SourceError(path_, opened, "", "custom without end");
}

void SkinSourceParser::ParseCustomLine(PropertyRecord& record)
{
    const std::vector<SourceToken>& tokens = Current().tokens;
    if (tokens.size() < 3 || tokens[1].type != SourceToken::Equals)
        Fail(tokens[0].text, "expected value, defaulttext or text = ...");
    const std::string& name = tokens[0].text;
    const bool rawBytes = tokens.size() == 3 && tokens[2].type == SourceToken::Bytes;
    if (name == "value") {
        std::string bytes = rawBytes ? tokens[2].text : std::string();
        if (!rawBytes) {
            if (!IsPropertyKind(record.Kind()))
                Fail(name, "a value of kind " + std::to_string(record.Kind()) + " is written as <bytes>");
            const FieldKind kind = static_cast<FieldKind>(record.Kind());
            bytes.assign(FieldKindSize(kind), '\0');
            std::string error;
            if (!ParseFieldValue(kind, tokens, 2, reinterpret_cast<unsigned char*>(&bytes[0]), bytes.size(), error))
                Fail(name, error);
        }
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[bytes.size() + 1]());
        std::memcpy(buffer.get(), bytes.data(), bytes.size());
        record.TakeValue(std::move(buffer), static_cast<int32_t>(bytes.size()));
    } else if (name == "defaulttext") {
        std::string error;
        if (!ParseFieldValue(FieldKind::String, tokens, 2, reinterpret_cast<unsigned char*>(record.DefaultTextBytes()),
                             PropertyRecord::kDefaultTextSize, error))
            Fail(name, error);
    } else if (name == "text") {
        if (!rawBytes && !(tokens.size() == 3 && tokens[2].type == SourceToken::String))
            Fail(name, "expected a quoted text or <bytes>");
        // A quoted text is stored with its terminating NUL.
        const std::string text = rawBytes ? tokens[2].text : tokens[2].text + '\0';
        if (text.empty())
            return;
        std::unique_ptr<char[]> buffer(new char[text.size() + 1]());
        std::memcpy(buffer.get(), text.data(), text.size());
        record.TakeText(std::move(buffer), static_cast<int32_t>(text.size()));
    } else {
        Fail(name, "expected value, defaulttext or text");
    }
}

void SkinSourceParser::LoadBitmap(SkinObject& object)
{
    const std::vector<SourceToken>& tokens = Current().tokens;
    if (tokens.size() != 3 || tokens[2].type != SourceToken::String)
        Fail("file", "expected a quoted file name");
    const std::string path = DirectoryOf(path_) + tokens[2].text;
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes))
        Fail("file", "cannot read \"" + path + "\"");
    Image& image = static_cast<SkinImage&>(object).image;
    if (!image.Decode(bytes.data(), static_cast<int32_t>(bytes.size()), Image::FormatBmp))
        Fail("file", "\"" + path + "\": " + image.GetLastError());
}
