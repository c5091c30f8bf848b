// The lighting step of the frame: every live PointLight of the persistent
// list whose sphere (centre its object's position, radius "mRange" as it
// stands) meets the view frustum becomes one instance of the light-volume
// sphere; instances are packed into the GraphicsSystem's fixed array and
// drawn in instanced batches of at most 2000 into the Light target, tested
// against the depth buffer (unwritten). Before them, a full-screen pass
// works out each pixel's position and normal for the lights to read and
// copies the depth for the occlusion (with no light to draw, only the copy).
// Owned by the FramePipeline. Main thread only.
#pragma once
#include "core/Types.h"

class FrameContext;
class FrustumCuller;
struct LightInstance;

class LightPass {
public:
    void Draw(const FrameContext& frame, const FrustumCuller& frustum);

    // Lights drawn and instanced draws made in the last Draw.
    u32 DrawnCount() const { return drawn_; }
    u32 BatchCount() const { return batches_; }
    // Whether the last Draw made the float copy of the depth (the occlusion
    // step reads it while the depth buffer is bound for its own test).
    bool DepthCopied() const { return depthCopied_; }

private:
    void Flush(const FrameContext& frame, const LightInstance* instances, u32 count);
    // The step's full-screen pass (`forLights`: the lights' inputs and the
    // depth copy, else the copy alone), drawn once a frame before the first
    // light batch; then binds the cleared Light target with the depth buffer.
    void DrawInputs(const FrameContext& frame, bool forLights);

    u32 drawn_ = 0;
    u32 batches_ = 0;
    bool inputsDrawn_ = false;  // this frame's DrawInputs is done
    bool depthCopied_ = false;  // this frame's depth copy is drawn
    bool lightsReady_ = false;  // and the lights' per-pixel inputs with it
};
