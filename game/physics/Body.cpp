#include "game/physics/Body.h"

#include <cmath>

#include "engine/Transform.h"

namespace {

// What an object's Body adds to its motion: the forces acting on it.
D3DXVECTOR3 BodyVelocity(const IComponent& component) {
    const Body& body = static_cast<const Body&>(component);
    return body.persistForce + body.instantForce;
}

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

Body::Body() {
    static const bool sourceSet = (SetVelocitySource(TypeId<Body>::Get(), &BodyVelocity), true);
    (void)sourceSet;
}

void Body::Reflect(MemberList<Body>& members) {
    members.Add("mass", &Body::mass);
    members.Add("vel", &Body::vel);
    members.Add("angVel", &Body::angVel);
    members.Add("persistForce", &Body::persistForce);
    members.Add("persistTorque", &Body::persistTorque);
    members.Add("instantTorque", &Body::instantTorque);
}

void Body::Update(float) {
    instantForce = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    instantTorque = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

const char* Body::BrokenMember() const {
    if (std::isnan(mass)) return "mass";  // an infinite mass is immovable, not broken
    const struct {
        const char* name;
        const D3DXVECTOR3& value;
    } members[] = {
        {"vel", vel},
        {"angVel", angVel},
        {"persistForce", persistForce},
        {"persistTorque", persistTorque},
        {"instantTorque", instantTorque},
        {"instantForce", instantForce},
    };
    for (const auto& m : members)
        if (!Finite(m.value)) return m.name;
    return nullptr;
}
