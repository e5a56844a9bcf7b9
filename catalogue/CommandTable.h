#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The fixed table of script commands the builder offers: ten categories numbered 1 to 10 in the
// order of the command-type list, and for every command what fills the three parameter lists,
// what goes into the custom value box and what the description box says.

// A slice of the reference database, `first` and `last` included.
struct StringRange {
    std::uint16_t first;
    std::uint16_t last;

    friend bool operator==(const StringRange&, const StringRange&) = default;
};

// One source of parameter-list entries: a slice of the reference database, or one literal entry.
using ParamSource = std::variant<StringRange, std::string_view>;

struct ScriptCommand {
    std::string_view name;  // as the command list shows it, e.g. "cm_anim both"
    std::span<const ParamSource> list1;
    std::span<const ParamSource> list2;
    std::span<const ParamSource> list3;
    std::string_view description;
    // When absent, the custom value box keeps its resting filler.
    std::optional<std::string_view> placeholder = std::nullopt;

    std::array<std::span<const ParamSource>, 3> parameterLists() const { return {list1, list2, list3}; }
};

struct CommandCategory {
    std::string_view label;    // entry of the command-type list
    std::string_view heading;  // first entry of the command list, refused as a command
    std::span<const ScriptCommand> commands;  // in the order the command list shows them
};

inline constexpr std::string_view kCategoryPrompt = "Select a Command Type";
inline constexpr int kCategoryCount = 10;

// The resting text of the description box.
inline constexpr std::string_view kKeyHelpHint =
    "-> 'Ctrl+Enter' = new line.\r\n\r\n-> 'Ctrl+TAB'     = TAB.\r\n\r\n-> Editing key are enabled.";

// The resting text of the custom value box; read back as an empty custom value.
inline constexpr std::string_view kCustomValueFiller = "==================================================";

// The ten categories; element i is category number i + 1.
std::span<const CommandCategory> commandCategories();

// Category `number` (1 to 10), or nullptr for any other number.
const CommandCategory* findCommandCategory(int number);

// The command named exactly `name`, or nullptr. A category heading is no command.
const ScriptCommand* findCommand(std::string_view name);

// Appends the entries of `sources` to `list` in order: a range through addStringRange, a literal
// as one entry.
void fillParameterList(std::span<const ParamSource> sources, std::vector<std::string>& list);

// The fourteen texts a command may put into the custom value box. None of them is a value the
// user chose, so a statement must not be composed from one.
std::span<const std::string_view> placeholderTexts();
