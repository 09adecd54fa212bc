// Saving and loading a session of 200 panels: the file work of the Save
// Session and Load Session commands, without their dialogs.
#include "OffscreenMain.h"
#include "app/AOrvell.h"
#include "app/QtDialogs.h"
#include "core/Clock.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Panel.h"
#include "panels/SessionFile.h"
#include "panels/Shared.h"

#include <QApplication>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace orvell;

struct Desk {
    Desk()
    {
        shared.midi.InitMidiDevs();
        window.resize(1920, 1080);
        window.show();
        shared.flags.Initializing = false;
    }
    SteadyClock clock;
    Shared shared{std::make_unique<VirtualMidiSystem>(1, 2, clock), std::make_unique<QtScheduler>()};
    QtDialogs dialogs;
    AOrvell window{shared, dialogs};
};

QByteArray sessionOf(int panels)
{
    Desk desk;
    for (int i = 0; i < panels; ++i)
        desk.window.createPanel(static_cast<PanelClass>(i % 8));
    return writeSession(desk.window);
}

void BM_SaveSession(benchmark::State& state)
{
    Desk desk;
    for (int i = 0; i < state.range(0); ++i)
        desk.window.createPanel(static_cast<PanelClass>(i % 8));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.orv"));
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray bytes = writeSession(desk.window);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
            state.SkipWithError("save failed");
        size = bytes.size();
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_SaveSession)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_LoadSession(benchmark::State& state)
{
    const QByteArray bytes = sessionOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto desk = std::make_unique<Desk>();
        desk->shared.flags.Initializing = true;
        state.ResumeTiming();
        readSession(desk->window, bytes);
        state.PauseTiming();
        if (desk->window.panels().size() != state.range(0))
            state.SkipWithError("panels missing");
        desk.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadSession)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN()
