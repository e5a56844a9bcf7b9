#include "catalogue/Builtins.h"

#include "catalogue/CommandTable.h"
#include "catalogue/BuiltinTables.h"
#include "catalogue/WordLists.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <variant>

namespace {

// The lines of an embedded table after its header, each split at its TABs.
template <typename Row>
std::vector<Row> readTable(std::string_view table, Row (*rowOf)(std::span<const std::string_view>))
{
    std::vector<Row> rows;
    bool header = true;
    while (!table.empty()) {
        const std::size_t end = std::min(table.find('\n'), table.size());
        std::string_view line = table.substr(0, end);
        table.remove_prefix(std::min(end + 1, table.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (std::exchange(header, false) || line.empty())
            continue;
        std::array<std::string_view, 3> fields{};
        std::size_t count = 0;
        while (count < fields.size()) {
            const std::size_t tab = line.find('\t');
            fields[count++] = line.substr(0, tab);
            if (tab == std::string_view::npos)
                break;
            line.remove_prefix(tab + 1);
        }
        rows.push_back(rowOf(std::span(fields.data(), count)));
    }
    return rows;
}

BuiltinFunction functionOf(std::span<const std::string_view> fields)
{
    return {fields[0], fields.size() > 1 ? fields[1] : "", fields.size() > 2 ? fields[2] : ""};
}

BuiltinVariable variableOf(std::span<const std::string_view> fields)
{
    return {fields[0], fields.size() > 1 ? fields[1] : ""};
}

// The words of a blank-separated list as the editor keeps them.
template <typename Visit>
void forEachWord(std::string_view list, Visit visit)
{
    std::size_t p = 0;
    while (p < list.size()) {
        const std::size_t begin = list.find_first_not_of(' ', p);
        if (begin == std::string_view::npos)
            break;
        const std::size_t end = std::min(list.find(' ', begin), list.size());
        visit(list.substr(begin, end - begin));
        p = end;
    }
}

// Functions the game's shipped scripts call and the game accepts, missing from its function
// table; the command word list holds the first three, not the last.
constexpr std::array<std::string_view, 4> kUnlistedFunctions = {
    "playback", "playback_block", "chr_neutral", "sound_dialog_play_pause"};

} // namespace

namespace {

constexpr std::uint64_t kEachByte = 0x0101010101010101ull;

// The eight bytes of `word` with the upper-case ASCII letters among them lowered, all at once.
std::uint64_t loweredWord(std::uint64_t word)
{
    const std::uint64_t ascii = word & (0x7F * kEachByte);
    const std::uint64_t fromA = ascii + (0x80 - 'A') * kEachByte;       // high bit: at least 'A'
    const std::uint64_t pastZ = ascii + (0x80 - 'Z' - 1) * kEachByte;   // high bit: past 'Z'
    const std::uint64_t upper = (fromA ^ pastZ) & ~word & (0x80 * kEachByte);
    return word | (upper >> 2);
}

std::uint64_t mixed(std::uint64_t hash, std::uint64_t word)
{
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    return hash ^ (hash >> 29);
}

} // namespace

std::size_t NameHash::operator()(std::string_view name) const noexcept
{
    // Eight bytes at a time: a long script's reading hashes millions of names.
    std::uint64_t hash = mixed(0xC2B2AE3D27D4EB4Full, name.size());
    std::size_t p = 0;
    for (; p + 8 <= name.size(); p += 8) {
        std::uint64_t word;
        std::memcpy(&word, name.data() + p, 8);
        hash = mixed(hash, loweredWord(word));
    }
    if (p < name.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + p, name.size() - p);
        hash = mixed(hash, loweredWord(word));
    }
    hash *= 0xFF51AFD7ED558CCDull;
    return std::size_t(hash ^ (hash >> 32));
}

bool NameEqual::operator()(std::string_view a, std::string_view b) const noexcept
{
    return sameName(a, b);
}

bool sameName(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && lowered(a[i]) != lowered(b[i]))
            return false;
    }
    return true;
}

std::string BuiltinFunction::declaration() const
{
    std::string text(name);
    text += parameters;
    return text;
}

const Builtins& Builtins::standard()
{
    static const Builtins builtins;
    return builtins;
}

Builtins::Builtins()
    : m_functions(readTable<BuiltinFunction>(builtinFunctionTable(), functionOf)),
      m_variables(readTable<BuiltinVariable>(builtinVariableTable(), variableOf))
{
    // The keys view the lists and tables themselves, which live as long as the program.
    const auto entry = [this](std::string_view name) -> BuiltinName& {
        const auto [found, added] = m_index.try_emplace(name, m_names.size());
        if (added)
            m_names.push_back({name});
        return m_names[found->second];
    };
    // The lists come first, so that their spelling is the one a name keeps.
    forEachWord(kKeywordList, [&](std::string_view word) { entry(word).keyword = true; });
    forEachWord(kCommandList, [&](std::string_view word) { entry(word).commandWord = true; });
    for (const BuiltinFunction& function : m_functions)
        entry(function.name).function = &function;
    for (const BuiltinVariable& variable : m_variables)
        entry(variable.name).variable = &variable;
    for (const CommandCategory& category : commandCategories()) {
        for (const ScriptCommand& command : category.commands) {
            BuiltinName& name = entry(calledNameOf(command));
            if (!name.builderCommand)
                name.builderCommand = &command;
        }
    }
    for (const std::string_view function : kUnlistedFunctions) {
        BuiltinName& name = entry(function);
        name.unlisted = !name.function;
    }
}

const BuiltinName* Builtins::find(std::string_view name) const
{
    const auto found = m_index.find(name);
    return found == m_index.end() ? nullptr : &m_names[found->second];
}

const BuiltinFunction* Builtins::findFunction(std::string_view name) const
{
    const BuiltinName* found = find(name);
    return found ? found->function : nullptr;
}

const BuiltinVariable* Builtins::findVariable(std::string_view name) const
{
    const BuiltinName* found = find(name);
    return found ? found->variable : nullptr;
}

const ScriptCommand* Builtins::findBuilderCommand(std::string_view name) const
{
    const BuiltinName* found = find(name);
    return found ? found->builderCommand : nullptr;
}

bool Builtins::isKeyword(std::string_view name) const
{
    const BuiltinName* found = find(name);
    return found && found->keyword;
}

bool Builtins::isAssignable(std::string_view name) const
{
    const BuiltinName* found = find(name);
    if (!found)
        return false;
    if (found->variable)
        return true;
    if (!found->builderCommand || !fixedArgumentsOf(*found->builderCommand).empty())
        return false;
    const auto& sources = found->builderCommand->list1;
    return std::any_of(sources.begin(), sources.end(), [](const ParamSource& source) {
        const auto* literal = std::get_if<std::string_view>(&source);
        return literal && literal->starts_with("= ");
    });
}

std::vector<std::string_view> splitParameters(std::string_view list)
{
    std::vector<std::string_view> parameters;
    if (list.starts_with('('))
        list.remove_prefix(1);
    if (list.ends_with(')'))
        list.remove_suffix(1);
    const auto trimmed = [](std::string_view text) {
        const std::size_t begin = text.find_first_not_of(" \t");
        if (begin == std::string_view::npos)
            return std::string_view();
        return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
    };
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        const char c = i < list.size() ? list[i] : ',';
        if (c == '[' || c == '(')
            ++depth;
        else if ((c == ']' || c == ')') && depth > 0)
            --depth;
        else if (c == ',' && (depth == 0 || i == list.size())) {
            const std::string_view parameter = trimmed(list.substr(start, i - start));
            if (!parameter.empty() && !sameName(parameter, "void"))
                parameters.push_back(parameter);
            start = i + 1;
        }
    }
    return parameters;
}

std::vector<std::string_view> fixedArgumentsOf(const ScriptCommand& command)
{
    std::vector<std::string_view> words;
    forEachWord(command.name, [&](std::string_view word) { words.push_back(word); });
    if (!words.empty())
        words.erase(words.begin());
    return words;
}

std::string_view calledNameOf(const ScriptCommand& command)
{
    return command.name.substr(0, std::min(command.name.find(' '), command.name.size()));
}
