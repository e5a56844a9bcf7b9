#include "quarn-bsl/DocumentStore.h"

#include <algorithm>

Snapshot Snapshot::of(std::string text)
{
    auto shared = std::make_shared<const std::string>(std::move(text));
    auto lines = std::make_shared<const LineIndex>(*shared);
    return {std::move(shared), std::move(lines)};
}

const OpenDocument& DocumentStore::open(const QString& uri, std::int64_t version, std::string text)
{
    OpenDocument& document = m_documents[uri];
    document = {uri, version, Snapshot::of(std::move(text))};
    return document;
}

const OpenDocument* DocumentStore::change(const QString& uri, std::int64_t version, std::span<const TextChange> changes,
                                          PositionEncoding encoding)
{
    const auto found = m_documents.find(uri);
    if (found == m_documents.end())
        return nullptr;
    OpenDocument& document = found->second;
    for (const TextChange& change : changes) {
        const std::string& text = *document.snapshot.text;
        if (!change.range) {
            document.snapshot = Snapshot::of(change.text);
            continue;
        }
        const LineIndex& lines = *document.snapshot.lines;
        std::size_t begin = lines.offsetOf(text, change.range->first, encoding);
        std::size_t end = lines.offsetOf(text, change.range->second, encoding);
        if (end < begin)
            std::swap(begin, end);
        std::string next;
        next.reserve(text.size() - (end - begin) + change.text.size());
        next.append(text, 0, begin).append(change.text).append(text, end);
        document.snapshot = Snapshot::of(std::move(next));
    }
    document.version = version;
    return &document;
}

bool DocumentStore::close(const QString& uri)
{
    return m_documents.erase(uri) > 0;
}

const OpenDocument* DocumentStore::find(const QString& uri) const
{
    const auto found = m_documents.find(uri);
    return found == m_documents.end() ? nullptr : &found->second;
}
