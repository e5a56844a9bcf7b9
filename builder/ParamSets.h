#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The fixed parameter set of every command the builder offers: what fills the three parameter
// lists, what goes into the custom value box and what the description box says.

// A slice of the reference database, `first` and `last` included.
struct StringRange {
    std::uint16_t first;
    std::uint16_t last;

    friend bool operator==(const StringRange&, const StringRange&) = default;
};

// One source of parameter-list entries: a slice of the reference database, or one literal entry.
using ParamSource = std::variant<StringRange, std::string_view>;

struct CommandParamSet {
    // The catalogue's name at this key; kept beside the set so that each row reads, and can be
    // checked, by name.
    std::string_view command;
    std::span<const ParamSource> list1;
    std::span<const ParamSource> list2;
    std::span<const ParamSource> list3;
    std::string_view description;
    // When absent, the custom value box keeps its resting filler.
    std::optional<std::string_view> placeholder = std::nullopt;

    std::array<std::span<const ParamSource>, 3> lists() const { return {list1, list2, list3}; }
};

// The set of command `position` (1 to n) of category `category` (1 to 10), positions counted
// as in the command list, whose entry 0 is the category's heading; nullptr for any other key.
const CommandParamSet* FindCommandParamSet(int category, int position);

// Appends the entries of `sources` to `list` in order: a range through AddStringRange, a literal
// as one entry.
void FillParamList(std::span<const ParamSource> sources, std::vector<std::string>& list);

// The fourteen texts a command may put into the custom value box. None of them is a value the
// user chose, so a statement must not be composed from one.
std::span<const std::string_view> PlaceholderTexts();
