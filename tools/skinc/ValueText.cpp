#include "ValueText.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "imaging/ByteOrder.h"

namespace {

enum class PartKind { Text, Int32, HexInt32, Int32Quad, UInt8, UInt16, SignedBytePair, Colour, Rgb, BytePair };

// One named part of a structured value. BytePair parts name two single
// bytes at offset and offset2.
struct ValuePart {
    const char* name;
    PartKind kind;
    size_t offset;
    size_t size;  // Text parts
    size_t offset2;
    bool omitWhenZero;
};

const ValuePart kImageParts[] = {
    {"bitmap", PartKind::Text, 0, 50, 0, false},
    {"rect", PartKind::Int32Quad, 52, 0, 0, false},
    {"mode", PartKind::Int32, 68, 0, 0, false},
    {"pad", PartKind::UInt16, 50, 0, 0, true},
};

const ValuePart kFrameImageParts[] = {
    {"bitmap", PartKind::Text, 0, 50, 0, false},
    {"rect", PartKind::Int32Quad, 52, 0, 0, false},
    {"margins", PartKind::Int32Quad, 68, 0, 0, false},
    {"stretch", PartKind::Int32, 84, 0, 0, false},
    {"pad", PartKind::UInt16, 50, 0, 0, true},
};

const ValuePart kFontParts[] = {
    {"face", PartKind::Text, 28, 32, 0, false},
    {"height", PartKind::Int32, 0, 0, 0, false},
    {"width", PartKind::Int32, 4, 0, 0, false},
    {"escapement", PartKind::Int32, 8, 0, 0, false},
    {"orientation", PartKind::Int32, 12, 0, 0, false},
    {"weight", PartKind::Int32, 16, 0, 0, false},
    {"italic", PartKind::UInt8, 20, 0, 0, false},
    {"underline", PartKind::UInt8, 21, 0, 0, false},
    {"strikeout", PartKind::UInt8, 22, 0, 0, false},
    {"charset", PartKind::UInt8, 23, 0, 0, false},
    {"outprecision", PartKind::UInt8, 24, 0, 0, false},
    {"clipprecision", PartKind::UInt8, 25, 0, 0, false},
    {"quality", PartKind::UInt8, 26, 0, 0, false},
    {"pitchandfamily", PartKind::UInt8, 27, 0, 0, false},
    {"color", PartKind::Colour, 60, 0, 0, false},
};

const ValuePart kTextEffectParts[] = {
    {"color", PartKind::Rgb, 4, 0, 0, false},
    {"shadow", PartKind::Rgb, 8, 0, 0, false},
    {"offset", PartKind::SignedBytePair, 0, 0, 0, false},
    {"flags", PartKind::HexInt32, 12, 0, 0, false},
    {"reserved", PartKind::BytePair, 7, 0, 11, false},
    {"offsethigh", PartKind::UInt16, 2, 0, 0, true},
};

struct PartTable {
    const ValuePart* parts;
    size_t count;
};

template <size_t N>
PartTable Table(const ValuePart (&parts)[N])
{
    return {parts, N};
}

bool StructuredParts(FieldKind kind, PartTable& table)
{
    switch (kind) {
    case FieldKind::Image: table = Table(kImageParts); return true;
    case FieldKind::FrameImage: table = Table(kFrameImageParts); return true;
    case FieldKind::Font: table = Table(kFontParts); return true;
    case FieldKind::TextEffect: table = Table(kTextEffectParts); return true;
    default: return false;
    }
}

bool ParseRanged(const std::string& word, long long low, long long high, long long& value)
{
    if (word.empty())
        return false;
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* start = word.c_str();
    char* end = nullptr;
    errno = 0;
    value = hex ? static_cast<long long>(std::strtoull(start + 2, &end, 16)) : std::strtoll(start, &end, 10);
    return errno == 0 && end && *end == '\0' && end != start && value >= low && value <= high;
}

bool ParseColourWord(const std::string& word, bool allowTopByte, uint32_t& rgbOrder)
{
    const size_t digits = word.size() - 1;
    if (word.empty() || word[0] != '#' || !(digits == 6 || (allowTopByte && digits == 8)))
        return false;
    for (size_t i = 1; i < word.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(word[i])))
            return false;
    rgbOrder = static_cast<uint32_t>(std::strtoul(word.c_str() + 1, nullptr, 16));
    return true;
}

// COLORREF 0xXXBBGGRR from #RRGGBB or #XXRRGGBB.
uint32_t ColourRefFromRgbOrder(uint32_t rgbOrder)
{
    const uint32_t red = (rgbOrder >> 16) & 0xFF;
    const uint32_t green = (rgbOrder >> 8) & 0xFF;
    const uint32_t blue = rgbOrder & 0xFF;
    return (rgbOrder & 0xFF000000u) | blue << 16 | green << 8 | red;
}

std::string FormatColourRef(uint32_t colour)
{
    char text[12];
    const unsigned red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    const unsigned top = colour >> 24;
    if (top)
        std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", top, red, green, blue);
    else
        std::snprintf(text, sizeof text, "#%02X%02X%02X", red, green, blue);
    return text;
}

std::string FormatRgb(const unsigned char* bytes)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", bytes[0], bytes[1], bytes[2]);
    return text;
}

std::string FormatInt(int64_t value)
{
    return std::to_string(value);
}

std::string FormatHex32(uint32_t value)
{
    char text[12];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Reads `count` word tokens at tokens[pos ..].
bool TakeWords(const std::vector<SourceToken>& tokens, size_t& pos, size_t count, std::vector<std::string>& words)
{
    words.clear();
    for (size_t i = 0; i < count; ++i, ++pos) {
        if (pos >= tokens.size() || tokens[pos].type != SourceToken::Word)
            return false;
        words.push_back(tokens[pos].text);
    }
    return true;
}

bool ParseText(const std::vector<SourceToken>& tokens, size_t& pos, unsigned char* place, size_t size,
               std::string& error)
{
    if (pos >= tokens.size() || tokens[pos].type != SourceToken::String) {
        error = "expected a quoted string";
        return false;
    }
    const std::string& text = tokens[pos++].text;
    if (text.size() > size - 1 || text.find('\0') != std::string::npos) {
        error = "text longer than " + std::to_string(size - 1) + " characters";
        return false;
    }
    std::memset(place, 0, size);
    std::memcpy(place, text.data(), text.size());
    return true;
}

size_t WordCount(PartKind kind)
{
    switch (kind) {
    case PartKind::Int32Quad: return 4;
    case PartKind::SignedBytePair:
    case PartKind::BytePair: return 2;
    default: return 1;
    }
}

bool ParsePart(const ValuePart& part, const std::vector<SourceToken>& tokens, size_t& pos, unsigned char* value,
               std::string& error)
{
    if (part.kind == PartKind::Text)
        return ParseText(tokens, pos, value + part.offset, part.size, error);
    std::vector<std::string> words;
    if (!TakeWords(tokens, pos, WordCount(part.kind), words)) {
        error = std::string("'") + part.name + "' needs " + std::to_string(WordCount(part.kind)) + " value(s)";
        return false;
    }
    long long number = 0;
    int32_t int32 = 0;
    uint32_t colour = 0;
    unsigned char* place = value + part.offset;
    switch (part.kind) {
    case PartKind::Int32:
    case PartKind::HexInt32:
        if (!ParseInt32Word(words[0], int32))
            break;
        StoreLittleEndian32(place, static_cast<uint32_t>(int32));
        return true;
    case PartKind::Int32Quad: {
        int32_t values[4];
        bool valid = true;
        for (int i = 0; i < 4 && valid; ++i)
            valid = ParseInt32Word(words[i], values[i]);
        if (!valid)
            break;
        for (int i = 0; i < 4; ++i)
            StoreLittleEndian32(place + 4 * i, static_cast<uint32_t>(values[i]));
        return true;
    }
    case PartKind::UInt8:
        if (!ParseRanged(words[0], 0, 255, number))
            break;
        *place = static_cast<unsigned char>(number);
        return true;
    case PartKind::UInt16:
        if (!ParseRanged(words[0], 0, 65535, number))
            break;
        place[0] = static_cast<unsigned char>(number);
        place[1] = static_cast<unsigned char>(number >> 8);
        return true;
    case PartKind::SignedBytePair:
    case PartKind::BytePair: {
        const long long low = part.kind == PartKind::SignedBytePair ? -128 : 0;
        const long long high = part.kind == PartKind::SignedBytePair ? 127 : 255;
        long long second = 0;
        if (!ParseRanged(words[0], low, high, number) || !ParseRanged(words[1], low, high, second))
            break;
        place[0] = static_cast<unsigned char>(number);
        const size_t secondOffset = part.kind == PartKind::BytePair ? part.offset2 : part.offset + 1;
        value[secondOffset] = static_cast<unsigned char>(second);
        return true;
    }
    case PartKind::Colour:
        if (!ParseColourWord(words[0], true, colour))
            break;
        StoreLittleEndian32(place, ColourRefFromRgbOrder(colour));
        return true;
    case PartKind::Rgb:
        if (!ParseColourWord(words[0], false, colour))
            break;
        place[0] = static_cast<unsigned char>(colour >> 16);
        place[1] = static_cast<unsigned char>(colour >> 8);
        place[2] = static_cast<unsigned char>(colour);
        return true;
    case PartKind::Text:
        break;
    }
    error = std::string("bad value for '") + part.name + "'";
    return false;
}

std::string FormatPart(const ValuePart& part, const unsigned char* value)
{
    const unsigned char* place = value + part.offset;
    switch (part.kind) {
    case PartKind::Text:
        return QuoteSourceString(std::string(reinterpret_cast<const char*>(place), strnlen(reinterpret_cast<const char*>(place), part.size)));
    case PartKind::Int32:
        return FormatInt(static_cast<int32_t>(LoadLittleEndian32(place)));
    case PartKind::HexInt32:
        return FormatHex32(LoadLittleEndian32(place));
    case PartKind::Int32Quad: {
        std::string out;
        for (int i = 0; i < 4; ++i)
            out += (i ? " " : "") + FormatInt(static_cast<int32_t>(LoadLittleEndian32(place + 4 * i)));
        return out;
    }
    case PartKind::UInt8:
        return FormatInt(*place);
    case PartKind::UInt16:
        return FormatInt(place[0] | place[1] << 8);
    case PartKind::SignedBytePair:
        return FormatInt(static_cast<signed char>(place[0])) + " " + FormatInt(static_cast<signed char>(place[1]));
    case PartKind::BytePair:
        return FormatInt(place[0]) + " " + FormatInt(value[part.offset2]);
    case PartKind::Colour:
        return FormatColourRef(LoadLittleEndian32(place));
    case PartKind::Rgb:
        return FormatRgb(place);
    }
    return "";
}

bool IsPartZero(const ValuePart& part, const unsigned char* value)
{
    const unsigned char* place = value + part.offset;
    return part.kind == PartKind::UInt16 ? (place[0] | place[1]) == 0 : false;
}

bool ParseStructured(const PartTable& table, FieldKind kind, const std::vector<SourceToken>& tokens, size_t pos,
                     unsigned char* field, size_t size, std::string& error)
{
    if (pos < tokens.size() && tokens[pos].type == SourceToken::Word && tokens[pos].text == "none" &&
        pos + 1 == tokens.size()) {
        std::memset(field, 0, size);
        return true;
    }
    if (pos >= tokens.size() || tokens[pos].type != SourceToken::OpenBrace) {
        error = std::string("a ") + FieldKindName(kind) + " is written { part value ... } or none";
        return false;
    }
    std::vector<const ValuePart*> seen;
    for (++pos; pos < tokens.size() && tokens[pos].type != SourceToken::CloseBrace;) {
        const ValuePart* part = nullptr;
        for (size_t i = 0; i < table.count; ++i)
            if (tokens[pos].type == SourceToken::Word && tokens[pos].text == table.parts[i].name)
                part = &table.parts[i];
        if (!part) {
            std::string names;
            for (size_t i = 0; i < table.count; ++i)
                names += std::string(i ? ", " : "") + table.parts[i].name;
            error = "unknown part '" + tokens[pos].text + "' of a " + FieldKindName(kind) + " (parts: " + names + ")";
            return false;
        }
        for (const ValuePart* earlier : seen)
            if (earlier == part) {
                error = std::string("part '") + part->name + "' given twice";
                return false;
            }
        seen.push_back(part);
        ++pos;
        if (!ParsePart(*part, tokens, pos, field, error))
            return false;
    }
    if (pos + 1 != tokens.size()) {
        error = pos >= tokens.size() ? "missing '}'" : "text after '}'";
        return false;
    }
    return true;
}

bool ExpectSingle(const std::vector<SourceToken>& tokens, size_t pos, SourceToken::Type type, std::string& error,
                  const char* what)
{
    if (pos + 1 == tokens.size() && tokens[pos].type == type)
        return true;
    error = std::string("expected ") + what;
    return false;
}

bool ParseScalar(FieldKind kind, const std::vector<SourceToken>& tokens, size_t pos, unsigned char* field, size_t size,
                 std::string& error)
{
    int32_t int32 = 0;
    uint32_t colour = 0;
    long long number = 0;
    switch (kind) {
    case FieldKind::Int:
    case FieldKind::Bool:
        if (!ExpectSingle(tokens, pos, SourceToken::Word, error, "a number"))
            return false;
        if (!ParseInt32Word(tokens[pos].text, int32)) {
            error = "'" + tokens[pos].text + "' is not a 32-bit number";
            return false;
        }
        StoreLittleEndian32(field, static_cast<uint32_t>(int32));
        return true;
    case FieldKind::Byte:
        if (!ExpectSingle(tokens, pos, SourceToken::Word, error, "a number from 0 to 255"))
            return false;
        if (!ParseRanged(tokens[pos].text, 0, 255, number)) {
            error = "'" + tokens[pos].text + "' is not a number from 0 to 255";
            return false;
        }
        field[0] = static_cast<unsigned char>(number);
        return true;
    case FieldKind::Colour:
        if (!ExpectSingle(tokens, pos, SourceToken::Word, error, "a colour #RRGGBB"))
            return false;
        if (!ParseColourWord(tokens[pos].text, true, colour)) {
            error = "'" + tokens[pos].text + "' is not a colour #RRGGBB";
            return false;
        }
        StoreLittleEndian32(field, ColourRefFromRgbOrder(colour));
        return true;
    case FieldKind::Rect: {
        std::vector<std::string> words;
        size_t at = pos;
        if (!TakeWords(tokens, at, 4, words) || at != tokens.size()) {
            error = "expected four numbers: left top right bottom";
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            if (!ParseInt32Word(words[i], int32)) {
                error = "'" + words[i] + "' is not a 32-bit number";
                return false;
            }
            StoreLittleEndian32(field + 4 * i, static_cast<uint32_t>(int32));
        }
        return true;
    }
    case FieldKind::String: {
        if (!ExpectSingle(tokens, pos, SourceToken::String, error, "a quoted string"))
            return false;
        size_t at = pos;
        return ParseText(tokens, at, field, size, error);
    }
    case FieldKind::Bytes:
        if (!ExpectSingle(tokens, pos, SourceToken::Bytes, error, "a byte list <..>"))
            return false;
        if (tokens[pos].text.size() > size) {
            error = "more than " + std::to_string(size) + " bytes";
            return false;
        }
        std::memset(field, 0, size);
        std::memcpy(field, tokens[pos].text.data(), tokens[pos].text.size());
        return true;
    default:
        error = "no scalar syntax";
        return false;
    }
}

struct KindName {
    int32_t kind;
    const char* name;
};

const KindName kKindNames[] = {
    {0, "Font"}, {1, "String"}, {2, "Colour"}, {3, "Image"}, {4, "FrameImage"}, {6, "Bool"}, {7, "Int"}, {9, "TextEffect"},
};

}  // namespace

bool ParseInt32Word(const std::string& word, int32_t& value)
{
    long long number = 0;
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const long long low = hex ? 0 : std::numeric_limits<int32_t>::min();
    const long long high = hex ? 0xFFFFFFFFLL : std::numeric_limits<int32_t>::max();
    if (!ParseRanged(word, low, high, number))
        return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(number));
    return true;
}

bool ParseFieldValue(FieldKind kind, const std::vector<SourceToken>& tokens, size_t first, unsigned char* field,
                     size_t size, std::string& error)
{
    if (first >= tokens.size()) {
        error = "missing value";
        return false;
    }
    PartTable table = {};
    if (StructuredParts(kind, table))
        return ParseStructured(table, kind, tokens, first, field, size, error);
    return ParseScalar(kind, tokens, first, field, size, error);
}

std::string FormatFieldValue(FieldKind kind, const unsigned char* field, size_t size)
{
    PartTable table = {};
    if (StructuredParts(kind, table)) {
        bool allZero = true;
        for (size_t i = 0; i < size; ++i)
            allZero = allZero && field[i] == 0;
        if (allZero)
            return "none";
        std::string out = "{";
        for (size_t i = 0; i < table.count; ++i)
            if (!(table.parts[i].omitWhenZero && IsPartZero(table.parts[i], field)))
                out += std::string(" ") + table.parts[i].name + " " + FormatPart(table.parts[i], field);
        return out + " }";
    }
    switch (kind) {
    case FieldKind::Int:
    case FieldKind::Bool:
        return FormatInt(static_cast<int32_t>(LoadLittleEndian32(field)));
    case FieldKind::Byte:
        return FormatInt(field[0]);
    case FieldKind::Colour:
        return FormatColourRef(LoadLittleEndian32(field));
    case FieldKind::Rect:
        return FormatPart({"rect", PartKind::Int32Quad, 0, 0, 0, false}, field);
    case FieldKind::String:
        return QuoteSourceString(std::string(reinterpret_cast<const char*>(field), strnlen(reinterpret_cast<const char*>(field), size)));
    case FieldKind::Bytes: {
        size_t used = size;
        while (used > 0 && field[used - 1] == 0)
            --used;
        return FormatSourceBytes(field, used);
    }
    default:
        return "";
    }
}

bool ParseKindName(const std::string& word, int32_t& kind)
{
    for (const KindName& entry : kKindNames)
        if (word == entry.name) {
            kind = entry.kind;
            return true;
        }
    return ParseInt32Word(word, kind);
}

std::string FormatKindName(int32_t kind)
{
    for (const KindName& entry : kKindNames)
        if (entry.kind == kind)
            return entry.name;
    return std::to_string(kind);
}
