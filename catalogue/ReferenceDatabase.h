#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The reference database: short texts keyed by a 16-bit identifier, compiled into the program.

// When `id` holds a text, replaces `buffer` with it and returns true; otherwise returns false and
// leaves `buffer` exactly as it was.
bool loadStringById(std::uint16_t id, std::string& buffer);

// Appends the text of every identifier from `first` to `last` inclusive, in rising order, to
// `list`. Identifiers without a text add nothing.
void addStringRange(std::vector<std::string>& list, std::uint16_t first, std::uint16_t last);
