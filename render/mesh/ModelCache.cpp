#include "render/mesh/ModelCache.h"

#include "engine/FilePath.h"
#include "engine/Logger.h"
#include "render/mesh/MeshUpload.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelFile.h"
#include "scene/DevozizuDave.h"

ModelCache::ModelCache() = default;

ModelCache::~ModelCache() {
    names_.clear();
    entries_.clear();
}

const ModelCacheEntry* ModelCache::Find(const std::string& name) const {
    auto found = names_.find(name);
    return found == names_.end() ? nullptr : found->second;
}

void ModelCache::ReportOnce(const std::string& name, const std::string& row) {
    if (reported_.size() >= kMaxReportedNames) reported_.clear();
    if (reported_.insert(name).second) Log("ModelCache: %s", row.c_str());
}

const ModelCacheEntry* ModelCache::Load(const std::string& name) {
    if (const ModelCacheEntry* entry = Find(name)) return entry;
    DevozizuDave* folders = DevozizuDave::Instance();
    if (name.empty() || !folders) return nullptr;

    // "Ship", "./ship" and ".//Ship" are one file: the entry is the file's.
    // (Letter case: names come from a case-insensitive file system.)
    const std::string wanted = folders->model.GetFullPath(name);
    const std::string path = FilePath::FileIdentity(wanted);
    if (path.empty()) {
        ReportOnce(name, "model file \"" + wanted + "\" is missing; its models draw nothing");
        return nullptr;
    }
    if (auto known = entries_.find(path); known != entries_.end()) return names_[name] = known->second.get();
    ModelFile file;
    const ModelFile::Result result = file.Load(path);
    if (result != ModelFile::Result::Ok) {
        ReportOnce(name,
                   "model file \"" + path + "\" " +
                       (result == ModelFile::Result::CannotOpen ? "cannot be opened" : "refused: " + file.Error()));
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
    entries_[path] = std::move(entry);
    return names_[name] = filed;
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
    names_.clear();
    entries_.clear();
    reported_.clear();
    device_.reset();
    ClearInstance();
}
