// Moves one thing the editor moves, an object or its marker, and keeps its
// track in step: a waypoint marker writes its local position and rotation
// into its waypoint, and the changed track (the marker's, or the moved
// object's own) is flagged for a rebuild. Shared by the manipulators and the
// move undo. A value made for one move: it holds the moved object's id and
// its Transform, looked up when made and not kept across frames.
#pragma once
#include "core/Types.h"
#include "editor/move/MoveRecord.h"
#include "port/math/D3DX.h"

class Transform;

class ObjectMover {
public:
    // The mover of what a move of `target` changes: a marker stands for its
    // object (which the marker follows), except a waypoint marker, which is
    // moved itself. Moves nothing when that object is gone.
    static ObjectMover ForTarget(u32 target);
    // The mover of this very object (an undo record's).
    explicit ObjectMover(u32 objectId);

    // The moved object (0: none) and its Transform (null: nothing to move).
    u32 GetObjectId() const { return objectId_; }
    Transform* GetTransform() const { return transform_; }

    // The world position now, the Transform refreshed first. Needs a Transform.
    D3DXVECTOR3 WorldPosition() const;
    // The object and its world position now: what undo puts back.
    MoveRecord Where() const;
    // To a world position (through the parent when it has one), then the
    // Transform refreshed and the track kept in step.
    void MoveTo(const D3DXVECTOR3& worldPosition) const;
    // To a local rotation, then the same.
    void TurnTo(const D3DXQUATERNION& rotation) const;

private:
    void KeepTrackInStep() const;

    u32 objectId_ = 0;
    Transform* transform_ = nullptr;
};
