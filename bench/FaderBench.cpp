// From a fader's value change to the message at the MIDI device: each of
// 10,000 changes is timed on one steady clock, from before QScrollBar::setValue
// to the time the virtual device stamped on the message.
#include "OffscreenMain.h"
#include "app/AOrvell.h"
#include "app/QtDialogs.h"
#include "controllers/FaderPanel.h"
#include "core/Clock.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

using namespace orvell;

constexpr int Changes = 10000;

double percentile(std::vector<double> sorted, double p)
{
    std::sort(sorted.begin(), sorted.end());
    const size_t index = std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())));
    return sorted[index];
}

void BM_FaderChangeToDevice(benchmark::State& state)
{
    SteadyClock clock;
    auto system = std::make_unique<VirtualMidiSystem>(1, 2, clock);
    VirtualMidiSystem* midi = system.get();
    auto shared = std::make_unique<Shared>(std::move(system), std::make_unique<QtScheduler>());
    QtDialogs dialogs;
    auto window = std::make_unique<AOrvell>(*shared, dialogs);
    window->resize(1024, 768);
    window->show();
    window->Load({});
    auto* panel = new FaderPanel(PanelClass::HFaders, *window);
    window->mdiArea().addSubWindow(panel)->show();
    QCoreApplication::processEvents();
    QScrollBar* fader = panel->fader(0);

    std::vector<double> micros;
    micros.reserve(Changes);
    for (auto _ : state) {
        micros.clear();
        for (int k = 0; k < Changes; ++k) {
            midi->clearSent();
            const int value = fader->value() == 127 ? 0 : fader->value() + 1;
            const std::int64_t start = clock.nowMicros();
            fader->setValue(value);
            if (midi->sent().empty()) {
                state.SkipWithError("a change sent nothing");
                return;
            }
            micros.push_back(static_cast<double>(midi->sent().back().micros - start));
        }
    }
    state.counters["p50_us"] = percentile(micros, 0.50);
    state.counters["p99_us"] = percentile(micros, 0.99);
    state.counters["changes"] = static_cast<double>(micros.size());

    window.reset();
    shared.reset();
}
BENCHMARK(BM_FaderChangeToDevice)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN()
