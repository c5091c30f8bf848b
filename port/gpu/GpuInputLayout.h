// How vertex buffers feed a vertex shader (Direct3D's input layout): one GL
// vertex array whose attribute formats come from the element list; the
// buffers themselves are attached at draw time from the device's slots, and
// the layout counts the draws that found them changed (see Settled). Made by
// GpuDevice, shared by its owner and by the device while bound.
// Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "port/gpu/GpuTypes.h"

class GpuContext;

class GpuInputLayout : public std::enable_shared_from_this<GpuInputLayout> {
public:
    GpuInputLayout(std::shared_ptr<GpuContext> context, const GpuInputElement* elements, unsigned count);
    ~GpuInputLayout();
    GpuInputLayout(const GpuInputLayout&) = delete;
    GpuInputLayout& operator=(const GpuInputLayout&) = delete;

    unsigned VertexArray() const { return vao_; }
    // Input slots (buffer binding points) the layout reads.
    const std::vector<unsigned>& Slots() const { return slots_; }

    // Attaches the buffers of a draw: `count` GL names, byte offsets and
    // strides in the order of Slots(); a draw that changes any counts once.
    void Attach(size_t count, const unsigned* names, const std::uint32_t* offsets, const std::uint32_t* strides);
    // Draws that found the attached buffers changed, the first one included.
    unsigned Changes() const { return changes_; }
    // Whether the driver has laid this layout's inputs out for good: Mesa
    // lays out a vertex array anew once its buffers have changed at more
    // than four draws, and every program then drawn with it gets its vertex
    // stage built again. Before that, a program drawn with it is built twice.
    bool Settled() const { return changes_ > kDriverRelayoutChanges; }
    static constexpr unsigned kDriverRelayoutChanges = 4;

private:
    struct Binding {
        unsigned name = 0;
        std::uint32_t offset = 0, stride = 0;
        bool operator!=(const Binding& o) const { return name != o.name || offset != o.offset || stride != o.stride; }
    };

    std::shared_ptr<GpuContext> context_;
    unsigned vao_ = 0;
    std::vector<unsigned> slots_;
    std::vector<Binding> attached_;  // by position in slots_
    bool anyAttached_ = false;
    unsigned changes_ = 0;
};
