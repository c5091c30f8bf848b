// The engine system that advances the simulated world on its own fixed step
// of 0.0166667 s (at most one step a frame, the rest of the frame's time
// dropped): it integrates Bodies and moves their objects, removes bullets
// left far behind the focus object, moves the SplineCrawlers along their
// tracks, tells the moved objects to refresh their colliders, runs the
// collision tests and advances the last announced TimeLord. Components are
// kept as ids from their announcements and looked up each step; the lists
// are emptied at every scene clear. Owned by the Engine; deletes its child
// systems. Main thread only.
#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/ISystem.h"
#include "game/physics/ContactBudget.h"
#include "game/physics/IdList.h"
#include "port/math/D3DX.h"

class Body;
class SphereCollision;
class Transform;

class Physics : public ISystem {
public:
    // The step length: the float nearest to the decimal 0.0166667, not to 1/60.
    static constexpr float kStep = 0.0166667f;
    // A "Bullet" this far behind the focus object in world z is removed.
    static constexpr float kBulletLag = 100.0f;

    Physics();
    ~Physics() override;

    // Announcements of the stepped classes, the focus object (39, any
    // argument) and debug drawing (1, 12).
    void HandleMessage(Message* message) override;
    // Logs "time" and the level time, then (unless paused) adds dt and runs
    // one step once a step's worth has gathered; the level time grows by that
    // step. A dt that is negative or not a number adds nothing.
    void Update(float dt) override;
    // Subscribes, resets the clock and makes the child systems.
    void Init() override;
    // Forgets every stepped component (focus and TimeLord stay), sets the
    // level time and the accumulator to 0, then the children's Clear.
    void Clear() override;
    // Subscribes again (the focus object included), then the children's Activate.
    void Activate() override;
    // Drops every subscription, then the children's Deactivate.
    void Deactivate() override;

    // Seconds of play: the simulated time, the steps run since the last Clear
    // times the step, so that it agrees with the distance the world moved at
    // any frame rate (a slow machine runs the world in slow motion).
    float GetTotalTime() const { return static_cast<float>(static_cast<double>(steps_) * kStep); }
    // The level time set to the nearest whole number of steps.
    void SetTotalTime(float seconds);
    // Steps run since construction, never reset: the world's clock, which
    // GameLogic reads to give gameplay the game time of the frame's step.
    u64 GetStepsRun() const { return stepsRun_; }
    float GetAccumulator() const { return accumulator_; }
    u32 GetFocusObjectId() const { return focusObjectId_; }
    u32 GetTimeLordId() const { return timeLordId_; }
    bool IsDebugDrawing() const { return debugDraw_; }
    const IdList& GetBodyIds() const { return bodyIds_; }
    const IdList& GetCrawlerIds() const { return crawlerIds_; }
    const IdList& GetSphereIds() const { return sphereIds_; }
    const IdList& GetCylinderIds() const { return cylinderIds_; }

private:
    void SubscribeKinds();
    // One step of h seconds: bodies, crawlers, collider refresh, collision
    // tests, TimeLord.
    void Step(float h);
    void StepBodies(float h);
    // Integrates one body and moves its object; false when it is left out.
    bool Integrate(Body& body, Transform& transform, float h);
    void StepCrawlers(float h);
    // Every cylinder collider tested against every sphere collider; a
    // contact queues the collision from the cylinder's object to the
    // sphere's. Past the step's contact budget the pass ends.
    void CollisionHandler();
    // One log row per broken body (until the next Clear).
    void ReportBody(const Body& body, const std::string& problem);

    IdList bodyIds_;
    IdList sphereIds_;
    IdList cylinderIds_;
    IdList crawlerIds_;
    u32 timeLordId_ = 0;     // the last announced TimeLord; 0 = none
    u32 focusObjectId_ = 0;  // the object the game centres on; looked up when needed
    float accumulator_ = 0.0f;
    u64 steps_ = 0;     // steps run since the last Clear: the level time
    u64 stepsRun_ = 0;  // steps run in all
    bool debugDraw_ = false;
    std::vector<u32> pendingRefresh_;         // objects moved this step, refreshed after the walks
    std::unordered_set<u32> reportedBodies_;  // bodies already named in the log
    ContactBudget contacts_{"cylinder"};
    // The sphere colliders of the cylinder pass, looked up once a step (the
    // pass only logs and queues, so nothing moves during it).
    struct SphereAt {
        SphereCollision* sphere;
        D3DXVECTOR3 position;
        bool placed;  // the object has a Transform
    };
    std::vector<SphereAt> spheresAt_;
};
