#include "language/BackgroundSearch.h"

#include <new>

BackgroundSearch::BackgroundSearch(QObject* parent) : QObject(parent)
{
    m_worker.setMaxThreadCount(1);
}

BackgroundSearch::~BackgroundSearch()
{
    m_worker.clear();
    m_worker.waitForDone();
}

std::uint64_t BackgroundSearch::search(Request request)
{
    const std::uint64_t number = ++m_requests;
    m_worker.start([this, number, request = std::move(request)] {
        if (m_requests != number)
            return;
        Answer found = answer(request);
        QMetaObject::invokeMethod(
            this,
            [this, number, found = std::move(found)] {
                if (m_requests == number)
                    emit answered(number, found);
            },
            Qt::QueuedConnection);
    });
    return number;
}

BackgroundSearch::Answer BackgroundSearch::answer(const Request& request)
{
    // A search is a help, not an edit: without the memory for one, nothing is found.
    try {
        std::shared_ptr<const std::string> folded;
        if (!request.options.matchCase) {
            const std::lock_guard lock(m_foldedMutex);
            if (m_foldedText.lock() != request.text) {
                m_folded.reset();
                m_folded = std::make_shared<const std::string>(foldedCase(*request.text));
                m_foldedText = request.text;
            }
            folded = m_folded;
        }
        const TextMatcher matcher(*request.text, request.pattern, request.options, std::move(folded));
        Answer result;
        result.length = matcher.length();
        if (request.every)
            result.starts = matcher.every(request.skipped);
        else
            result.found = matcher.around(request.from, request.forward, request.skipped);
        return result;
    } catch (const std::bad_alloc&) {
        return {};
    }
}
