#include "render/mesh/PrimitiveMeshCache.h"

#include "engine/Logger.h"
#include "render/mesh/Model.h"

PrimitiveMeshCache::Mesh::Mesh(std::unique_ptr<Model> shape, u64 vertices)
    : shape_(std::move(shape)), vertices_(vertices) {
    // Only the geometry is shared: each copy gets its own textures.
    shape_->material = Material();
    verticesInUse_ += vertices_;
    ++meshesInUse_;
    ++meshesMade_;
}

PrimitiveMeshCache::Mesh::~Mesh() {
    verticesInUse_ -= vertices_;
    --meshesInUse_;
}

Model* PrimitiveMeshCache::Mesh::NewModel() const {
    return static_cast<Model*>(shape_->Clone());
}

PrimitiveMeshCache& PrimitiveMeshCache::Get() {
    static PrimitiveMeshCache cache;
    return cache;
}

std::shared_ptr<const PrimitiveMeshCache::Mesh> PrimitiveMeshCache::Acquire(const Key& key, u64 vertices, u32 objectId,
                                                                            const std::function<Model*()>& build) {
    if (auto found = meshes_.find(key); found != meshes_.end()) {
        if (std::shared_ptr<const Mesh> held = found->second.lock()) return held;
    }
    if (vertices > kMaxSceneVertices || verticesInUse_ + vertices > kMaxSceneVertices) {
        if (!reported_)
            Log("Primitive on object %u: its mesh of %llu vertices would take the scene's primitive meshes past %llu "
                "vertices (%llu in use); no mesh for it, and later refusals are not logged until the scene is "
                "cleared",
                objectId, static_cast<unsigned long long>(vertices), static_cast<unsigned long long>(kMaxSceneVertices),
                static_cast<unsigned long long>(verticesInUse_));
        reported_ = true;
        return nullptr;
    }
    std::unique_ptr<Model> shape(build());
    if (!shape) return nullptr;
    // Entries of meshes gone are dropped once they outnumber the live ones.
    if (meshes_.size() >= 2 * meshesInUse_ + 64)
        std::erase_if(meshes_, [](const auto& e) { return e.second.expired(); });
    const u64 made = shape->vertexCount;
    auto mesh = std::make_shared<const Mesh>(std::move(shape), made);
    meshes_[key] = mesh;
    return mesh;
}
