#include "game/actors/Lifetime.h"

#include <string>

#include "engine/Logger.h"
#include "engine/Overlord.h"

void Lifetime::Reflect(MemberList<Lifetime>& members) {
    members.Add("lifetime", &Lifetime::lifetime);
}

void Lifetime::Update(float dt) {
    if (IsBuried()) return;
    elapsed += dt;
    if (!(elapsed > lifetime)) return;
    if (Logger* logger = Logger::Instance())
        logger->QueueLine(" Lifetime::Update() - lifetime expired on component " + std::to_string(GetId()) + "\n");
    if (Overlord* overlord = Overlord::Instance()) overlord->UnregisterGameObject(GetOwner());
}
