// Engine-wide services for render tests, made in start-up order (hub, id
// counter, graveyard, overlord) and destroyed in reverse, plus a component
// that records the messages it receives.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/IComponent.h"
#include "engine/ISystem.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "port/math/D3DX.h"
#include "tests/support/TestIdCounter.h"

class RecordingComponent : public IComponent {
public:
    RecordingComponent() : IComponent(TypeId<RecordingComponent>::Get()) {}
    void HandleMessage(Message* m) override {
        types.push_back(m->type);
        const u32* value = m->Read(Kind<u32>{m->type, m->argument});  // 0 for other payloads
        payloads.push_back(value ? *value : 0);
    }
    void Update(float) override {}
    void Init() override {}
    void Shutdown() override {}
    IComponent* Clone() override { return new RecordingComponent; }
    void DebugDraw() override {}
    u32 GetAliasTypeId() override { return 0; }

    std::vector<u32> types;
    std::vector<u32> payloads;
};

class RenderFixture : public ::testing::Test {
protected:
    std::unique_ptr<MessageHub> hub = std::make_unique<MessageHub>();
    std::unique_ptr<TestIdCounter> counter = std::make_unique<TestIdCounter>();
    std::unique_ptr<Graveyard> graveyard = std::make_unique<Graveyard>();
    std::unique_ptr<Overlord> overlord = std::make_unique<Overlord>();

    // Delivers a message (with a payload copy, if given) to a registered component now.
    template <class P, class... V>
    requires PayloadArguments<P, V...>
    void SendTo(IComponent* component, const Kind<P>& kind, const V&... payload) {
        SendToComponent(kind, component->GetId(), 0, payload...);
    }
};

inline void ExpectVecNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float eps = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

// A system that records the messages addressed to it, registered in the
// Engine under a chosen type id.
class RecordingSystem : public ISystem {
public:
    explicit RecordingSystem(u32 typeId) : ISystem(typeId) {}
    void HandleMessage(Message* m) override {
        types.push_back(m->type);
        arguments.push_back(m->argument);
        if (const D3DXVECTOR3* position = m->Read(kMsgEditorCameraPosition)) positions.push_back(*position);
        if (const std::string* name = m->Read(kMsgEditorCameraName)) names.push_back(*name);
    }
    void Update(float) override {}
    void Init() override {}
    void Clear() override {}
    void Activate() override {}
    void Deactivate() override {}

    std::vector<u32> types;
    std::vector<u32> arguments;
    std::vector<D3DXVECTOR3> positions;
    std::vector<std::string> names;
};
