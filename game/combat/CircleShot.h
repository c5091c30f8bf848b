// Bullet pattern "CircleShot": the bullet circles a centre 10 units to the
// shooter's world -x in the world x-y plane, 10 degrees a world step, while the
// Body carries it along z. It starts at the centre. Owned by a
// ProjectilePatternManager.
#pragma once
#include "game/combat/ProjectilePattern.h"

class CircleShot final : public ProjectilePattern {
protected:
    void Move() override;
    // Also fixes the centre: the shooter's position minus (10, 0, 0).
    D3DXVECTOR3 StartPoint(const D3DXVECTOR3& shooterPosition) override;

private:
    static constexpr float kRadius = 10.0f;
    D3DXVECTOR3 centre_{0.0f, 0.0f, 0.0f};
};
