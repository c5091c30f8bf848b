// The component that creates an object of its archetype where its own object
// stands each time its trigger code (kMsgTriggerCode) arrives. Also the base
// of the spline spawners, which replace Spawn and share the archetype look-up.
// Objects it makes are registered and announced but not added to the scene.
// Owned by its object; acts only on messages; main thread only.
#pragma once
#include <functional>
#include <map>
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
    // Takes the spawner off every message it subscribed to and reports the
    // counts of its refused spawns (ReportRefusals).
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
    // A spawn refused for `reason` (a short text, the same for every repeat,
    // e.g. "spawns off the track"): the formatted row is logged the first
    // time in the level and every refusal is counted. A trigger sent every
    // frame would otherwise log a row per spawn and frame.
    void Refuse(const char* reason, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // The level's end (Shutdown): one row per reason refused more than once,
    // with its count; the counts start again.
    void ReportRefusals();

private:
    std::string missingArchetype_;                      // the name last found missing
    std::map<std::string, u64, std::less<>> refusals_;  // reason -> refusals this level
};
