#include "builder/StatementComposer.h"

#include "catalogue/CommandTable.h"
#include "catalogue/LevelHeadings.h"

#include <algorithm>
#include <span>

namespace {

using enum StatementValue;

constexpr std::array kStatementTemplates = {
    StatementTemplate{
        "chr_has_empty_weapon",
        "\n\tvar int empty_weapon = %s(%s);\n\tif(empty_weapon %s)\n\t{\n\t# TODO: Add what ever you want to "
        "happen here when the\n\t# character have/dont have ammo in his weapon\n\t}\n\t",
        {Command, Param1, Param2}, 3},
    StatementTemplate{
        "chr_has_lsi",
        "\n\tif(%s(%s))\n\t{\n\t# TODO: Add what ever you want to happen if the\n\t# character in the '()' "
        "braces have an LSI\n\t}\n\t",
        {Command, Param1}, 2},
    StatementTemplate{
        "chr_is_player",
        "\n\tvar bool is_that_me = %s(%s);\n\tif(is_that_me %s)\n\t{\n\t# TODO: Add what ever you want to "
        "happen if the\n\t# charater you selected is/isnt you.\n\t}\n\t",
        {Command, Param1, Param2}, 3},
    StatementTemplate{
        "cinematic_start",
        "\t%s(%s, 180, 180, 15, 15, 15, true)\n\t# TODO: Add what ever you want to happen here before\n\t# the "
        "stop_cinematic(...) command\n\tcinematic_stop(%s, 15, 15)\n",
        {Command, Param1, Param1}, 3},
    StatementTemplate{
        "did_kill_griffen",
        "\n\tif(%s() %s)\n\t{\n\t# TODO: Add what ever you want to happen here if Griffen is\n\t# dead/notdead "
        "before the end of the block of statment\n\t}\n\t",
        {Command, Param1}, 2},
    StatementTemplate{
        "difficulty",
        "\n\tif(%s() %s)\n\t{\n\t# TODO: Add what ever you want to happen here at this\n\t# difficulty level\n\t}"
        "\n\t",
        {Command, Param1}, 2},
    StatementTemplate{
        "trigvolume_count",
        "\n\tif(%s(%s) %s %s)\n\t{\n\t# TODO: Add what ever you want to happen here if the\n\t# trigger you "
        "selected is =/!= to the number you\n\t# typed in the custom text box\n\t}\n\t",
        {Command, Param1, Param2, Custom}, 4},
};

std::string_view valueOf(const StatementChoice& choice, StatementValue value)
{
    switch (value) {
    case Command: return choice.command;
    case Param1: return choice.param1;
    case Param2: return choice.param2;
    case Param3: return choice.param3;
    case Custom: return choice.custom;
    }
    return {};
}

constexpr std::string_view kDefaultLayout = "%s %s %s %s %s\n";

// `layout` with each "%s" replaced, in order, by the next of `values` (empty once they run out).
// Values are inserted unchanged, so a '%' inside one is never read as a directive.
std::string fillLayout(std::string_view layout, std::span<const std::string_view> values)
{
    constexpr std::string_view kSlot = "%s";
    std::string text;
    std::size_t next = 0;
    std::size_t start = 0;
    for (std::size_t slot = layout.find(kSlot); slot != std::string_view::npos; slot = layout.find(kSlot, start)) {
        text.append(layout.substr(start, slot - start));
        if (next < values.size())
            text.append(values[next++]);
        start = slot + kSlot.size();
    }
    text.append(layout.substr(start));
    return text;
}

bool isCommandHeading(std::string_view text)
{
    const auto categories = commandCategories();
    return std::any_of(categories.begin(), categories.end(),
                       [text](const CommandCategory& category) { return category.heading == text; });
}

bool isPlaceholderText(std::string_view text)
{
    const auto placeholders = placeholderTexts();
    return std::find(placeholders.begin(), placeholders.end(), text) != placeholders.end();
}

} // namespace

bool isRefusedCombination(const StatementChoice& choice)
{
    if (isCommandHeading(choice.command))
        return true;
    for (const std::string* param : {&choice.param1, &choice.param2, &choice.param3}) {
        if (isLevelHeading(*param))
            return true;
    }
    if (isPlaceholderText(choice.custom))
        return true;
    return choice.command.empty() && choice.param1.empty() && choice.param2.empty() && choice.param3.empty();
}

const StatementTemplate* findStatementTemplate(std::string_view command)
{
    const auto found = std::find_if(kStatementTemplates.begin(), kStatementTemplates.end(),
                                    [command](const StatementTemplate& t) { return t.command == command; });
    return found == kStatementTemplates.end() ? nullptr : &*found;
}

std::string composeFromTemplate(const StatementTemplate& statementTemplate, const StatementChoice& choice)
{
    std::array<std::string_view, 4> values;
    for (std::size_t i = 0; i < statementTemplate.valueCount; ++i)
        values[i] = valueOf(choice, statementTemplate.values[i]);
    return fillLayout(statementTemplate.layout, std::span(values.data(), statementTemplate.valueCount));
}

std::string composeDefault(const StatementChoice& choice)
{
    const std::array<std::string_view, 5> values = {choice.command, choice.param1, choice.param2, choice.param3,
                                                    choice.custom};
    return fillLayout(kDefaultLayout, values);
}
