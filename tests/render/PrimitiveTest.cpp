#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "RenderTestSupport.h"
#include "engine/MessageTypes.h"
#include "engine/Resolvers.h"
#include "engine/Transform.h"
#include "render/frame/RenderDevice.h"
#include "render/mesh/Model.h"
#include "render/mesh/NoiseGenerator.h"
#include "render/mesh/Primitive.h"
#include "scene/ObjectFactory.h"

namespace {
// Records every Model id announced with ComponentAnnounced(TypeId<Model>).
class ModelAnnouncements : public IComponent {
public:
    ModelAnnouncements() : IComponent(TypeId<ModelAnnouncements>::Get()) {}
    void HandleMessage(Message* m) override {
        if (const u32* id = m->Read(ComponentAnnounced(TypeId<Model>::Get()))) ids.push_back(*id);
    }
    IComponent* Clone() override { return new ModelAnnouncements; }
    std::vector<u32> ids;
};

int CountModels(const GameObject& object) {
    int n = 0;
    for (IComponent* c : object.GetComponents()) n += c->GetTypeId() == TypeId<Model>::Get();
    return n;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
}  // namespace

class PrimitiveTest : public RenderFixture {
protected:
    std::unique_ptr<ObjectFactory> factory = std::make_unique<ObjectFactory>();
    std::unique_ptr<RenderDevice> device = std::make_unique<RenderDevice>();
    std::unique_ptr<NoiseGenerator> noise = std::make_unique<NoiseGenerator>();
    ModelAnnouncements* announcements = nullptr;

    void SetUp() override {
        factory->RegisterComponentPrototype("Model", new Model());
        announcements = new ModelAnnouncements();
        overlord->RegisterComponent(announcements);
        announcements->Subscribe(ComponentAnnounced(TypeId<Model>::Get()));
    }

    GameObject* MakeObject(Primitive* primitive, bool modelFirst = false, bool modelLast = false) {
        auto* object = new GameObject();
        object->AddComponent(new Transform());
        if (modelFirst) object->AddComponent(new Model());
        object->AddComponent(primitive);
        if (modelLast) object->AddComponent(new Model());
        return object;
    }
    static void PressRebuild(const Primitive* primitive) {
        Primitive::RebuildCallback(reinterpret_cast<void*>(static_cast<std::uintptr_t>(primitive->GetId())));
    }
};

TEST_F(PrimitiveTest, RebuildTwiceLeavesExactlyOneModelEachAnnouncedOnce) {
    auto* primitive = new Primitive();
    GameObject* object = MakeObject(primitive);
    object->Init();
    object->AnnounceComponents();
    ASSERT_EQ(CountModels(*object), 1);
    const u32 first = object->GetComponent<Model>()->GetId();

    PressRebuild(primitive);
    PressRebuild(primitive);
    EXPECT_EQ(CountModels(*object), 1);
    const u32 last = object->GetComponent<Model>()->GetId();
    EXPECT_NE(last, first);
    EXPECT_EQ(overlord->GetComponentById(first), nullptr);  // the old ones are gone
    ASSERT_EQ(announcements->ids.size(), 3u);
    EXPECT_EQ(announcements->ids.back(), last);
    EXPECT_EQ(std::set<u32>(announcements->ids.begin(), announcements->ids.end()).size(), 3u);
}

TEST_F(PrimitiveTest, InitOfTheObjectWalksSafelyWhileTheModelIsReplaced) {
    for (bool modelFirst : {true, false}) {
        auto* primitive = new Primitive();
        GameObject* object = MakeObject(primitive, modelFirst, !modelFirst);
        object->Init();  // the Primitive removes one Model and adds another during the walk
        object->AnnounceComponents();
        EXPECT_EQ(CountModels(*object), 1) << modelFirst;
    }
    // The renderer hears of each new Model once (at the object's announcement).
    std::set<u32> unique(announcements->ids.begin(), announcements->ids.end());
    EXPECT_EQ(unique.size(), announcements->ids.size());
    EXPECT_EQ(announcements->ids.size(), 2u);
}

TEST_F(PrimitiveTest, CubeIgnoresItsSizesButTheyGuardIt) {
    auto* primitive = new Primitive();
    primitive->primType = Primitive::kCube;
    primitive->objectWidth = 5.0f;
    GameObject* object = MakeObject(primitive);
    object->Init();
    const Model* model = object->GetComponent<Model>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->extent.x, 1.0f);
    EXPECT_EQ(model->vertexCount, 8u);

    primitive->objectWidth = primitive->objectHeight = primitive->objectDepth = 0.0f;
    EXPECT_EQ(primitive->BuildMesh(true), nullptr);
    EXPECT_EQ(CountModels(*object), 0);  // the old one went first
}

TEST_F(PrimitiveTest, ShapesGetTheirMeshesAndLockedSlots) {
    struct Case {
        int type;
        u32 vertices;
    } cases[] = {{Primitive::kSphere, 3 * 4 + 2},
                 {Primitive::kEllipsoid, 3 * 4 + 2},
                 {Primitive::kQuad, 4},
                 {Primitive::kCube, 8},
                 {Primitive::kCone, 4 + 2}};
    for (const Case& c : cases) {
        auto* primitive = new Primitive();
        primitive->primType = c.type;
        GameObject* object = MakeObject(primitive);
        object->Init();
        const Model* model = object->GetComponent<Model>();
        ASSERT_NE(model, nullptr) << c.type;
        EXPECT_EQ(model->vertexCount, c.vertices) << c.type;
        EXPECT_TRUE(model->material.diffuseLocked && model->material.glowLocked && model->material.normalLocked &&
                    model->material.specularLocked);
    }
}

TEST_F(PrimitiveTest, HostileSettingsGiveNoShapeOrAGuardedOneButNeverACrash) {
    auto sphere = [](Primitive& p) { p.primType = Primitive::kSphere; };
    auto cone = [](Primitive& p) { p.primType = Primitive::kCone; };
    auto quad = [](Primitive& p) { p.primType = Primitive::kQuad; };
    struct Case {
        const char* what;
        std::function<void(Primitive&)> set;
        bool shape;
    } cases[] = {
        {"zero stacks",
         [&](Primitive& p) {
             sphere(p);
             p.stacks = 0;
         },
         false},
        {"one slice",
         [&](Primitive& p) {
             sphere(p);
             p.slices = 1;
         },
         false},
        {"negative stacks",
         [&](Primitive& p) {
             sphere(p);
             p.stacks = -7;
         },
         false},
        {"huge stacks",
         [&](Primitive& p) {
             sphere(p);
             p.stacks = 1 << 30;
         },
         false},
        {"NaN radius",
         [&](Primitive& p) {
             sphere(p);
             p.r = kNaN;
         },
         false},
        {"infinite ellipsoid",
         [&](Primitive& p) {
             p.primType = Primitive::kEllipsoid;
             p.rz = kInf;
         },
         false},
        {"cone without slices",
         [&](Primitive& p) {
             cone(p);
             p.slices = 0;
         },
         false},
        {"cone without radius",
         [&](Primitive& p) {
             cone(p);
             p.r = 0.0f;
         },
         false},
        {"flat cone",
         [&](Primitive& p) {
             cone(p);
             p.objectHeight = 0.0f;
         },
         true},
        {"quad without width",
         [&](Primitive& p) {
             quad(p);
             p.objectWidth = 0.0f;
         },
         false},
        {"NaN quad",
         [&](Primitive& p) {
             quad(p);
             p.objectHeight = kNaN;
         },
         false},
        {"unknown type", [](Primitive& p) { p.primType = 99; }, false},
        {"negative type", [](Primitive& p) { p.primType = -1; }, false},
        {"noise at defaults",
         [&](Primitive& p) {
             sphere(p);
             p.noisy = p.noiseGlowmap = true;
         },
         true},
        {"huge noise",
         [&](Primitive& p) {
             sphere(p);
             p.noisy = p.gaussian = true;
             p.width = 1 << 30;
             p.height = -3;
             p.octaves = 1000;
             p.persist = 0.5f;
         },
         true},
        {"NaN persistence",
         [&](Primitive& p) {
             sphere(p);
             p.noisy = true;
             p.persist = kNaN;
             p.width = 8;
         },
         true},
        {"noisy sphere",
         [&](Primitive& p) {
             sphere(p);
             p.noisy = true;
             p.width = p.height = 16;
             p.octaves = 3;
             p.persist = 0.5f;
             p.stacks = p.slices = 24;
         },
         true},
    };
    for (const Case& c : cases) {
        auto* primitive = new Primitive();
        c.set(*primitive);
        GameObject* object = MakeObject(primitive);
        object->Init();
        EXPECT_EQ(CountModels(*object), c.shape ? 1 : 0) << c.what;
        PressRebuild(primitive);
        EXPECT_EQ(CountModels(*object), c.shape ? 1 : 0) << c.what;
    }
}

TEST_F(PrimitiveTest, NoisyEllipsoidBoundsFollowTheNoise) {
    auto* plain = new Primitive();
    plain->primType = Primitive::kEllipsoid;
    plain->stacks = plain->slices = 16;
    plain->ry = 2.0f;
    GameObject* a = MakeObject(plain);
    a->Init();
    auto* noisy = static_cast<Primitive*>(plain->Clone());
    noisy->noisy = true;
    noisy->width = noisy->height = 8;
    noisy->octaves = 2;
    noisy->persist = 0.5f;
    GameObject* b = MakeObject(noisy);
    b->Init();
    const Model* smooth = a->GetComponent<Model>();
    const Model* rough = b->GetComponent<Model>();
    ASSERT_TRUE(smooth && rough);
    EXPECT_NEAR(smooth->extent.y, 2.0f, 1e-4f);
    EXPECT_LT(rough->extent.y, 2.0f);  // noise values lie in 0..1 and scale the radii down
    EXPECT_GT(rough->extent.y, 0.0f);
}
