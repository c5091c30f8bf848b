#include "bench/PassTimer.h"

#include <benchmark/benchmark.h>

#include <cstdint>

PassTimer::PassTimer(std::shared_ptr<GpuContext> context) : stamps_(std::move(context)) {}

void PassTimer::Start(FramePass pass) {
    if (pass == FramePass::LightBatch) return;
    order_.push_back(pass);
    stamps_.Stamp();
}

void PassTimer::EndFrame(bool count) {
    stamps_.Stamp();
    const std::vector<std::uint64_t> ns = stamps_.Collect();
    for (size_t i = 0; count && i + 1 < ns.size() && i < order_.size(); ++i)
        totals_[order_[i]] += static_cast<double>(ns[i + 1] - ns[i]) * 1e-6;
    if (count) ++frames_;
    order_.clear();
}

void PassTimer::Report(benchmark::State& state) const {
    static const char* const names[] = {"geometry", "lighting", "batch",   "glow",      "ao",
                                        "ao_blur",  "combine",  "sky",     "particles", "frame_models",
                                        "debug",    "texts",    "markers", "panels",    "present"};
    if (frames_ == 0) return;
    double sum = 0;
    for (const auto& [pass, ms] : totals_) {
        state.counters[names[static_cast<int>(pass)]] = ms / frames_;
        sum += ms;
    }
    state.counters["passes_ms"] = sum / frames_;
}
