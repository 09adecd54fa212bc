// Playback timing of the sequence player on the virtual backend: a generated
// two-minute file of 10,000 events whose tempo changes every two beats. Each
// event's error is its send time minus its time by the file's tempo map.
#include "GeneratedSong.h"
#include "OffscreenMain.h"
#include "core/AppFlags.h"
#include "core/Reporter.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"
#include "sequencer/PlayerClock.h"
#include "sequencer/SequencePlayer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace orvell;
using namespace orvell::test::smf;
using orvell::bench::percentile;

class QuietReporter final : public Reporter {
public:
    void ShowStatusText(int, const QString&) override {}
    void ShowMessage(const QString&, const QString&, MsgIcon) override {}
};

class NoScheduler final : public Scheduler {
public:
    void runAfter(int, std::function<void()>) override {}
};

void BM_PlaybackTimingError(benchmark::State& state)
{
    QString error;
    const auto sequence = SmfReader::read(toQByteArray(orvell::bench::generatedSong()), error);
    if (!sequence) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    std::vector<std::int64_t> scheduled;
    for (const SmfEvent& event : sequence->events) {
        if (event.kind == SmfEventKind::Channel)
            scheduled.push_back(event.micros);
    }

    SteadyPlayerClock clock;
    VirtualMidiSystem system(0, 1, clock);
    MessageTable msgs;
    QuietReporter reporter;
    NoScheduler scheduler;
    AppFlags flags;
    flags.Initializing = false;
    MidiEngine engine(system, msgs, reporter, scheduler, flags);
    engine.InitMidiDevs();

    std::vector<double> errors;
    double lastError = 0;
    for (auto _ : state) {
        SequencePlayer player(engine, clock);
        player.open(*sequence);
        system.clearSent();
        const std::int64_t start = clock.nowMicros();
        player.play();
        while (player.isPlaying())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto& sent = system.sent();
        if (sent.size() != scheduled.size()) {
            state.SkipWithError("not every event was sent");
            return;
        }
        for (std::size_t i = 0; i < sent.size(); ++i)
            errors.push_back(double(sent[i].micros - start - scheduled[i]) / 1000.0);
        lastError = errors.back();
    }
    state.counters["length_s"] = double(sequence->lengthMicros) / 1e6;
    state.counters["events"] = double(scheduled.size());
    state.counters["p50_ms"] = percentile(errors, 0.50);
    state.counters["p99_ms"] = percentile(errors, 0.99);
    state.counters["max_ms"] = *std::max_element(errors.begin(), errors.end());
    state.counters["min_ms"] = *std::min_element(errors.begin(), errors.end());
    state.counters["last_ms"] = lastError;
    state.counters["over_0.2ms"] = double(std::count_if(errors.begin(), errors.end(), [](double e) { return e > 0.2; }));
    state.counters["over_1ms"] = double(std::count_if(errors.begin(), errors.end(), [](double e) { return e > 1.0; }));
}
BENCHMARK(BM_PlaybackTimingError)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN();
