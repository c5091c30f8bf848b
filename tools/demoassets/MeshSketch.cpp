#include "tools/demoassets/MeshSketch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace {
constexpr float kPi = 3.14159265358979f;

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    const float length = D3DXVec3Length(&v);
    if (length < 1e-12f) return D3DXVECTOR3(0, 1, 0);
    out = v / length;
    return out;
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &a, &b);
    return out;
}

D3DXVECTOR3 FaceNormal(const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c) {
    return Normalized(Cross(b - a, c - a));
}

float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

// "-0.000000" and "0.000000" are the same number: write the latter.
void Put(std::string& out, float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(v));
    if (std::string(text) == "-0.000000") std::snprintf(text, sizeof text, "%.6f", 0.0);
    out += text;
}
}  // namespace

std::uint32_t MeshSketch::Add(const Corner& corner) {
    Corner c = corner;
    c.s = Clamp01(c.s);
    c.t = Clamp01(c.t);
    corners_.push_back(c);
    return static_cast<std::uint32_t>(corners_.size() - 1);
}

D3DXVECTOR2 MeshSketch::AtlasUv(const Corner& corner) {
    const int cx = corner.cell % kCells, cy = corner.cell / kCells;
    const float span = 1.0f - 2.0f * kCellInset;
    return D3DXVECTOR2((cx + kCellInset + corner.s * span) / kCells, (cy + kCellInset + corner.t * span) / kCells);
}

void MeshSketch::Transform(std::size_t mark, const D3DXMATRIX& m) {
    D3DXMATRIX inverse, normalMatrix;
    float determinant = 0.0f;
    if (!D3DXMatrixInverse(&inverse, &determinant, &m)) return;
    D3DXMatrixTranspose(&normalMatrix, &inverse);
    for (std::size_t i = mark; i < corners_.size(); ++i) {
        Corner& c = corners_[i];
        D3DXVECTOR3 p, n;
        D3DXVec3TransformCoord(&p, &c.position, &m);
        D3DXVec3TransformNormal(&n, &c.normal, &normalMatrix);
        c.position = p;
        c.normal = Normalized(n);
    }
    if (determinant < 0.0f) {
        for (std::size_t k = 0; k + 2 < indices_.size(); k += 3)
            if (indices_[k] >= mark) std::swap(indices_[k + 1], indices_[k + 2]);
    }
}

void MeshSketch::MirrorX(std::size_t mark) {
    const std::size_t end = corners_.size();
    const std::size_t firstIndex =
        std::find_if(indices_.begin(), indices_.end(), [&](std::uint32_t i) { return i >= mark; }) - indices_.begin();
    const std::size_t indexEnd = indices_.size();
    const std::uint32_t shift = static_cast<std::uint32_t>(end - mark);
    for (std::size_t i = mark; i < end; ++i) {
        Corner c = corners_[i];
        c.position.x = -c.position.x;
        c.normal.x = -c.normal.x;
        corners_.push_back(c);
    }
    for (std::size_t k = firstIndex; k + 2 < indexEnd; k += 3) {
        indices_.push_back(indices_[k] + shift);
        indices_.push_back(indices_[k + 2] + shift);
        indices_.push_back(indices_[k + 1] + shift);
    }
}

void MeshSketch::Triangle(int cell, const Corner& a, const Corner& b, const Corner& c) {
    for (const Corner* corner : {&a, &b, &c}) {
        Corner copy = *corner;
        copy.cell = cell;
        indices_.push_back(Add(copy));
    }
}

void MeshSketch::FlatTriangle(int cell, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c, float sa,
                              float ta, float sb, float tb, float sc, float tc) {
    const D3DXVECTOR3 n = FaceNormal(a, b, c);
    Triangle(cell, {a, n, cell, sa, ta}, {b, n, cell, sb, tb}, {c, n, cell, sc, tc});
}

void MeshSketch::FlatQuad(int cell, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c,
                          const D3DXVECTOR3& d) {
    const D3DXVECTOR3 n = FaceNormal(a, b, c);
    const Corner ca{a, n, cell, 0, 0}, cb{b, n, cell, 1, 0}, cc{c, n, cell, 1, 1}, cd{d, n, cell, 0, 1};
    Triangle(cell, ca, cb, cc);
    Triangle(cell, ca, cc, cd);
}

void MeshSketch::Lathe(int cell, const std::vector<Ring>& rings, int sides, float scaleX, float scaleY, bool faceted,
                       int capCell) {
    if (rings.size() < 2 || sides < 3) return;
    const float z0 = rings.front().z, z1 = rings.back().z;
    const float length = std::max(1e-6f, z1 - z0);
    // Corner k of ring i; angle measured from +y towards +x.
    auto point = [&](std::size_t i, int k) {
        const float a = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(sides);
        return D3DXVECTOR3(std::sin(a) * rings[i].radius * scaleX, std::cos(a) * rings[i].radius * scaleY, rings[i].z);
    };
    // The smooth normal: the profile's slope turned around.
    auto smooth = [&](std::size_t i, int k) {
        const std::size_t lo = i == 0 ? 0 : i - 1, hi = std::min(rings.size() - 1, i + 1);
        const float dz = rings[hi].z - rings[lo].z, dr = rings[hi].radius - rings[lo].radius;
        const float a = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(sides);
        // Outward radial of the squashed ellipse, tilted back by the slope.
        D3DXVECTOR3 radial(std::sin(a) / std::max(scaleX, 1e-6f), std::cos(a) / std::max(scaleY, 1e-6f), 0.0f);
        radial = Normalized(radial);
        return Normalized(D3DXVECTOR3(radial.x * dz, radial.y * dz, -dr));
    };
    for (std::size_t i = 0; i + 1 < rings.size(); ++i) {
        for (int k = 0; k < sides; ++k) {
            const D3DXVECTOR3 a = point(i, k), b = point(i, k + 1), c = point(i + 1, k + 1), d = point(i + 1, k);
            const float s0 = static_cast<float>(k) / sides, s1 = static_cast<float>(k + 1) / sides;
            const float t0 = (rings[i].z - z0) / length, t1 = (rings[i + 1].z - z0) / length;
            // Seen from outside, a (ring i) to d (ring i + 1) runs forward and
            // a to b runs round towards +x: a, d, c, b is clockwise.
            Corner ca{a, {}, cell, s0, t0}, cb{b, {}, cell, s1, t0}, cc{c, {}, cell, s1, t1}, cd{d, {}, cell, s0, t1};
            if (faceted) {
                const D3DXVECTOR3 n = rings[i].radius > 0.0f ? FaceNormal(a, d, b) : FaceNormal(a, d, c);
                ca.normal = cb.normal = cc.normal = cd.normal = n;
            } else {
                ca.normal = smooth(i, k);
                cb.normal = smooth(i, k + 1);
                cc.normal = smooth(i + 1, k + 1);
                cd.normal = smooth(i + 1, k);
            }
            // A radius of 0 makes a ring one point: its half of the quad goes.
            if (rings[i].radius > 0.0f && rings[i + 1].radius > 0.0f) {
                Triangle(cell, ca, cd, cc);
                Triangle(cell, ca, cc, cb);
            } else if (rings[i + 1].radius > 0.0f) {
                Triangle(cell, ca, cd, cc);
            } else if (rings[i].radius > 0.0f) {
                Triangle(cell, ca, cd, cb);
            }
        }
    }
    if (capCell < 0) return;
    auto cap = [&](std::size_t i, bool front) {
        if (rings[i].radius <= 0.0f) return;
        const D3DXVECTOR3 centre(0, 0, rings[i].z);
        const D3DXVECTOR3 n(0, 0, front ? 1.0f : -1.0f);
        for (int k = 0; k < sides; ++k) {
            const D3DXVECTOR3 a = point(i, k), b = point(i, k + 1);
            auto st = [&](const D3DXVECTOR3& p) {
                return std::make_pair(0.5f + 0.5f * p.x / (rings[i].radius * scaleX),
                                      0.5f - 0.5f * p.y / (rings[i].radius * scaleY));
            };
            const auto [sa, ta] = st(a);
            const auto [sb, tb] = st(b);
            const Corner cc{centre, n, capCell, 0.5f, 0.5f}, ca{a, n, capCell, sa, ta}, cb{b, n, capCell, sb, tb};
            // From +y towards +x runs counter-clockwise seen from the front (+z).
            if (front)
                Triangle(capCell, cc, cb, ca);
            else
                Triangle(capCell, cc, ca, cb);
        }
    };
    cap(0, false);
    cap(rings.size() - 1, true);
}

void MeshSketch::Box(int cell, const D3DXVECTOR3& c, const D3DXVECTOR3& h) {
    auto p = [&](float x, float y, float z) { return D3DXVECTOR3(c.x + x * h.x, c.y + y * h.y, c.z + z * h.z); };
    // Each face: corners clockwise seen from outside.
    FlatQuad(cell, p(-1, 1, -1), p(-1, 1, 1), p(1, 1, 1), p(1, 1, -1));      // top
    FlatQuad(cell, p(-1, -1, 1), p(-1, -1, -1), p(1, -1, -1), p(1, -1, 1));  // bottom
    FlatQuad(cell, p(-1, 1, -1), p(1, 1, -1), p(1, -1, -1), p(-1, -1, -1));  // back (-z)
    FlatQuad(cell, p(1, 1, 1), p(-1, 1, 1), p(-1, -1, 1), p(1, -1, 1));      // front (+z)
    FlatQuad(cell, p(1, 1, -1), p(1, 1, 1), p(1, -1, 1), p(1, -1, -1));      // right (+x)
    FlatQuad(cell, p(-1, 1, 1), p(-1, 1, -1), p(-1, -1, -1), p(-1, -1, 1));  // left (-x)
}

void MeshSketch::Slab(int cell, int rimCell, const std::vector<D3DXVECTOR2>& outline, float y0, float y1) {
    if (outline.size() < 3) return;
    float minX = outline[0].x, maxX = minX, minZ = outline[0].y, maxZ = minZ;
    D3DXVECTOR2 centre(0, 0);
    for (const D3DXVECTOR2& p : outline) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minZ = std::min(minZ, p.y);
        maxZ = std::max(maxZ, p.y);
        centre += p;
    }
    centre /= static_cast<float>(outline.size());
    const float w = std::max(1e-6f, maxX - minX), d = std::max(1e-6f, maxZ - minZ);
    auto s = [&](const D3DXVECTOR2& p) { return (p.x - minX) / w; };
    auto t = [&](const D3DXVECTOR2& p) { return (maxZ - p.y) / d; };
    // Seen from above the outline must turn from +x towards -z: a negative
    // area in (x, z); the other way round it is walked backwards.
    std::vector<D3DXVECTOR2> ring = outline;
    float area = 0.0f;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const D3DXVECTOR2 &a = ring[i], &b = ring[(i + 1) % ring.size()];
        area += a.x * b.y - b.x * a.y;
    }
    if (area > 0.0f) std::reverse(ring.begin(), ring.end());
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const D3DXVECTOR2 a = ring[i], b = ring[(i + 1) % n];
        FlatTriangle(cell, {centre.x, y1, centre.y}, {a.x, y1, a.y}, {b.x, y1, b.y}, s(centre), t(centre), s(a), t(a),
                     s(b), t(b));
        FlatTriangle(cell, {centre.x, y0, centre.y}, {b.x, y0, b.y}, {a.x, y0, a.y}, s(centre), t(centre), s(b), t(b),
                     s(a), t(a));
        const float along0 = static_cast<float>(i) / n, along1 = static_cast<float>(i + 1) / n;
        const D3DXVECTOR3 a1(a.x, y1, a.y), b1(b.x, y1, b.y), b0(b.x, y0, b.y), a0(a.x, y0, a.y);
        const D3DXVECTOR3 normal = FaceNormal(a1, b0, b1);
        const Corner c0{a1, normal, rimCell, along0, 0}, c1{b1, normal, rimCell, along1, 0},
            c2{b0, normal, rimCell, along1, 1}, c3{a0, normal, rimCell, along0, 1};
        Triangle(rimCell, c0, c2, c1);
        Triangle(rimCell, c0, c3, c2);
    }
}

void MeshSketch::Blob(int cell, int level, const std::function<float(const D3DXVECTOR3&)>& bump) {
    const float g = (1.0f + std::sqrt(5.0f)) / 2.0f;
    std::vector<D3DXVECTOR3> v = {{-1, g, 0},  {1, g, 0},  {-1, -g, 0}, {1, -g, 0}, {0, -1, g},  {0, 1, g},
                                  {0, -1, -g}, {0, 1, -g}, {g, 0, -1},  {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
    for (D3DXVECTOR3& p : v) p = Normalized(p);
    std::vector<std::array<int, 3>> faces = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                             {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                             {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                             {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    for (int l = 0; l < level; ++l) {
        std::map<std::pair<int, int>, int> middle;
        auto mid = [&](int a, int b) {
            const auto key = std::make_pair(std::min(a, b), std::max(a, b));
            const auto found = middle.find(key);
            if (found != middle.end()) return found->second;
            v.push_back(Normalized(v[a] + v[b]));
            middle[key] = static_cast<int>(v.size() - 1);
            return static_cast<int>(v.size() - 1);
        };
        std::vector<std::array<int, 3>> next;
        for (const auto& f : faces) {
            const int ab = mid(f[0], f[1]), bc = mid(f[1], f[2]), ca = mid(f[2], f[0]);
            next.push_back({f[0], ab, ca});
            next.push_back({f[1], bc, ab});
            next.push_back({f[2], ca, bc});
            next.push_back({ab, bc, ca});
        }
        faces = std::move(next);
    }
    std::vector<D3DXVECTOR3> pushed(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) pushed[i] = v[i] * bump(v[i]);
    auto st = [&](const D3DXVECTOR3& d) {
        return std::make_pair(0.5f + std::atan2(d.x, d.z) / (2.0f * kPi),
                              0.5f - std::asin(std::clamp(d.y, -1.f, 1.f)) / kPi);
    };
    for (const auto& f : faces) {
        // The icosahedron's faces run counter-clockwise seen from outside in a
        // right-handed reading, which is clockwise in this frame once
        // reversed.
        const D3DXVECTOR3 a = pushed[f[0]], b = pushed[f[2]], c = pushed[f[1]];
        D3DXVECTOR3 n = FaceNormal(a, b, c);
        const D3DXVECTOR3 centroid = (a + b + c) / 3.0f;
        const bool outward = D3DXVec3Dot(&n, &centroid) >= 0.0f;
        // Texture coordinates from the face's centre, so no face straddles
        // the seam of the longitude.
        const auto [sc, tc] = st(Normalized(centroid));
        auto cornerSt = [&](const D3DXVECTOR3& p) {
            auto [s, t] = st(Normalized(p));
            if (s - sc > 0.5f) s -= 1.0f;
            if (sc - s > 0.5f) s += 1.0f;
            return std::make_pair(s, t);
        };
        const auto [sa, ta] = cornerSt(a);
        const auto [sb, tb] = cornerSt(b);
        const auto [s3, t3] = cornerSt(c);
        if (outward) {
            FlatTriangle(cell, a, b, c, sa, ta, sb, tb, s3, t3);
        } else {
            FlatTriangle(cell, a, c, b, sa, ta, s3, t3, sb, tb);
        }
    }
}

void MeshSketch::Torus(int cell, float major, float minor, int around, int tube) {
    auto point = [&](int i, int j, D3DXVECTOR3* normal) {
        const float a = 2.0f * kPi * i / around, b = 2.0f * kPi * j / tube + kPi;
        const D3DXVECTOR3 radial(std::cos(a), std::sin(a), 0.0f);
        const D3DXVECTOR3 n = radial * std::cos(b) + D3DXVECTOR3(0, 0, std::sin(b));
        if (normal) *normal = n;
        return radial * major + n * minor;
    };
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            D3DXVECTOR3 na, nb, nc, nd;
            const D3DXVECTOR3 a = point(i, j, &na), b = point(i + 1, j, &nb), c = point(i + 1, j + 1, &nc),
                              d = point(i, j + 1, &nd);
            const float s0 = static_cast<float>(i) / around, s1 = static_cast<float>(i + 1) / around;
            const float t0 = static_cast<float>(j) / tube, t1 = static_cast<float>(j + 1) / tube;
            Corner ca{a, na, cell, s0, t0}, cb{b, nb, cell, s1, t0}, cc{c, nc, cell, s1, t1}, cd{d, nd, cell, s0, t1};
            // Orient by the face normal against the smooth one.
            const D3DXVECTOR3 f = FaceNormal(a, b, c);
            if (D3DXVec3Dot(&f, &na) >= 0.0f) {
                Triangle(cell, ca, cb, cc);
                Triangle(cell, ca, cc, cd);
            } else {
                Triangle(cell, ca, cc, cb);
                Triangle(cell, ca, cd, cc);
            }
        }
}

std::string MeshSketch::ObjText(const std::string& comment) const {
    std::string out;
    std::size_t start = 0;
    while (start < comment.size()) {
        const std::size_t end = comment.find('\n', start);
        out += "# " + comment.substr(start, end == std::string::npos ? std::string::npos : end - start) + "\n";
        if (end == std::string::npos) break;
        start = end + 1;
    }
    // The OBJ frame is right-handed: z negated, v counted upwards, and the
    // front faces counter-clockwise (each triangle's last two corners
    // swapped). Equal records are written once.
    struct Records {
        std::vector<std::string> lines;
        std::map<std::string, std::size_t> index;
        std::size_t Of(const std::string& line) {
            const auto found = index.find(line);
            if (found != index.end()) return found->second;
            lines.push_back(line);
            return index[line] = lines.size();
        }
    } positions, uvs, normals;
    std::vector<std::string> corners;
    for (const Corner& c : corners_) {
        std::string v = "v ", vt = "vt ", vn = "vn ";
        Put(v, c.position.x);
        v += " ";
        Put(v, c.position.y);
        v += " ";
        Put(v, -c.position.z);
        const D3DXVECTOR2 uv = AtlasUv(c);
        Put(vt, uv.x);
        vt += " ";
        Put(vt, 1.0f - uv.y);
        Put(vn, c.normal.x);
        vn += " ";
        Put(vn, c.normal.y);
        vn += " ";
        Put(vn, -c.normal.z);
        corners.push_back(std::to_string(positions.Of(v)) + "/" + std::to_string(uvs.Of(vt)) + "/" +
                          std::to_string(normals.Of(vn)));
    }
    for (const Records* records : {&positions, &uvs, &normals})
        for (const std::string& line : records->lines) out += line + "\n";
    for (std::size_t k = 0; k + 2 < indices_.size(); k += 3)
        out += "f " + corners[indices_[k]] + " " + corners[indices_[k + 2]] + " " + corners[indices_[k + 1]] + "\n";
    return out;
}
