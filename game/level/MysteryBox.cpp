#include "game/level/MysteryBox.h"

#include "engine/MessageHub.h"

void MysteryBox::Reflect(MemberList<MysteryBox>& members) {
    members.Add("pointsGivenOnDeath", &MysteryBox::pointsGivenOnDeath);
    members.Add("pointsGivenOnCollision", &MysteryBox::pointsGivenOnCollision);
    members.Add("speedToGivePlayer", &MysteryBox::speedToGivePlayer);
    members.Add("specialSpeedToGivePlayer", &MysteryBox::specialSpeedToGivePlayer);
    members.Add("energyToGivePlayer", &MysteryBox::energyToGivePlayer);
    members.Add("enabledSpecialSpeedBonus", &MysteryBox::enabledSpecialSpeedBonus);
}

void MysteryBox::Init() {
    Subscribe(kMsgObjectDied);
    Subscribe(kMsgEnergyReward);
    Subscribe(kMsgPlayerCollided);
}

void MysteryBox::Shutdown() {
    Unsubscribe(kMsgObjectDied);
    Unsubscribe(kMsgEnergyReward);
    Unsubscribe(kMsgPlayerCollided);
}

void MysteryBox::HandleMessage(Message* message) {
    if (message->type == kMsgObjectDied.type)
        Post(kMsgPoints, GetId(), pointsGivenOnDeath);
    else if (message->type == kMsgPlayerCollided.type)
        Post(kMsgPoints, GetId(), pointsGivenOnCollision);
    else if (message->type == kMsgEnergyReward.type)
        Post(kMsgEnergyChange, GetId(), energyToGivePlayer);
}
