#include "engine/Resolvers.h"

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/IComponent.h"
#include "engine/Overlord.h"

IMessaging* ResolveSystem(u32 typeId) {
    Engine* engine = Engine::Instance();
    if (!engine || typeId == 0) return nullptr;
    return engine->GetSystem(typeId);
}

IMessaging* ResolveComponent(u32 componentId) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord || componentId == 0) return nullptr;
    return overlord->GetComponentById(componentId);
}

IMessaging* ResolveGameObject(u32 objectId) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord || objectId == 0) return nullptr;
    return overlord->GetGameObject(objectId);
}
