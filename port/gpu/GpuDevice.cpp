#include "port/gpu/GpuDevice.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "port/gpu/GlFormat.h"
#include "port/gpu/GpuContext.h"
#include "port/gpu/GpuSwapChain.h"

namespace {

GLenum FeedbackModeOf(GpuTopology topology) {
    switch (topology) {
        case GpuTopology::PointList:
            return GL_POINTS;
        case GpuTopology::LineList:
        case GpuTopology::LineStrip:
            return GL_LINES;
        default:
            return GL_TRIANGLES;
    }
}

}  // namespace

std::shared_ptr<GpuDevice> GpuDevice::Create(std::shared_ptr<GpuContext> context) {
    if (!context) return nullptr;
    std::shared_ptr<GpuDevice> device(new GpuDevice(std::move(context)));
    device->ClearState();
    return device;
}

GpuDevice::GpuDevice(std::shared_ptr<GpuContext> context) : context_(std::move(context)) {}

GpuDevice::~GpuDevice() {
    if (!GpuContext::AnyCurrent()) return;
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
    glUseProgram(0);
    glBindTextures(0, kUnits, nullptr);
}

bool GpuDevice::HasS3tc() const {
    return context_->HasS3tc();
}

std::uint32_t GpuDevice::MaxRenderTargetSide() const {
    GLint texture = 0, renderbuffer = 0, framebufferWidth = 0, framebufferHeight = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_FRAMEBUFFER_WIDTH, &framebufferWidth);
    glGetIntegerv(GL_MAX_FRAMEBUFFER_HEIGHT, &framebufferHeight);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    GLint side = texture;
    for (GLint limit : {renderbuffer, framebufferWidth, framebufferHeight, viewport[0], viewport[1]})
        if (limit > 0) side = std::min(side, limit);
    return side > 0 ? static_cast<std::uint32_t>(side) : 0u;
}

std::shared_ptr<GpuBuffer> GpuDevice::CreateBuffer(const GpuBufferDesc& desc, const void* initialData) {
    auto buffer = std::make_shared<GpuBuffer>(context_, desc, initialData);
    return buffer->Valid() ? buffer : nullptr;
}

std::shared_ptr<GpuTexture> GpuDevice::CreateTexture(const GpuTextureDesc& desc,
                                                     const GpuSubresourceData* initialData) {
    auto texture = std::make_shared<GpuTexture>(context_, desc);
    if (!texture->Valid()) return nullptr;
    if (initialData) {
        const GpuTextureDesc& d = texture->GetDesc();
        for (unsigned s = 0; s < d.arraySize; ++s)
            for (unsigned m = 0; m < d.mipLevels; ++m) {
                const GpuSubresourceData& sub = initialData[s * d.mipLevels + m];
                texture->Update(s * d.mipLevels + m, sub.data, sub.rowPitch);
            }
    }
    return texture;
}

std::shared_ptr<GpuShaderResourceView> GpuDevice::CreateShaderResourceView(std::shared_ptr<GpuTexture> texture,
                                                                           const GpuSrvDesc* desc) {
    if (!texture) return nullptr;
    auto view = std::make_shared<GpuShaderResourceView>(std::move(texture), desc ? *desc : GpuSrvDesc{});
    return view->Valid() ? view : nullptr;
}

std::shared_ptr<GpuRenderTargetView> GpuDevice::CreateRenderTargetView(std::shared_ptr<GpuTexture> texture) {
    if (!texture || !(texture->GetDesc().bindFlags & GpuBindRenderTarget)) return nullptr;
    return std::make_shared<GpuRenderTargetView>(std::move(texture));
}

std::shared_ptr<GpuDepthStencilView> GpuDevice::CreateDepthStencilView(std::shared_ptr<GpuTexture> texture) {
    if (!texture || !(texture->GetDesc().bindFlags & GpuBindDepthStencil)) return nullptr;
    return std::make_shared<GpuDepthStencilView>(std::move(texture));
}

std::shared_ptr<GpuDepthStencilState> GpuDevice::CreateDepthStencilState(const GpuDepthStencilDesc& desc) {
    return std::make_shared<GpuDepthStencilState>(GpuDepthStencilState{desc});
}

std::shared_ptr<GpuBlendState> GpuDevice::CreateBlendState(const GpuBlendDesc& desc) {
    return std::make_shared<GpuBlendState>(GpuBlendState{desc});
}

std::shared_ptr<GpuRasterizerState> GpuDevice::CreateRasterizerState(const GpuRasterizerDesc& desc) {
    return std::make_shared<GpuRasterizerState>(GpuRasterizerState{desc});
}

std::shared_ptr<GpuInputLayout> GpuDevice::CreateInputLayout(const GpuInputElement* elements, unsigned count,
                                                             const GpuEffectPass* signature, std::string* error) {
    if (signature) {
        if (!signature->IsValid()) {
            if (error) *error = "input layout: the pass does not exist";
            return nullptr;
        }
        for (const std::string& input : signature->Inputs()) {
            bool found = false;
            for (unsigned i = 0; i < count && !found; ++i)
                found = elements[i].semantic && input == elements[i].semantic;
            if (!found) {
                if (error) *error = "input layout: the shader reads " + input + ", which the layout lacks";
                return nullptr;
            }
        }
    }
    return std::make_shared<GpuInputLayout>(context_, elements, count);
}

std::unique_ptr<GpuEffect> GpuDevice::CreateEffect(const GpuEffectDesc& desc, std::string* errors) {
    return GpuEffect::Create(shared_from_this(), desc, errors);
}

std::shared_ptr<GpuTexture> GpuDevice::CreateTextureFromImage(const GpuImage& source, const GpuImageLoadInfo& info) {
    if (source.width == 0 || source.height == 0 ||
        source.subresources.size() < size_t(source.mipLevels) * source.arraySize)
        return nullptr;
    if (info.cube && !source.cube) return nullptr;
    const GpuImage* image = &source;
    GpuImage converted;
    if (GpuFormatIsCompressed(source.format) && (info.forceRGBA8 || !HasS3tc())) {
        converted = source;
        converted.Decompress();
        image = &converted;
    }
    const bool generate = info.generateMips && image->mipLevels == 1 && !GpuFormatIsCompressed(image->format);
    GpuTextureDesc desc;
    desc.width = image->width;
    desc.height = image->height;
    desc.mipLevels = generate ? 0 : image->mipLevels;
    desc.arraySize = image->arraySize;
    desc.format = image->format;
    desc.usage = GpuUsage::Default;
    desc.bindFlags = GpuBindShaderResource;
    desc.miscFlags = image->cube ? static_cast<std::uint32_t>(GpuMiscTextureCube) : 0u;
    auto texture = CreateTexture(desc);
    if (!texture) return nullptr;
    const unsigned levels = texture->GetDesc().mipLevels;
    for (unsigned s = 0; s < image->arraySize; ++s)
        for (unsigned m = 0; m < image->mipLevels && m < levels; ++m) {
            const std::vector<std::uint8_t>& data = image->subresources[s * image->mipLevels + m];
            if (data.size() < image->SubresourceBytes(m)) return nullptr;
            texture->Update(s * levels + m, data.data(), image->RowBytes(m));
        }
    if (generate && levels > 1) glGenerateTextureMipmap(texture->GlName());
    return texture;
}

GpuLoadStatus GpuDevice::CreateTextureFromFile(const std::string& path, const GpuImageLoadInfo& info,
                                               std::shared_ptr<GpuTexture>* texture, std::string* error) {
    GpuImage image;
    const GpuLoadStatus status = image.Load(path, error);
    if (status != GpuLoadStatus::Ok) return status;
    auto made = CreateTextureFromImage(image, info);
    if (!made) {
        if (error) *error = path + (info.cube && !image.cube ? ": not a cube texture" : ": cannot make the texture");
        return GpuLoadStatus::Failed;
    }
    if (texture) *texture = std::move(made);
    return GpuLoadStatus::Ok;
}

GpuLoadStatus GpuDevice::CreateShaderResourceViewFromFile(const std::string& path,
                                                          std::shared_ptr<GpuShaderResourceView>* view,
                                                          std::string* error) {
    std::shared_ptr<GpuTexture> texture;
    const GpuLoadStatus status = CreateTextureFromFile(path, GpuImageLoadInfo{}, &texture, error);
    if (status != GpuLoadStatus::Ok) return status;
    auto made = CreateShaderResourceView(texture);
    if (!made) {
        if (error) *error = path + ": cannot make the view";
        return GpuLoadStatus::Failed;
    }
    if (view) *view = std::move(made);
    return GpuLoadStatus::Ok;
}

void GpuDevice::IASetInputLayout(GpuInputLayout* layout) {
    layout_ = layout ? layout->shared_from_this() : nullptr;
}

void GpuDevice::IASetVertexBuffers(unsigned startSlot, unsigned count, GpuBuffer* const* buffers,
                                   const std::uint32_t* strides, const std::uint32_t* offsets) {
    for (unsigned i = 0; i < count && startSlot + i < kSlots; ++i) {
        const unsigned slot = startSlot + i;
        GpuBuffer* buffer = buffers ? buffers[i] : nullptr;
        vertexBuffers_[slot] = buffer ? buffer->shared_from_this() : nullptr;
        strides_[slot] = strides ? strides[i] : 0;
        offsets_[slot] = offsets ? offsets[i] : 0;
    }
}

void GpuDevice::IASetIndexBuffer(GpuBuffer* buffer, GpuFormat, std::uint32_t offset) {
    indexBuffer_ = buffer ? buffer->shared_from_this() : nullptr;
    indexOffset_ = offset;
}

void GpuDevice::IASetPrimitiveTopology(GpuTopology topology) {
    topology_ = topology;
}

void GpuDevice::UnbindTexturesOf(const GpuTexture* texture) {
    for (unsigned unit = 0; unit < kUnits; ++unit) {
        if (textures_[unit] && textures_[unit]->Texture() == texture) {
            textures_[unit].reset();
            glBindTextures(unit, 1, nullptr);
        }
    }
}

void GpuDevice::OMSetRenderTargets(unsigned count, GpuRenderTargetView* const* targets, GpuDepthStencilView* depth) {
    count = std::min(count, kTargets);
    GpuContext::Attachment colors[kTargets];
    for (unsigned i = 0; i < kTargets; ++i) {
        GpuRenderTargetView* view = i < count && targets ? targets[i] : nullptr;
        targets_[i] = view ? std::static_pointer_cast<GpuRenderTargetView>(view->shared_from_this()) : nullptr;
        if (view) {
            colors[i] = {view->Serial(), view->Texture()->GlName()};
            // As Direct3D does: a texture bound for output is no longer readable.
            UnbindTexturesOf(view->Texture());
        }
    }
    targetCount_ = count;
    depthView_ = depth ? std::static_pointer_cast<GpuDepthStencilView>(depth->shared_from_this()) : nullptr;
    GpuContext::Attachment depthAttachment;
    if (depth) {
        depthAttachment = {depth->Serial(), depth->Texture()->GlName()};
        UnbindTexturesOf(depth->Texture());
    }
    bool any = depth != nullptr;
    for (unsigned i = 0; i < count; ++i) any = any || colors[i].texture != 0;
    framebuffer_ = any ? context_->Framebuffer(colors, count, depthAttachment) : 0;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
}

void GpuDevice::OMSetDepthStencilState(GpuDepthStencilState* state, unsigned stencilRef) {
    depthStencil_ = state ? std::make_shared<GpuDepthStencilState>(*state) : nullptr;
    stencilRef_ = stencilRef;
    ApplyDepthStencil();
}

void GpuDevice::ApplyDepthStencil() {
    const GpuDepthStencilDesc d = depthStencil_ ? depthStencil_->desc : GpuDepthStencilDesc{};
    if (d.depthEnable)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    glDepthMask(d.depthWriteAll ? GL_TRUE : GL_FALSE);
    glDepthFunc(GlComparison(d.depthFunc));
    if (d.stencilEnable)
        glEnable(GL_STENCIL_TEST);
    else
        glDisable(GL_STENCIL_TEST);
    const GLint ref = static_cast<GLint>(stencilRef_);
    glStencilFuncSeparate(GL_FRONT, GlComparison(d.frontFace.func), ref, d.stencilReadMask);
    glStencilFuncSeparate(GL_BACK, GlComparison(d.backFace.func), ref, d.stencilReadMask);
    glStencilOpSeparate(GL_FRONT, GlStencilOp(d.frontFace.failOp), GlStencilOp(d.frontFace.depthFailOp),
                        GlStencilOp(d.frontFace.passOp));
    glStencilOpSeparate(GL_BACK, GlStencilOp(d.backFace.failOp), GlStencilOp(d.backFace.depthFailOp),
                        GlStencilOp(d.backFace.passOp));
    glStencilMask(d.stencilWriteMask);
}

void GpuDevice::OMSetBlendState(GpuBlendState* state, const float* blendFactor, std::uint32_t) {
    blend_ = state ? std::make_shared<GpuBlendState>(*state) : nullptr;
    blendFactor_ = blendFactor ? std::array<float, 4>{blendFactor[0], blendFactor[1], blendFactor[2], blendFactor[3]}
                               : std::array<float, 4>{1, 1, 1, 1};
    ApplyBlend();
}

void GpuDevice::ApplyBlend() {
    const GpuBlendDesc d = blend_ ? blend_->desc : GpuBlendDesc{};
    if (d.blendEnable)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    glBlendFuncSeparate(GlBlend(d.srcBlend), GlBlend(d.destBlend), GlBlend(d.srcBlendAlpha), GlBlend(d.destBlendAlpha));
    glBlendEquationSeparate(GlBlendOp(d.blendOp), GlBlendOp(d.blendOpAlpha));
    glColorMask(d.writeMask & 1 ? GL_TRUE : GL_FALSE, d.writeMask & 2 ? GL_TRUE : GL_FALSE,
                d.writeMask & 4 ? GL_TRUE : GL_FALSE, d.writeMask & 8 ? GL_TRUE : GL_FALSE);
    glBlendColor(blendFactor_[0], blendFactor_[1], blendFactor_[2], blendFactor_[3]);
}

void GpuDevice::RSSetState(GpuRasterizerState* state) {
    rasterizer_ = state ? std::make_shared<GpuRasterizerState>(*state) : nullptr;
    ApplyRasterizer();
}

void GpuDevice::ApplyRasterizer() {
    const GpuRasterizerDesc d = rasterizer_ ? rasterizer_->desc : GpuRasterizerDesc{};
    glPolygonMode(GL_FRONT_AND_BACK, d.fill == GpuFill::Wireframe ? GL_LINE : GL_FILL);
    if (d.cull == GpuCull::None) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(d.cull == GpuCull::Front ? GL_FRONT : GL_BACK);
    }
    // With the upper-left origin the winding seen on screen is Direct3D's.
    glFrontFace(d.frontCounterClockwise ? GL_CCW : GL_CW);
    if (d.depthBias != 0 || d.slopeScaledDepthBias != 0.0f) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glEnable(GL_POLYGON_OFFSET_LINE);
        glPolygonOffset(d.slopeScaledDepthBias, static_cast<float>(d.depthBias));
    } else {
        glDisable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_POLYGON_OFFSET_LINE);
    }
    if (d.depthClipEnable)
        glDisable(GL_DEPTH_CLAMP);
    else
        glEnable(GL_DEPTH_CLAMP);
    if (d.scissorEnable)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
}

void GpuDevice::RSSetViewports(unsigned count, const GpuViewport* viewports) {
    viewportCount_ = std::min<unsigned>(count, static_cast<unsigned>(viewports_.size()));
    for (unsigned i = 0; i < viewportCount_; ++i) {
        const GpuViewport& v = viewports[i];
        viewports_[i] = v;
        glViewportIndexedf(i, v.topLeftX, v.topLeftY, v.width, v.height);
        glDepthRangeIndexed(i, v.minDepth, v.maxDepth);
    }
}

unsigned GpuDevice::RSGetViewports(GpuViewport* viewports, unsigned max) const {
    const unsigned n = std::min(max, viewportCount_);
    for (unsigned i = 0; i < n && viewports; ++i) viewports[i] = viewports_[i];
    return viewportCount_;
}

void GpuDevice::PSSetShaderResources(unsigned startSlot, unsigned count, GpuShaderResourceView* const* views) {
    for (unsigned i = 0; i < count && startSlot + i < kUnits; ++i) {
        GpuShaderResourceView* view = views ? views[i] : nullptr;
        const unsigned unit = startSlot + i;
        textures_[unit] = view ? view->shared_from_this() : nullptr;
        if (view)
            glBindTextureUnit(unit, view->GlName());
        else
            glBindTextures(unit, 1, nullptr);
    }
}

void GpuDevice::BindTexture(unsigned unit, unsigned target, GpuShaderResourceView* view, unsigned sampler) {
    if (unit >= kUnits) return;
    // A view of another dimension than the shader reads is not bound.
    if (view && view->GlTarget() != target) view = nullptr;
    // Nor is a texture that is bound for output.
    if (view) {
        for (unsigned i = 0; i < targetCount_ && view; ++i)
            if (targets_[i] && targets_[i]->Texture() == view->Texture()) view = nullptr;
        if (view && depthView_ && depthView_->Texture() == view->Texture()) view = nullptr;
    }
    textures_[unit] = view ? view->shared_from_this() : nullptr;
    if (view)
        glBindTextureUnit(unit, view->GlName());
    else
        glBindTextures(unit, 1, nullptr);
    glBindSampler(unit, sampler);
}

void GpuDevice::BindConstantBuffer(unsigned slot, GpuBuffer* buffer) {
    if (slot >= kConstantBufferSlots || constantBuffers_[slot].get() == buffer) return;
    constantBuffers_[slot] = buffer ? buffer->shared_from_this() : nullptr;
    glBindBufferBase(GL_UNIFORM_BUFFER, slot, buffer ? buffer->GlName() : 0);
}

void GpuDevice::SOSetTargets(unsigned count, GpuBuffer* const* buffers, const std::uint32_t*) {
    GpuBuffer* buffer = count > 0 && buffers ? buffers[0] : nullptr;
    streamOut_ = buffer && buffer->TransformFeedback() ? buffer->shared_from_this() : nullptr;
}

void GpuDevice::ClearRenderTargetView(GpuRenderTargetView* target, const float color[4]) {
    if (!target || !target->Valid() || !color) return;
    for (unsigned i = 0; i < targetCount_ && framebuffer_; ++i) {
        if (targets_[i].get() != target) continue;
        // A bound target is cleared through its framebuffer, which the driver
        // can fold into the drawing that follows instead of writing the
        // texture on its own. Clears ignore the bound masks, as in Direct3D.
        glColorMaski(i, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        const bool scissor = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
        glClearNamedFramebufferfv(framebuffer_, GL_COLOR, static_cast<GLint>(i), color);
        if (scissor) glEnable(GL_SCISSOR_TEST);
        ApplyBlend();
        return;
    }
    glClearTexImage(target->Texture()->GlName(), 0, GL_RGBA, GL_FLOAT, color);
}

void GpuDevice::ClearDepthStencilView(GpuDepthStencilView* depth, std::uint32_t flags, float depthValue,
                                      std::uint8_t stencil) {
    if (!depth || !depth->Valid() || !(flags & (GpuClearDepth | GpuClearStencil))) return;
    GLuint fbo = framebuffer_;
    if (depthView_.get() != depth || !fbo) {
        GpuContext::Attachment attachment{depth->Serial(), depth->Texture()->GlName()};
        fbo = context_->Framebuffer(nullptr, 0, attachment);
    }
    // Clears ignore the bound masks, as in Direct3D.
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    const bool scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    const GLint s = stencil;
    if ((flags & GpuClearDepth) && (flags & GpuClearStencil))
        glClearNamedFramebufferfi(fbo, GL_DEPTH_STENCIL, 0, depthValue, s);
    else if (flags & GpuClearDepth)
        glClearNamedFramebufferfv(fbo, GL_DEPTH, 0, &depthValue);
    else
        glClearNamedFramebufferiv(fbo, GL_STENCIL, 0, &s);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    ApplyDepthStencil();
}

void GpuDevice::UseProgram(unsigned program, bool rasterizerDiscard, bool streamsOut, unsigned feedbackMode) {
    if (program != program_) glUseProgram(program);
    program_ = program;
    discard_ = rasterizerDiscard;
    streamsOut_ = streamsOut;
    feedbackMode_ = feedbackMode;
}

bool GpuDevice::PrepareDraw() {
    if (!program_ || topology_ == GpuTopology::Undefined) return false;
    GLuint vao = context_->EmptyVertexArray();
    if (layout_) {
        vao = layout_->VertexArray();
        const std::vector<unsigned>& slots = layout_->Slots();
        std::array<unsigned, kSlots> names{};
        std::array<std::uint32_t, kSlots> offsets{}, strides{};
        for (size_t i = 0; i < slots.size() && i < kSlots; ++i) {
            const unsigned slot = slots[i];
            if (slot >= kSlots) continue;
            const GpuBuffer* b = vertexBuffers_[slot].get();
            names[i] = b ? b->GlName() : 0;
            offsets[i] = offsets_[slot];
            strides[i] = strides_[slot];
        }
        layout_->Attach(std::min<size_t>(slots.size(), kSlots), names.data(), offsets.data(), strides.data());
    }
    glVertexArrayElementBuffer(vao, indexBuffer_ ? indexBuffer_->GlName() : 0);
    glBindVertexArray(vao);
    return true;
}

void GpuDevice::BeginStreamOut() {
    // Rasterisation is off only during the draws of a stream-out pass without
    // a pixel stage (it would discard clears too if left on).
    if (discard_) glEnable(GL_RASTERIZER_DISCARD);
    if (!streamOut_ || !streamsOut_) return;
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, streamOut_->TransformFeedback());
    glBeginTransformFeedback(feedbackMode_ == GpuEffectPass::kFeedbackFromTopology ? FeedbackModeOf(topology_)
                                                                                   : feedbackMode_);
}

void GpuDevice::EndStreamOut() {
    if (discard_) glDisable(GL_RASTERIZER_DISCARD);
    if (!streamOut_ || !streamsOut_) return;
    glEndTransformFeedback();
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
    streamOut_->MarkStreamedOut();
}

void GpuDevice::Draw(std::uint32_t vertexCount, std::uint32_t startVertex) {
    if (vertexCount == 0 || !PrepareDraw()) return;
    BeginStreamOut();
    glDrawArrays(GlTopology(topology_), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
    EndStreamOut();
}

void GpuDevice::DrawIndexed(std::uint32_t indexCount, std::uint32_t startIndex, std::int32_t baseVertex) {
    if (indexCount == 0 || !indexBuffer_ || !PrepareDraw()) return;
    const auto offset = static_cast<std::uintptr_t>(indexOffset_) + static_cast<std::uintptr_t>(startIndex) * 4;
    BeginStreamOut();
    glDrawElementsBaseVertex(GlTopology(topology_), static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT,
                             reinterpret_cast<const void*>(offset), baseVertex);
    EndStreamOut();
}

void GpuDevice::DrawInstanced(std::uint32_t vertexCountPerInstance, std::uint32_t instanceCount,
                              std::uint32_t startVertex, std::uint32_t startInstance) {
    if (vertexCountPerInstance == 0 || instanceCount == 0 || !PrepareDraw()) return;
    BeginStreamOut();
    glDrawArraysInstancedBaseInstance(GlTopology(topology_), static_cast<GLint>(startVertex),
                                      static_cast<GLsizei>(vertexCountPerInstance), static_cast<GLsizei>(instanceCount),
                                      startInstance);
    EndStreamOut();
}

void GpuDevice::DrawIndexedInstanced(std::uint32_t indexCountPerInstance, std::uint32_t instanceCount,
                                     std::uint32_t startIndex, std::int32_t baseVertex, std::uint32_t startInstance) {
    if (indexCountPerInstance == 0 || instanceCount == 0 || !indexBuffer_ || !PrepareDraw()) return;
    const auto offset = static_cast<std::uintptr_t>(indexOffset_) + static_cast<std::uintptr_t>(startIndex) * 4;
    BeginStreamOut();
    glDrawElementsInstancedBaseVertexBaseInstance(GlTopology(topology_), static_cast<GLsizei>(indexCountPerInstance),
                                                  GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset),
                                                  static_cast<GLsizei>(instanceCount), baseVertex, startInstance);
    EndStreamOut();
}

void GpuDevice::DrawAuto() {
    GpuBuffer* source = vertexBuffers_[0].get();
    // A buffer never written by stream-out holds no vertices yet.
    if (!source || !source->TransformFeedback() || !source->StreamedOut() || !PrepareDraw()) return;
    BeginStreamOut();
    glDrawTransformFeedback(GlTopology(topology_), source->TransformFeedback());
    EndStreamOut();
}

void GpuDevice::ClearState() {
    layout_.reset();
    for (auto& b : vertexBuffers_) b.reset();
    strides_.fill(0);
    offsets_.fill(0);
    indexBuffer_.reset();
    indexOffset_ = 0;
    topology_ = GpuTopology::Undefined;
    for (auto& t : targets_) t.reset();
    targetCount_ = 0;
    depthView_.reset();
    framebuffer_ = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    depthStencil_.reset();
    stencilRef_ = 0;
    ApplyDepthStencil();
    blend_.reset();
    blendFactor_ = {1, 1, 1, 1};
    ApplyBlend();
    rasterizer_.reset();
    ApplyRasterizer();
    viewportCount_ = 0;
    for (auto& t : textures_) t.reset();
    glBindTextures(0, kUnits, nullptr);
    glBindSamplers(0, kUnits, nullptr);
    for (unsigned slot = 0; slot < kConstantBufferSlots; ++slot) {
        constantBuffers_[slot].reset();
        glBindBufferBase(GL_UNIFORM_BUFFER, slot, 0);
    }
    streamOut_.reset();
    glUseProgram(0);
    program_ = 0;
    streamsOut_ = false;
    feedbackMode_ = 0;
    glDisable(GL_RASTERIZER_DISCARD);
    discard_ = false;
    glBindVertexArray(context_->EmptyVertexArray());
}

void GpuDevice::Flush() {
    glFlush();
}

unsigned GpuDevice::DrainErrors(std::string* first) {
    unsigned count = 0;
    for (GLenum e = glGetError(); e != GL_NO_ERROR && count < 1000; e = glGetError()) {
        if (count == 0 && first)
            *first = "GL error 0x" + [&] {
                char hex[16];
                std::snprintf(hex, sizeof hex, "%04X", e);
                return std::string(hex);
            }();
        ++count;
    }
    return count;
}

bool GpuCreateDeviceAndSwapChain(void* window, std::uint32_t width, std::uint32_t height,
                                 std::shared_ptr<GpuDevice>* device, std::unique_ptr<GpuSwapChain>* swapChain,
                                 std::string* error) {
    std::shared_ptr<GpuContext> context = GpuContext::Create(window, error);
    if (!context) return false;
    std::shared_ptr<GpuDevice> made = GpuDevice::Create(context);
    if (!made) return false;
    if (swapChain) *swapChain = std::make_unique<GpuSwapChain>(made, window, width, height);
    if (device) *device = std::move(made);
    return true;
}
