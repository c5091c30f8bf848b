// The demo scene of the asset tree loads through the real assembly (no
// window) and every component gets the values the file gives it: a wrong
// member name would be ignored silently by the reader, so the values are
// checked here.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Assembly.h"
#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/GlobalLighting.h"
#include "render/Model.h"
#include "render/ParticleEffect.h"
#include "render/ParticleEmmiter.h"
#include "render/PointLight.h"
#include "render/Primitive.h"
#include "render/ScreenText.h"
#include "render/Skybox.h"
#include "scene/DevozizuDave.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "tests/app/TempAssetRoot.h"

namespace {
class DemoSceneTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(assembly_.Assemble()); }
    void TearDown() override { assembly_.Disassemble(); }

    // The scene's objects that have a component of class T.
    template <class T>
    std::vector<GameObject*> With() const {
        std::vector<GameObject*> found;
        for (u32 id : SceneManager::Instance()->GetObjectIds())
            if (GameObject* object = Overlord::Instance()->GetGameObject(id))
                if (object->GetComponent<T>()) found.push_back(object);
        return found;
    }

    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree};
    Assembly assembly_;
};

TEST_F(DemoSceneTest, LoadsWithEveryComponentAsWritten) {
    const std::string path = DevozizuDave::Instance()->scene.GetFullPath("Demo");
    ASSERT_TRUE(SceneManager::Instance()->LoadScene(path)) << SceneLoader::Instance()->GetLastError();

    const auto ships = With<Model>();
    GameObject* ship = nullptr;
    for (GameObject* object : ships)
        if (object->GetComponent<Model>()->filename == "Ship") ship = object;
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(ship->GetComponent<Model>()->vertexCount, 114u) << "made by modeltool from Ship.obj";
    EXPECT_TRUE(std::filesystem::exists(DevozizuDave::Instance()->texture.GetFullPath("Ship"))) << "companion texture";
    ASSERT_NE(ship->GetComponent<ParticleEffect>(), nullptr);
    EXPECT_EQ(ship->GetComponent<ParticleEffect>()->Archetype(0), "SparkBurst");
    EXPECT_NE(ship->GetComponent<ParticleEffect>()->EmitterObject(0), 0u) << "SparkBurst.arch loads";

    // The engine flame rides on the ship.
    ASSERT_EQ(ship->GetChildren().size(), 1u);
    GameObject* flame = Overlord::Instance()->GetGameObject(ship->GetChildren()[0]);
    ASSERT_NE(flame, nullptr);
    EXPECT_EQ(flame->GetArchetypeName(), "EngineFlame");
    ASSERT_NE(flame->GetComponent<ParticleEmmiter>(), nullptr);
    EXPECT_TRUE(flame->GetComponent<ParticleEmmiter>()->IsContinuous());
    EXPECT_FLOAT_EQ(flame->GetComponent<Transform>()->position.z, 2.1f);

    const auto skies = With<Skybox>();
    ASSERT_EQ(skies.size(), 1u);
    EXPECT_EQ(skies[0]->GetComponent<Skybox>()->filename, "Sky.dds");
    EXPECT_TRUE(std::filesystem::exists(DevozizuDave::Instance()->skybox.GetFullPath("Sky.dds")));

    const auto sun = With<GlobalLighting>();
    ASSERT_EQ(sun.size(), 1u);
    EXPECT_FLOAT_EQ(sun[0]->GetComponent<GlobalLighting>()->directionalLightIntensity, 0.9f);
    EXPECT_FLOAT_EQ(sun[0]->GetComponent<GlobalLighting>()->ambientIntensity, 0.25f);

    const auto lights = With<PointLight>();
    ASSERT_EQ(lights.size(), 2u);
    for (GameObject* light : lights) EXPECT_GE(light->GetComponent<PointLight>()->mRange, 8.0f);

    const auto planets = With<Primitive>();
    ASSERT_EQ(planets.size(), 1u);
    const Primitive& planet = *planets[0]->GetComponent<Primitive>();
    EXPECT_TRUE(planet.noisy);
    EXPECT_FLOAT_EQ(planet.r, 4.0f);
    EXPECT_EQ(planet.stacks, 32);
    EXPECT_NE(planets[0]->GetComponent<Model>(), nullptr) << "the primitive built its mesh";

    const auto texts = With<ScreenText>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->GetComponent<ScreenText>()->GetText(), "Kestrelvax demo");
    EXPECT_EQ(texts[0]->GetComponent<ScreenText>()->GetFontSize(), 28);
    EXPECT_TRUE(texts[0]->GetComponent<Transform>()->isInScreenSpace);
}
}  // namespace
