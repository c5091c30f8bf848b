#include "game/physics/Physics.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/level/SpawnBudget.h"
#include "game/physics/Body.h"
#include "game/physics/CollisionSystem.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/PairTests.h"
#include "game/physics/SphereCollision.h"
#include "game/track/SplineCrawler.h"

// Stepped classes of other folders, known here by their type ids only.
class TimeLord;

namespace {

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Finite(const D3DXQUATERNION& q) {
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

// rotation followed by the turn of `angle` radians about `axis`.
void Turn(D3DXQUATERNION& rotation, const D3DXVECTOR3& axis, float angle) {
    if (angle == 0.0f) return;  // the identity: the product would not change
    D3DXQUATERNION turn;
    D3DXQuaternionRotationAxis(&turn, &axis, angle);
    D3DXQuaternionMultiply(&rotation, &rotation, &turn);
}

}  // namespace

Physics::Physics() : ISystem(TypeId<Physics>::Get()) {
    SetName("Physics");
}

Physics::~Physics() {
    while (ISystem* child = GetChildHead()) RemoveSystem(child);
}

void Physics::SubscribeKinds() {
    Subscribe(kMsgFocusObject);
    Subscribe(ComponentAnnounced(TypeId<Body>::Get()));
    Subscribe(ComponentAnnounced(TypeId<SphereCollision>::Get()));
    Subscribe(ComponentAnnounced(TypeId<CylinderCollision>::Get()));
    Subscribe(ComponentAnnounced(TypeId<SplineCrawler>::Get()));
    Subscribe(ComponentAnnounced(TypeId<TimeLord>::Get()));
    Subscribe(kMsgDebugDraw);
}

void Physics::Init() {
    focusObjectId_ = 0;
    SubscribeKinds();
    accumulator_ = 0.0f;
    bodyIds_.Reserve(10000);
    sphereIds_.Reserve(10000);
    cylinderIds_.Reserve(10000);
    crawlerIds_.Reserve(5000);
    // The sphere collision system, made once; Step updates it.
    if (GetChildCount() == 0) {
        auto* collisions = new CollisionSystem;
        AddSystem(collisions);
        collisions->Init();
    }
}

void Physics::Clear() {
    // Every level, however it is reached (Play, Continue, Restart, the
    // "Scenes" bar), starts its clock at 0: a clear comes before each load.
    steps_ = 0;
    accumulator_ = 0.0f;
    bodyIds_.Clear();
    sphereIds_.Clear();
    cylinderIds_.Clear();
    crawlerIds_.Clear();
    reportedBodies_.clear();
    contacts_.NewScene();
    for (ISystem* child = GetChildHead(); child; child = child->GetNext()) child->Clear();
}

void Physics::Activate() {
    for (ISystem* child = GetChildHead(); child; child = child->GetNext()) child->Activate();
    // Init recorded every pair; before it there is nothing to file again.
    if (GetSubscriptions().empty())
        SubscribeKinds();
    else
        SubscribeAll();
}

void Physics::Deactivate() {
    UnsubscribeAll();
    for (ISystem* child = GetChildHead(); child; child = child->GetNext()) child->Deactivate();
}

void Physics::HandleMessage(Message* message) {
    if (message->type == kMsgFocusObject.type) {
        // Whatever the argument: the Player also sends it to systems directly.
        if (const u32* objectId = message->Read(Kind<u32>{message->type, message->argument}))
            focusObjectId_ = *objectId;
        return;
    }
    if (const bool* on = message->Read(kMsgDebugDraw)) {
        debugDraw_ = *on;
        return;
    }
    if (message->type != kMsgTypeComponentAnnounced) return;
    const u32* componentId = message->Read(ComponentAnnounced(message->argument));
    if (!componentId) return;
    const u32 typeId = message->argument;
    if (typeId == TypeId<Body>::Get())
        bodyIds_.Add(*componentId);
    else if (typeId == TypeId<SplineCrawler>::Get())
        crawlerIds_.Add(*componentId);
    else if (typeId == TypeId<SphereCollision>::Get())
        sphereIds_.Add(*componentId);
    else if (typeId == TypeId<CylinderCollision>::Get())
        cylinderIds_.Add(*componentId);
    else if (typeId == TypeId<TimeLord>::Get())
        timeLordId_ = *componentId;
}

void Physics::Update(float dt) {
    Log("time%f", GetTotalTime());
    // The first game system of a frame: the frame's spawn count starts here.
    SpawnBudget::StartFrame();
    pendingRefresh_.clear();
    if (IsPaused()) return;
    // A broken frame time would stop the clock for good (NaN) or count
    // backwards: such a frame adds nothing.
    if (!std::isfinite(dt) || dt < 0.0f) return;
    accumulator_ += dt;
    if (!(accumulator_ >= kStep)) return;
    accumulator_ = 0.0f;  // the rest is dropped: at most one step a frame
    ++steps_;
    ++stepsRun_;
    Step(kStep);
}

void Physics::SetTotalTime(float seconds) {
    const double steps = std::isfinite(seconds) && seconds > 0.0f ? std::round(seconds / kStep) : 0.0;
    steps_ = static_cast<u64>(std::min(steps, 1e15));
}

void Physics::Step(float h) {
    StepBodies(h);
    StepCrawlers(h);
    for (std::size_t i = 0; i < pendingRefresh_.size(); ++i) SendToObject(kMsgRefresh, pendingRefresh_[i], GetTypeId());
    CollisionHandler();
    for (ISystem* child = GetChildHead(); child; child = child->GetNext()) child->Update(h);
    if (timeLordId_ != 0)
        if (Overlord* overlord = Overlord::Instance())
            if (IComponent* lord = overlord->GetComponentById(timeLordId_))
                if (lord->GetTypeId() == TypeId<TimeLord>::Get()) lord->Update(h);
}

void Physics::StepBodies(float h) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    // The focus is looked up once a step: it may be gone since the last one.
    const Transform* focus = focusObjectId_ != 0 ? overlord->GetComponent<Transform>(focusObjectId_) : nullptr;
    bodyIds_.ForEachLive(TypeId<Body>::Get(), [&](IComponent& component) {
        Body& body = static_cast<Body&>(component);
        GameObject* object = overlord->GetGameObject(body.GetOwner());
        Transform* transform = object ? object->GetComponent<Transform>() : nullptr;
        if (!transform) return;  // nothing to move: the body is left as it is
        if (focus && focus->worldPosition.z > transform->worldPosition.z + kBulletLag &&
            object->GetArchetypeName() == "Bullet") {
            overlord->UnregisterGameObject(object->GetId());
            return;
        }
        if (Integrate(body, *transform, h)) pendingRefresh_.push_back(object->GetId());
    });
}

bool Physics::Integrate(Body& body, Transform& transform, float h) {
    if (const char* member = body.BrokenMember()) {
        ReportBody(body, std::string(member) + " is not a number");
        return false;
    }
    if (!Finite(transform.position) || !Finite(transform.rotation)) {
        ReportBody(body, "its Transform's position or rotation is not a number");
        return false;
    }
    // A mass of 0 has no inverse: forces and torques then do nothing.
    const float invM = body.mass != 0.0f ? 1.0f / body.mass : 0.0f;
    const D3DXVECTOR3 vel = body.vel + h * invM * (body.instantForce + body.persistForce);
    const D3DXVECTOR3 angVel = body.angVel + h * invM * (body.persistTorque + body.instantTorque);
    const D3DXVECTOR3 position = transform.position + vel * h;
    D3DXQUATERNION rotation = transform.rotation;
    Turn(rotation, D3DXVECTOR3(1.0f, 0.0f, 0.0f), angVel.x * h);
    Turn(rotation, D3DXVECTOR3(0.0f, 1.0f, 0.0f), angVel.y * h);
    Turn(rotation, D3DXVECTOR3(0.0f, 0.0f, 1.0f), angVel.z * h);
    D3DXQuaternionNormalize(&rotation, &rotation);
    if (!Finite(vel) || !Finite(angVel) || !Finite(position) || !Finite(rotation)) {
        ReportBody(body, "the step leaves the float range (vel, angVel or position)");
        return false;
    }
    body.vel = vel;
    body.angVel = angVel;
    transform.position = position;
    transform.rotation = rotation;
    body.Update(0.0f);
    transform.Update(0.0f);
    return true;
}

void Physics::StepCrawlers(float h) {
    crawlerIds_.ForEachLive(TypeId<SplineCrawler>::Get(), [&](IComponent& crawler) {
        crawler.Update(h);
        pendingRefresh_.push_back(crawler.GetOwner());
    });
}

void Physics::CollisionHandler() {
    Log("Physics::CollisionHandler");
    contacts_.StartStep();
    spheresAt_.clear();
    sphereIds_.ForEachLive(TypeId<SphereCollision>::Get(), [&](IComponent& other) {
        auto& sphere = static_cast<SphereCollision&>(other);
        const Transform* placed = Overlord::FindComponent<Transform>(sphere.GetOwner());
        spheresAt_.push_back(
            {&sphere, placed ? placed->worldPosition : D3DXVECTOR3(0.0f, 0.0f, 0.0f), placed != nullptr});
    });
    const D3DXCOLOR red(1.0f, 0.0f, 0.0f, 1.0f);
    bool full = false;
    cylinderIds_.ForEachLive(TypeId<CylinderCollision>::Get(), [&](IComponent& component) {
        if (full) return;
        auto& cylinder = static_cast<CylinderCollision&>(component);
        if (debugDraw_) cylinder.DebugDraw();
        D3DXVECTOR3 a, b;
        const bool placed = cylinder.EndPoints(a, b);
        for (const SphereAt& at : spheresAt_) {
            SphereCollision& sphere = *at.sphere;
            if (!placed || !at.placed ||
                !CylinderTouches(a, b, cylinder.radius, cylinder.collisionGroup, at.position, sphere.radius,
                                 sphere.collisionGroup)) {
                if (debugDraw_) cylinder.DebugDraw();
                continue;
            }
            if (!contacts_.Take()) {
                full = true;
                return;
            }
            Log("BOOM! between %u of group: %i and %u of group: %i\n", cylinder.GetId(), cylinder.collisionGroup,
                sphere.GetId(), sphere.collisionGroup);
            PostLater(MakeMessage(kMsgCollision, &ResolveGameObject, sphere.GetOwner(), cylinder.GetOwner()));
            if (debugDraw_) {
                cylinder.DebugDraw(red);
                sphere.DebugDraw(red);
            }
        }
    });
    Log("leaving Physics::CollisionHandler");
}

void Physics::ReportBody(const Body& body, const std::string& problem) {
    if (!reportedBodies_.insert(body.GetId()).second) return;
    Log("Body on object %u: %s; the body is left out of the step", body.GetOwner(), problem.c_str());
}
