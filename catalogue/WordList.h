#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

// A list of words separated by blanks, as the editor's lists are written. An entry counts only
// with a blank on each side; entries may repeat, and the first one wins.
class WordList {
public:
    enum class Matching { ExactCase, IgnoreCase };

    WordList(std::string_view list, Matching matching);
    WordList(const WordList&) = delete;
    WordList& operator=(const WordList&) = delete;

    // The list's own spelling of `word`, or an empty view when the list does not hold it.
    std::string_view spellingOf(std::string_view word) const;

private:
    Matching m_matching;
    std::string m_list;
    std::string m_keys;  // the list as looked up: lowered when the case is ignored
    std::unordered_map<std::string_view, std::string_view> m_spellings;  // key -> entry in m_list
    std::size_t m_longest = 0;
};
