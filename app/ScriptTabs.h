#pragma once

#include <QString>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class LanguageService;
class QStackedWidget;
class QTabBar;
class ScriptTab;
class Settings;

// The scripts open in the window: a tab bar over the editor of the current one. There is always
// at least one tab; closing the last one leaves a new, empty script. Each script is open once:
// opening it again brings its tab forward.
class ScriptTabs : public QWidget {
    Q_OBJECT

public:
    // Boxes and dialogs open over `window`; readings come from `language`, which outlives this.
    ScriptTabs(QWidget* window, Settings& settings, LanguageService& language, QWidget* parent);
    ~ScriptTabs() override;

    ScriptTab* current() const { return m_current; }
    // In the order of the tab bar.
    const std::vector<std::unique_ptr<ScriptTab>>& tabs() const { return m_tabs; }
    // The tab of the script at `path`, or of the document `id`; null when none is open.
    ScriptTab* find(const QString& path) const;
    ScriptTab* byId(std::uint64_t id) const;

    // The tab that holds the script at `path`: the one already open, else the current tab when it
    // is untouched, else a new one, made current unless `inBackground`. A failure is reported
    // and leaves the tabs as they were. `progress` hears of the load from 0 to 100.
    ScriptTab* open(const QString& path, const std::function<void(int)>& progress = {}, bool inBackground = false);
    // A new, empty script in a tab of its own, made current.
    ScriptTab* addTab();
    // The tab to take recovered work for the script at `path` (empty for one never saved): its
    // own tab when it is open, else the current tab when it is untouched, else a new one.
    ScriptTab* tabForWork(const QString& path);
    void setCurrent(ScriptTab* tab);
    // Closes the tab without asking anything.
    void close(ScriptTab* tab);
    // The tab `step` places to the right of the current one, round the ends.
    void moveCurrent(int step);

    void setCheckPause(std::chrono::milliseconds pause);
    void setRecoveryDelay(std::chrono::milliseconds delay);

signals:
    void currentChanged(ScriptTab* tab);
    // A tab was opened, or one was closed: the set of open scripts changed.
    void tabsChanged();
    void tabAdded(ScriptTab* tab);
    // Its name or its unsaved mark changed.
    void tabStateChanged(ScriptTab* tab);
    // A reading of its text as it stands was shown.
    void tabRead(ScriptTab* tab);
    // The user clicked the tab's close button or the tab with the middle button.
    void closeRequested(ScriptTab* tab);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScriptTab* createTab();
    int indexOf(const ScriptTab* tab) const;
    void updateLabel(ScriptTab* tab);
    void showCurrent(int index);

    QWidget* m_window;
    Settings& m_settings;
    LanguageService& m_language;
    QTabBar* m_bar;
    QStackedWidget* m_stack;
    std::vector<std::unique_ptr<ScriptTab>> m_tabs;
    ScriptTab* m_current = nullptr;
    std::uint64_t m_lastId = 0;
    std::chrono::milliseconds m_checkPause{-1};
    std::chrono::milliseconds m_recoveryDelay{-1};
};
