// The engine system that ticks the steering, enemy and trigger components on
// a fixed step of its own (kStep), at most one step a frame whatever the
// frame time: Movement, PlayerPositionTrigger, Brain, Sataleye, DistanceLord,
// TimeLord. It also remembers the player's object (read by Brain) and the
// object selected in the editor, whose Movement path it draws while debug
// drawing is on. Created at start-up, active and subscribed for the whole
// run, owned by the Engine. Main thread only.
#pragma once
#include "engine/ComponentList.h"
#include "engine/ISystem.h"

class BehaviorSystem : public ISystem {
public:
    // Seconds per step: the float nearest the decimal 0.0166667 (not 1/60).
    static constexpr float kStep = 0.0166667f;
    // What the accumulator holds at construction.
    static constexpr float kStartAccumulator = 0.006f;

    // Name "BehaviorSystem", active; subscribes to its messages for good.
    BehaviorSystem();

    // Announcements, debug drawing and the editor's selection; handled
    // also while paused.
    void HandleMessage(Message* message) override;
    // Adds dt; once a step has gathered, runs one step and drops the rest.
    void Update(float dt) override;
    // A scene was cleared: the six lists emptied and the player forgotten.
    void Clear() override;
    // The subscriptions stay for the whole run.
    void Activate() override {}
    void Deactivate() override {}

    u32 GetPlayerObjectId() const { return playerObjectId_; }
    // The player's object as a stepped component sees it: the one `system`
    // knows, else `fallback` (the last focus object it heard of).
    static u32 PlayerObjectIdOr(const BehaviorSystem* system, u32 fallback) {
        const u32 known = system ? system->playerObjectId_ : 0;
        return known ? known : fallback;
    }
    u32 GetSelectedObjectId() const { return selectedObjectId_; }
    float GetAccumulator() const { return accumulator_; }
    bool IsDebugDrawing() const { return debugDraw_; }

private:
    // Every entry of the list, each handed the list's step argument.
    static void Walk(ComponentList& list, float dt);

    float accumulator_ = kStartAccumulator;
    u32 playerObjectId_ = 0;    // owner of the announced Player
    u32 selectedObjectId_ = 0;  // kMsgSelectedObject
    bool debugDraw_ = false;
    ComponentList movements_;
    ComponentList brains_;
    ComponentList sataleyes_;
    ComponentList positionTriggers_;
    ComponentList timeLords_;
    ComponentList distanceLords_;
};
