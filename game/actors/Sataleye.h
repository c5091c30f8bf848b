// Drives an enemy that orbits orbitPoint in the plane across the track, with
// three orbits blended by how far ahead of the player's ship it is in depth
// (z): far out orbit 1, then 1 and 2, then 2 and 3, close by orbit 3, which
// also keeps pace with the ship. Works only through its object's Body, which
// Physics integrates. BehaviorSystem steps it and knows the player's object
// (the last focus object announced stands in without one). Owned by its
// object; main thread only.
#pragma once
#include "engine/Component.h"
#include "port/math/D3DX.h"

class BehaviorSystem;

class Body;

class Sataleye : public Component<Sataleye> {
public:
    Sataleye() = default;
    static void Reflect(MemberList<Sataleye>& members);

    // kMsgFocusObject: the player's object.
    void HandleMessage(Message* message) override;
    // Clears the Body's forces, then adds the orbit forces for the distance
    // ahead of the player. Nothing without a Body, a Transform or a player.
    void Update(float step) override;
    // Subscribes to kMsgFocusObject.
    void Init() override;
    void Shutdown() override;

    // The system that steps this component, set when it is announced; it
    // lives for the whole run. The player's object is the one it knows (an
    // enemy made after the Player's announcement learns it too), else the
    // last focus object announced.
    void SetBehaviorSystem(const BehaviorSystem* system) { behaviorSystem_ = system; }
    u32 PlayerObjectId() const;

    // Reflected, in file order. Distances in world units along z; speeds in
    // units per second; radii in units.
    float distant = 105.0f;                      // outer edge of the middle band
    float mid = 55.0f;                           // between the middle and the close band
    float close = 15.0f;                         // inner edge of the close band
    D3DXVECTOR3 orbitPoint{0.0f, 20.0f, 20.0f};  // x and y used
    float speed1 = 10.0f;                        // also the base speed of orbit 3
    float speed2 = 0.0f;
    float speed3 = 15.0f;
    float radius1 = 4.0f;
    float radius2 = 4.0f;
    float radius3 = 5.0f;

    u32 focusObjectId = 0;  // from kMsgFocusObject

private:
    const BehaviorSystem* behaviorSystem_ = nullptr;
    // The centripetal force of orbit n (1 to 3) at weight w; left out for a
    // radius that is not positive and for an enemy on the orbit point.
    void Orbit(int n, float w, const D3DXVECTOR3& position, Body& body) const;
    // Orbit 3's pace: its own x and y velocity, the ship's z velocity.
    void KeepPace(float w, u32 playerId, Body& body) const;
};
