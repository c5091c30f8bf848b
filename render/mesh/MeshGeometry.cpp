#include "render/mesh/MeshGeometry.h"

#include <cmath>

#include "engine/Logger.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;

// Whether a mesh of these counts stays within the builders' limits; logs the
// builder's refusal otherwise.
bool SizeFits(const char* builder, u64 vertices, u64 indices) {
    if (vertices <= MeshGeometry::kMaxVertices && indices <= MeshGeometry::kMaxIndices) return true;
    Log("MeshBuilder::%s: %llu vertices and %llu indices pass the limits of %u and %u", builder,
        static_cast<unsigned long long>(vertices), static_cast<unsigned long long>(indices), MeshGeometry::kMaxVertices,
        MeshGeometry::kMaxIndices);
    return false;
}

}  // namespace

void MeshGeometry::AddVertex(const D3DXVECTOR3& position, const D3DXVECTOR3& normal, const D3DXVECTOR2& texCoord) {
    mesh.vertices.push_back(ModelVertex{position, normal, texCoord});
}

void MeshGeometry::SetBoundsFromMesh() {
    mesh.ComputeBounds(center, extent);
}

void MeshGeometry::ComputeNormals(const u32* indices, ModelVertex* vertices, u32 vertexCount, u32 indexCount) {
    for (u32 t = 0; t + 2 < indexCount; t += 3) {
        const u32 i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount) continue;
        const D3DXVECTOR3 e1 = vertices[i1].position - vertices[i0].position;
        const D3DXVECTOR3 e2 = vertices[i2].position - vertices[i0].position;
        D3DXVECTOR3 n;
        D3DXVec3Cross(&n, &e1, &e2);
        D3DXVec3Normalize(&n, &n);
        vertices[i0].normal += n;
        vertices[i1].normal += n;
        vertices[i2].normal += n;
    }
    for (u32 v = 0; v < vertexCount; ++v) D3DXVec3Normalize(&vertices[v].normal, &vertices[v].normal);
}

void MeshGeometry::ComputeNormals(ModelCpuMesh& m) {
    ComputeNormals(m.indices.data(), m.vertices.data(), m.VertexCount(), m.IndexCount());
}

u64 MeshGeometry::SphereVertexCount(int stacks, int slices) {
    // A ring of `slices` vertices between stacks, and the two poles.
    return static_cast<u64>(stacks - 1) * static_cast<u64>(slices) + 2;
}

u64 MeshGeometry::ConeVertexCount(int slices) {
    // The rim, the disc's centre and the tip.
    return static_cast<u64>(slices) + 2;
}

void MeshGeometry::Cube(MeshGeometry& out) {
    out = MeshGeometry();
    const D3DXVECTOR3 corners[8] = {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1},
                                    {-1, -1, 1},  {-1, 1, 1},  {1, 1, 1},  {1, -1, 1}};
    for (const D3DXVECTOR3& c : corners) out.AddVertex(c, D3DXVECTOR3(), D3DXVECTOR2());
    out.mesh.indices = {0, 1, 2, 0, 2, 3, 4, 6, 5, 4, 7, 6, 4, 5, 1, 4, 1, 0,
                        3, 2, 6, 3, 6, 7, 1, 5, 6, 1, 6, 2, 4, 0, 3, 4, 3, 7};
    ComputeNormals(out.mesh);
    out.triangleCount = 12;
    out.center = D3DXVECTOR3(0, 0, 0);
    out.extent = D3DXVECTOR3(1, 1, 1);
}

bool MeshGeometry::Sphere(int stacks, int slices, float rx, float ry, float rz, const PositionScale& scale,
                          MeshGeometry& out) {
    out = MeshGeometry();
    if (stacks < 2 || slices < 2) {
        Log("MeshBuilder::Sphere: %d stacks and %d slices: at least 2 of each are needed", stacks, slices);
        return false;
    }
    if (!SizeFits("Sphere", SphereVertexCount(stacks, slices),
                  6ull * static_cast<u64>(slices) * static_cast<u64>(stacks - 1)))
        return false;
    const float dPhi = kPi / static_cast<float>(stacks);
    const float dTheta = 2.0f * kPi / static_cast<float>(slices);
    const u32 sl = static_cast<u32>(slices);

    out.AddVertex(D3DXVECTOR3(0, ry, 0), D3DXVECTOR3(), D3DXVECTOR2(0, 0));
    float phi = 0.0f;
    for (int r = 1; r < stacks; ++r) {
        phi += dPhi;
        float theta = 0.0f;
        for (int j = 0; j < slices; ++j) {
            const D3DXVECTOR3 p(rx * std::sin(phi) * std::cos(theta), ry * std::cos(phi),
                                rz * std::sin(phi) * std::sin(theta));
            const D3DXVECTOR2 uv(static_cast<float>(j) / static_cast<float>(slices - 1),
                                 static_cast<float>(r) / static_cast<float>(stacks));
            out.AddVertex(p, D3DXVECTOR3(), uv);
            theta += dTheta;
        }
    }
    phi += dPhi;
    out.AddVertex(D3DXVECTOR3(rx * std::sin(phi), ry * std::cos(phi), 0), D3DXVECTOR3(), D3DXVECTOR2(1, 1));

    if (scale) {
        for (ModelVertex& v : out.mesh.vertices) v.position *= scale(v.texCoord.x, v.texCoord.y);
    }

    std::vector<u32>& idx = out.mesh.indices;
    idx.reserve(6u * sl * static_cast<u32>(stacks - 1));
    for (u32 k = 0; k < sl; ++k) {
        u32 m = (k + 2) % sl;
        if (m == 0) m = sl;
        idx.insert(idx.end(), {0u, m, k + 1});
    }
    for (u32 b = 0; b + 3 <= static_cast<u32>(stacks); ++b) {
        const u32 a = b * sl;
        for (u32 j = 1; j <= sl; ++j) {
            const u32 p = a + j;
            const u32 q = (j == sl) ? a + 1 : a + j + 1;
            const u32 c = a + sl + j;
            idx.insert(idx.end(), {p, q, c, c, q, q + sl});
        }
    }
    const u32 last = out.mesh.VertexCount() - 1;
    const u32 a = static_cast<u32>(stacks - 2) * sl;
    for (u32 k = 0; k < sl; ++k) {
        u32 t = a + 2 + k;
        if (t == last) t = a + 1;
        idx.insert(idx.end(), {a + 1 + k, t, last});
    }
    ComputeNormals(out.mesh);
    out.triangleCount = out.mesh.IndexCount() / 3;
    out.SetBoundsFromMesh();
    return true;
}

bool MeshGeometry::Cone(int slices, float radius, float height, MeshGeometry& out) {
    out = MeshGeometry();
    if (slices < 1) {
        Log("MeshBuilder::Cone: %d slices: at least 1 is needed", slices);
        return false;
    }
    if (!SizeFits("Cone", ConeVertexCount(slices), 6ull * static_cast<u64>(slices))) return false;
    const u32 sl = static_cast<u32>(slices);
    out.AddVertex(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(), D3DXVECTOR2());
    for (u32 k = 1; k <= sl; ++k) {
        const float angle = static_cast<float>(k - 1) * 2.0f * kPi / static_cast<float>(slices);
        out.AddVertex(D3DXVECTOR3(radius * std::sin(angle), 0, radius * std::cos(angle)), D3DXVECTOR3(), D3DXVECTOR2());
    }
    out.AddVertex(D3DXVECTOR3(0, height, 0), D3DXVECTOR3(), D3DXVECTOR2());
    const u32 last = sl + 1;
    auto next = [sl](u32 i) { return i == sl ? 1u : i + 1; };
    std::vector<u32>& idx = out.mesh.indices;
    for (u32 i = 1; i <= sl; ++i) idx.insert(idx.end(), {next(i), i, 0u});
    for (u32 i = 1; i <= sl; ++i) idx.insert(idx.end(), {i, next(i), last});
    ComputeNormals(out.mesh);
    out.triangleCount = out.mesh.IndexCount() / 3;
    out.SetBoundsFromMesh();
    return true;
}

void MeshGeometry::SplineLine(const std::vector<D3DXVECTOR3>& samples, MeshGeometry& out) {
    out = MeshGeometry();
    for (const D3DXVECTOR3& p : samples) out.AddVertex(p, D3DXVECTOR3(), D3DXVECTOR2());
    out.indexed = false;
    out.topology = kLineStrip;
    out.triangleCount = samples.empty() ? 0 : static_cast<u32>(samples.size() - 1);
}

void MeshGeometry::Panel(float halfWidth, float halfHeight, MeshGeometry& out) {
    out = MeshGeometry();
    const float w = 2.0f * halfWidth, h = 2.0f * halfHeight;
    const D3DXVECTOR3 corners[5] = {{-w, h, 0}, {w, h, 0}, {w, -h, 0}, {-w, -h, 0}, {-w, h, 0}};
    for (int s = 0; s < 4; ++s) {
        out.AddVertex(corners[s], D3DXVECTOR3(0, 0, -1), D3DXVECTOR2());
        out.AddVertex(corners[s + 1], D3DXVECTOR3(0, 0, -1), D3DXVECTOR2());
    }
    out.indexed = false;
    out.topology = kLineList;
    out.triangleCount = 4;
}

void MeshGeometry::Grid(float spacing, MeshGeometry& out) {
    out = MeshGeometry();
    const D3DXVECTOR3 zero;
    const D3DXVECTOR2 uv;
    for (int i = 0; i <= 100; ++i) {
        out.AddVertex(D3DXVECTOR3(i * spacing, 0, 0), zero, uv);
        out.AddVertex(D3DXVECTOR3(i * spacing, 0, 100 * spacing), zero, uv);
    }
    for (int i = 0; i <= 100; ++i) {
        out.AddVertex(D3DXVECTOR3(0, 0, i * spacing), zero, uv);
        out.AddVertex(D3DXVECTOR3(100 * spacing, 0, i * spacing), zero, uv);
    }
    for (int i = 0; i <= 100; ++i) {
        out.AddVertex(D3DXVECTOR3(i * spacing, 0, 0), zero, uv);
        out.AddVertex(D3DXVECTOR3(i * spacing, 0, 0), zero, uv);
    }
    out.indexed = false;
    out.topology = kLineList;
    out.triangleCount = 303;
}

void MeshGeometry::Quad(float halfWidth, float halfHeight, MeshGeometry& out) {
    out = MeshGeometry();
    const float w = halfWidth, h = halfHeight;
    const D3DXVECTOR3 n(0, 0, -1);
    out.AddVertex(D3DXVECTOR3(-w, h, 1), n, D3DXVECTOR2(0, 0));
    out.AddVertex(D3DXVECTOR3(w, h, 1), n, D3DXVECTOR2(1, 0));
    out.AddVertex(D3DXVECTOR3(-w, -h, 1), n, D3DXVECTOR2(0, 1));
    out.AddVertex(D3DXVECTOR3(w, -h, 1), n, D3DXVECTOR2(1, 1));
    out.mesh.indices = {0, 1, 3, 2, 0, 3};
    out.triangleCount = 2;
}

void MeshGeometry::SkyboxCube(MeshGeometry& out) {
    out = MeshGeometry();
    const D3DXVECTOR3 corners[8] = {{1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}, {1, -1, -1},
                                    {1, 1, 1},  {-1, 1, 1},  {-1, -1, 1},  {1, -1, 1}};
    for (const D3DXVECTOR3& c : corners) out.AddVertex(c, D3DXVECTOR3(), D3DXVECTOR2());
    // Faces z = -1, y = +1, z = +1, x = -1, x = +1, y = -1.
    out.mesh.indices = {0, 1, 3, 1, 2, 3, 0, 4, 1, 1, 4, 5, 5, 4, 7, 5, 7, 6,
                        1, 5, 6, 1, 6, 2, 0, 3, 7, 0, 7, 4, 2, 6, 7, 2, 7, 3};
    out.triangleCount = 12;
}

void MeshGeometry::DebugSphere(float radius, MeshGeometry& out) {
    Sphere(10, 10, radius, radius, radius, nullptr, out);
    out.topology = kLineList;
    // The bounds of the sphere it draws, not of its coarse tessellation.
    out.center = D3DXVECTOR3(0, 0, 0);
    out.extent = D3DXVECTOR3(radius, radius, radius);
}

bool MeshGeometry::Tunnel(const std::vector<TunnelFrame>& frames, int sideCount, float radius, MeshGeometry& out) {
    out = MeshGeometry();
    if (frames.size() < 2 || sideCount < 1) {
        Log("MeshBuilder::Tunnel: %zu frames and %d sides: at least 2 frames and 1 side are needed", frames.size(),
            sideCount);
        return false;
    }
    if (!SizeFits("Tunnel", (2ull * frames.size() - 2) * (static_cast<u64>(sideCount) + 1),
                  6ull * static_cast<u64>(sideCount) * (frames.size() - 1)))
        return false;
    const u32 s = static_cast<u32>(sideCount);
    const size_t n = frames.size();
    for (size_t i = 0; i < n; ++i) {
        const TunnelFrame& f = frames[i];
        D3DXQUATERNION q;
        D3DXQuaternionRotationAxis(&q, &f.axis, 2.0f * kPi / static_cast<float>(sideCount));
        D3DXQUATERNION qc;
        D3DXQuaternionConjugate(&qc, &q);
        const float v = (i == 0) ? 0.0f : 1.0f;
        const size_t ringStart = out.mesh.vertices.size();
        D3DXVECTOR3 r = f.radial;
        for (u32 k = 0; k < s; ++k) {
            out.AddVertex(f.position + r * radius, D3DXVECTOR3(), D3DXVECTOR2(static_cast<float>(k) / s, v));
            D3DXQUATERNION p(r.x, r.y, r.z, 0.0f), t;
            D3DXQuaternionMultiply(&t, &q, &p);
            D3DXQuaternionMultiply(&t, &t, &qc);
            r = D3DXVECTOR3(t.x, t.y, t.z);
        }
        out.AddVertex(out.mesh.vertices[ringStart].position, D3DXVECTOR3(), D3DXVECTOR2(1.0f, v));
        if (i != 0 && i + 1 != n) {
            for (u32 k = 0; k <= s; ++k) {
                ModelVertex copy = out.mesh.vertices[ringStart + k];
                copy.texCoord.y = 0.0f;
                out.mesh.vertices.push_back(copy);
            }
        }
    }
    std::vector<u32>& idx = out.mesh.indices;
    for (u32 j = 0; j + 1 < n; ++j) {
        const u32 A = j * 2 * (s + 1);
        const u32 B = A + s + 1;
        for (u32 k = 0; k < s; ++k) idx.insert(idx.end(), {A + k + 1, B + k, A + k, A + k + 1, B + k + 1, B + k});
    }
    ComputeNormals(out.mesh);
    out.triangleCount = out.mesh.IndexCount() / 3;
    D3DXVECTOR3 lo = out.mesh.vertices[0].position, hi = lo;
    for (const ModelVertex& vtx : out.mesh.vertices) {
        D3DXVec3Minimize(&lo, &lo, &vtx.position);
        D3DXVec3Maximize(&hi, &hi, &vtx.position);
    }
    out.center = frames[0].position;
    out.extent = hi - lo;  // the whole size: the culling sphere is centred on the first frame
    return true;
}
