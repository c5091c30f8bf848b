// The renderer's debug drawing, run once a frame after the per-frame models:
// the two debug line lists (one over everything, one depth-tested), debug
// spheres, the unblended per-frame models and the wireframe highlights; and
// the screen markers at the end of the text pass. It empties what it draws.
// The sphere and marker objects are built on first use and reused. Owned by
// the GraphicsSystem. Main thread only.
#pragma once
#include <vector>

#include "core/Types.h"
#include "port/math/D3DX.h"
#include "render/frame/FrameContext.h"

class DebugLineList;
class Model;

class DebugDrawPass {
public:
    void Draw(const FrameContext& frame);
    void DrawScreenMarkers(const FrameContext& frame);

    u32 DebugSphereObject() const { return debugSphereObject_; }
    u32 MarkerObject() const { return markerObject_; }

private:
    Model* DebugSphere();
    Model* Marker();
    void DrawLines(const FrameContext& frame, const DebugLineList& list) const;
    void DrawSpheres(const FrameContext& frame);
    // Each object's Model under its Transform; `ownDiffuse`: with the model's
    // diffuse texture, else with whatever texture is set.
    void DrawObjects(const FrameContext& frame, const std::vector<u32>& ids, TechniqueId technique,
                     bool ownDiffuse) const;
    void DrawHighlights(const FrameContext& frame) const;

    u32 debugSphereObject_ = 0;
    u32 markerObject_ = 0;
};
