// MIDI learn latency on a private dummy JACK server at 64 frames: from a
// keyboard client's control change to the learned fader's own message at a
// synth client. The message comes in on JACK's thread, moves the fader on the
// user-interface thread, which sends it on. First a direct JACK connection
// between the two clients stands for the input's arrival; the goal is p99 no
// more than one period + 1 ms above it.
//
// The event loop runs on the main thread as in the program; the benchmarks
// run beside it and build the desk on it.

#include "JackLatency.h"
#include "app/AOrvell.h"
#include "app/QtDialogs.h"
#include "controllers/FaderPanel.h"
#include "core/Clock.h"
#include "midi/RtMidiSystem.h"
#include "panels/Shared.h"
#include "support/JackProbe.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace orvell;
using bench::skip;

bench::KeyboardAndSynth& rig()
{
    static bench::KeyboardAndSynth instance("LearnBench");
    return instance;
}

// The program on the JACK server: one fader panel whose first slot sends
// volume to the synth and has learned the keyboard's control change 7.
// Lives on the user-interface thread.
struct Desk {
    Desk()
    {
        // Start-up reads the default session from here and the exit writes
        // it: an empty one of its own, so no dialog waits for an answer.
        QFile(home.filePath(QStringLiteral("Orvell.ini"))).open(QIODevice::WriteOnly);
        QDir::setCurrent(home.path());
        auto system = std::make_unique<RtMidiSystem>(RtMidi::UNIX_JACK, QStringLiteral("OrvellLearnBench"));
        const auto synth = test::findDevice(*system, true, rig().synthPort);
        shared = std::make_unique<Shared>(std::move(system), std::make_unique<QtScheduler>());
        window = std::make_unique<AOrvell>(*shared, dialogs);
        window->resize(1024, 768);
        window->show();
        window->Load({});
        if (!synth) {
            error = "The synth is not listed";
            return;
        }
        panel = new FaderPanel(PanelClass::HFaders, *window);
        window->mdiArea().addSubWindow(panel)->show();
        panel->CIndx = 0;
        panel->Port()->setCurrentIndex(panel->Port()->findData(*synth + 1));
        panel->Port_Click();
        panel->Control()->setCurrentIndex(panel->Control()->findData(7));
        panel->Control_Click();
        if (panel->portOfSlot(0) != *synth + 1 || panel->CurCtrl(0) != 7) {
            error = "The fader does not send volume to the synth";
            return;
        }
        shared->learn.bind(panel, 0, LearnSource{LearnSource::Kind::Controller, 1, 7});
    }
    ~Desk()
    {
        window.reset();
        shared.reset();
    }

    QTemporaryDir home;
    QtDialogs dialogs;
    std::unique_ptr<Shared> shared;
    std::unique_ptr<AOrvell> window;
    FaderPanel* panel = nullptr;
    std::string error;
};

std::unique_ptr<Desk> desk;

void onUiThread(const std::function<void()>& work)
{
    QMetaObject::invokeMethod(qApp, work, Qt::BlockingQueuedConnection);
}

void BM_LearnDirectConnection(benchmark::State& state)
{
    bench::measureDirect(state, rig());
}

void BM_LearnedFaderToSynth(benchmark::State& state)
{
    bench::KeyboardAndSynth& r = rig();
    if (!r.error.empty())
        return skip(state, r.error);
    onUiThread([] { desk = std::make_unique<Desk>(); });
    if (!desk->error.empty())
        return skip(state, desk->error);
    // Both connections, keyboard to us and us to the synth, carry only
    // from a period after they were made.
    if (!bench::warmUp(r.receiver, r.send()))
        return skip(state, "Nothing arrives at the synth");

    const double periodUs = r.periodMicros();
    int lost = 0;
    const std::vector<double> samples = bench::measureLatency(state, r.receiver, periodUs, r.send(), lost);
    if (samples.empty())
        return;
    const double direct = r.directP99.value_or(periodUs);
    bench::reportLatency(state, samples, periodUs, direct + periodUs + 1000.0, lost);
    state.counters["direct_p99_us"] = direct;
    state.counters["p99_over_direct_us"] = bench::percentile(samples, 0.99) - direct;
}

BENCHMARK(BM_LearnDirectConnection)->Iterations(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LearnedFaderToSynth)->Iterations(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    rig();  // the server's environment is set before any other thread reads it
    std::thread runner([&app] {
        benchmark::RunSpecifiedBenchmarks();
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    app.exec();
    runner.join();
    desk.reset();  // the program's clients leave before the server stops
    benchmark::Shutdown();
    return 0;
}
