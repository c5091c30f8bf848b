#include "editor/move/KeyboardMoveObject.h"

#include "editor/mode/EditorNotice.h"
#include "editor/move/ObjectMover.h"
#include "engine/Transform.h"

KeyboardMoveObject::KeyboardMoveObject(const D3DXVECTOR3& direction, u32 axis)
    : ObjectManipulatorBase("KeyboardMoveObject", kCategoryNormal), direction_(direction), axis_(axis) {}

void KeyboardMoveObject::OnActivate() {
    timer_ = -kRepeatDelay;
    pressFrame_ = true;
    Step();
}

void KeyboardMoveObject::UpdateActive(float dt) {
    timer_ += dt;
    const bool pressFrame = pressFrame_;
    pressFrame_ = false;
    if (!pressFrame && timer_ > kRepeatInterval) {
        Step();
        timer_ = 0.0f;
    }
}

void KeyboardMoveObject::OnDeactivate() {
    timer_ = 0.0f;
}

bool KeyboardMoveObject::Step() {
    if (!IsAxisEnabled(axis_)) {
        // The axis locks start all off: a key that moves nothing says why.
        static const char* const kAxes[] = {"x", "y", "z"};
        static const char* const kKeys[] = {"X", "Y", "Z"};
        if (axis_ < 3 && BroadcastMoveRecord(false) != 0)
            PostEditorNotice(GetId(), std::string("Move: the ") + kAxes[axis_] + " axis is off; press " + kKeys[axis_] +
                                          " (or tick \"" + kKeys[axis_] + "-Axis locked\" in Main Menu) to " +
                                          (rotateMode_ ? "turn about it" : "move along it"));
        return false;
    }
    const u32 target = BroadcastMoveRecord(true);
    if (target == 0) {
        SetState(false);
        return false;
    }
    const ObjectMover mover = ObjectMover::ForTarget(target);
    Transform* transform = mover.GetTransform();
    if (!transform) {
        const u32 shown = mover.GetObjectId() != 0 ? mover.GetObjectId() : selectedObject_;
        PostEditorNotice(GetId(), "Move: " + ObjectLabel(shown) + " has no Transform; nothing moved");
        return false;
    }
    const D3DXVECTOR3 at = mover.WorldPosition();
    D3DXVECTOR3 direction = direction_;
    if (!worldAxes_) {
        // The object's own axis as it is drawn: the world rotation's row.
        D3DXMATRIX turn;
        const D3DXQUATERNION rotation = transform->GetWorldRotation();
        D3DXMatrixRotationQuaternion(&turn, &rotation);
        D3DXVec3TransformNormal(&direction, &direction_, &turn);
    }
    if (rotateMode_) {
        D3DXQUATERNION step;
        D3DXQuaternionRotationAxis(&step, &direction, rotateStep_);
        D3DXQUATERNION turned;
        D3DXQuaternionMultiply(&turned, &transform->rotation, &step);
        mover.TurnTo(turned);
    } else {
        mover.MoveTo(at + direction * moveSpeed_);
    }
    return true;
}
