// The AudioSystem's share of a frame while a level's music plays, on a real
// output (OpenAL Soft's null driver, which consumes the mix in real time
// like a sound card, unless ALSOFT_DRIVERS names another).
// "AudioUpdateWithMusic": AudioSystem::Update once per 1/60 s frame, paced
// in real time, with Tutorial_loop streaming; "worst_ms" and "mean_ms" are
// the wall time over all frames, "worst_cpu_ms" the main thread's own time
// in its costliest frame, which a busy machine's scheduling leaves out (the
// goal: at most 0.5 ms), "over_0.5ms" the frames whose wall time passed
// it. "MusicStart": the message drain that starts a track (StopAll, then
// PlayMusic) and the frame's Update after it, likewise.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

#include "core/IdCounter.h"
#include "platform/AudioSystem.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kFrameSeconds = 1.0 / 60.0;

// The system with two of the game's tracks; null (the benchmark skipped)
// without an output.
std::unique_ptr<AudioSystem> MakeAudio(benchmark::State& state) {
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    auto audio = std::make_unique<AudioSystem>();
    audio->Init();
    if (audio->Device().IsSilent()) {
        state.SkipWithError(audio->Device().ErrorText().c_str());
        return nullptr;
    }
    for (const char* track : {"Menu_loop", "Tutorial_loop"})
        audio->LoadMusic(track, std::string(DD_ASSET_ROOT) + "/bgm/" + track + ".ogg");
    return audio;
}

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double ThreadCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall and main-thread times of the timed frames.
struct FrameCosts {
    double worst = 0.0, worstCpu = 0.0, total = 0.0;
    int overBudget = 0;  // frames whose wall time passed 0.5 ms
    template <class Work>
    void Time(benchmark::State& state, Work work) {
        const double cpu = ThreadCpuMs();
        const Clock::time_point start = Clock::now();
        work();
        const double ms = Milliseconds(start, Clock::now());
        worstCpu = std::max(worstCpu, ThreadCpuMs() - cpu);
        state.SetIterationTime(ms / 1000.0);
        worst = std::max(worst, ms);
        total += ms;
        overBudget += ms > 0.5 ? 1 : 0;
    }
    void Report(benchmark::State& state) const {
        state.counters["worst_ms"] = worst;
        state.counters["worst_cpu_ms"] = worstCpu;
        state.counters["mean_ms"] = total / static_cast<double>(state.iterations());
        state.counters["over_0.5ms"] = overBudget;
    }
};

void BM_AudioUpdateWithMusic(benchmark::State& state) {
    IdCounter ids;
    std::unique_ptr<AudioSystem> audio = MakeAudio(state);
    if (!audio) return;
    audio->PlayMusic("Tutorial_loop", 0.55f);
    FrameCosts costs;
    Clock::time_point next = Clock::now();
    for (auto _ : state) {
        next += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kFrameSeconds));
        std::this_thread::sleep_until(next);
        costs.Time(state, [&] { audio->Update(static_cast<float>(kFrameSeconds)); });
    }
    costs.Report(state);
}
// 20 s of music: some 110 chunks of 8192 frames played and refilled.
BENCHMARK(BM_AudioUpdateWithMusic)->UseManualTime()->Iterations(1200)->Unit(benchmark::kMicrosecond);

void BM_MusicStart(benchmark::State& state) {
    IdCounter ids;
    std::unique_ptr<AudioSystem> audio = MakeAudio(state);
    if (!audio) return;
    FrameCosts costs;
    bool menu = false;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::duration<double>(kFrameSeconds));
        menu = !menu;
        costs.Time(state, [&] {
            audio->StopAll();
            audio->PlayMusic(menu ? "Menu_loop" : "Tutorial_loop", 0.5f);
            audio->Update(static_cast<float>(kFrameSeconds));
        });
    }
    costs.Report(state);
}
BENCHMARK(BM_MusicStart)->UseManualTime()->Iterations(60)->Unit(benchmark::kMicrosecond);

}  // namespace
