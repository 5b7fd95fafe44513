#include "SourceLexer.h"

#include <cstdio>

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsSpecial(char c)
{
    return c == '"' || c == '<' || c == '{' || c == '}' || c == '=' || c == ';';
}

// Reads a quoted string starting at line[pos] == '"'; pos ends after it.
bool ReadString(const std::string& line, size_t& pos, std::string& out, std::string& error)
{
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            break;
        switch (line[pos]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'x': {
            const int high = pos + 1 < line.size() ? HexDigit(line[pos + 1]) : -1;
            const int low = pos + 2 < line.size() ? HexDigit(line[pos + 2]) : -1;
            if (high < 0 || low < 0) {
                error = "\\x needs two hex digits";
                return false;
            }
            out += static_cast<char>(high * 16 + low);
            pos += 2;
            break;
        }
        default:
            error = std::string("unknown escape \\") + line[pos];
            return false;
        }
    }
    error = "string without closing quote";
    return false;
}

// Reads <hex bytes> starting at line[pos] == '<'; blanks between digits are
// allowed, but each byte is two digits.
bool ReadBytes(const std::string& line, size_t& pos, std::string& out, std::string& error)
{
    int pending = -1;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (IsBlank(c))
            continue;
        if (c == '>') {
            ++pos;
            if (pending >= 0) {
                error = "odd number of hex digits in byte list";
                return false;
            }
            return true;
        }
        const int digit = HexDigit(c);
        if (digit < 0) {
            error = std::string("'") + c + "' is not a hex digit";
            return false;
        }
        if (pending < 0) {
            pending = digit;
        } else {
            out += static_cast<char>(pending * 16 + digit);
            pending = -1;
        }
    }
    error = "byte list without closing '>'";
    return false;
}

}  // namespace

bool TokenizeSourceLine(const std::string& line, std::vector<SourceToken>& tokens, std::string& error)
{
    tokens.clear();
    size_t pos = 0;
    while (pos < line.size()) {
        const char c = line[pos];
        if (IsBlank(c)) {
            ++pos;
        } else if (c == ';') {
            break;
        } else if (c == '"') {
            SourceToken token{SourceToken::String, ""};
            if (!ReadString(line, pos, token.text, error))
                return false;
            tokens.push_back(token);
        } else if (c == '<') {
            SourceToken token{SourceToken::Bytes, ""};
            if (!ReadBytes(line, pos, token.text, error))
                return false;
            tokens.push_back(token);
        } else if (c == '{' || c == '}' || c == '=') {
            const SourceToken::Type type =
                c == '{' ? SourceToken::OpenBrace : c == '}' ? SourceToken::CloseBrace : SourceToken::Equals;
            tokens.push_back({type, std::string(1, c)});
            ++pos;
        } else {
            const size_t start = pos;
            while (pos < line.size() && !IsBlank(line[pos]) && !IsSpecial(line[pos]))
                ++pos;
            tokens.push_back({SourceToken::Word, line.substr(start, pos - start)});
        }
    }
    return true;
}

std::string QuoteSourceString(const std::string& bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u > 0x7E) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string FormatSourceBytes(const unsigned char* bytes, size_t count)
{
    std::string out = "<";
    for (size_t i = 0; i < count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i ? " %02x" : "%02x", bytes[i]);
        out += hex;
    }
    return out + ">";
}
