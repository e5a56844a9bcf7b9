#pragma once

#include <cstddef>
#include <string>

// A change to a text: `length` bytes at `offset` replaced by `replacement`.
struct TextEdit {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::string replacement;

    friend bool operator==(const TextEdit&, const TextEdit&) = default;
};
