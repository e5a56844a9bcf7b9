#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/ClickLabel.h"
#include "app/CommandBuilder.h"
#include "app/DialogFont.h"
#include "app/FindDialog.h"
#include "app/GoToLineDialog.h"
#include "app/LevelCommands.h"
#include "app/LevelPanel.h"
#include "app/LinkButton.h"
#include "app/ProblemsWindow.h"
#include "app/RecoveryFile.h"
#include "app/ScriptDocument.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "catalogue/ReferenceDatabase.h"
#include "editor/ScriptEditor.h"
#include "language/LanguageService.h"
#include "language/ScriptReader.h"
#include "platform/DesktopServices.h"
#include "platform/DialogUnits.h"
#include "platform/ProgramName.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <ctime>
#include <optional>

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

// The level panel's width, when the window is as wide as its template.
constexpr int kLevelPanelWidth = 150;
// A level's scripts are watched for changes on disk up to this many; beyond, the level panel
// follows them when the current script is checked again.
constexpr int kWatchedScripts = 256;

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

// The local files among dropped URLs that are scripts.
QStringList droppedScripts(const QMimeData* data)
{
    QStringList scripts;
    if (!data || !data->hasUrls())
        return scripts;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            QFileInfo(url.toLocalFile()).suffix().compare(QLatin1String(kScriptSuffix), Qt::CaseInsensitive) == 0)
            scripts.append(url.toLocalFile());
    }
    return scripts;
}

long caretOf(const ScriptEditor& editor)
{
    return editor.SendScintilla(ScriptEditor::SCI_GETCURRENTPOS);
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
    m_language = new LanguageService(this);

    // Created in the tab order.
    m_credits = makeLabel(new QLabel(this), "IDC_CREDITS", kInitialCredits);
    m_credits->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_credits->setWordWrap(true);
    m_openLabel = makeFileLabel(this, "IDC_OPEN_LABEL", "OPEN");
    m_saveLabel = makeFileLabel(this, "IDC_SAVE_LABEL", "SAVE ");
    // The editor's place holds the level panel and the tabs.
    m_area = new QSplitter(Qt::Horizontal, this);
    m_area->setObjectName(QStringLiteral("ScriptArea"));
    m_area->setChildrenCollapsible(false);
    m_levelPanel = new LevelPanel(*m_language, m_area);
    m_tabs = new ScriptTabs(this, m_settings, *m_language, m_area);
    m_area->setStretchFactor(0, 0);
    m_area->setStretchFactor(1, 1);
    m_area->setSizes({kLevelPanelWidth, m_units.toPixels(kEditorRect).width() - kLevelPanelWidth});
    m_levelPanel->setVisible(m_settings.levelPanelShown());
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
        {m_area, m_units.toPixels(kEditorRect), Stretch},
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
    setTabOrder(editor(), m_charsLink);

    m_editMenu = new QMenu(this);
    m_editMenu->addAction(QStringLiteral("Copy"), this, [this] { editor()->copy(); });
    m_editMenu->addAction(QStringLiteral("Cut"), this, [this] { editor()->cut(); });
    m_editMenu->addAction(QStringLiteral("Paste"), this, [this] { editor()->paste(); });
    m_editMenu->addAction(QStringLiteral("Delete"), this, [this] { editor()->deleteSelection(); });
    m_editMenu->addSeparator();
    // The window's shortcuts do the work; the text after the tab only shows the key.
    m_editMenu->addAction(QStringLiteral("Read into builder\tF4"), this, &MainWindow::readStatementIntoBuilder);
    m_editMenu->addSeparator();
    m_editMenu->addAction(QStringLiteral("Go to definition\tF12"), this, [this] { m_commands->goToDefinition(); });
    m_editMenu->addAction(QStringLiteral("Find references\tShift+F12"), this, [this] { m_commands->findReferences(); });
    m_editMenu->addAction(QStringLiteral("Rename\tF2"), this, [this] { m_commands->rename(); });
    m_editMenu->addAction(QStringLiteral("Find in level\tCtrl+Shift+F"), this, [this] { m_commands->showFindInLevel(); });
    m_levelPanelEntry = m_editMenu->addAction(QStringLiteral("Level panel\tCtrl+Shift+E"), this,
                                              &MainWindow::setLevelPanelShown);
    m_levelPanelEntry->setCheckable(true);
    m_levelPanelEntry->setChecked(m_settings.levelPanelShown());
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
    m_findDialog = new FindDialog(editor(), this);
    m_problems = new ProblemsWindow(this);
    m_commands = new LevelCommands(*m_tabs, *m_language, [this](const QString& path, bool inBackground) {
        return openTab(path, inBackground);
    }, this);
    connect(m_problems, &ProblemsWindow::findingChosen, this, [this](const QString& path, std::size_t offset) {
        m_commands->goTo(path, m_tabs->current()->id(), offset);
        activateWindow();
    });
    connect(m_levelPanel, &LevelPanel::scriptActivated, this, &MainWindow::openScriptFile);
    connect(m_levelPanel, &LevelPanel::placeActivated, this,
            [this](const QString& path, std::size_t offset) { m_commands->goTo(path, m_tabs->current()->id(), offset); });
    connect(&m_levelWatch, &QFileSystemWatcher::directoryChanged, this, [this] { m_tabs->current()->checkNow(); });
    connect(&m_levelWatch, &QFileSystemWatcher::fileChanged, this, [this] { m_tabs->current()->checkNow(); });

    connect(m_tabs, &ScriptTabs::tabAdded, this, &MainWindow::tabAdded);
    connect(m_tabs, &ScriptTabs::currentChanged, this, &MainWindow::currentTabChanged);
    connect(m_tabs, &ScriptTabs::tabRead, this, &MainWindow::tabRead);
    connect(m_tabs, &ScriptTabs::tabStateChanged, this, [this](ScriptTab* tab) {
        if (tab == m_tabs->current())
            updateTitle();
    });
    connect(m_tabs, &ScriptTabs::tabsChanged, this, &MainWindow::saveSession);
    connect(m_tabs, &ScriptTabs::closeRequested, this, &MainWindow::closeTab);
    for (const auto& tab : m_tabs->tabs())
        tabAdded(tab.get());
    createShortcuts();

    auto* clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, this, &MainWindow::updateClock);
    clockTimer->start(kClockPeriodMs);

    // Kept on screen by Qt when the screens have changed since.
    if (!restoreGeometry(m_settings.windowGeometry()))
        placeAtFirstStart();
    updateTitle();
    editor()->setFocus();
}

MainWindow::~MainWindow()
{
    // The tabs and the panel hand what they let go of to the language service, which goes last.
    delete m_area;
}

void MainWindow::placeAtFirstStart()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    resize((available.size() * 2 / 3).expandedTo(minimumSize()));
    QRect placed(QPoint(), size());
    placed.moveCenter(available.center());
    move(std::max(placed.left(), available.left()), std::max(placed.top(), available.top()));
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
    shortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), &MainWindow::saveAll);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_W), &MainWindow::closeScript);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), [this] { m_tabs->moveCurrent(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { m_tabs->moveCurrent(-1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { editor()->zoomTo(0); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), &MainWindow::goToLine);
    shortcut(QKeySequence::Find, [this] { m_findDialog->showFind(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_H), [this] { m_findDialog->showReplace(); });
    shortcut(QKeySequence(Qt::Key_F3), [this] { m_findDialog->findNext(); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { m_findDialog->findPrevious(); });
    shortcut(QKeySequence(Qt::Key_F4), &MainWindow::readStatementIntoBuilder);
    shortcut(QKeySequence(Qt::Key_F7), &MainWindow::showProblems);
    shortcut(QKeySequence(Qt::Key_F12), [this] { m_commands->goToDefinition(); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F12), [this] { m_commands->findReferences(); });
    shortcut(QKeySequence(Qt::Key_F2), [this] { m_commands->rename(); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { m_commands->goBack(); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { m_commands->goForward(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), [this] { m_commands->showFindInLevel(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), &MainWindow::keyLevelPanel);
}

ScriptEditor* MainWindow::editor() const
{
    return m_tabs->current()->editor();
}

const QString& MainWindow::scriptPath() const
{
    return m_tabs->current()->path();
}

void MainWindow::tabAdded(ScriptTab* tab)
{
    ScriptEditor* added = tab->editor();
    offerEditMenu(added);
    added->zoomTo(m_settings.zoom());
    // One zoom for every script, remembered between runs.
    connect(added, &ScriptEditor::SCN_ZOOM, this, [this, added] {
        const int zoom = int(std::clamp(added->SendScintilla(ScriptEditor::SCI_GETZOOM), long(Settings::kMinimumZoom),
                                        long(Settings::kMaximumZoom)));
        if (zoom != added->SendScintilla(ScriptEditor::SCI_GETZOOM))
            added->zoomTo(zoom);
        m_settings.setZoom(zoom);
        for (const auto& other : m_tabs->tabs()) {
            if (other->editor()->SendScintilla(ScriptEditor::SCI_GETZOOM) != zoom)
                other->editor()->zoomTo(zoom);
        }
    });
    added->setControlClick([this, tab](long position) { return m_commands->takeControlClick(tab, position); });
}

void MainWindow::currentTabChanged(ScriptTab* tab)
{
    m_findDialog->setEditor(tab->editor());
    updateTitle();
    if (tab->level())
        showLevel(tab->level());
    else if (tab->folder().isEmpty() || !m_levelShown || m_levelShown->folder() != tab->folder())
        showLevel(nullptr);
    tab->editor()->setFocus();
}

void MainWindow::tabRead(ScriptTab* tab)
{
    ScriptTab* current = m_tabs->current();
    // A reading of another script of the same folder holds the level as it is now.
    if (tab == current || (!tab->folder().isEmpty() && tab->folder() == current->folder()))
        showLevel(tab->level());
    if (tab == current)
        emit scriptChecked();
}

void MainWindow::showLevel(std::shared_ptr<const Level> level)
{
    ScriptTab* current = m_tabs->current();
    std::optional<std::size_t> first;
    if (level)
        first = current->path().isEmpty() ? std::optional<std::size_t>(0) : level->indexOf(current->path());
    m_language->release({}, {}, m_problems->showLevel(level, first, current->name()));
    if (level) {
        m_levelPanel->showLevel(level);
        watchLevel(*level);
    }
    // The last hold on a large level takes long to let go of: the worker does it.
    m_language->release({}, {}, std::exchange(m_levelShown, std::move(level)));
}

void MainWindow::watchLevel(const Level& level)
{
    QStringList wanted;
    if (!level.folder().isEmpty())
        wanted.append(level.folder());
    for (const LevelScript& script : level.scripts()) {
        if (wanted.size() > kWatchedScripts)
            break;
        if (!script.path.isEmpty())
            wanted.append(script.path);
    }
    const QStringList watched = m_levelWatch.files() + m_levelWatch.directories();
    QStringList gone;
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            gone.append(path);
    }
    QStringList added;
    for (const QString& path : wanted) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            added.append(path);
    }
    if (!gone.isEmpty())
        m_levelWatch.removePaths(gone);
    if (!added.isEmpty())
        m_levelWatch.addPaths(added);
}

void MainWindow::setLevelPanelShown(bool shown)
{
    m_levelPanel->setVisible(shown);
    m_levelPanelEntry->setChecked(shown);
    m_settings.setLevelPanelShown(shown);
    if (!shown)
        editor()->setFocus();
}

// Shows the panel and takes the keyboard there; from the panel, hides it and goes back to the
// editor.
void MainWindow::keyLevelPanel()
{
    if (m_levelPanel->isVisible() && m_levelPanel->view()->hasFocus()) {
        setLevelPanelShown(false);
        return;
    }
    setLevelPanelShown(true);
    m_levelPanel->view()->setFocus();
}

void MainWindow::goToLine()
{
    ScriptEditor* current = editor();
    int line = 0;
    int column = 0;
    current->getCursorPosition(&line, &column);
    auto* dialog = new GoToLineDialog(current->lines(), line + 1, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const std::uint64_t tab = m_tabs->current()->id();
    connect(dialog, &GoToLineDialog::lineChosen, this, [this, tab](int chosen) {
        ScriptTab* asked = m_tabs->byId(tab);
        if (!asked)
            return;
        asked->editor()->setCursorPosition(chosen - 1, 0);
        asked->editor()->ensureLineVisible(chosen - 1);
        asked->editor()->setFocus();
    });
    dialog->open();
}

void MainWindow::checkScriptNow()
{
    m_tabs->current()->checkNow();
}

void MainWindow::setCheckPause(std::chrono::milliseconds pause)
{
    m_tabs->setCheckPause(pause);
}

void MainWindow::setRecoveryDelay(std::chrono::milliseconds delay)
{
    m_tabs->setRecoveryDelay(delay);
}

void MainWindow::setProgressDelay(std::chrono::milliseconds delay)
{
    m_progressDelay = delay;
}

bool MainWindow::recoveryCopyDue() const
{
    const auto& tabs = m_tabs->tabs();
    return std::any_of(tabs.begin(), tabs.end(), [](const auto& tab) { return tab->document()->recoveryCopyDue(); });
}

void MainWindow::showProblems()
{
    checkScriptNow();
    m_problems->show();
    m_problems->raise();
    m_problems->activateWindow();
}

void MainWindow::readStatementIntoBuilder()
{
    ScriptEditor* current = editor();
    m_builder->readBack(statementAt(current->documentText(), std::size_t(std::max(0L, caretOf(*current)))));
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
        editor()->paste();
}

void MainWindow::openScript()
{
    const std::optional<QString> chosen = DesktopServices::instance().getOpenFileName(
        this, {m_tabs->current()->document()->lastFolder(), QString::fromLatin1(kFilterDescription),
               QString::fromLatin1(kFilterPattern), {}});
    if (chosen)
        openScriptFile(*chosen);
}

bool MainWindow::openScriptFile(const QString& path)
{
    return openTab(path, false) != nullptr;
}

ScriptTab* MainWindow::openTab(const QString& path, bool inBackground)
{
    // A script already open takes no loading.
    if (m_tabs->find(path))
        return m_tabs->open(path, {}, inBackground);
    const WaitCursor wait;
    const LoadingCredits credits(m_credits);
    QProgressDialog progress(QStringLiteral("Loading %1").arg(QFileInfo(path).fileName()), QString(), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(int(m_progressDelay.count()));
    return m_tabs->open(path, [&progress](int percent) { progress.setValue(percent); }, inBackground);
}

void MainWindow::save()
{
    m_tabs->current()->document()->save();
}

void MainWindow::saveScriptAs()
{
    m_tabs->current()->document()->saveAs();
}

void MainWindow::saveAll()
{
    ScriptTab* current = m_tabs->current();
    for (const auto& tab : m_tabs->tabs()) {
        if (!tab->isModified())
            continue;
        // A script never saved asks where: its tab shows meanwhile.
        if (tab->path().isEmpty())
            m_tabs->setCurrent(tab.get());
        if (!tab->document()->save())
            return;
    }
    m_tabs->setCurrent(current);
}

void MainWindow::closeScript()
{
    closeTab(m_tabs->current());
}

void MainWindow::closeTab(ScriptTab* tab)
{
    if (tab->isModified()) {
        m_tabs->setCurrent(tab);
        if (!tab->document()->maybeSave())
            return;
    }
    m_tabs->close(tab);
}

void MainWindow::offerRecovery()
{
    DesktopServices& desktop = DesktopServices::instance();
    std::vector<LeftRecovery> left;
    for (LeftRecovery& found : RecoveryFile::leftBehind()) {
        if (found.script) {
            left.push_back(std::move(found));
            continue;
        }
        desktop.messageBox(this,
                           QStringLiteral("Unsaved work left by an earlier run could not be read. The damaged copy "
                                          "was set aside as %1.damaged.")
                               .arg(found.file),
                           programName(), DesktopServices::Icon::Warning);
        RecoveryFile::setAside(found.file);
    }
    if (left.empty())
        return;
    QStringList offered;
    for (const LeftRecovery& work : left) {
        const QString name = work.script->scriptPath.isEmpty() ? QStringLiteral("an unnamed script")
                                                               : QFileInfo(work.script->scriptPath).fileName();
        offered.append(QStringLiteral("%1 from %2")
                           .arg(name, work.script->savedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    }
    const QString question = left.size() == 1
        ? QStringLiteral("Recover unsaved changes to %1?").arg(offered.front())
        : QStringLiteral("Recover unsaved changes to these scripts?\n\n%1").arg(offered.join(QLatin1Char('\n')));
    if (desktop.messageBox(this, question, programName(), DesktopServices::Icon::Question,
                           DesktopServices::Buttons::RecoverDiscard) != DesktopServices::Answer::Recover) {
        for (const LeftRecovery& work : left)
            RecoveryFile::discard(work.file);
        return;
    }
    ScriptTab* first = nullptr;
    for (const LeftRecovery& work : left) {
        ScriptTab* tab = m_tabs->tabForWork(work.script->scriptPath);
        tab->document()->recover(*work.script);
        // The work is in this copy's own file by now.
        RecoveryFile::discard(work.file);
        if (!first)
            first = tab;
    }
    m_tabs->setCurrent(first);
}

void MainWindow::restoreSession()
{
    const std::vector<SessionScript> scripts = m_settings.sessionScripts();
    const int current = m_settings.sessionCurrent();
    QStringList gone;
    ScriptTab* currentTab = nullptr;
    for (std::size_t index = 0; index < scripts.size(); ++index) {
        const SessionScript& script = scripts[index];
        if (!QFileInfo::exists(script.path)) {
            gone.append(script.path);
            continue;
        }
        ScriptTab* tab = openTab(script.path, false);
        if (!tab)
            continue;
        ScriptEditor* opened = tab->editor();
        const long line = std::min<long>(script.line, opened->SendScintilla(ScriptEditor::SCI_GETLINECOUNT) - 1);
        const long start = opened->SendScintilla(ScriptEditor::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long end = opened->SendScintilla(ScriptEditor::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        opened->SendScintilla(ScriptEditor::SCI_GOTOPOS, static_cast<unsigned long>(std::min(start + script.column, end)));
        if (int(index) == current)
            currentTab = tab;
    }
    if (currentTab)
        m_tabs->setCurrent(currentTab);
    if (!gone.isEmpty())
        DesktopServices::instance().messageBox(
            this,
            QStringLiteral("These scripts were open when the program last ended and are gone since:\n\n%1")
                .arg(gone.join(QLatin1Char('\n'))),
            programName(), DesktopServices::Icon::Warning);
}

void MainWindow::saveSession()
{
    std::vector<SessionScript> scripts;
    int current = -1;
    for (const auto& tab : m_tabs->tabs()) {
        if (tab->path().isEmpty())
            continue;
        const ScriptEditor* held = tab->editor();
        const long caret = caretOf(*held);
        const long line = held->SendScintilla(ScriptEditor::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
        const long start = held->SendScintilla(ScriptEditor::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        if (tab.get() == m_tabs->current())
            current = int(scripts.size());
        scripts.push_back({tab->path(), int(line), int(caret - start)});
    }
    m_settings.setSession(scripts, current);
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    // A question about one script may let the event loop close another: each is looked up anew.
    std::vector<std::uint64_t> ids;
    for (const auto& tab : m_tabs->tabs())
        ids.push_back(tab->id());
    for (const std::uint64_t id : ids) {
        if (ScriptTab* tab = m_tabs->byId(id))
            tab->document()->checkDisk();
    }
}

void MainWindow::updateTitle()
{
    const ScriptTab* current = m_tabs->current();
    const QString program = QString::fromLatin1(kProgramTitle);
    // A new script that holds nothing yet leaves the window its plain name.
    if (current->path().isEmpty() && !current->isModified()) {
        setWindowTitle(program);
        return;
    }
    const QString mark = current->isModified() ? QStringLiteral("*") : QString();
    // Qt takes "[*]" in a title for its own modified mark; doubled, a file name shows it as it is.
    const QString name = current->name().replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
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
        DesktopServices::instance().messageBox(this, path + QLatin1String(kRecentScriptGone), programName(),
                                               DesktopServices::Icon::Warning);
        return;
    }
    openScriptFile(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedScripts(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedScripts(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop's source waits until the drop returns; the loads come after.
    QTimer::singleShot(0, this, [this, paths] {
        for (const QString& path : paths)
            openScriptFile(path);
    });
}

bool MainWindow::maySaveAll()
{
    std::vector<ScriptTab*> modified;
    for (const auto& tab : m_tabs->tabs()) {
        if (tab->isModified())
            modified.push_back(tab.get());
    }
    if (modified.empty())
        return true;
    if (modified.size() == 1) {
        m_tabs->setCurrent(modified.front());
        return modified.front()->document()->maybeSave();
    }
    QStringList names;
    for (const ScriptTab* tab : modified)
        names.append(tab->name());
    const QString question =
        QStringLiteral("Save changes to these scripts?\n\n%1").arg(names.join(QLatin1Char('\n')));
    switch (DesktopServices::instance().messageBox(this, question, programName(), DesktopServices::Icon::Question,
                                                   DesktopServices::Buttons::SaveDiscardCancel)) {
    case DesktopServices::Answer::Save:
        for (ScriptTab* tab : modified) {
            m_tabs->setCurrent(tab);
            if (!tab->document()->save() || tab->isModified())
                return false;
        }
        return true;
    case DesktopServices::Answer::Discard:
        for (ScriptTab* tab : modified)
            tab->document()->discardChanges();
        return true;
    default:
        return false;
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!maySaveAll()) {
        event->ignore();
        return;
    }
    saveSession();
    m_settings.setWindowGeometry(saveGeometry());
    event->accept();
}
