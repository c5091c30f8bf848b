#include "port/gpu/GlFormat.h"

std::uint32_t GpuFormatBytes(GpuFormat format) {
    switch (format) {
        case GpuFormat::R8G8B8A8_UNORM:
            return 4;
        case GpuFormat::R8_UNORM:
            return 1;
        case GpuFormat::R32_FLOAT:
            return 4;
        case GpuFormat::R32G32_FLOAT:
            return 8;
        case GpuFormat::R32G32B32_FLOAT:
            return 12;
        case GpuFormat::R32G32B32A32_FLOAT:
            return 16;
        case GpuFormat::R32_UINT:
            return 4;
        case GpuFormat::R24G8_TYPELESS:
        case GpuFormat::D24_UNORM_S8_UINT:
        case GpuFormat::R24_UNORM_X8_TYPELESS:
            return 4;
        case GpuFormat::BC1_UNORM:
            return 8;
        case GpuFormat::BC2_UNORM:
        case GpuFormat::BC3_UNORM:
            return 16;
        case GpuFormat::Unknown:
            break;
    }
    return 0;
}

bool GpuFormatIsCompressed(GpuFormat format) {
    return format == GpuFormat::BC1_UNORM || format == GpuFormat::BC2_UNORM || format == GpuFormat::BC3_UNORM;
}

GlFormat GlFormatOf(GpuFormat format) {
    switch (format) {
        case GpuFormat::R8G8B8A8_UNORM:
            return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE};
        case GpuFormat::R8_UNORM:
            return {GL_R8, GL_RED, GL_UNSIGNED_BYTE};
        case GpuFormat::R32_FLOAT:
            return {GL_R32F, GL_RED, GL_FLOAT};
        case GpuFormat::R32G32_FLOAT:
            return {GL_RG32F, GL_RG, GL_FLOAT};
        case GpuFormat::R32G32B32_FLOAT:
            return {GL_RGB32F, GL_RGB, GL_FLOAT};
        case GpuFormat::R32G32B32A32_FLOAT:
            return {GL_RGBA32F, GL_RGBA, GL_FLOAT};
        case GpuFormat::R32_UINT:
            return {GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT};
        case GpuFormat::R24G8_TYPELESS:
        case GpuFormat::D24_UNORM_S8_UINT:
        case GpuFormat::R24_UNORM_X8_TYPELESS:
            return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8};
        case GpuFormat::BC1_UNORM:
            return {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0};
        case GpuFormat::BC2_UNORM:
            return {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0};
        case GpuFormat::BC3_UNORM:
            return {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0};
        case GpuFormat::Unknown:
            break;
    }
    return {};
}

GLenum GlComparison(GpuComparison c) {
    switch (c) {
        case GpuComparison::Never:
            return GL_NEVER;
        case GpuComparison::Less:
            return GL_LESS;
        case GpuComparison::Equal:
            return GL_EQUAL;
        case GpuComparison::LessEqual:
            return GL_LEQUAL;
        case GpuComparison::Greater:
            return GL_GREATER;
        case GpuComparison::NotEqual:
            return GL_NOTEQUAL;
        case GpuComparison::GreaterEqual:
            return GL_GEQUAL;
        case GpuComparison::Always:
            return GL_ALWAYS;
    }
    return GL_ALWAYS;
}

GLenum GlStencilOp(GpuStencilOp op) {
    switch (op) {
        case GpuStencilOp::Keep:
            return GL_KEEP;
        case GpuStencilOp::Zero:
            return GL_ZERO;
        case GpuStencilOp::Replace:
            return GL_REPLACE;
        case GpuStencilOp::IncrSat:
            return GL_INCR;
        case GpuStencilOp::DecrSat:
            return GL_DECR;
        case GpuStencilOp::Invert:
            return GL_INVERT;
        case GpuStencilOp::Incr:
            return GL_INCR_WRAP;
        case GpuStencilOp::Decr:
            return GL_DECR_WRAP;
    }
    return GL_KEEP;
}

GLenum GlBlend(GpuBlend b) {
    switch (b) {
        case GpuBlend::Zero:
            return GL_ZERO;
        case GpuBlend::One:
            return GL_ONE;
        case GpuBlend::SrcColor:
            return GL_SRC_COLOR;
        case GpuBlend::InvSrcColor:
            return GL_ONE_MINUS_SRC_COLOR;
        case GpuBlend::SrcAlpha:
            return GL_SRC_ALPHA;
        case GpuBlend::InvSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
        case GpuBlend::DestAlpha:
            return GL_DST_ALPHA;
        case GpuBlend::InvDestAlpha:
            return GL_ONE_MINUS_DST_ALPHA;
        case GpuBlend::DestColor:
            return GL_DST_COLOR;
        case GpuBlend::InvDestColor:
            return GL_ONE_MINUS_DST_COLOR;
        case GpuBlend::SrcAlphaSat:
            return GL_SRC_ALPHA_SATURATE;
        case GpuBlend::BlendFactor:
            return GL_CONSTANT_COLOR;
        case GpuBlend::InvBlendFactor:
            return GL_ONE_MINUS_CONSTANT_COLOR;
    }
    return GL_ONE;
}

GLenum GlBlendOp(GpuBlendOp op) {
    switch (op) {
        case GpuBlendOp::Add:
            return GL_FUNC_ADD;
        case GpuBlendOp::Subtract:
            return GL_FUNC_SUBTRACT;
        case GpuBlendOp::RevSubtract:
            return GL_FUNC_REVERSE_SUBTRACT;
        case GpuBlendOp::Min:
            return GL_MIN;
        case GpuBlendOp::Max:
            return GL_MAX;
    }
    return GL_FUNC_ADD;
}

GLenum GlTopology(GpuTopology t) {
    switch (t) {
        case GpuTopology::PointList:
            return GL_POINTS;
        case GpuTopology::LineList:
            return GL_LINES;
        case GpuTopology::LineStrip:
            return GL_LINE_STRIP;
        case GpuTopology::TriangleList:
            return GL_TRIANGLES;
        case GpuTopology::TriangleStrip:
            return GL_TRIANGLE_STRIP;
        case GpuTopology::Undefined:
            break;
    }
    return GL_TRIANGLES;
}

GlAttribFormat GlAttribFormatOf(GpuFormat format) {
    switch (format) {
        case GpuFormat::R32_FLOAT:
            return {1, GL_FLOAT, false};
        case GpuFormat::R32G32_FLOAT:
            return {2, GL_FLOAT, false};
        case GpuFormat::R32G32B32_FLOAT:
            return {3, GL_FLOAT, false};
        case GpuFormat::R32G32B32A32_FLOAT:
            return {4, GL_FLOAT, false};
        case GpuFormat::R32_UINT:
            return {1, GL_UNSIGNED_INT, true};
        case GpuFormat::R8G8B8A8_UNORM:
            return {4, GL_UNSIGNED_BYTE, false};
        default:
            break;
    }
    return {};
}
