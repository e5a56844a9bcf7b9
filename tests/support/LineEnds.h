#pragma once

#include <string>
#include <string_view>

// Scripts are written in tests with LF; the editor's text ends every line with CR LF.
inline std::string crlf(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}
