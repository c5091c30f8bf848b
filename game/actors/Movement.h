// Steers its object through the authored waypoint list by writing the
// object's Body: a constant speed along its facing and a torque that turns
// it toward the current waypoint. Reaching a waypoint (within kArrival)
// takes the next; with `patrolling` the list is walked round and round. The
// list itself is never consumed, so loading and saving keep it. In the
// editor it adds buttons to edit the list and draws its path when selected.
// BehaviorSystem steps it. Owned by its object; main thread only.
#pragma once
#include <deque>

#include "engine/Component.h"
#include "port/math/D3DX.h"

class Movement : public Component<Movement> {
public:
    static constexpr float kArrival = 25.0f;           // world units
    static constexpr float kSpeed = 30.0f;             // units per second along the facing
    static constexpr float kTorque = 30.0f;            // torque per unit of turning axis
    static constexpr float kNearDistance = 75.0f;      // nearer than this the turn is stronger
    static constexpr float kFacingTolerance = 0.001f;  // |1 - cos| below which no torque is added

    Movement() = default;
    static void Reflect(MemberList<Movement>& members);

    // The argument is not used (BehaviorSystem passes 0 each step). Only
    // while moving; nothing without a Body or a Transform.
    void Update(float dt) override;
    // Starts on the first waypoint when there is one.
    void Init() override;
    // Empties the waypoint list.
    void Shutdown() override;
    // A green line to the target; with patrolling, the blue loop.
    void DebugDraw() override;
    // "AddWaypoint", "ScrollWaypoints", "RemoveWaypoint".
    void AddTweakBarButtons(TwBar* bar) override;

    // The buttons' actions; clientData carries the component id.
    static void AddWaypointButton(void* clientData);
    static void ScrollWaypointsButton(void* clientData);
    static void RemoveWaypointButton(void* clientData);

    // Takes the waypoint after the last one taken (from the start again
    // when patrolling); waypoints that are not numbers are passed over with
    // a log row. False when there is none to take.
    bool NextWaypoint();

    // Reflected, in file order.
    std::deque<D3DXVECTOR3> waypointList;  // authored, walked by nextIndex
    bool patrolling = false;
    D3DXVECTOR3 validRotationAxes{1.0f, 0.0f, 0.0f};  // kept in files; not read
    float movementFuzz = 0.05f;                       // kept in files; not read
    std::deque<D3DXVECTOR3> movementForces;           // kept in files; not read
    float thrusterPower = 2.0f;                       // kept in files; not read
    float targetSize = 25.0f;                         // kept in files; the arrival radius is kArrival

    D3DXVECTOR3 target{0.0f, 0.0f, 0.0f};
    bool moving = false;
    float distanceToTarget = 0.0f;
    size_t nextIndex = 0;  // the waypoint NextWaypoint takes
};
