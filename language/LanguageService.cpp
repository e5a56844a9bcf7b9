#include "language/LanguageService.h"

#include "language/TextSnapshots.h"
#include "platform/ThreadPriority.h"

#include <new>
#include <optional>

LanguageService::LanguageService(QObject* parent) : QObject(parent)
{
    // One job at a time, in the order asked: a second reading would only race the first for
    // the same old text, and a job asked after a request must see that request's text.
    m_worker.setMaxThreadCount(1);
}

LanguageService::~LanguageService()
{
    m_worker.clear();
    m_worker.waitForDone();
}

void LanguageService::startJob(std::function<void()> job)
{
    m_worker.start([job = std::move(job)] {
        lowerCurrentThreadPriority();
        job();
    });
}

bool LanguageService::isNewest(std::uint64_t document, std::uint64_t serial)
{
    const std::lock_guard lock(m_newestMutex);
    const auto newest = m_newest.find(document);
    return newest != m_newest.end() && newest->second == serial;
}

void LanguageService::request(std::uint64_t document, std::uint64_t revision, std::shared_ptr<const std::string> text,
                              QString scriptPath)
{
    const std::uint64_t serial = ++m_requests;
    {
        const std::lock_guard lock(m_newestMutex);
        m_newest[document] = serial;
    }
    startJob([this, document, serial, revision, text = std::move(text), scriptPath = std::move(scriptPath)]() mutable {
        if (!isNewest(document, serial))
            return;
        ScriptReading reading = readNow(document, revision, text, scriptPath);
        // Delivered through this object's thread, and not at all once it is gone.
        QMetaObject::invokeMethod(
            this,
            [this, document, serial, revision, reading = std::move(reading)]() mutable {
                if (isNewest(document, serial))
                    emit read(document, revision, reading);
                // Whatever the window did not keep is freed here, not on its thread.
                release(std::move(reading.analysis), std::move(reading.findings), std::move(reading.level));
            },
            Qt::QueuedConnection);
        // Made ready once the reading is on its way, so that the window's next copy of the text
        // does not wait for it.
        try {
            TextSnapshots::prepareAnother(text);
        } catch (const std::bad_alloc&) {
        }
    });
}

void LanguageService::closeDocument(std::uint64_t document, QString scriptPath)
{
    {
        const std::lock_guard lock(m_newestMutex);
        m_newest.erase(document);
    }
    startJob([this, document, scriptPath = std::move(scriptPath)] {
        const std::lock_guard lock(m_workspaceMutex);
        if (scriptPath.isEmpty())
            m_workspace.closeUnsaved(document);
        else
            m_workspace.closeDocument(scriptPath);
    });
}

void LanguageService::run(std::function<Continuation()> job)
{
    startJob([this, job = std::move(job)] {
        Continuation continuation;
        try {
            continuation = job();
        } catch (const std::bad_alloc&) {
            return;
        }
        if (continuation)
            QMetaObject::invokeMethod(this, std::move(continuation), Qt::QueuedConnection);
    });
}

void LanguageService::withLevel(std::uint64_t document, QString scriptPath,
                                std::function<Continuation(std::shared_ptr<const Level>)> job)
{
    run([this, document, scriptPath = std::move(scriptPath), job = std::move(job)] {
        std::shared_ptr<const Level> level;
        {
            const std::lock_guard lock(m_workspaceMutex);
            level = scriptPath.isEmpty() ? m_workspace.unsavedLevel(document) : m_workspace.levelOf(scriptPath);
        }
        return job(std::move(level));
    });
}

void LanguageService::release(std::shared_ptr<const ScriptAnalysis> analysis,
                              std::shared_ptr<const std::vector<Finding>> findings, std::shared_ptr<const Level> level)
{
    if (analysis || findings || level)
        startJob([analysis = std::move(analysis), findings = std::move(findings), level = std::move(level)]() mutable {
            analysis.reset();
            findings.reset();
            level.reset();
        });
}

ScriptReading LanguageService::readNow(std::uint64_t document, std::uint64_t revision,
                                       std::shared_ptr<const std::string> text, const QString& scriptPath)
{
    // A reading is a help, not an edit: without the memory for one, the script goes unread.
    ScriptReading reading;
    try {
        std::optional<std::size_t> index;
        {
            const std::lock_guard lock(m_workspaceMutex);
            if (scriptPath.isEmpty()) {
                reading.level = m_workspace.unsavedLevel(document, revision, text);
                index = 0;
            } else {
                m_workspace.setDocument(scriptPath, revision, text);
                reading.level = m_workspace.levelOf(scriptPath);
                index = reading.level->indexOf(scriptPath);
            }
            reading.siblings = m_workspace.namesBeside(scriptPath);
        }
        if (index) {
            const LevelScript& script = reading.level->script(*index);
            reading.analysis = script.analysis;
            reading.findings = script.findings;
        }
    } catch (const std::bad_alloc&) {
        reading = {};
    }
    return reading;
}
