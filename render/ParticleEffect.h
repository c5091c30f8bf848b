// The component that lets an object set off particle emitters living in
// objects of their own: up to five emitter archetypes, one object made from
// each when the effect initialises (top-level objects that live with the
// scene but are not saved with it), started or stopped at the owner's
// position by the component commands (kMsgTypeComponentCommand). The made
// objects outlive the effect; they go when the scene is cleared. Owned by
// its GameObject; main thread only.
#pragma once
#include <string>

#include "engine/Component.h"

class ParticleEffect : public Component<ParticleEffect> {
public:
    static constexpr int kSlots = 5;

    ParticleEffect() = default;
    // The slots' archetypes and flags; not the emitter objects, which stay
    // the source's (the copy makes its own at Init).
    ParticleEffect(const ParticleEffect& other);
    ~ParticleEffect() override;

    static void Reflect(MemberList<ParticleEffect>& members);

    // Component commands: kMsgEffectAtPosition starts slot 0 and
    // stops-and-kills slots 1 to 4; kMsgHitEffect starts slot 3 with its
    // killEmitter flag; kMsgShotEffect starts slot 4 when it comes from the
    // owner object or from no object; every other command does nothing. An owner without a Transform has no position to
    // place them at: the command does nothing.
    void HandleMessage(Message* message) override;
    // Subscribes to ComponentCommand(0..4) and makes the slots' emitter objects.
    void Init() override;

    std::string& Archetype(int slot) { return ParticleArchetypes[slot]; }
    bool& KillEmitter(int slot) { return killEmitter[slot]; }
    u32 EmitterObject(int slot) const { return emitterObjects[slot]; }

private:
    void Send(int slot, const Kind<EmitterCommand>& kind, bool flag, u32 sender);

    std::string ParticleArchetypes[kSlots];
    bool killEmitter[kSlots] = {};
    u32 emitterObjects[kSlots] = {};
};
