// The meshes of primitives, shared by every Primitive whose settings give the
// same shape (fifty like spheres hold one mesh, as models of one file do), and
// the budget of their vertices: a new mesh that would take the meshes in use
// past kMaxSceneVertices is not made, and the first refusal until the scene is
// cleared is logged naming its object. A mesh is in use while a Primitive
// holds it; its Models keep the buffers until they go. One for the run (Get);
// main thread only.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/Types.h"

class Model;

class PrimitiveMeshCache {
public:
    // About 112 MB of vertex and index buffers; one sphere of the most
    // stacks and slices fits.
    static constexpr u64 kMaxSceneVertices = 2'000'000;

    // The settings that make a shape: its kind, then its counts, sizes (as
    // bit patterns) and noise settings.
    using Key = std::vector<u32>;

    // One shared mesh: a Model that is never on an object, whose copies carry
    // its buffers, counts and bounds. Counted in use while it lives.
    class Mesh {
    public:
        Mesh(std::unique_ptr<Model> shape, u64 vertices);
        ~Mesh();
        Mesh(const Mesh&) = delete;
        Mesh& operator=(const Mesh&) = delete;
        // A new Model (not registered) with this mesh, the caller's to own.
        Model* NewModel() const;
        u64 Vertices() const { return vertices_; }

    private:
        std::unique_ptr<Model> shape_;
        u64 vertices_;
    };

    static PrimitiveMeshCache& Get();

    // The mesh of `key` while one is in use; else the Model `build` makes
    // when its `vertices` (counted before it is built) keep the meshes in use
    // within kMaxSceneVertices. Null when `build` makes none, or past the budget
    // (logged naming `objectId` when it is the first refusal of the scene).
    std::shared_ptr<const Mesh> Acquire(const Key& key, u64 vertices, u32 objectId,
                                        const std::function<Model*()>& build);
    // A scene was cleared: the next refusal is logged again.
    void NewScene() { reported_ = false; }

    // Vertices and meshes in use, and meshes made since the run began.
    static u64 VerticesInUse() { return verticesInUse_; }
    static u64 MeshesInUse() { return meshesInUse_; }
    static u64 MeshesMade() { return meshesMade_; }

private:
    std::map<Key, std::weak_ptr<const Mesh>> meshes_;  // expired entries dropped now and then
    bool reported_ = false;
    // Counted by the meshes themselves, which may outlive this cache.
    static inline u64 verticesInUse_ = 0;
    static inline u64 meshesInUse_ = 0;
    static inline u64 meshesMade_ = 0;
};
