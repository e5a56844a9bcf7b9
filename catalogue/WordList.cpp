#include "catalogue/WordList.h"

#include "catalogue/Builtins.h"

#include <algorithm>
#include <array>

WordList::WordList(std::string_view list, Matching matching) : m_matching(matching), m_list(list), m_keys(list)
{
    if (m_matching == Matching::IgnoreCase)
        std::transform(m_keys.begin(), m_keys.end(), m_keys.begin(), [](char c) { return lowered(c); });

    const std::string_view keys(m_keys);
    std::size_t blank = keys.find(' ');
    while (blank != std::string_view::npos) {
        const std::size_t next = keys.find(' ', blank + 1);
        if (next == std::string_view::npos)
            break;
        const std::size_t length = next - blank - 1;
        if (length > 0) {
            m_spellings.try_emplace(keys.substr(blank + 1, length), std::string_view(m_list).substr(blank + 1, length));
            m_longest = std::max(m_longest, length);
        }
        blank = next;
    }
}

std::string_view WordList::spellingOf(std::string_view word) const
{
    if (word.empty() || word.size() > m_longest)
        return {};
    if (m_matching == Matching::ExactCase) {
        const auto found = m_spellings.find(word);
        return found == m_spellings.end() ? std::string_view() : found->second;
    }
    // Every entry fits the buffer, since longer words were turned away above.
    std::array<char, 256> buffer;
    if (word.size() > buffer.size())
        return {};
    std::transform(word.begin(), word.end(), buffer.begin(), [](char c) { return lowered(c); });
    const auto found = m_spellings.find(std::string_view(buffer.data(), word.size()));
    return found == m_spellings.end() ? std::string_view() : found->second;
}
