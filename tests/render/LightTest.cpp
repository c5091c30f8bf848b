#include <gtest/gtest.h>

#include <memory>

#include "LightTestSupport.h"
#include "RenderTestSupport.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "render/GlobalLighting.h"
#include "render/PointLight.h"

namespace {

class LightTest : public RenderFixture {
protected:
    MetaRegistry registry;

    void RegisterLights() {
        ValueTypes::Register(registry);
        GlobalLighting global;
        PointLight point;
        registry.Register<GlobalLighting>("GlobalLighting");
        registry.Register<PointLight>("PointLight");
    }

    std::string Walk(const char* name) {
        std::string out;
        for (IMetaMemVar* m = FirstWalkedMember(*registry.GetByName(name)); m; m = m->Next()) out += m->GetName() + " ";
        return out;
    }
};

}  // namespace

// Scene files store the members newest first under these exact keys.
TEST_F(LightTest, ReflectedMembersUnderTheirFileKeys) {
    RegisterLights();
    EXPECT_EQ(Walk("GlobalLighting"),
              "AmbientIntensity DirectionalLightIntensity DirectionalLightColor DirectionalLightingDirection ");
    EXPECT_EQ(Walk("PointLight"), "mDiffuse mRange ");
}

TEST_F(LightTest, GlobalLightingRoundTripsThroughValueText) {
    RegisterLights();
    GlobalLighting written;
    written.directionalLightingDirection = D3DXVECTOR3(-0.5f, 2.0f, 1e6f);
    written.directionalLightColor = D3DXVECTOR3(0.25f, 0.125f, 1.0f);
    written.directionalLightIntensity = 0.75f;
    written.ambientIntensity = 0.0625f;
    const std::string text = FullText(written);
    EXPECT_EQ(text.find("AmbientIntensity = 0.0625"), 2u) << text;
    EXPECT_NE(text.find("DirectionalLightingDirection = { z = 1e+006, y = 2, x = -0.5,  }"), std::string::npos) << text;
    GlobalLighting read;
    ASSERT_TRUE(ReadText(text, read)) << text;
    ExpectVecNear(read.directionalLightingDirection, written.directionalLightingDirection);
    ExpectVecNear(read.directionalLightColor, written.directionalLightColor);
    EXPECT_EQ(read.directionalLightIntensity, 0.75f);
    EXPECT_EQ(read.ambientIntensity, 0.0625f);
}

TEST_F(LightTest, PointLightRoundTripsThroughValueText) {
    RegisterLights();
    PointLight written;
    written.mRange = -12.5f;
    written.mDiffuse = D3DXCOLOR(0.5f, 0.25f, 0.75f, 0.0f);
    const std::string text = FullText(written);
    EXPECT_EQ(text, "{ mDiffuse = { a = 0, b = 0.75, g = 0.25, r = 0.5,  }, mRange = -12.5,  }");
    PointLight read;
    ASSERT_TRUE(ReadText(text, read));
    EXPECT_EQ(read.mRange, -12.5f);
    EXPECT_EQ(read.mDiffuse, written.mDiffuse);
}

// A scene that names only some members keeps the defaults of the others.
TEST_F(LightTest, MissingKeysKeepTheirDefaults) {
    RegisterLights();
    PointLight read;
    ASSERT_TRUE(ReadText("{mRange = 3, }", read));
    EXPECT_EQ(read.mRange, 3.0f);
    EXPECT_EQ(read.mDiffuse, D3DXCOLOR(1, 1, 1, 1));
}
