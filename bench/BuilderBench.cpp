#include "app/MainWindow.h"
#include "catalogue/CommandTable.h"
#include "support/FakeDesktopServices.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The main window after start-up, shown.
class ShownMainWindow {
public:
    ShownMainWindow()
    {
        m_window.show();
        QApplication::processEvents();
    }

    QComboBox* list(const char* name) const { return m_window.findChild<QComboBox*>(QString::fromLatin1(name)); }

    // As the user picks entry `position`: the builder reacts to the change of the current entry.
    void choose(const char* name, int position) const { list(name)->setCurrentIndex(position); }

private:
    FakeDesktopServices m_desktop;
    MainWindow m_window;
};

// The command's entry in the command list, which starts with the category's heading.
int positionOf(int category, std::string_view command)
{
    const auto commands = findCommandCategory(category)->commands;
    for (std::size_t i = 0; i < commands.size(); ++i)
        if (commands[i].name == command)
            return int(i) + 1;
    return -1;
}

// Choosing "ai2_attack" fills two lists with the 889 character entries each.
void BM_CommandChange(benchmark::State& state)
{
    ShownMainWindow window;
    window.choose("IDC_CATEGORY_COMBO", 1);
    const int attack = positionOf(1, "ai2_attack");
    const int chump = positionOf(1, "ai2_chump");
    for (auto _ : state) {
        window.choose("IDC_COMMAND_COMBO", attack);
        state.PauseTiming();
        window.choose("IDC_COMMAND_COMBO", chump);
        state.ResumeTiming();
    }
    window.choose("IDC_COMMAND_COMBO", attack);
    state.counters["entries"] = window.list("IDC_PARAM1_COMBO")->count() + window.list("IDC_PARAM2_COMBO")->count();
}
BENCHMARK(BM_CommandChange)->Name("BM_CommandChange/ai2_attack")->Unit(benchmark::kMillisecond);

// Opening the popup of the 889-entry list, as a click on it does.
void BM_PopupOpen(benchmark::State& state)
{
    ShownMainWindow window;
    window.choose("IDC_CATEGORY_COMBO", 1);
    window.choose("IDC_COMMAND_COMBO", positionOf(1, "ai2_attack"));
    QComboBox* list = window.list("IDC_PARAM1_COMBO");
    for (auto _ : state) {
        list->showPopup();
        QApplication::processEvents();
        state.PauseTiming();
        list->hidePopup();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["entries"] = list->count();
}
BENCHMARK(BM_PopupOpen)->Name("BM_PopupOpen/ai2_attack")->Unit(benchmark::kMillisecond);

void BM_CategoryChange(benchmark::State& state)
{
    ShownMainWindow window;
    const int category = int(state.range(0));
    const int other = category == 1 ? 2 : 1;
    for (auto _ : state) {
        window.choose("IDC_CATEGORY_COMBO", category);
        state.PauseTiming();
        window.choose("IDC_CATEGORY_COMBO", other);
        state.ResumeTiming();
    }
    state.counters["commands"] = window.list("IDC_COMMAND_COMBO")->count();
}
BENCHMARK(BM_CategoryChange)->Arg(1)->Unit(benchmark::kMicrosecond);

// From constructing the main window to its first paint.
void BM_StartUpToFirstPaint(benchmark::State& state)
{
    class FirstPaint : public QObject {
    public:
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            painted |= event->type() == QEvent::Paint;
            return false;
        }
    };

    FakeDesktopServices desktop;
    for (auto _ : state) {
        FirstPaint probe;
        auto window = std::make_unique<MainWindow>();
        window->installEventFilter(&probe);
        window->show();
        QElapsedTimer waited;
        waited.start();
        while (!probe.painted && waited.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        if (!probe.painted) {
            state.SkipWithError("the window was never painted");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
