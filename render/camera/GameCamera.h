// GameCamera: marks its owner object as the one from which the renderer
// computes the game's chase view. Not a Camera: its Init tells the renderer
// (and any subscriber of kMsgGameCameraObject) about the owner; "targetOffset" raises
// the chase view's aim above the target. Owned by its object; main thread.
#pragma once
#include "core/Types.h"
#include "engine/Component.h"

class GameCamera : public Component<GameCamera> {
public:
    static void Reflect(MemberList<GameCamera>& members);

    // Queues kMsgChaseCamera with the owner object id to the GraphicsSystem,
    // then kMsgGameCameraObject with the same id to the subscribers; both
    // arrive in the next drain.
    void Init() override;

    i32 GetTargetOffset() const { return targetOffset_; }
    void SetTargetOffset(i32 offset) { targetOffset_ = offset; }

private:
    i32 targetOffset_ = 0;  // reflected "targetOffset"
};
