// The particle archetype of the asset tree loads into a working emitter and
// is exactly what the archetype writer makes of the design it describes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "reflection/MetaRegistry.h"
#include "render/frame/RenderDevice.h"
#include "render/particle/EmitterBuffers.h"
#include "render/particle/ParticleEmmiter.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneWriter.h"
#include "tests/support/TestIdCounter.h"
#include "tools/particletex/ParticleArchetypes.h"

namespace {
std::string AssetDir() {
    const char* dir = std::getenv("DD_ASSET_DIR");
    return dir ? dir : "assets";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str(), out;
    for (char c : s)
        if (c != '\r') out += c;
    return out;
}

}  // namespace

class ParticleArchetypeTest : public ::testing::Test {
protected:
    std::unique_ptr<MessageHub> hub = std::make_unique<MessageHub>();
    std::unique_ptr<TestIdCounter> counter = std::make_unique<TestIdCounter>();
    std::unique_ptr<MetaRegistry> registry = std::make_unique<MetaRegistry>();
    std::unique_ptr<SceneLoader> loader = std::make_unique<SceneLoader>();
    std::unique_ptr<DevozizuDave> folders = std::make_unique<DevozizuDave>();
    std::unique_ptr<Graveyard> graveyard = std::make_unique<Graveyard>();
    std::unique_ptr<Overlord> overlord = std::make_unique<Overlord>();
    std::unique_ptr<ObjectFactory> factory = std::make_unique<ObjectFactory>();
    std::unique_ptr<RenderDevice> device = std::make_unique<RenderDevice>();

    void SetUp() override {
        ASSERT_TRUE(folders->Load(AssetDir()));
        RegisterParticleArchetypeClasses(*registry, *factory);
    }
    void TearDown() override {
        device.reset();
        factory.reset();
        overlord.reset();
    }
};

TEST_F(ParticleArchetypeTest, AssetFilesAreWhatTheToolMakesOfTheDesigns) {
    for (const ParticleArchetype& archetype : ParticleArchetypes()) {
        GameObject* design = archetype.design();
        const std::string file = ReadText(folders->arch.GetFullPath(archetype.name));
        EXPECT_EQ(file, SceneWriter::WriteArchetype(*design)) << archetype.name << ": run particlearch assets/arch";
    }
}

TEST_F(ParticleArchetypeTest, AssetArchetypeMakesAnEmitterWithItsTwoStreams) {
    ASSERT_TRUE(loader->LoadArchetype("SparkBurst")) << loader->GetLastError();
    const u32 id = factory->Instantiate("SparkBurst", false);
    ASSERT_NE(id, 0u);
    auto* emitter = overlord->GetComponent<ParticleEmmiter>(id);
    ASSERT_NE(emitter, nullptr);
    ASSERT_EQ(emitter->GetParticles().size(), 2u);
    EXPECT_EQ(emitter->GetParticles()[0].count, 24);
    EXPECT_EQ(emitter->GetParticles()[0].alphaMaskIdx, 3u);
    EXPECT_EQ(emitter->GetParticles()[1].spawnRate, 5.0f);
    EXPECT_FLOAT_EQ(emitter->GetDuration(), 0.6f);
    EXPECT_FALSE(emitter->IsActive());
    EXPECT_EQ(emitter->GetBuffers(), nullptr);  // idle until started
    SendToComponent(kMsgEmitterStart, emitter->GetId(), 0);
    ASSERT_NE(emitter->GetBuffers(), nullptr);
    EXPECT_EQ(emitter->GetBuffers()->seedCount, 2u);
}
