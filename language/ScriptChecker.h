#pragma once

#include "language/DeclaredNames.h"
#include "language/ScriptReader.h"
#include "language/Templates.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Severity : std::uint8_t { Error, Warning };

// A name as the messages quote it: 'name'.
std::string quoted(std::string_view name);

struct Finding {
    ScriptPlace place;    // line from 1, column in bytes from 0, offset into the text
    std::size_t length;   // bytes to underline from place.offset
    Severity severity;
    std::string message;
};

// What is wrong with a script, in text order: unbalanced `( )` and `{ }`, an `else` without its
// `if`, a function, global or local declared twice in one file (errors); a called name that is
// neither built in nor declared in the script or by `siblings`, the other files of its folder,
// and an assignment to a name that is neither a built-in variable nor declared (warnings).
// Argument counts are left alone: the game's declared lists are too loose to hold calls to.
std::vector<Finding> checkScript(std::string_view text, const ScriptOutline& outline,
                                 const DeclaredNames& siblings = {});
std::vector<Finding> checkScript(std::string_view text, const DeclaredNames& siblings = {});

// Where the underline of a finding `length` bytes long at `offset` goes in a text of `textLength`
// bytes: one with no width, or at or past the text's end, still underlines a character. Nothing
// in an empty text.
std::optional<TextRange> underlinedRange(std::size_t offset, std::size_t length, std::size_t textLength);
