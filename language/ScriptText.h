#pragma once

#include <string>
#include <string_view>

// A script file holds windows-1252 bytes with line ends of any kind; the editor holds its text
// as UTF-8, so that each of the code page's characters shows as itself, with CR LF line ends.

// CR LF, a lone CR and a lone LF each end a line. Every byte value survives, NUL included.
std::string documentFromFile(std::string_view fileBytes);

// True when the file bytes are the editor's text already: ASCII with CR LF line ends, as most
// scripts are.
bool isDocumentText(std::string_view fileBytes);

// A script's text as the editor opens its file: the editor's text, with keywords and commands in
// their lists' letter case as far along each line as the editor reads it. The window, the check
// and the language server all read a script file so.
std::string openedScriptText(std::string fileBytes);

// The bytes a script is saved as: every line end CR LF, every character as its code-page byte,
// '?' for anything the code page cannot hold.
std::string fileFromDocument(std::string_view documentText);
