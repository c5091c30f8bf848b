#include <gtest/gtest.h>

#include <functional>

#include "RenderTestSupport.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "render/frame/RenderDevice.h"
#include "render/particle/EmitterBuffers.h"
#include "render/particle/ParticleEffect.h"
#include "render/particle/ParticleEmmiter.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"
#include "tests/support/LogCapture.h"

class ParticleEffectTest : public RenderFixture {
protected:
    std::unique_ptr<ObjectFactory> factory = std::make_unique<ObjectFactory>();
    std::unique_ptr<RenderDevice> device = std::make_unique<RenderDevice>();

    void AddEmitterArchetype(const std::string& name) {
        auto* prototype = new GameObject();
        prototype->SetArchetypeName(name);
        prototype->AddComponent(new Transform());
        prototype->AddComponent(new ParticleEmmiter());
        factory->AddArchetypeByName(prototype);
    }

    ParticleEffect* MakeEffect(const std::vector<std::string>& archetypes, bool withTransform = true) {
        auto* owner = new GameObject();
        if (withTransform) {
            auto* transform = new Transform();
            transform->SetPosition(3, 4, 5);
            owner->AddComponent(transform);
        }
        auto* effect = new ParticleEffect();
        for (size_t i = 0; i < archetypes.size(); ++i) effect->Archetype(static_cast<int>(i)) = archetypes[i];
        effect->KillEmitter(3) = true;
        owner->AddComponent(effect);
        owner->Init();
        return effect;
    }

    ParticleEmmiter* EmitterIn(const ParticleEffect* effect, int slot) {
        const u32 id = effect->EmitterObject(slot);
        return id ? overlord->GetComponent<ParticleEmmiter>(id) : nullptr;
    }

    void Command(ParticleEffect* effect, u32 command) {
        SendTo(effect, ComponentCommand(command), D3DXVECTOR3(0, 0, 0));
    }
};

TEST_F(ParticleEffectTest, OneNamedSlotMakesOneObjectAndCommandZeroStartsOnlyIt) {
    AddEmitterArchetype("Sparks");
    ParticleEffect* effect = MakeEffect({"Sparks"});
    ASSERT_NE(effect->EmitterObject(0), 0u);
    for (int i = 1; i < ParticleEffect::kSlots; ++i) EXPECT_EQ(effect->EmitterObject(i), 0u);

    ParticleEmmiter* emitter = EmitterIn(effect, 0);
    ASSERT_NE(emitter, nullptr);
    EXPECT_EQ(emitter->GetBuffers(), nullptr);  // idle until started
    Command(effect, 0);
    EXPECT_TRUE(emitter->IsActive());
    EXPECT_NE(emitter->GetBuffers(), nullptr);
    EXPECT_TRUE(emitter->DiesOnStop());
    const Transform* placed = overlord->GetComponent<Transform>(effect->EmitterObject(0));
    EXPECT_EQ(placed->position.x, 3.0f);
    EXPECT_EQ(placed->position.z, 5.0f);
}

TEST_F(ParticleEffectTest, CommandZeroStartsSlotZeroAndStopsAndKillsTheOthers) {
    AddEmitterArchetype("Burst");
    ParticleEffect* effect = MakeEffect({"Burst", "Burst", "Burst", "Burst", "Burst"});
    for (int i = 0; i < ParticleEffect::kSlots; ++i) ASSERT_NE(EmitterIn(effect, i), nullptr) << i;
    EmitterIn(effect, 2)->SetActive(true);
    Command(effect, 0);
    EXPECT_TRUE(EmitterIn(effect, 0)->IsActive());
    for (int i = 1; i < ParticleEffect::kSlots; ++i) {
        EXPECT_FALSE(EmitterIn(effect, i)->IsActive()) << i;
        EXPECT_EQ(EmitterIn(effect, i)->GetBuffers(), nullptr) << i;
    }
}

TEST_F(ParticleEffectTest, CommandThreeSendsItsKillFlagAndFourNever) {
    AddEmitterArchetype("Hit");
    ParticleEffect* effect = MakeEffect({"", "", "", "Hit", "Hit"});
    Command(effect, 3);
    EXPECT_TRUE(EmitterIn(effect, 3)->IsActive());
    EXPECT_TRUE(EmitterIn(effect, 3)->DiesOnStop());
    Command(effect, 4);
    EXPECT_TRUE(EmitterIn(effect, 4)->IsActive());
    EXPECT_FALSE(EmitterIn(effect, 4)->DiesOnStop());
}

TEST_F(ParticleEffectTest, ShotFlashesOnlyTheEffectOfTheObjectThatFired) {
    AddEmitterArchetype("Flash");
    ParticleEffect* ship = MakeEffect({"", "", "", "", "Flash"});
    ParticleEffect* enemy = MakeEffect({"", "", "", "", "Flash"});
    const D3DXVECTOR3 muzzle(0, 0, 0);
    SendToComponent(kMsgShotEffect, ship->GetId(), enemy->GetOwner(), muzzle);
    EXPECT_FALSE(EmitterIn(ship, 4)->IsActive());
    SendToComponent(kMsgShotEffect, enemy->GetId(), enemy->GetOwner(), muzzle);
    EXPECT_TRUE(EmitterIn(enemy, 4)->IsActive());
}

TEST_F(ParticleEffectTest, CommandsOneTwoAndFiveDoNothing) {
    AddEmitterArchetype("Idle");
    ParticleEffect* effect = MakeEffect({"Idle", "Idle", "Idle", "Idle", "Idle"});
    for (u32 command : {1u, 2u, 5u, 77u}) Command(effect, command);
    for (int i = 0; i < ParticleEffect::kSlots; ++i) EXPECT_FALSE(EmitterIn(effect, i)->IsActive()) << i;
}

TEST_F(ParticleEffectTest, UnknownArchetypeLeavesItsSlotEmpty) {
    ParticleEffect* effect = MakeEffect({"NoSuchArchetype"});
    EXPECT_EQ(effect->EmitterObject(0), 0u);
    Command(effect, 0);  // skips the empty slot
}

TEST_F(ParticleEffectTest, OwnerWithoutTransformSendsNothing) {
    AddEmitterArchetype("Lonely");
    ParticleEffect* effect = MakeEffect({"Lonely"}, false);
    Command(effect, 0);
    EXPECT_FALSE(EmitterIn(effect, 0)->IsActive());
}

TEST_F(ParticleEffectTest, CloneKeepsNamesAndFlagsButMakesItsOwnObjects) {
    AddEmitterArchetype("Twice");
    ParticleEffect* effect = MakeEffect({"Twice"});
    std::unique_ptr<ParticleEffect> clone(static_cast<ParticleEffect*>(effect->Clone()));
    EXPECT_EQ(clone->Archetype(0), "Twice");
    EXPECT_TRUE(clone->KillEmitter(3));
    EXPECT_EQ(clone->EmitterObject(0), 0u);
}

// An archetype whose effect names itself, directly or through another, made
// objects until the stack ran out; now the repeat is refused and its slot
// stays empty.
TEST_F(ParticleEffectTest, ArchetypeWhoseEffectNamesItselfIsMadeOnce) {
    for (const char* name : {"Ping", "Pong"}) {
        auto* prototype = new GameObject();
        prototype->SetArchetypeName(name);
        prototype->AddComponent(new Transform());
        prototype->AddComponent(new ParticleEmmiter());
        auto* effect = new ParticleEffect();
        effect->Archetype(0) = name;                                           // itself
        effect->Archetype(1) = std::string(name) == "Ping" ? "Pong" : "Ping";  // the other
        prototype->AddComponent(effect);
        factory->AddArchetypeByName(prototype);
    }
    ParticleEffect* effect = MakeEffect({"Ping"});
    const u32 ping = effect->EmitterObject(0);
    ASSERT_NE(ping, 0u);
    auto* made = overlord->GetComponent<ParticleEffect>(ping);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->EmitterObject(0), 0u) << "Ping inside Ping";
    const u32 pong = made->EmitterObject(1);
    ASSERT_NE(pong, 0u);
    auto* pongEffect = overlord->GetComponent<ParticleEffect>(pong);
    ASSERT_NE(pongEffect, nullptr);
    EXPECT_EQ(pongEffect->EmitterObject(0), 0u) << "Pong inside Pong";
    EXPECT_EQ(pongEffect->EmitterObject(1), 0u) << "Ping inside Pong inside Ping";
    // The next effect starts with a clear record.
    EXPECT_NE(MakeEffect({"Pong"})->EmitterObject(0), 0u);
}

TEST_F(ParticleEffectTest, EmitterObjectsLiveWithTheSceneButAreNotSaved) {
    // A saved scene must not hold them: the effect makes them again on load.
    SceneManager scene;
    AddEmitterArchetype("Sparks");
    ParticleEffect* effect = MakeEffect({"Sparks"});
    const u32 emitter = effect->EmitterObject(0);
    ASSERT_NE(emitter, 0u);
    EXPECT_TRUE(scene.GetObjectIds().empty());
    EXPECT_EQ(scene.GetPlayObjectIds(), std::vector<u32>{emitter});
    overlord->UnregisterGameObject(effect->GetOwner());
    EXPECT_NE(overlord->GetGameObject(emitter), nullptr) << "an effect set off by a dying object still plays";
    scene.ClearScene();
    EXPECT_EQ(overlord->GetGameObject(emitter), nullptr);
}

// Effects made one after another, each finished before the next is made,
// keep lending out the first one's buffers, however they finish: a run over
// with the object alive (a muzzle flash), a run over after the object died
// (an explosion), or the object gone before anything started (a bullet that
// expired). Objects whose effect is gone leave at the next particle pass.
TEST_F(ParticleEffectTest, FinishedEffectsLeaveThePoolWhereOneEffectLeavesIt) {
    AddEmitterArchetype("Puff");
    enum class End { RunOverObjectAlive, ObjectDiesDuringTheRun, ObjectDiesUnstarted };
    for (End end : {End::RunOverObjectAlive, End::ObjectDiesDuringTheRun, End::ObjectDiesUnstarted}) {
        SCOPED_TRACE(static_cast<int>(end));
        std::size_t afterOne = 0;
        for (int n = 1; n <= 50; ++n) {
            ParticleEffect* effect = MakeEffect({"", "", "", "", "Puff"});
            const u32 emitterObject = effect->EmitterObject(4);
            const u32 emitter = EmitterIn(effect, 4)->GetId();
            if (end != End::ObjectDiesUnstarted) Command(effect, 4);  // no kill flag
            if (end != End::RunOverObjectAlive) overlord->UnregisterGameObject(effect->GetOwner());
            device->RunEmitters({emitter}, 3.0f, 0.0f, {});  // the run ends; an orphan's object goes
            graveyard->Collect(1.0f);
            if (end == End::RunOverObjectAlive)
                EXPECT_NE(overlord->GetGameObject(emitterObject), nullptr);
            else
                EXPECT_EQ(overlord->GetGameObject(emitterObject), nullptr) << n;
            if (n == 1) afterOne = device->RecordCount();
        }
        EXPECT_EQ(afterOne, 1u);
        EXPECT_EQ(device->RecordCount(), afterOne);
        EXPECT_EQ(device->FreeCount(), device->RecordCount());
    }
}

// An effect whose object goes gives its idle emitters' buffers back at once;
// a running one plays out first, and a continuous one, which nothing could
// stop any more, stops at once.
TEST_F(ParticleEffectTest, EffectOfAGoneObjectLetsARunningEmitterPlayOut) {
    AddEmitterArchetype("Spark");
    ParticleEffect* effect = MakeEffect({"Spark", "Spark", "Spark"});
    ParticleEmmiter* running = EmitterIn(effect, 0);
    ParticleEmmiter* idle = EmitterIn(effect, 1);
    ParticleEmmiter* continuous = EmitterIn(effect, 2);
    continuous->SetContinuous(true);
    continuous->SetActive(true);
    SendTo(running, kMsgEmitterStart);
    const u32 runningObject = running->GetOwner();
    overlord->UnregisterGameObject(effect->GetOwner());

    EXPECT_EQ(idle->GetBuffers(), nullptr);
    EXPECT_EQ(continuous->GetBuffers(), nullptr);
    EXPECT_FALSE(continuous->IsActive());
    ASSERT_NE(running->GetBuffers(), nullptr);
    device->RunEmitters({running->GetId(), idle->GetId(), continuous->GetId()}, 1.0f, 0.0f, {});
    EXPECT_EQ(overlord->GetComponentById(idle->GetId()), nullptr);
    EXPECT_EQ(overlord->GetComponentById(continuous->GetId()), nullptr);
    EXPECT_NE(overlord->GetGameObject(runningObject), nullptr) << "still playing";
    device->RunEmitters({running->GetId()}, 1.5f, 1.0f, {});
    EXPECT_EQ(overlord->GetGameObject(runningObject), nullptr);
    EXPECT_EQ(device->FreeCount(), device->RecordCount());
}

class ParticleEffectBudgetTest : public ParticleEffectTest {
protected:
    ParticleEffectBudgetTest() { ParticleEffect::ResetBudget(); }
    LogCapture log;
};

// A scene asking for more effect objects than the budget gets the budget's
// worth (their emitters idle, holding no buffers), one row naming the first
// refused object, and room again once some are gone.
TEST_F(ParticleEffectBudgetTest, EffectsPastTheBudgetLeaveTheirSlotsEmptyAndSayItOnce) {
    AddEmitterArchetype("Ember");
    constexpr std::size_t kMax = ParticleEffect::kMaxLiveObjects;
    std::vector<ParticleEffect*> effects;
    for (std::size_t i = 0; i < kMax + 3; ++i) effects.push_back(MakeEffect({"Ember"}));
    EXPECT_EQ(ParticleEffect::LiveObjects(), kMax);
    EXPECT_EQ(device->RecordCount(), 0u) << "idle emitters hold no buffers";
    for (std::size_t i = kMax; i < kMax + 3; ++i) EXPECT_EQ(effects[i]->EmitterObject(0), 0u) << i;
    EXPECT_NE(effects[kMax - 1]->EmitterObject(0), 0u);

    // Two effects go with their objects: two more fit, the third does not.
    const u32 gone[] = {effects[0]->EmitterObject(0), effects[1]->EmitterObject(0)};
    for (int i = 0; i < 2; ++i) overlord->UnregisterGameObject(gone[i]);
    EXPECT_NE(MakeEffect({"Ember"})->EmitterObject(0), 0u);
    EXPECT_NE(MakeEffect({"Ember"})->EmitterObject(0), 0u);
    EXPECT_EQ(MakeEffect({"Ember"})->EmitterObject(0), 0u);

    const std::vector<std::string> rows = log.Messages();
    EXPECT_EQ(LogCapture::CountContaining(rows, "objects alive at once"), 1u);
    EXPECT_EQ(LogCapture::CountContaining(rows, "on object " + std::to_string(effects[kMax]->GetOwner())), 1u);
}

// An archetype whose effect names itself in every slot, made by 300 effects
// (the budget lets 256 of them make it): one row for the archetype, not one
// per slot and object; a new scene reports it again.
TEST_F(ParticleEffectBudgetTest, ArchetypeThatMakesItselfIsReportedOnceHoweverOftenItIsNamed) {
    auto* prototype = new GameObject();
    prototype->SetArchetypeName("Loop");
    prototype->AddComponent(new Transform());
    auto* loop = new ParticleEffect();
    for (int i = 0; i < ParticleEffect::kSlots; ++i) loop->Archetype(i) = "Loop";
    prototype->AddComponent(loop);
    factory->AddArchetypeByName(prototype);
    for (int i = 0; i < 300; ++i) MakeEffect({"Loop"});
    ParticleEffect::ResetBudget();
    MakeEffect({"Loop"});

    const std::vector<std::string> rows = log.Messages();
    EXPECT_EQ(LogCapture::CountContaining(rows, "would make itself again"), 2u);
}

// One budget counts every emitter's buffers however it was made (a component
// of its own, a spawned clone of an archetype, an effect's object): past
// RenderDevice::kMaxLent running at once the next ones get none and draw
// nothing, one row names the first refused object, and they take buffers at
// the next pass once some runs have ended.
TEST_F(ParticleEffectBudgetTest, RunningEmittersPastTheBudgetWaitForBuffersAndSayItOnce) {
    AddEmitterArchetype("Puff");
    auto* running = new GameObject();
    running->SetArchetypeName("RunningPuff");
    running->AddComponent(new Transform());
    auto* design = new ParticleEmmiter();
    design->SetActive(true);
    running->AddComponent(design);
    factory->AddArchetypeByName(running);
    const std::function<ParticleEmmiter*()> ways[] = {
        [&] {  // a component of its own, active in its data
            auto* object = new GameObject();
            object->AddComponent(new Transform());
            auto* emitter = new ParticleEmmiter();
            emitter->SetActive(true);
            object->AddComponent(emitter);
            object->Init();
            return emitter;
        },
        [&] { return overlord->GetComponent<ParticleEmmiter>(factory->Instantiate("RunningPuff", false)); },
        [&] {  // an effect's object, set off
            ParticleEffect* effect = MakeEffect({"Puff"});
            Command(effect, 0);
            return EmitterIn(effect, 0);
        },
    };
    constexpr std::size_t kMax = RenderDevice::kMaxLent;
    std::vector<ParticleEmmiter*> first;
    for (std::size_t i = 0; i < kMax; ++i) first.push_back(ways[i % 3]());
    EXPECT_EQ(device->LentCount(), kMax);
    std::vector<ParticleEmmiter*> refused;
    for (const auto& way : ways) refused.push_back(way());
    for (ParticleEmmiter* emitter : refused) {
        EXPECT_TRUE(emitter->IsActive());
        EXPECT_EQ(emitter->GetBuffers(), nullptr);
    }
    EXPECT_EQ(device->LentCount(), kMax);

    // Three runs end: the waiting emitters draw from the next pass on.
    for (int i = 0; i < 3; ++i) SendTo(first[i], kMsgEmitterStop, EmitterCommand{D3DXVECTOR3(0, 0, 0), true});
    std::vector<u32> ids;
    for (ParticleEmmiter* emitter : refused) ids.push_back(emitter->GetId());
    device->RunEmitters(ids, 0.1f, 0.0f, {});
    for (ParticleEmmiter* emitter : refused) EXPECT_NE(emitter->GetBuffers(), nullptr);
    EXPECT_EQ(device->LentCount(), kMax);

    const std::vector<std::string> rows = log.Messages();
    EXPECT_EQ(LogCapture::CountContaining(rows, "emitters would run at once"), 1u);
    EXPECT_EQ(LogCapture::CountContaining(rows, "on object " + std::to_string(refused[0]->GetOwner()) + ":"), 1u);
}
