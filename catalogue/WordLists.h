#pragma once

#include <string_view>

// The word lists the main window installs in the script editor, each entry framed by blanks.

// The script language's keywords.
extern const std::string_view kKeywordList;

// The game's script commands, with a few parameter names among them.
extern const std::string_view kCommandList;

// The game's character names, matched with their letter case.
std::string_view CharacterNameList();
