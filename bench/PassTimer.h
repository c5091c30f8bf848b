// Per-step GPU times of a drawn frame, for the frame benchmark and its floor:
// a GPU timestamp as each step starts and one after the frame; a step's time
// runs from its stamp to the next one, so it holds the driver's work for the
// step on the calling thread and on the rasterizer threads, without the waits
// a read-back between steps would add. Both benchmarks report the same
// counter names, so their tables line up. Made and used while the context is
// current; main thread.
#pragma once
#include <map>
#include <memory>
#include <vector>

#include "port/gpu/GpuTimestamps.h"
#include "render/frame/FramePass.h"

namespace benchmark {
class State;
}

class PassTimer {
public:
    explicit PassTimer(std::shared_ptr<GpuContext> context);

    // A step starts (light batches are part of their step and are not stamped).
    void Start(FramePass pass);
    // The frame's work is issued: stamps its end and waits for the stamps;
    // `count` adds the frame's step times to the totals.
    void EndFrame(bool count);
    // Each step's mean time in ms as a counter named after the step, and their
    // sum as "passes_ms".
    void Report(benchmark::State& state) const;
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
    GpuTimestamps stamps_;
    std::vector<FramePass> order_;
    std::map<FramePass, double> totals_;
    int frames_ = 0;
};
