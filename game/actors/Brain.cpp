#include "game/actors/Brain.h"

#include <cmath>

#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Ray.h"
#include "engine/Transform.h"
#include "game/actors/EulerToQuaternion.h"
#include "game/scene/BehaviorSystem.h"

namespace {

constexpr float kDegreesToRadians = 0.0174532924f;  // the float nearest pi / 180

}  // namespace

void Brain::Reflect(MemberList<Brain>& members) {
    members.Add("firingRangeAngle", &Brain::firingRangeAngle);
    members.Add("circleRadius", &Brain::circleRadius);
    members.Add("angleIncrement", &Brain::angleIncrement);
    members.Add("moveLeft", &Brain::moveLeft);
    members.Add("halfCircle", &Brain::halfCircle);
}

u32 Brain::PlayerObjectId() const {
    return BehaviorSystem::PlayerObjectIdOr(behaviorSystem_, playerObjectId);
}

void Brain::Init() {
    Subscribe(kMsgFocusObject);
    Subscribe(kMsgCirclingAngle);
    sweepReturning = false;
    angleSet = false;
}

void Brain::Shutdown() {
    Unsubscribe(kMsgFocusObject);
    Unsubscribe(kMsgCirclingAngle);
}

void Brain::HandleMessage(Message* message) {
    if (const float* value = message->Read(kMsgCirclingAngle)) {
        angleSet = true;
        angle = *value;
    } else if (const u32* player = message->Read(kMsgFocusObject)) {
        playerObjectId = *player;
    }
}

void Brain::Update(float step) {
    if (halfCircle)
        HalfCircleMove(moveLeft, step);
    else
        CircleMove(moveLeft, step);
    Fire();
}

void Brain::CircleMove(bool left, float step) {
    if (!angleSet) return;
    angle = left ? angle - angleIncrement * step : angle + angleIncrement * step;
    Place();
}

void Brain::HalfCircleMove(bool left, float step) {
    const float move = angleIncrement * step;
    if (left) {
        if (!sweepReturning) {
            angle -= move;
            if (angle <= -180.0f) sweepReturning = true;
        } else {
            angle += move;
            if (angle > 0.0f) sweepReturning = false;
        }
    } else {
        if (!sweepReturning) {
            angle += move;
            if (angle > 180.0f) sweepReturning = true;
        } else {
            angle -= move;
            if (angle < 0.0f) sweepReturning = false;
        }
    }
    Place();
}

void Brain::Place() {
    Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    if (!transform) return;
    const float a = angle * kDegreesToRadians;
    const D3DXVECTOR3 position(std::cos(a) * circleRadius + centre.x, std::sin(a) * circleRadius + centre.y,
                               transform->worldPosition.z);
    transform->SetWorldPosition(position);
    transform->rotation = EulerToQuaternion(180.0f, angle + 90.0f, 0.0f);
    transform->Update(0.0f);
}

void Brain::Fire() {
    const Transform* own = Overlord::FindComponent<Transform>(GetOwner());
    const Transform* player = Overlord::FindComponent<Transform>(PlayerObjectId());
    if (!own || !player) return;
    const D3DXVECTOR3 offset = player->worldPosition - own->worldPosition;
    if (offset == D3DXVECTOR3(0.0f, 0.0f, 0.0f)) return;  // no direction to fire in
    Ray ray{own->worldPosition, {}};
    D3DXVec3Normalize(&ray.direction, &offset);
    SendToObject(kMsgFire, GetOwner(), TypeId<Brain>::Get(), ray);
}
