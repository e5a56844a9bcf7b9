#pragma once

#include <span>
#include <string_view>

// The fixed catalogue of script commands the builder offers, in ten categories numbered 1 to 10
// in the order of the command-type list.
struct CommandCategory {
    std::string_view label;    // entry of the command-type list
    std::string_view heading;  // first entry of the command list, refused as a command
    std::span<const std::string_view> commands;  // position 1.. of the command list
};

inline constexpr std::string_view kCategoryPrompt = "Select a Command Type";
inline constexpr int kCategoryCount = 10;

// The resting text of the description box.
inline constexpr std::string_view kKeyHelpHint =
    "-> 'Ctrl+Enter' = new line.\r\n\r\n-> 'Ctrl+TAB'     = TAB.\r\n\r\n-> Editing key are enabled.";

// The resting text of the custom value box; read back as an empty custom value.
inline constexpr std::string_view kCustomValueFiller = "==================================================";

// The ten categories; element i is category number i + 1.
std::span<const CommandCategory> CommandCategories();

// Category `number` (1 to 10), or nullptr for any other number.
const CommandCategory* FindCommandCategory(int number);
