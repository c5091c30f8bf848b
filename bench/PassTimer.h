// Per-step GPU times of a drawn frame, for the frame benchmark and its floor:
// a GPU timestamp as each step starts and one after the frame; a step's time
// runs from its stamp to the next one, so it holds the driver's work for the
// step on the calling thread and on the rasterizer threads, without the waits
// a read-back between steps would add. Both benchmarks report the same
// counter names, so their tables line up. With a flush given, steps are timed
// by the main thread's CPU time instead, the commands flushed as each step
// starts: with LP_NUM_THREADS=0 Mesa's llvmpipe rasterizes on the calling
// thread at each flush, so a step's time is all the work it costs, much less
// disturbed by other load on the machine than its GPU time. Made and used
// while the context is current; main thread.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "port/gpu/GpuTimestamps.h"
#include "render/frame/FramePass.h"

namespace benchmark {
class State;
namespace internal {
class Benchmark;
}
}  // namespace benchmark

class PassTimer {
public:
    explicit PassTimer(std::shared_ptr<GpuContext> context, std::function<void()> flush = nullptr);

    // A step starts (light batches are part of their step and are not stamped).
    void Start(FramePass pass);
    // The frame's work is issued: stamps its end and waits for the stamps;
    // `count` adds the frame's step times to the totals.
    void EndFrame(bool count);
    // Each step's mean time in ms as a counter named after the step, and their
    // sum as "passes_ms".
    void Report(benchmark::State& state) const;
    // The settings of a per-step benchmark: 1024 x 768 and 320 x 240, in
    // ms of real time, at least 2 s each (for ->Apply).
    static void PassSizes(benchmark::internal::Benchmark* b);
    // The benchmark's loop: an untimed first frame, then one timed frame an
    // iteration, each issued, stamped and read back; then the report. `Scene`
    // has Frame(bool) and ReadBack().
    template <class Scene, class State>
    void Run(State& state, Scene& scene) {
        auto frame = [&](bool count) {
            scene.Frame(false);
            EndFrame(count);
            scene.ReadBack();
        };
        frame(false);
        for (auto _ : state) frame(true);
        Report(state);
    }

private:
    void Mark();

    GpuTimestamps stamps_;
    std::function<void()> flush_;
    std::vector<std::uint64_t> cpuMarks_;  // CPU-time marks (ns), with a flush
    std::vector<FramePass> order_;
    std::map<FramePass, double> totals_;
    int frames_ = 0;
};
