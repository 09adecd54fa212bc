// The placement scan for a new panel among many: quadratic in the number of
// visible panels, so it is watched here.
#include "panels/Placement.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PlaceAmong(benchmark::State& state)
{
    const QSize area(1920, 1040);
    const QSize panel(171, 114);  // a fader panel at its design size
    std::vector<QRect> placed;
    for (int i = 0; i < state.range(0); ++i) {
        auto spot = orvell::findPanelSpot(area, panel, placed);
        placed.emplace_back(spot.value_or(QPoint(15 * (i % 40), 15 * (i % 40))), panel);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(orvell::findPanelSpot(area, panel, placed));
}
BENCHMARK(BM_PlaceAmong)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
