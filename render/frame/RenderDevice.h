// The engine-wide holder of the GPU device for code that makes buffers
// (mesh builders, screen text) and the particle manager: it lends each
// running emitter an EmitterBuffers record (at most kMaxLent at once,
// however the emitters were made), takes records back for reuse, and runs
// an emitter's stream-out and draw steps in the renderer's particle pass.
// Created at start-up before the device exists (GraphicsSystem::Init hands
// the device over); destroyed at shutdown with every record it made.
// Main thread only.
#pragma once
#include <memory>
#include <unordered_set>
#include <vector>

#include "core/Singleton.h"
#include "core/Types.h"
#include "render/particle/EmitterBuffers.h"

class GpuDevice;
class GpuEffectTechnique;
class GpuEffectVariable;
class GpuInputLayout;
class ParticleEmmiter;
struct Particle;

class RenderDevice : public Singleton<RenderDevice> {
public:
    RenderDevice();
    // Frees every record (and with them their buffers).
    ~RenderDevice();

    void SetDevice(std::shared_ptr<GpuDevice> device) { device_ = std::move(device); }
    GpuDevice* GetDevice() const { return device_.get(); }
    const std::shared_ptr<GpuDevice>& GetDeviceShared() const { return device_; }

    // At most this many records are lent at once (each keeps two stream
    // buffers of 680,000 bytes: 348 MB in all); a play of a level shipped
    // has some five running at once.
    static constexpr size_t kMaxLent = 256;

    // A record for the list: a returned one when there is one (its stream
    // buffers are kept), else a new one with two new stream buffers; then a
    // fresh seed buffer of one vertex per description and seedPending set.
    // An empty list gets one default description first. Without a device
    // the buffers stay null (the pass skips such records). Null when
    // kMaxLent records are out: nothing is made.
    EmitterBuffers* AddEmitter(std::vector<Particle>& particles);
    // Takes a record back for reuse; null, a record already returned and one
    // this device never made are ignored.
    void ReturnEmitter(EmitterBuffers* buffers);

    size_t RecordCount() const { return allBuffers_.size(); }
    size_t FreeCount() const { return freeBuffers_.size(); }
    size_t LentCount() const { return allBuffers_.size() - freeBuffers_.size(); }
    // Bytes of the GPU buffers that the records keep, lent or free.
    size_t HeldBufferBytes() const;
    // True for the first refused AddEmitter since the last ForgetRefusals
    // (its emitter logs one row), false after it.
    bool FirstRefusal();
    // A new scene: the next refusal is reported again.
    void ForgetRefusals() { refusalReported_ = false; }

    // What the particle pass needs of the "ParticleIntegration" effect.
    struct ParticleEffectHandles {
        GpuEffectTechnique* streamOut = nullptr;  // "StreamOutTech"
        GpuEffectTechnique* draw = nullptr;       // "ParticleDrawTech"
        GpuEffectVariable* gameTime = nullptr;
        GpuEffectVariable* emitterAlive = nullptr;
        GpuEffectVariable* emitterPosition = nullptr;
        GpuEffectVariable* worldTransform = nullptr;
        GpuInputLayout* layout = nullptr;      // vertex format row 6, for the stream-out
        GpuInputLayout* drawLayout = nullptr;  // the same for the draw (null: `layout`)
    };
    // The per-emitter steps of the particle pass for each id of the list, by
    // index i: skips ids not registered as emitters, ids met before in the
    // list (an emitter announced twice runs once) and inactive emitters
    // (orphans and those still holding buffers excepted: their update
    // removes their objects or gives the buffers back); lets an active
    // emitter without buffers take them (ParticleEmmiter::TakeBuffersIfRunning);
    // Update(step); skips the emitter when it has no usable buffers now (an
    // emitter that died in its update); "gameTime" = i + gameTime,
    // "emitterAlive", the owner's Transform (updated) as "emitterPosition";
    // stream-out from the seed or the last stream into the other stream
    // buffer; then draws what it wrote with "worldTransform". Emitters whose
    // owner has no Transform are skipped. The caller has set targets,
    // "CamPosition", "viewMatrix" and "timeStep" and advanced gameTime.
    // Without a device only the updates run. Returns how many emitters were
    // drawn.
    u32 RunEmitters(const std::vector<u32>& emitterIds, float step, float gameTime,
                    const ParticleEffectHandles& effect);
    // The stream-out and draw steps of one record (no emitter logic); the
    // draw is left out when the handles have no draw technique.
    void StreamAndDraw(EmitterBuffers& buffers, const ParticleEffectHandles& effect);

private:
    std::shared_ptr<GpuDevice> device_;
    std::vector<std::unique_ptr<EmitterBuffers>> allBuffers_;
    std::vector<EmitterBuffers*> freeBuffers_;  // used from the back
    std::unordered_set<u32> seen_;              // ids met in the running pass
    bool refusalReported_ = false;
};
