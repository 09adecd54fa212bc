// Thru latency on a private dummy JACK server at 64 frames: from a keyboard
// client's send to a synth client's receipt, first over a direct JACK
// connection between the two, then forwarded by RtMidiSystem's input
// callback. The goal: p99 no more than one period above the direct p99.

#include "JackLatency.h"
#include "midi/RtMidiSystem.h"
#include "support/JackProbe.h"
#include "support/JackServer.h"

#include <benchmark/benchmark.h>

#include <jack/jack.h>

#include <RtMidi.h>

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using orvell::bench::skip;
using Rig = orvell::bench::KeyboardAndSynth;

// Shared by both benchmarks so that they measure the same pair.
std::unique_ptr<Rig>& rig()
{
    static std::unique_ptr<Rig> instance;
    if (!instance)
        instance = std::make_unique<Rig>("ThruBench");
    return instance;
}

void BM_ThruDirectConnection(benchmark::State& state)
{
    orvell::bench::measureDirect(state, *rig());
}

void BM_ThruForwarded(benchmark::State& state)
{
    Rig& r = *rig();
    if (!r.error.empty())
        return skip(state, r.error);
    orvell::RtMidiSystem system(RtMidi::UNIX_JACK, QStringLiteral("OrvellThruBench"));
    const auto in = orvell::test::findDevice(system, false, r.keys);
    const auto out = orvell::test::findDevice(system, true, r.synthPort);
    if (!in || !out)
        return skip(state, "The keyboard or the synth is not listed");
    orvell::MidiHandle input = 0;
    orvell::MidiHandle output = 0;
    if (system.openInput(*in, input) != orvell::MidiResult::Ok ||
        system.openOutput(*out, output) != orvell::MidiResult::Ok ||
        system.connect(input, output) != orvell::MidiResult::Ok || system.startInput(input) != orvell::MidiResult::Ok)
        return skip(state, "Cannot route the keyboard to the synth");
    if (!orvell::bench::warmUp(r.receiver, r.send()))
        return skip(state, "Nothing arrives at the synth");

    const double periodUs = r.periodMicros();
    int lost = 0;
    const std::vector<double> samples = orvell::bench::measureLatency(state, r.receiver, periodUs, r.send(), lost);
    system.closeInput(input);
    system.closeOutput(output);
    if (samples.empty())
        return;
    // Without a direct run to compare with, the budget is two periods.
    const double direct = r.directP99.value_or(periodUs);
    orvell::bench::reportLatency(state, samples, periodUs, direct + periodUs, lost);
    state.counters["direct_p99_us"] = direct;
    state.counters["p99_over_direct_us"] = orvell::bench::percentile(samples, 0.99) - direct;
}

BENCHMARK(BM_ThruDirectConnection)->Iterations(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ThruForwarded)->Iterations(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    rig().reset();  // the clients leave before the server stops
    benchmark::Shutdown();
    return 0;
}
