#include "game/track/SplineCrawler.h"

#include <algorithm>
#include <cmath>

#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/PlayerPath.h"

namespace {

D3DXVECTOR3 CrawlerVelocity(const IComponent& component) {
    return static_cast<const SplineCrawler&>(component).velocityVector;
}

}  // namespace

SplineCrawler::SplineCrawler() {
    static const bool sourceSet = (SetVelocitySource(TypeId<SplineCrawler>::Get(), &CrawlerVelocity), true);
    (void)sourceSet;
}

void SplineCrawler::Reflect(MemberList<SplineCrawler>& members) {
    members.Add("persistAcceleration", &SplineCrawler::persistAcceleration);
    members.Add("persistVelocity", &SplineCrawler::persistVelocity);
    members.Add("minVelocity", &SplineCrawler::minVelocity);
    members.Add("maxVelocity", &SplineCrawler::maxVelocity);
    members.Add("lookAheadDistance", &SplineCrawler::lookAheadDistance);
    members.Add("distance", &SplineCrawler::distance);
    members.Add("splineGameObjectID", &SplineCrawler::splineGameObjectID);
    members.Add("returnToInitVelAccelAmount", &SplineCrawler::returnToInitVelAccelAmount);
    members.Add("positiveBonusWaitTime", &SplineCrawler::positiveBonusWaitTime);
    members.Add("negativeBonusWaitTime", &SplineCrawler::negativeBonusWaitTime);
}

const char* SplineCrawler::BrokenMember() const {
    const struct {
        const char* name;
        float value;
    } members[] = {
        {"persistAcceleration", persistAcceleration},
        {"persistVelocity", persistVelocity},
        {"minVelocity", minVelocity},
        {"lookAheadDistance", lookAheadDistance},
        {"distance", distance},
        {"returnToInitVelAccelAmount", returnToInitVelAccelAmount},
        {"positiveBonusWaitTime", positiveBonusWaitTime},
        {"negativeBonusWaitTime", negativeBonusWaitTime},
    };
    for (const auto& m : members)
        if (!std::isfinite(m.value)) return m.name;
    return std::isnan(maxVelocity) ? "maxVelocity" : nullptr;  // +inf: no upper bound
}

void SplineCrawler::Init() {
    initialVelocity = persistVelocity;
    bonusTimer = 0.0f;
    boostAccelerating = boosting = frozen = slowed = false;
    bonusPending = returningUp = returningDown = false;
    stopped_ = false;
    if (const char* member = BrokenMember()) {
        Log("SplineCrawler on object %u: %s is not a number; the crawler stands still", GetOwner(), member);
        stopped_ = true;
    }
    Subscribe(kMsgSpeedBonus);
    Subscribe(kMsgRestoreSpeed);
    Post(kMsgCrawlerAnnounced, GetId(), GetOwner());
    Subscribe(kMsgBoostReleased);
    Subscribe(kMsgSetSpeed);
}

void SplineCrawler::Shutdown() {
    Unsubscribe(kMsgSpeedBonus);
    Unsubscribe(kMsgRestoreSpeed);
    Unsubscribe(kMsgBoostReleased);
    Unsubscribe(kMsgSetSpeed);
}

void SplineCrawler::ApplyBonus(float value, bool add) {
    if (value == 0.0f || !std::isfinite(value) || (slowed && value < 0.0f)) return;
    bonusPending = true;
    persistVelocity = std::min(add ? persistVelocity + value : value, maxVelocity);
    if (value < 0.0f)
        bonusTimer = negativeBonusWaitTime;
    else
        bonusTimer = std::min(bonusTimer + 1.0f, positiveBonusWaitTime);
}

void SplineCrawler::HandleMessage(Message* message) {
    if (const float* bonus = message->Read(kMsgSpeedBonus)) {
        ApplyBonus(*bonus, true);
    } else if (const float* speed = message->Read(kMsgSetSpeed)) {
        ApplyBonus(*speed, false);
    } else if (message->Is(kMsgRestoreSpeed)) {
        persistVelocity = initialVelocity;
    } else if (message->Is(kMsgBoostReleased)) {
        if (!slowed && boosting) {
            boosting = false;
            returningDown = true;
            persistAcceleration = -returnToInitVelAccelAmount;
        }
    }
}

void SplineCrawler::Update(float dt) {
    if (stopped_ || !std::isfinite(dt) || dt < 0.0f) return;
    float speed = 0.0f;
    if (!slowed && !boostAccelerating && !frozen && persistVelocity < minVelocity) persistVelocity = minVelocity;
    if (!frozen) {
        if (boostAccelerating) persistAcceleration = (boosting && persistVelocity < boostSpeed) ? 300.0f : 0.0f;
        persistVelocity += (accelerationOffset + persistAcceleration) * dt;
        speed = persistVelocity + velocityOffset;
        if (boosting && speed > boostSpeed) {
            persistAcceleration = 0.0f;
            persistVelocity = boostSpeed;
        }
    }
    if ((returningUp || (slowed && !frozen)) && persistVelocity >= initialVelocity) {
        persistAcceleration = 0.0f;
        persistVelocity = initialVelocity;
        returningUp = slowed = false;
    }
    if (returningDown && persistVelocity <= initialVelocity) {
        persistAcceleration = 0.0f;
        persistVelocity = initialVelocity;
        returningDown = false;
    }
    if (bonusPending) {
        if (bonusTimer > 0.0f) {
            persistAcceleration = 0.0f;
            bonusTimer -= dt;
        } else {
            bonusPending = false;
            bonusTimer = 0.0f;
            if (persistVelocity >= initialVelocity) {
                returningDown = true;
                persistAcceleration = -returnToInitVelAccelAmount;
            } else {
                returningUp = true;
                persistAcceleration = returnToInitVelAccelAmount;
            }
        }
    }
    speed = std::min(speed, maxVelocity);
    if (speed < minVelocity && !slowed && !frozen) speed = minVelocity;
    const float next = distance + speed * dt;
    if (!std::isfinite(next) || !std::isfinite(persistVelocity)) {
        // Offsets or a boost speed written by others can still break it.
        Log("SplineCrawler on object %u: the step gives distance %g, persistVelocity %g (velocityOffset %g, "
            "accelerationOffset %g); the crawler stops",
            GetOwner(), next, persistVelocity, velocityOffset, accelerationOffset);
        stopped_ = true;
        return;
    }
    currentSpeed = speed;
    distance = next;
    // Only movement counts: a frozen carrier (the start countdown) adds
    // neither time nor distance to the average.
    if (!frozen) {
        elapsed += dt;
        travelled += speed * dt;
        if (elapsed > 0.0f) averageSpeed = travelled / elapsed;
    }
    Place(speed);
}

void SplineCrawler::Place(float speed) {
    Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    const PlayerPath* path = Overlord::FindComponent<PlayerPath>(splineGameObjectID);
    if (!path) {
        if (reportedUnbound_ != splineGameObjectID) {
            Log("SplineCrawler on object %u: splineGameObjectID %u names no object with a PlayerPath; the crawler "
                "is not placed",
                GetOwner(), splineGameObjectID);
            reportedUnbound_ = splineGameObjectID;
        }
    } else {
        reportedUnbound_ = ~0u;
        D3DXVECTOR3 point, ahead;
        if (path->GetWorldFrame(distance, lookAheadDistance, &point, &ahead)) {
            const D3DXVECTOR3 direction = ahead - point;
            D3DXVECTOR3 unit;
            D3DXVec3Normalize(&unit, &direction);
            velocityVector = unit * speed;
            if (transform) {
                transform->SetWorldPosition(point);
                // Two coincident points give no direction: keep the rotation.
                if (unit != D3DXVECTOR3(0.0f, 0.0f, 0.0f)) transform->SetWorldRotation(LookRotation(point, ahead));
            }
        }
    }
    if (transform) transform->Update(0.0f);
}
