#pragma once

#include <cstddef>
#include <string>

// Line ends of a generated script.
enum class LineEnds { LineFeed, CarriageReturnLineFeed };

// A level script of exactly `bytes` bytes, the same for the same arguments: functions holding a
// realistic mix of command calls with character names and numbers, variables, conditions with
// operators, keywords and comments, about 27 bytes a line. Another `seed` gives another script
// of the same kind, as the files of one level are.
std::string GenerateScript(std::size_t bytes, LineEnds lineEnds = LineEnds::LineFeed, unsigned seed = 1999);

// Scripts that a careless generator or a damaged file may hand the editor.
namespace hostile {

// `count` opening braces: blocks nested `count` deep, never closed.
std::string nested(std::size_t count, char open = '{');
// `bytes` of statements on one line.
std::string oneLine(std::size_t bytes);
// `count` small functions, each calling the next.
std::string functions(std::size_t count);
// `bytes` of every byte value, as a file that is no script at all.
std::string binary(std::size_t bytes);

} // namespace hostile
