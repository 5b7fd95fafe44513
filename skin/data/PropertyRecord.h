// One named property of a skin object: a registered key bound to one of the
// object's own fields, or a custom value that owns its bytes and text.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class PropertyRecord {
public:
    static const size_t kKeySize = 31;          // at most 30 characters
    static const size_t kDefaultTextSize = 51;  // at most 50 characters
    // Kind of a custom value that has not been read.
    static const int32_t kKindUnread = 100;

    // A custom value not yet read: no key, no value.
    PropertyRecord();
    // A registered property: `field` stays the object's, never freed here.
    // The key is cut to 29 and the default text to 49 characters.
    PropertyRecord(int32_t kind, const char* key, const char* defaultText, void* field, int32_t size);

    PropertyRecord(const PropertyRecord&) = delete;
    PropertyRecord& operator=(const PropertyRecord&) = delete;

    int32_t Kind() const { return kind_; }
    int32_t Size() const { return size_; }
    void* Value() const { return value_; }
    bool OwnsValue() const { return ownedValue_ != nullptr; }
    const char* Key() const { return key_; }
    const char* DefaultText() const { return defaultText_; }
    // The custom value's text, or null when it carries none.
    const char* Text() const { return text_.get(); }
    int32_t TextLength() const { return textLength_; }

    // Raw storage of a custom value as the container holds it.
    char* KeyBytes() { return key_; }
    char* DefaultTextBytes() { return defaultText_; }
    void SetKind(int32_t kind) { kind_ = kind; }
    // Takes a buffer of at least `size` bytes as the value.
    void TakeValue(std::unique_ptr<uint8_t[]> buffer, int32_t size);
    // Takes `length` bytes of text; the last one is made NUL.
    void TakeText(std::unique_ptr<char[]> text, int32_t length);

private:
    int32_t kind_;
    int32_t size_;
    void* value_;
    std::unique_ptr<char[]> text_;
    int32_t textLength_;
    char key_[kKeySize];
    char defaultText_[kDefaultTextSize];
    std::unique_ptr<uint8_t[]> ownedValue_;
};
