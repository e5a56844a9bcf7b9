#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The partner of a bracket or brace, as the language reads them: those in comments and strings
// count for nothing.
struct BracePartner {
    enum class State : unsigned char {
        None,       // no bracket or brace there, or its partner lies beyond what was read
        Matched,
        Unmatched,  // there is none
    };
    State state = State::None;
    std::size_t partner = 0;
};

// The partner of the `(`, `)`, `{` or `}` at `at` of `text`, which starts at the start of a line.
// `wholeText` tells that `text` is the script from its start to its end, so that a partner it
// lacks is missing rather than further off.
BracePartner bracePartner(std::string_view text, std::size_t at, bool wholeText);
