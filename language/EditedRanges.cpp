#include "language/EditedRanges.h"

#include <algorithm>

namespace {

constexpr std::size_t kMostRanges = 16;

} // namespace

void EditedRanges::inserted(std::size_t position, std::size_t length)
{
    for (TextRange& range : m_ranges) {
        if (range.begin > position)
            range.begin += length;
        if (range.end >= position)
            range.end += length;
    }
    add({position, position + length});
}

void EditedRanges::removed(std::size_t position, std::size_t length)
{
    const auto after = [&](std::size_t offset) {
        return offset <= position ? offset : offset >= position + length ? offset - length : position;
    };
    for (TextRange& range : m_ranges)
        range = {after(range.begin), after(range.end)};
    add({position, position});
}

void EditedRanges::add(TextRange range)
{
    const auto at = std::lower_bound(m_ranges.begin(), m_ranges.end(), range.begin,
                                     [](const TextRange& r, std::size_t begin) { return r.end < begin; });
    auto last = at;
    while (last != m_ranges.end() && last->begin <= range.end) {
        range = {std::min(range.begin, last->begin), std::max(range.end, last->end)};
        ++last;
    }
    m_ranges.insert(m_ranges.erase(at, last), range);
    if (m_ranges.size() <= kMostRanges)
        return;
    std::size_t nearest = 0;
    for (std::size_t i = 1; i + 1 < m_ranges.size(); ++i) {
        if (m_ranges[i + 1].begin - m_ranges[i].end < m_ranges[nearest + 1].begin - m_ranges[nearest].end)
            nearest = i;
    }
    m_ranges[nearest].end = m_ranges[nearest + 1].end;
    m_ranges.erase(m_ranges.begin() + std::ptrdiff_t(nearest) + 1);
}
