#pragma once

#include "catalogue/Builtins.h"
#include "language/ScriptReader.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The functions and globals the other `.bsl` files of a level's folder declare: the game loads
// them together, so a name one file calls may be declared next to it. The caller reads those
// files; this keeps what completion, hints and the check need of them.
class DeclaredNames {
public:
    struct Entry {
        std::string name;         // as declared
        NameRole role;            // Function or Global
        std::string declaration;  // the `func` header, or the name and type of a global
        std::string comment;      // the comment lines just above a function, joined by '\n'
        // What completion shows beside the name: a function's parameter list ("(string ai_name)")
        // or a global's type; empty when the declaration leaves it out.
        std::string detail = {};

        friend bool operator==(const Entry&, const Entry&) = default;
    };

    using Entries = std::vector<Entry>;

    // The file-level declarations of one script, each name once (its first declaration), the
    // functions first, each in text order.
    static Entries entriesOf(std::string_view text, const ScriptOutline& outline);

    // Each name keeps the entry added first.
    void add(Entry entry);
    // Shares the entries rather than copying them: a level gathers its scripts' names anew
    // whenever one of them declares another, and a long script declares a great many.
    void add(std::shared_ptr<const Entries> entries);
    // The file-level declarations of one script: its functions and globals.
    void addScript(std::string_view text, const ScriptOutline& outline);
    void addScript(std::string_view text) { addScript(text, readScript(text)); }

    // The entry of `name`, whatever its letter case; nullptr when nothing declares it.
    const Entry* find(std::string_view name) const;
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    bool empty() const { return m_entries.empty(); }

    // Each name with its entry.
    const NameMap<const Entry*>& entries() const { return m_entries; }

private:
    NameMap<const Entry*> m_entries;  // its keys view the names of the entries held
    std::vector<std::shared_ptr<const Entries>> m_held;
};

// A function's header as one line: its runs of blanks, tabs and line ends each become a blank.
std::string headerLine(std::string_view header);
