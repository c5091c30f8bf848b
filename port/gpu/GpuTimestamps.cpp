#include "port/gpu/GpuTimestamps.h"

#include <epoxy/gl.h>

#include "port/gpu/GpuContext.h"

GpuTimestamps::GpuTimestamps(std::shared_ptr<GpuContext> context) : context_(std::move(context)) {}

GpuTimestamps::~GpuTimestamps() {
    if (!queries_.empty() && GpuContext::AnyCurrent())
        glDeleteQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
}

void GpuTimestamps::Stamp() {
    if (used_ == queries_.size()) {
        GLuint query = 0;
        glCreateQueries(GL_TIMESTAMP, 1, &query);
        if (query == 0) return;
        queries_.push_back(query);
    }
    glQueryCounter(queries_[used_++], GL_TIMESTAMP);
}

std::vector<std::uint64_t> GpuTimestamps::Collect() {
    std::vector<std::uint64_t> stamps(used_);
    for (std::size_t i = 0; i < used_; ++i) {
        GLuint64 value = 0;
        glGetQueryObjectui64v(queries_[i], GL_QUERY_RESULT, &value);
        stamps[i] = value;
    }
    used_ = 0;
    return stamps;
}
