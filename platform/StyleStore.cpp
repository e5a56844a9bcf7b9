#include "platform/StyleStore.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t kPaletteCapacity = 256;

// Where a position ends up after [from, from + removed) is replaced by `added` positions; a
// position inside the replaced stretch goes to its start (`toEnd` false) or its end.
int movedPosition(int position, int from, int removed, int added, bool toEnd)
{
    if (position < from)
        return position;
    if (position >= from + removed)
        return position + added - removed;
    return toEnd ? from + added : from;
}

} // namespace

StyleStore::StyleStore()
    : m_palette{CharacterLook{}}
{
}

void StyleStore::splice(int from, int removed, int added)
{
    const auto at = m_ids.begin() + from;
    m_ids.erase(at, at + removed);
    if (added > 0) {
        LookId inherited = kDefaultLook;
        if (from > 0)
            inherited = m_ids[static_cast<std::size_t>(from - 1)];
        else if (!m_ids.empty())
            inherited = m_ids.front();
        m_ids.insert(m_ids.begin() + from, static_cast<std::size_t>(added), inherited);
    }
    for (Interval& range : m_changed) {
        range.from = movedPosition(range.from, from, removed, added, false);
        range.to = movedPosition(range.to, from, removed, added, true);
    }
}

StyleStore::LookId StyleStore::intern(const CharacterLook& look)
{
    const auto known = std::find(m_palette.begin(), m_palette.end(), look);
    if (known != m_palette.end())
        return static_cast<LookId>(known - m_palette.begin());
    if (m_palette.size() == kPaletteCapacity)
        recycleUnusedLooks();
    const auto unused = std::find(m_palette.begin() + 1, m_palette.end(), m_palette.front());
    if (unused != m_palette.end()) {
        *unused = look;
        ++m_paletteGeneration;
        return static_cast<LookId>(unused - m_palette.begin());
    }
    if (m_palette.size() == kPaletteCapacity)
        throw std::length_error("too many character looks in use");
    m_palette.push_back(look);
    return static_cast<LookId>(m_palette.size() - 1);
}

void StyleStore::recycleUnusedLooks()
{
    std::vector<bool> used(m_palette.size(), false);
    used[kDefaultLook] = true;
    for (const LookId id : m_ids)
        used[id] = true;
    // A slot holding the default look again counts as free.
    for (std::size_t id = 1; id < m_palette.size(); ++id) {
        if (!used[id])
            m_palette[id] = m_palette.front();
    }
    ++m_paletteGeneration;
}

std::optional<StyleStore::LookId> StyleStore::uniformLook(int from, int to) const
{
    if (from >= to)
        return std::nullopt;
    const LookId* first = m_ids.data() + from;
    const auto length = static_cast<std::size_t>(to - from);
    // Every id equals its neighbour exactly when the range shifted by one equals itself.
    if (std::memcmp(first, first + 1, length - 1) != 0)
        return std::nullopt;
    return *first;
}

bool StyleStore::assign(int from, int to, LookId id)
{
    if (from >= to || uniformLook(from, to) == id)
        return false;
    std::memset(m_ids.data() + from, id, static_cast<std::size_t>(to - from));
    if (!m_changed.empty() && from <= m_changed.back().to && to >= m_changed.back().from) {
        m_changed.back().from = std::min(m_changed.back().from, from);
        m_changed.back().to = std::max(m_changed.back().to, to);
    } else {
        m_changed.push_back({from, to});
    }
    return true;
}

std::vector<StyleStore::Interval> StyleStore::takeChangedRanges()
{
    std::vector<Interval> ranges;
    ranges.swap(m_changed);
    std::sort(ranges.begin(), ranges.end(), [](const Interval& a, const Interval& b) { return a.from < b.from; });
    std::vector<Interval> merged;
    for (const Interval& range : ranges) {
        if (range.from >= range.to)
            continue;
        if (!merged.empty() && range.from <= merged.back().to)
            merged.back().to = std::max(merged.back().to, range.to);
        else
            merged.push_back(range);
    }
    return merged;
}
