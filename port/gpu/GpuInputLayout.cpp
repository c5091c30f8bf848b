#include "port/gpu/GpuInputLayout.h"

#include <algorithm>
#include <map>

#include "port/gpu/GlFormat.h"
#include "port/gpu/GpuContext.h"
#include "port/gpu/GpuSemantics.h"

GpuInputLayout::GpuInputLayout(std::shared_ptr<GpuContext> context, const GpuInputElement* elements, unsigned count)
    : context_(std::move(context)) {
    glCreateVertexArrays(1, &vao_);
    std::map<unsigned, std::uint32_t> nextOffset;  // per slot, for appended elements
    for (unsigned i = 0; i < count; ++i) {
        const GpuInputElement& e = elements[i];
        const std::uint32_t offset =
            e.alignedByteOffset == GpuAppendAlignedElement ? nextOffset[e.inputSlot] : e.alignedByteOffset;
        nextOffset[e.inputSlot] = offset + GpuFormatBytes(e.format);
        if (std::find(slots_.begin(), slots_.end(), e.inputSlot) == slots_.end()) {
            slots_.push_back(e.inputSlot);
            glVertexArrayBindingDivisor(vao_, e.inputSlot,
                                        e.inputClass == GpuInputClass::PerInstance ? e.instanceStepRate : 0);
        }
        const int location = GpuSemanticLocation(e.semantic ? e.semantic : "");
        const GlAttribFormat f = GlAttribFormatOf(e.format);
        if (location < 0 || f.size == 0) continue;
        const GLuint loc = static_cast<GLuint>(location);
        glEnableVertexArrayAttrib(vao_, loc);
        if (f.integer)
            glVertexArrayAttribIFormat(vao_, loc, f.size, f.type, offset);
        else
            glVertexArrayAttribFormat(vao_, loc, f.size, f.type, f.type == GL_UNSIGNED_BYTE ? GL_TRUE : GL_FALSE,
                                      offset);
        glVertexArrayAttribBinding(vao_, loc, e.inputSlot);
    }
    attached_.resize(slots_.size());
}

void GpuInputLayout::Attach(size_t count, const unsigned* names, const std::uint32_t* offsets,
                            const std::uint32_t* strides) {
    bool changed = !anyAttached_;
    anyAttached_ = true;
    for (size_t i = 0; i < slots_.size() && i < count; ++i) {
        const Binding binding{names[i], offsets[i], strides[i]};
        // Set at every draw: a buffer deleted and made again may come back
        // under the same name, and the vertex array would still hold the old one.
        glVertexArrayVertexBuffer(vao_, slots_[i], binding.name, binding.offset, static_cast<GLsizei>(binding.stride));
        if (!(binding != attached_[i])) continue;
        attached_[i] = binding;
        changed = true;
    }
    if (changed) ++changes_;
}

GpuInputLayout::~GpuInputLayout() {
    if (vao_ && GpuContext::AnyCurrent()) glDeleteVertexArrays(1, &vao_);
}
