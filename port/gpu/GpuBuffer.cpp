#include "port/gpu/GpuBuffer.h"

#include <epoxy/gl.h>

#include "port/gpu/GpuContext.h"

GpuBuffer::GpuBuffer(std::shared_ptr<GpuContext> context, const GpuBufferDesc& desc, const void* initialData)
    : context_(std::move(context)), desc_(desc) {
    if (desc.byteWidth == 0) return;
    if (desc.usage == GpuUsage::Immutable && !initialData) return;
    GLenum hint = GL_STATIC_DRAW;
    if (desc.usage == GpuUsage::Dynamic) hint = GL_DYNAMIC_DRAW;
    if (desc.bindFlags & GpuBindStreamOutput) hint = GL_DYNAMIC_COPY;
    glCreateBuffers(1, &name_);
    glNamedBufferData(name_, desc.byteWidth, initialData, hint);
    if (desc.bindFlags & GpuBindStreamOutput) {
        glCreateTransformFeedbacks(1, &feedback_);
        glTransformFeedbackBufferBase(feedback_, 0, name_);
    }
}

GpuBuffer::~GpuBuffer() {
    if (!GpuContext::AnyCurrent()) return;
    if (mapped_) glUnmapNamedBuffer(name_);
    if (feedback_) glDeleteTransformFeedbacks(1, &feedback_);
    if (name_) glDeleteBuffers(1, &name_);
}

void* GpuBuffer::Map(GpuMap mapType) {
    if (!name_ || mapped_ || !(desc_.cpuAccessFlags & GpuCpuAccessWrite)) return nullptr;
    GLbitfield access = GL_MAP_WRITE_BIT;
    if (mapType == GpuMap::WriteDiscard) access |= GL_MAP_INVALIDATE_BUFFER_BIT;
    if (mapType == GpuMap::WriteNoOverwrite) access |= GL_MAP_UNSYNCHRONIZED_BIT;
    void* data = glMapNamedBufferRange(name_, 0, desc_.byteWidth, access);
    mapped_ = data != nullptr;
    return data;
}

void GpuBuffer::Unmap() {
    if (!mapped_) return;
    mapped_ = false;
    glUnmapNamedBuffer(name_);
}

void GpuBuffer::Update(const void* data, std::uint32_t offset, std::uint32_t size) {
    if (!name_ || !data || mapped_ || desc_.usage == GpuUsage::Immutable) return;
    if (offset > desc_.byteWidth || size > desc_.byteWidth - offset) return;
    glNamedBufferSubData(name_, offset, size, data);
}

bool GpuBuffer::ReadBack(std::uint32_t offset, std::uint32_t size, std::vector<std::uint8_t>* bytes) const {
    if (!name_ || !bytes || mapped_ || offset > desc_.byteWidth || size > desc_.byteWidth - offset) return false;
    bytes->resize(size);
    if (size) glGetNamedBufferSubData(name_, offset, size, bytes->data());
    return true;
}
