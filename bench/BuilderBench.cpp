#include "app/Resource.h"
#include "app/ScriptToolDlg.h"
#include "builder/CommandCatalogue.h"
#include "platform/DropDownList.h"

#include <QApplication>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The main window after start-up, shown without a modal loop.
class ShownMainWindow {
public:
    ShownMainWindow()
    {
        m_dlg.Create();
        m_dlg.GetSafeHwnd()->show();
        QApplication::processEvents();
    }

    DropDownList* list(int id) const { return static_cast<DropDownList*>(m_dlg.GetDlgItem(id)); }

    // As the user picks entry `position`: the selection-change notification runs its handler.
    void choose(int id, int position) const { list(id)->setCurrentIndex(position); }

private:
    CScriptToolDlg m_dlg;
};

int PositionOf(int category, std::string_view command)
{
    const auto commands = FindCommandCategory(category)->commands;
    for (std::size_t i = 0; i < commands.size(); ++i)
        if (commands[i] == command)
            return int(i) + 1;
    return -1;
}

// Choosing "ai2_attack" fills two lists with the 889 character entries each.
void BM_CommandChange(benchmark::State& state)
{
    ShownMainWindow window;
    window.choose(IDC_CATEGORY_COMBO, 1);
    const int attack = PositionOf(1, "ai2_attack");
    const int chump = PositionOf(1, "ai2_chump");
    for (auto _ : state) {
        window.choose(IDC_COMMAND_COMBO, attack);
        state.PauseTiming();
        window.choose(IDC_COMMAND_COMBO, chump);
        state.ResumeTiming();
    }
    window.choose(IDC_COMMAND_COMBO, attack);
    state.counters["entries"] = window.list(IDC_PARAM1_COMBO)->count() + window.list(IDC_PARAM2_COMBO)->count();
}
BENCHMARK(BM_CommandChange)->Name("BM_CommandChange/ai2_attack")->Unit(benchmark::kMillisecond);

// Opening the popup of the 889-entry list, as a click on it does.
void BM_PopupOpen(benchmark::State& state)
{
    ShownMainWindow window;
    window.choose(IDC_CATEGORY_COMBO, 1);
    window.choose(IDC_COMMAND_COMBO, PositionOf(1, "ai2_attack"));
    DropDownList* list = window.list(IDC_PARAM1_COMBO);
    for (auto _ : state) {
        list->showPopup();
        QApplication::processEvents();
        state.PauseTiming();
        list->hidePopup();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PopupOpen)->Name("BM_PopupOpen/ai2_attack")->Unit(benchmark::kMillisecond);

void BM_CategoryChange(benchmark::State& state)
{
    ShownMainWindow window;
    const int category = int(state.range(0));
    const int other = category == 1 ? 2 : 1;
    for (auto _ : state) {
        window.choose(IDC_CATEGORY_COMBO, category);
        state.PauseTiming();
        window.choose(IDC_CATEGORY_COMBO, other);
        state.ResumeTiming();
    }
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

    for (auto _ : state) {
        FirstPaint probe;
        auto dlg = std::make_unique<CScriptToolDlg>();
        dlg->Create();
        dlg->GetSafeHwnd()->installEventFilter(&probe);
        dlg->GetSafeHwnd()->show();
        while (!probe.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        state.PauseTiming();
        dlg.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
