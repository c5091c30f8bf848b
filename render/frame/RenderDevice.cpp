#include "render/frame/RenderDevice.h"

#include <algorithm>

#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "render/particle/Particle.h"
#include "render/particle/ParticleEmmiter.h"
#include "render/particle/ParticleVertex.h"

RenderDevice::RenderDevice() = default;

RenderDevice::~RenderDevice() {
    freeBuffers_.clear();
    allBuffers_.clear();
}

EmitterBuffers* RenderDevice::AddEmitter(std::vector<Particle>& particles) {
    if (particles.empty()) particles.emplace_back();
    if (LentCount() >= kMaxLent) return nullptr;

    EmitterBuffers* record = nullptr;
    std::shared_ptr<GpuBuffer> fresh[2];
    if (!freeBuffers_.empty()) {
        record = freeBuffers_.back();
        freeBuffers_.pop_back();
    } else {
        allBuffers_.push_back(std::make_unique<EmitterBuffers>());
        record = allBuffers_.back().get();
        if (device_) {
            GpuBufferDesc desc;
            desc.byteWidth = EmitterBuffers::kStreamBufferBytes;
            desc.usage = GpuUsage::Default;
            desc.bindFlags = GpuBindVertexBuffer | GpuBindStreamOutput;
            for (auto& buffer : fresh) buffer = device_->CreateBuffer(desc);
        }
    }

    // One seed vertex per description; a list longer than a stream buffer
    // could ever hold is cut there.
    size_t count = particles.size();
    if (count > EmitterBuffers::kStreamCapacity) {
        Log("RenderDevice: an emitter lists %zu particles, only the first %u are seeded", count,
            EmitterBuffers::kStreamCapacity);
        count = EmitterBuffers::kStreamCapacity;
    }
    std::vector<ParticleVertex> seeds(count);
    for (size_t i = 0; i < count; ++i) seeds[i] = ParticleVertex::FromParticle(particles[i]);

    std::shared_ptr<GpuBuffer> seedBuffer;
    if (device_) {
        GpuBufferDesc desc;
        desc.byteWidth = static_cast<u32>(count * sizeof(ParticleVertex));
        desc.usage = GpuUsage::Immutable;
        desc.bindFlags = GpuBindVertexBuffer;
        seedBuffer = device_->CreateBuffer(desc, seeds.data());
    }

    if (!record->buffersCreated) {
        record->streamBuffers[0] = std::move(fresh[0]);
        record->streamBuffers[1] = std::move(fresh[1]);
        record->buffersCreated = true;
    }
    record->seedPending = true;
    record->seedBuffer = std::move(seedBuffer);
    record->seedCount = static_cast<unsigned>(count);
    return record;
}

void RenderDevice::ReturnEmitter(EmitterBuffers* buffers) {
    if (!buffers) return;
    if (std::find(freeBuffers_.begin(), freeBuffers_.end(), buffers) != freeBuffers_.end()) return;
    const bool ours = std::any_of(allBuffers_.begin(), allBuffers_.end(),
                                  [&](const std::unique_ptr<EmitterBuffers>& r) { return r.get() == buffers; });
    if (!ours) return;
    freeBuffers_.push_back(buffers);
}

size_t RenderDevice::HeldBufferBytes() const {
    size_t bytes = 0;
    for (const auto& record : allBuffers_)
        for (const GpuBuffer* buffer :
             {record->streamBuffers[0].get(), record->streamBuffers[1].get(), record->seedBuffer.get()})
            if (buffer) bytes += buffer->GetDesc().byteWidth;
    return bytes;
}

bool RenderDevice::FirstRefusal() {
    const bool first = !refusalReported_;
    refusalReported_ = true;
    return first;
}

namespace {
bool Usable(const EmitterBuffers* b) {
    return b && b->streamBuffers[0] && b->streamBuffers[1] && (!b->seedPending || b->seedBuffer);
}
}  // namespace

u32 RenderDevice::RunEmitters(const std::vector<u32>& emitterIds, float step, float gameTime,
                              const ParticleEffectHandles& effect) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return 0;
    u32 drawn = 0;
    seen_.clear();
    // By index: an emitter's Update may lead to further announcements.
    for (size_t i = 0; i < emitterIds.size(); ++i) {
        IComponent* component = overlord->GetComponentById(emitterIds[i]);
        if (!component || component->GetTypeId() != TypeId<ParticleEmmiter>::Get()) continue;
        if (!seen_.insert(emitterIds[i]).second) continue;
        auto* emitter = static_cast<ParticleEmmiter*>(component);
        // An idle emitter that still holds buffers (stopped from its panel)
        // and an idle orphan are updated too: that gives the buffers back,
        // or removes the orphan's object.
        if (!emitter->IsActive() && !emitter->IsOrphaned() && !emitter->GetBuffers()) continue;
        emitter->TakeBuffersIfRunning();
        emitter->Update(step);
        // The update may have ended the run and handed the buffers back.
        EmitterBuffers* buffers = emitter->GetBuffers();
        if (!Usable(buffers)) continue;
        Transform* transform = overlord->GetComponent<Transform>(emitter->GetOwner());
        if (!transform) continue;

        if (effect.gameTime) effect.gameTime->SetFloat(static_cast<float>(i) + gameTime);
        if (effect.emitterAlive) effect.emitterAlive->SetBool(emitter->IsEmitting());
        transform->Update(0.0f);
        if (effect.emitterPosition) effect.emitterPosition->SetFloatVector(&transform->worldPosition.x);
        const D3DXMATRIX world = transform->GetWorldMatrix();
        if (effect.worldTransform) effect.worldTransform->SetMatrix(&world._11);
        StreamAndDraw(*buffers, effect);
        ++drawn;
    }
    return drawn;
}

void RenderDevice::StreamAndDraw(EmitterBuffers& b, const ParticleEffectHandles& effect) {
    if (!device_ || !Usable(&b)) return;
    if (effect.layout) device_->IASetInputLayout(effect.layout);
    device_->IASetPrimitiveTopology(GpuTopology::PointList);

    // Stream-out: the seed (explicit count) or the last stream (auto count)
    // into the other stream buffer.
    GpuBuffer* input = b.seedPending ? b.seedBuffer.get() : b.streamBuffers[b.readIndex].get();
    device_->IASetVertexBuffers(0, 1, &input, &b.stride, &b.offset);
    GpuBuffer* target = b.streamBuffers[b.writeIndex].get();
    device_->SOSetTargets(1, &target, &b.offset);
    std::swap(b.readIndex, b.writeIndex);
    if (effect.streamOut) effect.streamOut->GetPassByIndex(0)->Apply(0);
    if (b.seedPending) {
        device_->Draw(b.seedCount, 0);
        b.seedPending = false;
    } else {
        device_->DrawAuto();
    }
    device_->SOSetTargets(0, nullptr, nullptr);

    // Draw what was just written.
    if (!effect.draw) return;
    GpuBuffer* written = b.streamBuffers[b.readIndex].get();
    if (effect.drawLayout) device_->IASetInputLayout(effect.drawLayout);
    device_->IASetVertexBuffers(0, 1, &written, &b.stride, &b.offset);
    effect.draw->GetPassByIndex(0)->Apply(0);
    device_->DrawAuto();
}
