// The game's chase view: the chase-camera object (from a GameCamera), the
// chase target (the player's ship) and the pause overlay object, kept as
// object ids and resolved every frame, so a removed object is never touched.
// Owned by the GraphicsSystem's RenderLists. Main thread only.
#pragma once
#include "core/Types.h"
#include "port/math/D3DX.h"

class Transform;

class ChaseView {
public:
    // kMsgChaseCamera: the object with a GameCamera; its "targetOffset" is
    // read now (0 when the object has none).
    void SetChaseCamera(u32 objectId);
    // kMsgChaseTarget: the object the chase view looks at.
    void SetChaseTarget(u32 objectId) { chaseTarget_ = objectId; }
    // kMsgOverlayObject: the pause menu's overlay object.
    void SetOverlay(u32 objectId) { overlayObject_ = objectId; }
    // The scene was cleared: forgets the chase camera and target, which were
    // scene objects. The overlay object (the pause menu's, made once for the
    // run) and the measured chase height are kept.
    void Clear();

    // The chase camera's Transform now; null when there is no chase camera
    // or its object (or Transform) is gone.
    Transform* ChaseCameraTransform() const;
    // The overlay object's Transform now (null when gone).
    Transform* OverlayTransform() const;
    // Parks the overlay object out of sight at (0, 0, -20000) during play.
    void HideOverlay() const;

    // The chase view of this frame: from the chase camera's world position,
    // looking at the target raised along "up" (from the target toward its
    // parent object) by targetOffset plus the camera's height above the
    // target, measured on the first chase frame and kept for the run. False,
    // leaving `view` alone, when the chase camera or the target is gone; a
    // target without a parent Transform uses up = (0, 1, 0).
    bool ComputeView(D3DXMATRIX& view);
    bool HeightKnown() const { return heightKnown_; }
    float ChaseHeight() const { return chaseHeight_; }

    u32 ChaseCameraObject() const { return chaseCameraObject_; }
    u32 ChaseTarget() const { return chaseTarget_; }
    u32 OverlayObject() const { return overlayObject_; }
    i32 TargetOffset() const { return targetOffset_; }

private:
    u32 chaseCameraObject_ = 0;
    u32 chaseTarget_ = 0;
    u32 overlayObject_ = 0;
    i32 targetOffset_ = 0;
    bool heightKnown_ = false;
    float chaseHeight_ = 0.0f;
};
