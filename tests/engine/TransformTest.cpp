#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/DebugLine.h"
#include "engine/Transform.h"
#include "port/panels/TweakPanelsProbe.h"
#include "reflection/TweakVarParams.h"

class GraphicsSystem;

namespace {
constexpr float kEps = 1e-4f;

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    EXPECT_NEAR(a.x, b.x, kEps);
    EXPECT_NEAR(a.y, b.y, kEps);
    EXPECT_NEAR(a.z, b.z, kEps);
}

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

D3DXQUATERNION AboutAxis(float x, float y, float z, float degrees) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 axis(x, y, z);
    D3DXQuaternionRotationAxis(&q, &axis, degrees * 0.017453292519943295f);
    return q;
}

D3DXVECTOR3 Apply(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &p, &m);
    return out;
}

class TransformTest : public EngineFixture {
protected:
    // A registered object holding one transform, placed and initialised.
    Transform* Make(D3DXVECTOR3 position, float scale = 1.0f, D3DXQUATERNION rotation = {0, 0, 0, 1},
                    Transform* parent = nullptr) {
        auto* object = new GameObject();
        auto* t = new Transform();
        t->position = position;
        t->scale = scale;
        t->rotation = rotation;
        object->AddComponent(t);
        t->Init();
        if (parent) object->SetParent(parent->GetOwner());
        return t;
    }
};
}  // namespace

TEST_F(TransformTest, RootWorldValuesAreItsLocalValues) {
    Transform* t = Make({1, 2, 3}, 2.0f, AboutAxis(0, 1, 0, 90));
    t->Update(0);
    ExpectNear(t->worldPosition, {1, 2, 3});
    // scale 2, then 90 degrees about y (x goes to -z), then the translation.
    ExpectNear(Apply({1, 0, 0}, t->GetWorldMatrix()), {1, 2, 1});
}

TEST_F(TransformTest, ChildOfScaledParentAndBack) {
    Transform* parent = Make({10, 0, 0}, 2.0f);
    Transform* child = Make({1, 0, 0}, 1.0f, {0, 0, 0, 1}, parent);
    EXPECT_EQ(child->parentId, parent->GetOwner());
    child->Update(0);
    ExpectNear(child->worldPosition, {12, 0, 0});
    child->SetWorldPosition({14, 0, 0});
    ExpectNear(child->position, {2, 0, 0});
    ExpectNear(child->worldPosition, {14, 0, 0});
}

TEST_F(TransformTest, WorldPositionIsExactUnderScaledAndRotatedAncestors) {
    Transform* grand = Make({0, 0, 0}, 2.0f);
    Transform* parent = Make({1, 0, 0}, 1.0f, AboutAxis(0, 1, 0, 90), grand);
    Transform* child = Make({0, 0, 0}, 1.0f, {0, 0, 0, 1}, parent);
    child->SetWorldPosition({2, 4, 0});
    ExpectNear(child->position, {0, 2, 0});  // by hand: /2, -(1,0,0), turned back about y
    child->Update(0);
    ExpectNear(child->worldPosition, {2, 4, 0});
    child->SetPosition(-3, 1, 7);  // a child's SetPosition takes world values
    child->Update(0);
    ExpectNear(child->worldPosition, {-3, 1, 7});
}

TEST_F(TransformTest, ZeroParentScaleGivesNoInfinityOrNaN) {
    Transform* parent = Make({1, 1, 1}, 0.0f);
    Transform* child = Make({2, 0, 0}, 1.0f, {0, 0, 0, 1}, parent);
    child->SetWorldPosition({5, 5, 5});
    EXPECT_TRUE(Finite(child->position));
    EXPECT_TRUE(Finite(child->worldPosition));
    ExpectNear(child->worldPosition, {1, 1, 1});  // a collapsed parent holds it
    Transform* other = Make({3, 0, 0});
    other->MakeRelativeTo(*parent);
    EXPECT_TRUE(Finite(other->position));
    EXPECT_TRUE(std::isfinite(other->scale));
}

TEST_F(TransformTest, MakeRelativeToKeepsTheWorldPlacement) {
    Transform* grand = Make({0, 0, 0}, 2.0f);
    Transform* parent = Make({1, 0, 0}, 1.0f, AboutAxis(0, 1, 0, 90), grand);
    Transform* object = Make({2, 4, 0}, 4.0f, AboutAxis(0, 1, 0, 90));
    object->MakeRelativeTo(*parent);
    Overlord::Instance()->GetGameObject(object->GetOwner())->SetParent(parent->GetOwner());
    ExpectNear(object->worldPosition, {2, 4, 0});
    EXPECT_NEAR(object->scale, 2.0f, kEps);
    const D3DXQUATERNION world = object->GetWorldRotation();
    EXPECT_NEAR(std::fabs(world.y), std::sin(0.785398f), kEps);
    EXPECT_NEAR(std::fabs(world.w), std::cos(0.785398f), kEps);
}

TEST_F(TransformTest, EulerSetterTurnsAboutTheAxisOfEachField) {
    const struct {
        D3DXVECTOR3 degrees;
        D3DXQUATERNION expected;
    } rows[] = {
        {{90, 0, 0}, AboutAxis(1, 0, 0, 90)},
        {{0, 45, 0}, AboutAxis(0, 1, 0, 45)},
        {{0, 0, -30}, AboutAxis(0, 0, 1, -30)},
    };
    for (const auto& row : rows) {
        Transform* t = Make({0, 0, 0});
        t->SetRotationEulerDegrees(row.degrees);
        EXPECT_NEAR(t->rotation.x, row.expected.x, kEps);
        EXPECT_NEAR(t->rotation.y, row.expected.y, kEps);
        EXPECT_NEAR(t->rotation.z, row.expected.z, kEps);
        EXPECT_NEAR(t->rotation.w, row.expected.w, kEps);
    }
}

TEST_F(TransformTest, EulerGetterNeverNaNNearStraightUp) {
    Transform* t = Make({0, 0, 0});
    t->rotation = D3DXQUATERNION(0.7072f, 0, 0, 0.7072f);  // slightly long: 2wx > 1
    const D3DXVECTOR3 e = t->GetRotationEulerDegrees();
    EXPECT_TRUE(Finite(e));
    EXPECT_NEAR(e.x, 90.0f, kEps);
}

// Set and get are inverse on the local rotation, with and without a turned
// parent: over a table of angles, each as typed (the panel shows it back)
// and as read from the rotation alone (a loaded rotation), where every angle
// in range comes back and a rotation made from them comes back the same.
TEST_F(TransformTest, EulerGetAndSetAreInverseOnTheLocalRotation) {
    const D3DXVECTOR3 table[] = {{0, 0, 0},    {30, 45, 0}, {0, 45, 0},  {-89, 170, -179}, {60, -120, 33}, {10, 20, 30},
                                 {-45, 0, 90}, {0, 0, 180}, {90, 30, 0}, {-90, -60, 0},    {200, 0, 0},    {0, 370, 0}};
    Transform* parent = Make({1, 2, 3}, 2.0f, AboutAxis(1, 1, 0, 70));
    for (Transform* under : {static_cast<Transform*>(nullptr), parent})
        for (const D3DXVECTOR3& e : table) {
            Transform* t = Make({0, 0, 0}, 1.0f, {0, 0, 0, 1}, under);
            t->SetRotationEulerDegrees(e);
            EXPECT_EQ(t->GetRotationEulerDegrees(), e) << "what is typed stays in its field";
            const D3DXQUATERNION expected = RotationFromEulerDegrees(e);
            EXPECT_EQ(t->rotation, expected) << "the local rotation";
            D3DXQUATERNION world;
            const D3DXQUATERNION parentRotation = under ? under->GetWorldRotation() : D3DXQUATERNION(0, 0, 0, 1);
            D3DXQuaternionMultiply(&world, &expected, &parentRotation);
            const D3DXQUATERNION got = t->GetWorldRotation();
            EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&got, &world)), 1.0f, kEps);
            EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&t->worldRotation, &world)), 1.0f, kEps);

            // Read back from the rotation alone.
            Transform* loaded = Make({0, 0, 0}, 1.0f, t->rotation, under);
            const D3DXVECTOR3 read = loaded->GetRotationEulerDegrees();
            const D3DXQUATERNION again = RotationFromEulerDegrees(read);
            EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&again, &expected)), 1.0f, kEps) << e.x << " " << e.y << " " << e.z;
            if (std::fabs(e.x) < 89.0f && std::fabs(e.y) <= 179.0f && std::fabs(e.z) <= 179.0f) ExpectNear(read, e);
        }
}

TEST_F(TransformTest, ChildDirectionsUseTheComputedWorldRotation) {
    Transform* parent = Make({0, 0, 0}, 1.0f, AboutAxis(0, 1, 0, 90));
    Transform* child = Make({0, 0, 0}, 1.0f, {0, 0, 0, 1}, parent);
    ExpectNear(child->GetForward(), {1, 0, 0});
    ExpectNear(child->GetRotationEulerDegrees(), {0, 0, 0});  // the angles are the child's own
    Transform* tilted = Make({0, 0, 0}, 1.0f, AboutAxis(1, 0, 0, 90));
    ExpectNear(tilted->GetUp(), {0, 0, -1});  // (0, 1, 0) turned back about x
}

// Update of a deep child brings every level up to date with exactly the
// values the matrix and rotation walks up the chain give, also where a broken
// link cuts the chain (the walks stop there and the cut level keeps its world
// values, however stale).
TEST_F(TransformTest, ChainUpdateMatchesTheWorldWalksBitForBit) {
    std::vector<Transform*> chain;
    for (int i = 0; i < 7; ++i)
        chain.push_back(Make({1.0f + 0.1f * static_cast<float>(i), -0.5f, 0.3f}, 1.05f + 0.1f * static_cast<float>(i),
                             AboutAxis(0.2f, 1, 0.1f * static_cast<float>(i), 17.0f + 9.0f * static_cast<float>(i)),
                             chain.empty() ? nullptr : chain.back()));
    auto expectWalks = [&](size_t from) {
        for (size_t i = from; i < chain.size(); ++i) {
            const D3DXMATRIX parentWorld = chain[i - 1]->GetWorldMatrix();
            D3DXVECTOR4 placed;
            D3DXVec3Transform(&placed, &chain[i]->position, &parentWorld);
            EXPECT_EQ(chain[i]->worldPosition, D3DXVECTOR3(placed.x, placed.y, placed.z)) << i;
            EXPECT_EQ(chain[i]->worldRotation, chain[i]->GetWorldRotation()) << i;
        }
    };
    chain.back()->Update(0);
    expectWalks(1);

    const D3DXVECTOR3 stalePosition(5, 6, 7);
    const D3DXQUATERNION staleRotation = AboutAxis(1, 0, 0, 40);
    chain[3]->parentId = 987654;  // no such object
    chain[3]->worldPosition = stalePosition;
    chain[3]->worldRotation = staleRotation;
    chain[3]->rotation = AboutAxis(0, 0, 1, 33);
    chain.back()->Update(0);
    EXPECT_EQ(chain[3]->worldPosition, stalePosition);
    EXPECT_EQ(chain[3]->worldRotation, staleRotation);
    expectWalks(4);
}

TEST_F(TransformTest, SetWorldRotationUnderRotatedParent) {
    Transform* parent = Make({0, 0, 0}, 1.0f, AboutAxis(0, 1, 0, 90));
    Transform* child = Make({0, 0, 0}, 1.0f, {0, 0, 0, 1}, parent);
    child->SetRotation(AboutAxis(0, 1, 0, 90));
    const D3DXQUATERNION local = child->rotation;
    EXPECT_NEAR(std::fabs(local.w), 1.0f, kEps);  // nothing left to turn locally
}

TEST_F(TransformTest, LookRotationFacesTheTargetAndHandlesDegenerateCases) {
    auto forward = [](const D3DXQUATERNION& q) {
        D3DXMATRIX m;
        D3DXMatrixRotationQuaternion(&m, &q);
        D3DXVECTOR3 out;
        const D3DXVECTOR3 z(0, 0, 1);
        D3DXVec3TransformNormal(&out, &z, &m);
        return out;
    };
    ExpectNear(forward(LookRotation({0, 0, 0}, {3, 0, 0})), {1, 0, 0});
    ExpectNear(forward(LookRotation({1, 1, 1}, {1, 1, -4})), {0, 0, -1});
    for (const D3DXVECTOR3& to : {D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(0, -2, 0), D3DXVECTOR3(0, 0, 0)}) {
        const D3DXQUATERNION q = LookRotation({0, 0, 0}, to);
        EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w));
        EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, kEps);
        if (D3DXVec3LengthSq(&to) > 0) {
            D3DXVECTOR3 dir;
            D3DXVec3Normalize(&dir, &to);
            ExpectNear(forward(q), dir);
        }
    }
    const D3DXQUATERNION q = LookRotation({0, 0, 0}, {1, 2, 3});
    const D3DXQUATERNION inverse = LookRotationInverse({0, 0, 0}, {1, 2, 3});
    D3DXQUATERNION both;
    D3DXQuaternionMultiply(&both, &q, &inverse);
    EXPECT_NEAR(std::fabs(both.w), 1.0f, kEps);
}

TEST_F(TransformTest, DebugDrawSendsThreeScaledAxisLines) {
    Engine engine;
    std::vector<std::vector<float>> lines;
    auto* renderer = new ProbeSystem(TypeId<GraphicsSystem>::Get(), "GraphicsSystem", &journal);
    renderer->onMessage = [&](Message* m) {
        EXPECT_EQ(m->type, 2u);
        EXPECT_EQ(m->argument, 50u);
        const DebugLine* line = m->Read(kMsgDebugLineB);
        ASSERT_NE(line, nullptr);
        const float* f = &line->start.x;
        lines.emplace_back(f, f + 10);
    };
    engine.AddSystem(renderer);
    Transform* t = Make({0, 0, 0}, 3.0f);
    t->Update(0);
    t->DebugDraw();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (std::vector<float>{0, 0, 0, 3, 0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(lines[1], (std::vector<float>{0, 0, 0, 0, 3, 0, 0, 1, 0, 1}));
    EXPECT_EQ(lines[2], (std::vector<float>{0, 0, 0, 0, 0, 3, 0, 0, 1, 1}));
    EXPECT_EQ(journal.seen[0].sender, t->GetOwner());
}

TEST_F(TransformTest, MissingParentLeavesWorldValues) {
    Transform* t = Make({1, 2, 3});
    t->Update(0);
    t->parentId = 987654;  // no such object
    t->position = D3DXVECTOR3(9, 9, 9);
    t->Update(0);
    ExpectNear(t->worldPosition, {1, 2, 3});
    t->SetWorldPosition({0, 0, 0});
    ExpectNear(t->position, {9, 9, 9});
    ExpectNear(Apply({0, 0, 0}, t->GetWorldMatrix()), {9, 9, 9});
}

TEST_F(TransformTest, PanelEntriesCarryTheObjectSuffix) {
    TwInspectReset();
    TwBar* bar = TwNewBar("Objects");
    Transform* t = Make({1, 2, 3});
    TweakVarParams params;
    params.group = {"group", "Transform_7", true};
    params.nameSuffix = "_7";
    t->AddTweakBarVars(bar, params);
    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "TransformedPosition_7", &info));
    EXPECT_EQ(info.address, &t->worldPosition);
    EXPECT_EQ(info.label, "Transformed Position");
    EXPECT_EQ(info.group, "Transform_7");
    ASSERT_TRUE(TwInspectVar(bar, "RotationEulerDegrees_7", &info));
    EXPECT_EQ(info.label, "Rotation (Degrees)");
    ASSERT_TRUE(TwInspectWriteValue(bar, "RotationEulerDegrees_7", "0 90 0"));
    EXPECT_NEAR(t->rotation.y, std::sin(0.785398f), kEps);
    std::string shown;
    ASSERT_TRUE(TwInspectWriteValue(bar, "RotationEulerDegrees_7", "30 90 0"));
    ASSERT_TRUE(TwInspectReadValue(bar, "RotationEulerDegrees_7", &shown));
    EXPECT_EQ(shown, "30 90 0");
    TwInspectReset();
}

TEST_F(TransformTest, ParentingUnderACloneOfOwnChildIsRefused) {
    Transform* parent = Make({10, 0, 0});
    Transform* child = Make({1, 0, 0}, 1.0f, {0, 0, 0, 1}, parent);
    GameObject* copy = Overlord::Instance()->GetGameObject(child->GetOwner())->Clone();
    Transform* copied = copy->GetComponent<Transform>();
    ASSERT_EQ(copy->GetParent(), 0u);
    ASSERT_EQ(copied->GetParentId(), parent->GetOwner());  // kept from its source, without a link
    copied->Update(0);
    ExpectNear(copied->worldPosition, {11, 0, 0});
    // The parent's Transform would follow the copy's and the copy's the parent's.
    GameObject* parentObject = Overlord::Instance()->GetGameObject(parent->GetOwner());
    EXPECT_FALSE(parentObject->SetParent(copy->GetId()));
    EXPECT_EQ(parent->GetParentId(), 0u);
    EXPECT_TRUE(copy->GetChildren().empty());
}

TEST_F(TransformTest, ObjectVelocitySumsTheChainOfSources) {
    SetVelocitySource(TypeId<ProbeComponent>::Get(), [](const IComponent&) { return D3DXVECTOR3(1, 0, 0); });
    SetVelocitySource(TypeId<OtherProbeComponent>::Get(), [](const IComponent&) { return D3DXVECTOR3(0, 2, 0); });
    auto* parent = new GameObject();
    parent->AddComponent(new ProbeComponent(nullptr));
    auto* child = new GameObject();
    child->AddComponent(new OtherProbeComponent(nullptr));
    child->AddComponent(new ProbeComponent(nullptr));
    child->SetParent(parent->GetId());
    ExpectNear(GetObjectVelocity(child->GetId()), {2, 2, 0});
    ExpectNear(GetObjectVelocity(parent->GetId()), {1, 0, 0});
    ExpectNear(GetObjectVelocity(424242), {0, 0, 0});
    SetVelocitySource(TypeId<ProbeComponent>::Get(), nullptr);
    SetVelocitySource(TypeId<OtherProbeComponent>::Get(), nullptr);
}
