// One GPU buffer (vertex, index or stream-output). A buffer bound for stream
// output has its own transform feedback object, which remembers how many
// vertices the last stream-out pass wrote: DrawAuto draws that many.
// Made by GpuDevice, shared by whoever binds it. Main thread only.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "port/gpu/GpuTypes.h"

class GpuContext;

class GpuBuffer : public std::enable_shared_from_this<GpuBuffer> {
public:
    GpuBuffer(std::shared_ptr<GpuContext> context, const GpuBufferDesc& desc, const void* initialData);
    ~GpuBuffer();
    GpuBuffer(const GpuBuffer&) = delete;
    GpuBuffer& operator=(const GpuBuffer&) = delete;

    bool Valid() const { return name_ != 0; }
    const GpuBufferDesc& GetDesc() const { return desc_; }
    unsigned GlName() const { return name_; }
    unsigned TransformFeedback() const { return feedback_; }
    // True once a stream-out pass has written into this buffer.
    bool StreamedOut() const { return streamedOut_; }
    void MarkStreamedOut() { streamedOut_ = true; }

    // Only for buffers with CPU write access. WriteDiscard gives fresh memory.
    void* Map(GpuMap mapType);
    void Unmap();
    // Replaces bytes [offset, offset + size) (default-usage buffers).
    void Update(const void* data, std::uint32_t offset, std::uint32_t size);
    // Copies bytes [offset, offset + size) out of the buffer, whatever its
    // usage (tests read stream-out results); false when out of range.
    bool ReadBack(std::uint32_t offset, std::uint32_t size, std::vector<std::uint8_t>* bytes) const;

private:
    std::shared_ptr<GpuContext> context_;
    GpuBufferDesc desc_;
    unsigned name_ = 0;
    unsigned feedback_ = 0;
    bool mapped_ = false;
    bool streamedOut_ = false;
};
