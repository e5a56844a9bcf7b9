#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/ClickLabel.h"
#include "app/CommandBuilder.h"
#include "app/DialogFont.h"
#include "app/FindDialog.h"
#include "app/GoToLineDialog.h"
#include "app/LinkButton.h"
#include "app/ProblemsWindow.h"
#include "app/ScriptDocument.h"
#include "catalogue/ReferenceDatabase.h"
#include "editor/CheckMarks.h"
#include "language/Level.h"
#include "language/ScriptChecker.h"
#include "language/ScriptReader.h"
#include "editor/ScriptEditor.h"
#include "platform/DesktopServices.h"
#include "platform/DialogUnits.h"
#include "platform/ProgramName.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <new>
#include <ctime>

namespace {

// The window and its controls in dialog units.
constexpr int kWindowWidth = 575;
constexpr int kWindowHeight = 265;
constexpr DialogRect kCreditsRect{6, 255, 256, 9};
constexpr DialogRect kOpenLabelRect{325, 255, 50, 9};
constexpr DialogRect kSaveLabelRect{381, 255, 50, 9};
constexpr DialogRect kEditorRect{0, 0, 431, 254};
constexpr DialogRect kCharsLinkRect{433, 2, 141, 13};
constexpr DialogRect kShotsLinkRect{433, 17, 141, 13};
constexpr DialogRect kCentralLinkRect{433, 31, 141, 13};
constexpr DialogRect kClockRect{527, 254, 47, 10};

constexpr char kInitialCredits[] = "Programmed by Ravok - Ideas by PLXN";
constexpr char kCreditsText[] = "Programmed by Ravok  -  Ideas by PLXN";
constexpr char kLoadingText[] = "Loading, Please wait a few seconds...";

constexpr char kFilterDescription[] = "VESK Level Script Files (*.bsl)";
constexpr char kFilterPattern[] = "*.bsl";
constexpr char kScriptSuffix[] = "bsl";
constexpr char kProgramTitle[] = "QUARN-XP";
constexpr char kRecentScriptsMenu[] = "Recent scripts";
constexpr char kRecentScriptGone[] = " was not found. It is removed from the recent scripts.";

constexpr std::uint16_t kAboutEntryTextId = 101;
constexpr int kClockPeriodMs = 1000;
constexpr char kClockFormat[] = "%H:%M:%S";

// A load that takes longer than this shows its progress.
constexpr std::chrono::milliseconds kProgressDelay(500);

// The check waits for a pause in typing this long. It takes a few milliseconds even for a script
// of a megabyte, but running it on every key press would still be felt.
constexpr int kCheckPauseMs = 700;

// Empty when the time is not valid.
QString formatClock(const QDateTime& localTime)
{
    if (!localTime.isValid())
        return {};
    const QTime time = localTime.time();
    std::tm fields{};
    fields.tm_hour = time.hour();
    fields.tm_min = time.minute();
    fields.tm_sec = time.second();
    char buffer[16];
    const std::size_t length = std::strftime(buffer, sizeof buffer, kClockFormat, &fields);
    return QString::fromLatin1(buffer, qsizetype(length));
}

QLabel* makeLabel(QLabel* label, const char* name, const char* text)
{
    label->setObjectName(QString::fromLatin1(name));
    label->setText(QString::fromLatin1(text));
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

// The file labels: centred in a sunken frame.
ClickLabel* makeFileLabel(QWidget* parent, const char* name, const char* text)
{
    auto* label = new ClickLabel(parent);
    makeLabel(label, name, text);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    return label;
}

struct WebLink {
    const char* name;
    const char* text;
    const char* url;
};

constexpr WebLink kCharsLink{"IDC_LINK_CHARS", "Visit VESK Chars", "https://vesk.example.org/chars"};
constexpr WebLink kShotsLink{"IDC_LINK_SHOTS", "Visit VESK Shots", "https://vesk.example.org/shots"};
constexpr WebLink kCentralLink{"IDC_LINK_CENTRAL", "Visit VESK Central", "https://vesk.example.org/central"};

// Shows the loading text while it lives, then the credits, also when the load fails.
class LoadingCredits {
public:
    explicit LoadingCredits(QLabel* credits) : m_credits(credits)
    {
        m_credits->setText(QString::fromLatin1(kLoadingText));
        // The load keeps the event loop waiting: the text shows only if it is painted now.
        m_credits->repaint();
    }
    ~LoadingCredits() { m_credits->setText(QString::fromLatin1(kCreditsText)); }
    LoadingCredits(const LoadingCredits&) = delete;
    LoadingCredits& operator=(const LoadingCredits&) = delete;

private:
    QLabel* m_credits;
};

// The first local file among dropped URLs, when it is a script.
QString droppedScript(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return QFileInfo(url.toLocalFile()).suffix().compare(QLatin1String(kScriptSuffix), Qt::CaseInsensitive) == 0
                ? url.toLocalFile()
                : QString();
    }
    return {};
}

// The template's font, in which its dialog units are measured.
QFont windowFont()
{
    return dialogFont(QStringLiteral("Tahoma"), 7);
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quarn-xp-%1.png").arg(size));
    return icon;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_units(DialogUnits::fromFont(windowFont())),
      m_templateSize(m_units.toPixels(kWindowWidth, kWindowHeight)), m_progressDelay(kProgressDelay)
{
    setWindowIcon(programIcon());
    setFont(windowFont());
    setMinimumSize(m_templateSize);
    resize(m_templateSize);
    setAcceptDrops(true);

    // Created in the tab order.
    m_credits = makeLabel(new QLabel(this), "IDC_CREDITS", kInitialCredits);
    m_credits->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_credits->setWordWrap(true);
    m_openLabel = makeFileLabel(this, "IDC_OPEN_LABEL", "OPEN");
    m_saveLabel = makeFileLabel(this, "IDC_SAVE_LABEL", "SAVE ");
    m_editor = new ScriptEditor(this);
    m_editor->setObjectName(QStringLiteral("IDC_SCRIPT_EDIT"));
    m_document = new ScriptDocument(m_editor, this, m_settings);
    const auto makeLink = [&](const WebLink& link) {
        auto* button = new LinkButton(QString::fromLatin1(link.text), this);
        button->setObjectName(QString::fromLatin1(link.name));
        // A page the desktop cannot open is not reported.
        connect(button, &QPushButton::clicked, this,
                [url = QString::fromLatin1(link.url)] { DesktopServices::instance().openUrl(url); });
        return button;
    };
    m_charsLink = makeLink(kCharsLink);
    m_shotsLink = makeLink(kShotsLink);
    m_centralLink = makeLink(kCentralLink);
    m_builder = new CommandBuilder(m_units, this);
    m_clock = makeLabel(new QLabel(this), "IDC_CLOCK", "");
    m_clock->setAlignment(Qt::AlignCenter);
    m_clock->setFrameStyle(QFrame::WinPanel | QFrame::Raised);

    // The editor takes the room the window gains; the builder's column keeps its width at the
    // right edge, and the labels and the clock stay along the bottom.
    m_placements = {
        {m_credits, m_units.toPixels(kCreditsRect), AnchorBottom},
        {m_openLabel, m_units.toPixels(kOpenLabelRect), AnchorRight | AnchorBottom},
        {m_saveLabel, m_units.toPixels(kSaveLabelRect), AnchorRight | AnchorBottom},
        {m_editor, m_units.toPixels(kEditorRect), Stretch},
        {m_charsLink, m_units.toPixels(kCharsLinkRect), AnchorRight},
        {m_shotsLink, m_units.toPixels(kShotsLinkRect), AnchorRight},
        {m_centralLink, m_units.toPixels(kCentralLinkRect), AnchorRight},
        {m_builder, CommandBuilder::area(m_units), AnchorRight},
        {m_clock, m_units.toPixels(kClockRect), AnchorRight | AnchorBottom},
    };

    QWidget* previous = m_centralLink;
    for (QWidget* control : m_builder->tabOrder()) {
        setTabOrder(previous, control);
        previous = control;
    }
    setTabOrder(m_editor, m_charsLink);

    m_editMenu = new QMenu(this);
    m_editMenu->addAction(QStringLiteral("Copy"), m_editor, &ScriptEditor::copy);
    m_editMenu->addAction(QStringLiteral("Cut"), m_editor, &ScriptEditor::cut);
    m_editMenu->addAction(QStringLiteral("Paste"), m_editor, &ScriptEditor::paste);
    m_editMenu->addAction(QStringLiteral("Delete"), m_editor, &ScriptEditor::deleteSelection);
    m_editMenu->addSeparator();
    // The window's shortcut does the work; the text after the tab only shows the key.
    m_editMenu->addAction(QStringLiteral("Read into builder\tF4"), this, &MainWindow::readStatementIntoBuilder);
    m_editMenu->addSeparator();
    m_recentMenu = m_editMenu->addMenu(QString::fromLatin1(kRecentScriptsMenu));
    connect(m_editMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentScriptsMenu);
    // The About entry belongs in the window manager's menu, which is out of the program's reach.
    if (std::string aboutText; loadStringById(kAboutEntryTextId, aboutText) && !aboutText.empty()) {
        m_editMenu->addSeparator();
        m_editMenu->addAction(QString::fromLatin1(aboutText), this, &MainWindow::showAbout);
    }
    offerEditMenu(this);
    for (QWidget* control : findChildren<QWidget*>())
        offerEditMenu(control);

    connect(m_openLabel, &ClickLabel::clicked, this, &MainWindow::openScript);
    connect(m_saveLabel, &ClickLabel::clicked, this, &MainWindow::saveScriptAs);
    connect(m_builder, &CommandBuilder::statementComposed, this, &MainWindow::insertStatement);
    connect(m_editor, &ScriptEditor::modificationChanged, this, &MainWindow::updateTitle);
    connect(m_document, &ScriptDocument::pathChanged, this, &MainWindow::updateTitle);
    m_findDialog = new FindDialog(m_editor, this);

    m_problems = new ProblemsWindow(this);
    connect(m_problems, &ProblemsWindow::findingChosen, this, &MainWindow::goToFinding);
    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(kCheckPauseMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &MainWindow::checkScriptNow);
    // The signal comes before the change; the timer fires well after it.
    connect(m_editor, &ScriptEditor::textChanging, this, [this] {
        ++m_revision;
        m_checkTimer.start();
    });
    m_language = new LanguageService(this);
    m_checkMarks = new CheckMarks(*m_editor);
    m_editor->takeReadingsFromOutside();
    connect(m_language, &LanguageService::read, this, &MainWindow::showReading);
    connect(m_document, &ScriptDocument::pathChanged, this, &MainWindow::scriptPathChanged);
    // A script being opened is read while it goes into the editor.
    connect(m_document, &ScriptDocument::loading, this,
            [this](const QString& path, std::shared_ptr<const std::string> text) { requestReading(std::move(text), path); });
    createShortcuts();

    m_editor->zoomTo(m_settings.zoom());
    connect(m_editor, &ScriptEditor::SCN_ZOOM, this, [this] {
        const int zoom = std::clamp(m_editor->SendScintilla(ScriptEditor::SCI_GETZOOM), long(Settings::kMinimumZoom),
                                    long(Settings::kMaximumZoom));
        if (zoom != m_editor->SendScintilla(ScriptEditor::SCI_GETZOOM))
            m_editor->zoomTo(int(zoom));
        m_settings.setZoom(int(zoom));
    });

    auto* clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, this, &MainWindow::updateClock);
    clockTimer->start(kClockPeriodMs);

    // Kept on screen by Qt when the screens have changed since.
    restoreGeometry(m_settings.windowGeometry());
    updateTitle();
    m_editor->setFocus();
}

void MainWindow::createShortcuts()
{
    const auto shortcut = [this](QKeySequence keys, auto slot) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    shortcut(QKeySequence::Open, &MainWindow::openScript);
    shortcut(QKeySequence::Save, &MainWindow::save);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &MainWindow::saveScriptAs);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { m_editor->zoomTo(0); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), &MainWindow::goToLine);
    shortcut(QKeySequence::Find, [this] { m_findDialog->showFind(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_H), [this] { m_findDialog->showReplace(); });
    shortcut(QKeySequence(Qt::Key_F3), [this] { m_findDialog->findNext(); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { m_findDialog->findPrevious(); });
    shortcut(QKeySequence(Qt::Key_F4), &MainWindow::readStatementIntoBuilder);
    shortcut(QKeySequence(Qt::Key_F7), &MainWindow::showProblems);
}

void MainWindow::goToLine()
{
    int line = 0;
    int column = 0;
    m_editor->getCursorPosition(&line, &column);
    auto* dialog = new GoToLineDialog(m_editor->lines(), line + 1, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &GoToLineDialog::lineChosen, this, [this](int chosen) {
        m_editor->setCursorPosition(chosen - 1, 0);
        m_editor->ensureLineVisible(chosen - 1);
        m_editor->setFocus();
    });
    dialog->open();
}

void MainWindow::checkScriptNow()
{
    m_checkTimer.stop();
    // A check is a help, not an edit: without the memory for one, the script goes unchecked.
    try {
        requestReading(m_editor->snapshot(), scriptPath());
    } catch (const std::bad_alloc&) {
        m_checkMarks->clear();
    }
}

void MainWindow::requestReading(std::shared_ptr<const std::string> text, const QString& path)
{
    // The text stands in for its file in the level until the editor holds another script.
    if (path != m_readPath) {
        m_language->closeDocument(m_readPath);
        m_readPath = path;
    }
    m_language->request(m_revision, std::move(text), path);
    m_requested = {m_revision, path};
}

void MainWindow::setCheckPause(std::chrono::milliseconds pause)
{
    m_checkTimer.setInterval(pause);
}

void MainWindow::setRecoveryDelay(std::chrono::milliseconds delay)
{
    m_document->setRecoveryDelay(delay);
}

void MainWindow::setProgressDelay(std::chrono::milliseconds delay)
{
    m_progressDelay = delay;
}

bool MainWindow::recoveryCopyDue() const
{
    return m_document->recoveryCopyDue();
}

void MainWindow::showReading(std::uint64_t revision, const ScriptReading& reading)
{
    if (revision != m_revision)
        return;
    if (reading.siblings)
        updateScriptContext(reading.siblings);
    if (reading.analysis)
        m_language->release(m_editor->setAnalysis(reading.analysis));
    if (reading.findings) {
        m_checkMarks->show(reading.findings);
        m_language->release({}, m_problems->showFindings(reading.findings));
    } else {
        m_checkMarks->clear();
    }
    emit scriptChecked();
}

void MainWindow::showProblems()
{
    checkScriptNow();
    m_problems->show();
    m_problems->raise();
    m_problems->activateWindow();
}

void MainWindow::goToFinding(std::size_t offset)
{
    m_editor->SendScintilla(ScriptEditor::SCI_GOTOPOS, static_cast<unsigned long>(m_editor->shownPosition(offset)));
    activateWindow();
    m_editor->setFocus();
}

void MainWindow::scriptPathChanged()
{
    // Also after every open: a script just opened is read at once, not after a pause in typing.
    // The level hint follows the path at once; the new folder's names come with the reading.
    updateScriptContext(std::make_shared<const DeclaredNames>());
    if (m_requested != std::pair{m_revision, scriptPath()})
        checkScriptNow();
}

void MainWindow::updateScriptContext(std::shared_ptr<const DeclaredNames> siblings)
{
    const QString path = scriptPath();
    if (siblings == m_siblingNames && path == m_contextPath)
        return;
    m_siblingNames = siblings;
    m_contextPath = path;
    m_editor->setScriptContext(std::move(siblings), levelHintOf(path));
}

void MainWindow::readStatementIntoBuilder()
{
    const long caret = m_editor->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS);
    m_builder->readBack(statementAt(m_editor->documentText(), std::size_t(std::max(0L, caret))));
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int grownX = std::max(0, width() - m_templateSize.width());
    const int grownY = std::max(0, height() - m_templateSize.height());
    for (const Placement& placement : m_placements) {
        QRect rect = placement.rect;
        if (placement.anchors & Stretch)
            rect.adjust(0, 0, grownX, grownY);
        if (placement.anchors & AnchorRight)
            rect.translate(grownX, 0);
        if (placement.anchors & AnchorBottom)
            rect.translate(0, grownY);
        placement.control->setGeometry(rect);
    }
}

void MainWindow::offerEditMenu(QWidget* control)
{
    if (control == m_editMenu || control->isWindow())
        return;
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    // A scroll area reports the position in its viewport.
    auto* area = qobject_cast<QAbstractScrollArea*>(control);
    QWidget* origin = area ? area->viewport() : control;
    connect(control, &QWidget::customContextMenuRequested, this,
            [this, origin](const QPoint& position) { m_editMenu->popup(origin->mapToGlobal(position)); });
}

void MainWindow::showAbout()
{
    AboutBox about(this);
    about.exec();
}

void MainWindow::updateClock()
{
    m_clock->setText(formatClock(DesktopServices::instance().currentDateTime()));
}

void MainWindow::insertStatement(const std::string& statement)
{
    // A clipboard held by another program is not written, but the paste still goes ahead and
    // inserts whatever it already holds. A statement that could not be allocated is not pasted
    // at all: the old clipboard text would pose as the statement.
    if (DesktopServices::instance().setClipboardText(statement) != DesktopServices::ClipboardWrite::OutOfMemory)
        m_editor->paste();
}

void MainWindow::openScript()
{
    if (!m_document->maybeSave())
        return;
    const std::optional<QString> chosen = DesktopServices::instance().getOpenFileName(
        this, {m_document->lastFolder(), QString::fromLatin1(kFilterDescription), QString::fromLatin1(kFilterPattern), {}});
    if (chosen)
        openScriptFile(*chosen);
}

bool MainWindow::openScriptFile(const QString& path)
{
    const WaitCursor wait;
    const LoadingCredits credits(m_credits);
    QProgressDialog progress(QStringLiteral("Loading %1").arg(QFileInfo(path).fileName()), QString(), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(int(m_progressDelay.count()));
    return m_document->open(path, [&progress](int percent) { progress.setValue(percent); });
}

const QString& MainWindow::scriptPath() const
{
    return m_document->path();
}

void MainWindow::save()
{
    m_document->save();
}

void MainWindow::saveScriptAs()
{
    m_document->saveAs();
}

void MainWindow::offerRecovery()
{
    m_document->offerRecovery();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_document->checkDisk();
}

void MainWindow::updateTitle()
{
    const QString program = QString::fromLatin1(kProgramTitle);
    if (scriptPath().isEmpty()) {
        setWindowTitle(program);
        return;
    }
    const QString mark = m_editor->isModified() ? QStringLiteral("*") : QString();
    // Qt takes "[*]" in a title for its own modified mark; doubled, a file name shows it as it is.
    const QString name = QFileInfo(scriptPath()).fileName().replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(name + mark + QStringLiteral(" - ") + program);
}

void MainWindow::fillRecentScriptsMenu()
{
    m_recentMenu->clear();
    const QStringList recent = m_settings.recentScripts();
    for (const QString& path : recent) {
        // A menu takes "&" for a shortcut letter; doubled, it shows as itself.
        m_recentMenu->addAction(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")), this,
                                [this, path] { openRecentScript(path); });
    }
    m_recentMenu->setEnabled(!recent.isEmpty());
}

void MainWindow::openRecentScript(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        QStringList recent = m_settings.recentScripts();
        recent.removeAll(path);
        m_settings.setRecentScripts(recent);
        DesktopServices::instance().messageBox(this, path + QLatin1String(kRecentScriptGone),
                                               QString::fromLatin1(kProgramName.data(), qsizetype(kProgramName.size())),
                                               DesktopServices::Icon::Warning);
        return;
    }
    if (m_document->maybeSave())
        openScriptFile(path);
}

void MainWindow::openDroppedScript(const QString& path)
{
    if (m_document->maybeSave())
        openScriptFile(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedScript(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedScript(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop's source waits until the drop returns; the question and the load come after.
    QTimer::singleShot(0, this, [this, path] { openDroppedScript(path); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_document->maybeSave()) {
        event->ignore();
        return;
    }
    m_settings.setWindowGeometry(saveGeometry());
    event->accept();
}
