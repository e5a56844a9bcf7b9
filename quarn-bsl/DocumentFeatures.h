#pragma once

#include "quarn-bsl/DocumentStore.h"
#include "quarn-bsl/ScriptReadings.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <cstddef>
#include <string_view>

// The answers about one script, as the protocol shapes them, from what the language library
// reads: positions in the negotiated encoding. `now` is the document as the client holds it;
// the reading may be of an earlier revision, and then only the text near the caret is read again,
// as the window's completion and hints do.

// Completion at `caret`: the window's candidates in the window's order, the first
// kListedCandidates of them. The list is marked incomplete, so that the client asks again as
// more is typed. With `argumentsOnly` (the client asked because a blank was typed) only a
// builder command's argument list. A template goes in as a snippet whose fields the client
// fills in turn, or, with `snippets` off, as its text with the fields' names.
QJsonObject completionList(const Snapshot& now, const Reading& reading, std::size_t caret, std::string_view levelHint,
                           bool argumentsOnly, bool snippets, PositionEncoding encoding);
// A script of 300,000 functions offers them all to an empty word; as JSON that list would take
// seconds to send and read.
inline constexpr std::size_t kListedCandidates = 1000;
// The hint of the name under `caret`; null off a name or for a name nothing declares.
QJsonValue hoverAt(const Snapshot& now, const Reading& reading, std::size_t caret, PositionEncoding encoding);
// The declaration of the call whose arguments hold `caret`, with the argument it is in; null
// outside a call of a known function.
QJsonValue signatureHelpAt(const Snapshot& now, const Reading& reading, std::size_t caret, PositionEncoding encoding);

// These answer from the reading's own text.
// The outline: functions with their parameters and locals, and globals, in text order.
QJsonArray documentSymbols(const Reading& reading, PositionEncoding encoding);
// Function bodies from their `func` line, and every other `{ }` block over several lines.
QJsonArray foldingRanges(const Reading& reading);
// `{"uri", "version", "diagnostics"}`: the findings, the first kPublishedFindings of them, and a
// note of how many more there are.
QJsonObject diagnosticsOf(const Diagnostics& diagnostics, PositionEncoding encoding);
inline constexpr std::size_t kPublishedFindings = 1000;

// The colours of the whole text, by the token classes of the window's colouring.
QJsonObject semanticTokens(const Snapshot& now, PositionEncoding encoding);
QJsonObject semanticTokensLegend();
