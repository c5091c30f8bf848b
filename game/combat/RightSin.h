// Bullet pattern "RightSin": a sideways wave with the same offset as LeftSin, (cos phase, 0, 0) in world
// axes each step (the two kinds move alike).
// The phase advances 10 degrees a step (a period of 36 steps) while the
// Body carries the bullet along the facing. Owned by a ProjectilePatternManager.
#pragma once
#include "game/combat/ProjectilePattern.h"

class RightSin final : public ProjectilePattern {
protected:
    void Move() override;
};
