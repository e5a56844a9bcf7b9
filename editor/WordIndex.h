#pragma once

#include <string_view>
#include <unordered_map>

// Answers "where does ' word ' first occur in this list?" in constant time. A list is entries
// separated by blanks; an entry counts only with a blank on each side, exactly as a plain search
// for the blank-framed word would find it.
class WordIndex {
public:
    // Indexes `list`, which must outlive the index or be rebuilt with it: the index keeps views
    // into it rather than copies of its entries.
    void build(std::string_view list);

    // Offset of the blank in front of the first entry equal to `word`, or -1. `word` must hold no
    // blank; other arguments need a plain search of the list.
    int find(std::string_view word) const;

private:
    std::unordered_map<std::string_view, int> m_firstOffset;
};
