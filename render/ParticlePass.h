// The particle step of the frame: for each registered, active emitter, its
// Update with the frame's step, one stream-out step that advances its
// particles on the GPU (from its seed vertices after a (re)start, else from
// the stream written last frame) and one draw of the stream just written.
// Keeps the running particle clock. Owned by the FramePipeline. Main thread.
#pragma once
#include "engine/Types.h"

class FrameContext;

class ParticlePass {
public:
    // step: the frame's dt, or 0 while the game is paused.
    void Draw(const FrameContext& frame, float step);
    // Running sum of the particle steps since the renderer started.
    float GameTime() const { return gameTime_; }
    // Emitters advanced and drawn in the last Draw.
    u32 DrawnCount() const { return drawn_; }

private:
    float gameTime_ = 0.0f;
    u32 drawn_ = 0;
};
