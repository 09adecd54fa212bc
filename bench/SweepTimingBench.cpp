// A held Buttons-panel button sweeping controller 1 from 0 to 100 in 1000 ms
// on the main window's real AutoEvent timer: the 21 messages should reach the
// device 50 ms apart. Each sweep's gaps are measured on the virtual device's
// steady-clock stamps; the counters gather every gap of every sweep.
#include "OffscreenMain.h"
#include "app/AOrvell.h"
#include "app/QtDialogs.h"
#include "controllers/ButtonsPanel.h"
#include "core/Clock.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using namespace orvell;

constexpr int Messages = 21;

void BM_SweepSpacing(benchmark::State& state)
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
    auto* panel = qobject_cast<ButtonsPanel*>(window->createPanel(PanelClass::Buttons));
    panel->CIndx = 0;
    panel->Control()->setCurrentIndex(panel->Control()->findData(1));
    panel->Control_Click();
    panel->setAutoSettings(0, AutoSettings{QStringLiteral("Mod"), 1000, 0, 100, false, false, true});
    QCoreApplication::processEvents();

    std::vector<double> gaps;
    for (auto _ : state) {
        midi->clearSent();
        panel->MButton_MouseDown(0, ButtonsPanel::LeftButton, 0, 0, 0);
        // Sleeps in the event loop between ticks, so the benchmark itself
        // takes no processor time from the timer it measures.
        QElapsedTimer waited;
        waited.start();
        QTimer wakeUp;
        wakeUp.start(500);
        while (int(midi->sent().size()) < Messages && waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const auto sent = midi->sent();
        panel->MButton_MouseUp(0, ButtonsPanel::LeftButton, 0, 0, 0);
        if (int(sent.size()) < Messages || sent[Messages - 1].bytes.back() != 100) {
            state.SkipWithError("the sweep did not complete");
            return;
        }
        for (int k = 1; k < Messages; ++k)
            gaps.push_back(double(sent[size_t(k)].micros - sent[size_t(k) - 1].micros) / 1000.0);
    }
    const double mean = std::accumulate(gaps.begin(), gaps.end(), 0.0) / double(gaps.size());
    state.counters["mean_gap_ms"] = mean;
    state.counters["min_gap_ms"] = *std::min_element(gaps.begin(), gaps.end());
    state.counters["max_gap_ms"] = *std::max_element(gaps.begin(), gaps.end());
    state.counters["gaps"] = double(gaps.size());
    state.counters["over_55ms"] = double(std::count_if(gaps.begin(), gaps.end(), [](double g) { return g > 55.0; }));

    panel->IsChanged = false;
    window.reset();
    shared.reset();
}
BENCHMARK(BM_SweepSpacing)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN()
