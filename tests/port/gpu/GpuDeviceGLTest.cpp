// The device keeps Direct3D's conventions on GL: top row first, clockwise
// front faces, depth 0..1; stream-out, instancing, states and clears.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/GpuFixture.h"

namespace {

const char* kSolidVs = R"(
in vec3 POSITION;
void main() { gl_Position = vec4(POSITION, 1.0); }
)";
const char* kSolidPs = R"(
out vec4 colour;
void main() { colour = Colour; }
)";
// Full-screen triangle with Direct3D texture coordinates: clip (-1, +1) is uv (0, 0).
const char* kCopyVs = R"(
out vec2 uv;
void main() {
    vec2 p = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0);
    uv = vec2(p.x, 1.0 - p.y);
}
)";
const char* kCopyPs = R"(
in vec2 uv;
out vec4 colour;
void main() { colour = texture(Source, uv); }
)";

GpuEffectDesc TestEffect() {
    GpuEffectDesc d;
    d.name = "Test";
    d.variables.push_back({"Colour", GpuEffectVarType::Float4, {1, 0, 0, 1}, {}});
    GpuEffectVariableDesc source{"Source", GpuEffectVarType::Texture2D, {}, {}};
    source.sampler.filter = GpuFilter::Point;
    source.sampler.address = GpuAddress::Clamp;
    d.variables.push_back(source);
    GpuEffectPassDesc solid;
    solid.vertexShader = kSolidVs;
    solid.pixelShader = kSolidPs;
    d.techniques.push_back({"Solid", {solid}});
    GpuEffectPassDesc copy;
    copy.vertexShader = kCopyVs;
    copy.pixelShader = kCopyPs;
    copy.rasterizer = GpuRasterizerDesc{};
    copy.rasterizer->cull = GpuCull::None;
    d.techniques.push_back({"Copy", {copy}});
    return d;
}

const GpuInputElement kPositionOnly[] = {{"POSITION", GpuFormat::R32G32B32_FLOAT}};

struct Drawing {
    GpuTestRig& rig;
    std::unique_ptr<GpuEffect> effect;
    std::shared_ptr<GpuInputLayout> layout;

    explicit Drawing(GpuTestRig& r) : rig(r) {
        std::string errors;
        effect = rig.device->CreateEffect(TestEffect(), &errors);
        EXPECT_TRUE(effect) << errors;
        if (effect)
            layout =
                rig.device->CreateInputLayout(kPositionOnly, 1, effect->GetTechniqueByName("Solid")->GetPassByIndex(0));
    }
    void Triangles(const std::vector<float>& xyz) {
        GpuBufferDesc bd;
        bd.byteWidth = static_cast<std::uint32_t>(xyz.size() * 4);
        bd.usage = GpuUsage::Immutable;
        bd.bindFlags = GpuBindVertexBuffer;
        auto vb = rig.device->CreateBuffer(bd, xyz.data());
        GpuBuffer* b = vb.get();
        std::uint32_t stride = 12, offset = 0;
        rig.device->IASetInputLayout(layout.get());
        rig.device->IASetVertexBuffers(0, 1, &b, &stride, &offset);
        rig.device->IASetPrimitiveTopology(GpuTopology::TriangleList);
        effect->GetTechniqueByName("Solid")->GetPassByIndex(0)->Apply(0);
        rig.device->Draw(static_cast<std::uint32_t>(xyz.size() / 3), 0);
    }
    void Copy(GpuShaderResourceView* source) {
        effect->GetVariableByName("Source")->SetResource(source);
        rig.device->IASetPrimitiveTopology(GpuTopology::TriangleList);
        effect->GetTechniqueByName("Copy")->GetPassByIndex(0)->Apply(0);
        rig.device->Draw(3, 0);
    }
};

const float kBlack[4] = {0, 0, 0, 0};

TEST(GpuDeviceGLTest, TopOfClipSpaceIsRowZeroOfTarget) {
    START_RIG(rig);
    Drawing draw(rig);
    auto target = rig.MakeTarget(4, 4);
    rig.device->ClearRenderTargetView(target.rtv.get(), kBlack);
    rig.BindTarget(target);
    // Upper half of clip space (y from 0 to 1), clockwise as seen on screen.
    draw.Triangles({-1, 0, 0, -1, 1, 0, 1, 1, 0, -1, 0, 0, 1, 1, 0, 1, 0, 0});
    auto bytes = GpuTestRig::Read(target);
    EXPECT_EQ(Texel(bytes, 4, 0, 0)[0], 255);
    EXPECT_EQ(Texel(bytes, 4, 3, 1)[0], 255);
    EXPECT_EQ(Texel(bytes, 4, 0, 2)[0], 0);
    EXPECT_EQ(Texel(bytes, 4, 3, 3)[0], 0);
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuDeviceGLTest, ClockwiseOnScreenIsFrontAndCounterClockwiseIsCulled) {
    START_RIG(rig);
    Drawing draw(rig);
    auto target = rig.MakeTarget(4, 4);
    rig.device->ClearRenderTargetView(target.rtv.get(), kBlack);
    rig.BindTarget(target);
    // Bottom-left, top-left, bottom-right: clockwise on a y-down screen.
    draw.Triangles({-1, -1, 0, -1, 1, 0, 1, -1, 0});
    EXPECT_EQ(Texel(GpuTestRig::Read(target), 4, 0, 3)[0], 255);

    rig.device->ClearRenderTargetView(target.rtv.get(), kBlack);
    draw.Triangles({-1, -1, 0, 1, -1, 0, -1, 1, 0});
    EXPECT_EQ(Texel(GpuTestRig::Read(target), 4, 0, 3)[0], 0);

    GpuRasterizerDesc ccw;
    ccw.frontCounterClockwise = true;
    auto state = rig.device->CreateRasterizerState(ccw);
    rig.device->RSSetState(state.get());
    draw.Triangles({-1, -1, 0, 1, -1, 0, -1, 1, 0});
    EXPECT_EQ(Texel(GpuTestRig::Read(target), 4, 0, 3)[0], 255);
}

TEST(GpuDeviceGLTest, UploadedRowZeroIsSampledAtTopLeft) {
    START_RIG(rig);
    Drawing draw(rig);
    const std::uint8_t texels[16] = {255, 0, 0,   255, 0,   255, 0,   255,   // top row: red, green
                                     0,   0, 255, 255, 255, 255, 255, 255};  // bottom row: blue, white
    GpuTextureDesc d;
    d.width = d.height = 2;
    GpuSubresourceData init{texels, 8, 16};
    auto texture = rig.device->CreateTexture(d, &init);
    auto view = rig.device->CreateShaderResourceView(texture);
    auto target = rig.MakeTarget(2, 2);
    rig.BindTarget(target);
    draw.Copy(view.get());
    auto bytes = GpuTestRig::Read(target);
    EXPECT_EQ(0, std::memcmp(bytes.data(), texels, 16));
}

TEST(GpuDeviceGLTest, DepthIsWrittenInZeroToOneAndClearsIgnoreWriteMask) {
    START_RIG(rig);
    Drawing draw(rig);
    GpuTextureDesc dd;
    dd.width = dd.height = 2;
    dd.format = GpuFormat::R24G8_TYPELESS;
    dd.bindFlags = GpuBindDepthStencil | GpuBindShaderResource;
    auto depthTexture = rig.device->CreateTexture(dd);
    auto dsv = rig.device->CreateDepthStencilView(depthTexture);
    GpuDepthStencilDesc noWrite;
    noWrite.depthWriteAll = false;
    auto noWriteState = rig.device->CreateDepthStencilState(noWrite);
    rig.device->OMSetDepthStencilState(noWriteState.get(), 0);
    rig.device->ClearDepthStencilView(dsv.get(), GpuClearDepth | GpuClearStencil, 1.0f, 0);
    rig.device->OMSetDepthStencilState(nullptr, 0);

    auto target = rig.MakeTarget(2, 2);
    rig.BindTarget(target, dsv.get());
    draw.Triangles({-1, -1, 0.25f, -1, 3, 0.25f, 3, -1, 0.25f});
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(depthTexture->ReadBack(0, &bytes));
    std::uint32_t packed;
    std::memcpy(&packed, bytes.data(), 4);
    EXPECT_NEAR(static_cast<double>(packed >> 8) / 16777215.0, 0.25, 1e-5);
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

// Targets cleared while bound: only the named one, every channel whatever the
// blend state's write mask (which still holds for the draws after), and the
// bound depth buffer whatever the depth state's write mask.
TEST(GpuDeviceGLTest, ClearsOfBoundTargetsTouchOnlyThemAndIgnoreWriteMasks) {
    START_RIG(rig);
    Drawing draw(rig);
    auto a = rig.MakeTarget(4, 4), b = rig.MakeTarget(4, 4);
    const float grey[4] = {0.5f, 0.5f, 0.5f, 0.5f}, white[4] = {1, 1, 1, 1};
    rig.device->ClearRenderTargetView(a.rtv.get(), grey);
    rig.device->ClearRenderTargetView(b.rtv.get(), grey);
    GpuTextureDesc dd;
    dd.width = dd.height = 4;
    dd.format = GpuFormat::R24G8_TYPELESS;
    dd.bindFlags = GpuBindDepthStencil | GpuBindShaderResource;
    auto dsv = rig.device->CreateDepthStencilView(rig.device->CreateTexture(dd));
    GpuRenderTargetView* both[2] = {a.rtv.get(), b.rtv.get()};
    rig.device->OMSetRenderTargets(2, both, dsv.get());
    GpuViewport vp;
    vp.width = vp.height = 4;
    rig.device->RSSetViewports(1, &vp);
    GpuBlendDesc redOnly;
    redOnly.writeMask = 1;
    auto blend = rig.device->CreateBlendState(redOnly);
    rig.device->OMSetBlendState(blend.get(), nullptr, 0xFFFFFFFFu);
    GpuDepthStencilDesc testOnly;
    testOnly.depthWriteAll = false;
    auto depthState = rig.device->CreateDepthStencilState(testOnly);
    rig.device->OMSetDepthStencilState(depthState.get(), 0);

    rig.device->ClearRenderTargetView(b.rtv.get(), white);
    rig.device->ClearDepthStencilView(dsv.get(), GpuClearDepth | GpuClearStencil, 0.5f, 0);
    // (The draw below leaves what it writes to the second target undefined.)
    const std::vector<std::uint8_t> second = GpuTestRig::Read(b);
    // Left half in front of the cleared depth, right half behind it.
    draw.Triangles({-1, -1, 0.25f, -1, 1, 0.25f, 0, 1, 0.25f, -1, -1, 0.25f, 0, 1, 0.25f, 0, -1, 0.25f,  //
                    0,  -1, 0.75f, 0,  1, 0.75f, 1, 1, 0.75f, 0,  -1, 0.75f, 1, 1, 0.75f, 1, -1, 0.75f});
    const std::vector<std::uint8_t> first = GpuTestRig::Read(a);
    for (unsigned c = 0; c < 4; ++c) {
        EXPECT_EQ(Texel(second, 4, 1, 1)[c], 255) << c;
        EXPECT_NEAR(Texel(first, 4, 0, 2)[c], c == 0 ? 255 : 128, 1) << c;
        EXPECT_NEAR(Texel(first, 4, 3, 2)[c], 128, 1) << c;
    }
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuDeviceGLTest, StreamOutThenDrawAutoDrawsWhatWasWritten) {
    START_RIG(rig);
    GpuEffectDesc d;
    d.name = "Stream";
    GpuEffectPassDesc so;
    so.vertexShader = "in vec4 POSITION_SIZESCALE; out vec4 vPos; void main() { vPos = POSITION_SIZESCALE; }";
    so.geometryShader = R"(
layout(points) in;
layout(points, max_vertices = 2) out;
in vec4 vPos[];
out vec4 soPos;
void main() {
    soPos = vPos[0]; EmitVertex(); EndPrimitive();
    soPos = vPos[0] + 1.0; EmitVertex(); EndPrimitive();
})";
    so.streamOut = {"soPos"};
    GpuEffectPassDesc count;
    count.vertexShader = "in vec4 POSITION_SIZESCALE; void main() { gl_Position = vec4(0.0, 0.0, 0.5, 1.0); }";
    count.pixelShader = "out vec4 c; void main() { c = vec4(1.0 / 255.0, 0.0, 0.0, 1.0); }";
    GpuBlendDesc add;
    add.blendEnable = true;
    add.srcBlend = add.destBlend = add.srcBlendAlpha = add.destBlendAlpha = GpuBlend::One;
    count.blend = add;
    count.depthStencil = GpuDepthStencilDesc{};
    count.depthStencil->depthEnable = false;
    d.techniques.push_back({"StreamOut", {so}});
    d.techniques.push_back({"Count", {count}});
    std::string errors;
    auto effect = rig.device->CreateEffect(d, &errors);
    ASSERT_TRUE(effect) << errors;

    const GpuInputElement element[] = {{"POSITION_SIZESCALE", GpuFormat::R32G32B32A32_FLOAT}};
    auto layout = rig.device->CreateInputLayout(element, 1, effect->GetTechniqueByName("Count")->GetPassByIndex(0));
    ASSERT_TRUE(layout);
    const float seeds[12] = {};
    GpuBufferDesc sd;
    sd.byteWidth = sizeof seeds;
    sd.usage = GpuUsage::Immutable;
    sd.bindFlags = GpuBindVertexBuffer;
    auto seed = rig.device->CreateBuffer(sd, seeds);
    GpuBufferDesc streamDesc;
    streamDesc.byteWidth = 16 * 100;
    streamDesc.bindFlags = GpuBindVertexBuffer | GpuBindStreamOutput;
    std::shared_ptr<GpuBuffer> stream[2] = {rig.device->CreateBuffer(streamDesc), rig.device->CreateBuffer(streamDesc)};

    auto target = rig.MakeTarget(1, 1);
    std::uint32_t stride = 16, offset = 0;
    rig.device->IASetInputLayout(layout.get());
    rig.device->IASetPrimitiveTopology(GpuTopology::PointList);
    auto countPoints = [&](GpuBuffer* source) {
        rig.device->ClearRenderTargetView(target.rtv.get(), kBlack);
        rig.BindTarget(target);
        rig.device->IASetVertexBuffers(0, 1, &source, &stride, &offset);
        effect->GetTechniqueByName("Count")->GetPassByIndex(0)->Apply(0);
        rig.device->DrawAuto();
        return static_cast<int>(GpuTestRig::Read(target)[0]);
    };

    // A buffer that never received stream-out draws nothing.
    EXPECT_EQ(countPoints(stream[0].get()), 0);

    GpuBuffer* in = seed.get();
    GpuBuffer* out = stream[0].get();
    rig.device->IASetVertexBuffers(0, 1, &in, &stride, &offset);
    rig.device->SOSetTargets(1, &out, &offset);
    effect->GetTechniqueByName("StreamOut")->GetPassByIndex(0)->Apply(0);
    rig.device->Draw(3, 0);
    rig.device->SOSetTargets(0, nullptr, nullptr);
    EXPECT_TRUE(stream[0]->StreamedOut());
    EXPECT_EQ(countPoints(stream[0].get()), 6);

    in = stream[0].get();
    out = stream[1].get();
    rig.device->IASetVertexBuffers(0, 1, &in, &stride, &offset);
    rig.device->SOSetTargets(1, &out, &offset);
    effect->GetTechniqueByName("StreamOut")->GetPassByIndex(0)->Apply(0);
    rig.device->DrawAuto();
    rig.device->SOSetTargets(0, nullptr, nullptr);
    EXPECT_EQ(countPoints(stream[1].get()), 12);

    // The stream-out pass, last applied, leaves clears working.
    effect->GetTechniqueByName("StreamOut")->GetPassByIndex(0)->Apply(0);
    GpuTextureDesc dd;
    dd.width = dd.height = 1;
    dd.format = GpuFormat::R24G8_TYPELESS;
    dd.bindFlags = GpuBindDepthStencil;
    auto depth = rig.device->CreateTexture(dd);
    auto dsv = rig.device->CreateDepthStencilView(depth);
    rig.device->ClearDepthStencilView(dsv.get(), GpuClearDepth, 1.0f, 0);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(depth->ReadBack(0, &bytes));
    EXPECT_EQ(bytes[3], 0xFF);  // depth 1.0 in the top 24 bits
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuDeviceGLTest, InstancedIndexedDrawReadsPerInstanceSlot) {
    START_RIG(rig);
    GpuEffectDesc d;
    d.name = "Instances";
    GpuEffectPassDesc pass;
    pass.vertexShader = R"(
in vec3 POSITION;
in vec3 TEXCOORD1;
void main() { gl_Position = vec4(POSITION + TEXCOORD1, 1.0); })";
    pass.pixelShader = "out vec4 c; void main() { c = vec4(1.0 / 255.0, 0.0, 0.0, 1.0); }";
    GpuBlendDesc add;
    add.blendEnable = true;
    add.srcBlend = add.destBlend = GpuBlend::One;
    pass.blend = add;
    d.techniques.push_back({"Points", {pass}});
    std::string errors;
    auto effect = rig.device->CreateEffect(d, &errors);
    ASSERT_TRUE(effect) << errors;
    const GpuInputElement elements[] = {
        {"POSITION", GpuFormat::R32G32B32_FLOAT, 0},
        {"TEXCOORD1", GpuFormat::R32G32B32_FLOAT, 1, 0, GpuInputClass::PerInstance, 1},
    };
    auto layout = rig.device->CreateInputLayout(elements, 2, effect->GetTechniqueByName("Points")->GetPassByIndex(0));
    ASSERT_TRUE(layout);
    const float vertex[3] = {0.5f, 0.5f, 0.5f};
    // Instance 0 and 2 land in the 2x2 target's top-left texel, instance 1 far outside.
    const float instances[9] = {-1.0f, 0.0f, 0.0f, 5.0f, 5.0f, 0.0f, -1.0f, 0.0f, 0.0f};
    const std::uint32_t index = 0;
    GpuBufferDesc bd;
    bd.usage = GpuUsage::Immutable;
    bd.bindFlags = GpuBindVertexBuffer;
    bd.byteWidth = sizeof vertex;
    auto vb = rig.device->CreateBuffer(bd, vertex);
    bd.byteWidth = sizeof instances;
    auto ib = rig.device->CreateBuffer(bd, instances);
    bd.byteWidth = 4;
    bd.bindFlags = GpuBindIndexBuffer;
    auto indices = rig.device->CreateBuffer(bd, &index);
    GpuBuffer* buffers[2] = {vb.get(), ib.get()};
    std::uint32_t strides[2] = {12, 12}, offsets[2] = {0, 0};
    auto target = rig.MakeTarget(2, 2);
    rig.device->ClearRenderTargetView(target.rtv.get(), kBlack);
    rig.BindTarget(target);
    rig.device->IASetInputLayout(layout.get());
    rig.device->IASetVertexBuffers(0, 2, buffers, strides, offsets);
    rig.device->IASetIndexBuffer(indices.get(), GpuFormat::R32_UINT, 0);
    rig.device->IASetPrimitiveTopology(GpuTopology::PointList);
    effect->GetTechniqueByName("Points")->GetPassByIndex(0)->Apply(0);
    rig.device->DrawIndexedInstanced(1, 3, 0, 0, 0);
    auto bytes = GpuTestRig::Read(target);
    // Clip (-0.5, 0.5) is the top-left texel of a 2x2 target.
    EXPECT_EQ(Texel(bytes, 2, 0, 0)[0], 2);
    EXPECT_EQ(Texel(bytes, 2, 1, 1)[0], 0);
}

TEST(GpuDeviceGLTest, InputLayoutMissingAShaderInputIsRefused) {
    START_RIG(rig);
    Drawing draw(rig);
    const GpuInputElement normalOnly[] = {{"NORMAL", GpuFormat::R32G32B32_FLOAT}};
    std::string error;
    EXPECT_FALSE(rig.device->CreateInputLayout(normalOnly, 1,
                                               draw.effect->GetTechniqueByName("Solid")->GetPassByIndex(0), &error));
    EXPECT_NE(error.find("POSITION"), std::string::npos);
    EXPECT_FALSE(rig.device->CreateInputLayout(kPositionOnly, 1, GpuEffectPass::Invalid(), &error));
}

TEST(GpuDeviceGLTest, DynamicTextureAndBufferMapRoundTrip) {
    START_RIG(rig);
    GpuTextureDesc d;
    d.width = 3;
    d.height = 2;
    d.usage = GpuUsage::Dynamic;
    d.cpuAccessFlags = GpuCpuAccessWrite;
    auto texture = rig.device->CreateTexture(d);
    GpuMappedSubresource mapped;
    ASSERT_TRUE(texture->Map(0, GpuMap::WriteDiscard, &mapped));
    EXPECT_GE(mapped.rowPitch, 12u);
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 12; ++x)
            static_cast<std::uint8_t*>(mapped.data)[y * mapped.rowPitch + x] = static_cast<std::uint8_t>(y * 12 + x);
    texture->Unmap(0);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(texture->ReadBack(0, &bytes));
    for (unsigned i = 0; i < 24; ++i) EXPECT_EQ(bytes[i], i);

    GpuTextureDesc fixed = d;
    fixed.usage = GpuUsage::Default;
    fixed.cpuAccessFlags = 0;
    EXPECT_FALSE(rig.device->CreateTexture(fixed)->Map(0, GpuMap::WriteDiscard, &mapped));

    GpuBufferDesc bd;
    bd.byteWidth = 64;
    bd.usage = GpuUsage::Dynamic;
    bd.bindFlags = GpuBindVertexBuffer;
    bd.cpuAccessFlags = GpuCpuAccessWrite;
    auto buffer = rig.device->CreateBuffer(bd);
    void* data = buffer->Map(GpuMap::WriteDiscard);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(buffer->Map(GpuMap::WriteDiscard), nullptr);  // already mapped
    buffer->Unmap();
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuDeviceGLTest, SampledTextureBoundAsTargetIsUnbound) {
    START_RIG(rig);
    Drawing draw(rig);
    auto a = rig.MakeTarget(2, 2);
    const float red[4] = {1, 0, 0, 1};
    rig.device->ClearRenderTargetView(a.rtv.get(), red);
    // Reading a texture while writing it: the read sees nothing instead of a feedback loop.
    rig.BindTarget(a);
    draw.Copy(a.srv.get());
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuDeviceGLTest, SwapChainResizesAndPresents) {
    START_RIG(rig, 32, 16);
    auto first = rig.swapChain->GetBuffer();
    EXPECT_EQ(first->GetDesc().width, 32u);
    rig.swapChain->ResizeBuffers(0, 0);
    EXPECT_EQ(rig.swapChain->GetBuffer()->GetDesc().width, 1u);
    EXPECT_EQ(first->GetDesc().width, 32u);  // still held, still whole
    rig.swapChain->ResizeBuffers(8, 4);
    auto rtv = rig.device->CreateRenderTargetView(rig.swapChain->GetBuffer());
    const float green[4] = {0, 1, 0, 1};
    rig.device->ClearRenderTargetView(rtv.get(), green);
    rig.swapChain->Present();
    // Drawing over the copied frame, then presenting, keeps the device's conventions after.
    rig.swapChain->CopyToWindow();
    rig.swapChain->Present();
    Drawing draw(rig);
    auto target = rig.MakeTarget(4, 4);
    rig.device->ClearRenderTargetView(target.rtv.get(), kBlack);
    rig.BindTarget(target);
    draw.Triangles({-1, 0, 0, -1, 1, 0, 1, 1, 0, -1, 0, 0, 1, 1, 0, 1, 0, 0});
    EXPECT_EQ(Texel(GpuTestRig::Read(target), 4, 0, 0)[0], 255);  // top half still at row 0
    rig.swapChain->SetFullscreenState(true);
    EXPECT_TRUE(rig.swapChain->GetFullscreenState());
    rig.swapChain->SetFullscreenState(false);
    EXPECT_FALSE(rig.swapChain->GetFullscreenState());
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

}  // namespace

// A layout counts the draws that find its buffers changed, as the GL driver
// does before it lays a vertex array out for good; the same buffers drawn
// again do not count, and the drawing stays right after it settled.
TEST(GpuDeviceGLTest, LayoutCountsTheDrawsThatChangeItsBuffersUntilSettled) {
    START_RIG(rig);
    Drawing draw(rig);
    auto target = rig.MakeTarget(4, 4);
    rig.BindTarget(target);
    const std::vector<float> top = {-1, 0, 0, -1, 1, 0, 1, 1, 0, -1, 0, 0, 1, 1, 0, 1, 0, 0};
    const std::vector<float> bottom = {-1, -1, 0, -1, 0, 0, 1, 0, 0, -1, -1, 0, 1, 0, 0, 1, -1, 0};
    GpuBufferDesc bd;
    bd.byteWidth = static_cast<std::uint32_t>(top.size() * 4);
    bd.usage = GpuUsage::Immutable;
    bd.bindFlags = GpuBindVertexBuffer;
    auto topBuffer = rig.device->CreateBuffer(bd, top.data());
    auto bottomBuffer = rig.device->CreateBuffer(bd, bottom.data());
    auto drawFrom = [&](GpuBuffer* b, std::uint32_t offset) {
        std::uint32_t stride = 12;
        rig.device->IASetInputLayout(draw.layout.get());
        rig.device->IASetVertexBuffers(0, 1, &b, &stride, &offset);
        rig.device->IASetPrimitiveTopology(GpuTopology::TriangleList);
        draw.effect->GetTechniqueByName("Solid")->GetPassByIndex(0)->Apply(0);
        rig.device->Draw(3, 0);
    };
    const struct {
        GpuBuffer* buffer;
        std::uint32_t offset;
        unsigned changes;
    } steps[] = {{topBuffer.get(), 0, 1},    {topBuffer.get(), 0, 1},     {bottomBuffer.get(), 0, 2},
                 {bottomBuffer.get(), 0, 2}, {bottomBuffer.get(), 36, 3}, {topBuffer.get(), 36, 4},
                 {topBuffer.get(), 0, 5},    {topBuffer.get(), 0, 5}};
    for (const auto& s : steps) {
        drawFrom(s.buffer, s.offset);
        EXPECT_EQ(draw.layout->Changes(), s.changes);
        EXPECT_EQ(draw.layout->Settled(), s.changes > GpuInputLayout::kDriverRelayoutChanges);
    }
    rig.device->ClearRenderTargetView(target.rtv.get(), kBlack);
    drawFrom(bottomBuffer.get(), 0);
    drawFrom(bottomBuffer.get(), 36);
    drawFrom(topBuffer.get(), 0);
    const auto bytes = GpuTestRig::Read(target);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Texel(bytes, 4, 0, y)[0], 255) << "row " << y;
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}
