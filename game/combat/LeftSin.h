// Bullet pattern "LeftSin": a sideways wave: each frame the bullet moves by (cos phase, 0, 0) in world axes.
// The phase advances 10 degrees a frame (a period of 36 frames) while the
// Body carries the bullet along the facing. Owned by a ProjectilePatternManager.
#pragma once
#include "game/combat/ProjectilePattern.h"

class LeftSin final : public ProjectilePattern {
protected:
    void Move() override;
};
