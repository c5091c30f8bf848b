#include "render/particle/ParticleEffect.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/LiveObjectBudget.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Resolvers.h"
#include "engine/Transform.h"
#include "render/particle/ParticleEmmiter.h"
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

// Calls f on every emitter of the object; whether it has one (false for a
// gone object).
template <class F>
bool ForEachEmitter(u32 objectId, F f) {
    Overlord* overlord = Overlord::Instance();
    GameObject* object = overlord ? overlord->GetGameObject(objectId) : nullptr;
    if (!object) return false;
    bool any = false;
    for (IComponent* component : object->GetComponents()) {
        if (component->GetTypeId() != TypeId<ParticleEmmiter>::Get()) continue;
        f(*static_cast<ParticleEmmiter*>(component));
        any = true;
    }
    return any;
}

// The archetypes reported as making themselves again since the last scene
// clear: each gets one row, however many effects and slots name it.
std::vector<std::string>& ReportedSelfMakers() {
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

// What effects have made: the ids of their objects, counted against
// kMaxLiveObjects while registered. A full list is searched for gone ids
// only when the registry has lost objects since the last search, so a scene
// that asks for thousands of effects past the limit costs no walk each.
LiveObjectBudget& ParticleEffect::Budget() {
    static LiveObjectBudget budget(kMaxLiveObjects);
    return budget;
}

std::size_t ParticleEffect::LiveObjects() {
    return Budget().Live();
}

void ParticleEffect::ResetBudget() {
    Budget().Reset();
    ReportedSelfMakers().clear();
}

void ParticleEffect::Init() {
    for (int i = 0; i < kSlots; ++i) {
        Subscribe(ComponentCommand(static_cast<u32>(i)));
        emitterObjects[i] = MakeSlotObject(i);
    }
}

u32 ParticleEffect::MakeSlotObject(int slot) {
    ObjectFactory* factory = ObjectFactory::Instance();
    const std::string& name = ParticleArchetypes[slot];
    if (name.empty() || !factory) return 0;
    const std::vector<std::string>& making = ArchetypesInTheMaking();
    if (std::find(making.begin(), making.end(), name) != making.end()) {
        std::vector<std::string>& reported = ReportedSelfMakers();
        if (std::find(reported.begin(), reported.end(), name) == reported.end()) {
            reported.push_back(name);
            Log("ParticleEffect on object %u: archetype %s would make itself again; its slot is left empty, as is "
                "every such slot until the scene is cleared",
                GetOwner(), name.c_str());
        }
        return 0;
    }
    LiveObjectBudget& budget = Budget();
    if (!budget.HasRoom()) {
        if (budget.FirstRefusal())
            Log("ParticleEffect on object %u: the scene's effects would have more than %zu objects alive at once; "
                "slot %d (%s) is left empty, as is every further one until some are gone",
                GetOwner(), kMaxLiveObjects, slot, name.c_str());
        return 0;
    }
    // Loaded from its file when not stored; initialised and announced;
    // 0 when it cannot be had. A play object: cleared with the scene but
    // not saved with it, since the effect makes it again whenever the
    // scene is read (a saved one would add another at every save and load).
    const MakingGuard guard(name);
    const u32 id = factory->Instantiate(name, false);
    if (id == 0) return 0;
    budget.Made(id);
    return id;
}

void ParticleEffect::Shutdown() {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    for (u32& id : emitterObjects) {
        if (id == 0) continue;
        const u32 object = id;
        id = 0;
        if (!overlord->GetGameObject(object)) continue;
        if (!ForEachEmitter(object, [](ParticleEmmiter& emitter) { emitter.Orphan(); }))
            overlord->UnregisterGameObject(object);
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
