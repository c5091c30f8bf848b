// Internal to port/gpu: how each GpuFormat and state enum is spelled in OpenGL.
// Included by port/gpu sources only (it brings in the GL headers).
#pragma once
#include <epoxy/gl.h>

#include "port/gpu/GpuTypes.h"

struct GlFormat {
    GLenum internalFormat = 0;  // 0: not a texture format
    GLenum format = 0;          // pixel transfer format
    GLenum type = 0;            // pixel transfer type
};

GlFormat GlFormatOf(GpuFormat format);
GLenum GlComparison(GpuComparison c);
GLenum GlStencilOp(GpuStencilOp op);
GLenum GlBlend(GpuBlend b);
GLenum GlBlendOp(GpuBlendOp op);
GLenum GlTopology(GpuTopology t);
// Vertex attribute spelling of a format: component count, type, integer or not.
struct GlAttribFormat {
    GLint size = 0;
    GLenum type = 0;
    bool integer = false;
};
GlAttribFormat GlAttribFormatOf(GpuFormat format);
