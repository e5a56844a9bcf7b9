#pragma once

#include "language/TextSearch.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Searches a script's text on a worker, so that a search through tens of megabytes never holds
// the window's thread. The case-folded copy of the last text searched is kept for the next search
// of the same text, as a find pressed again searches it. Only the newest request is answered.
class BackgroundSearch : public QObject {
    Q_OBJECT

public:
    struct Request {
        std::shared_ptr<const std::string> text;
        std::string pattern;  // a document text: see typedText
        SearchOptions options;
        // One match round the text from `from` (see TextMatcher::around), or every match.
        bool every = false;
        std::size_t from = 0;
        bool forward = true;
        TextMatcher::Ranges skipped;  // where matches do not count
    };
    struct Answer {
        std::optional<TextMatcher::Found> found;
        std::vector<std::size_t> starts;  // for every match
        std::size_t length = 0;
    };

    explicit BackgroundSearch(QObject* parent = nullptr);
    // Waits for a search still running: it answers to this object.
    ~BackgroundSearch() override;

    // The request's number, which its answer carries.
    std::uint64_t search(Request request);

signals:
    // On the thread that made the request.
    void answered(std::uint64_t number, const BackgroundSearch::Answer& answer);

private:
    Answer answer(const Request& request);

    QThreadPool m_worker;
    std::atomic<std::uint64_t> m_requests{0};
    std::mutex m_foldedMutex;
    std::weak_ptr<const std::string> m_foldedText;  // the text m_folded is the folded copy of
    std::shared_ptr<const std::string> m_folded;
};
