#include "render/particle/ParticleEmmiter.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Resolvers.h"
#include "engine/Transform.h"
#include "port/panels/TweakPanels.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/particle/EmitterBuffers.h"

ParticleEmmiter::ParticleEmmiter(const ParticleEmmiter& other)
    : Component(other),
      active_(other.active_),
      emitterDuration_(other.emitterDuration_),
      fallOff_(other.fallOff_),
      continuous_(other.continuous_),
      dieOnStop_(other.dieOnStop_),
      particles_(other.particles_) {}

void ParticleEmmiter::Reflect(MemberList<ParticleEmmiter>& members) {
    Particle::Reflect();
    members.Add("emitterDuration", &ParticleEmmiter::emitterDuration_);
    members.Add("fallOff", &ParticleEmmiter::fallOff_);
    members.Add("continuous", &ParticleEmmiter::continuous_);
    members.Add("dieOnStop", &ParticleEmmiter::dieOnStop_);
    members.Add("active", &ParticleEmmiter::active_);
    members.Add("particles", &ParticleEmmiter::particles_, false);
}

// An emitter deleted without Shutdown (removed from its object) still
// hands its buffers back.
ParticleEmmiter::~ParticleEmmiter() {
    Shutdown();
}

void ParticleEmmiter::HandleMessage(Message* message) {
    if (!message) return;
    if (message->Is(kMsgEmitterStart)) {
        Start(message->Read(kMsgEmitterStart));
    } else if (message->Is(kMsgEmitterStop)) {
        const EmitterCommand* command = message->Read(kMsgEmitterStop);
        active_ = false;
        if (command) MoveOwner(command->position);
        if (command && command->flag)
            Shutdown();
        else
            Rebuild();
    } else if (message->Is(kMsgEmitterMove)) {
        if (const EmitterCommand* command = message->Read(kMsgEmitterMove)) {
            MoveOwner(command->position);
            dieOnStop_ = command->flag;
        }
        emitting_ = false;
    }
}

void ParticleEmmiter::Start(const EmitterCommand* command) {
    if (active_) {
        elapsed_ = 0.0f;  // the run restarts
        return;
    }
    emitting_ = true;
    active_ = true;
    // An idle emitter (it gave its buffers back) gets them again, seeded
    // from the descriptions it kept.
    if (!buffers_ && initialised_) Rebuild();
    // Refused for the budget, it still takes its place: the pass gives it
    // buffers once some runs end.
    if (buffers_)
        buffers_->seedPending = true;
    else if (!initialised_)
        return;
    if (command) {
        dieOnStop_ = command->flag;
        MoveOwner(command->position);
    }
}

void ParticleEmmiter::MoveOwner(const D3DXVECTOR3& position) {
    Overlord* overlord = Overlord::Instance();
    Transform* transform = overlord ? overlord->GetComponent<Transform>(GetOwner()) : nullptr;
    if (transform) transform->SetPosition(position.x, position.y, position.z);
}

void ParticleEmmiter::Update(float dt) {
    if (active_ && !continuous_) {
        elapsed_ += dt;
        if (emitterDuration_ - fallOff_ < elapsed_) emitting_ = false;
        if (emitterDuration_ < elapsed_) {
            active_ = false;
            elapsed_ = 0.0f;
        }
    }
    // The run is over (or never started): its particles are no longer
    // drawn, so the buffers go back; a start takes them again.
    if (!active_) Shutdown();
    if (!active_ && orphaned_) RemoveObject();
}

void ParticleEmmiter::TakeBuffersIfRunning() {
    if (active_ && !buffers_ && initialised_) TakeBuffers();
}

void ParticleEmmiter::Orphan() {
    orphaned_ = true;
    if (continuous_) active_ = false;
    if (!active_) Shutdown();
}

void ParticleEmmiter::RemoveObject() {
    Overlord* overlord = Overlord::Instance();
    if (overlord && overlord->GetGameObject(GetOwner())) overlord->UnregisterGameObject(GetOwner());
}

void ParticleEmmiter::Init() {
    if (initialised_) return;
    initialised_ = true;
    Subscribe(kMsgEmitterStart);
    Subscribe(kMsgEmitterStop);
    Subscribe(kMsgEmitterMove);
    Rebuild();
}

void ParticleEmmiter::Shutdown() {
    if (buffers_) {
        if (RenderDevice* device = RenderDevice::Instance()) device->ReturnEmitter(buffers_);
        buffers_ = nullptr;
    }
}

void ParticleEmmiter::Rebuild() {
    elapsed_ = 0.0f;
    Shutdown();
    if (particles_.empty()) particles_.emplace_back();
    if (active_) TakeBuffers();
}

void ParticleEmmiter::TakeBuffers() {
    RenderDevice* device = RenderDevice::Instance();
    if (!device || buffers_) return;
    buffers_ = device->AddEmitter(particles_);
    if (buffers_ || !device->FirstRefusal()) return;
    Overlord* overlord = Overlord::Instance();
    const GameObject* object = overlord ? overlord->GetGameObject(GetOwner()) : nullptr;
    const std::string archetype = object && !object->GetArchetypeName().empty()
                                      ? " (archetype \"" + object->GetArchetypeName() + "\")"
                                      : std::string();
    Log("ParticleEmmiter %u on object %u%s: more than %zu emitters would run at once; it draws nothing until some "
        "runs end, and so does every further one",
        GetId(), GetOwner(), archetype.c_str(), RenderDevice::kMaxLent);
}

void ParticleEmmiter::OnEnable() {
    emitting_ = true;
    active_ = true;
    if (!buffers_ && initialised_) Rebuild();
    if (buffers_) buffers_->seedPending = true;
}

void ParticleEmmiter::OnDisable() {
    emitting_ = false;
}

// ---- tweak panel ---------------------------------------------------------

namespace {
enum class Field {
    SpawnRate,
    Count,
    FadeOpacity,
    MaxAge,
    SizeScale,
    Velocity,
    VelocityDir,
    Acceleration,
    AccelDir,
    GradStart,
    GradEnd,
    AttractorLoc,
    AttractorStrength,
    AlphaIdx,
};

// What a panel entry edits: the field of description `index` of the emitter
// with this id, looked up on every read and write, so entries survive the
// list growing and the emitter going away. Records are kept for the run
// and reused for the same (emitter, index, field).
struct TweakSlot {
    u32 emitterId;
    u32 index;
    Field field;
};

std::deque<TweakSlot>& Slots() {
    static std::deque<TweakSlot> slots;
    return slots;
}

TweakSlot* SlotFor(u32 emitterId, u32 index, Field field) {
    for (TweakSlot& s : Slots())
        if (s.emitterId == emitterId && s.index == index && s.field == field) return &s;
    Slots().push_back({emitterId, index, field});
    return &Slots().back();
}

// The field's bytes and size, or null when the emitter or description is gone.
void* FieldOf(const TweakSlot& slot, size_t* size) {
    Overlord* overlord = Overlord::Instance();
    auto* emitter = overlord ? overlord->GetComponentById<ParticleEmmiter>(slot.emitterId) : nullptr;
    if (!emitter || slot.index >= emitter->GetParticles().size()) return nullptr;
    Particle& p = emitter->GetParticles()[slot.index];
    switch (slot.field) {
        case Field::SpawnRate:
            *size = sizeof p.spawnRate;
            return &p.spawnRate;
        case Field::Count:
            *size = sizeof p.count;
            return &p.count;
        case Field::FadeOpacity:
            *size = sizeof p.fadeOpacity;
            return &p.fadeOpacity;
        case Field::MaxAge:
            *size = sizeof p.maxAge;
            return &p.maxAge;
        case Field::SizeScale:
            *size = sizeof p.sizeScale;
            return &p.sizeScale;
        case Field::Velocity:
            *size = sizeof p.velocity;
            return &p.velocity;
        case Field::VelocityDir:
            *size = sizeof p.velocityDir;
            return &p.velocityDir;
        case Field::Acceleration:
            *size = sizeof p.acceleration;
            return &p.acceleration;
        case Field::AccelDir:
            *size = sizeof p.accelDir;
            return &p.accelDir;
        case Field::GradStart:
            *size = sizeof p.colorRange.StartVal;
            return &p.colorRange.StartVal;
        case Field::GradEnd:
            *size = sizeof p.colorRange.EndVal;
            return &p.colorRange.EndVal;
        case Field::AttractorLoc:
            *size = sizeof p.attractorParticle;
            return &p.attractorParticle;
        case Field::AttractorStrength:
            *size = sizeof p.attractorStrength;
            return &p.attractorStrength;
        case Field::AlphaIdx:
            *size = sizeof p.alphaMaskIdx;
            return &p.alphaMaskIdx;
    }
    return nullptr;
}

size_t FieldSize(Field field) {
    switch (field) {
        case Field::VelocityDir:
        case Field::AccelDir:
        case Field::AttractorLoc:
            return 12;
        case Field::GradStart:
        case Field::GradEnd:
            return 16;
        default:
            return 4;
    }
}

void SetField(const void* value, void* clientData) {
    size_t size = 0;
    if (void* field = FieldOf(*static_cast<TweakSlot*>(clientData), &size)) std::memcpy(field, value, size);
}

void GetField(void* value, void* clientData) {
    const auto& slot = *static_cast<TweakSlot*>(clientData);
    size_t size = 0;
    if (const void* field = FieldOf(slot, &size))
        std::memcpy(value, field, size);
    else
        std::memset(value, 0, FieldSize(slot.field));
}

ParticleEmmiter* EmitterOf(void* clientData) {
    Overlord* overlord = Overlord::Instance();
    const auto id = static_cast<u32>(reinterpret_cast<std::uintptr_t>(clientData));
    return overlord ? overlord->GetComponentById<ParticleEmmiter>(id) : nullptr;
}
}  // namespace

void ParticleEmmiter::AddTweakBarVars(TwBar* bar, const TweakVarParams& group) {
    RenderResources* resources = RenderResources::Instance();
    const std::vector<std::pair<std::string, unsigned>> entries =
        resources ? resources->ListEntries() : std::vector<std::pair<std::string, unsigned>>{};
    std::vector<TwEnumVal> values;
    for (const auto& entry : entries) values.push_back({static_cast<int>(entry.second), entry.first.c_str()});
    const TwType maskType = TwDefineEnum("PARTICLE_ALPHAMASK", values.data(), static_cast<unsigned>(values.size()));

    struct Entry {
        const char* key;
        const char* label;
        TwType type;
        Field field;
    };
    const Entry table[] = {
        {"spawnRate", "Spawn Rate", TW_TYPE_FLOAT, Field::SpawnRate},
        {"count", "Number to spawn", TW_TYPE_INT32, Field::Count},
        {"fadeopacity", "Alpha Fade Rate", TW_TYPE_FLOAT, Field::FadeOpacity},
        {"maxage", "Max Age", TW_TYPE_FLOAT, Field::MaxAge},
        {"sizeScale", "Size", TW_TYPE_FLOAT, Field::SizeScale},
        {"velocity", "Velocity", TW_TYPE_FLOAT, Field::Velocity},
        {"velocitydir", "Velocity Direction", TW_TYPE_DIR3F, Field::VelocityDir},
        {"acceleration", "Acceleration", TW_TYPE_FLOAT, Field::Acceleration},
        {"accelDir", "Acceleration Direction", TW_TYPE_DIR3F, Field::AccelDir},
        {"gradstart", "Gradient Start", TW_TYPE_COLOR4F, Field::GradStart},
        {"gradend", "Gradient End", TW_TYPE_COLOR4F, Field::GradEnd},
        {"attractorLoc", "Attractor Location", TW_TYPE_DIR3F, Field::AttractorLoc},
        {"attractorStrength", "Attractor Strength", TW_TYPE_FLOAT, Field::AttractorStrength},
        {"alphaIdxVal", "Particle Alpha Tex", maskType, Field::AlphaIdx},
    };

    // Every name carries the object's suffix: several emitters share a bar.
    const std::string& suffix = group.nameSuffix;
    const std::string barName = TwGetBarName(bar) ? TwGetBarName(bar) : "";
    for (u32 i = 0; i < particles_.size(); ++i) {
        const std::string index = std::to_string(i);
        const std::string particleGroup = "Particle" + index + suffix;
        TweakVarParams params = group;
        params.group.value = particleGroup;
        params.group.set = true;
        for (const Entry& entry : table) {
            const std::string name = entry.key + index + suffix;
            const std::string definition = MakeTweakDefinition(params, entry.label);
            TwAddVarCB(bar, name.c_str(), entry.type, &SetField, &GetField, SlotFor(GetId(), i, entry.field),
                       definition.c_str());
        }
        const std::string placement = " `" + barName + "`/`" + particleGroup + "` group=`" + group.group.value +
                                      "` label='Particle" + index + "'";
        TwDefine(placement.c_str());
    }

    void* self = reinterpret_cast<void*>(static_cast<std::uintptr_t>(GetId()));
    const std::string buttonGroup = " group=" + group.group.value;
    TwAddButton(bar, ("AddEmitter" + suffix).c_str(), &AddEmitterButton, self,
                (" label='Add Emitter'" + buttonGroup).c_str());
    TwAddButton(bar, ("StartEmitter" + suffix).c_str(), &StartEmitterButton, self,
                (" label='Start Emitter'" + buttonGroup).c_str());
    TwAddButton(bar, ("StopEmitter" + suffix).c_str(), &StopEmitterButton, self,
                (" label='Stop Emitter'" + buttonGroup).c_str());
    TwAddButton(bar, ("NoParticles" + suffix).c_str(), &NoParticlesButton, self,
                (" label='Stop All Particles'" + buttonGroup).c_str());
}

void ParticleEmmiter::AddEmitterButton(void* clientData) {
    if (ParticleEmmiter* e = EmitterOf(clientData)) e->particles_.emplace_back();
}

void ParticleEmmiter::StartEmitterButton(void* clientData) {
    if (ParticleEmmiter* e = EmitterOf(clientData)) {
        e->emitting_ = true;
        e->active_ = true;
        e->Rebuild();
    }
}

void ParticleEmmiter::StopEmitterButton(void* clientData) {
    if (ParticleEmmiter* e = EmitterOf(clientData)) e->emitting_ = false;
}

void ParticleEmmiter::NoParticlesButton(void* clientData) {
    if (ParticleEmmiter* e = EmitterOf(clientData)) {
        e->emitting_ = true;
        e->active_ = false;
    }
}
