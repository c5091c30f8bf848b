#include "render/Skybox.h"

#include <gtest/gtest.h>

#include <memory>

#include "LightTestSupport.h"
#include "RenderTestSupport.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "render/Material.h"

namespace {

class SkyboxTest : public RenderFixture {
protected:
    MetaRegistry registry;

    void RegisterSkybox() {
        ValueTypes::Register(registry);
        Material material;
        registry.Register<Material>("Material");
        Skybox skybox;
        registry.Register<Skybox>("Skybox");
    }
};

}  // namespace

TEST_F(SkyboxTest, InitBuildsTheCubeWithoutAModelFile) {
    Skybox skybox;
    skybox.filename = "nothere.dds";
    skybox.Init();
    EXPECT_EQ(skybox.triangleCount * 3, 36u);
    EXPECT_EQ(skybox.cacheEntry, nullptr);
    EXPECT_EQ(skybox.GetAliasTypeId(), 0u);
}

TEST_F(SkyboxTest, ReflectedMembersRoundTripThroughValueText) {
    RegisterSkybox();
    std::string walk;
    for (IMetaMemVar* m = FirstWalkedMember(*registry.GetByName("Skybox")); m; m = m->Next())
        walk += m->GetName() + " ";
    EXPECT_EQ(walk, "material filename ");
    Skybox written;
    written.filename = "nebula.dds";
    written.material.tileFactor = D3DXVECTOR2(2, 3);
    const std::string text = FullText(written);
    EXPECT_NE(text.find("filename = \"nebula.dds\""), std::string::npos) << text;
    Skybox read;
    ASSERT_TRUE(ReadText(text, read)) << text;
    EXPECT_EQ(read.filename, "nebula.dds");
    EXPECT_EQ(read.material.tileFactor, D3DXVECTOR2(2, 3));
}
