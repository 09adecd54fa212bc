// What recording adds to a send, and how long a long take takes to save.
#include "EngineDesk.h"
#include "core/FileBytes.h"
#include "sequencer/EventRecorder.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace orvell;

// Sends control changes with the recorder off (0) or on (1); the difference
// of the two is the recording overhead per send.
void BM_SendCtrlChgRecording(benchmark::State& state)
{
    bench::EngineRig rig(1, QStringLiteral("1"));
    MidiEngine& engine = rig.engine;
    VirtualMidiSystem& system = rig.system;
    EventRecorder recorder(rig.clock);
    engine.setRecorder(&recorder);
    recorder.start();
    rig.flags.RecorderRunning = state.range(0) != 0;
    const QString port = QStringLiteral("1");
    const QString channel = QStringLiteral("1");
    int value = 0;
    for (auto _ : state) {
        engine.SendCtrlChg(port, 7, value, channel);
        value = (value + 1) & 127;
        if (system.sent().size() > 100000) {
            state.PauseTiming();
            system.clearSent();
            recorder.start();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_SendCtrlChgRecording)->Arg(0)->Arg(1);

// A steady clock that moves 7 ms per reading, like a busy fader.
class SteppingClock final : public Clock {
public:
    std::int64_t nowMicros() const override { return now_ += 7000; }

private:
    mutable std::int64_t now_ = 0;
};

// Builds and writes the file of 100,000 events over 16 channels.
void BM_SaveRecording100k(benchmark::State& state)
{
    SteppingClock clock;
    EventRecorder recorder(clock);
    recorder.start();
    for (int i = 0; i < 100000; ++i)
        recorder.recordEvent(static_cast<std::uint8_t>(0xB0 | (i % 16)), 7, static_cast<std::uint8_t>(i & 127),
                             i % 16 + 1, 1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("take.mid"));
    for (auto _ : state) {
        FileError error;
        if (!writeFileBytes(path, recorder.fileBytes(), error))
            state.SkipWithError("the file could not be written");
    }
}
BENCHMARK(BM_SaveRecording100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
