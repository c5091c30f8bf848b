#include "game/combat/ProjectilePattern.h"

#include <cmath>

#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/combat/Projectile.h"
#include "game/physics/Body.h"

void ProjectilePattern::Init(u32 bulletId) {
    transform_ = Overlord::FindComponent<Transform>(bulletId);
    body_ = Overlord::FindComponent<Body>(bulletId);
    projectile_ = Overlord::FindComponent<Projectile>(bulletId);
    phase_ = 0.0f;
}

void ProjectilePattern::Aim(u32 shooterId, Transform& shooter) {
    baseVelocity_ = GetObjectVelocity(shooterId);
    direction_ = shooter.GetForward();  // refreshes the shooter's world values first
    up_ = shooter.GetUp();
    const D3DXVECTOR3 start = StartPoint(shooter.worldPosition);
    if (transform_) {
        transform_->SetWorldPosition(start);
        transform_->Update(0.0f);
    }
}

void ProjectilePattern::Update() {
    if (!transform_) return;
    if (body_ && projectile_) body_->vel = baseVelocity_ + projectile_->bulletVelocity * direction_;
    Move();
}

float ProjectilePattern::PhaseCos() const {
    return std::cos(phase_ * kDegree);
}

void ProjectilePattern::ShiftAndAdvance(const D3DXVECTOR3& offset) {
    const D3DXVECTOR3 p = transform_->worldPosition + offset;
    transform_->SetPositionAndUpdate(p.x, p.y, p.z);
    phase_ += kPhaseStep;
}
