#include "render/ParticleEffect.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Resolvers.h"
#include "engine/Transform.h"
#include "render/ParticleEmmiter.h"
#include "scene/ObjectFactory.h"

ParticleEffect::ParticleEffect(const ParticleEffect& other) : Component(other) {
    std::copy(std::begin(other.ParticleArchetypes), std::end(other.ParticleArchetypes), ParticleArchetypes);
    std::copy(std::begin(other.killEmitter), std::end(other.killEmitter), killEmitter);
}

void ParticleEffect::Reflect(MemberList<ParticleEffect>& members) {
    members.Add("ParticleArchetypes", &ParticleEffect::ParticleArchetypes);
    members.Add("killEmitter", &ParticleEffect::killEmitter);
}

ParticleEffect::~ParticleEffect() = default;

namespace {
// The archetypes that effects further up the stack are making now: an
// archetype whose own effect names it (directly or through others) would
// otherwise make objects until the stack runs out.
std::vector<std::string>& ArchetypesInTheMaking() {
    static std::vector<std::string> names;
    return names;
}

struct MakingGuard {
    explicit MakingGuard(const std::string& name) { ArchetypesInTheMaking().push_back(name); }
    ~MakingGuard() { ArchetypesInTheMaking().pop_back(); }
    MakingGuard(const MakingGuard&) = delete;
    MakingGuard& operator=(const MakingGuard&) = delete;
};
}  // namespace

void ParticleEffect::Init() {
    ObjectFactory* factory = ObjectFactory::Instance();
    for (int i = 0; i < kSlots; ++i) {
        Subscribe(ComponentCommand(static_cast<u32>(i)));
        emitterObjects[i] = 0;
        const std::string& name = ParticleArchetypes[i];
        if (name.empty() || !factory) continue;
        const std::vector<std::string>& making = ArchetypesInTheMaking();
        if (std::find(making.begin(), making.end(), name) != making.end()) {
            Log("ParticleEffect: archetype %s would make itself again; slot %d left empty", name.c_str(), i);
            continue;
        }
        // Loaded from its file when not stored; initialised and announced;
        // 0 when it cannot be had. A play object: cleared with the scene but
        // not saved with it, since the effect makes it again whenever the
        // scene is read (a saved one would add another at every save and load).
        const MakingGuard guard(name);
        emitterObjects[i] = factory->Instantiate(name, false);
    }
}

void ParticleEffect::HandleMessage(Message* message) {
    if (!message || message->type != kMsgTypeComponentCommand) return;
    // The payload is not read: the effect goes off at the owner's position.
    switch (message->argument) {
        case kMsgEffectAtPosition.argument:
            for (int i = 0; i < kSlots; ++i) {
                Send(i, i == 0 ? kMsgEmitterStart : kMsgEmitterStop, true, GetOwner());
            }
            break;
        case kMsgHitEffect.argument:
            Send(3, kMsgEmitterStart, killEmitter[3], GetId());
            break;
        case kMsgShotEffect.argument:
            // Weapons broadcast their shots to every effect: only a shot of
            // this effect's own object (or an anonymous command) flashes it,
            // so an enemy's shot does not light the ship's muzzle.
            if (message->sender != 0 && message->sender != GetOwner()) break;
            Send(4, kMsgEmitterStart, false, GetOwner());
            break;
        default:
            break;
    }
}

void ParticleEffect::Send(int slot, const Kind<EmitterCommand>& kind, bool flag, u32 sender) {
    if (emitterObjects[slot] == 0) return;
    Overlord* overlord = Overlord::Instance();
    Transform* transform = overlord ? overlord->GetComponent<Transform>(GetOwner()) : nullptr;
    if (!transform) return;
    EmitterCommand command;
    command.position = transform->worldPosition;
    command.flag = flag;
    SendToObject(kind, emitterObjects[slot], sender, command);
}
