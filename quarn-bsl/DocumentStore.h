#pragma once

#include "quarn-bsl/TextPositions.h"

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

// One revision of a text with where its lines start, shared by the features and the readings
// that use it, so that neither copies it.
struct Snapshot {
    std::shared_ptr<const std::string> text;
    std::shared_ptr<const LineIndex> lines;

    static Snapshot of(std::string text);
};

// A change the client made to an open document: the text between two positions replaced, or the
// whole text when there is no range.
struct TextChange {
    std::optional<std::pair<TextPosition, TextPosition>> range;
    std::string text;
};

struct OpenDocument {
    QString uri;
    std::int64_t version = 0;
    Snapshot snapshot;
};

// The documents the client has open, as it holds them.
class DocumentStore {
public:
    // Opening a document already open replaces it.
    const OpenDocument& open(const QString& uri, std::int64_t version, std::string text);
    // Applies the changes in order; positions outside the text are clamped into it. Nothing when
    // the document is not open.
    const OpenDocument* change(const QString& uri, std::int64_t version, std::span<const TextChange> changes,
                               PositionEncoding encoding);
    bool close(const QString& uri);

    const OpenDocument* find(const QString& uri) const;

private:
    std::map<QString, OpenDocument> m_documents;
};
