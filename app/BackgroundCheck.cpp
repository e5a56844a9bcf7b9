#include "app/BackgroundCheck.h"

#include <new>

BackgroundCheck::BackgroundCheck(QObject* parent) : QObject(parent)
{
    // One check at a time: a second would only race the first for the same old text.
    m_worker.setMaxThreadCount(1);
}

BackgroundCheck::~BackgroundCheck()
{
    m_worker.clear();
    m_worker.waitForDone();
}

void BackgroundCheck::request(std::uint64_t revision, std::shared_ptr<const std::string> text,
                              std::shared_ptr<const DeclaredNames> siblings)
{
    m_newest = revision;
    m_worker.start([this, revision, text = std::move(text), siblings = std::move(siblings)] {
        if (m_newest != revision)
            return;
        std::shared_ptr<const ScriptAnalysis> analysis;
        std::shared_ptr<const std::vector<Finding>> findings;
        try {
            analysis = analyseScript(text);
            findings = std::make_shared<const std::vector<Finding>>(
                checkScript(*analysis->text, analysis->outline, *siblings));
        } catch (const std::bad_alloc&) {
            analysis.reset();
        }
        // Delivered through this object's thread, and not at all once it is gone.
        QMetaObject::invokeMethod(
            this, [this, revision, analysis, findings] { emit checked(revision, analysis, findings); },
            Qt::QueuedConnection);
    });
}
