#include "quarn-bsl/TextPositions.h"

#include <algorithm>

namespace {

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The bytes of the character whose first byte is `lead`; a stray continuation byte is one.
std::size_t sequenceLength(char lead)
{
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}

std::uint32_t unitsOf(std::size_t length, PositionEncoding encoding)
{
    switch (encoding) {
    case PositionEncoding::Utf8: return std::uint32_t(length);
    case PositionEncoding::Utf16: return length == 4 ? 2 : 1;
    case PositionEncoding::Utf32: return 1;
    }
    return 1;
}

} // namespace

LineIndex::LineIndex(std::string_view text)
{
    m_starts.reserve(text.size() / 32 + 1);
    m_starts.push_back(0);
    const char* const begin = text.data();
    const std::size_t size = text.size();
    for (std::size_t p = 0; p < size; ++p) {
        const char c = begin[p];
        if (c != '\r' && c != '\n')
            continue;
        if (c == '\r' && p + 1 < size && begin[p + 1] == '\n')
            ++p;
        m_starts.push_back(std::uint32_t(p + 1));
    }
}

std::size_t LineIndex::lineOf(std::size_t offset) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    return std::size_t(after - m_starts.begin()) - 1;
}

std::size_t LineIndex::lineEnd(std::string_view text, std::size_t line) const
{
    std::size_t end = line + 1 < m_starts.size() ? m_starts[line + 1] : text.size();
    while (end > m_starts[line] && (text[end - 1] == '\n' || text[end - 1] == '\r'))
        --end;
    return end;
}

TextPosition LineIndex::positionOf(std::string_view text, std::size_t offset, PositionEncoding encoding) const
{
    offset = std::min(offset, text.size());
    const std::size_t line = lineOf(offset);
    const std::size_t start = m_starts[line];
    offset = std::min(offset, lineEnd(text, line));
    while (offset > start && offset < text.size() && isContinuation(text[offset]))
        --offset;
    return {std::uint32_t(line), unitCount(text.substr(start, offset - start), encoding)};
}

std::size_t LineIndex::offsetOf(std::string_view text, TextPosition position, PositionEncoding encoding) const
{
    if (position.line >= m_starts.size())
        return text.size();
    const std::size_t end = lineEnd(text, position.line);
    std::size_t p = m_starts[position.line];
    std::uint32_t units = 0;
    while (p < end) {
        const std::size_t length = std::min(sequenceLength(text[p]), end - p);
        const std::uint32_t width = unitsOf(length, encoding);
        if (units + width > position.column)
            break;
        units += width;
        p += length;
    }
    return p;
}

std::uint32_t unitCount(std::string_view text, PositionEncoding encoding)
{
    if (encoding == PositionEncoding::Utf8)
        return std::uint32_t(text.size());
    std::uint32_t units = 0;
    for (const char c : text) {
        if (isContinuation(c))
            continue;
        units += encoding == PositionEncoding::Utf16 && static_cast<unsigned char>(c) >= 0xF0 ? 2 : 1;
    }
    return units;
}
