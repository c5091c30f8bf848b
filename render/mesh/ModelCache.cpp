#include "render/mesh/ModelCache.h"

#include "engine/FilePath.h"
#include "engine/Logger.h"
#include "port/os/FileCase.h"
#include "render/mesh/MeshUpload.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelFile.h"
#include "scene/DevozizuDave.h"

ModelCache::ModelCache() = default;

ModelCache::~ModelCache() {
    entries_.clear();
}

const ModelCacheEntry* ModelCache::Find(const std::string& name) const {
    auto found = entries_.find(name);
    return found == entries_.end() ? nullptr : found->second.get();
}

const ModelCacheEntry* ModelCache::Load(const std::string& name) {
    if (const ModelCacheEntry* entry = Find(name)) return entry;
    DevozizuDave* folders = DevozizuDave::Instance();
    if (name.empty() || !folders) return nullptr;

    // "Ship" finds ship.bin: names come from a case-insensitive file system.
    const std::string path = ResolveFileFoldingCase(folders->model.GetFullPath(name));
    ModelFile file;
    const ModelFile::Result result = file.Load(path);
    if (result == ModelFile::Result::CannotOpen) return nullptr;
    if (result == ModelFile::Result::Malformed) {
        Log("ModelCache: model file \"%s\" refused: %s", path.c_str(), file.Error().c_str());
        return nullptr;
    }

    auto entry = std::make_unique<ModelCacheEntry>();
    entry->name = name;
    if (file.HasMesh()) {
        entry->center = file.Center();
        entry->extent = file.Extent();
        entry->cpuMesh = std::make_unique<ModelCpuMesh>(file.TakeMesh());
        entry->vertexCount = entry->cpuMesh->VertexCount();
        entry->triangleCount = entry->cpuMesh->IndexCount() / 3;
        entry->stride = sizeof(ModelVertex);
        MeshUpload::Buffers(device_.get(), *entry->cpuMesh, true, entry->vertexBuffer, entry->indexBuffer);
    }
    const ModelCacheEntry* filed = entry.get();
    entries_[name] = std::move(entry);
    return filed;
}

bool ModelCache::LoadModel(Model& model) {
    const ModelCacheEntry* entry = Load(model.filename);
    if (!entry) return false;
    model.vertexCount = entry->vertexCount;
    model.triangleCount = entry->triangleCount;
    model.stride = entry->stride;
    model.offset = entry->offset;
    model.vertexBuffer = entry->vertexBuffer;
    model.indexBuffer = entry->indexBuffer;
    model.topology = entry->topology;
    model.center = entry->center;
    model.extent = entry->extent;
    model.cacheEntry = entry;
    return true;
}

void ModelCache::Clear() {
    entries_.clear();
    device_.reset();
    ClearInstance();
}
