#include "quarn-bsl/DocumentFeatures.h"

#include "language/Completion.h"
#include "language/Folding.h"
#include "language/Templates.h"
#include "language/ScriptHints.h"
#include "language/Tokenizer.h"
#include "quarn-bsl/Protocol.h"

#include <QStringList>

#include <array>
#include <span>
#include <unordered_map>

namespace {

// A template in the protocol's snippet syntax: each field numbered in the order the window fills
// them, and the template's end last.
QString snippetOf(const ScriptTemplate& statement)
{
    QString snippet;
    int field = 0;
    const std::string_view pattern = statement.pattern;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == '$') {
            const std::size_t close = pattern.find('}', at);
            snippet += QStringLiteral("${%1:%2}").arg(++field).arg(utf8(pattern.substr(at + 2, close - at - 2)));
            at = close;
            continue;
        }
        if (pattern[at] == '\\')
            snippet += QLatin1Char('\\');
        snippet += QLatin1Char(pattern[at]);
    }
    return snippet + QStringLiteral("$0");
}

// The protocol's CompletionItemKind for each kind of candidate; the window's own word for it
// goes into the item's detail.
int completionItemKind(NameKind kind)
{
    enum : int { Function = 3, Variable = 6, Value = 12, Keyword = 14, Snippet = 15, Folder = 19, EnumMember = 20, Constant = 21 };
    switch (kind) {
    case NameKind::Keyword: return Keyword;
    case NameKind::Function:
    case NameKind::BuilderCommand:
    case NameKind::Command:
    case NameKind::ScriptFunction:
    case NameKind::LevelFunction: return Function;
    case NameKind::Variable:
    case NameKind::ScriptVariable:
    case NameKind::LevelVariable: return Variable;
    case NameKind::CharacterName: return Constant;
    case NameKind::ListEntry: return EnumMember;
    case NameKind::LevelHeading: return Folder;
    case NameKind::Template: return Snippet;
    }
    return Value;
}

// The token classes of the window's colouring, in the legend's order; gap text has no token.
struct TokenClass {
    TokenKind kind;
    const char* type;
};
constexpr std::array<TokenClass, 5> kTokenClasses = {{
    {TokenKind::Keyword, "keyword"},
    {TokenKind::Command, "function"},
    {TokenKind::Comment, "comment"},
    {TokenKind::Number, "number"},
    {TokenKind::CharacterName, "enumMember"},
}};

int tokenTypeOf(TokenKind kind)
{
    for (std::size_t i = 0; i < kTokenClasses.size(); ++i) {
        if (kTokenClasses[i].kind == kind)
            return int(i);
    }
    return -1;
}

QJsonObject rangeOf(const Snapshot& snapshot, std::size_t begin, std::size_t end, PositionEncoding encoding)
{
    const std::string_view text = *snapshot.text;
    return rangeJson(snapshot.lines->positionOf(text, begin, encoding), snapshot.lines->positionOf(text, end, encoding));
}

// The end of the name that starts at `begin`.
std::size_t nameEnd(std::string_view text, std::size_t begin)
{
    return std::min(wordEnd(text, begin), begin + kLineReach);
}

QJsonObject symbol(const Snapshot& snapshot, std::string_view name, int kind, std::string_view detail, std::size_t begin,
                   std::size_t end, std::size_t nameOffset, PositionEncoding encoding)
{
    QJsonObject symbol{
        {QStringLiteral("name"), utf8(name)},
        {QStringLiteral("kind"), kind},
        {QStringLiteral("range"), rangeOf(snapshot, begin, end, encoding)},
        {QStringLiteral("selectionRange"), rangeOf(snapshot, nameOffset, nameOffset + name.size(), encoding)},
    };
    if (!detail.empty())
        symbol.insert(QStringLiteral("detail"), utf8(detail));
    return symbol;
}

QJsonObject variableSymbol(const Snapshot& snapshot, const VariableDeclaration& variable, PositionEncoding encoding)
{
    const std::size_t at = variable.place.offset;
    return symbol(snapshot, variable.name, lsp::VariableSymbol, variable.type, at, at + variable.name.size(), at, encoding);
}

} // namespace

QJsonObject completionList(const Snapshot& now, const Reading& reading, std::size_t caret, std::string_view levelHint,
                           bool argumentsOnly, bool snippets, PositionEncoding encoding)
{
    QJsonArray items;
    QJsonObject list{{QStringLiteral("isIncomplete"), true}};
    if (!reading.analysis) {
        list.insert(QStringLiteral("items"), items);
        return list;
    }
    const std::string_view text = *now.text;
    const Completion completion = completeAt(text, caret, *reading.analysis, *reading.siblings, levelHint);
    if (argumentsOnly && !completion.arguments) {
        list.insert(QStringLiteral("isIncomplete"), false);
        list.insert(QStringLiteral("items"), items);
        return list;
    }
    // The protocol replaces within the caret's line only; an argument may have begun on the line
    // above.
    const std::size_t begin = std::max(completion.replaceBegin, now.lines->lineStart(now.lines->lineOf(completion.caret)));
    const QJsonObject range = rangeOf(now, begin, completion.caret, encoding);
    const QString typed = utf8(text.substr(begin, completion.caret - begin));
    int order = 0;
    const std::size_t listed = std::min(completion.candidates.size(), kListedCandidates);
    for (const Candidate& candidate : std::span(completion.candidates).first(listed)) {
        QString detail = utf8(kindLabel(candidate.kind));
        if (!candidate.detail.empty())
            detail += QLatin1Char(' ') + utf8(candidate.detail);
        QJsonObject item{
            {QStringLiteral("label"), utf8(candidate.text)},
            {QStringLiteral("kind"), completionItemKind(candidate.kind)},
            {QStringLiteral("detail"), detail},
            // The client keeps the window's order.
            {QStringLiteral("sortText"), QString::number(order++).rightJustified(6, QLatin1Char('0'))},
        };
        if (const ScriptTemplate* statement = candidate.kind == NameKind::Template ? templateNamed(candidate.insertText) : nullptr) {
            const QString newText = snippets ? snippetOf(*statement) : utf8(expandTemplate(*statement, "\n", {}, "\t").text);
            item.insert(QStringLiteral("textEdit"), QJsonObject{{QStringLiteral("range"), range}, {QStringLiteral("newText"), newText}});
            item.insert(QStringLiteral("insertTextFormat"), snippets ? 2 : 1);
        } else if (candidate.insertable()) {
            item.insert(QStringLiteral("textEdit"),
                        QJsonObject{{QStringLiteral("range"), range}, {QStringLiteral("newText"), utf8(candidate.insertText)}});
        } else {
            // A level heading shows where a level's entries begin. The protocol has no entry that
            // cannot be chosen, so choosing it leaves the text as it is, and it matches whatever
            // was typed so that the client keeps showing it.
            item.insert(QStringLiteral("textEdit"), QJsonObject{{QStringLiteral("range"), range}, {QStringLiteral("newText"), typed}});
            item.insert(QStringLiteral("filterText"), typed);
        }
        items.append(item);
    }
    list.insert(QStringLiteral("items"), items);
    return list;
}

QJsonValue hoverAt(const Snapshot& now, const Reading& reading, std::size_t caret, PositionEncoding encoding)
{
    const std::string_view text = *now.text;
    if (!reading.analysis || caret > text.size())
        return QJsonValue::Null;
    const CaretHint found = hintAt(text, *reading.analysis, caret, *reading.siblings);
    if (found.hint.empty())
        return QJsonValue::Null;
    // About the name under the caret, not the call around it.
    const std::size_t end = nameEnd(text, found.nameOffset);
    if (caret < found.nameOffset || caret > end)
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("contents"),
         QJsonObject{{QStringLiteral("kind"), QStringLiteral("plaintext")}, {QStringLiteral("value"), utf8(found.hint.text())}}},
        {QStringLiteral("range"), rangeOf(now, found.nameOffset, end, encoding)},
    };
}

QJsonValue signatureHelpAt(const Snapshot& now, const Reading& reading, std::size_t caret, PositionEncoding encoding)
{
    const std::string_view text = *now.text;
    if (!reading.analysis || caret > text.size())
        return QJsonValue::Null;
    const CaretHint found = hintAt(text, *reading.analysis, caret, *reading.siblings);
    if (found.hint.empty() || found.argument < 0)
        return QJsonValue::Null;
    const Hint& hint = found.hint;
    const std::string_view label = hint.declaration.empty() ? std::string_view(hint.name) : std::string_view(hint.declaration);
    QJsonArray parameters;
    for (const auto& [begin, end] : hint.parameters) {
        parameters.append(QJsonObject{{QStringLiteral("label"),
                                       QJsonArray{qint64(unitCount(label.substr(0, begin), encoding)),
                                                  qint64(unitCount(label.substr(0, end), encoding))}}});
    }
    QStringList about;
    for (const std::string* part : {&hint.comment, &hint.description}) {
        if (!part->empty())
            about.push_back(utf8(*part));
    }
    if (!hint.returnType.empty())
        about.push_front(QStringLiteral("returns ") + utf8(hint.returnType));
    QJsonObject signature{{QStringLiteral("label"), utf8(label)}, {QStringLiteral("parameters"), parameters}};
    if (!about.isEmpty())
        signature.insert(QStringLiteral("documentation"), about.join(QLatin1Char('\n')));
    return QJsonObject{
        {QStringLiteral("signatures"), QJsonArray{signature}},
        {QStringLiteral("activeSignature"), 0},
        {QStringLiteral("activeParameter"), found.argument},
    };
}

QJsonArray documentSymbols(const Reading& reading, PositionEncoding encoding)
{
    QJsonArray symbols;
    if (!reading.analysis)
        return symbols;
    const ScriptOutline& outline = reading.analysis->outline;
    const Snapshot& snapshot = reading.snapshot;
    std::size_t function = 0;
    const auto addFunctionsBefore = [&](std::size_t offset) {
        for (; function < outline.functions.size() && outline.functions[function].place.offset < offset; ++function) {
            const FunctionDeclaration& declared = outline.functions[function];
            const std::size_t begin = declared.headerPlace.offset;
            const std::size_t end = declared.bodyEnd != FunctionDeclaration::kNoBody
                ? declared.bodyEnd
                : std::size_t(declared.header.data() - snapshot.text->data()) + declared.header.size();
            QJsonObject entry = symbol(snapshot, declared.name, lsp::FunctionSymbol, headerLine(declared.header), begin, end,
                                       declared.place.offset, encoding);
            QJsonArray children;
            for (std::uint32_t i = 0; i < declared.variableCount; ++i)
                children.append(variableSymbol(snapshot, outline.variables[declared.firstVariable + i], encoding));
            entry.insert(QStringLiteral("children"), children);
            symbols.append(entry);
        }
    };
    for (const VariableDeclaration& variable : outline.variables) {
        if (variable.role != NameRole::Global)
            continue;
        addFunctionsBefore(variable.place.offset);
        symbols.append(variableSymbol(snapshot, variable, encoding));
    }
    addFunctionsBefore(std::size_t(-1));
    return symbols;
}

// What folds in the window folds here: function bodies, blocks and runs of comment lines.
QJsonArray foldingRanges(const Reading& reading)
{
    QJsonArray ranges;
    if (!reading.analysis)
        return ranges;
    for (const Fold& fold : reading.analysis->folds)
        ranges.append(QJsonObject{{QStringLiteral("startLine"), int(fold.header)}, {QStringLiteral("endLine"), int(fold.last)}});
    return ranges;
}

QJsonObject diagnosticsOf(const Diagnostics& found, PositionEncoding encoding)
{
    QJsonArray diagnostics;
    QJsonObject published{{QStringLiteral("uri"), found.uri}};
    if (found.findings && found.snapshot.text) {
        const std::vector<Finding>& findings = *found.findings;
        const std::size_t shown = std::min(findings.size(), kPublishedFindings);
        for (std::size_t i = 0; i < shown; ++i) {
            const Finding& finding = findings[i];
            diagnostics.append(QJsonObject{
                {QStringLiteral("range"), rangeOf(found.snapshot, finding.place.offset, finding.place.offset + finding.length, encoding)},
                {QStringLiteral("severity"), finding.severity == Severity::Error ? 1 : 2},
                {QStringLiteral("source"), QStringLiteral("quarn-bsl")},
                {QStringLiteral("message"), utf8(finding.message)},
            });
        }
        if (findings.size() > shown) {
            const Finding& next = findings[shown];
            diagnostics.append(QJsonObject{
                {QStringLiteral("range"), rangeOf(found.snapshot, next.place.offset, next.place.offset + next.length, encoding)},
                {QStringLiteral("severity"), 3},
                {QStringLiteral("source"), QStringLiteral("quarn-bsl")},
                {QStringLiteral("message"), QStringLiteral("%1 more problems from here on").arg(findings.size() - shown)},
            });
        }
        if (found.version)
            published.insert(QStringLiteral("version"), qint64(*found.version));
    }
    published.insert(QStringLiteral("diagnostics"), diagnostics);
    return published;
}

QJsonObject semanticTokens(const Snapshot& now, PositionEncoding encoding)
{
    // Each token as five numbers: its line less the previous token's, its column less the
    // previous token's on the same line (else from the line's start), its length, its type and
    // its modifiers.
    const std::string_view text = *now.text;
    QJsonArray data;
    std::size_t line = 0;
    std::size_t lineStart = 0;
    std::size_t previous = 0;  // where the previous token on the line starts, or the line
    Tokenizer tokenizer(text);
    while (const std::optional<Token> token = tokenizer.next()) {
        const int type = tokenTypeOf(token->kind);
        if (type < 0)
            continue;
        std::size_t lines = 0;
        if (token->lineStart != lineStart) {
            const std::size_t tokenLine = now.lines->lineOf(token->begin);
            lines = tokenLine - line;
            line = tokenLine;
            lineStart = previous = token->lineStart;
        }
        data.append(qint64(lines));
        data.append(qint64(unitCount(text.substr(previous, token->begin - previous), encoding)));
        data.append(qint64(unitCount(text.substr(token->begin, token->end - token->begin), encoding)));
        data.append(type);
        data.append(0);
        previous = token->begin;
    }
    return {{QStringLiteral("data"), data}};
}

QJsonObject semanticTokensLegend()
{
    QJsonArray types;
    for (const TokenClass& tokenClass : kTokenClasses)
        types.append(QLatin1String(tokenClass.type));
    return {{QStringLiteral("tokenTypes"), types}, {QStringLiteral("tokenModifiers"), QJsonArray()}};
}
