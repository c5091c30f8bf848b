// The spawner that places numSpawns objects of its archetype around the
// player's track, on a circle of the player's circleRadius (plus an offset)
// about the track's centre line, stepping along the track and around it per
// spawn, and configures the circling of the spawned enemies' Brains. Its
// objects are added to the scene. With autoTrigger it spawns once as soon as
// the player and the track are known; with lastTrigger it starts the level
// countdown (kMsgLevelStart) in the first frame. Owned by its object; acts
// only on messages; main thread only.
#pragma once
#include "game/level/Spawner.h"

class PlayerPath;

class SplineMultiSpawner : public Component<SplineMultiSpawner, Spawner> {
public:
    // More spawns than this per trigger are cut to it, with a log row.
    static constexpr i32 kMaxSpawns = 1000;

    SplineMultiSpawner() = default;
    static void Reflect(MemberList<SplineMultiSpawner>& members);

    // The player's object (kMsgPlayerObject), the track's announcement and
    // the trigger code (ignored with autoTrigger).
    void HandleMessage(Message* message) override;
    // Angles in radians, counters reset, subscriptions, then the base's Init.
    void Init() override;
    void Shutdown() override;
    // One set of numSpawns objects; nothing until the player, who must ride
    // a carrier, and a track are known.
    void Spawn() override;

    // The track: the announced one while it lives, else the one the
    // player's carrier rides, else the first of the scene. Null when none.
    PlayerPath* FindPath();
    bool HasSpawned() const { return spawned_; }

    // Reflected, in file order after the base's.
    float distanceAlongSpline = 0.0f;     // track distance of the first spawn
    float offsetFromPlayerRadius = 0.0f;  // added to the player's circleRadius
    float angleOnSpline = 0.0f;           // degrees, first spawn
    float distanceStep = 0.0f;            // track distance per spawn
    float angleStep = 0.0f;               // degrees per spawn
    i32 numSpawns = 1;
    bool autoTrigger = false;
    bool lastTrigger = false;
    float circleRadius = -1.0f;  // -1: the spawned Brains keep their own circling
    float angleInc = 0.0f;       // Brain angleIncrement of the next spawn
    float angleIncStep = 0.0f;
    bool moveLeft = false;
    float moveLeftAltVal = 0.0f;  // configured spawns between two flips of moveLeft
    bool halfCircle = false;
    float halfCircleAltVal = 0.0f;

private:
    // After either id arrived: the automatic spawn and the countdown start.
    void OnIdKnown();
    // The player's circleRadius; 0, with one log row, without a Player.
    float PlayerCircleRadius();
    // The spawned object's Brain takes its centre, angle and circling.
    void ConfigureBrain(u32 objectId, const D3DXVECTOR3& point, float angle);
    // The first placement member that is not a finite number, or null.
    const char* BrokenMember() const;

    u32 playerObjectId_ = 0;
    u32 pathComponentId_ = 0;
    bool spawned_ = false;
    float firstAngle_ = 0.0f;  // radians
    float angleStepRadians_ = 0.0f;
    float halfCircleCount_ = 0.0f;
    float moveLeftCount_ = 0.0f;
    bool reportedNoPlayer_ = false;
};
