// GPU timestamps for measuring where a frame's time goes: Stamp records the
// moment every command issued before it has been carried out, Collect waits
// for the stamps of the running series and returns them in nanoseconds.
// Query objects are kept and reused between series. Owned by whoever measures
// (benchmarks, tools); made and used while its context is current. Main thread.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

class GpuContext;

class GpuTimestamps {
public:
    explicit GpuTimestamps(std::shared_ptr<GpuContext> context);
    ~GpuTimestamps();
    GpuTimestamps(const GpuTimestamps&) = delete;
    GpuTimestamps& operator=(const GpuTimestamps&) = delete;

    // Adds one stamp to the running series.
    void Stamp();
    // The series' stamps in the order they were made, each the GPU clock in
    // nanoseconds; waits until all are known. Starts a new series.
    std::vector<std::uint64_t> Collect();
    std::size_t Pending() const { return used_; }

private:
    std::shared_ptr<GpuContext> context_;
    std::vector<unsigned> queries_;
    std::size_t used_ = 0;
};
