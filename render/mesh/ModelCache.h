// The one reader of model files: each file of the "model" asset folder is read
// once per run into GPU buffers and a CPU copy, filed under the file found
// (FilePath::FileIdentity), and shared by every Model naming it, however the
// name is spelt. A file that is missing or malformed gives nothing and one log
// row per name and scene (a later request tries again). Engine-wide (global
// instance pointer), made at start-up, given the device by
// GraphicsSystem::Init, cleared at shutdown. Main thread only.
#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>

#include "core/Singleton.h"
#include "render/mesh/ModelCacheEntry.h"

class GpuDevice;
class Model;

class ModelCache : public Singleton<ModelCache> {
public:
    ModelCache();
    ~ModelCache();

    // Buffers are made on this device from then on; without one, entries
    // still get their counts, bounds and CPU copy but no buffers.
    void SetDevice(std::shared_ptr<GpuDevice> device) { device_ = std::move(device); }

    // Fills the Model's mesh fields and cacheEntry from the entry of its
    // "filename", loading the file on first use. False, leaving the Model
    // unchanged, for an empty name or a file that is missing or refused.
    bool LoadModel(Model& model);
    // The entry of file `name` (no folder, no extension), loading it on first
    // use: the name as written, else the file whose name differs only in
    // letter case. Null when the file is missing or refused.
    const ModelCacheEntry* Load(const std::string& name);
    // The entry a Load of exactly this name gave, without touching the disk.
    const ModelCacheEntry* Find(const std::string& name) const;
    // Files loaded (not names asked for).
    size_t EntryCount() const { return entries_.size(); }
    // A scene was cleared: missing and refused names are reported again.
    void ForgetFailures() { reported_.clear(); }

    // Shutdown: frees every entry (with its buffers and CPU copy), lets the
    // device go and clears the global instance pointer.
    void Clear();

private:
    // Failed names remembered as told; past it the memory starts anew.
    static constexpr std::size_t kMaxReportedNames = 100000;
    // Logs the row once per name until ForgetFailures.
    void ReportOnce(const std::string& name, const std::string& row);

    std::shared_ptr<GpuDevice> device_;
    std::map<std::string, std::unique_ptr<ModelCacheEntry>> entries_;  // by the file found
    std::map<std::string, const ModelCacheEntry*> names_;              // every name that found one
    std::set<std::string> reported_;                                   // failed names told this scene
};
