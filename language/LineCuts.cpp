#include "language/LineCuts.h"

#include <algorithm>
#include <cstring>

namespace {

// Marks are numbered through the private use planes 15 and 16, 65,534 characters each.
constexpr char32_t kPlaneSize = 0xFFFE;
constexpr char32_t kFirstPlane = 0xF0000;
constexpr char32_t kSecondPlane = 0x100000;
constexpr std::uint32_t kMarks = 2 * kPlaneSize;

std::string encode(std::uint32_t number)
{
    const char32_t code = number < kPlaneSize ? kFirstPlane + number : kSecondPlane + (number - kPlaneSize);
    return {char(0xF0 | (code >> 18)), char(0x80 | ((code >> 12) & 0x3F)), char(0x80 | ((code >> 6) & 0x3F)),
            char(0x80 | (code & 0x3F))};
}

// The number of the mark at the start of `text`, or kMarks when there is none.
std::uint32_t decode(std::string_view text)
{
    if (text.size() < LineCuts::kMarkBytes)
        return kMarks;
    const auto byte = [text](std::size_t i) { return char32_t(static_cast<unsigned char>(text[i])); };
    const char32_t code = ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
    if (code >= kFirstPlane && code < kFirstPlane + kPlaneSize)
        return std::uint32_t(code - kFirstPlane);
    if (code >= kSecondPlane && code < kSecondPlane + kPlaneSize)
        return std::uint32_t(code - kSecondPlane + kPlaneSize);
    return kMarks;
}

bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The end of the line that starts at `start`, before its line end.
std::size_t lineEndFrom(std::string_view text, std::size_t start)
{
    const void* found = std::memchr(text.data() + start, '\n', text.size() - start);
    std::size_t end = found ? std::size_t(static_cast<const char*>(found) - text.data()) : text.size();
    if (end > start && text[end - 1] == '\r')
        --end;
    return end;
}

} // namespace

bool LineCuts::isMarkAt(std::string_view text, std::size_t at)
{
    return at < text.size() && static_cast<unsigned char>(text[at]) >= 0xF0 &&
           decode(text.substr(at, kMarkBytes)) < kMarks;
}

std::size_t LineCuts::cutPoint(std::string_view line)
{
    std::size_t cut = std::min(line.size(), kLineReach);
    while (cut > 0 && cut < line.size() && isContinuation(line[cut]))
        --cut;
    return cut;
}

std::size_t LineCuts::placeAfterCut(std::size_t place, std::size_t cut, std::size_t end)
{
    if (place <= cut)
        return place;
    return place >= end ? place - (end - cut) + kMarkBytes : cut;
}

std::optional<std::string> LineCuts::cutLongLines(std::string_view text, std::vector<std::size_t>* marks)
{
    std::string shown;
    std::size_t copied = 0;
    // Looks a reach ahead from each line's start for the last line end there: no line end means
    // a long line. Most scripts are read in steps of a reach, not line by line.
    for (std::size_t start = 0; start + kLineReach < text.size();) {
        const std::string_view window = text.substr(start, kLineReach + 1);
        const auto* lastLineEnd = static_cast<const char*>(memrchr(window.data(), '\n', window.size()));
        if (lastLineEnd) {
            start += std::size_t(lastLineEnd - window.data()) + 1;
            continue;
        }
        const std::size_t end = lineEndFrom(text, start);
        const std::size_t cut = start + cutPoint(text.substr(start, end - start));
        std::string mark = cut < end ? markFor(std::string(text.substr(cut, end - cut))) : std::string();
        if (!mark.empty()) {
            shown.append(text.substr(copied, cut - copied));
            if (marks)
                marks->push_back(shown.size());
            shown += mark;
            copied = end;
        }
        start = end;
    }
    if (copied == 0)
        return std::nullopt;
    shown.append(text.substr(copied));
    return shown;
}

std::string LineCuts::markFor(std::string rest)
{
    const std::size_t size = rest.size();
    return markFor(Rest{std::make_shared<const std::string>(std::move(rest)), 0, size});
}

std::string LineCuts::markFor(Rest rest)
{
    if (m_rests.size() >= kMarks)
        return {};
    m_rests.push_back(std::move(rest));
    return encode(std::uint32_t(m_rests.size() - 1));
}

std::string LineCuts::markForPart(std::string_view mark, std::size_t begin, std::size_t end)
{
    const std::uint32_t number = decode(mark);
    if (number >= m_rests.size())
        return {};
    Rest part = m_rests[number];
    end = std::min(end, part.size);
    begin = std::min(begin, end);
    part.begin += begin;
    part.size = end - begin;
    return markFor(std::move(part));
}

std::optional<std::string> LineCuts::markWithoutCharacter(std::string_view mark, bool first)
{
    const std::string_view rest = restOf(mark);
    // The bytes that continue a character go with it.
    const auto continues = [rest](std::size_t at) { return (static_cast<unsigned char>(rest[at]) & 0xC0) == 0x80; };
    std::size_t begin = 0;
    std::size_t end = rest.size();
    if (first) {
        do
            ++begin;
        while (begin < end && continues(begin));
    } else if (end > 0) {
        do
            --end;
        while (end > 0 && continues(end));
    }
    if (begin >= end)
        return std::string();
    std::string shorter = markForPart(mark, begin, end);
    if (shorter.empty())
        return std::nullopt;
    return shorter;
}

std::string_view LineCuts::restOf(std::string_view mark) const
{
    const std::uint32_t number = decode(mark);
    return number < m_rests.size() ? m_rests[number].view() : std::string_view();
}

void LineCuts::expandInto(std::string& out, std::string_view shown) const
{
    std::size_t copied = 0;
    for (std::size_t p = 0; p < shown.size(); ++p) {
        if (static_cast<unsigned char>(shown[p]) < 0xF0 || !isMarkAt(shown, p))
            continue;
        out.append(shown.substr(copied, p - copied));
        out.append(restOf(shown.substr(p, kMarkBytes)));
        p += kMarkBytes - 1;
        copied = p + 1;
    }
    out.append(shown.substr(copied));
}

std::string LineCuts::expanded(std::string_view shown) const
{
    std::string out;
    out.reserve(shown.size());
    expandInto(out, shown);
    return out;
}

void LineCuts::moveForInsertion(std::size_t position, std::size_t length)
{
    for (auto mark = std::lower_bound(m_marks.begin(), m_marks.end(), position); mark != m_marks.end(); ++mark)
        mark->position += length;
}

void LineCuts::findMarks(std::size_t position, std::string_view inserted)
{
    std::vector<Mark> brought;
    for (std::size_t p = 0; p < inserted.size(); ++p) {
        if (static_cast<unsigned char>(inserted[p]) < 0xF0)
            continue;
        if (const std::uint32_t number = decode(inserted.substr(p, kMarkBytes)); number < m_rests.size())
            brought.push_back({position + p, number});
    }
    m_marks.insert(std::lower_bound(m_marks.begin(), m_marks.end(), position), brought.begin(), brought.end());
}

void LineCuts::removeRange(std::size_t position, std::size_t length)
{
    const auto from = std::lower_bound(m_marks.begin(), m_marks.end(), position);
    const auto to = std::lower_bound(from, m_marks.end(), position + length);
    for (auto mark = m_marks.erase(from, to); mark != m_marks.end(); ++mark)
        mark->position -= length;
}

void LineCuts::setMarks(std::string_view text, const std::vector<std::size_t>& marks)
{
    m_marks.clear();
    for (const std::size_t position : marks)
        m_marks.push_back({position, decode(text.substr(position, kMarkBytes))});
}

std::size_t LineCuts::shownPosition(std::size_t scriptOffset, bool* inRest) const
{
    if (inRest)
        *inRest = false;
    // How far the script's offsets run ahead of the editor's positions before the next mark.
    std::size_t ahead = 0;
    for (const Mark& mark : m_marks) {
        const std::size_t restBegin = mark.position + ahead;
        if (scriptOffset < restBegin)
            break;
        const std::size_t restSize = restOf(mark).size();
        if (scriptOffset < restBegin + restSize) {
            if (inRest)
                *inRest = true;
            return mark.position;
        }
        ahead += restSize;
        ahead -= kMarkBytes;
    }
    return scriptOffset - ahead;
}

std::size_t LineCuts::scriptOffset(std::size_t shownPosition) const
{
    std::size_t offset = shownPosition;
    for (auto mark = m_marks.begin(); mark != m_marks.end() && mark->position < shownPosition; ++mark) {
        offset += restOf(*mark).size();
        offset -= kMarkBytes;
    }
    return offset;
}

std::vector<std::pair<std::size_t, std::size_t>> LineCuts::restRanges() const
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    std::size_t ahead = 0;
    for (const Mark& mark : m_marks) {
        const std::size_t begin = mark.position + ahead;
        const std::size_t size = restOf(mark).size();
        ranges.emplace_back(begin, begin + size);
        ahead += size;
        ahead -= kMarkBytes;
    }
    return ranges;
}

bool LineCuts::isMarkAt(std::size_t position) const
{
    const auto mark = std::lower_bound(m_marks.begin(), m_marks.end(), position);
    return mark != m_marks.end() && mark->position == position;
}

std::vector<std::string_view> LineCuts::scriptParts(std::string_view first, std::string_view second) const
{
    std::vector<std::string_view> parts;
    const auto addShown = [&](std::size_t from, std::size_t to) {
        if (from < first.size())
            parts.push_back(first.substr(from, std::min(to, first.size()) - from));
        if (to > first.size())
            parts.push_back(second.substr(std::max(from, first.size()) - first.size(), to - std::max(from, first.size())));
    };
    std::size_t shown = 0;
    for (const Mark& mark : m_marks) {
        addShown(shown, mark.position);
        parts.push_back(restOf(mark));
        shown = mark.position + kMarkBytes;
    }
    addShown(shown, first.size() + second.size());
    return parts;
}
