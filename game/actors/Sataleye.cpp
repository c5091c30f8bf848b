#include "game/actors/Sataleye.h"

#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/Body.h"
#include "game/scene/BehaviorSystem.h"

void Sataleye::Reflect(MemberList<Sataleye>& members) {
    members.Add("distant", &Sataleye::distant);
    members.Add("mid", &Sataleye::mid);
    members.Add("close", &Sataleye::close);
    members.Add("orbitPoint", &Sataleye::orbitPoint);
    members.Add("speed1", &Sataleye::speed1);
    members.Add("speed2", &Sataleye::speed2);
    members.Add("speed3", &Sataleye::speed3);
    members.Add("radius1", &Sataleye::radius1);
    members.Add("radius2", &Sataleye::radius2);
    members.Add("radius3", &Sataleye::radius3);
}

u32 Sataleye::PlayerObjectId() const {
    return BehaviorSystem::PlayerObjectIdOr(behaviorSystem_, focusObjectId);
}

void Sataleye::Init() {
    Subscribe(kMsgFocusObject);
}

void Sataleye::Shutdown() {
    Unsubscribe(kMsgFocusObject);
}

void Sataleye::HandleMessage(Message* message) {
    if (const u32* player = message->Read(kMsgFocusObject)) focusObjectId = *player;
}

void Sataleye::Orbit(int n, float w, const D3DXVECTOR3& position, Body& body) const {
    const float speeds[] = {speed1, speed2, speed3};
    const float radii[] = {radius1, radius2, radius3};
    const float speed = speeds[n - 1];
    const float radius = radii[n - 1];
    const D3DXVECTOR3 offset(position.x - orbitPoint.x, position.y - orbitPoint.y, 0.0f);
    if (!(radius > 0.0f) || offset == D3DXVECTOR3(0.0f, 0.0f, 0.0f)) return;
    D3DXVECTOR3 r;
    D3DXVec3Normalize(&r, &offset);
    body.instantForce += -r * (speed * speed / radius) * body.mass * w;
}

void Sataleye::KeepPace(float w, u32 playerId, Body& body) const {
    const D3DXVECTOR3 pace(body.vel.x, body.vel.y, w * GetObjectVelocity(playerId).z);
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &pace);
    body.vel = direction * (speed3 * w + speed1);
}

void Sataleye::Update(float) {
    Overlord* overlord = Overlord::Instance();
    Body* body = overlord ? overlord->GetComponent<Body>(GetOwner()) : nullptr;
    if (!body) return;
    body->persistForce = body->instantForce = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    const Transform* transform = overlord->GetComponent<Transform>(GetOwner());
    const u32 playerId = PlayerObjectId();
    const Transform* player = overlord->GetComponent<Transform>(playerId);
    if (!transform || !player) return;
    const D3DXVECTOR3& p = transform->worldPosition;
    const float d = p.z - player->worldPosition.z;
    if (d > distant) {
        Orbit(1, 1.0f, p, *body);
    } else if (d > mid) {
        const float w = (d - mid) / (distant - mid);
        Orbit(1, w, p, *body);
        Orbit(2, 1.0f - w, p, *body);
    } else if (d > close) {
        const float w = (d - close) / (mid - close);
        Orbit(2, w, p, *body);
        Orbit(3, 1.0f - w, p, *body);
        KeepPace(1.0f - w, playerId, *body);
    } else {
        Orbit(3, 1.0f, p, *body);
        KeepPace(1.0f, playerId, *body);
    }
}
