// Effect files are data: what they assign becomes the effect description;
// anything wrong is reported with its place, and a file cannot run away.
#include <gtest/gtest.h>

#include "render/effect/EffectFileReader.h"

namespace {

bool Read(const std::string& text, GpuEffectDesc* desc, std::string* errors) {
    return EffectFileReader::ReadText(text, "test.fx", "Test", desc, errors);
}

const char* kMinimal = R"(
local vs = [[void main() { gl_Position = vec4(0.0); }]]
header = "float Twice(float x) { return x * 2.0; }"
variables = {
    { name = "World", type = "float4x4" },
    { name = "Scale", type = "float2", value = { 2, 3 } },
    { name = "Alpha", type = "float", value = 0.5 },
    { name = "Map", type = "Texture2D", filter = "POINT", address = "CLAMP" },
    { name = "Lights", type = "cbuffer", members = "vec4 lights[8];" },
}
techniques = {
    { name = "First", passes = { { vs = vs, ps = "void main() {}" } } },
    { name = "Second", passes = { {
        vs = vs, gs = "void main() {}", streamOut = { "a", "b" }, stencilRef = 3,
        depthStencil = { depthEnable = false, depthWrite = "ZERO", depthFunc = "LESS_EQUAL",
                         stencilEnable = true, front = { depthFail = "INCR", func = "ALWAYS" } },
        blend = { enable = true, src = "SRC_ALPHA", dest = "INV_SRC_ALPHA", writeMask = 7 },
        rasterizer = { fill = "WIREFRAME", cull = "NONE", frontCounterClockwise = true },
    } } },
}
)";

TEST(EffectFileReaderTest, AssignmentsBecomeTheDescription) {
    GpuEffectDesc desc;
    std::string errors = "stale";
    ASSERT_TRUE(Read(kMinimal, &desc, &errors)) << errors;
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(desc.name, "Test");
    EXPECT_NE(desc.header.find("Twice"), std::string::npos);
    ASSERT_EQ(desc.variables.size(), 5u);
    EXPECT_EQ(desc.variables[0].type, GpuEffectVarType::Float4x4);
    EXPECT_EQ(desc.variables[1].initialValue, (std::vector<float>{2, 3}));
    EXPECT_EQ(desc.variables[2].initialValue, (std::vector<float>{0.5f}));
    EXPECT_EQ(desc.variables[3].sampler.filter, GpuFilter::Point);
    EXPECT_EQ(desc.variables[3].sampler.address, GpuAddress::Clamp);
    EXPECT_EQ(desc.variables[4].type, GpuEffectVarType::ConstantBuffer);
    EXPECT_EQ(desc.variables[4].members, "vec4 lights[8];");
    ASSERT_EQ(desc.techniques.size(), 2u);
    const GpuEffectPassDesc& first = desc.techniques[0].passes[0];
    EXPECT_FALSE(first.depthStencil || first.blend || first.rasterizer);  // left to the device
    const GpuEffectPassDesc& pass = desc.techniques[1].passes[0];
    EXPECT_EQ(pass.streamOut, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(pass.stencilRef, 3u);
    ASSERT_TRUE(pass.depthStencil && pass.blend && pass.rasterizer);
    EXPECT_FALSE(pass.depthStencil->depthEnable);
    EXPECT_FALSE(pass.depthStencil->depthWriteAll);
    EXPECT_EQ(pass.depthStencil->depthFunc, GpuComparison::LessEqual);
    EXPECT_EQ(pass.depthStencil->frontFace.depthFailOp, GpuStencilOp::Incr);
    EXPECT_EQ(pass.blend->srcBlend, GpuBlend::SrcAlpha);
    EXPECT_EQ(pass.blend->destBlend, GpuBlend::InvSrcAlpha);
    EXPECT_EQ(pass.blend->writeMask, 7);
    EXPECT_EQ(pass.rasterizer->fill, GpuFill::Wireframe);
    EXPECT_EQ(pass.rasterizer->cull, GpuCull::None);
    EXPECT_TRUE(pass.rasterizer->frontCounterClockwise);
}

TEST(EffectFileReaderTest, WrongValuesAreReportedWithTheirPlace) {
    GpuEffectDesc desc;
    std::string errors;
    EXPECT_FALSE(Read("techniques = { { name = 'T', passes = { { vs = 'x', blend = { src = 'SOMETIMES' } } } } }",
                      &desc, &errors));
    EXPECT_NE(errors.find("technique T pass 0.blend.src"), std::string::npos) << errors;
    EXPECT_NE(errors.find("SOMETIMES"), std::string::npos) << errors;

    EXPECT_FALSE(Read("variables = { { name = 'V', type = 'float5' } } techniques = {}", &desc, &errors));
    EXPECT_NE(errors.find("float5"), std::string::npos) << errors;
    // A constant buffer's block is declared by its members, which nothing else has.
    EXPECT_FALSE(Read("variables = { { name = 'B', type = 'cbuffer' } } techniques = {}", &desc, &errors));
    EXPECT_NE(errors.find("variables[1] (B)"), std::string::npos) << errors;
    EXPECT_FALSE(
        Read("variables = { { name = 'F', type = 'float', members = 'float f;' } } techniques = {}", &desc, &errors));
    EXPECT_NE(errors.find("variables[1] (F)"), std::string::npos) << errors;
    EXPECT_FALSE(Read("techniques = { { name = 'T', passes = { { ps = 'x' } } } }", &desc, &errors));
    EXPECT_NE(errors.find("no vertex shader"), std::string::npos) << errors;
    EXPECT_FALSE(Read("techniques = 4", &desc, &errors));
    EXPECT_NE(errors.find("a table is expected"), std::string::npos) << errors;
    EXPECT_FALSE(Read("header = 'x'", &desc, &errors));
    EXPECT_NE(errors.find("no techniques"), std::string::npos) << errors;
}

TEST(EffectFileReaderTest, LuaErrorsComeBackAsText) {
    GpuEffectDesc desc;
    std::string errors;
    EXPECT_FALSE(Read("techniques = {", &desc, &errors));
    EXPECT_NE(errors.find("test.fx"), std::string::npos) << errors;
    // No library is opened: data files can only assign.
    EXPECT_FALSE(Read("os.exit(1)", &desc, &errors));
    EXPECT_NE(errors.find("os"), std::string::npos) << errors;
}

TEST(EffectFileReaderTest, RunawayFilesAreStopped) {
    GpuEffectDesc desc;
    std::string errors;
    EXPECT_FALSE(Read("while true do end", &desc, &errors));
    EXPECT_EQ(errors, "test.fx: the file runs too long");
    EXPECT_FALSE(
        Read("local t = {} local s = 'xxxxxxxxxxxxxxxx' while true do s = s .. s t[#t + 1] = s end", &desc, &errors));
    EXPECT_EQ(errors, "test.fx: not enough memory");
}

TEST(EffectFileReaderTest, MissingFileIsReported) {
    GpuEffectDesc desc;
    std::string errors;
    EXPECT_FALSE(EffectFileReader::Read("/nonexistent/Effect.fx", "Effect", &desc, &errors));
    EXPECT_EQ(errors, "/nonexistent/Effect.fx: cannot be opened (No such file or directory)");
}

}  // namespace
