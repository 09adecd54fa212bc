// Playback timing of the sequence player on a private dummy JACK server at 64
// frames: each event's error is its arrival at a second JACK client minus its
// time by the file's tempo map. The target is p99 within one period + 0.5 ms.
#include "EngineDesk.h"
#include "GeneratedSong.h"
#include "OffscreenMain.h"
#include "midi/RtMidiSystem.h"
#include "sequencer/PlayerClock.h"
#include "sequencer/SequencePlayer.h"
#include "support/JackServer.h"

#include <benchmark/benchmark.h>

#include <RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace orvell;
using namespace std::chrono_literals;

constexpr int PeriodFrames = 64;
constexpr int SampleRate = 48000;

// Stamps every channel message with the player clock's time as it arrives;
// runs on JACK's process thread.
struct Receiver {
    explicit Receiver(const PlayerClock& clock, std::size_t capacity) : clock(clock), arrivals(capacity), bytes(capacity)
    {
    }

    static void receive(double, std::vector<unsigned char>* message, void* self)
    {
        auto* r = static_cast<Receiver*>(self);
        const std::int64_t now = r->clock.nowMicros();
        if (message->empty() || (*message)[0] < 0x80 || (*message)[0] >= 0xF0)
            return;
        const std::size_t at = r->count.load(std::memory_order_relaxed);
        if (at < r->arrivals.size()) {
            r->arrivals[at] = now;
            r->bytes[at] = packed(message->data(), message->size());
            r->count.store(at + 1, std::memory_order_release);
        }
    }

    static std::uint32_t packed(const unsigned char* data, std::size_t size)
    {
        std::uint32_t out = 0;
        for (std::size_t i = 0; i < std::min<std::size_t>(size, 3); ++i)
            out |= std::uint32_t(data[i]) << (8 * i);
        return out;
    }

    const PlayerClock& clock;
    std::vector<std::int64_t> arrivals;
    std::vector<std::uint32_t> bytes;
    std::atomic<std::size_t> count{0};
};

void skip(benchmark::State& state, const std::string& why)
{
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
}

void BM_JackPlaybackTimingError(benchmark::State& state)
{
    test::JackServer server(PeriodFrames, SampleRate);
    if (!server.ok())
        return skip(state, "No private JACK server: " + server.errorText().toStdString());

    SteadyPlayerClock clock;
    Receiver receiver(clock, 2 * bench::SongEvents);
    RtMidiIn probe(RtMidi::UNIX_JACK, "PlaybackProbe");
    probe.setCallback(&Receiver::receive, &receiver);
    probe.openVirtualPort("playback in");

    auto system = std::make_unique<RtMidiSystem>(RtMidi::UNIX_JACK, QStringLiteral("OrvellBench"));
    MessageTable msgs;
    bench::FieldReporter reporter;
    bench::NoScheduler scheduler;
    AppFlags flags;
    flags.Initializing = false;
    MidiEngine engine(*system, msgs, reporter, scheduler, flags);
    engine.InitMidiDevs();
    int port = -1;
    for (int n = 1; n <= engine.NumOutDevs; ++n) {
        if (engine.MidiOutPorts[std::size_t(n)].Name.endsWith(QStringLiteral(":playback in")))
            port = n;
    }
    if (port < 0)
        return skip(state, "The probe port is not listed");

    QString error;
    const auto sequence = SmfReader::read(test::smf::toQByteArray(bench::generatedSong(std::uint8_t(port - 1))), error);
    if (!sequence)
        return skip(state, error.toStdString());
    std::vector<std::int64_t> scheduled;
    std::vector<std::uint32_t> expected;
    for (const SmfEvent& event : sequence->events) {
        if (event.kind == SmfEventKind::Channel) {
            scheduled.push_back(event.micros);
            const auto data = sequence->bytes(event);
            expected.push_back(Receiver::packed(data.data(), data.size()));
        }
    }

    std::vector<double> errors;
    double lastError = 0;
    int lost = 0;
    for (auto _ : state) {
        SequencePlayer player(engine, clock);
        player.open(*sequence);
        // The connection to the probe is made between periods: give it a few.
        std::this_thread::sleep_for(100ms);
        receiver.count.store(0);
        const std::int64_t start = clock.nowMicros();
        player.play();
        while (player.isPlaying())
            std::this_thread::sleep_for(20ms);
        std::this_thread::sleep_for(50ms);  // the last period reaches the probe
        // A dummy server that is not real-time drops whole cycles on a busy
        // machine: each event is matched to the next arrival with its bytes
        // within 50 ms, and the ones that never came are counted.
        const std::size_t arrived = receiver.count.load(std::memory_order_acquire);
        std::size_t next = 0;
        for (std::size_t i = 0; i < scheduled.size(); ++i) {
            std::size_t at = next;
            while (at < arrived && receiver.bytes[at] != expected[i] &&
                   receiver.arrivals[at] - start < scheduled[i] + 50'000)
                ++at;
            if (at >= arrived || receiver.bytes[at] != expected[i]) {
                ++lost;
                continue;
            }
            errors.push_back(double(receiver.arrivals[at] - start - scheduled[i]) / 1000.0);
            next = at + 1;
        }
        if (errors.empty()) {
            state.SkipWithError("nothing arrived");
            return;
        }
        lastError = errors.back();
    }
    const double periodMs = server.periodMicros() / 1000.0;
    state.counters["period_ms"] = periodMs;
    state.counters["budget_ms"] = periodMs + 0.5;
    state.counters["events"] = double(scheduled.size());
    state.counters["p50_ms"] = bench::percentile(errors, 0.50);
    state.counters["p99_ms"] = bench::percentile(errors, 0.99);
    state.counters["max_ms"] = *std::max_element(errors.begin(), errors.end());
    state.counters["min_ms"] = *std::min_element(errors.begin(), errors.end());
    state.counters["last_ms"] = lastError;
    state.counters["lost"] = lost;
}
BENCHMARK(BM_JackPlaybackTimingError)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN();
