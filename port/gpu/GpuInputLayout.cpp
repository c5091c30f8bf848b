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
}

GpuInputLayout::~GpuInputLayout() {
    if (vao_ && GpuContext::AnyCurrent()) glDeleteVertexArrays(1, &vao_);
}
