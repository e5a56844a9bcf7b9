#include "app/ScriptTab.h"

#include "app/ScriptDocument.h"
#include "editor/CheckMarks.h"
#include "editor/ScriptEditor.h"
#include "language/Completion.h"

#include <QDir>
#include <QFileInfo>

#include <new>

namespace {

// The check waits for a pause in typing this long. It takes a few milliseconds even for a script
// of a megabyte, but running it on every key press would still be felt.
constexpr int kCheckPauseMs = 700;

} // namespace

ScriptTab::ScriptTab(std::uint64_t id, QWidget* editorParent, QWidget* window, Settings& settings,
                     LanguageService& language)
    : m_id(id), m_language(language), m_editor(new ScriptEditor(editorParent)),
      m_document(new ScriptDocument(m_editor, window, settings, this)), m_checkMarks(new CheckMarks(*m_editor)),
      m_siblingNames(std::make_shared<const DeclaredNames>())
{
    m_editor->setObjectName(QStringLiteral("IDC_SCRIPT_EDIT"));
    m_editor->takeReadingsFromOutside();
    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(kCheckPauseMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &ScriptTab::checkNow);
    // The signal comes before the change; the timer fires well after it.
    connect(m_editor, &ScriptEditor::textChanging, this, [this] {
        ++m_revision;
        m_checkTimer.start();
    });
    // A script being opened is read while it goes into the editor.
    connect(m_document, &ScriptDocument::loading, this,
            [this](const QString& path, std::shared_ptr<const std::string> text) { requestReading(std::move(text), path); });
    connect(m_document, &ScriptDocument::pathChanged, this, &ScriptTab::pathChanged);
    connect(m_editor, &ScriptEditor::modificationChanged, this, &ScriptTab::stateChanged);
}

ScriptTab::~ScriptTab()
{
    m_language.closeDocument(m_id, m_readPath);
    m_language.release(m_editor->setAnalysis(nullptr), {}, std::move(m_level));
    // The document refers to the editor to its end.
    delete m_document;
    delete m_editor;
}

const QString& ScriptTab::path() const
{
    return m_document->path();
}

QString ScriptTab::name() const
{
    if (!path().isEmpty())
        return QFileInfo(path()).fileName();
    return m_untitledNumber == 1 ? QStringLiteral("Untitled") : QStringLiteral("Untitled %1").arg(m_untitledNumber);
}

bool ScriptTab::isModified() const
{
    return m_editor->isModified();
}

bool ScriptTab::isUntouched() const
{
    return path().isEmpty() && !m_editor->isModified() && m_editor->documentText().empty() &&
           !m_editor->isUndoAvailable();
}

QString ScriptTab::folder() const
{
    return path().isEmpty() ? QString() : levelPath(QFileInfo(path()).absolutePath());
}

std::optional<std::size_t> ScriptTab::indexInLevel() const
{
    if (!m_level)
        return std::nullopt;
    if (path().isEmpty())
        return m_level->size() == 1 ? std::optional<std::size_t>(0) : std::nullopt;
    return m_level->indexOf(path());
}

void ScriptTab::checkNow()
{
    m_checkTimer.stop();
    // A check is a help, not an edit: without the memory for one, the script goes unchecked.
    try {
        requestReading(m_editor->snapshot(), path());
    } catch (const std::bad_alloc&) {
        m_checkMarks->clear();
    }
}

void ScriptTab::handOver()
{
    if (m_requested != std::pair{m_revision, path()})
        checkNow();
}

void ScriptTab::requestReading(std::shared_ptr<const std::string> text, const QString& path)
{
    // The text stands in for its file in the level until the editor holds another script.
    if (path != m_readPath) {
        m_language.closeDocument(m_id, m_readPath);
        m_readPath = path;
    }
    m_language.request(m_id, m_revision, std::move(text), path);
    m_requested = {m_revision, path};
}

void ScriptTab::pathChanged()
{
    // Also after every open: a script just opened is read at once, not after a pause in typing.
    // The level hint follows the path at once; the new folder's names come with the reading.
    updateScriptContext(std::make_shared<const DeclaredNames>());
    handOver();
    emit stateChanged();
}

void ScriptTab::showReading(std::uint64_t revision, const ScriptReading& reading)
{
    if (revision != m_revision)
        return;
    if (reading.siblings)
        updateScriptContext(reading.siblings);
    if (reading.analysis)
        m_language.release(m_editor->setAnalysis(reading.analysis));
    if (reading.findings)
        m_checkMarks->show(reading.findings);
    else
        m_checkMarks->clear();
    m_language.release({}, {}, std::exchange(m_level, reading.level));
    m_readRevision = revision;
    if (m_level)
        emit read();
}

void ScriptTab::updateScriptContext(std::shared_ptr<const DeclaredNames> siblings)
{
    if (siblings == m_siblingNames && path() == m_contextPath)
        return;
    m_siblingNames = siblings;
    m_contextPath = path();
    // The folder names the level more often than the file does.
    const QFileInfo file(m_contextPath);
    QString hint = file.absoluteDir().dirName();
    if (m_contextPath.isEmpty())
        hint.clear();
    else if (!levelFromHint(hint.toStdString()))
        hint = file.completeBaseName();
    m_editor->setScriptContext(std::move(siblings), hint);
}

// The stretch of the editor's text an edit covers, or {-1, -1} when the editor cannot make it
// there: a start or end in the rest of a line held cut short, or a mark inside.
std::pair<long, long> ScriptTab::shownRange(const TextEdit& edit) const
{
    const long from = m_editor->shownPosition(edit.offset);
    const long to = m_editor->shownPosition(edit.offset + edit.length);
    if (m_editor->scriptOffset(from) != edit.offset || m_editor->scriptOffset(to) != edit.offset + edit.length ||
        std::size_t(to - from) != edit.length)
        return {-1, -1};
    return {from, to};
}

bool ScriptTab::canApply(const std::vector<TextEdit>& edits) const
{
    for (const TextEdit& edit : edits) {
        if (shownRange(edit).first < 0)
            return false;
    }
    return true;
}

void ScriptTab::apply(const std::vector<TextEdit>& edits)
{
    const ScriptEditor::EditStep step(*m_editor);
    // From the end back, so that the places of the edits still to make stay as they were.
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
        const auto [from, to] = shownRange(*edit);
        if (from < 0)
            continue;
        m_editor->replaceBytes(from, to, edit->replacement);
    }
}
