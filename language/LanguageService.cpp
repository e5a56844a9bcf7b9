#include "language/LanguageService.h"

#include "language/TextSnapshots.h"

#include <future>
#include <new>

LanguageService::LanguageService(QObject* parent) : QObject(parent)
{
    // One reading at a time: a second would only race the first for the same old text.
    m_worker.setMaxThreadCount(1);
}

LanguageService::~LanguageService()
{
    m_worker.clear();
    m_worker.waitForDone();
}

void LanguageService::request(std::uint64_t revision, std::shared_ptr<const std::string> text, QString scriptPath)
{
    const std::uint64_t serial = ++m_requests;
    m_worker.start([this, serial, revision, text = std::move(text), scriptPath = std::move(scriptPath)]() mutable {
        if (m_requests != serial)
            return;
        ScriptReading reading = readNow(std::move(text), scriptPath);
        // Delivered through this object's thread, and not at all once it is gone.
        QMetaObject::invokeMethod(
            this,
            [this, serial, revision, reading = std::move(reading)]() mutable {
                if (m_requests == serial)
                    emit read(revision, reading);
                // Whatever the window did not keep is freed here, not on its thread.
                release(std::move(reading.analysis), std::move(reading.findings));
            },
            Qt::QueuedConnection);
    });
}

void LanguageService::release(std::shared_ptr<const ScriptAnalysis> analysis,
                              std::shared_ptr<const std::vector<Finding>> findings)
{
    if (analysis || findings)
        m_worker.start([analysis = std::move(analysis), findings = std::move(findings)]() mutable {
            analysis.reset();
            findings.reset();
        });
}

ScriptReading LanguageService::readNow(std::shared_ptr<const std::string> text, const QString& scriptPath)
{
    // A reading is a help, not an edit: without the memory for one, the script goes unread.
    ScriptReading reading;
    try {
        {
            const std::lock_guard lock(m_folderMutex);
            reading.siblings = m_folder.namesBeside(scriptPath);
        }
        const std::shared_ptr<ScriptAnalysis> analysis = readAnalysis(text);
        // The check and the counting both read the outline alone, and a long script's reading
        // is done sooner with the two side by side. Without a thread to spare the counting waits
        // for get(), and a failed check waits for it in the future's destructor.
        std::future<void> counted = std::async(std::launch::async | std::launch::deferred, [&analysis, &text] {
            countNames(*analysis);
            TextSnapshots::prepareAnother(text);
        });
        std::vector<Finding> findings = checkScript(*analysis->text, analysis->outline, *reading.siblings);
        counted.get();
        reading.analysis = analysis;
        reading.findings = std::make_shared<const std::vector<Finding>>(std::move(findings));
    } catch (const std::bad_alloc&) {
        reading.analysis.reset();
        reading.findings.reset();
    }
    return reading;
}
