// The three effect files of the asset tree compile and expose every technique
// and variable the renderer looks up; a broken or missing effect is reported
// and leaves only its own techniques and variables invalid.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/math/D3DX.h"
#include "render/effect/EffectTable.h"
#include "render/frame/RenderTargets.h"
#include "render/mesh/VertexFormat.h"
#include "tests/render/GraphicsTestRig.h"

namespace fs = std::filesystem;

namespace {

class EffectsGLTest : public GraphicsTestRig {
protected:
    void SetUp() override {
        OpenWindow(64, 64);
        std::string error;
        ASSERT_TRUE(GpuCreateDeviceAndSwapChain(window->NativeWindow(), 64, 64, &device, &swapChain, &error)) << error;
        loader->SetDevice(device);
    }
    void TearDown() override {
        table.Release();
        swapChain.reset();
        device.reset();
        GraphicsTestRig::TearDown();
    }
    // Loads the table from `folder` (made, then removed) holding `uiShader` as
    // UIShader.fx and copies of the asset tree's effects `copied`; the
    // reports, in order.
    std::vector<std::string> LoadWithUiShader(const std::string& uiShader, std::initializer_list<const char*> copied) {
        fs::create_directories(folder);
        for (const char* name : copied)
            fs::copy_file(AssetFolder("shader", ".fx").GetFullPath(name), folder / (std::string(name) + ".fx"),
                          fs::copy_options::overwrite_existing);
        std::ofstream(folder / "UIShader.fx") << uiShader;
        FilePath shaders;
        shaders.baseFolder = folder.string() + "/";
        shaders.extension = ".fx";
        EffectLoader fromFolder(shaders);
        fromFolder.SetDevice(device);
        std::vector<std::string> reports;
        table.Load(fromFolder, [&](const std::string& text) { reports.push_back(text); });
        fs::remove_all(folder);
        return reports;
    }
    std::shared_ptr<GpuDevice> device;
    std::unique_ptr<GpuSwapChain> swapChain;
    EffectTable table;
    const fs::path folder = fs::temp_directory_path() / ("dd_effects_" + std::to_string(::getpid()));
};

TEST_F(EffectsGLTest, AssetEffectsCompileAndExposeEveryTechniqueAndVariable) {
    std::vector<std::string> reports;
    table.Load(*loader, [&](const std::string& text) { reports.push_back(text); });
    ASSERT_TRUE(reports.empty()) << reports.front();
    for (u32 t = 0; t < EffectTable::kTechniques; ++t) {
        const auto id = static_cast<TechniqueId>(t);
        EXPECT_TRUE(table.Technique(id)->IsValid()) << EffectTable::TechniqueName(id);
        EXPECT_TRUE(table.Technique(id)->GetPassByIndex(0)->IsValid()) << EffectTable::TechniqueName(id);
    }
    for (u32 v = 0; v < EffectTable::kVariables; ++v) {
        const auto id = static_cast<EffectVarId>(v);
        EXPECT_TRUE(table.Variable(id)->IsValid()) << EffectTable::VariableName(id);
        EXPECT_EQ(table.Variable(id)->Name(), EffectTable::VariableName(id));
    }
    // The vertex-format rows feed the passes they are made for.
    const std::pair<TechniqueId, u32> layouts[] = {
        {TechniqueId::DeferredGeometryBuffer, kGeometryFormatRow},
        {TechniqueId::DeferredLightingBuffer, kInstancedLightFormatRow},
        {TechniqueId::StreamOutTech, kParticleFormatRow},
        {TechniqueId::ParticleDrawTech, kParticleFormatRow},
        {TechniqueId::UiTech, kGeometryFormatRow},
        {TechniqueId::TextTech, kGeometryFormatRow},
    };
    for (const auto& [technique, row] : layouts) {
        const VertexFormat& format = GetVertexFormat(row);
        std::string error;
        EXPECT_TRUE(device->CreateInputLayout(format.elements, format.elementCount,
                                              table.Technique(technique)->GetPassByIndex(0), &error))
            << EffectTable::TechniqueName(technique) << ": " << error;
    }
    EXPECT_EQ(device->DrainErrors(), 0u);
}

TEST_F(EffectsGLTest, SsaoParametersKeepTheFileValues) {
    table.Load(*loader, nullptr);
    for (EffectVarId id :
         {EffectVarId::SsaoSampleRad, EffectVarId::SsaoIntensity, EffectVarId::SsaoScale, EffectVarId::SsaoBias})
        EXPECT_GT(table.Variable(id)->GetFloat(), 0.0f) << EffectTable::VariableName(id);
    EXPECT_EQ(table.Variable(EffectVarId::alphaVal)->GetFloat(), 1.0f);
}

TEST_F(EffectsGLTest, BrokenAndMissingEffectsAreReportedAndLeftOut) {
    const std::vector<std::string> reports = LoadWithUiShader(
        "techniques = { { name = 'UiTech', passes = { { vs = 'void main() { gl_Position = nothing; }' } } } }",
        {"ParticleIntegration"});
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("nothing"), std::string::npos) << reports[0];  // the compiler's text
    EXPECT_NE(reports[1].find("DeferredShader"), std::string::npos) << reports[1];
    EXPECT_FALSE(table.Effect(EffectId::UIShader));
    EXPECT_FALSE(table.Technique(TechniqueId::UiTech)->IsValid());
    EXPECT_FALSE(table.Variable(EffectVarId::guiWorldViewProj)->IsValid());
    EXPECT_FALSE(table.Technique(TechniqueId::CombineDeferred)->IsValid());
    EXPECT_TRUE(table.Technique(TechniqueId::StreamOutTech)->IsValid());
    EXPECT_TRUE(table.Variable(EffectVarId::randomTexture)->IsValid());
    // Using what is missing does nothing.
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    table.Variable(EffectVarId::guiWorldViewProj)->SetMatrix(identity);
    table.Apply(TechniqueId::UiTech);
    device->IASetPrimitiveTopology(GpuTopology::TriangleList);
    device->Draw(3, 0);
}

// Nested macros in an effect file's shader text would expand inside the
// driver's compiler; the effect is refused with its file named, and the rest
// of the table loads.
TEST_F(EffectsGLTest, EffectWithNestedMacrosIsRefusedNamingItsFile) {
    std::string header = "#define M0 0\n";
    for (int i = 1; i <= 6; ++i) {
        const std::string before = "M" + std::to_string(i - 1);
        header += "#define M" + std::to_string(i) + " (" + before;
        for (int k = 1; k < 10; ++k) header += "+" + before;
        header += ")\n";
    }
    const std::vector<std::string> reports = LoadWithUiShader(
        "header = [[" + header + "#if M6 > 0\n#endif\n]]\n" +
            "techniques = { { name = 'UiTech', passes = { { vs = 'void main() { gl_Position = vec4(0.0); }' } } } }",
        {"DeferredShader", "ParticleIntegration"});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind((folder / "UIShader.fx").string(), 0), 0u) << reports[0];
    EXPECT_NE(reports[0].find("refused: macro 'M1' expands macro 'M0'"), std::string::npos) << reports[0];
    EXPECT_FALSE(table.Effect(EffectId::UIShader));
    EXPECT_TRUE(table.Technique(TechniqueId::CombineDeferred)->IsValid());
}

// The shipped UIShader.fx, to which a test adds its own lines.
std::string ShippedUiShader() {
    std::ifstream in(AssetFolder("shader", ".fx").GetFullPath("UIShader"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Shader text the driver would read otherwise than the macro check (a vertical
// tab before '#define'), and lines carried in a variable's name, which is
// written into every stage: each refuses the effect, the row naming its file.
TEST_F(EffectsGLTest, ShaderTextOrNamesReadOtherwiseByTheDriverAreRefusedNamingTheFile) {
    const struct {
        const char* added;
        const char* refusal;
    } cases[] = {
        {"header = '\\v#define A0 0\\n\\v#define A1 A0 A0\\n' .. header", "vertex shader): refused: byte 0x0B"},
        {"variables[#variables + 1] = { name = 'x;\\n#define A0 0\\n#define A1 A0 A0', type = 'float' }",
         "(variables[7]): refused: its name is not a GLSL identifier"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> reports =
            LoadWithUiShader(ShippedUiShader() + c.added + "\n", {"DeferredShader", "ParticleIntegration"});
        ASSERT_EQ(reports.size(), 1u) << c.added;
        EXPECT_EQ(reports[0].rfind((folder / "UIShader.fx").string() + ":\n", 0), 0u) << reports[0];
        EXPECT_NE(reports[0].find(c.refusal), std::string::npos) << reports[0];
        EXPECT_FALSE(table.Effect(EffectId::UIShader));
        table.Release();
    }
}

// What an effect file asks of the driver is bounded: past a bound the file is
// refused as it is read (the reader's row, not the compiler's), before the
// device builds anything from it. Each hostile file (many techniques, passes
// or variables, a header doubled, big stages) is made just past its bound.
TEST_F(EffectsGLTest, EffectAskingPastItsBoundsIsRefusedBeforeAnythingIsBuilt) {
    const struct {
        const char* added;
        const char* refusal;
    } cases[] = {
        {"local t1 = techniques[1] for i = 1, 64 do techniques[#techniques + 1] = {name = 'T' .. i, passes = "
         "t1.passes} end",
         ": more than 64 techniques"},
        {"local p = techniques[1].passes for i = 2, 17 do p[i] = p[1] end", "SkyboxTech: more than 16 passes"},
        {"local one = techniques[1].passes[1] for i = 1, 16 do local p = {} for k = 1, 16 do p[k] = one end "
         "techniques[#techniques + 1] = {name = 'P' .. i, passes = p} end",
         "P16: more than 256 passes in all techniques"},
        {"for i = 1, 13 do header = header .. header end", ".header: more than 262144 bytes"},
        {"for i = 1, 257 do variables[#variables + 1] = {name = 'v' .. i, type = 'float'} end",
         ": more than 256 variables"},
        {"local pad = '//' for i = 1, 16 do pad = pad .. pad end header = header .. pad .. '\\n' "
         "techniques[1].passes[1].vs = pad .. '\\n' .. techniques[1].passes[1].vs",
         "SkyboxTech pass 0.vs: the stage's text (header, variables and body) is more than 262144 bytes"},
        {"local pad = '//' for i = 1, 16 do pad = pad .. pad end header = header .. pad .. '\\n' "
         "local t1 = techniques[1] for i = 1, 20 do techniques[#techniques + 1] = {name = 'T' .. i, passes = "
         "t1.passes} end",
         ": the text of all stages is more than 4194304 bytes"},
        {"local pad = '//' for i = 1, 16 do pad = pad .. pad end for i = 1, 2 do variables[#variables + 1] = "
         "{name = 'B' .. i, type = 'cbuffer', members = pad} end",
         "variables[8]: the header and variables' text is more than 262144 bytes"},
        {"local n = 'x' for i = 1, 9 do n = n .. n end techniques[1].name = n", "techniques[1].name: more than 256"},
        {"local v = {} for i = 1, 65 do v[i] = 1 end variables[6].value = v", "variables[6].value: more than 64"},
        {"local v = {} for i = 1, 65 do v[i] = 'o' end techniques[1].passes[1].streamOut = v",
         "SkyboxTech pass 0.streamOut: more than 64 entries"},
    };
    const std::string file = (folder / "UIShader.fx").string();
    for (const auto& c : cases) {
        const std::vector<std::string> reports =
            LoadWithUiShader(ShippedUiShader() + c.added + "\n", {"DeferredShader", "ParticleIntegration"});
        ASSERT_EQ(reports.size(), 1u) << c.added;
        EXPECT_EQ(reports[0].rfind(file, 0), 0u) << reports[0];
        EXPECT_NE(reports[0].rfind(file + ":\n", 0), 0u) << reports[0];  // the compiler's rows start so
        EXPECT_NE(reports[0].find(c.refusal), std::string::npos) << reports[0];
        EXPECT_FALSE(table.Effect(EffectId::UIShader));
        table.Release();
    }
}

void Bind(GpuDevice& device, GpuRenderTargetView* target, GpuDepthStencilView* depth) {
    device.OMSetRenderTargets(1, &target, depth);
}

// A quad at depth z covering the whole target, as the geometry layout reads it.
std::shared_ptr<GpuBuffer> QuadBuffer(GpuDevice& device, float z) {
    const float v[] = {-1, 1, z, 0, 0, -1, 0, 0, 1, 1,  z, 0, 0, -1, 1, 0, 1,  -1, z, 0, 0, -1, 1, 1,
                       -1, 1, z, 0, 0, -1, 0, 0, 1, -1, z, 0, 0, -1, 1, 1, -1, -1, z, 0, 0, -1, 0, 1};
    GpuBufferDesc desc;
    desc.byteWidth = sizeof v;
    desc.usage = GpuUsage::Immutable;
    desc.bindFlags = GpuBindVertexBuffer;
    return device.CreateBuffer(desc, v);
}

TEST_F(EffectsGLTest, GeometryBufferThenCombineShowsTheLitDiffuseColour) {
    table.Load(*loader, nullptr);
    RenderResources& res = *resources;
    res.SetDevice(device);
    RenderTargets targets;
    targets.Create(*device, *swapChain, 64, 64);
    const GpuViewport viewport{0, 0, 64, 64, 0, 1};
    device->RSSetViewports(1, &viewport);
    const VertexFormat& format = GetVertexFormat(kGeometryFormatRow);
    auto layout = device->CreateInputLayout(format.elements, format.elementCount,
                                            table.Technique(TechniqueId::DeferredGeometryBuffer)->GetPassByIndex(0));
    auto quad = QuadBuffer(*device, 0.5f);
    GpuBuffer* buffer = quad.get();
    const std::uint32_t stride = 32, offset = 0;

    const float clear[4] = {0, 0, 0, 1};
    for (const ColourTarget* t : {&targets.normals, &targets.diffuseSpec, &targets.glow})
        device->ClearRenderTargetView(t->target.get(), clear);
    device->ClearDepthStencilView(targets.depthStencil.get(), GpuClearDepth | GpuClearStencil, 1.0f, 0);
    GpuRenderTargetView* gbuffer[3] = {targets.normals.target.get(), targets.diffuseSpec.target.get(),
                                       targets.glow.target.get()};
    device->OMSetRenderTargets(3, gbuffer, targets.depthStencil.get());
    device->OMSetDepthStencilState(targets.depthOnState.get(), 0);
    device->IASetInputLayout(layout.get());
    device->IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
    device->IASetPrimitiveTopology(GpuTopology::TriangleList);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (EffectVarId m : {EffectVarId::gWorldViewProj, EffectVarId::gWorld, EffectVarId::gView,
                          EffectVarId::gViewProjection, EffectVarId::gInverseProjection})
        table.Variable(m)->SetMatrix(identity);
    table.Variable(EffectVarId::DiffuseMap)->SetResource(res.GetSolidColorTexture(1, 0, 0, 1));
    table.Variable(EffectVarId::NormalMap)->SetResource(res.GetSolidColorTexture(0.5f, 0.5f, 1, 1));
    table.Variable(EffectVarId::SpecularMap)->SetResource(res.GetSolidColorTexture(1, 1, 1, 1));
    table.Variable(EffectVarId::GlowMap)->SetResource(res.GetSolidColorTexture(0, 0, 0, 1));
    table.Apply(TechniqueId::DeferredGeometryBuffer);
    device->Draw(6, 0);
    std::vector<std::uint8_t> bytes;
    targets.diffuseSpec.texture->ReadBack(0, &bytes);
    EXPECT_EQ(bytes[0], 255);
    targets.normals.texture->ReadBack(0, &bytes);
    EXPECT_NEAR(bytes[2], 0, 2);  // the normal (0, 0, -1) faces the eye: z encoded as 0

    // Ambient occlusion and its blur run on what the geometry pass left.
    Bind(*device, targets.ssao.target.get(), nullptr);
    table.Variable(EffectVarId::DepthIn)->SetResource(targets.depthView.get());
    table.Variable(EffectVarId::NormalsIn)->SetResource(targets.normals.view.get());
    table.Apply(TechniqueId::DoSSAO);
    device->Draw(6, 0);
    Bind(*device, targets.stagedBlur.target.get(), nullptr);
    table.Variable(EffectVarId::StagedBlur)->SetResource(targets.ssao.view.get());
    table.Apply(TechniqueId::Blur_H);
    device->Draw(6, 0);

    Bind(*device, targets.backBuffer.get(), nullptr);
    table.Variable(EffectVarId::ambient)->SetFloat(1.0f);
    table.Variable(EffectVarId::GlobalIntensity)->SetFloat(0.0f);
    table.Variable(EffectVarId::DiffuseSpecIn)->SetResource(targets.diffuseSpec.view.get());
    table.Variable(EffectVarId::LightIn)->SetResource(res.GetSolidColorTexture(0, 0, 0, 1));
    table.Variable(EffectVarId::GlowIn)->SetResource(targets.glow.view.get());
    table.Variable(EffectVarId::SSAOIn)->SetResource(res.GetSolidColorTexture(1, 1, 1, 1));
    table.Apply(TechniqueId::CombineDeferred);
    device->Draw(6, 0);
    swapChain->GetBuffer()->ReadBack(0, &bytes);
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(device->DrainErrors(), 0u);
}

TEST_F(EffectsGLTest, ParticleSeedSpawnsByStreamOutAndIsDrawn) {
    table.Load(*loader, nullptr);
    const VertexFormat& format = GetVertexFormat(kParticleFormatRow);
    auto layout = device->CreateInputLayout(format.elements, format.elementCount,
                                            table.Technique(TechniqueId::StreamOutTech)->GetPassByIndex(0));
    ASSERT_TRUE(layout);
    // One emitter record: size 1, speed 0, count 3, one burst a second, white, alpha mask 0.
    float seed[34] = {0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 2, 3, 1};
    std::uint32_t tail[2] = {0, 0};
    std::memcpy(&seed[32], tail, 8);
    GpuBufferDesc seedDesc;
    seedDesc.byteWidth = 136;
    seedDesc.usage = GpuUsage::Immutable;
    seedDesc.bindFlags = GpuBindVertexBuffer;
    auto seedBuffer = device->CreateBuffer(seedDesc, seed);
    GpuBufferDesc streamDesc;
    streamDesc.byteWidth = 136 * 5000;
    streamDesc.bindFlags = GpuBindVertexBuffer | GpuBindStreamOutput;
    auto stream = device->CreateBuffer(streamDesc);

    GpuTextureDesc maskDesc;
    maskDesc.width = maskDesc.height = 1;
    const std::uint8_t white[4] = {255, 255, 255, 255};
    const GpuSubresourceData maskData{white, 4, 4};
    GpuSrvDesc asArray;
    asArray.dimension = GpuSrvDimension::Texture2DArray;
    auto mask = device->CreateShaderResourceView(device->CreateTexture(maskDesc, &maskData), &asArray);

    D3DXMATRIX view, projection, identity;
    D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.785398185f, 1.0f, 1.0f, 2000.0f);
    D3DXMatrixIdentity(&identity);
    const D3DXMATRIX viewProjection = view * projection;
    table.Variable(EffectVarId::viewMatrix)->SetMatrix(&viewProjection._11);
    table.Variable(EffectVarId::worldTransform)->SetMatrix(&identity._11);
    table.Variable(EffectVarId::CamPosition)->SetFloatVector(&eye.x);
    table.Variable(EffectVarId::timeStep)->SetFloat(1.0f);
    table.Variable(EffectVarId::emitterAlive)->SetBool(true);
    table.Variable(EffectVarId::particleAlphaTexture)->SetResource(mask.get());

    GpuBuffer* in = seedBuffer.get();
    GpuBuffer* out = stream.get();
    const std::uint32_t stride = 136, offset = 0;
    device->IASetInputLayout(layout.get());
    device->IASetPrimitiveTopology(GpuTopology::PointList);
    device->IASetVertexBuffers(0, 1, &in, &stride, &offset);
    device->SOSetTargets(1, &out, &offset);
    table.Apply(TechniqueId::StreamOutTech);
    device->Draw(1, 0);
    device->SOSetTargets(0, nullptr, nullptr);

    auto target = RenderTargets();
    target.Create(*device, *swapChain, 64, 64);
    const GpuViewport viewport{0, 0, 64, 64, 0, 1};
    device->RSSetViewports(1, &viewport);
    const float black[4] = {0, 0, 0, 0};
    device->ClearRenderTargetView(target.backBuffer.get(), black);
    device->ClearDepthStencilView(target.depthStencil.get(), GpuClearDepth, 1.0f, 0);
    Bind(*device, target.backBuffer.get(), target.depthStencil.get());
    device->IASetVertexBuffers(0, 1, &out, &stride, &offset);
    table.Apply(TechniqueId::ParticleDrawTech);
    device->DrawAuto();
    std::vector<std::uint8_t> bytes;
    swapChain->GetBuffer()->ReadBack(0, &bytes);
    EXPECT_GT(bytes[(32 * 64 + 32) * 4], 0);  // the centre shows the new particles
    EXPECT_EQ(bytes[0], 0);                   // a corner does not
    EXPECT_EQ(device->DrainErrors(), 0u);
}

}  // namespace
