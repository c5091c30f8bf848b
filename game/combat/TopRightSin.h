// Bullet pattern "TopRightSin": a diagonal wave: each world step the bullet moves by (cos phase, cos phase, 0) in
// world axes.
// The phase advances 10 degrees a step (a period of 36 steps) while the
// Body carries the bullet along the facing. Owned by a ProjectilePatternManager.
#pragma once
#include "game/combat/ProjectilePattern.h"

class TopRightSin final : public ProjectilePattern {
protected:
    void Move() override;
};
