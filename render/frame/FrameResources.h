// The resources one frame draws with: the size-dependent targets, the
// effects, the render lists filled by messages, the input layouts, the
// full-screen quad and light sphere, and the long-lived buffers. Owned by the
// GraphicsSystem (made at Init, targets remade at every resize); the
// FramePipeline, the FrameContext and the passes read and fill it. Main thread only.
#pragma once
#include <memory>
#include <vector>

#include "core/Types.h"
#include "render/effect/EffectTable.h"
#include "render/frame/RenderLists.h"
#include "render/frame/RenderTargets.h"
#include "render/mesh/VertexFormat.h"

class GpuBuffer;
class GpuInputLayout;

struct FrameResources {
    RenderTargets targets;
    EffectTable effects;
    RenderLists lists;
    // The input layouts of the vertex-format table the passes draw with.
    std::shared_ptr<GpuInputLayout> geometryLayout;
    std::shared_ptr<GpuInputLayout> lightLayout;
    std::shared_ptr<GpuInputLayout> particleStreamLayout;
    std::shared_ptr<GpuInputLayout> particleDrawLayout;
    // The light-volume sphere and the full-screen quad (Model component ids).
    u32 sphereModelId = 0;
    u32 quadModelId = 0;
    // Debug lines streamed each frame (GraphicsSystem::kLineBufferBytes).
    std::shared_ptr<GpuBuffer> lineBuffer;
    // The fixed array of GraphicsSystem::kMaxLightInstances records the
    // lighting step fills, the vertex buffer it is copied to, and the constant
    // buffer of the lights' view-space records (PointLightView).
    std::vector<LightInstance> lightInstances;
    std::shared_ptr<GpuBuffer> lightInstanceBuffer;
    std::shared_ptr<GpuBuffer> lightViewBuffer;
};
