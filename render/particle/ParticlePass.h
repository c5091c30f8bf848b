// The particle step of the frame: the targets and the frame's particle
// variables (eye, view x projection, step), the running particle clock, then
// RenderDevice::RunEmitters updates, advances (stream-out) and draws every
// registered, active emitter. Owned by the FramePipeline. Main thread only.
#pragma once
#include "core/Types.h"

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
