// Bullet pattern "BottomSin": a wave along the shooter's up vector at launch: each world step the bullet moves by
// cos phase times that vector, so it follows the shooter's roll.
// The phase advances 10 degrees a step (a period of 36 steps) while the
// Body carries the bullet along the facing. Owned by a ProjectilePatternManager.
#pragma once
#include "game/combat/ProjectilePattern.h"

class BottomSin final : public ProjectilePattern {
protected:
    void Move() override;
};
