#include "game/combat/CircleShot.h"

#include <cmath>

#include "engine/Transform.h"

D3DXVECTOR3 CircleShot::StartPoint(const D3DXVECTOR3& shooterPosition) {
    centre_ = shooterPosition - D3DXVECTOR3(kRadius, 0.0f, 0.0f);
    return centre_;
}

void CircleShot::Move() {
    const float a = phase_ * kDegree;
    transform_->SetPositionAndUpdate(centre_.x + kRadius * std::cos(a), centre_.y + kRadius * std::sin(a),
                                     transform_->worldPosition.z);
    phase_ += kPhaseStep;
}
