// The skin source form of field values, by value kind: parsing from the
// tokens after '=' and formatting for the dump. Structured values (images,
// fonts, text effects) are read part by part on top of the field's current
// bytes, so parts left out keep the default.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/FieldSchema.h"
#include "SourceLexer.h"

// Parses tokens[first ..] into the `size` bytes of `field`; false with a
// message in `error`.
bool ParseFieldValue(FieldKind kind, const std::vector<SourceToken>& tokens, size_t first, unsigned char* field,
                     size_t size, std::string& error);
std::string FormatFieldValue(FieldKind kind, const unsigned char* field, size_t size);

// Kind names as the source writes them for custom values ("Int", "Font").
bool ParseKindName(const std::string& word, int32_t& kind);
std::string FormatKindName(int32_t kind);

// A decimal or 0x hexadecimal int32 (hex as a 32-bit pattern).
bool ParseInt32Word(const std::string& word, int32_t& value);
