#include <gtest/gtest.h>

#include <cstring>

#include "RenderTestSupport.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "port/panels/TweakPanelsProbe.h"
#include "reflection/TweakVarParams.h"
#include "render/frame/RenderDevice.h"
#include "render/particle/EmitterBuffers.h"
#include "render/particle/Particle.h"
#include "render/particle/ParticleEmmiter.h"
#include "render/particle/ParticleVertex.h"

namespace {
float FloatAt(const unsigned char* bytes, size_t offset) {
    float f;
    std::memcpy(&f, bytes + offset, 4);
    return f;
}
u32 WordAt(const unsigned char* bytes, size_t offset) {
    u32 w;
    std::memcpy(&w, bytes + offset, 4);
    return w;
}
}  // namespace

TEST(ParticleVertexTest, SeedRecordCarriesEveryFieldAtItsOffset) {
    Particle p;
    p.spawnRate = 4.5f;
    p.count = 3;
    p.fadeOpacity = 0.25f;
    p.maxAge = 1.5f;
    p.sizeScale = 2.0f;
    p.velocity = 7.0f;
    p.acceleration = -9.0f;
    p.velocityDir = D3DXVECTOR3(0.1f, 0.2f, 0.3f);
    p.accelDir = D3DXVECTOR3(0.4f, 0.5f, 0.6f);
    p.colorRange.StartVal = D3DXCOLOR(0.9f, 0.8f, 0.7f, 0.6f);
    p.colorRange.EndVal = D3DXCOLOR(0.5f, 0.4f, 0.3f, 0.2f);
    p.attractorParticle = D3DXVECTOR3(11, 12, 13);
    p.attractorStrength = 14.0f;
    p.alphaMaskIdx = 3;

    const ParticleVertex v = ParticleVertex::FromParticle(p);
    unsigned char bytes[136];
    static_assert(sizeof v == sizeof bytes);
    std::memcpy(bytes, &v, sizeof bytes);

    const float expected[32] = {0,     0,    0,     2.0f, 0.1f, 0.2f, 0.3f, 7.0f, 0.4f, 0.5f, 0.6f,
                                -9.0f, 11,   12,    13,   14,   0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f,
                                0.3f,  0.2f, 0.25f, 0,    0,    0,    0,    1.5f, 3.0f, 4.5f};
    for (size_t i = 0; i < 32; ++i) EXPECT_EQ(FloatAt(bytes, i * 4), expected[i]) << "offset " << i * 4;
    EXPECT_EQ(FloatAt(bytes, 112), 0.0f);  // age
    EXPECT_EQ(FloatAt(bytes, 120), 3.0f);  // count as float
    EXPECT_EQ(WordAt(bytes, 128), 3u);     // ALPHATEX
    EXPECT_EQ(WordAt(bytes, 132), 0u);     // TYPE: an emitter seed
}

TEST(ParticleVertexTest, DefaultParticleSeedsEightUpwardParticles) {
    const ParticleVertex v = ParticleVertex::FromParticle(Particle{});
    EXPECT_EQ(v.ageMaxAgeCountFreq[1], 2.0f);
    EXPECT_EQ(v.ageMaxAgeCountFreq[2], 8.0f);
    EXPECT_EQ(v.velocityValue[1], 1.0f);
    EXPECT_EQ(v.gradStart[0], 1.0f);
    EXPECT_EQ(v.gradEnd[3], 1.0f);
}

class ParticleEmmiterTest : public RenderFixture {
protected:
    std::unique_ptr<RenderDevice> device = std::make_unique<RenderDevice>();

    // A registered, initialised object with (optionally) a Transform and an
    // emitter, idle or (as "active" in its data) running from its Init.
    ParticleEmmiter* MakeEmitter(bool withTransform = true, GameObject** objectOut = nullptr, bool active = false) {
        auto* object = new GameObject();
        if (withTransform) object->AddComponent(new Transform());
        auto* emitter = new ParticleEmmiter();
        emitter->SetActive(active);
        object->AddComponent(emitter);
        object->Init();
        if (objectOut) *objectOut = object;
        return emitter;
    }

    void Command(ParticleEmmiter* e, const Kind<EmitterCommand>& kind, D3DXVECTOR3 position, bool flag) {
        EmitterCommand command;
        command.position = position;
        command.flag = flag;
        SendTo(e, kind, command);
    }
    ParticleEmmiter* MakeRunningEmitter() { return MakeEmitter(true, nullptr, true); }
};

TEST_F(ParticleEmmiterTest, InitGivesAnEmptyListOneDefaultParticleAndBuffers) {
    EXPECT_EQ(MakeEmitter()->GetBuffers(), nullptr) << "an idle emitter holds no buffers";
    ParticleEmmiter* e = MakeRunningEmitter();
    ASSERT_EQ(e->GetParticles().size(), 1u);
    EXPECT_EQ(e->GetParticles()[0].count, 8);
    ASSERT_NE(e->GetBuffers(), nullptr);
    EXPECT_EQ(e->GetBuffers()->seedCount, 1u);
    EXPECT_TRUE(e->GetBuffers()->seedPending);
    EXPECT_EQ(device->RecordCount(), 1u);
}

TEST_F(ParticleEmmiterTest, RunStopsSpawningAfterDurationMinusFallOffAndEndsAfterDuration) {
    ParticleEmmiter* e = MakeRunningEmitter();
    e->SetTiming(2.0f, 0.5f);
    e->Update(0.5f);
    e->Update(1.0f);  // elapsed 1.5 = duration - fallOff: still spawning
    EXPECT_TRUE(e->IsEmitting());
    e->Update(0.5f);  // elapsed 2.0 = duration: spawning over, still active
    EXPECT_FALSE(e->IsEmitting());
    EXPECT_TRUE(e->IsActive());
    e->Update(0.25f);  // past the duration
    EXPECT_FALSE(e->IsActive());
    EXPECT_EQ(e->GetElapsed(), 0.0f);
    EXPECT_EQ(e->GetBuffers(), nullptr);  // the run is over: its buffers go back
}

TEST_F(ParticleEmmiterTest, ContinuousEmitterNeverTimesOut) {
    ParticleEmmiter* e = MakeEmitter();
    e->SetContinuous(true);
    e->SetActive(true);
    for (int i = 0; i < 100; ++i) e->Update(1.0f);
    EXPECT_TRUE(e->IsActive());
    EXPECT_TRUE(e->IsEmitting());
}

TEST_F(ParticleEmmiterTest, StartOnActiveEmitterOnlyRestartsTheRun) {
    GameObject* object = nullptr;
    ParticleEmmiter* e = MakeEmitter(true, &object);
    Command(e, kMsgEmitterStart, D3DXVECTOR3(1, 2, 3), true);
    EXPECT_TRUE(e->IsActive());
    EXPECT_TRUE(e->DiesOnStop());
    EXPECT_EQ(object->GetComponent<Transform>()->position.x, 1.0f);
    e->GetBuffers()->seedPending = false;
    e->Update(0.5f);
    Command(e, kMsgEmitterStart, D3DXVECTOR3(9, 9, 9), false);
    EXPECT_EQ(e->GetElapsed(), 0.0f);
    EXPECT_TRUE(e->DiesOnStop());
    EXPECT_FALSE(e->GetBuffers()->seedPending);
    EXPECT_EQ(object->GetComponent<Transform>()->position.x, 1.0f);
}

TEST_F(ParticleEmmiterTest, StopWithoutKillReseedsButStaysInactive) {
    GameObject* object = nullptr;
    ParticleEmmiter* e = MakeEmitter(true, &object);
    Command(e, kMsgEmitterStart, D3DXVECTOR3(), false);
    e->Update(0.5f);
    e->GetBuffers()->seedPending = false;
    Command(e, kMsgEmitterStop, D3DXVECTOR3(4, 5, 6), false);
    EXPECT_FALSE(e->IsActive());
    EXPECT_EQ(e->GetElapsed(), 0.0f);
    EXPECT_EQ(e->GetBuffers(), nullptr);  // idle: seeded afresh when it starts
    EXPECT_EQ(object->GetComponent<Transform>()->position.z, 6.0f);
    Command(e, kMsgEmitterStart, D3DXVECTOR3(), false);
    ASSERT_NE(e->GetBuffers(), nullptr);
    EXPECT_TRUE(e->GetBuffers()->seedPending);
}

TEST_F(ParticleEmmiterTest, StopWithKillReturnsBuffersAndKeepsTheDescriptions) {
    ParticleEmmiter* e = MakeRunningEmitter();
    e->GetParticles()[0].count = 42;
    Command(e, kMsgEmitterStop, D3DXVECTOR3(), true);
    EXPECT_EQ(e->GetBuffers(), nullptr);
    EXPECT_EQ(device->FreeCount(), 1u);
    ASSERT_EQ(e->GetParticles().size(), 1u);
    EXPECT_EQ(e->GetParticles()[0].count, 42);
}

TEST_F(ParticleEmmiterTest, MoveStopsSpawningAndTakesTheFlag) {
    GameObject* object = nullptr;
    ParticleEmmiter* e = MakeEmitter(true, &object);
    Command(e, kMsgEmitterMove, D3DXVECTOR3(7, 8, 9), true);
    EXPECT_FALSE(e->IsEmitting());
    EXPECT_TRUE(e->DiesOnStop());
    EXPECT_EQ(object->GetComponent<Transform>()->position.y, 8.0f);
}

TEST_F(ParticleEmmiterTest, OwnerWithoutTransformIsNotMovedAndDoesNotCrash) {
    ParticleEmmiter* e = MakeEmitter(false);
    Command(e, kMsgEmitterStart, D3DXVECTOR3(1, 1, 1), false);
    Command(e, kMsgEmitterMove, D3DXVECTOR3(1, 1, 1), false);
    Command(e, kMsgEmitterStop, D3DXVECTOR3(1, 1, 1), false);
    EXPECT_FALSE(e->IsActive());
}

TEST_F(ParticleEmmiterTest, CommandsWithoutPayloadAreAccepted) {
    ParticleEmmiter* e = MakeEmitter();
    SendTo(e, kMsgEmitterStart);
    EXPECT_TRUE(e->IsActive());
    SendTo(e, kMsgEmitterMove);
    EXPECT_FALSE(e->IsEmitting());
    SendTo(e, kMsgEmitterStop);
    EXPECT_FALSE(e->IsActive());
}

TEST_F(ParticleEmmiterTest, DieOnStopEmitterThatTimedOutStartsAgainWithItsParticles) {
    ParticleEmmiter* e = MakeEmitter();
    e->GetParticles()[0].count = 5;
    e->GetParticles().emplace_back();
    e->Rebuild();
    Command(e, kMsgEmitterStart, D3DXVECTOR3(), true);
    e->Update(3.0f);  // times out: inactive, dieOnStop -> shut down
    EXPECT_FALSE(e->IsActive());
    EXPECT_EQ(e->GetBuffers(), nullptr);

    Command(e, kMsgEmitterStart, D3DXVECTOR3(), true);
    EXPECT_TRUE(e->IsActive());
    ASSERT_NE(e->GetBuffers(), nullptr);
    EXPECT_EQ(e->GetBuffers()->seedCount, 2u);
    EXPECT_TRUE(e->GetBuffers()->seedPending);
    EXPECT_EQ(e->GetParticles()[0].count, 5);
}

TEST_F(ParticleEmmiterTest, ReturnedRecordIsReusedBeforeANewOneIsMade) {
    ParticleEmmiter* a = MakeRunningEmitter();
    EmitterBuffers* first = a->GetBuffers();
    a->Shutdown();
    EXPECT_EQ(device->FreeCount(), 1u);
    ParticleEmmiter* b = MakeRunningEmitter();
    EXPECT_EQ(b->GetBuffers(), first);
    ParticleEmmiter* c = MakeRunningEmitter();
    EXPECT_NE(c->GetBuffers(), first);
    EXPECT_EQ(device->RecordCount(), 2u);
    EXPECT_EQ(device->FreeCount(), 0u);
}

TEST_F(ParticleEmmiterTest, ARecordReturnedTwiceIsLentOnlyOnce) {
    ParticleEmmiter* a = MakeRunningEmitter();
    EmitterBuffers* record = a->GetBuffers();
    device->ReturnEmitter(record);
    device->ReturnEmitter(record);
    EmitterBuffers foreign;
    device->ReturnEmitter(&foreign);
    EXPECT_EQ(device->FreeCount(), 1u);
}

TEST_F(ParticleEmmiterTest, CloneCopiesTheDesignButNotTheBuffersOrRun) {
    ParticleEmmiter* e = MakeEmitter();
    e->SetContinuous(true);
    e->SetDieOnStop(true);
    e->SetEmitting(false);
    e->GetParticles()[0].sizeScale = 3.0f;
    std::unique_ptr<ParticleEmmiter> clone(static_cast<ParticleEmmiter*>(e->Clone()));
    EXPECT_NE(clone->GetId(), e->GetId());
    EXPECT_EQ(clone->GetOwner(), 0u);
    EXPECT_EQ(clone->GetBuffers(), nullptr);
    EXPECT_TRUE(clone->IsContinuous());
    EXPECT_TRUE(clone->DiesOnStop());
    EXPECT_TRUE(clone->IsEmitting());
    EXPECT_EQ(clone->GetParticles()[0].sizeScale, 3.0f);
}

TEST_F(ParticleEmmiterTest, PanelEntriesFollowTheListAsItGrowsAndTheEmitterGoes) {
    TwInspectReset();
    TwBar* bar = TwNewBar("Emitter");
    ParticleEmmiter* e = MakeEmitter();
    TweakVarParams group;
    group.group.value = "ParticleEmmiter";
    group.group.set = true;
    e->AddTweakBarVars(bar, group);

    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "maxage0", &info));
    EXPECT_EQ(info.label, "Max Age");
    EXPECT_EQ(info.group, "Particle0");
    ASSERT_TRUE(TwInspectWriteValue(bar, "count0", "12"));
    EXPECT_EQ(e->GetParticles()[0].count, 12);

    // Growing the list moves the descriptions; the entries still reach them.
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(TwInspectPressButton(bar, "AddEmitter"));
    EXPECT_EQ(e->GetParticles().size(), 21u);
    std::string text;
    ASSERT_TRUE(TwInspectReadValue(bar, "count0", &text));
    EXPECT_EQ(text, "12");
    ASSERT_TRUE(TwInspectWriteValue(bar, "gradstart0", "0.5 0.25 0 1"));
    EXPECT_EQ(e->GetParticles()[0].colorRange.StartVal.g, 0.25f);

    ASSERT_TRUE(TwInspectPressButton(bar, "StartEmitter"));
    EXPECT_TRUE(e->IsActive());
    EXPECT_EQ(e->GetBuffers()->seedCount, 21u);
    ASSERT_TRUE(TwInspectPressButton(bar, "StopEmitter"));
    EXPECT_FALSE(e->IsEmitting());
    ASSERT_TRUE(TwInspectPressButton(bar, "NoParticles"));
    EXPECT_FALSE(e->IsActive());
    EXPECT_TRUE(e->IsEmitting());

    // Once the emitter is gone, the entries read zero and edits go nowhere.
    overlord->UnregisterGameObject(e->GetOwner());
    graveyard->Collect(1.0f);
    ASSERT_TRUE(TwInspectReadValue(bar, "count0", &text));
    EXPECT_EQ(text, "0");
    EXPECT_TRUE(TwInspectWriteValue(bar, "count0", "3"));
    EXPECT_TRUE(TwInspectPressButton(bar, "AddEmitter"));
    TwInspectReset();
}

TEST_F(ParticleEmmiterTest, EnablingReseedsAndBringsBackBuffersOfAShutDownEmitter) {
    ParticleEmmiter* e = MakeRunningEmitter();
    e->GetBuffers()->seedPending = false;
    e->SetEnabled(false);
    EXPECT_FALSE(e->IsEmitting());
    e->SetEnabled(true);
    EXPECT_TRUE(e->IsEmitting());
    EXPECT_TRUE(e->GetBuffers()->seedPending);

    e->Shutdown();
    e->SetEnabled(true);
    ASSERT_NE(e->GetBuffers(), nullptr);
    EXPECT_TRUE(e->IsActive());
}
