#pragma once

#include "app/MainWindow.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "editor/ScriptEditor.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

// Writes `script` as level.bsl into `dir` and returns its path; an empty path once the benchmark
// has been told why it cannot run.
inline QString writeScript(benchmark::State& state, const QTemporaryDir& dir, const std::string& script)
{
    const QString path = dir.filePath("level.bsl");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(script.data(), static_cast<qint64>(script.size())) != static_cast<qint64>(script.size())) {
        state.SkipWithError("cannot write the script");
        return {};
    }
    return path;
}

// The main window, shown, with its file dialogs answered, so a click on a file label runs the
// whole handler.
class ScriptWindow {
public:
    explicit ScriptWindow(const QString& path) : m_path(path)
    {
        m_desktop.openFileName = path;
        m_desktop.saveFileName = path;
        m_window.show();
        QApplication::processEvents();
    }

    // Clicks the label, then repaints the window; false when an error was reported.
    bool click(const char* label)
    {
        auto* target = m_window.findChild<QWidget*>(QString::fromLatin1(label));
        input::LeftClick(target, target->rect().center());
        m_window.repaint();
        QApplication::processEvents();
        return m_desktop.messageBoxes.empty();
    }

    // Clicks OPEN, then runs the event loop until the window has shown a reading of the script,
    // and leaves the window active with the editor focused; false when an error was reported.
    bool openAndRead()
    {
        bool read = false;
        const QMetaObject::Connection connection =
            QObject::connect(&m_window, &MainWindow::scriptChecked, [&read] { read = true; });
        const bool opened = click("IDC_OPEN_LABEL");
        while (opened && !read)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QObject::disconnect(connection);
        if (opened) {
            m_window.activateWindow();
            editor().setFocus();
            QApplication::processEvents();
        }
        return opened;
    }

    // Closes the script's tab unasked, so that the next OPEN reads the script as a first open does
    // rather than bring its tab forward.
    void closeScript()
    {
        if (ScriptTab* tab = m_window.tabs()->find(m_path))
            m_window.tabs()->close(tab);
        QApplication::processEvents();
    }

    ScriptEditor& editor() { return *m_window.editor(); }
    MainWindow& window() { return m_window; }

private:
    QString m_path;
    FakeDesktopServices m_desktop;
    MainWindow m_window;
};

// The longest single stretch the window's thread is busy while it runs: a timer that fires every
// millisecond the thread is free tells the stretches apart, overstating each by a millisecond at
// most. The thread sleeps between its ticks, as a window waiting for the user does, rather than
// spin and take a core from the workers.
class BusyProbe {
public:
    BusyProbe()
    {
        m_clock.start();
        m_probe.setTimerType(Qt::PreciseTimer);
        m_probe.setInterval(1);
        QObject::connect(&m_probe, &QTimer::timeout, [this] { note(); });
        m_probe.start();
    }

    qint64 longestNanoseconds()
    {
        note();
        return m_longest;
    }

private:
    void note()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QElapsedTimer m_clock;
    QTimer m_probe;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// The same while the event loop runs for `milliseconds`.
inline qint64 longestBusyNanoseconds(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    BusyProbe probe;
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return probe.longestNanoseconds();
}
