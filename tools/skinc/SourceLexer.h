// Splits one line of skin source into tokens: words, quoted strings,
// <hex bytes>, braces and '='. A ';' outside a string ends the line.
#pragma once

#include <string>
#include <vector>

struct SourceToken {
    enum Type { Word, String, Bytes, OpenBrace, CloseBrace, Equals };

    Type type;
    // Words as written; strings and byte lists decoded to their bytes.
    std::string text;
};

// Tokens of `line`; false with a message in `error` for an unterminated
// string or byte list or a bad escape or hex digit.
bool TokenizeSourceLine(const std::string& line, std::vector<SourceToken>& tokens, std::string& error);

// A string as the source writes it: quoted, with escapes for '"', '\' and
// every byte outside printable ASCII.
std::string QuoteSourceString(const std::string& bytes);
// A byte list as the source writes it: <01 02 ff>.
std::string FormatSourceBytes(const unsigned char* bytes, size_t count);
