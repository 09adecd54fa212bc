// The joystick panel on an SDL virtual stick. PollToBytes: the time from a
// poll's start until its message is at the port, over 10,000 polls that each
// move the stick end to end (goal p99 < 50 us). IdleCpu: processor time of a
// panel polling a resting stick every 20 ms, in percent of one core (goal < 0.5).
#include "OffscreenMain.h"
#include "app/AOrvell.h"
#include "app/QtDialogs.h"
#include "controllers/JstkCtrl.h"
#include "core/Clock.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/VirtualSticks.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace {

using namespace orvell;

struct Bench {
    Bench()
    {
        auto system = std::make_unique<VirtualMidiSystem>(1, 2, clock);
        midi = system.get();
        shared = std::make_unique<Shared>(std::move(system), std::make_unique<QtScheduler>());
        window = std::make_unique<AOrvell>(*shared, dialogs);
        window->setJoystickSystem(joysticks.get());
        window->resize(1024, 768);
        window->show();
        window->Load({});
        panel = qobject_cast<JstkCtrl*>(window->createPanel(PanelClass::JstkCtrl));
        QCoreApplication::processEvents();
    }
    ~Bench()
    {
        if (panel)
            panel->IsChanged = false;
        window->IsChanged = false;
        window.reset();
        shared.reset();
    }

    test::VirtualStick pad{"Bench Pad"};
    std::unique_ptr<JoystickSystem> joysticks = makeSdlJoystickSystem();
    SteadyClock clock;
    VirtualMidiSystem* midi = nullptr;
    std::unique_ptr<Shared> shared;
    QtDialogs dialogs;
    std::unique_ptr<AOrvell> window;
    JstkCtrl* panel = nullptr;
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void BM_PollToBytes(benchmark::State& state)
{
    Bench bench;
    if (!bench.panel) {
        state.SkipWithError("no joystick panel");
        return;
    }
    bench.panel->JoyPoll()->stop();  // polled by hand
    bench.panel->findChild<QCheckBox*>(QStringLiteral("CenterChk0"))->click();
    std::vector<double> micros;
    bool right = false;
    for (auto _ : state) {
        micros.clear();
        for (int k = 0; k < 10000; ++k) {
            right = !right;
            bench.pad.move(right ? 65535 : 0, 32768);
            bench.midi->clearSent();
            const auto start = std::chrono::steady_clock::now();
            bench.panel->JoyPoll_Timer();
            const auto end = std::chrono::steady_clock::now();
            if (bench.midi->sent().size() != 1) {
                state.SkipWithError("a poll did not send one message");
                return;
            }
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    }
    state.counters["p50_us"] = percentile(micros, 0.50);
    state.counters["p99_us"] = percentile(micros, 0.99);
    state.counters["max_us"] = percentile(micros, 1.0);
}
BENCHMARK(BM_PollToBytes)->Iterations(1)->Unit(benchmark::kMillisecond);

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop for `ms` and gives the processor time it took, in percent of one core.
double cpuPercentOver(int ms)
{
    QElapsedTimer wall;
    const double before = processSeconds();
    wall.start();
    QTimer stop;
    stop.setSingleShot(true);
    stop.start(ms);
    while (stop.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return 100.0 * (processSeconds() - before) / (double(wall.elapsed()) / 1000.0);
}

void BM_IdleCpu(benchmark::State& state)
{
    Bench bench;
    if (!bench.panel) {
        state.SkipWithError("no joystick panel");
        return;
    }
    bench.panel->findChild<QScrollBar*>(QStringLiteral("PollSlider"))->setValue(20);
    double polling = 0, stopped = 0, emptyTimer = 0;
    for (auto _ : state) {
        bench.panel->JoyPoll()->start();
        polling = cpuPercentOver(3000);
        bench.panel->JoyPoll()->stop();
        stopped = cpuPercentOver(3000);
        // What waking up every 20 ms costs by itself, for comparison.
        QTimer empty;
        empty.start(20);
        emptyTimer = cpuPercentOver(3000);
    }
    state.counters["cpu_percent_polling"] = polling;
    state.counters["cpu_percent_not_polling"] = stopped;
    state.counters["cpu_percent_of_the_poll"] = polling - stopped;
    state.counters["cpu_percent_empty_20ms_timer"] = emptyTimer;
    state.counters["sent"] = double(bench.midi->sent().size());
}
BENCHMARK(BM_IdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN()
