#include "render/mesh/ModelFile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "port/os/WholeFile.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "model files are read in place on little-endian hosts");

namespace {

// Strides of the vertex-format table's rows and whether each row begins with
// the 32-byte position/normal/texture-coordinate layout.
struct VertexTypeRow {
    u32 stride;
    bool modelLayout;
};
constexpr VertexTypeRow kVertexTypes[] = {
    {32, true}, {32, true}, {56, true}, {56, true}, {28, false}, {60, true}, {136, false},
};
constexpr u32 kVertexTypeCount = sizeof(kVertexTypes) / sizeof(kVertexTypes[0]);

u32 ReadU32(const u8* p) {
    u32 v;
    std::memcpy(&v, p, 4);
    return v;
}

// Printable form of a chunk tag: its four characters, most significant first.
std::string TagText(u32 tag) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((tag >> shift) & 0xFF);
        s += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return s;
}

}  // namespace

u32 ModelFile::VertexStride(u32 type) {
    return type < kVertexTypeCount ? kVertexTypes[type].stride : 0;
}

bool ModelFile::IsModelVertexType(u32 type) {
    return type < kVertexTypeCount && kVertexTypes[type].modelLayout;
}

void ModelFile::Reset() {
    hasMesh_ = false;
    center_ = extent_ = D3DXVECTOR3();
    mesh_ = ModelCpuMesh{};
    sourceVertexType_ = 0;
    error_.clear();
}

bool ModelFile::Fail(const char* format, ...) {
    char buffer[240];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Reset();
    error_ = buffer;
    return false;
}

ModelFile::Result ModelFile::Load(const std::string& path) {
    Reset();
    std::string bytes;
    int errorNumber = 0;
    const FileRead read = ReadWholeFile(path, kMaxFileSize, &bytes, &errorNumber);
    if (read == FileRead::CannotOpen) {
        error_ = "cannot be opened";
        return Result::CannotOpen;
    }
    if (read != FileRead::Ok) {
        error_ = FileReadErrorText(read, path, kMaxFileSize, errorNumber);
        return Result::Malformed;
    }
    return Parse(reinterpret_cast<const u8*>(bytes.data()), bytes.size()) ? Result::Ok : Result::Malformed;
}

bool ModelFile::Parse(const u8* data, size_t size) {
    Reset();
    if (size < kHeaderSize) return Fail("%zu bytes is shorter than the root header", size);
    const u32 root = ReadU32(data);
    if (root != kRootTag2 && root != kRootTag3) return Fail("root tag 0x%08X is neither 'tbm2' nor 'tbm3'", root);

    // Chunks follow one another to the end of the file; a tag of 0, or fewer
    // bytes than a header left at the end, ends the list. Every step moves
    // forward by at least a header, so the walk always ends.
    u64 pos = kHeaderSize;
    while (size - pos >= kHeaderSize) {
        const u32 tag = ReadU32(data + pos);
        const u32 chunkSize = ReadU32(data + pos + 4);
        if (tag == 0) break;
        const u64 start = pos + kHeaderSize;
        const u64 end = start + chunkSize;
        if (end > size)
            return Fail("chunk '%s' at byte %llu claims %u bytes, past the end of the %zu-byte file",
                        TagText(tag).c_str(), static_cast<unsigned long long>(pos), chunkSize, size);
        if (tag == kMeshTag && !ReadMeshChunk(data + start, chunkSize, start)) return false;
        pos = end;
    }
    return true;
}

bool ModelFile::ReadMeshChunk(const u8* p, u64 size, u64 fileOffset) {
    const unsigned long long at = fileOffset;
    if (size < kMeshHeadSize)
        return Fail("mesh chunk at byte %llu is only %llu bytes", at, static_cast<unsigned long long>(size));
    D3DXVECTOR3 center, extent;
    std::memcpy(&center, p, 12);
    std::memcpy(&extent, p + 12, 12);
    const u32 indexSize = ReadU32(p + 24);
    const u32 indexCount = ReadU32(p + 28);
    if (indexSize != kIndexSize) return Fail("mesh chunk at byte %llu has index size %u, not 4", at, indexSize);

    const u64 indexBytes = static_cast<u64>(indexCount) * kIndexSize;
    u64 offset = kMeshHeadSize;
    if (indexBytes + 8 > size - offset)
        return Fail("mesh chunk at byte %llu: %u indices pass the end of the chunk", at, indexCount);
    const u8* indexData = p + offset;
    offset += indexBytes;

    const u32 vertexType = ReadU32(p + offset);
    const u32 vertexCount = ReadU32(p + offset + 4);
    offset += 8;
    const u32 stride = VertexStride(vertexType);
    if (stride == 0)
        return Fail("mesh chunk at byte %llu: vertex type %u is not in the vertex-format table", at, vertexType);
    if (!IsModelVertexType(vertexType))
        return Fail(
            "mesh chunk at byte %llu: vertex type %u does not begin with position, normal and texture coordinate", at,
            vertexType);
    const u64 vertexBytes = static_cast<u64>(vertexCount) * stride;
    if (vertexBytes > size - offset)
        return Fail("mesh chunk at byte %llu: %u vertices of %u bytes pass the end of the chunk", at, vertexCount,
                    stride);

    ModelCpuMesh mesh;
    mesh.indices.resize(indexCount);
    if (indexCount) std::memcpy(mesh.indices.data(), indexData, indexBytes);
    for (u32 i = 0; i < indexCount; ++i) {
        if (mesh.indices[i] >= vertexCount)
            return Fail("mesh chunk at byte %llu: index %u (entry %u) is not below the vertex count %u", at,
                        mesh.indices[i], i, vertexCount);
    }
    // Keep the first 32 bytes of each vertex; wider types lose their tail.
    mesh.vertices.resize(vertexCount);
    const u8* source = p + offset;
    for (u32 v = 0; v < vertexCount; ++v)
        std::memcpy(&mesh.vertices[v], source + static_cast<u64>(v) * stride, sizeof(ModelVertex));

    hasMesh_ = true;
    center_ = center;
    extent_ = extent;
    mesh_ = std::move(mesh);
    sourceVertexType_ = vertexType;
    return true;
}
