// One way of moving a launched bullet, a strategy owned by the bullet's
// ProjectilePatternManager (one instance of each kind per manager, deleted
// with it). Init binds it to the bullet's own Transform, Body and Projectile
// (pointers into the same object, valid while it lives); Aim takes the
// shooter's motion and facing and puts the bullet at the start point; each
// Update sets the Body's velocity and then lets the kind move the bullet
// itself. Main thread only.
#pragma once
#include "core/Types.h"
#include "port/math/D3DX.h"

class Body;
class Projectile;
class Transform;

class ProjectilePattern {
public:
    virtual ~ProjectilePattern() = default;

    // One frame (the step does not depend on dt): "vel" := the shooter's
    // velocity + bulletVelocity along the facing, then the kind's own move.
    // A bullet without a Transform is left alone; without a Body or a
    // Projectile its velocity is not written.
    void Update();
    // Binds the pattern to the components of object bulletId; the phase
    // starts at 0 degrees.
    void Init(u32 bulletId);
    // Takes the shooter's inherited velocity, facing and up vector and puts
    // the bullet at the start point (the shooter's world position unless the
    // kind says otherwise).
    void Aim(u32 shooterId, Transform& shooter);

    const D3DXVECTOR3& Direction() const { return direction_; }
    float Phase() const { return phase_; }

protected:
    // The kind's move after the velocity step.
    virtual void Move() = 0;
    // Where the bullet starts, given the shooter's world position.
    virtual D3DXVECTOR3 StartPoint(const D3DXVECTOR3& shooterPosition) { return shooterPosition; }

    // cos(phase) with the degree factor 0.0174527 of the original tables
    // (slightly short of pi/180, so 36 steps fall short of a full turn).
    float PhaseCos() const;
    // Puts the bullet at its world position + offset and advances the phase
    // by 10 degrees: the move of the wave kinds.
    void ShiftAndAdvance(const D3DXVECTOR3& offset);

    static constexpr float kDegree = 0.0174527f;
    static constexpr float kPhaseStep = 10.0f;  // degrees per world step

    Transform* transform_ = nullptr;
    Body* body_ = nullptr;
    Projectile* projectile_ = nullptr;
    D3DXVECTOR3 baseVelocity_{0.0f, 0.0f, 0.0f};  // the shooter's, at launch
    D3DXVECTOR3 direction_{0.0f, 0.0f, 0.0f};     // the shooter's facing, at launch
    D3DXVECTOR3 up_{0.0f, 1.0f, 0.0f};            // the shooter's up vector, at launch
    float phase_ = 0.0f;                          // degrees
};
