#include "tools/modeltool/ObjMeshReader.h"

#include <map>
#include <sstream>
#include <tuple>
#include <vector>

#include "render/mesh/MeshGeometry.h"

namespace {

// Resolves a 1-based (or negative, counted from the end) OBJ index into a
// 0-based one; -1 when out of range.
long Resolve(long index, size_t count) {
    if (index > 0 && static_cast<size_t>(index) <= count) return index - 1;
    if (index < 0 && static_cast<size_t>(-index) <= count) return static_cast<long>(count) + index;
    return -1;
}

// Parses "v", "v/t", "v//n" or "v/t/n"; missing parts become 0.
bool ParseCorner(const std::string& text, long& v, long& t, long& n) {
    v = t = n = 0;
    long* fields[3] = {&v, &t, &n};
    size_t field = 0, start = 0;
    while (field < 3) {
        const size_t slash = text.find('/', start);
        const std::string part = text.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!part.empty()) {
            try {
                size_t used = 0;
                *fields[field] = std::stol(part, &used);
                if (used != part.size()) return false;
            } catch (...) {
                return false;
            }
        } else if (field == 0) {
            return false;
        }
        if (slash == std::string::npos) break;
        start = slash + 1;
        ++field;
    }
    return true;
}

}  // namespace

bool ObjMeshReader::Read(std::istream& in, ModelCpuMesh& out, std::string& error) {
    out = ModelCpuMesh();
    std::vector<D3DXVECTOR3> positions, normals;
    std::vector<D3DXVECTOR2> texCoords;
    std::map<std::tuple<long, long, long>, u32> vertexOf;
    bool missingNormals = false;
    std::string line;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNumber) + ": " + why;
        out = ModelCpuMesh();
        return false;
    };

    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream row(line);
        std::string kind;
        if (!(row >> kind) || kind[0] == '#') continue;
        if (kind == "v" || kind == "vn") {
            D3DXVECTOR3 p;
            if (!(row >> p.x >> p.y >> p.z)) return fail("a " + kind + " record needs three numbers");
            if (options_.convertHandedness) p.z = -p.z;
            if (kind == "v") {
                positions.push_back(p * options_.scale);
            } else {
                D3DXVec3Normalize(&p, &p);
                normals.push_back(p);
            }
        } else if (kind == "vt") {
            D3DXVECTOR2 t;
            if (!(row >> t.x)) return fail("a vt record needs a number");
            if (!(row >> t.y)) t.y = 0.0f;
            if (options_.convertHandedness) t.y = 1.0f - t.y;
            texCoords.push_back(t);
        } else if (kind == "f") {
            std::vector<u32> polygon;
            std::string corner;
            while (row >> corner) {
                long v, t, n;
                if (!ParseCorner(corner, v, t, n)) return fail("malformed face corner \"" + corner + "\"");
                const long vi = Resolve(v, positions.size());
                const long ti = t ? Resolve(t, texCoords.size()) : -1;
                const long ni = n ? Resolve(n, normals.size()) : -1;
                if (vi < 0 || (t && ti < 0) || (n && ni < 0))
                    return fail("face corner \"" + corner + "\" names a record that does not exist");
                const auto key = std::make_tuple(vi, ti, ni);
                auto found = vertexOf.find(key);
                if (found == vertexOf.end()) {
                    ModelVertex vertex;
                    vertex.position = positions[static_cast<size_t>(vi)];
                    if (ti >= 0) vertex.texCoord = texCoords[static_cast<size_t>(ti)];
                    if (ni >= 0)
                        vertex.normal = normals[static_cast<size_t>(ni)];
                    else
                        missingNormals = true;
                    found = vertexOf.emplace(key, out.VertexCount()).first;
                    out.vertices.push_back(vertex);
                }
                polygon.push_back(found->second);
            }
            if (polygon.size() < 3) return fail("a face needs at least three corners");
            for (size_t k = 1; k + 1 < polygon.size(); ++k) {
                if (options_.convertHandedness)
                    out.indices.insert(out.indices.end(), {polygon[0], polygon[k + 1], polygon[k]});
                else
                    out.indices.insert(out.indices.end(), {polygon[0], polygon[k], polygon[k + 1]});
            }
        }
        // Other records (o, g, s, usemtl, mtllib, l, p) carry nothing a model file keeps.
    }
    if (out.indices.empty()) {
        error = "no faces";
        out = ModelCpuMesh();
        return false;
    }
    if (missingNormals) {
        // Only vertices that had no normal take the computed one.
        ModelCpuMesh computed = out;
        for (ModelVertex& v : computed.vertices) v.normal = D3DXVECTOR3();
        MeshGeometry::ComputeNormals(computed);
        for (const auto& [key, index] : vertexOf) {
            if (std::get<2>(key) < 0) out.vertices[index].normal = computed.vertices[index].normal;
        }
    }
    return true;
}
