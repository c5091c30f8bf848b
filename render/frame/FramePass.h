// The steps of a drawn frame, in the order the FramePipeline runs them, and
// the recording hook through which tests and tools watch a frame: each step
// is reported as it starts, each instanced light draw with its light count.
// Plain values; main thread only.
#pragma once
#include <functional>

#include "core/Types.h"

enum class FramePass : u32 {
    Geometry,
    Lighting,
    LightBatch,  // one instanced draw of the lighting step; count = its lights
    GlowBlur,
    AmbientOcclusion,
    AmbientOcclusionBlur,
    Combine,
    Skybox,
    Particles,
    FrameModels,
    DebugDrawing,
    Texts,
    ScreenMarkers,
    Panels,
    Present,
};

// Called with each step as it runs; count is the step's item count where one
// is meaningful (lights of a batch), else 0.
using FrameRecorder = std::function<void(FramePass pass, u32 count)>;
