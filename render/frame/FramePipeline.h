// One drawn frame of the GraphicsSystem, step by step: the active camera and
// the view (or the game's chase view), the per-frame matrix and camera
// broadcasts, the frustum, then the deferred steps (geometry, instanced point
// lights, glow blur, ambient occlusion and its blur, combine), the sky box,
// particles, per-frame models, debug drawing, texts and screen markers, the
// tweak panels and Present. A frame in which no model is drawn and no light
// exists (the splash, the menus) skips the deferred steps, whose picture would
// be black, and clears the back buffer instead. The GPU driver builds a shader
// variant for each pass and texture kind at its first draw; those are built
// ahead, unseen (through a viewport of no size): the deferred steps' after the
// second picture, once their effects and targets are made (FinishStart), and
// a model's, a sky box's and a per-frame picture's when they arrive (while a
// scene loads; the texts' with a scene's first model). Owned by the GraphicsSystem for its
// lifetime; keeps the view between frames (a paused frame reuses it). Main
// thread only.
#pragma once
#include <memory>
#include <set>
#include <string>

#include "core/Types.h"
#include "render/camera/FrustumCuller.h"
#include "render/debug/DebugDrawPass.h"
#include "render/frame/ForwardPasses.h"
#include "render/frame/FrameContext.h"
#include "render/frame/FramePass.h"
#include "render/frame/GeometryPass.h"
#include "render/frame/LightPass.h"
#include "render/frame/ScreenPasses.h"
#include "render/particle/ParticlePass.h"

class Camera;
class GraphicsSystem;

class FramePipeline {
public:
    explicit FramePipeline(GraphicsSystem& graphics);

    // Draws and presents one frame; dt in seconds.
    void Run(float dt);

    void SetRecorder(FrameRecorder recorder) { recorder_ = std::move(recorder); }

    // Builds the shader variants that drawing a Model will need (component id;
    // or object id with `frameModel`: one asked for a frame) unless built.
    void WarmUpFor(u32 id, bool frameModel);
    // The same for the announced sky box.
    void WarmUpSkybox();
    // Whether the deferred steps' variants are built.
    bool DeferredWarm() const { return deferredWarm_; }
    // Whether the texts' variant is built (when a scene's first model arrives).
    bool TextsWarm() const { return warmed_.count(kTextsKind) != 0; }
    const FrameMatrices& Matrices() const { return matrices_; }
    const FrustumCuller& Frustum() const { return frustum_; }
    const GeometryPass& Geometry() const { return geometry_; }
    const LightPass& Lights() const { return lights_; }
    const ParticlePass& Particles() const { return particles_; }

private:
    // The newest registered camera of the stack (stale ids are popped).
    Camera* ResolveCamera();
    // The view of this frame from the camera or the chase view.
    void BuildView(Camera* camera, float dt);
    // Whether the chase camera, its target and the target's parent all
    // resolve, so the chase view can be taken.
    bool ChaseViewUsable() const;
    void Publish(u32 cameraId);
    bool EditorActiveOrMissing() const;
    bool ResultsScreenActive() const;
    // Whether this frame draws anything with the deferred or particle
    // effects: models, lights, emitters or a global light.
    bool NeedsDeferred() const;
    // The texts' step drawn into a viewport of no size, once.
    void WarmUpTexts();
    static constexpr const char* kTextsKind = "texts";
    // The deferred steps drawn into a viewport of no size, in rounds until
    // the light layout is settled (see GpuInputLayout::Settled), and once more.
    void WarmUpDeferred(const FrameContext& frame);
    // Enough for any layout to settle: each round changes it at least twice.
    static constexpr int kMaxDeferredWarmRounds = 5;
    // Runs `draw` with a frame context and a viewport of no size, then puts
    // the viewport back; false (nothing run) during a frame's drawing or
    // without a device or `effect`.
    template <class Draw>
    bool Unseen(EffectId effect, Draw&& draw);

    GraphicsSystem& graphics_;
    FrameResources& res_;  // the GraphicsSystem's
    FrameMatrices matrices_;
    FrustumCuller frustum_;
    GeometryPass geometry_;
    LightPass lights_;
    ScreenPasses screen_;
    ForwardPasses forward_;
    ParticlePass particles_;
    DebugDrawPass debug_;
    FrameRecorder recorder_;
    std::set<std::string> warmed_;  // texture kinds whose variants are built, per pass
    bool deferredWarm_ = false;
    bool presented_ = false;  // a first picture was shown
    bool drawing_ = false;    // within Run, from the first step to Present
};
