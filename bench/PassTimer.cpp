#include "bench/PassTimer.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>

PassTimer::PassTimer(std::shared_ptr<GpuContext> context, std::function<void()> flush)
    : stamps_(std::move(context)), flush_(std::move(flush)) {}

void PassTimer::Mark() {
    if (!flush_) {
        stamps_.Stamp();
        return;
    }
    flush_();
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    cpuMarks_.push_back(static_cast<std::uint64_t>(t.tv_sec) * 1000000000u + static_cast<std::uint64_t>(t.tv_nsec));
}

void PassTimer::Start(FramePass pass) {
    if (pass == FramePass::LightBatch) return;
    order_.push_back(pass);
    Mark();
}

void PassTimer::EndFrame(bool count) {
    Mark();
    std::vector<std::uint64_t> ns = flush_ ? std::move(cpuMarks_) : stamps_.Collect();
    cpuMarks_.clear();
    for (size_t i = 0; count && i + 1 < ns.size() && i < order_.size(); ++i)
        totals_[order_[i]] += static_cast<double>(ns[i + 1] - ns[i]) * 1e-6;
    if (count) ++frames_;
    order_.clear();
}

void PassTimer::PassSizes(benchmark::internal::Benchmark* b) {
    b->Args({1024, 768})->Args({320, 240})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
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
