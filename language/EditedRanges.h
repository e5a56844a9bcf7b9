#pragma once

#include "language/Templates.h"

#include <cstddef>
#include <vector>

// The stretches of a text that one edit step changed, in positions after the changes, kept as
// the changes come one by one: a keystroke at several carets changes several places far apart.
// Beyond a handful of stretches the two nearest are joined, so each change costs little however
// many it follows.
class EditedRanges {
public:
    void inserted(std::size_t position, std::size_t length);
    void removed(std::size_t position, std::size_t length);
    void clear() { m_ranges.clear(); }
    bool empty() const { return m_ranges.empty(); }
    // In text order, apart from one another.
    const std::vector<TextRange>& ranges() const { return m_ranges; }

private:
    void add(TextRange range);

    std::vector<TextRange> m_ranges;
};
