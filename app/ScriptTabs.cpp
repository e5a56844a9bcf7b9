#include "app/ScriptTabs.h"

#include "app/ScriptDocument.h"
#include "app/ScriptTab.h"
#include "app/Settings.h"
#include "editor/ScriptEditor.h"
#include "language/LanguageService.h"

#include <QMouseEvent>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

ScriptTabs::ScriptTabs(QWidget* window, Settings& settings, LanguageService& language, QWidget* parent)
    : QWidget(parent), m_window(window), m_settings(settings), m_language(language), m_bar(new QTabBar(this)),
      m_stack(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("ScriptTabs"));
    m_bar->setObjectName(QStringLiteral("ScriptTabBar"));
    m_stack->setObjectName(QStringLiteral("ScriptStack"));
    // The keyboard stays in the editor: Ctrl+PageUp and Ctrl+PageDown go from tab to tab.
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->setTabsClosable(true);
    m_bar->setDocumentMode(true);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    m_bar->setElideMode(Qt::ElideNone);
    m_bar->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_bar);
    layout->addWidget(m_stack, 1);

    connect(m_bar, &QTabBar::currentChanged, this, &ScriptTabs::showCurrent);
    connect(m_bar, &QTabBar::tabCloseRequested, this, [this](int index) {
        if (index >= 0 && std::size_t(index) < m_tabs.size())
            emit closeRequested(m_tabs[std::size_t(index)].get());
    });
    connect(&m_language, &LanguageService::read, this,
            [this](std::uint64_t document, std::uint64_t revision, const ScriptReading& reading) {
                if (ScriptTab* tab = byId(document))
                    tab->showReading(revision, reading);
            });
    addTab();
}

ScriptTabs::~ScriptTabs()
{
    // Each tab deletes its editor, which the stack would delete otherwise.
    m_current = nullptr;
    m_tabs.clear();
}

ScriptTab* ScriptTabs::find(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    const QString wanted = levelPath(path);
    for (const auto& tab : m_tabs) {
        if (!tab->path().isEmpty() && levelPath(tab->path()) == wanted)
            return tab.get();
    }
    return nullptr;
}

ScriptTab* ScriptTabs::byId(std::uint64_t id) const
{
    for (const auto& tab : m_tabs) {
        if (tab->id() == id)
            return tab.get();
    }
    return nullptr;
}

int ScriptTabs::indexOf(const ScriptTab* tab) const
{
    const auto found = std::find_if(m_tabs.begin(), m_tabs.end(), [tab](const auto& each) { return each.get() == tab; });
    return found == m_tabs.end() ? -1 : int(found - m_tabs.begin());
}

ScriptTab* ScriptTabs::open(const QString& path, const std::function<void(int)>& progress, bool inBackground)
{
    if (ScriptTab* open = find(path)) {
        if (!inBackground)
            setCurrent(open);
        m_settings.setRecentScripts(withRecentScript(m_settings.recentScripts(), open->path()));
        return open;
    }
    ScriptTab* target = !inBackground && m_current && m_current->isUntouched() ? m_current : nullptr;
    const bool fresh = !target;
    if (fresh)
        target = createTab();
    if (!target->document()->open(path, progress)) {
        if (fresh)
            close(target);
        return nullptr;
    }
    if (!inBackground)
        setCurrent(target);
    emit tabsChanged();
    return target;
}

ScriptTab* ScriptTabs::addTab()
{
    ScriptTab* tab = createTab();
    setCurrent(tab);
    emit tabsChanged();
    return tab;
}

ScriptTab* ScriptTabs::tabForWork(const QString& path)
{
    if (ScriptTab* open = find(path))
        return open;
    if (m_current && m_current->isUntouched())
        return m_current;
    ScriptTab* tab = createTab();
    emit tabsChanged();
    return tab;
}

ScriptTab* ScriptTabs::createTab()
{
    auto made = std::make_unique<ScriptTab>(++m_lastId, m_stack, m_window, m_settings, m_language);
    ScriptTab* tab = made.get();
    // New scripts are told apart by the lowest number none of the others has.
    std::set<int> taken;
    for (const auto& other : m_tabs) {
        if (other->path().isEmpty())
            taken.insert(other->untitledNumber());
    }
    int number = 1;
    while (taken.contains(number))
        ++number;
    tab->setUntitledNumber(number);
    if (m_checkPause.count() >= 0)
        tab->setCheckPause(m_checkPause);
    if (m_recoveryDelay.count() >= 0)
        tab->document()->setRecoveryDelay(m_recoveryDelay);
    m_stack->addWidget(tab->editor());
    connect(tab, &ScriptTab::stateChanged, this, [this, tab] {
        updateLabel(tab);
        emit tabStateChanged(tab);
    });
    connect(tab, &ScriptTab::read, this, [this, tab] { emit tabRead(tab); });
    m_tabs.push_back(std::move(made));
    m_bar->addTab(QString());
    updateLabel(tab);
    emit tabAdded(tab);
    return tab;
}

void ScriptTabs::setCurrent(ScriptTab* tab)
{
    const int index = indexOf(tab);
    if (index < 0)
        return;
    if (m_bar->currentIndex() != index)
        m_bar->setCurrentIndex(index);
    else
        showCurrent(index);
}

void ScriptTabs::showCurrent(int index)
{
    if (index < 0 || std::size_t(index) >= m_tabs.size() || m_tabs[std::size_t(index)].get() == m_current)
        return;
    m_current = m_tabs[std::size_t(index)].get();
    m_stack->setCurrentWidget(m_current->editor());
    emit currentChanged(m_current);
}

void ScriptTabs::close(ScriptTab* tab)
{
    const int index = indexOf(tab);
    if (index < 0)
        return;
    std::unique_ptr<ScriptTab> gone = std::move(m_tabs[std::size_t(index)]);
    m_tabs.erase(m_tabs.begin() + index);
    if (m_current == tab)
        m_current = nullptr;
    // The bar makes another tab current as it lets this one go.
    m_bar->removeTab(index);
    m_stack->removeWidget(tab->editor());
    gone.reset();
    if (m_tabs.empty())
        addTab();
    else if (!m_current)
        showCurrent(m_bar->currentIndex());
    emit tabsChanged();
}

void ScriptTabs::moveCurrent(int step)
{
    const int count = int(m_tabs.size());
    setCurrent(m_tabs[std::size_t(((indexOf(m_current) + step) % count + count) % count)].get());
}

void ScriptTabs::setCheckPause(std::chrono::milliseconds pause)
{
    m_checkPause = pause;
    for (const auto& tab : m_tabs)
        tab->setCheckPause(pause);
}

void ScriptTabs::setRecoveryDelay(std::chrono::milliseconds delay)
{
    m_recoveryDelay = delay;
    for (const auto& tab : m_tabs)
        tab->document()->setRecoveryDelay(delay);
}

void ScriptTabs::updateLabel(ScriptTab* tab)
{
    const int index = indexOf(tab);
    if (index < 0)
        return;
    // A tab's text takes "&" for a shortcut letter; doubled, it shows as itself.
    QString label = tab->name().replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (tab->isModified())
        label += QLatin1Char('*');
    m_bar->setTabText(index, label);
    m_bar->setTabToolTip(index, tab->path().isEmpty() ? tab->name() : tab->path());
}

bool ScriptTabs::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_bar && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = m_bar->tabAt(mouse->position().toPoint());
        if (mouse->button() == Qt::MiddleButton && index >= 0 && std::size_t(index) < m_tabs.size()) {
            emit closeRequested(m_tabs[std::size_t(index)].get());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
