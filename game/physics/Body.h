// The data component of a simulated object: its mass, velocity and angular
// velocity, and the forces and torques Physics applies on its fixed step.
// Physics integrates it and moves the object's Transform; Movement, Sataleye
// and the projectile patterns write `vel`. Owned by its object; main thread only.
#pragma once
#include "engine/Component.h"
#include "port/math/D3DX.h"

class Body : public Component<Body> {
public:
    Body();
    static void Reflect(MemberList<Body>& members);

    // Clears the one-step force and torque, whatever dt.
    void Update(float dt) override;

    // The first of the integrated members that is not a finite number, or
    // null. Physics leaves such a body out.
    const char* BrokenMember() const;

    // Reflected, in file order.
    float mass = 10.0f;                           // divides forces and torques; 0: they do nothing
    D3DXVECTOR3 vel{0.0f, 0.0f, 0.0f};            // units/s
    D3DXVECTOR3 angVel{0.0f, 0.0f, 0.0f};         // radians/s about x, y and z
    D3DXVECTOR3 persistForce{0.0f, 0.0f, 0.0f};   // every step
    D3DXVECTOR3 persistTorque{0.0f, 0.0f, 0.0f};  // every step
    D3DXVECTOR3 instantTorque{0.0f, 0.0f, 0.0f};  // the next step only

    D3DXVECTOR3 instantForce{0.0f, 0.0f, 0.0f};  // the next step only
};
