#include "game/actors/Movement.h"

#include <cmath>
#include <cstdint>

#include "engine/DebugLine.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/Body.h"
#include "render/IGraphics.h"

namespace {

Movement* MovementOf(void* clientData) {
    Overlord* overlord = Overlord::Instance();
    const auto id = static_cast<u32>(reinterpret_cast<std::uintptr_t>(clientData));
    return overlord ? overlord->GetComponentById<Movement>(id) : nullptr;
}

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void ZeroMotion(Body& body) {
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f);
    body.vel = body.angVel = body.persistForce = body.instantForce = body.persistTorque = body.instantTorque = zero;
}

void SendLine(u32 sender, const D3DXVECTOR3& start, const D3DXVECTOR3& end, const D3DXCOLOR& colour) {
    DebugLine line;
    line.start = start;
    line.end = end;
    line.colour = colour;
    SendToSystem(kMsgDebugLineA, TypeId<GraphicsSystem>::Get(), sender, line);
}

}  // namespace

void Movement::Reflect(MemberList<Movement>& members) {
    members.Add("waypointList", &Movement::waypointList);
    members.Add("patrolling", &Movement::patrolling);
    members.Add("validRotationAxes", &Movement::validRotationAxes);
    members.Add("movementFuzz", &Movement::movementFuzz);
    members.Add("movementForces", &Movement::movementForces);
    members.Add("thrusterPower", &Movement::thrusterPower);
    members.Add("targetSize", &Movement::targetSize);
}

void Movement::Init() {
    nextIndex = 0;
    moving = false;
    if (!waypointList.empty()) NextWaypoint();
}

void Movement::Shutdown() {
    waypointList.clear();
}

bool Movement::NextWaypoint() {
    for (size_t tries = 0; tries < waypointList.size(); ++tries) {
        if (nextIndex >= waypointList.size()) {
            if (!patrolling) return false;
            nextIndex = 0;
        }
        const size_t index = nextIndex++;
        if (!Finite(waypointList[index])) {
            Log("Movement %u on object %u: waypoint %zu is not a number; it is passed over", GetId(), GetOwner(),
                index);
            continue;
        }
        target = waypointList[index];
        moving = true;
        Overlord* overlord = Overlord::Instance();
        if (Body* body = overlord ? overlord->GetComponent<Body>(GetOwner()) : nullptr)
            body->angVel = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        if (const Transform* transform = overlord ? overlord->GetComponent<Transform>(GetOwner()) : nullptr) {
            const D3DXVECTOR3 offset = target - transform->worldPosition;
            distanceToTarget = D3DXVec3Length(&offset);
        }
        return true;
    }
    return false;
}

void Movement::Update(float) {
    if (!moving) return;
    Overlord* overlord = Overlord::Instance();
    Body* body = overlord ? overlord->GetComponent<Body>(GetOwner()) : nullptr;
    Transform* transform = overlord ? overlord->GetComponent<Transform>(GetOwner()) : nullptr;
    if (!body || !transform) return;
    ZeroMotion(*body);
    const D3DXVECTOR3 offset = target - transform->worldPosition;
    const float distance = D3DXVec3Length(&offset);
    if (distance <= kArrival) {
        moving = false;
        ZeroMotion(*body);
        NextWaypoint();
        return;
    }
    distanceToTarget = distance;
    D3DXVECTOR3 forward, toTarget;
    const D3DXVECTOR3 facing = transform->GetForward();
    D3DXVec3Normalize(&forward, &facing);
    D3DXVec3Normalize(&toTarget, &offset);
    const float c = D3DXVec3Dot(&forward, &toTarget);
    if (std::fabs(1.0f - c) > kFacingTolerance) {
        D3DXVECTOR3 axis;
        D3DXVec3Cross(&axis, &forward, &offset);
        if (D3DXVec3LengthSq(&axis) <= 1e-12f * distance * distance) {
            // Facing straight away: any axis across the forward turns it.
            const D3DXVECTOR3 helper = std::fabs(forward.y) < 0.9f ? D3DXVECTOR3(0, 1, 0) : D3DXVECTOR3(1, 0, 0);
            D3DXVECTOR3 across;
            D3DXVec3Cross(&across, &forward, &helper);
            D3DXVec3Normalize(&axis, &across);
            axis *= distance;
        }
        float scale = 1.0f;
        if (distance <= kNearDistance) scale = std::fabs(D3DXVec3Dot(&forward, &offset)) > 0.8f ? 10.0f : 4.0f;
        body->instantTorque += axis * kTorque * scale;
    }
    body->vel = forward * kSpeed;
}

void Movement::DebugDraw() {
    Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    if (!transform) return;
    SendLine(GetId(), transform->worldPosition, target, D3DXCOLOR(0, 1, 0, 1));
    if (!patrolling || waypointList.size() < 2) return;
    for (size_t i = 0; i < waypointList.size(); ++i)
        SendLine(GetId(), waypointList[i], waypointList[(i + 1) % waypointList.size()], D3DXCOLOR(0, 0, 1, 1));
}

void Movement::AddTweakBarButtons(TwBar* bar) {
    void* self = reinterpret_cast<void*>(static_cast<std::uintptr_t>(GetId()));
    TwAddButton(bar, "AddWaypoint", &AddWaypointButton, self, "label='Add Waypoint'");
    TwAddButton(bar, "ScrollWaypoints", &ScrollWaypointsButton, self, "label='Cycle Waypoints Up'");
    TwAddButton(bar, "RemoveWaypoint", &RemoveWaypointButton, self, "label='Remove last waypoint'");
}

void Movement::AddWaypointButton(void* clientData) {
    if (Movement* movement = MovementOf(clientData)) movement->waypointList.push_back(D3DXVECTOR3(0, 0, 0));
}

void Movement::ScrollWaypointsButton(void* clientData) {
    Movement* movement = MovementOf(clientData);
    if (!movement || movement->waypointList.size() < 2) return;
    movement->waypointList.push_back(movement->waypointList.front());
    movement->waypointList.pop_front();
}

void Movement::RemoveWaypointButton(void* clientData) {
    Movement* movement = MovementOf(clientData);
    if (movement && !movement->waypointList.empty()) movement->waypointList.pop_back();
}
