// Bullet pattern "Normal": straight along the shooter's facing at launch, at
// the shooter's velocity plus bulletVelocity; the Body alone moves it. Owned
// by a ProjectilePatternManager.
#pragma once
#include "game/combat/ProjectilePattern.h"

class Normal final : public ProjectilePattern {
protected:
    void Move() override {}
};
