// Cost of logging on the main thread: appending formatted rows, and the
// per-frame hand-over of the queued rows to the writer thread.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/Logger.h"

namespace {
std::string BenchFolder() {
    return (std::filesystem::temp_directory_path() / ("ddlogbench-" + std::to_string(::getpid()))).string() + "/";
}

// One row as the frame loop writes it, appended on the calling thread. The
// queue is handed over every 64 rows, outside the timing.
void BM_LogRowAppend(benchmark::State& state) {
    std::string folder = BenchFolder();
    {
        Logger logger(folder, ".log");
        int rows = 0;
        for (auto _ : state) {
            Log("PERF: %s ran %f ms", "GraphicsSystem", 1.25);
            if (++rows % 64 == 0) {
                state.PauseTiming();
                logger.FlushFrame(10);
                state.ResumeTiming();
            }
        }
        state.SetItemsProcessed(state.iterations());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LogRowAppend);

// FlushFrame + IncrementFrame at the end of a frame that logged
// state.range(0) rows. Frames are paced 2 ms apart (untimed) so the writer
// has finished the previous batch, as at a real frame rate.
void BM_FrameHandOver(benchmark::State& state) {
    std::string folder = BenchFolder();
    {
        Logger logger(folder, ".log");
        for (auto _ : state) {
            for (int i = 0; i < state.range(0); ++i) Log("PERF: %s ran %f ms", "GraphicsSystem", 1.25);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            auto start = std::chrono::steady_clock::now();
            logger.FlushFrame(10);
            logger.IncrementFrame();
            auto end = std::chrono::steady_clock::now();
            state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FrameHandOver)->Arg(0)->Arg(20)->Arg(200)->UseManualTime()->Iterations(400);

// The same back to back: the writer is usually still busy with the previous
// batch, so this shows the hand-over's waiting (at most 11 sleeps of 1 ms).
void BM_FrameHandOverUnpaced(benchmark::State& state) {
    std::string folder = BenchFolder();
    {
        Logger logger(folder, ".log");
        for (auto _ : state) {
            for (int i = 0; i < state.range(0); ++i) Log("PERF: %s ran %f ms", "GraphicsSystem", 1.25);
            logger.FlushFrame(10);
            logger.IncrementFrame();
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FrameHandOverUnpaced)->Arg(20)->Arg(200);
}  // namespace
