#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// What the builder shows when the add-statement button is pressed.
struct StatementChoice {
    std::string command;
    std::string param1;
    std::string param2;
    std::string param3;
    std::string custom;  // the filler already read as empty
};

enum class StatementValue { Command, Param1, Param2, Param3, Custom };

// A command whose statement is a fixed multi-line block instead of the one-line default.
struct StatementTemplate {
    std::string_view command;
    std::string_view layout;  // each "%s" takes the next value
    std::array<StatementValue, 4> values;
    std::size_t valueCount;
};

inline constexpr std::string_view kRefusalText = "The Combination you made is not Allowed or Wrong.";
inline constexpr std::string_view kBuilderBoxCaption = "pFFFt...";

// "cinematic_stop" inserts nothing: its line comes with the "cinematic_start" block. Pressing it
// until the counter reaches kStopMessageCount earns one remark.
inline constexpr std::string_view kStopCommand = "cinematic_stop";
inline constexpr int kStopMessageCount = 10;
inline constexpr std::string_view kStopMessage = "This is a GOOD way to keep a MORON busy all the time.. :P";

// True when the choice must be refused: a command heading as the command, a level heading as a
// parameter, a placeholder as the custom value, or no command and no parameter at all.
bool isRefusedCombination(const StatementChoice& choice);

// The template of `command`, or nullptr when it takes the default layout.
const StatementTemplate* findStatementTemplate(std::string_view command);

std::string composeFromTemplate(const StatementTemplate& statementTemplate, const StatementChoice& choice);

// The one-line statement: command, the three parameters and the custom value, blank-separated,
// empty values keeping their blanks.
std::string composeDefault(const StatementChoice& choice);
