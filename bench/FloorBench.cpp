// The floor under the frame benchmark: what FrameBench's reference scene costs
// a program that does nothing but draw it. The same window, targets and
// formats, the same passes in the same order with the same states, the same
// meshes (the 64 spheres and the floor, the 20 x 50 light sphere instanced per
// visible light with the lights' view records in a constant buffer filled once
// a frame, the sky cube, the text quads, 10 of them rebuilt per frame),
// the same textures, culling, clears only where a pass does not write every
// pixel, the copy to the window, the swap and the read-back; but shaders that
// only read their inputs (as many texture reads as the frame's, of the same
// kinds) and compute nothing, and no engine around them.
// frame_ms / floor_ms is the renderer's overhead over the least any renderer
// of this frame pays on this machine. Arguments as BM_Frame's (width, height,
// 1 for the reference scene or 0 for an empty one); the same counters.
// BM_FloorPasses times the floor's steps as BM_FramePasses times the frame's,
// under the same counter names, so each step's overhead reads off one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchFolders.h"
#include "bench/PassTimer.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/window/PortWindow.h"
#include "render/camera/FrustumCuller.h"
#include "render/frame/LightPass.h"
#include "render/frame/RenderResources.h"
#include "render/frame/RenderTargets.h"
#include "render/mesh/MeshGeometry.h"
#include "render/mesh/VertexFormat.h"

namespace {

double CpuMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

FilePath AssetFolder(const std::string& folder, const std::string& extension) {
    return BenchFolder(BenchAssetRoot(), folder, extension);
}

const char* kHeader = R"(
vec4 Project(vec3 position, mat4 m) { return vec4(position, 1.0) * m; }
)";

// Each pixel stage reads what the frame's reads, once, and writes it.
const char* kGeometryVs = R"(
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
out vec3 vNormal;
out vec2 vUv;
void main() {
    gl_Position = Project(POSITION, gWorldViewProj);
    vNormal = NORMAL;
    vUv = TEXCOORD0;
}
)";
const char* kGeometryPs = R"(
in vec3 vNormal;
in vec2 vUv;
layout(location = 0) out vec4 outNormal;
layout(location = 1) out vec4 outDiffuseSpec;
layout(location = 2) out vec4 outGlow;
void main() {
    outNormal = vec4(vNormal, 1.0);
    outDiffuseSpec = vec4(texture(DiffuseMap, vUv).rgb, texture(SpecularMap, vUv).r);
    outGlow = texture(GlowMap, vUv);
}
)";
const char* kLightVs = R"(
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
in vec3 TEXCOORD1;
in vec4 TEXCOORD2;
flat out int vLightIndex;
void main() {
    gl_Position = Project(POSITION * (TEXCOORD2.w * 1.02) + TEXCOORD1, gViewProjection);
    vLightIndex = gl_InstanceID;
}
)";
// The frame's reads: the light's two records by its instance, two texels.
const char* kLightPs = R"(
layout(early_fragment_tests) in;
flat in int vLightIndex;
out vec4 outLight;
void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    outLight = (pointLights[2 * vLightIndex] + pointLights[2 * vLightIndex + 1]) *
               (texelFetch(LightPositionIn, pixel, 0) + texelFetch(LightNormalIn, pixel, 0));
}
)";
// The per-pixel inputs of the lights and the occlusion: the frame's reads,
// written to both targets.
const char* kLightInputsPs = R"(
layout(location = 0) out vec4 outPosition;
layout(location = 1) out vec4 outNormal;
void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    outPosition = vec4(texelFetch(DepthIn, pixel, 0).r);
    outNormal = vec4(texelFetch(NormalsIn, pixel, 0).rgb, texelFetch(DiffuseSpecIn, pixel, 0).a);
}
)";
const char* kQuadVs = R"(
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
void main() { gl_Position = vec4(POSITION.xy, 0.0, 1.0); }
)";
// The blur's seven taps: its own texel and three filtered pairs along a row.
const char* kBlurPs = R"(
out vec4 colour;
void main() {
    vec2 uv = gl_FragCoord.xy / vec2(textureSize(StagedBlur, 0)), step = vec2(1.0 / float(textureSize(StagedBlur, 0).x), 0.0);
    colour = texelFetch(StagedBlur, ivec2(gl_FragCoord.xy), 0);
    for (int i = 1; i < 4; ++i)
        colour += texture(StagedBlur, uv + step * 1.5 * float(i)) + texture(StagedBlur, uv - step * 1.5 * float(i));
}
)";
// The occlusion's quad lies at the far end of the depth range and is tested
// against the depth buffer (the frame's state): only pixels with a surface
// are shaded. Its reads: position and normal (the per-pixel inputs) and noise
// at the pixel, then the position at twelve probe pixels around it.
const char* kFarQuadVs = R"(
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
void main() { gl_Position = vec4(POSITION.xy, 1.0, 1.0); }
)";
const char* kOcclusionPs = R"(
layout(early_fragment_tests) in;
out vec4 colour;
void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy), size = textureSize(LightPositionIn, 0);
    vec4 sum = texelFetch(LightPositionIn, pixel, 0) + texelFetch(LightNormalIn, pixel, 0) +
               texelFetch(RandomNormals, pixel % textureSize(RandomNormals, 0), 0);
    for (int i = 0; i < 12; ++i) {
        ivec2 probe = clamp(pixel + ivec2(i * 3 - 18, (i % 4) * 5 - 8), ivec2(0), size - 1);
        sum += texelFetch(LightPositionIn, probe, 0);
    }
    colour = sum;
}
)";
const char* kCombinePs = R"(
out vec4 colour;
void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    colour = texelFetch(DiffuseSpecIn, pixel, 0) + texelFetch(NormalsIn, pixel, 0) + texelFetch(SSAOIn, pixel, 0) +
             texelFetch(LightIn, pixel, 0) + texelFetch(GlowIn, pixel, 0);
}
)";
const char* kSkyVs = R"(
in vec3 POSITION;
out vec3 vDirection;
void main() {
    gl_Position = (vec4(POSITION, 0.0) * gViewProjection).xyww;
    vDirection = POSITION;
}
)";
const char* kSkyPs = R"(
in vec3 vDirection;
out vec4 colour;
void main() { colour = texture(skyBox, vDirection); }
)";
const char* kTextVs = R"(
in vec3 POSITION;
in vec3 NORMAL;
in vec2 TEXCOORD0;
out vec2 vUv;
flat out vec3 vColour;
void main() {
    gl_Position = Project(POSITION, gWorldViewProj);
    vUv = TEXCOORD0;
    vColour = NORMAL;
}
)";
const char* kTextPs = R"(
in vec2 vUv;
flat in vec3 vColour;
out vec4 colour;
void main() { colour = vec4(vColour, texture(guiDiffuseMap, vUv).a); }
)";

GpuEffectVariableDesc Texture(const char* name, GpuFilter filter, GpuAddress address,
                              GpuEffectVarType type = GpuEffectVarType::Texture2D) {
    GpuEffectVariableDesc v{name, type, {}, {}};
    v.sampler.filter = filter;
    v.sampler.address = address;
    return v;
}

GpuEffectPassDesc Pass(const char* vs, const char* ps, GpuCull cull, bool depth) {
    GpuEffectPassDesc pass;
    pass.vertexShader = vs;
    pass.pixelShader = ps;
    pass.rasterizer = GpuRasterizerDesc{};
    pass.rasterizer->cull = cull;
    pass.blend = GpuBlendDesc{};
    if (!depth) {
        pass.depthStencil = GpuDepthStencilDesc{};
        pass.depthStencil->depthEnable = false;
        pass.depthStencil->depthWriteAll = false;
    }
    return pass;
}

GpuEffectDesc FloorEffect() {
    GpuEffectDesc d;
    d.name = "Floor";
    d.header = kHeader;
    for (const char* matrix : {"gWorldViewProj", "gViewProjection"})
        d.variables.push_back({matrix, GpuEffectVarType::Float4x4, {}, {}});
    for (const char* map : {"DiffuseMap", "NormalMap", "GlowMap", "SpecularMap"})
        d.variables.push_back(Texture(map, GpuFilter::Anisotropic, GpuAddress::Wrap));
    for (const char* target :
         {"DiffuseSpecIn", "NormalsIn", "DepthIn", "LightIn", "SSAOIn", "GlowIn", "LightPositionIn", "LightNormalIn"})
        d.variables.push_back(Texture(target, GpuFilter::Point, GpuAddress::Clamp));
    d.variables.push_back(Texture("StagedBlur", GpuFilter::Linear, GpuAddress::Clamp));
    d.variables.push_back(Texture("RandomNormals", GpuFilter::Point, GpuAddress::Wrap));
    d.variables.push_back(Texture("skyBox", GpuFilter::Linear, GpuAddress::Clamp, GpuEffectVarType::TextureCube));
    d.variables.push_back(Texture("guiDiffuseMap", GpuFilter::Linear, GpuAddress::Wrap));
    GpuEffectVariableDesc lights{"PointLights", GpuEffectVarType::ConstantBuffer, {}, {}};
    lights.members = "vec4 pointLights[4000];";
    d.variables.push_back(lights);

    d.techniques.push_back({"Geometry", {Pass(kGeometryVs, kGeometryPs, GpuCull::Back, true)}});
    d.techniques.push_back({"LightInputs", {Pass(kQuadVs, kLightInputsPs, GpuCull::None, false)}});
    // The frame's light states: back faces tested against the unwritten depth buffer.
    GpuEffectPassDesc light = Pass(kLightVs, kLightPs, GpuCull::Front, false);
    light.depthStencil->depthEnable = true;
    light.depthStencil->depthFunc = GpuComparison::GreaterEqual;
    light.blend->blendEnable = true;
    light.blend->destBlend = light.blend->destBlendAlpha = GpuBlend::One;
    d.techniques.push_back({"Light", {light}});
    d.techniques.push_back({"Blur", {Pass(kQuadVs, kBlurPs, GpuCull::None, false)}});
    GpuEffectPassDesc occlusion = Pass(kFarQuadVs, kOcclusionPs, GpuCull::None, true);
    occlusion.depthStencil = GpuDepthStencilDesc{};
    occlusion.depthStencil->depthWriteAll = false;
    occlusion.depthStencil->depthFunc = GpuComparison::Greater;
    d.techniques.push_back({"Occlusion", {occlusion}});
    d.techniques.push_back({"Combine", {Pass(kQuadVs, kCombinePs, GpuCull::None, false)}});
    GpuEffectPassDesc sky = Pass(kSkyVs, kSkyPs, GpuCull::None, true);
    sky.depthStencil = GpuDepthStencilDesc{};
    sky.depthStencil->depthWriteAll = false;
    sky.depthStencil->depthFunc = GpuComparison::LessEqual;
    d.techniques.push_back({"Sky", {sky}});
    GpuEffectPassDesc text = Pass(kTextVs, kTextPs, GpuCull::None, false);
    text.blend->blendEnable = true;
    text.blend->srcBlend = GpuBlend::SrcAlpha;
    text.blend->destBlend = text.blend->destBlendAlpha = GpuBlend::InvSrcAlpha;
    d.techniques.push_back({"Text", {text}});
    return d;
}

// Vertex and index buffers of one mesh.
struct Mesh {
    std::shared_ptr<GpuBuffer> vertices;
    std::shared_ptr<GpuBuffer> indices;
    u32 indexCount = 0;
    D3DXVECTOR3 center;
    D3DXVECTOR3 extent;
};

struct Placed {
    const Mesh* mesh;
    D3DXMATRIX world;
    D3DXVECTOR3 centre;
    float radius;
    GpuShaderResourceView* diffuse;
    GpuShaderResourceView* glow;
};

// One screen text: its glyph quads (6 vertices of 32 bytes each per
// character), rebuilt on the CPU and uploaded when the text changes.
struct Text {
    std::shared_ptr<GpuBuffer> vertices;
    float x, y;
    u32 characters = 0;
};

class FloorScene {
public:
    FloorScene(int width, int height, bool populated) : width_(width), height_(height) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
        std::string error;
        window_ = PortWindow::Create("floor bench", width, height, &error);
        if (!window_ || !GpuCreateDeviceAndSwapChain(window_->NativeWindow(), static_cast<u32>(width),
                                                     static_cast<u32>(height), &device_, &swapChain_, &error)) {
            std::fprintf(stderr, "no device: %s\n", error.c_str());
            std::exit(1);
        }
        GpuDevice& device = *device_;
        effect_ = device.CreateEffect(FloorEffect(), &error);
        if (!effect_) {
            std::fprintf(stderr, "floor effect: %s\n", error.c_str());
            std::exit(1);
        }
        resources_ = std::make_unique<RenderResources>(AssetFolder("texture", ".dds"), AssetFolder("particle", ".dds"));
        resources_->SetDevice(device_);
        targets_.Create(device, *swapChain_, static_cast<u32>(width), static_cast<u32>(height));
        GpuViewport viewport;
        viewport.width = static_cast<float>(width);
        viewport.height = static_cast<float>(height);
        device.RSSetViewports(1, &viewport);

        const VertexFormat& geometry = GetVertexFormat(kGeometryFormatRow);
        const VertexFormat& light = GetVertexFormat(kInstancedLightFormatRow);
        geometryLayout_ = device.CreateInputLayout(geometry.elements, geometry.elementCount, nullptr);
        lightLayout_ = device.CreateInputLayout(light.elements, light.elementCount, nullptr);
        MeshGeometry shape;
        MeshGeometry::Sphere(20, 50, 1, 1, 1, nullptr, shape);
        lightSphere_ = Upload(shape);
        MeshGeometry::Quad(1, 1, shape);
        quad_ = Upload(shape);
        GpuBufferDesc instances;
        instances.byteWidth = 2000 * sizeof(LightInstance);
        instances.usage = GpuUsage::Dynamic;
        instances.bindFlags = GpuBindVertexBuffer;
        instances.cpuAccessFlags = GpuCpuAccessWrite;
        instanceBuffer_ = device.CreateBuffer(instances);
        instances.byteWidth = 2000 * sizeof(PointLightView);
        instances.bindFlags = GpuBindConstantBuffer;
        lightViewBuffer_ = device.CreateBuffer(instances);
        Var("PointLights")->SetConstantBuffer(lightViewBuffer_.get());
        Var("RandomNormals")->SetResource(resources_->GetTexture("randnormals"));

        const D3DXVECTOR3 eye(0, 14, -30), at(0, 0, 10), up(0, 1, 0);
        D3DXMATRIX projection;
        D3DXMATRIX& view = view_;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 0.785398185f, static_cast<float>(width) / static_cast<float>(height),
                                   1.0f, 2000.0f);
        viewProjection_ = view * projection;
        frustum_.Build(viewProjection_);
        D3DXMatrixOrthoLH(&screenProjection_, static_cast<float>(width), static_cast<float>(height), 1.0f, 2000.0f);
        if (populated) Build();
    }

    ~FloorScene() {
        device_->ClearState();
        effect_.reset();
        resources_.reset();
    }

    void Frame(bool finish) {
        ++frame_;
        for (size_t i = 0; i < 10 && i < texts_.size(); ++i)
            FillText(texts_[i], "frame " + std::to_string(frame_ + static_cast<int>(i)));
        Record(FramePass::Geometry);
        DrawGeometry();
        Record(FramePass::Lighting);
        DrawLights();
        Record(FramePass::GlowBlur);
        Blur(targets_.glow, targets_.stagedBlur);
        Blur(targets_.stagedBlur, targets_.glow);
        Record(FramePass::AmbientOcclusion);
        DrawOcclusion();
        Record(FramePass::AmbientOcclusionBlur);
        Blur(targets_.ssao, targets_.stagedBlur);
        Blur(targets_.stagedBlur, targets_.ssao);
        Record(FramePass::Combine);
        FullScreen("Combine", targets_.backBuffer.get());
        if (sky_) {
            Record(FramePass::Skybox);
            DrawSky();
        }
        Record(FramePass::Texts);
        DrawTexts();
        Record(FramePass::Panels);
        device_->PSSetShaderResources(0, 6, unbound_);
        swapChain_->CopyToWindow();
        Record(FramePass::Present);
        swapChain_->Present();
        if (finish) ReadBack();
    }
    void ReadBack() { swapChain_->GetBuffer()->ReadBack(0, &pixels_); }

    // Called as each step of Frame starts, as GraphicsSystem::SetFrameRecorder's.
    void SetRecorder(std::function<void(FramePass)> recorder) { recorder_ = std::move(recorder); }
    const std::shared_ptr<GpuContext>& Context() const { return device_->Context(); }
    void Flush() const { device_->Flush(); }

    u32 Triangles() const { return triangles_; }

private:
    void Record(FramePass pass) const {
        if (recorder_) recorder_(pass);
    }
    GpuEffectVariable* Var(const char* name) const { return effect_->GetVariableByName(name); }
    void Apply(const char* technique) const { effect_->GetTechniqueByName(technique)->GetPassByIndex(0)->Apply(0); }

    Mesh Upload(const MeshGeometry& shape) {
        Mesh mesh;
        GpuBufferDesc desc;
        desc.usage = GpuUsage::Immutable;
        desc.bindFlags = GpuBindVertexBuffer;
        desc.byteWidth = static_cast<u32>(shape.mesh.vertices.size() * sizeof(ModelVertex));
        mesh.vertices = device_->CreateBuffer(desc, shape.mesh.vertices.data());
        desc.bindFlags = GpuBindIndexBuffer;
        desc.byteWidth = static_cast<u32>(shape.mesh.indices.size() * sizeof(u32));
        mesh.indices = device_->CreateBuffer(desc, shape.mesh.indices.data());
        mesh.indexCount = shape.mesh.IndexCount();
        mesh.center = shape.center;
        mesh.extent = shape.extent;
        return mesh;
    }

    void Place(const Mesh& mesh, const D3DXVECTOR3& position, float scale, GpuShaderResourceView* diffuse,
               GpuShaderResourceView* glow) {
        Transform transform;
        transform.position = position;
        transform.scale = scale;
        transform.RebuildMatrices();
        Placed placed{&mesh, transform.GetWorldMatrix(), {}, 0.0f, diffuse, glow};
        FrustumCuller::ModelSphere(transform, mesh.center, mesh.extent, &placed.centre, &placed.radius);
        models_.push_back(placed);
        triangles_ += mesh.indexCount / 3;
    }

    // The reference scene of FrameBench, placed the same way.
    void Build() {
        RenderResources& r = *resources_;
        MeshGeometry shape;
        MeshGeometry::Sphere(20, 20, 1, 1, 1, nullptr, shape);
        ball_ = Upload(shape);
        MeshGeometry::Sphere(34, 34, 40, 0.2f, 40, nullptr, shape);
        ground_ = Upload(shape);
        MeshGeometry::SkyboxCube(shape);
        skyCube_ = Upload(shape);
        GpuShaderResourceView* black = r.GetSolidColorTexture(0, 0, 0, 1);
        for (int i = 0; i < 64; ++i) {
            const float hue = static_cast<float>(i % 8) / 8.0f;
            Place(ball_, D3DXVECTOR3(-14.0f + 4.0f * static_cast<float>(i % 8), 1.2f, 4.0f * static_cast<float>(i / 8)),
                  1.2f, r.GetSolidColorTexture(0.4f + 0.6f * hue, 0.5f, 1.0f - 0.6f * hue, 1),
                  i % 9 == 0 ? r.GetSolidColorTexture(0.9f, 0.6f, 0.2f, 1) : black);
        }
        Place(ground_, D3DXVECTOR3(0, -0.3f, 14), 1.0f, r.GetSolidColorTexture(0.6f, 0.6f, 0.55f, 1), black);
        normal_ = r.GetSolidColorTexture(0, 0, 1, 1);
        specular_ = r.GetSolidColorTexture(1, 1, 1, 1);
        sky_ = r.LoadTextureFile(AssetFolder("skybox", "").GetFullPath("Sky.dds"));
        atlas_ = r.CreateTextureView(r.CreateDynamicTexture(512, 512));

        for (int i = 0; i < 100; ++i) {
            LightInstance light{};
            light.position[0] = -18.0f + 4.0f * static_cast<float>(i % 10);
            light.position[1] = 0.5f;
            light.position[2] = -2.0f + 3.6f * static_cast<float>(i / 10);
            light.colour[0] = 0.3f + 0.07f * static_cast<float>(i % 10);
            light.colour[1] = 0.5f;
            light.colour[2] = 0.9f - 0.06f * static_cast<float>(i % 10);
            light.radius = 4.0f;
            lights_.push_back(light);
        }
        for (int i = 0; i < 50; ++i) {
            Text text;
            text.x = -500.0f + 200.0f * static_cast<float>(i % 5);
            text.y = 360.0f - 14.0f * static_cast<float>(i / 5);
            texts_.push_back(text);
            FillText(texts_.back(), "text number " + std::to_string(i));
        }
    }

    // Glyph quads 6 x 10 pixels, in screen space (the origin at the centre).
    void FillText(Text& text, const std::string& characters) {
        std::vector<ModelVertex> quads;
        float x = text.x;
        for (size_t c = 0; c < characters.size(); ++c, x += 6.0f) {
            const float u = static_cast<float>(characters[c] % 16) / 16.0f,
                        v = static_cast<float>(characters[c] / 16) / 16.0f;
            const D3DXVECTOR3 red(1, 0, 0);
            const ModelVertex tl{{x, text.y, 10}, red, {u, v}}, tr{{x + 6, text.y, 10}, red, {u + 0.0625f, v}},
                bl{{x, text.y - 10, 10}, red, {u, v + 0.0625f}},
                br{{x + 6, text.y - 10, 10}, red, {u + 0.0625f, v + 0.0625f}};
            quads.insert(quads.end(), {br, bl, tl, tl, tr, br});
        }
        text.characters = static_cast<u32>(characters.size());
        GpuBufferDesc desc;
        desc.usage = GpuUsage::Immutable;
        desc.bindFlags = GpuBindVertexBuffer;
        desc.byteWidth = static_cast<u32>(quads.size() * sizeof(ModelVertex));
        text.vertices = device_->CreateBuffer(desc, quads.data());
    }

    void Bind(const Mesh& mesh, GpuInputLayout* layout) {
        GpuBuffer* vertices = mesh.vertices.get();
        const u32 stride = sizeof(ModelVertex), offset = 0;
        device_->IASetInputLayout(layout);
        device_->IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
        device_->IASetIndexBuffer(mesh.indices.get(), GpuFormat::R32_UINT, 0);
        device_->IASetPrimitiveTopology(GpuTopology::TriangleList);
    }

    void DrawGeometry() {
        GpuDevice& device = *device_;
        device.PSSetShaderResources(0, 6, unbound_);
        GpuRenderTargetView* gbuffer[3] = {targets_.normals.target.get(), targets_.diffuseSpec.target.get(),
                                           targets_.glow.target.get()};
        device.OMSetRenderTargets(3, gbuffer, targets_.depthStencil.get());
        for (GpuRenderTargetView* target : gbuffer) device.ClearRenderTargetView(target, kBlack);
        device.ClearDepthStencilView(targets_.depthStencil.get(), GpuClearDepth | GpuClearStencil, 1.0f, 0);
        device.OMSetDepthStencilState(targets_.depthOnState.get(), 0);
        Var("NormalMap")->SetResource(normal_);
        Var("SpecularMap")->SetResource(specular_);
        for (const Placed& model : models_) {
            if (frustum_.IsOutside(model.centre, model.radius)) continue;
            Bind(*model.mesh, geometryLayout_.get());
            const D3DXMATRIX wvp = model.world * viewProjection_;
            Var("gWorldViewProj")->SetMatrix(&wvp._11);
            Var("DiffuseMap")->SetResource(model.diffuse);
            Var("GlowMap")->SetResource(model.glow);
            Apply("Geometry");
            device.DrawIndexed(model.mesh->indexCount, 0, 0);
        }
    }

    void DrawLights() {
        GpuDevice& device = *device_;
        std::vector<LightInstance> visible;
        for (const LightInstance& l : lights_)
            if (!frustum_.IsOutside(D3DXVECTOR3(l.position[0], l.position[1], l.position[2]), l.radius))
                visible.push_back(l);
        device.PSSetShaderResources(0, 6, unbound_);
        GpuRenderTargetView* inputs[2] = {targets_.lightPosition.target.get(), targets_.lightNormal.target.get()};
        device.OMSetRenderTargets(2, inputs, nullptr);
        Var("DepthIn")->SetResource(targets_.depthView.get());
        Var("NormalsIn")->SetResource(targets_.normals.view.get());
        Var("DiffuseSpecIn")->SetResource(targets_.diffuseSpec.view.get());
        Bind(quad_, geometryLayout_.get());
        Apply("LightInputs");
        device.DrawIndexed(quad_.indexCount, 0, 0);

        device.PSSetShaderResources(0, 6, unbound_);
        device.OMSetDepthStencilState(targets_.depthOffState.get(), 0);
        GpuRenderTargetView* light = targets_.light.target.get();
        device.OMSetRenderTargets(1, &light, targets_.depthStencil.get());
        device.ClearRenderTargetView(light, kBlack);
        Var("gViewProjection")->SetMatrix(&viewProjection_._11);
        Var("LightPositionIn")->SetResource(targets_.lightPosition.view.get());
        Var("LightNormalIn")->SetResource(targets_.lightNormal.view.get());
        Apply("Light");
        if (visible.empty()) return;
        if (void* mapped = instanceBuffer_->Map(GpuMap::WriteDiscard)) {
            std::copy(visible.begin(), visible.end(), static_cast<LightInstance*>(mapped));
            instanceBuffer_->Unmap();
        }
        if (auto* views = static_cast<PointLightView*>(lightViewBuffer_->Map(GpuMap::WriteDiscard))) {
            for (const LightInstance& l : visible) *views++ = PointLightView::Of(l, view_);
            lightViewBuffer_->Unmap();
        }
        GpuBuffer* buffers[2] = {lightSphere_.vertices.get(), instanceBuffer_.get()};
        const u32 strides[2] = {sizeof(ModelVertex), sizeof(LightInstance)}, offsets[2] = {0, 0};
        device.IASetInputLayout(lightLayout_.get());
        device.IASetVertexBuffers(0, 2, buffers, strides, offsets);
        device.IASetIndexBuffer(lightSphere_.indices.get(), GpuFormat::R32_UINT, 0);
        device.IASetPrimitiveTopology(GpuTopology::TriangleList);
        device.DrawIndexedInstanced(lightSphere_.indexCount, static_cast<u32>(visible.size()), 0, 0, 0);
    }

    void FullScreen(const char* technique, GpuRenderTargetView* target) {
        GpuDevice& device = *device_;
        device.PSSetShaderResources(0, 6, unbound_);
        device.OMSetRenderTargets(1, &target, nullptr);
        Var("DiffuseSpecIn")->SetResource(targets_.diffuseSpec.view.get());
        Var("NormalsIn")->SetResource(targets_.normals.view.get());
        Var("DepthIn")->SetResource(targets_.depthView.get());
        Var("LightIn")->SetResource(targets_.light.view.get());
        Var("SSAOIn")->SetResource(targets_.ssao.view.get());
        Var("GlowIn")->SetResource(targets_.glow.view.get());
        Bind(quad_, geometryLayout_.get());
        Apply(technique);
        device.DrawIndexed(quad_.indexCount, 0, 0);
    }

    // The sky's pixels fail the depth test and keep the clear's open value.
    void DrawOcclusion() {
        GpuDevice& device = *device_;
        device.PSSetShaderResources(0, 6, unbound_);
        GpuRenderTargetView* ssao = targets_.ssao.target.get();
        device.OMSetRenderTargets(1, &ssao, targets_.depthStencil.get());
        const float open[4] = {1, 1, 1, 1};
        device.ClearRenderTargetView(ssao, open);
        Var("LightPositionIn")->SetResource(targets_.lightPosition.view.get());
        Var("LightNormalIn")->SetResource(targets_.lightNormal.view.get());
        Bind(quad_, geometryLayout_.get());
        Apply("Occlusion");
        device.DrawIndexed(quad_.indexCount, 0, 0);
    }

    void Blur(const ColourTarget& source, const ColourTarget& target) {
        Var("StagedBlur")->SetResource(source.view.get());
        FullScreen("Blur", target.target.get());
    }

    void DrawSky() {
        if (!sky_) return;
        GpuRenderTargetView* back = targets_.backBuffer.get();
        device_->OMSetRenderTargets(1, &back, targets_.depthStencil.get());
        Bind(skyCube_, geometryLayout_.get());
        Var("skyBox")->SetResource(sky_.get());
        Apply("Sky");
        device_->DrawIndexed(skyCube_.indexCount, 0, 0);
    }

    void DrawTexts() {
        GpuDevice& device = *device_;
        device.PSSetShaderResources(0, 6, unbound_);
        GpuRenderTargetView* back = targets_.backBuffer.get();
        device.OMSetRenderTargets(1, &back, nullptr);
        device.IASetInputLayout(geometryLayout_.get());
        device.IASetPrimitiveTopology(GpuTopology::TriangleList);
        Var("gWorldViewProj")->SetMatrix(&screenProjection_._11);
        Var("guiDiffuseMap")->SetResource(atlas_.get());
        for (const Text& text : texts_) {
            GpuBuffer* vertices = text.vertices.get();
            const u32 stride = sizeof(ModelVertex), offset = 0;
            device.IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
            Apply("Text");
            device.Draw(6 * text.characters, 0);
        }
    }

    static constexpr float kBlack[4] = {0, 0, 0, 1};
    GpuShaderResourceView* unbound_[6] = {};
    int width_, height_;
    std::unique_ptr<PortWindow> window_;
    std::shared_ptr<GpuDevice> device_;
    std::unique_ptr<GpuSwapChain> swapChain_;
    std::unique_ptr<GpuEffect> effect_;
    std::unique_ptr<RenderResources> resources_;
    RenderTargets targets_;
    std::shared_ptr<GpuInputLayout> geometryLayout_;
    std::shared_ptr<GpuInputLayout> lightLayout_;
    std::shared_ptr<GpuBuffer> instanceBuffer_;
    std::shared_ptr<GpuBuffer> lightViewBuffer_;
    Mesh lightSphere_, quad_, ball_, ground_, skyCube_;
    std::vector<Placed> models_;
    std::vector<LightInstance> lights_;
    std::vector<Text> texts_;
    GpuShaderResourceView* normal_ = nullptr;
    GpuShaderResourceView* specular_ = nullptr;
    std::shared_ptr<GpuShaderResourceView> sky_;
    std::shared_ptr<GpuShaderResourceView> atlas_;
    D3DXMATRIX view_;
    D3DXMATRIX viewProjection_;
    D3DXMATRIX screenProjection_;
    FrustumCuller frustum_;
    std::vector<std::uint8_t> pixels_;
    std::function<void(FramePass)> recorder_;
    u32 triangles_ = 0;
    int frame_ = 0;
};

void BM_Floor(benchmark::State& state) {
    double cpu = 0, allCpu = 0;
    u32 triangles = 0;
    {
        FloorScene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) != 0);
        triangles = scene.Triangles();
        scene.Frame(true);
        for (auto _ : state) {
            const double before = CpuMs(CLOCK_THREAD_CPUTIME_ID), allBefore = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
            scene.Frame(true);
            cpu += CpuMs(CLOCK_THREAD_CPUTIME_ID) - before;
            allCpu += CpuMs(CLOCK_PROCESS_CPUTIME_ID) - allBefore;
        }
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["main_cpu_ms"] = cpu / frames;
    state.counters["all_cpu_ms"] = allCpu / frames;
    state.counters["triangles"] = triangles;
}

// The floor's steps, timed as BM_FramePasses times the frame's.
void BM_FloorPasses(benchmark::State& state) {
    FloorScene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
    PassTimer timer(scene.Context());
    scene.SetRecorder([&](FramePass pass) { timer.Start(pass); });
    timer.Run(state, scene);
}

// The floor's steps in main-thread CPU time, as BM_FramePassesCpu times the
// frame's (run with LP_NUM_THREADS=0).
void BM_FloorPassesCpu(benchmark::State& state) {
    FloorScene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
    PassTimer timer(scene.Context(), [&] { scene.Flush(); });
    scene.SetRecorder([&](FramePass pass) { timer.Start(pass); });
    timer.Run(state, scene);
}

}  // namespace

BENCHMARK(BM_Floor)
    ->Args({1024, 768, 1})
    ->Args({320, 240, 1})
    ->Args({1024, 768, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);
BENCHMARK(BM_FloorPasses)->Apply(PassTimer::PassSizes);
BENCHMARK(BM_FloorPassesCpu)->Apply(PassTimer::PassSizes);
