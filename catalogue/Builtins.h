#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ScriptCommand;

// The language ignores letter case in names: `AI2_Spawn` calls `ai2_spawn`. These compare and
// hash names that way (ASCII letters only, as the script's names are ASCII), and let maps keyed
// by std::string be searched with a std::string_view.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept;
};
struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};
bool sameName(std::string_view a, std::string_view b) noexcept;
// A letter of a name as these compare it.
inline char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

template <typename Value>
using NameMap = std::unordered_map<std::string_view, Value, NameHash, NameEqual>;

// A function of the game as its table declares it.
struct BuiltinFunction {
    std::string_view name;
    std::string_view returnType;  // void, int or bool
    std::string_view parameters;  // with the parentheses: "(void)", "(string film_name)", ...

    // The name followed by the declared list, e.g. "chr_playback_debug(string film_name)".
    std::string declaration() const;
};

// A global variable of the game.
struct BuiltinVariable {
    std::string_view name;
    std::string_view type;  // bool, int, float or string
};

// Everything the game and the editor know one name as; a name is often several at once
// (`ai2_spawn` is a function, a word of the command list and a builder command).
struct BuiltinName {
    // The keyword or command list's spelling when a list holds the name (the editor corrects
    // the text to it), else the table's.
    std::string_view spelling;
    bool keyword = false;
    bool commandWord = false;  // in the editor's command word list
    // Called by the game's own scripts though the function table lacks it.
    bool unlisted = false;
    const BuiltinFunction* function = nullptr;
    const BuiltinVariable* variable = nullptr;
    // The builder command whose name starts with this word ("cm_anim" for "cm_anim both").
    const ScriptCommand* builderCommand = nullptr;
};

// The names a script may use without declaring them: the game's function and variable tables,
// the editor's keyword and command word lists, the builder's commands, and the few functions
// the game's own scripts call that none of those hold. Character names are not among them:
// they are words a call passes, never names it calls.
class Builtins {
public:
    static const Builtins& standard();

    Builtins(const Builtins&) = delete;
    Builtins& operator=(const Builtins&) = delete;

    std::span<const BuiltinFunction> functions() const { return m_functions; }
    std::span<const BuiltinVariable> variables() const { return m_variables; }
    // Every built-in name once, in no particular order.
    std::span<const BuiltinName> names() const { return m_names; }

    // What `name` is, whatever its letter case; nullptr for a name that is not built in.
    const BuiltinName* find(std::string_view name) const;
    const BuiltinFunction* findFunction(std::string_view name) const;
    const BuiltinVariable* findVariable(std::string_view name) const;
    const ScriptCommand* findBuilderCommand(std::string_view name) const;
    bool isKeyword(std::string_view name) const;

    // True when a script may store into `name` without declaring it: a variable of the game, or
    // a builder command whose list offers "= 0" and "= 1", since the builder writes those as
    // `name = 1`.
    bool isAssignable(std::string_view name) const;

private:
    Builtins();

    std::vector<BuiltinFunction> m_functions;
    std::vector<BuiltinVariable> m_variables;
    std::vector<BuiltinName> m_names;
    NameMap<std::size_t> m_index;  // name -> element of m_names
};

// The parameters of a declared list, each as written: "([a:string | b:int], int c)" gives
// "[a:string | b:int]" and "int c"; "(void)" and "()" give none.
std::vector<std::string_view> splitParameters(std::string_view list);

// The words of the builder command `command` after its first: "both" for "cm_anim both". A
// script writes them as the call's first arguments, so the command's parameter lists start
// after them.
std::vector<std::string_view> fixedArgumentsOf(const ScriptCommand& command);

// The first word of a builder command's name: the name a script calls.
std::string_view calledNameOf(const ScriptCommand& command);
