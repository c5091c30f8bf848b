// Effects: compile errors are reported, not fatal; lookups of names the effect
// lacks are harmless; variable values are shared by techniques and sent when
// a pass is applied.
#include <gtest/gtest.h>

#include "tests/support/GpuFixture.h"

namespace {

GpuEffectDesc TwoTechniques() {
    GpuEffectDesc d;
    d.name = "Shared";
    d.header = "vec4 Tint(vec4 c) { return c * Scale; }";
    d.variables.push_back({"Scale", GpuEffectVarType::Float, {0.5f}, {}});
    d.variables.push_back({"Colour", GpuEffectVarType::Float4, {}, {}});
    d.variables.push_back({"World", GpuEffectVarType::Float4x4, {}, {}});
    d.variables.push_back({"Unused", GpuEffectVarType::Int, {7}, {}});
    GpuEffectPassDesc p;
    p.vertexShader = R"(
void main() {
    vec2 p = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0) * World;
})";
    p.pixelShader = "out vec4 c; void main() { c = Tint(Colour); }";
    p.rasterizer = GpuRasterizerDesc{};
    p.rasterizer->cull = GpuCull::None;
    d.techniques.push_back({"A", {p}});
    d.techniques.push_back({"B", {p}});
    return d;
}

TEST(GpuEffectGLTest, CompileErrorGivesCompilerTextAndNoEffect) {
    START_RIG(rig);
    GpuEffectDesc d = TwoTechniques();
    d.techniques[1].passes[0].pixelShader = "out vec4 c; void main() { c = undefinedThing; }";
    std::string errors = "stale";
    auto effect = rig.device->CreateEffect(d, &errors);
    EXPECT_FALSE(effect);
    EXPECT_NE(errors.find("technique B"), std::string::npos) << errors;
    EXPECT_NE(errors.find("undefinedThing"), std::string::npos) << errors;
}

TEST(GpuEffectGLTest, UnknownVertexInputIsACompileError) {
    START_RIG(rig);
    GpuEffectDesc d = TwoTechniques();
    d.techniques[0].passes[0].vertexShader = "in vec3 WHATEVER; void main() { gl_Position = vec4(WHATEVER, 1.0); }";
    std::string errors;
    EXPECT_FALSE(rig.device->CreateEffect(d, &errors));
    EXPECT_NE(errors.find("WHATEVER"), std::string::npos) << errors;
}

TEST(GpuEffectGLTest, MissingNamesGiveInvalidHandlesThatDoNothing) {
    START_RIG(rig);
    std::string errors;
    auto effect = rig.device->CreateEffect(TwoTechniques(), &errors);
    ASSERT_TRUE(effect) << errors;
    EXPECT_TRUE(errors.empty());
    GpuEffectVariable* missing = effect->GetVariableByName("NoSuchVariable");
    ASSERT_NE(missing, nullptr);
    EXPECT_FALSE(missing->IsValid());
    const float m[16] = {1};
    missing->SetMatrix(m);
    missing->SetFloat(3.0f);
    missing->SetResource(nullptr);
    GpuEffectTechnique* none = effect->GetTechniqueByName("NoSuchTechnique");
    ASSERT_NE(none, nullptr);
    EXPECT_FALSE(none->IsValid());
    EXPECT_FALSE(none->GetPassByIndex(0)->IsValid());
    none->GetPassByIndex(0)->Apply(0);
    EXPECT_FALSE(effect->GetTechniqueByName("A")->GetPassByIndex(1)->IsValid());
    // A variable that no shader reads still exists, with its file value.
    EXPECT_TRUE(effect->GetVariableByName("Unused")->IsValid());
    EXPECT_EQ(effect->GetVariableByName("Unused")->GetInt(), 7);
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuEffectGLTest, ValuesAreSharedByTechniquesAndSentOnApply) {
    START_RIG(rig);
    std::string errors;
    auto effect = rig.device->CreateEffect(TwoTechniques(), &errors);
    ASSERT_TRUE(effect) << errors;
    auto target = rig.MakeTarget(1, 1);
    rig.BindTarget(target);
    rig.device->IASetPrimitiveTopology(GpuTopology::TriangleList);
    // Identity as a D3DX matrix.
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    effect->GetVariableByName("World")->SetMatrix(identity);
    const float white[4] = {1, 1, 1, 1};
    effect->GetVariableByName("Colour")->SetFloatVector(white);
    effect->GetTechniqueByName("A")->GetPassByIndex(0)->Apply(0);
    rig.device->Draw(3, 0);
    EXPECT_NEAR(GpuTestRig::Read(target)[0], 128, 1);

    effect->GetVariableByName("Scale")->SetFloat(1.0f);
    effect->GetTechniqueByName("B")->GetPassByIndex(0)->Apply(0);
    rig.device->Draw(3, 0);
    EXPECT_EQ(GpuTestRig::Read(target)[0], 255);

    // A translation in the D3DX bottom row moves the triangle off the target.
    const float away[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1};
    effect->GetVariableByName("World")->SetMatrix(away);
    const float black[4] = {0, 0, 0, 0};
    rig.device->ClearRenderTargetView(target.rtv.get(), black);
    effect->GetTechniqueByName("A")->GetPassByIndex(0)->Apply(0);
    rig.device->Draw(3, 0);
    EXPECT_EQ(GpuTestRig::Read(target)[0], 0);
}

TEST(GpuEffectGLTest, BoundResourceStaysAliveAfterItsOwnerLetsGo) {
    START_RIG(rig);
    GpuEffectDesc d;
    d.name = "Tex";
    d.variables.push_back({"Map", GpuEffectVarType::Texture2D, {}, {}});
    std::string errors;
    auto effect = rig.device->CreateEffect(d, &errors);
    ASSERT_TRUE(effect) << errors;
    GpuTextureDesc td;
    td.width = td.height = 1;
    auto view = rig.device->CreateShaderResourceView(rig.device->CreateTexture(td));
    std::weak_ptr<GpuShaderResourceView> watch = view;
    effect->GetVariableByName("Map")->SetResource(view.get());
    view.reset();
    EXPECT_FALSE(watch.expired());
    effect->GetVariableByName("Map")->SetResource(nullptr);
    EXPECT_TRUE(watch.expired());
}

// A constant buffer's block is read from the buffer bound to it, as it is at
// the draw: four colours picked by each pixel's column, then four others
// written into the same buffer after it was bound.
TEST(GpuEffectGLTest, ConstantBufferFeedsItsBlockFromTheBoundBuffer) {
    START_RIG(rig);
    GpuEffectDesc d;
    d.name = "Block";
    GpuEffectVariableDesc block{"Tints", GpuEffectVarType::ConstantBuffer, {}, {}};
    block.members = "vec4 tints[4];";
    d.variables.push_back(block);
    GpuEffectPassDesc p;
    p.vertexShader = R"(
void main() {
    vec2 p = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0);
})";
    p.pixelShader = "out vec4 c; void main() { c = tints[int(gl_FragCoord.x)]; }";
    p.rasterizer = GpuRasterizerDesc{};
    p.rasterizer->cull = GpuCull::None;
    d.techniques.push_back({"A", {p}});
    std::string errors;
    auto effect = rig.device->CreateEffect(d, &errors);
    ASSERT_TRUE(effect) << errors;
    GpuBufferDesc bd;
    bd.byteWidth = 4 * 16;
    bd.usage = GpuUsage::Dynamic;
    bd.bindFlags = GpuBindConstantBuffer;
    bd.cpuAccessFlags = GpuCpuAccessWrite;
    auto buffer = rig.device->CreateBuffer(bd);
    ASSERT_TRUE(buffer);
    auto fill = [&](float base) {
        auto* values = static_cast<float*>(buffer->Map(GpuMap::WriteDiscard));
        ASSERT_NE(values, nullptr);
        for (int i = 0; i < 16; ++i) values[i] = base + static_cast<float>(i) / 20.0f;
        buffer->Unmap();
    };
    fill(0.0f);
    auto target = rig.MakeTarget(4, 1);
    rig.BindTarget(target);
    rig.device->IASetPrimitiveTopology(GpuTopology::TriangleList);
    effect->GetVariableByName("Tints")->SetConstantBuffer(buffer.get());
    effect->GetTechniqueByName("A")->GetPassByIndex(0)->Apply(0);
    rig.device->Draw(3, 0);
    std::vector<std::uint8_t> bytes = GpuTestRig::Read(target);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(bytes[i], i / 20.0 * 255, 1) << i;

    fill(0.2f);
    rig.device->Draw(3, 0);
    bytes = GpuTestRig::Read(target);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(bytes[i], (0.2 + i / 20.0) * 255, 1) << i;

    // The variable keeps its buffer alive while bound.
    std::weak_ptr<GpuBuffer> watch = buffer;
    buffer.reset();
    EXPECT_FALSE(watch.expired());
    effect->GetVariableByName("Tints")->SetConstantBuffer(nullptr);
    rig.device->ClearState();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

}  // namespace
