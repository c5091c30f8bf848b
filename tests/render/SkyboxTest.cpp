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

// A clone of a sky box, and a clone of that clone, is a sky box with its own
// Init and Clone, never a plain Model.
TEST_F(SkyboxTest, CloneIsASkyboxNotAPlainModel) {
    Skybox skybox;
    skybox.filename = "stars.dds";
    skybox.material.diffuseFileName = "unused";
    std::unique_ptr<IComponent> copy(skybox.Clone());
    auto* sky = dynamic_cast<Skybox*>(copy.get());
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(sky->GetTypeId(), TypeId<Skybox>::Get());
    EXPECT_NE(sky->GetTypeId(), TypeId<Model>::Get());
    EXPECT_NE(sky->GetId(), skybox.GetId());
    EXPECT_EQ(sky->GetOwner(), 0u);
    EXPECT_EQ(sky->filename, "stars.dds");
    EXPECT_EQ(sky->material.diffuseFileName, "unused");
    std::unique_ptr<IComponent> again(sky->Clone());
    EXPECT_NE(dynamic_cast<Skybox*>(again.get()), nullptr);
    EXPECT_EQ(again->GetTypeId(), TypeId<Skybox>::Get());
    // Its own Init: the sky cube, not a model-file load.
    sky->Init();
    EXPECT_EQ(sky->triangleCount, 12u);
    EXPECT_EQ(sky->vertexCount, 8u);
}

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
