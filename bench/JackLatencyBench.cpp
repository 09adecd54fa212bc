// Latency from RtMidiSystem::sendShort to the callback of another JACK client,
// on a private dummy JACK server. The target is one period plus 0.5 ms.

#include "JackLatency.h"
#include "midi/RtMidiSystem.h"
#include "support/JackServer.h"

#include <benchmark/benchmark.h>

#include <RtMidi.h>

#include <string>
#include <vector>

namespace {

constexpr int periodFrames = 64;
constexpr int sampleRate = 48000;
using orvell::bench::Receiver;
using orvell::bench::skip;

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

    const orvell::bench::SendValue send = [&](std::uint32_t value) {
        system.sendShort(handle, 0xB0u | (0x07u << 8) | (value << 16));
    };
    if (!orvell::bench::warmUp(receiver, send))
        return skip(state, "Nothing arrives at the probe");

    const double periodUs = server.periodMicros();
    int lost = 0;
    const std::vector<double> samples = orvell::bench::measureLatency(state, receiver, periodUs, send, lost);
    system.closeOutput(handle);
    if (samples.empty())
        return;
    orvell::bench::reportLatency(state, samples, periodUs, periodUs + 500.0, lost);
}

BENCHMARK(BM_JackSendToReceive)->Iterations(500)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
