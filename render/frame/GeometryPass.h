// The geometry step of the frame: binds the Normals, DiffuseSpec and Glow
// targets with the depth buffer and clears them, then draws every enabled,
// placed and visible Model of the persistent model list into them, each with its
// Material's textures (or the solid defaults). In debug drawing it also shows
// the selection's bounds. Owned by the FramePipeline. Main thread only.
#pragma once
#include <array>

#include "core/Types.h"
#include "port/math/D3DX.h"

class FrameContext;
class FrustumCuller;
class GpuShaderResourceView;
class Material;
class Model;
class Transform;

class GeometryPass {
public:
    void Draw(const FrameContext& frame, const FrustumCuller& frustum);

    // The step's targets and states (`clear`: the targets cleared too).
    static void Bind(const FrameContext& frame, bool clear);
    // One model at `world` into the bound targets; false without the technique.
    static bool DrawOne(const FrameContext& frame, Model& model, const D3DXMATRIX& world);
    // The diffuse, normal, specular and glow maps the step binds for a material.
    static std::array<GpuShaderResourceView*, 4> Textures(const Material& material);
    // Whether the material's surface normals go to the targets as they are:
    // it has no normal map and the stand-in has no red or green (so the pass
    // without the normal map is drawn).
    static bool KeepsSurfaceNormals(const Material& material);

    // Models drawn and culled in the last Draw.
    u32 DrawnCount() const { return drawn_; }
    u32 CulledCount() const { return culled_; }

private:
    void DrawSelection(const FrameContext& frame, Model& model, u32 ownerId) const;

    u32 drawn_ = 0;
    u32 culled_ = 0;
};
