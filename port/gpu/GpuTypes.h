// Value types of the GPU device layer: formats, usages, bind flags, state
// descriptions, input elements, viewports. They keep Direct3D 10's meaning
// (depth 0..1, texture origin top-left, clockwise front faces by default) so
// render code reads like the renderer it ports; GpuDevice maps them onto
// OpenGL 4.5. Plain values, no ownership, any thread.
#pragma once
#include <cstdint>
#include <string>

enum class GpuFormat {
    Unknown,
    R8G8B8A8_UNORM,
    R8_UNORM,
    R32_FLOAT,
    R32G32_FLOAT,
    R32G32B32_FLOAT,
    R32G32B32A32_FLOAT,
    R32_UINT,
    R24G8_TYPELESS,         // depth-stencil texture readable by shaders
    D24_UNORM_S8_UINT,      // its depth-stencil view
    R24_UNORM_X8_TYPELESS,  // its shader view (reads depth)
    BC1_UNORM,              // DXT1
    BC2_UNORM,              // DXT3
    BC3_UNORM,              // DXT5
};

// Bytes of one texel (uncompressed) or of one 4x4 block (compressed).
std::uint32_t GpuFormatBytes(GpuFormat format);
bool GpuFormatIsCompressed(GpuFormat format);

enum class GpuUsage { Default, Immutable, Dynamic, Staging };

enum GpuBindFlags : std::uint32_t {
    GpuBindVertexBuffer = 0x1,
    GpuBindIndexBuffer = 0x2,
    GpuBindConstantBuffer = 0x4,
    GpuBindShaderResource = 0x8,
    GpuBindStreamOutput = 0x10,
    GpuBindRenderTarget = 0x20,
    GpuBindDepthStencil = 0x40,
};

enum GpuCpuAccessFlags : std::uint32_t { GpuCpuAccessWrite = 0x10000, GpuCpuAccessRead = 0x20000 };

enum GpuMiscFlags : std::uint32_t { GpuMiscTextureCube = 0x4 };

enum class GpuMap { Read, Write, ReadWrite, WriteDiscard, WriteNoOverwrite };

enum class GpuTopology { Undefined, PointList, LineList, LineStrip, TriangleList, TriangleStrip };

enum class GpuComparison { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class GpuStencilOp { Keep, Zero, Replace, IncrSat, DecrSat, Invert, Incr, Decr };
enum class GpuBlend {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColor,
    InvDestColor,
    SrcAlphaSat,
    BlendFactor,
    InvBlendFactor,
};
enum class GpuBlendOp { Add, Subtract, RevSubtract, Min, Max };
enum class GpuFill { Wireframe, Solid };
enum class GpuCull { None, Front, Back };
enum class GpuFilter { Point, Linear, Anisotropic };
enum class GpuAddress { Wrap, Mirror, Clamp, Border };

struct GpuStencilFaceDesc {
    GpuStencilOp failOp = GpuStencilOp::Keep;
    GpuStencilOp depthFailOp = GpuStencilOp::Keep;
    GpuStencilOp passOp = GpuStencilOp::Keep;
    GpuComparison func = GpuComparison::Always;
};

// Defaults are Direct3D's defaults (depth on, write all, LESS, stencil off).
struct GpuDepthStencilDesc {
    bool depthEnable = true;
    bool depthWriteAll = true;
    GpuComparison depthFunc = GpuComparison::Less;
    bool stencilEnable = false;
    std::uint8_t stencilReadMask = 0xFF;
    std::uint8_t stencilWriteMask = 0xFF;
    GpuStencilFaceDesc frontFace;
    GpuStencilFaceDesc backFace;
};

// Defaults are Direct3D's: blending off, ONE/ZERO/ADD, write all channels.
// One description applies to every render target.
struct GpuBlendDesc {
    bool blendEnable = false;
    GpuBlend srcBlend = GpuBlend::One;
    GpuBlend destBlend = GpuBlend::Zero;
    GpuBlendOp blendOp = GpuBlendOp::Add;
    GpuBlend srcBlendAlpha = GpuBlend::One;
    GpuBlend destBlendAlpha = GpuBlend::Zero;
    GpuBlendOp blendOpAlpha = GpuBlendOp::Add;
    std::uint8_t writeMask = 0xF;  // bit 0 red ... bit 3 alpha
};

// Defaults are Direct3D's: solid, cull back faces, clockwise faces are front.
struct GpuRasterizerDesc {
    GpuFill fill = GpuFill::Solid;
    GpuCull cull = GpuCull::Back;
    bool frontCounterClockwise = false;
    int depthBias = 0;
    float slopeScaledDepthBias = 0.0f;
    bool depthClipEnable = true;
    bool scissorEnable = false;
    bool multisampleEnable = false;
    bool antialiasedLineEnable = false;
};

// Immutable state objects: a description the device applies when bound.
struct GpuDepthStencilState {
    GpuDepthStencilDesc desc;
};
struct GpuBlendState {
    GpuBlendDesc desc;
};
struct GpuRasterizerState {
    GpuRasterizerDesc desc;
};

struct GpuSamplerDesc {
    GpuFilter filter = GpuFilter::Linear;
    GpuAddress address = GpuAddress::Wrap;
    unsigned maxAnisotropy = 1;
};

struct GpuViewport {
    float topLeftX = 0, topLeftY = 0;
    float width = 0, height = 0;
    float minDepth = 0, maxDepth = 1;
};

constexpr std::uint32_t GpuAppendAlignedElement = 0xFFFFFFFFu;
enum class GpuInputClass { PerVertex, PerInstance };

// One vertex input. `semantic` is the whole semantic text ("POSITION",
// "TEXCOORD0"); the vertex shader declares an input of exactly that name.
struct GpuInputElement {
    const char* semantic;
    GpuFormat format;
    std::uint32_t inputSlot = 0;
    std::uint32_t alignedByteOffset = GpuAppendAlignedElement;
    GpuInputClass inputClass = GpuInputClass::PerVertex;
    std::uint32_t instanceStepRate = 0;
};

struct GpuBufferDesc {
    std::uint32_t byteWidth = 0;
    GpuUsage usage = GpuUsage::Default;
    std::uint32_t bindFlags = 0;
    std::uint32_t cpuAccessFlags = 0;
};

enum class GpuTextureDimension { Texture1D, Texture2D };

struct GpuTextureDesc {
    GpuTextureDimension dimension = GpuTextureDimension::Texture2D;
    std::uint32_t width = 0, height = 1;
    std::uint32_t mipLevels = 1;  // 0: the full chain
    std::uint32_t arraySize = 1;  // 6 for a cube
    GpuFormat format = GpuFormat::R8G8B8A8_UNORM;
    GpuUsage usage = GpuUsage::Default;
    std::uint32_t bindFlags = GpuBindShaderResource;
    std::uint32_t cpuAccessFlags = 0;
    std::uint32_t miscFlags = 0;
};

// Initial data of one subresource; subresource index = slice * mipLevels + mip.
struct GpuSubresourceData {
    const void* data = nullptr;
    std::uint32_t rowPitch = 0;
    std::uint32_t slicePitch = 0;
};

struct GpuMappedSubresource {
    void* data = nullptr;
    std::uint32_t rowPitch = 0;
};

enum class GpuSrvDimension { Default, Texture1D, Texture2D, Texture2DArray, TextureCube };

// Zero-initialised fields mean "as the texture": its format, all mips, all slices.
struct GpuSrvDesc {
    GpuFormat format = GpuFormat::Unknown;
    GpuSrvDimension dimension = GpuSrvDimension::Default;
    std::uint32_t mostDetailedMip = 0;
    std::uint32_t mipLevels = 0;
    std::uint32_t firstArraySlice = 0;
    std::uint32_t arraySize = 0;
};

enum GpuClearFlags : std::uint32_t { GpuClearDepth = 0x1, GpuClearStencil = 0x2 };

// Result of loading a texture file.
enum class GpuLoadStatus { Ok, FileNotFound, Failed };
