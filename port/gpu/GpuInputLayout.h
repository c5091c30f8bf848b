// How vertex buffers feed a vertex shader (Direct3D's input layout): one GL
// vertex array whose attribute formats come from the element list; the
// buffers themselves are attached at draw time from the device's slots.
// Made by GpuDevice, shared by its owner and by the device while bound.
// Main thread only.
#pragma once
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

private:
    std::shared_ptr<GpuContext> context_;
    unsigned vao_ = 0;
    std::vector<unsigned> slots_;
};
