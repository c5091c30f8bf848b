// The component that creates an object of its archetype where its own object
// stands each time its trigger code (kMsgTriggerCode) arrives. Also the base
// of the spline spawners, which replace Spawn and share the archetype look-up.
// Objects it makes are registered and announced but not added to the scene.
// Owned by its object; acts only on messages; main thread only.
#pragma once
#include <string>

#include "engine/Component.h"

class Spawner : public Component<Spawner> {
public:
    Spawner() = default;
    static void Reflect(MemberList<Spawner>& members);

    // A trigger code equal to triggerCode spawns.
    void HandleMessage(Message* message) override;
    // Subscribes to kMsgTriggerCode.
    void Init() override;
    // Takes the spawner off every message it subscribed to.
    void Shutdown() override;
    // One object of the archetype at the spawner's world position and
    // rotation; nothing when the archetype cannot be had.
    virtual void Spawn();

    // Reflected, in file order (the spline spawners list these first too).
    std::string archetype;
    i32 triggerCode = 0;

protected:
    explicit Spawner(u32 typeId) : Component<Spawner>(typeId) {}

    // A new object of the archetype (loaded from its file on first use),
    // initialised and announced, added to the scene when asked; its id. An
    // archetype that cannot be had gives 0 with one log row; that name is
    // not looked for again by this spawner (no file dialog or message box at
    // every trigger).
    u32 CreateObject(bool addToScene);
    // Whether a trigger code message carries this spawner's code.
    bool IsOwnCode(const Message& message) const;

private:
    std::string missingArchetype_;  // the name last found missing
};
