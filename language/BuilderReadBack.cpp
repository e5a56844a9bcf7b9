#include "language/BuilderReadBack.h"

#include "catalogue/CommandTable.h"
#include "catalogue/LevelHeadings.h"
#include "catalogue/Builtins.h"

namespace {

int categoryOf(const ScriptCommand* command)
{
    const auto categories = commandCategories();
    for (std::size_t i = 0; i < categories.size(); ++i) {
        for (const ScriptCommand& candidate : categories[i].commands) {
            if (&candidate == command)
                return int(i) + 1;
        }
    }
    return 0;
}

int entryOf(const std::vector<std::string>& entries, std::string_view argument)
{
    int caseless = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // A heading is never a value, though it sits in the list.
        if (isLevelHeading(entries[i]))
            continue;
        if (entries[i] == argument)
            return int(i);
        if (caseless < 0 && sameName(entries[i], argument))
            caseless = int(i);
    }
    return caseless;
}

} // namespace

BuilderReading readIntoBuilder(const CallStatement& statement)
{
    BuilderReading reading;
    reading.command = Builtins::standard().findBuilderCommand(statement.callee);
    if (!reading.command)
        return reading;
    reading.category = categoryOf(reading.command);

    std::size_t next = 0;
    const auto& arguments = statement.arguments;
    for (const std::string_view word : fixedArgumentsOf(*reading.command)) {
        if (next < arguments.size() && sameName(arguments[next].text, word))
            ++next;
    }
    const auto lists = reading.command->parameterLists();
    std::vector<std::string> entries;
    for (std::size_t list = 0; list < lists.size() && next < arguments.size(); ++list) {
        if (lists[list].empty())
            continue;
        entries.clear();
        fillParameterList(lists[list], entries);
        const std::string_view argument = arguments[next++].text;
        reading.selected[list] = entryOf(entries, argument);
        if (reading.selected[list] < 0)
            reading.unmatched.push_back(argument);
    }
    for (; next < arguments.size(); ++next) {
        if (!reading.custom.empty())
            reading.custom += ' ';
        reading.custom += arguments[next].text;
    }
    return reading;
}
