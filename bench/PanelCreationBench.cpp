// Creating panels one after another in a full-screen main window: each
// creation scans for a free spot among the visible panels.
#include "OffscreenMain.h"
#include "app/AOrvell.h"
#include "app/QtDialogs.h"
#include "core/Clock.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Panel.h"
#include "panels/Shared.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

using namespace orvell;

void BM_CreatePanels(benchmark::State& state)
{
    SteadyClock clock;
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto shared = std::make_unique<Shared>(std::make_unique<VirtualMidiSystem>(1, 2, clock),
                                               std::make_unique<QtScheduler>());
        QtDialogs dialogs;
        auto window = std::make_unique<AOrvell>(*shared, dialogs);
        window->resize(1920, 1080);
        window->show();
        window->Load({});
        state.ResumeTiming();
        for (int i = 0; i < count; ++i)
            window->createPanel(static_cast<PanelClass>(i % 8));
        state.PauseTiming();
        window.reset();
        shared.reset();
        state.ResumeTiming();
    }
    // Reported as the time per panel.
    state.counters["per_panel"] = benchmark::Counter(static_cast<double>(count) * state.iterations(),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CreatePanels)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN()
