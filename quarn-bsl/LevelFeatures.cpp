#include "quarn-bsl/LevelFeatures.h"

#include "language/LevelQueries.h"
#include "quarn-bsl/Protocol.h"

#include <QFileInfo>

#include <optional>

namespace {

const Level& levelOf(const Reading& reading)
{
    return *reading.view->level;
}

// The range of `length` bytes at `place` in `text`, all on the place's line.
QJsonObject placeRange(std::string_view text, const ScriptPlace& place, std::size_t length, PositionEncoding encoding)
{
    const auto line = std::uint32_t(place.line - 1);
    const std::size_t column = std::size_t(place.column);
    const std::uint32_t start = unitCount(text.substr(place.offset - column, column), encoding);
    return rangeJson({line, start}, {line, start + unitCount(text.substr(place.offset, length), encoding)});
}

QJsonObject locationOf(const LevelView& view, const LevelLocation& location, PositionEncoding encoding)
{
    return {
        {QStringLiteral("uri"), view.sources[location.script].uri},
        {QStringLiteral("range"), placeRange(view.level->script(location.script).text(), location.place, location.length, encoding)},
    };
}

QJsonObject textEditJson(const QJsonObject& range, const QString& newText)
{
    return {{QStringLiteral("range"), range}, {QStringLiteral("newText"), newText}};
}

[[noreturn]] void refuse(const std::string& refusal)
{
    throw ProtocolError{lsp::RequestFailed, utf8(refusal)};
}

} // namespace

QJsonValue definitionAt(const Reading& reading, std::size_t offset, PositionEncoding encoding)
{
    const Level& level = levelOf(reading);
    const std::optional<LevelSymbol> symbol = symbolAt(level, reading.script, offset);
    const std::optional<LevelLocation> declaration = symbol ? definitionOf(level, *symbol) : std::nullopt;
    if (!declaration)
        return QJsonValue::Null;
    return locationOf(*reading.view, *declaration, encoding);
}

QJsonArray referencesAt(const Reading& reading, std::size_t offset, bool withDeclarations, PositionEncoding encoding)
{
    QJsonArray locations;
    const std::optional<LevelSymbol> symbol = symbolAt(levelOf(reading), reading.script, offset);
    if (!symbol)
        return locations;
    for (const LevelReference& reference : referencesOf(levelOf(reading), *symbol)) {
        if (withDeclarations || !reference.declaration)
            locations.append(locationOf(*reading.view, reference.location, encoding));
    }
    return locations;
}

QJsonObject renameRangeAt(const Reading& reading, std::size_t offset, PositionEncoding encoding)
{
    const RenameTarget target = renameTargetAt(levelOf(reading), reading.script, offset);
    if (!target.symbol)
        refuse(target.refusal);
    const std::string_view text = *reading.snapshot.text;
    const LineIndex& lines = *reading.snapshot.lines;
    const std::size_t begin = target.symbol->offset;
    return {
        {QStringLiteral("range"),
         rangeJson(lines.positionOf(text, begin, encoding), lines.positionOf(text, begin + target.symbol->name.size(), encoding))},
        {QStringLiteral("placeholder"), utf8(target.symbol->name)},
    };
}

QJsonObject renameEdits(const Reading& reading, std::size_t offset, const QString& newName, bool versioned,
                        PositionEncoding encoding)
{
    const Level& level = levelOf(reading);
    const LevelEdits edits = renameAt(level, reading.script, offset, newName.toStdString());
    if (edits.refused())
        refuse(edits.refusal);
    QJsonArray documentChanges;
    QJsonObject changes;
    for (const ScriptEdits& script : edits.scripts) {
        const std::string_view text = level.script(script.script).text();
        std::optional<LineIndex> ownLines;
        const LineIndex* lines = reading.snapshot.lines.get();
        if (script.script != reading.script)
            lines = &ownLines.emplace(text);
        QJsonArray textEdits;
        for (const TextEdit& edit : script.edits) {
            const QJsonObject range = rangeJson(lines->positionOf(text, edit.offset, encoding),
                                                lines->positionOf(text, edit.offset + edit.length, encoding));
            textEdits.append(textEditJson(range, utf8(edit.replacement)));
        }
        const ScriptSource& source = reading.view->sources[script.script];
        if (!versioned) {
            changes.insert(source.uri, textEdits);
            continue;
        }
        const QJsonValue version = source.version ? QJsonValue(qint64(*source.version)) : QJsonValue(QJsonValue::Null);
        documentChanges.append(QJsonObject{
            {QStringLiteral("textDocument"), QJsonObject{{QStringLiteral("uri"), source.uri}, {QStringLiteral("version"), version}}},
            {QStringLiteral("edits"), textEdits},
        });
    }
    if (versioned)
        return {{QStringLiteral("documentChanges"), documentChanges}};
    return {{QStringLiteral("changes"), changes}};
}

QJsonArray workspaceSymbols(const std::vector<std::shared_ptr<const LevelView>>& views, const QString& query,
                            PositionEncoding encoding)
{
    QJsonArray symbols;
    const std::string wanted = query.toStdString();
    for (const std::shared_ptr<const LevelView>& view : views) {
        const Level& level = *view->level;
        for (const LevelSymbolItem& found : levelSymbols(level, wanted)) {
            if (std::size_t(symbols.size()) == kListedSymbols)
                return symbols;
            const OutlineItem& item = found.item;
            const LevelScript& script = level.script(found.script);
            symbols.append(QJsonObject{
                {QStringLiteral("name"), utf8(item.name)},
                {QStringLiteral("kind"), item.role == NameRole::Function ? lsp::FunctionSymbol : lsp::VariableSymbol},
                {QStringLiteral("location"),
                 QJsonObject{{QStringLiteral("uri"), view->sources[found.script].uri},
                             {QStringLiteral("range"), placeRange(script.text(), item.place, item.name.size(), encoding)}}},
                {QStringLiteral("containerName"), QFileInfo(script.path).fileName()},
            });
        }
    }
    return symbols;
}
