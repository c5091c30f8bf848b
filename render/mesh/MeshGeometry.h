// CPU side of the procedural meshes: each builder fills positions, normals,
// texture coordinates, indices, topology and bounds, and MeshBuilder uploads
// the result into a Model. Pure functions of their arguments; a MeshGeometry
// is a short-lived value owned by its caller. Main thread.
#pragma once
#include <functional>
#include <vector>

#include "core/Types.h"
#include "port/math/D3DX.h"
#include "render/mesh/ModelCpuMesh.h"

class MeshGeometry {
public:
    // Primitive topologies as the renderer numbers them.
    static constexpr u32 kLineList = 2;
    static constexpr u32 kLineStrip = 3;
    static constexpr u32 kTriangleList = 4;
    // Largest meshes the counted builders make (4M vertices, 16M indices).
    static constexpr u32 kMaxVertices = 1u << 22;
    static constexpr u32 kMaxIndices = 1u << 24;

    // Scale factor for a vertex position from its texture coordinate (u, v);
    // Sphere's optional noise roughening.
    using PositionScale = std::function<float(float u, float v)>;

    // One frame of a tunnel's path: centre, the path's direction there, and a
    // unit direction from the centre to the ring's first vertex.
    struct TunnelFrame {
        D3DXVECTOR3 position;
        D3DXVECTOR3 axis;
        D3DXVECTOR3 radial;
    };

    ModelCpuMesh mesh;
    // Without indices the vertices are drawn in order (line meshes).
    bool indexed = true;
    u32 topology = kTriangleList;
    // Triangles of a triangle list, lines of a line mesh.
    u32 triangleCount = 0;
    // Zero unless the builder sets bounds.
    D3DXVECTOR3 center;
    D3DXVECTOR3 extent;

    // Per triangle the unit normal of cross(P1 - P0, P2 - P0) is added to its
    // three vertices, then every normal is normalised (not area-weighted).
    // Triangles naming a vertex outside the array are skipped.
    static void ComputeNormals(const u32* indices, ModelVertex* vertices, u32 vertexCount, u32 indexCount);
    static void ComputeNormals(ModelCpuMesh& mesh);

    // Vertices of Sphere and Cone meshes of these counts (valid counts).
    static u64 SphereVertexCount(int stacks, int slices);
    static u64 ConeVertexCount(int slices);

    // Builders. Those with counts return false, leaving `out` empty, when a
    // count is below its minimum (stacks or slices below 2 for Sphere, slices
    // below 1 for Cone, fewer than 2 frames or sides below 1 for Tunnel) or
    // the mesh would pass kMaxVertices or kMaxIndices.
    static void Cube(MeshGeometry& out);
    static bool Sphere(int stacks, int slices, float rx, float ry, float rz, const PositionScale& scale,
                       MeshGeometry& out);
    static bool Cone(int slices, float radius, float height, MeshGeometry& out);
    static void SplineLine(const std::vector<D3DXVECTOR3>& samples, MeshGeometry& out);
    static void Panel(float halfWidth, float halfHeight, MeshGeometry& out);
    static void Grid(float spacing, MeshGeometry& out);
    static void Quad(float halfWidth, float halfHeight, MeshGeometry& out);
    // The sky box cube seen from inside: every face is front-facing
    // (clockwise) for an eye inside the cube.
    static void SkyboxCube(MeshGeometry& out);
    // Sphere(10, 10, radius...) drawn as a line list over the same indices.
    static void DebugSphere(float radius, MeshGeometry& out);
    static bool Tunnel(const std::vector<TunnelFrame>& frames, int sideCount, float radius, MeshGeometry& out);

private:
    void AddVertex(const D3DXVECTOR3& position, const D3DXVECTOR3& normal, const D3DXVECTOR2& texCoord);
    void SetBoundsFromMesh();
};
