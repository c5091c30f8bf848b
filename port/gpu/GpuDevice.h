// The GPU device: makes buffers, textures, views, states, input layouts and
// effects, and holds the pipeline state that draws use (Direct3D 10's device
// with its immediate context), on OpenGL 4.5. Bound objects are kept alive
// while bound, as Direct3D does. Made with the swap chain by
// GpuCreateDeviceAndSwapChain; owned by the GraphicsSystem and shared by the
// effects. Main thread only.
#pragma once
#include <array>
#include <memory>
#include <string>

#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDepthStencilView.h"
#include "port/gpu/GpuEffect.h"
#include "port/gpu/GpuImage.h"
#include "port/gpu/GpuInputLayout.h"
#include "port/gpu/GpuRenderTargetView.h"
#include "port/gpu/GpuShaderResourceView.h"
#include "port/gpu/GpuTexture.h"
#include "port/gpu/GpuTypes.h"

class GpuContext;

// How a texture file becomes a texture.
struct GpuImageLoadInfo {
    bool generateMips = true;  // a single-level uncompressed image gets its full chain
    bool cube = false;         // the file must hold a cube (six faces)
    bool forceRGBA8 = false;   // decompress to R8G8B8A8_UNORM
};

class GpuDevice : public std::enable_shared_from_this<GpuDevice> {
public:
    // Constant buffers an effect may bind at once.
    static constexpr unsigned kConstantBufferSlots = 8;

    static std::shared_ptr<GpuDevice> Create(std::shared_ptr<GpuContext> context);
    ~GpuDevice();
    GpuDevice(const GpuDevice&) = delete;
    GpuDevice& operator=(const GpuDevice&) = delete;

    const std::shared_ptr<GpuContext>& Context() const { return context_; }
    bool HasS3tc() const;
    // The largest side a render target may have here (texture, renderbuffer,
    // framebuffer and viewport limits, the smallest of them).
    std::uint32_t MaxRenderTargetSide() const;

    // Objects. A failed creation gives null (or an object whose Valid() is false).
    std::shared_ptr<GpuBuffer> CreateBuffer(const GpuBufferDesc& desc, const void* initialData = nullptr);
    std::shared_ptr<GpuTexture> CreateTexture(const GpuTextureDesc& desc,
                                              const GpuSubresourceData* initialData = nullptr);
    std::shared_ptr<GpuShaderResourceView> CreateShaderResourceView(std::shared_ptr<GpuTexture> texture,
                                                                    const GpuSrvDesc* desc = nullptr);
    std::shared_ptr<GpuRenderTargetView> CreateRenderTargetView(std::shared_ptr<GpuTexture> texture);
    std::shared_ptr<GpuDepthStencilView> CreateDepthStencilView(std::shared_ptr<GpuTexture> texture);
    std::shared_ptr<GpuDepthStencilState> CreateDepthStencilState(const GpuDepthStencilDesc& desc);
    std::shared_ptr<GpuBlendState> CreateBlendState(const GpuBlendDesc& desc);
    std::shared_ptr<GpuRasterizerState> CreateRasterizerState(const GpuRasterizerDesc& desc);
    // `signature`: the pass whose vertex inputs the layout must feed (may be null).
    std::shared_ptr<GpuInputLayout> CreateInputLayout(const GpuInputElement* elements, unsigned count,
                                                      const GpuEffectPass* signature, std::string* error = nullptr);
    std::unique_ptr<GpuEffect> CreateEffect(const GpuEffectDesc& desc, std::string* errors);

    // Texture files (PNG, JPG, TGA, BMP, DDS). FileNotFound when no file matches
    // the path (letter case folded), Failed for anything else that goes wrong.
    std::shared_ptr<GpuTexture> CreateTextureFromImage(const GpuImage& image, const GpuImageLoadInfo& info);
    GpuLoadStatus CreateTextureFromFile(const std::string& path, const GpuImageLoadInfo& info,
                                        std::shared_ptr<GpuTexture>* texture, std::string* error = nullptr);
    GpuLoadStatus CreateShaderResourceViewFromFile(const std::string& path,
                                                   std::shared_ptr<GpuShaderResourceView>* view,
                                                   std::string* error = nullptr);

    // Pipeline state.
    void IASetInputLayout(GpuInputLayout* layout);
    void IASetVertexBuffers(unsigned startSlot, unsigned count, GpuBuffer* const* buffers, const std::uint32_t* strides,
                            const std::uint32_t* offsets);
    void IASetIndexBuffer(GpuBuffer* buffer, GpuFormat format, std::uint32_t offset);
    void IASetPrimitiveTopology(GpuTopology topology);
    GpuTopology IAGetPrimitiveTopology() const { return topology_; }
    void OMSetRenderTargets(unsigned count, GpuRenderTargetView* const* targets, GpuDepthStencilView* depth);
    // Null states are Direct3D's defaults; a null blend factor is (1, 1, 1, 1).
    void OMSetDepthStencilState(GpuDepthStencilState* state, unsigned stencilRef);
    void OMSetBlendState(GpuBlendState* state, const float* blendFactor, std::uint32_t sampleMask);
    void RSSetState(GpuRasterizerState* state);
    GpuRasterizerState* RSGetState() const { return rasterizer_.get(); }
    void RSSetViewports(unsigned count, const GpuViewport* viewports);
    // Copies up to `max` viewports; returns how many are set.
    unsigned RSGetViewports(GpuViewport* viewports, unsigned max) const;
    // Binds views to texture units directly (null unbinds); effects bind their own.
    void PSSetShaderResources(unsigned startSlot, unsigned count, GpuShaderResourceView* const* views);
    void SOSetTargets(unsigned count, GpuBuffer* const* buffers, const std::uint32_t* offsets);

    // Clears ignore the write masks and the scissor. Clearing targets right
    // after binding them, before drawing into them, costs least.
    void ClearRenderTargetView(GpuRenderTargetView* target, const float color[4]);
    void ClearDepthStencilView(GpuDepthStencilView* depth, std::uint32_t flags, float depthValue, std::uint8_t stencil);

    // Draws use the program of the last applied effect pass; without one they do nothing.
    void Draw(std::uint32_t vertexCount, std::uint32_t startVertex);
    void DrawIndexed(std::uint32_t indexCount, std::uint32_t startIndex, std::int32_t baseVertex);
    void DrawInstanced(std::uint32_t vertexCountPerInstance, std::uint32_t instanceCount, std::uint32_t startVertex,
                       std::uint32_t startInstance);
    void DrawIndexedInstanced(std::uint32_t indexCountPerInstance, std::uint32_t instanceCount,
                              std::uint32_t startIndex, std::int32_t baseVertex, std::uint32_t startInstance);
    // Draws as many vertices as the last stream-out wrote into the buffer in slot 0.
    void DrawAuto();

    // Unbinds everything and returns every state to its default.
    void ClearState();
    void Flush();

    // For effect passes.
    void UseProgram(unsigned program, bool rasterizerDiscard, bool streamsOut, unsigned feedbackMode);
    void BindTexture(unsigned unit, unsigned target, GpuShaderResourceView* view, unsigned sampler);
    // The buffer a constant-buffer slot reads (null unbinds); kept alive while bound.
    void BindConstantBuffer(unsigned slot, GpuBuffer* buffer);

    // GL errors raised since the last call (0 when none); the first one's text.
    unsigned DrainErrors(std::string* first = nullptr);

private:
    explicit GpuDevice(std::shared_ptr<GpuContext> context);
    void ApplyDepthStencil();
    void ApplyBlend();
    void ApplyRasterizer();
    bool PrepareDraw();
    void BeginStreamOut();
    void EndStreamOut();
    void UnbindTexturesOf(const GpuTexture* texture);

    static constexpr unsigned kSlots = 16;
    static constexpr unsigned kUnits = 32;
    static constexpr unsigned kTargets = 8;

    std::shared_ptr<GpuContext> context_;
    std::shared_ptr<GpuInputLayout> layout_;
    std::array<std::shared_ptr<GpuBuffer>, kSlots> vertexBuffers_;
    std::array<std::uint32_t, kSlots> strides_{};
    std::array<std::uint32_t, kSlots> offsets_{};
    std::shared_ptr<GpuBuffer> indexBuffer_;
    std::uint32_t indexOffset_ = 0;
    GpuTopology topology_ = GpuTopology::Undefined;
    std::array<std::shared_ptr<GpuRenderTargetView>, kTargets> targets_;
    unsigned targetCount_ = 0;
    std::shared_ptr<GpuDepthStencilView> depthView_;
    unsigned framebuffer_ = 0;  // of the bound targets (0: none)
    std::shared_ptr<GpuDepthStencilState> depthStencil_;
    unsigned stencilRef_ = 0;
    std::shared_ptr<GpuBlendState> blend_;
    std::array<float, 4> blendFactor_{1, 1, 1, 1};
    std::shared_ptr<GpuRasterizerState> rasterizer_;
    std::array<GpuViewport, 16> viewports_{};
    unsigned viewportCount_ = 0;
    std::array<std::shared_ptr<GpuShaderResourceView>, kUnits> textures_;
    std::array<std::shared_ptr<GpuBuffer>, kConstantBufferSlots> constantBuffers_;
    std::shared_ptr<GpuBuffer> streamOut_;
    unsigned program_ = 0;
    bool streamsOut_ = false;
    unsigned feedbackMode_ = 0;
    bool discard_ = false;
};

// Makes the GL context on `window` (an SDL_Window*), the device and the
// off-screen back buffer of width x height. False with the reason in `error`.
class GpuSwapChain;
bool GpuCreateDeviceAndSwapChain(void* window, std::uint32_t width, std::uint32_t height,
                                 std::shared_ptr<GpuDevice>* device, std::unique_ptr<GpuSwapChain>* swapChain,
                                 std::string* error);
