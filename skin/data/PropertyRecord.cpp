#include "data/PropertyRecord.h"

#include <cstring>

namespace {

// Copies at most maxChars characters and terminates the copy.
void CopyCut(char* dest, size_t destSize, const char* source, size_t maxChars)
{
    std::memset(dest, 0, destSize);
    if (!source)
        return;
    const size_t length = strnlen(source, maxChars);
    std::memcpy(dest, source, length);
}

}  // namespace

PropertyRecord::PropertyRecord()
    : kind_(kKindUnread), size_(0), value_(nullptr), textLength_(0), key_(), defaultText_()
{
}

PropertyRecord::PropertyRecord(int32_t kind, const char* key, const char* defaultText, void* field, int32_t size)
    : kind_(kind), size_(size), value_(field), textLength_(0)
{
    CopyCut(key_, sizeof key_, key, kKeySize - 2);
    CopyCut(defaultText_, sizeof defaultText_, defaultText, kDefaultTextSize - 2);
}

void PropertyRecord::TakeValue(std::unique_ptr<uint8_t[]> buffer, int32_t size)
{
    ownedValue_ = std::move(buffer);
    value_ = ownedValue_.get();
    size_ = ownedValue_ ? size : 0;
}

void PropertyRecord::TakeText(std::unique_ptr<char[]> text, int32_t length)
{
    text_ = std::move(text);
    textLength_ = text_ ? length : 0;
    if (text_ && length > 0)
        text_[length - 1] = '\0';
}
