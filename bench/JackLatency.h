#pragma once

// What the JACK latency benchmarks share: a private server with a keyboard
// and a synth client, a receiver that notes when a control change arrives,
// the send-and-wait loop and the counters.

#include "support/JackServer.h"

#include <benchmark/benchmark.h>

#include <jack/jack.h>

#include <RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace orvell::bench {

using Clock = std::chrono::steady_clock;

// Sends control change 7 with this value.
using SendValue = std::function<void(std::uint32_t value)>;

// Records when a control change arrived and which value it carried. Runs on
// JACK's process thread.
struct Receiver {
    static constexpr std::uint32_t noValue = 0xFFFF;
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
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        return arrivedNanos.load(std::memory_order_relaxed);
    }
};

inline double percentile(const std::vector<double>& sorted, double p)
{
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline void skip(benchmark::State& state, const std::string& why)
{
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
}

// Connections are made between periods: sends 0x7F and 0x7E in turn until
// one carries. The value changes each time, as a fader passes on only
// changes.
inline bool warmUp(Receiver& receiver, const SendValue& send)
{
    for (std::uint32_t i = 0; i < 100; ++i) {
        const std::uint32_t value = i % 2 ? 0x7E : 0x7F;
        send(value);
        if (receiver.waitFor(value, std::chrono::milliseconds(20)))
            return true;
    }
    return false;
}

// One send per iteration, at a random point of the period as a user's would
// be; the latencies in microseconds, sorted. `lost` counts the sends that
// never arrived.
inline std::vector<double> measureLatency(benchmark::State& state, Receiver& receiver, double periodUs,
                                          const SendValue& send, int& lost)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> offsetUs(0, static_cast<int>(2 * periodUs));
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(state.max_iterations));
    std::uint32_t value = 0;

    for (auto _ : state) {
        std::optional<double> micros;
        // A non-realtime server on a busy machine drops whole cycles (JACK
        // reports an xrun) and the message in them, and now and then stalls
        // for a second or more: count those and resend.
        for (int attempt = 0; attempt < 30 && !micros; ++attempt) {
            std::this_thread::sleep_for(std::chrono::microseconds(offsetUs(random)));
            value = (value + 1) % 0x7F;  // never 0x7F, which the receiver may hold from the warm-up
            const std::int64_t sentNanos = Clock::now().time_since_epoch().count();
            send(value);
            if (const std::optional<std::int64_t> arrived = receiver.waitFor(value, std::chrono::milliseconds(100)))
                micros = static_cast<double>(*arrived - sentNanos) / 1000.0;
            else
                ++lost;
        }
        if (!micros) {
            const std::string why = "Messages keep getting lost after " + std::to_string(samples.size());
            state.SkipWithError(why.c_str());
            break;
        }
        samples.push_back(*micros);
        state.SetIterationTime(*micros / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    return samples;
}

inline void reportLatency(benchmark::State& state, const std::vector<double>& sorted, double periodUs,
                          double budgetUs, int lost)
{
    const double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(sorted.size());
    const auto within = std::count_if(sorted.begin(), sorted.end(), [&](double s) { return s <= budgetUs; });
    state.counters["mean_us"] = mean;
    state.counters["p50_us"] = percentile(sorted, 0.50);
    state.counters["p99_us"] = percentile(sorted, 0.99);
    state.counters["max_us"] = sorted.back();
    state.counters["period_us"] = periodUs;
    state.counters["budget_us"] = budgetUs;
    state.counters["within_budget"] = static_cast<double>(within) / static_cast<double>(sorted.size());
    state.counters["lost"] = lost;
}

// A private server at 64 frames, a keyboard client ("<stem>Keyboard:keys")
// that plays control change 7, and a synth client ("<stem>Synth:synth")
// whose arrivals the receiver notes.
struct KeyboardAndSynth {
    explicit KeyboardAndSynth(const std::string& stem)
        : keys(stem + "Keyboard:keys"), synthPort(stem + "Synth:synth")
    {
        if (!server.ok()) {
            error = "No private JACK server: " + server.errorText().toStdString();
            return;
        }
        keyboard = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, stem + "Keyboard");
        keyboard->openVirtualPort("keys");
        synth = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, stem + "Synth");
        synth->ignoreTypes(false, false, false);
        synth->setCallback(&Receiver::receive, &receiver);
        synth->openVirtualPort("synth");
        patchbay = jack_client_open((stem + "Patchbay").c_str(), JackNoStartServer, nullptr);
        if (!patchbay)
            error = "Cannot open a JACK client to connect with";
    }
    ~KeyboardAndSynth()
    {
        if (patchbay)
            jack_client_close(patchbay);
        synth.reset();
        keyboard.reset();
    }
    KeyboardAndSynth(const KeyboardAndSynth&) = delete;
    KeyboardAndSynth& operator=(const KeyboardAndSynth&) = delete;

    SendValue send()
    {
        return [this](std::uint32_t value) {
            const unsigned char bytes[3] = {0xB0, 0x07, static_cast<unsigned char>(value)};
            keyboard->sendMessage(bytes, 3);
        };
    }

    double periodMicros() const { return server.periodMicros(); }

    const std::string keys;
    const std::string synthPort;
    orvell::test::JackServer server{64, 48000};
    Receiver receiver;
    std::unique_ptr<RtMidiOut> keyboard;
    std::unique_ptr<RtMidiIn> synth;
    jack_client_t* patchbay = nullptr;
    std::string error;  // empty when all is there
    // Of the direct connection, once measured.
    std::optional<double> directP99;
};

// The keyboard connected straight to the synth: what the others compare with.
inline void measureDirect(benchmark::State& state, KeyboardAndSynth& r)
{
    if (!r.error.empty())
        return skip(state, r.error);
    if (jack_connect(r.patchbay, r.keys.c_str(), r.synthPort.c_str()) != 0)
        return skip(state, "Cannot connect the keyboard to the synth");
    if (!warmUp(r.receiver, r.send())) {
        jack_disconnect(r.patchbay, r.keys.c_str(), r.synthPort.c_str());
        return skip(state, "Nothing arrives at the synth");
    }
    const double periodUs = r.periodMicros();
    int lost = 0;
    const std::vector<double> samples = measureLatency(state, r.receiver, periodUs, r.send(), lost);
    jack_disconnect(r.patchbay, r.keys.c_str(), r.synthPort.c_str());
    if (samples.empty())
        return;
    r.directP99 = percentile(samples, 0.99);
    reportLatency(state, samples, periodUs, periodUs + 500.0, lost);
}

}  // namespace orvell::bench
