#pragma once

#include "quarn-bsl/ScriptReadings.h"
#include "quarn-bsl/TextPositions.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

// The answers across a level, as the protocol shapes them, from the level's queries
// (LevelQueries) on the level a reading of the document asked about belongs to. `offset` is a
// place in the reading's text. Each script is named as the client names it: an open document by
// its URI, a file by its file's; positions in a file count its text as the editor opens it.

// The declaration of the name at `offset`, a Location; null off a name, and for a built-in, a
// keyword or a name the level declares nowhere.
QJsonValue definitionAt(const Reading& reading, std::size_t offset, PositionEncoding encoding);

// Every use of the name at `offset` across the level, as Locations in level order and then text
// order; its declarations too `withDeclarations`.
QJsonArray referencesAt(const Reading& reading, std::size_t offset, bool withDeclarations, PositionEncoding encoding);

// `{range, placeholder}`: the name a rename at `offset` would change. Throws ProtocolError with
// the reason when nothing there can be renamed.
QJsonObject renameRangeAt(const Reading& reading, std::size_t offset, PositionEncoding encoding);

// A WorkspaceEdit that renames the name at `offset` to `newName` across the level. `versioned`
// (the client takes document changes): a TextDocumentEdit for each script, an open document's
// with the version its edits were made for, a file's with none; else the edits by URI. Throws
// ProtocolError with the reason when the rename is refused.
QJsonObject renameEdits(const Reading& reading, std::size_t offset, const QString& newName, bool versioned,
                        PositionEncoding encoding);

// SymbolInformation of the functions and globals whose names hold `query` (letter case ignored)
// in the levels `views`, in level order and then text order: the first kListedSymbols of them.
QJsonArray workspaceSymbols(const std::vector<std::shared_ptr<const LevelView>>& views, const QString& query,
                            PositionEncoding encoding);
// A level of eight long scripts may declare a million names; the client asks again as the user
// types more of the query.
inline constexpr std::size_t kListedSymbols = 1000;
