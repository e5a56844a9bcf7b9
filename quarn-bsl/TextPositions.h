#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// A place in a text as an editor names it: a line from 0 and a column counted in the code units
// of an encoding, over UTF-8 text whose lines end in CR LF, CR or LF, as the script reader and
// the protocol's clients both count them.

enum class PositionEncoding : std::uint8_t {
    Utf8,   // bytes
    Utf16,  // UTF-16 code units: a character beyond the 16-bit range counts two
    Utf32,  // characters
};

struct TextPosition {
    std::uint32_t line = 0;
    std::uint32_t column = 0;

    friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

// Where each line of a text starts.
class LineIndex {
public:
    explicit LineIndex(std::string_view text);

    std::size_t lineCount() const { return m_starts.size(); }
    std::size_t lineStart(std::size_t line) const { return m_starts[line]; }
    // The line that holds `offset`; the last line for an offset past the end.
    std::size_t lineOf(std::size_t offset) const;
    // Where the line ends, before its line end.
    std::size_t lineEnd(std::string_view text, std::size_t line) const;

    // The position of `offset`; an offset inside a line end or a character counts as its start.
    TextPosition positionOf(std::string_view text, std::size_t offset, PositionEncoding encoding) const;
    // The offset of `position`, clamped into the text: a line past the last is the text's end, a
    // column past its line's end is that end, a column inside a character is its start.
    std::size_t offsetOf(std::string_view text, TextPosition position, PositionEncoding encoding) const;

private:
    std::vector<std::uint32_t> m_starts;
};

// How many code units of `encoding` the UTF-8 text holds.
std::uint32_t unitCount(std::string_view text, PositionEncoding encoding);
