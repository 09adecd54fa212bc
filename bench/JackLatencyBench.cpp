// Latency from RtMidiSystem::sendShort to the callback of another JACK client,
// on a private dummy JACK server. The target is one period plus 0.5 ms.

#include "midi/RtMidiSystem.h"
#include "support/JackServer.h"

#include <benchmark/benchmark.h>

#include <RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int periodFrames = 64;
constexpr int sampleRate = 48000;
constexpr std::uint32_t noValue = 0xFFFF;

// Records when a control change arrived and which value it carried. Runs on
// JACK's process thread.
struct Receiver {
    std::atomic<std::int64_t> arrivedNanos{0};
    std::atomic<std::uint32_t> value{noValue};

    static void receive(double, std::vector<unsigned char>* message, void* self)
    {
        const std::int64_t now = Clock::now().time_since_epoch().count();
        auto* r = static_cast<Receiver*>(self);
        if (message->size() != 3 || (*message)[0] != 0xB0)
            return;
        r->arrivedNanos.store(now, std::memory_order_relaxed);
        r->value.store((*message)[2], std::memory_order_release);
    }

    // Nanoseconds of the arrival of `expected`, or nothing after `timeout`.
    std::optional<std::int64_t> waitFor(std::uint32_t expected, Clock::duration timeout) const
    {
        const auto deadline = Clock::now() + timeout;
        while (value.load(std::memory_order_acquire) != expected) {
            if (Clock::now() >= deadline)
                return std::nullopt;
            // The arrival time is taken in the callback, so polling slowly
            // costs no accuracy and leaves the CPU to JACK.
            std::this_thread::sleep_for(50us);
        }
        return arrivedNanos.load(std::memory_order_relaxed);
    }
};

double percentile(const std::vector<double>& sorted, double p)
{
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void skip(benchmark::State& state, const std::string& why)
{
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
}

void BM_JackSendToReceive(benchmark::State& state)
{
    orvell::test::JackServer server(periodFrames, sampleRate);
    if (!server.ok())
        return skip(state, "No private JACK server: " + server.errorText().toStdString());

    Receiver receiver;
    RtMidiIn probe(RtMidi::UNIX_JACK, "LatencyProbe");
    probe.ignoreTypes(false, false, false);
    probe.setCallback(&Receiver::receive, &receiver);
    probe.openVirtualPort("latency in");

    orvell::RtMidiSystem system(RtMidi::UNIX_JACK, QStringLiteral("OrvellBench"));
    int device = -1;
    for (int i = 0; i < system.outputCount(); ++i) {
        if (system.outputName(i).value_or(QString()).endsWith(QStringLiteral(":latency in")))
            device = i;
    }
    if (device < 0)
        return skip(state, "The probe port is not listed");
    orvell::MidiHandle handle = 0;
    if (system.openOutput(device, handle) != orvell::MidiResult::Ok)
        return skip(state, "Cannot open the probe port");

    // The connection is made between periods: wait until it carries.
    bool connected = false;
    for (int i = 0; i < 100 && !connected; ++i) {
        system.sendShort(handle, 0x7F07B0);
        connected = receiver.waitFor(0x7F, 20ms).has_value();
    }
    if (!connected)
        return skip(state, "Nothing arrives at the probe");

    // Sends start at random points of the period, as a user's would.
    const double periodUs = server.periodMicros();
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> offsetUs(0, static_cast<int>(2 * periodUs));
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(state.max_iterations));
    std::uint32_t value = 0;
    int lost = 0;

    for (auto _ : state) {
        std::optional<double> micros;
        // A non-realtime server on a busy machine drops whole cycles (JACK
        // reports an xrun) and the message in them: count those and resend.
        for (int attempt = 0; attempt < 5 && !micros; ++attempt) {
            std::this_thread::sleep_for(std::chrono::microseconds(offsetUs(random)));
            value = (value + 1) % 0x7F;  // never 0x7F, the warm-up value
            const std::int64_t sentNanos = Clock::now().time_since_epoch().count();
            system.sendShort(handle, 0xB0u | (0x07u << 8) | (value << 16));
            if (const std::optional<std::int64_t> arrived = receiver.waitFor(value, 100ms))
                micros = static_cast<double>(*arrived - sentNanos) / 1000.0;
            else
                ++lost;
        }
        if (!micros) {
            state.SkipWithError("Messages keep getting lost");
            break;
        }
        samples.push_back(*micros);
        state.SetIterationTime(*micros / 1e6);
    }
    system.closeOutput(handle);
    if (samples.empty())
        return;

    std::sort(samples.begin(), samples.end());
    const double budgetUs = periodUs + 500.0;
    const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    const auto within = std::count_if(samples.begin(), samples.end(), [&](double s) { return s <= budgetUs; });
    state.counters["mean_us"] = mean;
    state.counters["p50_us"] = percentile(samples, 0.50);
    state.counters["p99_us"] = percentile(samples, 0.99);
    state.counters["max_us"] = samples.back();
    state.counters["period_us"] = periodUs;
    state.counters["budget_us"] = budgetUs;
    state.counters["within_budget"] = static_cast<double>(within) / static_cast<double>(samples.size());
    state.counters["lost"] = lost;
}

BENCHMARK(BM_JackSendToReceive)->Iterations(500)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
