// The procedural mesh builders: each makes a new Model (a clone of the
// ObjectFactory's Model prototype) holding immutable buffers made on the
// RenderDevice's device, and hands it to the caller, who owns it. Builders
// that take a colour show it through a solid diffuse texture. Counts below a
// builder's minimum, or so large that the mesh would pass the size limits of
// MeshGeometry, give null and a log row. Stateless; main thread only.
#pragma once
#include <vector>

#include "port/math/D3DX.h"
#include "render/mesh/MeshGeometry.h"

class Model;
class Material;
class NoiseGrid;

class MeshBuilder {
public:
    // The file name a debug sphere's Model carries instead of a model file's.
    static constexpr const char* kDebugSphereName = "DEBUGSPHERE";

    // Corners (+-1, +-1, +-1), outward faces; extent (1, 1, 1).
    static Model* Cube();
    // A sphere or ellipsoid; with a grid every position is scaled by the
    // grid's cosine sample at its texture coordinate. Null below 2 stacks or
    // 2 slices.
    static Model* Sphere(int stacks, int slices, float rx, float ry, float rz, const NoiseGrid* grid = nullptr);
    // A cone on a disc (a flat disc for height 0). Null below 1 slice.
    static Model* Cone(int slices, float radius, float height);
    // A line strip through the spline's samples.
    static Model* SplineLine(const std::vector<D3DXVECTOR3>& samples, const D3DXCOLOR& colour);
    // The outline of the rectangle (+-2 halfWidth, +-2 halfHeight, 0), as four lines.
    static Model* Panel(float halfWidth, float halfHeight, const D3DXCOLOR& colour);
    // The editor's floor grid: 101 lines each way, `spacing` apart.
    static Model* Grid(float spacing, const D3DXCOLOR& colour);
    // The editor's drag-control grid: Grid(spacing, (r, g, b, a)).
    static Model* Gizmo(float spacing, float r, float g, float b, float a);
    static Model* Square(const D3DXCOLOR& colour);
    // A screen quad at z = 1 facing an eye that looks down +z.
    static Model* Quad(float halfWidth, float halfHeight, const D3DXCOLOR& colour);
    // Fills the given sky box model (no clone) with the cube seen from
    // inside, and puts the cube texture named by its "filename" in the
    // "skybox" folder into its diffuse slot (locked, so texture names never
    // replace it; a missing file gives the texture cache's stand-in). The
    // model's material keeps the cube, made anew by each call.
    static void SkyboxCube(Model& skybox);
    // The 10 x 10 sphere of the radius as a line list, named "DEBUGSPHERE".
    static Model* DebugSphere(float radius, const D3DXCOLOR& colour);
    // The tunnel swept along the path frames, seen from inside, with the
    // material's textures. Null for fewer than 2 frames or sides below 1.
    static Model* Tunnel(const std::vector<MeshGeometry::TunnelFrame>& frames, int sideCount, float radius,
                         const Material& material);

    static void ComputeNormals(const u32* indices, ModelVertex* vertices, u32 vertexCount, u32 indexCount) {
        MeshGeometry::ComputeNormals(indices, vertices, vertexCount, indexCount);
    }

    // Puts a built mesh into a model: buffers, counts, topology, bounds.
    static void Fill(Model& model, const MeshGeometry& geometry);
};
