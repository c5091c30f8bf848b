#include "game/scene/BehaviorSystem.h"

#include "engine/IComponent.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "game/actors/Brain.h"
#include "game/actors/Sataleye.h"

// The classes this system ticks or watches; only their type ids are needed.
class DistanceLord;
class Movement;
class Player;
class PlayerPositionTrigger;
class TimeLord;

BehaviorSystem::BehaviorSystem() : ISystem(TypeId<BehaviorSystem>::Get()) {
    SetName("BehaviorSystem");
    Subscribe(ComponentAnnounced(TypeId<Movement>::Get()));
    Subscribe(ComponentAnnounced(TypeId<Brain>::Get()));
    Subscribe(ComponentAnnounced(TypeId<Sataleye>::Get()));
    Subscribe(ComponentAnnounced(TypeId<PlayerPositionTrigger>::Get()));
    Subscribe(ComponentAnnounced(TypeId<TimeLord>::Get()));
    Subscribe(ComponentAnnounced(TypeId<DistanceLord>::Get()));
    Subscribe(kMsgDebugDraw);
    Subscribe(kMsgSelectedObject);
    Subscribe(ComponentAnnounced(TypeId<Player>::Get()));
}

void BehaviorSystem::HandleMessage(Message* message) {
    if (const bool* on = message->Read(kMsgDebugDraw)) {
        debugDraw_ = *on;
        return;
    }
    if (const u32* selected = message->Read(kMsgSelectedObject)) {
        selectedObjectId_ = *selected;
        return;
    }
    if (message->type != kMsgTypeComponentAnnounced) return;
    const u32 typeId = message->argument;
    const u32* id = message->Read(ComponentAnnounced(typeId));
    if (!id) return;
    if (typeId == TypeId<Player>::Get()) {
        Overlord* overlord = Overlord::Instance();
        if (IComponent* player = overlord ? overlord->GetComponentById(*id) : nullptr)
            playerObjectId_ = player->GetOwner();
    } else if (typeId == TypeId<Movement>::Get()) {
        movements_.Add(*id);
    } else if (typeId == TypeId<Brain>::Get()) {
        // Brain and Sataleye read the player's object through this system.
        Overlord* overlord = Overlord::Instance();
        if (Brain* brain = overlord ? overlord->GetComponentById<Brain>(*id) : nullptr) brain->SetBehaviorSystem(this);
        brains_.Add(*id);
    } else if (typeId == TypeId<Sataleye>::Get()) {
        Overlord* overlord = Overlord::Instance();
        if (Sataleye* eye = overlord ? overlord->GetComponentById<Sataleye>(*id) : nullptr)
            eye->SetBehaviorSystem(this);
        sataleyes_.Add(*id);
    } else if (typeId == TypeId<PlayerPositionTrigger>::Get()) {
        positionTriggers_.Add(*id);
    } else if (typeId == TypeId<TimeLord>::Get()) {
        timeLords_.Add(*id);
    } else if (typeId == TypeId<DistanceLord>::Get()) {
        distanceLords_.Add(*id);
    }
}

void BehaviorSystem::Update(float dt) {
    if (IsPaused()) return;
    accumulator_ += dt;
    if (!(accumulator_ >= kStep)) return;
    accumulator_ = 0.0f;  // the rest is dropped: one step a frame at most

    // Movement works from its own constants and always gets 0.
    while (movements_.HasNext()) {
        IComponent* movement = movements_.Next();
        movement->Update(0.0f);
        if (debugDraw_ && movement->GetOwner() == selectedObjectId_) movement->DebugDraw();
    }
    movements_.EndPass();
    Walk(positionTriggers_, kStep);
    Walk(brains_, kStep);
    Walk(sataleyes_, kStep);
    Walk(distanceLords_, kStep);
    Walk(timeLords_, kStep);
}

void BehaviorSystem::Walk(ComponentList& list, float dt) {
    while (list.HasNext()) list.Next()->Update(dt);
    list.EndPass();
}

void BehaviorSystem::Clear() {
    for (ComponentList* list : {&movements_, &brains_, &sataleyes_, &positionTriggers_, &timeLords_, &distanceLords_})
        list->Clear();
    playerObjectId_ = 0;
}
