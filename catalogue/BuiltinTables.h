#pragma once

#include <string_view>

// The game's tables as the build embeds them from resources/, byte for byte: a header line, then
// one line per entry with its fields separated by a TAB.

// name, return type, declared parameter list (parentheses included)
std::string_view builtinFunctionTable();

// name, type
std::string_view builtinVariableTable();
