// The component that carries its object along a track: a distance travelled
// along the Spline of the PlayerPath on object splineGameObjectID, a speed
// integrated from acceleration, bonuses, boost and a return to the initial
// speed, and each step the object placed at the track point at that distance,
// facing a point lookAheadDistance further on. Physics calls Update once per
// fixed step with the step length. Owned by its object; main thread only.
#pragma once
#include <cfloat>

#include "engine/Component.h"
#include "port/math/D3DX.h"

class SplineCrawler : public Component<SplineCrawler> {
public:
    SplineCrawler();
    static void Reflect(MemberList<SplineCrawler>& members);

    // Speed bonus (58, 0), restore speed (59, 0), boost off (65, 0), set
    // speed (78, 0); bonuses that are not numbers are ignored.
    void HandleMessage(Message* message) override;
    // One fixed step of dt seconds: the speed, the distance, then the
    // placement (left out when the track has no point there).
    void Update(float dt) override;
    // Takes persistVelocity as the initial velocity, subscribes to the four
    // speed messages and queues the (80, 0) announcement. A member that is
    // not a number leaves the crawler standing, with one log row.
    void Init() override;
    // Takes the crawler off the speed messages.
    void Shutdown() override;

    // Reflected, in file order.
    float persistAcceleration = 0.0f;  // units/s^2; overwritten by boost and the return to the initial speed
    float persistVelocity = 0.0f;      // units/s along the track
    float minVelocity = 0.0f;
    float maxVelocity = FLT_MAX;
    float lookAheadDistance = 0.1f;  // the object faces the track point this far ahead
    float distance = 0.0f;           // travelled along the track
    u32 splineGameObjectID = 0;      // the object holding the PlayerPath
    float returnToInitVelAccelAmount = 75.0f;
    float positiveBonusWaitTime = 3.0f;  // s; upper bound of the hold after speed-ups
    float negativeBonusWaitTime = 1.0f;  // s; hold after a slow-down

    // Written by the ship.
    float accelerationOffset = 0.0f;
    float velocityOffset = 0.0f;
    bool boostAccelerating = false;
    bool boosting = false;
    bool frozen = false;
    bool slowed = false;
    float boostSpeed = 0.0f;

    // The crawler's own state.
    float initialVelocity = 0.0f;
    float currentSpeed = 0.0f;  // the speed of the last step
    float averageSpeed = 0.0f;  // travelled / elapsed, for the results screen
    float travelled = 0.0f;     // the distance moved in the steps that were not frozen
    float elapsed = 0.0f;       // the time of those steps
    bool bonusPending = false;
    bool returningUp = false;
    bool returningDown = false;
    float bonusTimer = 0.0f;
    D3DXVECTOR3 velocityVector{0.0f, 0.0f, 0.0f};  // world velocity of the last placement

private:
    // A bonus (58) adds to the velocity, a set speed (78) replaces it.
    void ApplyBonus(float value, bool add);
    // Places the owner at `distance`; false when there is no track point.
    void Place(float speed);
    // The first reflected number that is NaN (or an infinite one other than
    // maxVelocity), or null.
    const char* BrokenMember() const;

    bool stopped_ = false;       // a member is not a number: the crawler stands
    u32 reportedUnbound_ = ~0u;  // the binding last reported as naming no track
};
