#pragma once

#include "language/ScriptReader.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct ScriptCommand;

// A statement read back into the builder's choices: its command, and for each of the three
// parameter lists the entry the matching argument names.
struct BuilderReading {
    const ScriptCommand* command = nullptr;  // nullptr when the statement calls no builder command
    int category = 0;                        // 1 to 10, as findCommandCategory numbers them
    // For each list, the index of the chosen entry among those fillParameterList gives it, or -1
    // when the list is empty, the statement passes nothing for it, or no entry equals the argument.
    std::array<int, 3> selected{-1, -1, -1};
    // The arguments no list takes, blank-separated, for the custom value box.
    std::string custom;
    // Arguments that should have matched a list's entry but matched none.
    std::vector<std::string_view> unmatched;
};

// Matches the call of `statement` (see statementAt) against the builder's table: the command
// whose name starts with the called name, then argument by argument, after the words the
// command's name holds beyond the first ("both" of "cm_anim both"), each list in turn. An
// entry equal to the argument wins; one equal but for letter case is taken when none is.
BuilderReading readIntoBuilder(const CallStatement& statement);
