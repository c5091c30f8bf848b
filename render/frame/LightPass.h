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
// What a frame's lights cost is bounded (kMaxLitScreens, kMaxDrawnLights).
// Owned by the FramePipeline. Main thread only.
#pragma once
#include <vector>

#include "core/Types.h"
#include "port/math/D3DX.h"
#include "render/mesh/VertexFormat.h"

class FrameContext;
class FrustumCuller;
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
    // What one frame's lights may cost: the screens their volumes cover
    // (each light's share of the viewport, ScreensCovered; a light the eye
    // is in covers one), and the light volumes drawn, two batches (each a
    // sphere of some 1,000 vertices: about the vertices a scene may draw).
    // The lights that would pass either, taken in the order of their
    // component ids, are not drawn that frame; the first of a scene gets a
    // row naming its object.
    static constexpr double kMaxLitScreens = 48.0;
    static constexpr u32 kMaxDrawnLights = 4000;

    void Draw(const FrameContext& frame, const FrustumCuller& frustum);
    // The step's passes drawn once each (the full-screen pass, one light)
    // with whatever viewport is set: with one of no size nothing is drawn,
    // but the driver has built the passes' shader variants.
    void WarmUp(const FrameContext& frame);

    // The part of the viewport (0 to 1) that holds the picture of a light
    // volume of `radius` (its sign ignored) at `centre`: the rectangle around
    // the projected sphere, clipped to the viewport; a sphere reaching the
    // near plane or holding the eye, or one not a number, counts as all of it.
    static float ScreensCovered(const D3DXVECTOR3& centre, float radius, const D3DXMATRIX& view,
                                const D3DXMATRIX& projection);

    // Lights drawn and instanced draws made in the last Draw.
    u32 DrawnCount() const { return drawn_; }
    u32 BatchCount() const { return batches_; }
    // Whether the last Draw made the per-pixel inputs (the occlusion step
    // reads them while the depth buffer is bound for its own test).
    bool InputsReady() const { return inputsReady_; }

private:
    // A light in view this frame, as the walk found it.
    struct Visible {
        LightInstance instance;
        float screens;
        u32 componentId;
        u32 owner;
        bool drawn;
    };
    // The frame's lights past the bounds: marks them not drawn, taking the
    // lights by component id, and logs the scene's first.
    void Bound(const FrameContext& frame);
    void Flush(const FrameContext& frame, const LightInstance* instances, u32 count);
    // Writes the batch's PointLightView records into the constant buffer.
    static bool FillLightViews(const FrameContext& frame, const LightInstance* instances, u32 count);
    // The step's full-screen pass, drawn once a frame before the first light
    // batch (or after the last light was skipped); then binds the cleared
    // Light target with the depth buffer.
    void DrawInputs(const FrameContext& frame);

    u32 drawn_ = 0;
    u32 batches_ = 0;
    bool inputsDrawn_ = false;      // this frame's DrawInputs is done
    bool inputsReady_ = false;      // and has drawn the per-pixel inputs
    std::vector<Visible> visible_;  // this frame's; kept for its room
    std::vector<u32> byId_;         // indices into visible_, for Bound
};
