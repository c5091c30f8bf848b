// The lighting step of the frame: every live PointLight of the persistent
// list whose sphere (centre its object's position, radius "mRange" as it
// stands) meets the view frustum becomes one instance of the light-volume
// sphere; instances are packed into the GraphicsSystem's fixed array and
// drawn in instanced batches of at most 2000 into the Light target, tested
// against the depth buffer (unwritten). Each light's pixels read what they
// need of it (view-space centre, radius, colour) from the "PointLights"
// constant buffer, filled once per batch (once a frame up to 2000 lights), by
// the one flat index of its instance. Before them, a full-screen pass works
// out each pixel's view-space position (with its depth) and normal, which the
// lights and then the occlusion read; it is drawn also when no light is.
// Owned by the FramePipeline. Main thread only.
#pragma once
#include "core/Types.h"
#include "port/math/D3DX.h"

class FrameContext;
class FrustumCuller;
struct LightInstance;

// One light as its pixels read it from "PointLights" (two float4 each, by
// instance): its centre in view space and its radius squared, then its colour
// and its radius (the radius at least 1e-4, so the fade never divides by 0).
struct PointLightView {
    float centre[3];
    float radiusSquared;
    float colour[3];
    float radius;

    // The record of one light instance under the frame's view matrix.
    static PointLightView Of(const LightInstance& instance, const D3DXMATRIX& view);
};
static_assert(sizeof(PointLightView) == 32, "two float4 a light");

class LightPass {
public:
    void Draw(const FrameContext& frame, const FrustumCuller& frustum);
    // The step's passes drawn once each (the full-screen pass, one light)
    // with whatever viewport is set: with one of no size nothing is drawn,
    // but the driver has built the passes' shader variants.
    void WarmUp(const FrameContext& frame);

    // Lights drawn and instanced draws made in the last Draw.
    u32 DrawnCount() const { return drawn_; }
    u32 BatchCount() const { return batches_; }
    // Whether the last Draw made the per-pixel inputs (the occlusion step
    // reads them while the depth buffer is bound for its own test).
    bool InputsReady() const { return inputsReady_; }

private:
    void Flush(const FrameContext& frame, const LightInstance* instances, u32 count);
    // Writes the batch's PointLightView records into the constant buffer.
    static bool FillLightViews(const FrameContext& frame, const LightInstance* instances, u32 count);
    // The step's full-screen pass, drawn once a frame before the first light
    // batch (or after the last light was skipped); then binds the cleared
    // Light target with the depth buffer.
    void DrawInputs(const FrameContext& frame);

    u32 drawn_ = 0;
    u32 batches_ = 0;
    bool inputsDrawn_ = false;  // this frame's DrawInputs is done
    bool inputsReady_ = false;  // and has drawn the per-pixel inputs
};
