// The component that lets an object set off particle emitters living in
// objects of their own: up to five emitter archetypes, one object made from
// each when the effect initialises (top-level objects that live with the
// scene but are not saved with it), started or stopped at the owner's
// position by the component commands (kMsgTypeComponentCommand). When the effect
// shuts down (its object went) it orphans them: a running one plays out,
// and each object goes at the renderer's next particle pass after its
// emitter is idle; the scene's clear takes the rest. Owned by its
// GameObject; main thread only.
#pragma once
#include <cstddef>
#include <string>

#include "engine/Component.h"

class LiveObjectBudget;

class ParticleEffect : public Component<ParticleEffect> {
public:
    static constexpr int kSlots = 5;
    // The objects effects have made that are alive at once are at most this
    // many (their emitters' buffers count against RenderDevice::kMaxLent
    // while they run): a slot beyond it is left empty, and the first such
    // refusal until the scene is cleared logs one row naming the effect's
    // object. An archetype that would make itself again is refused with one
    // row per archetype until the scene is cleared.
    static constexpr std::size_t kMaxLiveObjects = 256;
    static std::size_t LiveObjects();
    // A scene clear (its effects' objects are gone): the count starts
    // afresh and the next refusals are reported again.
    static void ResetBudget();

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
    // Subscribes to ComponentCommand(0..4) and makes the slots' emitter
    // objects, as many as the budget allows.
    void Init() override;
    // Orphans the emitters of the objects it made (ParticleEmmiter::Orphan);
    // an object without an emitter is unregistered at once.
    void Shutdown() override;

    std::string& Archetype(int slot) { return ParticleArchetypes[slot]; }
    bool& KillEmitter(int slot) { return killEmitter[slot]; }
    u32 EmitterObject(int slot) const { return emitterObjects[slot]; }

private:
    // The budget the effects' objects count against, one for the run.
    static LiveObjectBudget& Budget();
    // The object for slot i, or 0 (empty slot, an archetype that makes
    // itself again, the budget spent, an archetype that cannot be had).
    u32 MakeSlotObject(int slot);
    void Send(int slot, const Kind<EmitterCommand>& kind, bool flag, u32 sender);

    std::string ParticleArchetypes[kSlots];
    bool killEmitter[kSlots] = {};
    u32 emitterObjects[kSlots] = {};
};
