// Cost of one control change from the engine into the virtual backend,
// status text included.
#include "EngineDesk.h"

#include <benchmark/benchmark.h>

namespace {

using namespace orvell;

void BM_SendCtrlChg(benchmark::State& state)
{
    bench::EngineRig rig(2, QStringLiteral("2"));
    MidiEngine& engine = rig.engine;
    VirtualMidiSystem& system = rig.system;
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
    benchmark::DoNotOptimize(rig.reporter.fields[0]);
}
BENCHMARK(BM_SendCtrlChg);

}  // namespace

BENCHMARK_MAIN();
