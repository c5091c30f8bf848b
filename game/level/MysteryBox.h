// The reward table of an object the player can hit or destroy: points when
// the player collides with it or it dies, energy when it dies (both queued
// to the player), and the track speed change Health applies on a player
// collision. Health tells it through messages to its object. Owned by its
// object; main thread only.
#pragma once
#include "engine/Component.h"

class MysteryBox : public Component<MysteryBox> {
public:
    MysteryBox() = default;
    static void Reflect(MemberList<MysteryBox>& members);

    // Object died: kMsgPoints with pointsGivenOnDeath; player collided:
    // kMsgPoints with pointsGivenOnCollision; energy reward: kMsgEnergyChange
    // with energyToGivePlayer. Any argument; all queued, zeros too.
    void HandleMessage(Message* message) override;
    // Subscribes to the three messages.
    void Init() override;
    void Shutdown() override;

    // Reflected, in file order.
    i32 pointsGivenOnDeath = 0;
    i32 pointsGivenOnCollision = 0;
    float speedToGivePlayer = 0.0f;         // sent by Health as a speed bonus; negative slows
    float specialSpeedToGivePlayer = 0.0f;  // sent instead as a set speed when enabled
    float energyToGivePlayer = 0.0f;
    bool enabledSpecialSpeedBonus = false;
};
