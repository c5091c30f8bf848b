// Track look-ups: 100,000 GetPositions (with a point 0.5 ahead) on a long
// winding track, per control-point count (1,000 points: 101k samples; 10,000:
// 1.01M). "Sweep" asks for distances in order along the whole track, the way
// crawlers and spawners ride it; "Scattered" jumps about the track, so each
// look-up also pays for cache misses in the sample table.
#include <benchmark/benchmark.h>

#include <cmath>

#include "game/track/Spline.h"

namespace {

constexpr int kLookUps = 100000;

Spline WindingTrack(int pointCount) {
    Spline s;
    for (int i = 0; i < pointCount; ++i) {
        const float a = static_cast<float>(i) * 0.3f;
        s.points.emplace_back(std::cos(a) * 40.0f, std::sin(a * 0.7f) * 25.0f, static_cast<float>(i) * 20.0f);
    }
    s.Rebuild();
    return s;
}

template <class DistanceOf>
void RunLookUps(benchmark::State& state, DistanceOf distanceOf) {
    const Spline s = WindingTrack(static_cast<int>(state.range(0)));
    const float span = s.GetTotalLength() - 1.0f;
    for (auto _ : state) {
        D3DXVECTOR3 p, q;
        for (int i = 0; i < kLookUps; ++i) benchmark::DoNotOptimize(s.GetPositions(distanceOf(i, span), 0.5f, &p, &q));
        benchmark::DoNotOptimize(p);
    }
    state.counters["samples"] = static_cast<double>(s.samples.size());
    state.SetItemsProcessed(state.iterations() * kLookUps);
}

void BM_SplineGetPositionsSweep(benchmark::State& state) {
    RunLookUps(state, [](int i, float span) { return span * static_cast<float>(i) / kLookUps; });
}

void BM_SplineGetPositionsScattered(benchmark::State& state) {
    // A stride that is no multiple of the sample spacing visits the table out of order.
    RunLookUps(state, [](int i, float span) { return std::fmod(static_cast<float>(i) * 7919.37f, span); });
}

}  // namespace

BENCHMARK(BM_SplineGetPositionsSweep)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplineGetPositionsScattered)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
