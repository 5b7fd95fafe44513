#include "CommandLine.h"

#include <windows.h>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the argument at `p` (not a blank) and moves `p` past it.
std::string ReadArgument(const char*& p)
{
    std::string argument;
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
        // A Big5 character's second byte can be a backslash: it is text, not an escape.
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
            argument.append(p, 2);
            p += 2;
            continue;
        }
        if (*p == '\\') {
            size_t count = 0;
            for (; *p == '\\'; ++p)
                ++count;
            if (*p != '"') {
                argument.append(count, '\\');
                continue;
            }
            argument.append(count / 2, '\\');
            if (count % 2 == 1) {
                argument += *p++;
                continue;
            }
        }
        if (*p == '"') {
            if (quoted && p[1] == '"') {
                argument += '"';
                p += 2;
            } else {
                quoted = !quoted;
                ++p;
            }
            continue;
        }
        argument += *p++;
    }
    return argument;
}

// The value of "--NAME=VALUE" when `argument` is that option, else null.
const char* OptionValue(const std::string& argument, const std::string& name)
{
    const std::string prefix = "--" + name + "=";
    return argument.compare(0, prefix.size(), prefix) == 0 ? argument.c_str() + prefix.size() : nullptr;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine)
{
    std::vector<std::string> arguments;
    const char* p = commandLine ? commandLine : "";
    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            return arguments;
        arguments.push_back(ReadArgument(p));
    }
}

bool FindOption(const char* commandLine, const char* name, std::string& value)
{
    bool found = false;
    for (const std::string& argument : SplitCommandLine(commandLine)) {
        if (const char* given = OptionValue(argument, name)) {
            value = given;
            found = true;
        }
    }
    return found;
}

std::string FindBadOption(const char* commandLine, const std::vector<std::string>& knownNames)
{
    for (const std::string& argument : SplitCommandLine(commandLine)) {
        if (argument.compare(0, 2, "--") != 0)
            continue;
        bool known = false;
        for (const std::string& name : knownNames) {
            const char* value = OptionValue(argument, name);
            known = known || (value && *value);
        }
        if (!known)
            return argument;
    }
    return std::string();
}
