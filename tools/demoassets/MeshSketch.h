// A mesh put together from simple solids for the game's models, in the
// renderer's frame (left-handed: x right, y up, z forward; a triangle's front
// is the side from which its corners run clockwise, so cross(b - a, c - a)
// points out of the solid). Every corner carries a paint: a cell of the
// model's texture atlas (kCells x kCells cells) and a place (s, t) in 0..1
// inside it. ObjText writes the mesh as a Wavefront OBJ source in the OBJ's
// own right-handed, counter-clockwise, v-up conventions, which the model tool
// turns back into exactly this mesh. A plain value used by the tool and its
// tests; one thread.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "port/math/D3DX.h"

class MeshSketch {
public:
    static constexpr int kCells = 4;
    // Texels of a cell's rim that repeat its edge, so mips and filtering do
    // not mix neighbouring cells: the corners stay this far inside the cell.
    static constexpr float kCellInset = 3.0f / 64.0f;

    struct Corner {
        D3DXVECTOR3 position;
        D3DXVECTOR3 normal;
        int cell = 0;
        float s = 0.0f, t = 0.0f;
    };
    // A point of a profile swept around the z axis: distance along z and
    // radius there.
    struct Ring {
        float z, radius;
    };

    const std::vector<Corner>& Corners() const { return corners_; }
    const std::vector<std::uint32_t>& Indices() const { return indices_; }
    std::size_t TriangleCount() const { return indices_.size() / 3; }

    // The corners added from now on can be moved together with Transform.
    std::size_t Mark() const { return corners_.size(); }
    // Moves the corners added since `mark` by `m` (normals by its inverse
    // transpose); a mirroring matrix also turns their triangles round so
    // they keep facing out.
    void Transform(std::size_t mark, const D3DXMATRIX& m);
    // Adds a copy of the corners and triangles added since `mark`, mirrored
    // across the plane x = 0.
    void MirrorX(std::size_t mark);

    // One flat triangle or quad (corners in front-face order); (s, t) of
    // each corner given.
    void Triangle(int cell, const Corner& a, const Corner& b, const Corner& c);
    void FlatTriangle(int cell, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c, float sa, float ta,
                      float sb, float tb, float sc, float tc);
    void FlatQuad(int cell, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c, const D3DXVECTOR3& d);

    // A solid of revolution around the z axis through the rings (z
    // ascending), `sides` around, squashed by (scaleX, scaleY); a radius of 0
    // closes the end. s runs around from the top (+y), t along the rings.
    // Smooth normals unless `faceted`; a last ring with a radius above 0 is
    // closed by a flat cap in `capCell` (-1: left open), likewise the first.
    void Lathe(int cell, const std::vector<Ring>& rings, int sides, float scaleX, float scaleY, bool faceted,
               int capCell = -1);
    // A box centred at `centre` with half sizes `half`, flat faces.
    void Box(int cell, const D3DXVECTOR3& centre, const D3DXVECTOR3& half);
    // A flat plate: the outline (x, z), convex or star-shaped around its
    // mean point, either way round, raised from y0 to y1, with a rim. The top and bottom
    // use `cell` mapped over the outline's bounds, the rim `rimCell`.
    void Slab(int cell, int rimCell, const std::vector<D3DXVECTOR2>& outline, float y0, float y1);
    // A sphere of radius 1 subdivided from an icosahedron `level` times,
    // each corner pushed out by bump(direction) (a factor near 1); flat
    // faces; s, t from the direction's longitude and latitude.
    void Blob(int cell, int level, const std::function<float(const D3DXVECTOR3&)>& bump);
    // A ring around the z axis: radius `major`, tube radius `minor`; t runs
    // round the tube from its inner edge, so t = 0.5 is its outer rim.
    void Torus(int cell, float major, float minor, int around, int tube);

    // The OBJ text, with `comment` lines at the top. Numbers with six
    // decimals, so the text is the same wherever it is made.
    std::string ObjText(const std::string& comment) const;

    // The atlas coordinate of a corner: its cell's square, shrunk by the inset.
    static D3DXVECTOR2 AtlasUv(const Corner& corner);

private:
    std::uint32_t Add(const Corner& corner);

    std::vector<Corner> corners_;
    std::vector<std::uint32_t> indices_;
};
