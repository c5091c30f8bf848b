// Removes its object from the game once it has counted past `lifetime`
// seconds: projectiles and short-lived effects carry it. GameLogic updates it
// with the game time of each world step (seconds of game time). Owned by its object; main thread only.
#pragma once
#include "engine/Component.h"

class Lifetime : public Component<Lifetime> {
public:
    Lifetime() = default;
    static void Reflect(MemberList<Lifetime>& members);

    // Counts dt; past the lifetime: one log row, then the owner object is
    // unregistered (deleted later by the Graveyard).
    void Update(float dt) override;

    float lifetime = 1.0f;  // reflected; seconds
    float elapsed = 0.0f;   // seconds counted; a clone copies it
};
