#include "editor/WordIndex.h"

void WordIndex::build(std::string_view list)
{
    m_firstOffset.clear();
    std::size_t blank = list.find(' ');
    while (blank != std::string_view::npos) {
        const std::size_t next = list.find(' ', blank + 1);
        if (next == std::string_view::npos)
            break;
        if (next > blank + 1)
            m_firstOffset.try_emplace(list.substr(blank + 1, next - blank - 1), static_cast<int>(blank));
        blank = next;
    }
}

int WordIndex::find(std::string_view word) const
{
    const auto found = m_firstOffset.find(word);
    return found == m_firstOffset.end() ? -1 : found->second;
}
