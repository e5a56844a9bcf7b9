#pragma once

#include <cstddef>
#include <string>

// Line ends of a generated script.
enum class LineEnds { LineFeed, CarriageReturnLineFeed };

// A level script of exactly `bytes` bytes, the same for the same arguments: functions holding a
// realistic mix of command calls with character names and numbers, variables, conditions with
// operators, keywords and comments, about 27 bytes a line.
std::string GenerateScript(std::size_t bytes, LineEnds lineEnds = LineEnds::LineFeed);
