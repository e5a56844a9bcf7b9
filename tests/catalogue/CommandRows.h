#pragma once

#include "catalogue/CommandTable.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

// Every command row of the table, category by category in list order.
inline std::vector<const ScriptCommand*> allCommands()
{
    std::vector<const ScriptCommand*> rows;
    for (const CommandCategory& category : commandCategories()) {
        for (const ScriptCommand& command : category.commands)
            rows.push_back(&command);
    }
    return rows;
}

// The row of `name`; a missing row fails the calling test rather than crashing it.
inline const ScriptCommand& commandNamed(std::string_view name)
{
    if (const ScriptCommand* command = findCommand(name))
        return *command;
    ADD_FAILURE() << "no command named " << name;
    static const ScriptCommand kMissing{};
    return kMissing;
}
