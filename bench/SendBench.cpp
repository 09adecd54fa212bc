// Cost of one control change from the engine into the virtual backend,
// status text included.
#include "core/AppFlags.h"
#include "core/Clock.h"
#include "core/Reporter.h"
#include "EngineDesk.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"

#include <benchmark/benchmark.h>

namespace {

using namespace orvell;

using bench::FieldReporter;
using bench::NoScheduler;

void BM_SendCtrlChg(benchmark::State& state)
{
    SteadyClock clock;
    VirtualMidiSystem system(1, 2, clock);
    MessageTable msgs;
    FieldReporter reporter;
    NoScheduler scheduler;
    AppFlags flags;
    MidiEngine engine(system, msgs, reporter, scheduler, flags);
    engine.InitMidiDevs();
    engine.OpenMidiOut("2");
    const QString port = QStringLiteral("2");
    const QString channel = QStringLiteral("1");
    int value = 0;
    for (auto _ : state) {
        engine.SendCtrlChg(port, 7, value, channel);
        value = (value + 1) & 127;
        if (system.sent().size() > 100000) {
            state.PauseTiming();
            system.clearSent();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(reporter.fields[0]);
}
BENCHMARK(BM_SendCtrlChg);

}  // namespace

BENCHMARK_MAIN();
