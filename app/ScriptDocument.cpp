#include "app/ScriptDocument.h"

#include "app/Settings.h"
#include "editor/ScriptEditor.h"
#include "platform/DesktopServices.h"
#include "platform/ProgramName.h"

#include <QDir>
#include <QFileInfo>

#include <climits>
#include <new>

namespace {

constexpr char kFilterDescription[] = "VESK Level Script Files (*.bsl)";
constexpr char kFilterPattern[] = "*.bsl";
constexpr char kScriptSuffix[] = "bsl";
constexpr char kSaveChangesQuestion[] = "Save changes to the script?";

// Unsaved work is copied at most this long after it changed.
constexpr int kRecoveryDelayMs = 2000;

// How much more to read at a time when a file turns out longer than it was.
constexpr std::size_t kReadChunk = 1 << 20;

QString folderOf(const QString& path)
{
    const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    return separator < 0 ? QString() : path.left(separator + 1);
}

// The save dialog appends the suffix itself; a name that arrives without one still gets it, so
// that a script is always saved as one.
QString withScriptSuffix(const QString& path)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + QLatin1String(kScriptSuffix);
}

// The whole file, read into a buffer of the size it had when opened, grown if it has grown since.
std::string readAll(LockedFile& file, qint64 expected, const std::function<void(int)>& progress)
{
    std::string bytes(std::size_t(expected) + 1, '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(bytes.size() + kReadChunk);
        const std::size_t read = file.read(bytes.data() + size, std::min(bytes.size() - size, kReadChunk));
        if (read == 0)
            break;
        size += read;
        if (progress && expected > 0)
            progress(int(std::min<qint64>(50, qint64(size) * 50 / expected)));
    }
    bytes.resize(size);
    return bytes;
}

} // namespace

ScriptDocument::ScriptDocument(ScriptEditor* editor, QWidget* window, Settings& settings, QObject* parent)
    : QObject(parent), m_editor(editor), m_window(window), m_settings(settings)
{
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(kRecoveryDelayMs);
    connect(&m_recoveryTimer, &QTimer::timeout, this, &ScriptDocument::keepRecoveryCopy);
    // Started by the first change and not pushed back by the next: typing without a pause is
    // copied every two seconds.
    connect(m_editor, &ScriptEditor::textChanging, this, [this] {
        if (!m_recoveryTimer.isActive())
            m_recoveryTimer.start();
    });
}

QString ScriptDocument::lastFolder() const
{
    const QString folder = m_settings.lastFolder();
    return folder.isEmpty() ? QDir::homePath() + QLatin1Char('/') : folder;
}

bool ScriptDocument::open(const QString& path, const std::function<void(int)>& progress)
{
    try {
        LockedFile file(path, LockedFile::Mode::Read);
        const qint64 size = QFileInfo(path).size();
        // The editor addresses its text with int positions.
        if (size >= INT_MAX)
            throw FileError(FileError::tooLarge, path);
        std::string bytes = readAll(file, size, progress);
        file.close();
        m_editor->setScript(
            std::move(bytes),
            [&progress](int percent) {
                if (progress)
                    progress(50 + percent / 2);
            },
            [this, &path](std::shared_ptr<const std::string> text) { emit loading(path, std::move(text)); });
    } catch (const FileError& error) {
        report(error.message());
        return false;
    } catch (const std::bad_alloc&) {
        report(FileError(FileError::tooLarge, path).message());
        return false;
    }
    m_diskStamp = fileStampOf(path);
    m_recovery.remove();
    setPath(path);
    return true;
}

bool ScriptDocument::save()
{
    if (m_path.isEmpty())
        return saveAs();
    if (!confirmOverwrite())
        return false;
    return write(m_path);
}

bool ScriptDocument::saveAs()
{
    const std::optional<QString> chosen = DesktopServices::instance().getSaveFileName(
        m_window, {lastFolder(), QString::fromLatin1(kFilterDescription), QString::fromLatin1(kFilterPattern),
                   QString::fromLatin1(kScriptSuffix)});
    if (!chosen)
        return false;
    const QString path = withScriptSuffix(*chosen);
    // The dialog asked before replacing another file; the script's own file may have changed.
    if (path == m_path && !confirmOverwrite())
        return false;
    if (!write(path))
        return false;
    setPath(path);
    return true;
}

bool ScriptDocument::confirmOverwrite()
{
    const FileStamp now = fileStampOf(m_path);
    if (!now.exists || !m_diskStamp.exists || now == m_diskStamp)
        return true;
    const QString question = QStringLiteral("%1 was changed by another program since it was opened or saved here. "
                                            "Overwrite it with this script?")
                                 .arg(m_path);
    return DesktopServices::instance().messageBox(m_window, question, programName(), DesktopServices::Icon::Warning,
                                                  DesktopServices::Buttons::YesNo)
        == DesktopServices::Answer::Yes;
}

bool ScriptDocument::write(const QString& path)
{
    try {
        LockedFile file(path, LockedFile::Mode::CreateOrReplace);
        const std::string bytes = m_editor->script();
        file.write(bytes.data(), bytes.size());
        file.close();
    } catch (const FileError& error) {
        report(error.message());
        return false;
    } catch (const std::bad_alloc&) {
        report(FileError(FileError::generic, path).message());
        return false;
    }
    m_editor->setModified(false);
    m_diskStamp = fileStampOf(path);
    m_recovery.remove();
    return true;
}

bool ScriptDocument::maybeSave()
{
    if (!m_editor->isModified())
        return true;
    switch (DesktopServices::instance().messageBox(m_window, QString::fromLatin1(kSaveChangesQuestion), programName(),
                                                   DesktopServices::Icon::Question,
                                                   DesktopServices::Buttons::SaveDiscardCancel)) {
    case DesktopServices::Answer::Save:
        return save() && !m_editor->isModified();
    case DesktopServices::Answer::Discard:
        discardChanges();
        return true;
    default:
        return false;
    }
}

void ScriptDocument::discardChanges()
{
    m_recoveryTimer.stop();
    m_recovery.remove();
}

void ScriptDocument::setPath(const QString& path)
{
    m_path = path;
    m_declinedStamp.reset();
    m_settings.setLastFolder(folderOf(path));
    m_settings.setRecentScripts(withRecentScript(m_settings.recentScripts(), path));
    emit pathChanged();
}

void ScriptDocument::checkDisk()
{
    if (m_path.isEmpty() || !m_diskStamp.exists)
        return;
    const FileStamp now = fileStampOf(m_path);
    if (now == m_diskStamp || now == m_declinedStamp)
        return;
    m_declinedStamp = now;
    DesktopServices& desktop = DesktopServices::instance();
    if (!now.exists) {
        desktop.messageBox(m_window,
                           QStringLiteral("%1 was deleted or moved by another program. Saving writes it anew.").arg(m_path),
                           programName(), DesktopServices::Icon::Warning);
        return;
    }
    const QString question = m_editor->isModified()
        ? QStringLiteral("%1 was changed by another program. Reload it and lose the changes made here?")
        : QStringLiteral("%1 was changed by another program. Reload it?");
    if (desktop.messageBox(m_window, question.arg(m_path), programName(), DesktopServices::Icon::Question,
                           DesktopServices::Buttons::YesNo)
        == DesktopServices::Answer::Yes)
        open(m_path);
}

void ScriptDocument::keepRecoveryCopy()
{
    if (!m_editor->isModified()) {
        m_recovery.remove();
        return;
    }
    // At most the copy of the text happens here, and none when the check took one of the same
    // text; the writing is done off the window's thread. A copy the memory cannot hold is
    // skipped: the last one stays, and the next change tries again.
    try {
        m_recovery.write(m_path, QDateTime::currentDateTimeUtc(), m_diskStamp, m_editor->snapshot());
    } catch (const std::bad_alloc&) {
    }
}

void ScriptDocument::recover(const RecoveredScript& work)
{
    m_editor->replaceText(work.text);
    m_path = work.scriptPath;
    // A copy from an older program knows no stamp: the file as it is now is the best guess.
    m_diskStamp = work.diskStamp.value_or(fileStampOf(m_path));
    m_declinedStamp.reset();
    if (!m_path.isEmpty())
        m_settings.setLastFolder(folderOf(m_path));
    emit pathChanged();
    // The work is in this copy's own file before the dead copy's goes, so that a crash now does
    // not lose it.
    keepRecoveryCopy();
    m_recovery.flush();
}

void ScriptDocument::report(const QString& text)
{
    DesktopServices::instance().messageBox(m_window, text, programName(), DesktopServices::Icon::Stop);
}
