// How a program started with a Windows command line finds its arguments:
// the rules of CommandLineToArgvW, written out for tests on any platform.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline bool NoLeadBytes(unsigned char)
{
    return false;
}

// The arguments a program finds in `line` under CommandLineToArgvW's rules,
// once the system has read the line in a code page where `isLeadByte`
// starts a two-byte character (taken whole: never a blank, quote or
// backslash). The program's name ends at the first blank or tab unless it
// is quoted, and has no escapes. After it, 2n backslashes and a quote give
// n backslashes and open or close a quoted part, 2n+1 give n and a quote;
// other backslashes stand for themselves. A doubled quote inside a quoted
// part is read differently by different versions of the rules: null then.
inline std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line,
                                                                bool (*isLeadByte)(unsigned char) = NoLeadBytes)
{
    std::vector<std::string> args;
    std::size_t i = 0;
    std::string name;
    if (!line.empty() && line[0] == '"') {
        for (i = 1; i < line.size() && line[i] != '"'; ++i)
            name += line[i];
        ++i;
    } else {
        for (; i < line.size() && line[i] != ' ' && line[i] != '\t'; ++i)
            name += line[i];
    }
    args.push_back(name);
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            return args;
        std::string arg;
        bool quoted = false;
        std::size_t backslashes = 0;
        for (; i < line.size(); ++i) {
            const char c = line[i];
            if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < line.size()) {
                arg.append(backslashes, '\\');
                backslashes = 0;
                arg += c;
                arg += line[++i];
                continue;
            }
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            if (c == '"') {
                arg.append(backslashes / 2, '\\');
                const bool escaped = backslashes % 2 != 0;
                backslashes = 0;
                if (escaped) {
                    arg += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    return std::nullopt;
                } else {
                    quoted = !quoted;
                }
                continue;
            }
            arg.append(backslashes, '\\');
            backslashes = 0;
            if (!quoted && (c == ' ' || c == '\t'))
                break;
            arg += c;
        }
        arg.append(backslashes, '\\');
        args.push_back(arg);
    }
}
