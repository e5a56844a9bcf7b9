#include "language/Completion.h"

#include "catalogue/CommandTable.h"
#include "catalogue/LevelHeadings.h"
#include "catalogue/ReferenceDatabase.h"
#include "catalogue/Builtins.h"
#include "catalogue/WordLists.h"
#include "language/Lexer.h"
#include "language/Templates.h"

#include <algorithm>
#include <array>
#include <deque>
#include <tuple>
#include <variant>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// 0 when `name` starts with `part`, 1 when it holds it further in, -1 when it does not; letter
// case aside. Every name matches an empty part at its start.
int matchOf(std::string_view name, std::string_view part)
{
    if (part.size() > name.size())
        return -1;
    if (sameName(name.substr(0, part.size()), part))
        return 0;
    const char first = lowered(part.front());
    for (std::size_t at = 1; at + part.size() <= name.size(); ++at) {
        if (lowered(name[at]) == first && sameName(name.substr(at, part.size()), part))
            return 1;
    }
    return -1;
}

// Where a name may come from, in the order that decides whose kind and spelling a name keeps
// when several offer it: the script's own first, then its level's, then the built-in ones.
enum class Source : std::uint8_t { File, Local, Level, Builtin, Character };

// A candidate while it is ranked: views of names and details that outlive the ranking, so that
// only the candidates kept are copied, once.
struct Ranked {
    std::string_view name;
    std::string_view lowered;
    std::string_view detail;
    NameKind kind;
    Source source;
    int match;
    std::uint32_t uses;
};

std::string loweredText(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowered);
    return lower;
}

// matchOf for a lowered name and part.
int loweredMatchOf(std::string_view name, std::string_view part)
{
    if (part.size() > name.size())
        return -1;
    if (name.starts_with(part))
        return 0;
    return name.find(part, 1) != std::string_view::npos ? 1 : -1;
}

// Gathers the names that match the part typed, from every source.
class NamePool {
public:
    NamePool(std::string_view part, const NameMap<std::uint32_t>& uses)
        : m_part(part), m_loweredPart(loweredText(part)), m_uses(uses)
    {
    }

    void offerFileNames(const FileNames& names)
    {
        const std::string_view lowered = names.lowered;
        for (const FileNames::Entry& entry : names.entries) {
            const std::string_view name = lowered.substr(entry.lowered, entry.name.size());
            const int match = loweredMatchOf(name, m_loweredPart);
            if (match >= 0 && !entry.name.empty()) {
                const NameKind kind = entry.role == NameRole::Function ? NameKind::ScriptFunction : NameKind::ScriptVariable;
                m_ranked.push_back({entry.name, name, entry.detail, kind, Source::File, match, entry.uses});
            }
        }
    }

    // `detail` gives the candidate's detail; it is asked only of a name that is offered.
    template <typename Detail>
    void offer(std::string_view name, NameKind kind, Source source, Detail detail)
    {
        if (name.empty())
            return;
        const int match = matchOf(name, m_part);
        if (match < 0)
            return;
        const std::string_view lowered = m_lowered.emplace_back(loweredText(name));
        const auto found = m_uses.find(name);
        m_ranked.push_back({name, lowered, detail(), kind, source, match, found == m_uses.end() ? 0 : found->second});
    }

    // The names ranked: prefix matches before inner ones, then the names the script uses most,
    // then in alphabetical order, letter case aside; each name once, from its first source.
    std::vector<Ranked> ranked()
    {
        // A name offered twice matches and counts the same, so the sort brings its offers together.
        std::sort(m_ranked.begin(), m_ranked.end(), [](const Ranked& a, const Ranked& b) {
            return std::tie(a.match, b.uses, a.lowered, a.source, a.name) <
                std::tie(b.match, a.uses, b.lowered, b.source, b.name);
        });
        std::vector<Ranked> kept;
        kept.reserve(m_ranked.size());
        for (std::size_t first = 0; first < m_ranked.size();) {
            std::size_t end = first + 1;
            while (end < m_ranked.size() && m_ranked[end].lowered == m_ranked[first].lowered)
                ++end;
            // Character names keep their letter case: the list holds "Griffin" and "griffin"
            // apart, unless another source has the name.
            if (m_ranked[first].source != Source::Character) {
                kept.push_back(m_ranked[first]);
            } else {
                for (std::size_t i = first; i < end; ++i) {
                    if (i == first || m_ranked[i].name != m_ranked[i - 1].name)
                        kept.push_back(m_ranked[i]);
                }
            }
            first = end;
        }
        return kept;
    }

private:
    std::string_view m_part;
    std::string m_loweredPart;
    const NameMap<std::uint32_t>& m_uses;
    std::vector<Ranked> m_ranked;
    std::deque<std::string> m_lowered;  // of the names offered one by one; a deque keeps them in place
};

NameKind kindOf(const BuiltinName& name)
{
    if (name.keyword)
        return NameKind::Keyword;
    if (name.function)
        return NameKind::Function;
    if (name.variable)
        return NameKind::Variable;
    if (name.builderCommand)
        return NameKind::BuilderCommand;
    return NameKind::Command;
}

std::string_view detailOf(const BuiltinName& name)
{
    if (name.function)
        return name.function->parameters;
    if (name.variable)
        return name.variable->type;
    return {};
}

// How often the names that match `part` occur in `text`, read as `outline`, but for the word
// that starts at `skipped`: the one being typed.
NameMap<std::uint32_t> usesOf(std::string_view text, const ScriptOutline& outline, std::string_view part,
                              std::size_t skipped)
{
    NameMap<std::uint32_t> uses;
    for (const NameUse& use : outline.names) {
        if (use.offset == skipped)
            continue;
        const std::string_view name = nameText(text, use);
        if (matchOf(name, part) >= 0)
            ++uses[name];
    }
    return uses;
}

Completion nameCompletion(const ScriptOutline& outline, const FileNames& fileNames,
                          const NameMap<std::uint32_t>& uses, const CaretContext& context,
                          const DeclaredNames& siblings)
{
    Completion completion;
    completion.caret = context.wordBegin + context.word.size();
    completion.replaceBegin = context.wordBegin;
    const std::string_view part = context.word;
    if (!part.empty() && isDigit(part.front()))
        return completion;

    NamePool pool(part, uses);
    pool.offerFileNames(fileNames);
    if (const std::int32_t here = functionAt(outline, context.wordBegin); here >= 0) {
        const FunctionDeclaration& function = outline.functions[std::size_t(here)];
        for (std::uint32_t i = 0; i < function.variableCount; ++i) {
            const VariableDeclaration& variable = outline.variables[function.firstVariable + i];
            pool.offer(variable.name, NameKind::ScriptVariable, Source::Local, [&] { return variable.type; });
        }
    }
    for (const auto& [key, entry] : siblings.entries()) {
        const std::string_view detail = entry->detail;
        pool.offer(entry->name, entry->role == NameRole::Function ? NameKind::LevelFunction : NameKind::LevelVariable,
                   Source::Level, [detail] { return detail; });
    }
    for (const BuiltinName& name : Builtins::standard().names())
        pool.offer(name.spelling, kindOf(name), Source::Builtin, [&] { return detailOf(name); });
    const std::string_view characters = CharacterNameList();
    for (std::size_t p = 0; p < characters.size();) {
        const std::size_t begin = characters.find_first_not_of(' ', p);
        if (begin == std::string_view::npos)
            break;
        const std::size_t end = std::min(characters.find(' ', begin), characters.size());
        pool.offer(characters.substr(begin, end - begin), NameKind::CharacterName, Source::Character,
                   [] { return std::string_view(); });
        p = end;
    }

    const std::vector<Ranked> ranked = pool.ranked();
    completion.candidates.reserve(ranked.size());
    for (const Ranked& entry : ranked)
        completion.candidates.push_back(
            {std::string(entry.name), std::string(entry.name), entry.kind, std::string(entry.detail)});
    for (const ScriptTemplate& statement : scriptTemplates()) {
        if (matchOf(statement.name, part) == 0)
            completion.candidates.push_back(
                {std::string(statement.label), std::string(statement.name), NameKind::Template, {}});
    }
    return completion;
}

struct Group {
    std::optional<int> level;
    std::string heading;  // empty for entries before any heading
    std::vector<std::string> entries;
};

// A parameter list in its groups: a level heading opens one; a literal value that follows a
// slice of the database stands apart from the slice's last level.
std::vector<Group> groupsOf(std::span<const ParamSource> sources)
{
    std::vector<Group> groups(1);
    bool afterSlice = false;
    const auto add = [&](std::string entry) {
        if (isLevelHeading(entry)) {
            groups.push_back({levelOfHeading(entry), std::move(entry), {}});
        } else {
            groups.back().entries.push_back(std::move(entry));
        }
    };
    std::vector<std::string> slice;
    for (const ParamSource& source : sources) {
        if (const auto* range = std::get_if<StringRange>(&source)) {
            slice.clear();
            addStringRange(slice, range->first, range->last);
            for (std::string& entry : slice)
                add(std::move(entry));
            afterSlice = true;
            continue;
        }
        const std::string_view literal = std::get<std::string_view>(source);
        if (afterSlice && !isLevelHeading(literal))
            groups.push_back({});
        afterSlice = false;
        add(std::string(literal));
    }
    return groups;
}

std::optional<Completion> argumentCompletion(const CaretContext& context, std::string_view levelHint,
                                             std::size_t caret)
{
    if (!context.inCall || context.argument < 0)
        return std::nullopt;
    const ScriptCommand* command = Builtins::standard().findBuilderCommand(context.callee);
    if (!command)
        return std::nullopt;
    std::vector<Group> groups;
    const std::vector<std::string_view> fixed = fixedArgumentsOf(*command);
    const auto position = std::size_t(context.argument);
    if (position < fixed.size()) {
        groups.push_back({std::nullopt, {}, {std::string(fixed[position])}});
    } else {
        // The builder writes the values of its lists in order and an empty list leaves no
        // word, so the arguments after the fixed words go to the lists that have entries.
        std::size_t wanted = position - fixed.size();
        std::span<const ParamSource> sources;
        for (const auto& list : command->parameterLists()) {
            if (list.empty())
                continue;
            if (wanted-- == 0) {
                sources = list;
                break;
            }
        }
        if (sources.empty())
            return std::nullopt;
        groups = groupsOf(sources);
    }

    if (const std::optional<int> level = levelFromHint(levelHint)) {
        std::stable_partition(groups.begin(), groups.end(), [&](const Group& group) { return group.level == level; });
    }

    Completion completion;
    completion.arguments = true;
    completion.command = command->name;
    completion.replaceBegin = context.argumentBegin;
    completion.caret = caret;
    const std::string_view part = context.argumentText;
    for (Group& group : groups) {
        std::vector<Candidate> matches;
        for (const int wanted : {0, 1}) {
            for (std::string& entry : group.entries) {
                if (!entry.empty() && (part.empty() ? wanted == 0 : matchOf(entry, part) == wanted))
                    matches.push_back({entry, entry, NameKind::ListEntry, {}});
            }
        }
        if (matches.empty())
            continue;
        if (!group.heading.empty())
            completion.candidates.push_back({group.heading, {}, NameKind::LevelHeading, {}});
        for (Candidate& match : matches)
            completion.candidates.push_back(std::move(match));
    }
    return completion;
}

// The level names of the standard headings, split into words of four letters or more, lowered.
std::vector<std::vector<std::string>> levelNameWords()
{
    std::vector<std::vector<std::string>> levels;
    for (const std::string_view heading : kStandardLevelHeadings) {
        std::vector<std::string>& words = levels.emplace_back();
        std::string_view name = heading.substr(std::min(heading.find("- "), heading.size()));
        std::string word;
        for (const char c : name) {
            if (isLetter(c)) {
                word += lowered(c);
                continue;
            }
            if (word.size() >= 4)
                words.push_back(word);
            word.clear();
        }
        if (word.size() >= 4)
            words.push_back(word);
    }
    return levels;
}

// `fileNames` and `uses` come from a reading of `outlineText`, which `outline` was read from, or
// are gathered from it here.
Completion completeWith(std::string_view text, std::string_view outlineText, const ScriptOutline& outline,
                        const FileNames* fileNames, const NameMap<std::uint32_t>* uses, std::size_t caret,
                        const DeclaredNames& siblings, std::string_view levelHint)
{
    caret = std::min(caret, text.size());
    const CaretContext context = contextAt(text, caret);
    if (context.place != CaretContext::Place::Code) {
        Completion none;
        none.replaceBegin = none.caret = caret;
        return none;
    }
    if (std::optional<Completion> arguments = argumentCompletion(context, levelHint, caret))
        return std::move(*arguments);
    if (fileNames && uses)
        return nameCompletion(outline, *fileNames, *uses, context, siblings);
    const NameMap<std::uint32_t> counted = usesOf(outlineText, outline, context.word, context.wordBegin);
    return nameCompletion(outline, fileNamesOf(outline, counted), counted, context, siblings);
}

} // namespace

std::string_view kindLabel(NameKind kind)
{
    switch (kind) {
    case NameKind::Keyword: return "keyword";
    case NameKind::Function: return "function";
    case NameKind::Variable: return "variable";
    case NameKind::BuilderCommand: return "command";
    case NameKind::Command: return "command";
    case NameKind::CharacterName: return "character";
    case NameKind::ScriptFunction: return "function here";
    case NameKind::ScriptVariable: return "variable here";
    case NameKind::LevelFunction: return "level function";
    case NameKind::LevelVariable: return "level variable";
    case NameKind::ListEntry: return "value";
    case NameKind::LevelHeading: return "level";
    case NameKind::Template: return "template";
    }
    return {};
}

Completion completeAt(std::string_view text, const ScriptOutline& outline, std::size_t caret,
                      const DeclaredNames& siblings, std::string_view levelHint)
{
    return completeWith(text, text, outline, nullptr, nullptr, caret, siblings, levelHint);
}

Completion completeAt(std::string_view text, std::size_t caret, const ScriptAnalysis& analysis,
                      const DeclaredNames& siblings, std::string_view levelHint)
{
    return completeWith(text, *analysis.text, analysis.outline, &analysis.fileNames, &analysis.uses, caret, siblings,
                        levelHint);
}

Completion completeAt(std::string_view text, std::size_t caret, const DeclaredNames& siblings,
                      std::string_view levelHint)
{
    return completeAt(text, readScript(text), caret, siblings, levelHint);
}

std::string candidateDetail(const Candidate& candidate)
{
    if (candidate.kind == NameKind::LevelHeading)
        return {};
    std::string detail(kindLabel(candidate.kind));
    if (!candidate.detail.empty())
        detail += ' ' + candidate.detail;
    return detail;
}

std::optional<std::size_t> insertableRow(const std::vector<Candidate>& candidates, std::size_t from, int rows)
{
    if (candidates.empty())
        return std::nullopt;
    const auto last = std::ptrdiff_t(candidates.size()) - 1;
    const std::ptrdiff_t step = rows < 0 ? -1 : 1;
    const auto insertableAt = [&](std::ptrdiff_t row) {
        return row >= 0 && row <= last && candidates[std::size_t(row)].insertable();
    };
    std::ptrdiff_t to = std::clamp(std::ptrdiff_t(from) + rows, std::ptrdiff_t(0), last);
    while (to >= 0 && to <= last && !insertableAt(to))
        to += step;
    if (to < 0 || to > last) {
        to = std::clamp(to, std::ptrdiff_t(0), last);
        while (to >= 0 && to <= last && !insertableAt(to))
            to -= step;
    }
    if (to < 0 || to > last)
        return std::nullopt;
    return std::size_t(to);
}

bool finishesTypedName(const std::vector<Candidate>& candidates, const Candidate& chosen, std::string_view typed)
{
    // A template is a statement, not the name being typed: it goes in only when chosen.
    if (chosen.kind == NameKind::Template)
        return false;
    const std::string_view offered = chosen.insertText;
    if (typed.empty() || offered.size() <= typed.size() || !sameName(offered.substr(0, typed.size()), typed))
        return false;
    // A word that is already complete stays as typed, even when a longer name starts with it.
    return std::none_of(candidates.begin(), candidates.end(), [typed](const Candidate& candidate) {
        return candidate.insertable() && sameName(candidate.insertText, typed);
    });
}

bool opensNameList(std::string_view lineBeforeCaret)
{
    std::size_t begin = lineBeforeCaret.size();
    while (begin > 0 && isWordByte(lineBeforeCaret[begin - 1]))
        --begin;
    return lineBeforeCaret.size() - begin == 2 && !isDigit(lineBeforeCaret[begin]);
}

bool followsBuilderCommand(std::string_view lineBeforeCaret)
{
    // A command further back than this is no longer the statement being typed.
    constexpr std::size_t kLookBack = 512;
    const std::string_view line = lineBeforeCaret.substr(lineBeforeCaret.size() - std::min(lineBeforeCaret.size(), kLookBack));
    const Builtins& builtins = Builtins::standard();
    for (std::size_t at = 0; at < line.size();) {
        if (!isWordByte(line[at])) {
            ++at;
            continue;
        }
        const std::size_t end = wordEnd(line, at);
        const BuiltinName* name = builtins.find(line.substr(at, end - at));
        if (name && name->builderCommand)
            return true;
        at = end;
    }
    return false;
}

std::optional<int> levelFromHint(std::string_view hint)
{
    std::string lower(hint);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowered);
    for (std::size_t at = lower.find("level"); at != std::string::npos; at = lower.find("level", at + 1)) {
        std::size_t p = at + 5;
        while (p < lower.size() && (lower[p] == ' ' || lower[p] == '_' || lower[p] == '-' || lower[p] == '.'))
            ++p;
        int number = 0;
        std::size_t digits = 0;
        while (p < lower.size() && isDigit(lower[p]) && digits < 2) {
            number = number * 10 + (lower[p++] - '0');
            ++digits;
        }
        if (digits > 0 && number < int(kStandardLevelHeadings.size()))
            return number;
    }

    // Otherwise the level whose name shares the most words with the hint, when only one does.
    static const std::vector<std::vector<std::string>> levels = levelNameWords();
    std::vector<int> shared(levels.size(), 0);
    std::string word;
    for (const char c : lower + ' ') {
        if (isLetter(c)) {
            word += c;
            continue;
        }
        for (std::size_t level = 0; level < levels.size() && word.size() >= 4; ++level)
            shared[level] += int(std::count(levels[level].begin(), levels[level].end(), word));
        word.clear();
    }
    const auto best = std::max_element(shared.begin(), shared.end());
    if (*best == 0 || std::count(shared.begin(), shared.end(), *best) > 1)
        return std::nullopt;
    return int(best - shared.begin());
}

std::optional<int> levelOfHeading(std::string_view heading)
{
    if (heading.starts_with("Level ") || heading.starts_with("level "))
        heading.remove_prefix(6);
    if (heading.size() < 2 || !isDigit(heading[0]) || !isDigit(heading[1]))
        return std::nullopt;
    return (heading[0] - '0') * 10 + (heading[1] - '0');
}
