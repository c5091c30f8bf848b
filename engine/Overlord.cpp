#include "engine/Overlord.h"

#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"

Overlord::Overlord() = default;

Overlord::~Overlord() {
    // Objects do not delete their components; those go in the second walk.
    // Anything already handed to the Graveyard is the Graveyard's to delete.
    objects_.ForEach([](u32, GameObject* object) {
        if (!object->IsBuried()) delete object;
    });
    components_.ForEach([](u32, IComponent* component) {
        if (!component->IsBuried()) delete component;
    });
}

IComponent* Overlord::GetComponent(u32 objectId, u32 typeId) const {
    GameObject* object = GetGameObject(objectId);
    return object ? object->GetComponentByTypeId(typeId) : nullptr;
}

u32 Overlord::GetComponentId(u32 objectId, u32 typeId) const {
    IComponent* component = GetComponent(objectId, typeId);
    return component ? component->GetId() : 0;
}

void Overlord::RegisterGameObject(GameObject* object) {
    if (object) objects_.Insert(object->GetId(), object);
}

void Overlord::RegisterComponent(IComponent* component) {
    if (component) components_.Insert(component->GetId(), component);
}

void Overlord::UnregisterGameObject(u32 objectId) {
    Log("Overlord::UnregisterGameObject('%u')", objectId);
    GameObject* object = GetGameObject(objectId);
    if (!object) return;
    objects_.Remove(objectId);
    ++objectRemovals_;
    object->LeaveScene();
    // The list may not change under the walk: copy it.
    const std::vector<IComponent*> components = object->GetComponents();
    for (IComponent* component : components) {
        UnregisterComponent(component);
        component->Shutdown();
        ForgetSubscriptions(component->GetId());  // also what Shutdown may have filed
    }
    Post(kMsgObjectUnregistered, 0, objectId);
    if (Graveyard* graveyard = Graveyard::Instance()) graveyard->AddObject(object);
}

void Overlord::UnregisterComponent(IComponent* component) {
    if (!component) return;
    Log("Overlord::UnregisterComponent('%u')", component->GetId());
    components_.Remove(component->GetId());
    ForgetSubscriptions(component->GetId());
    if (Graveyard* graveyard = Graveyard::Instance()) graveyard->AddComponent(component);
}

void Overlord::ForgetSubscriptions(u32 componentId) {
    if (MessageHub* hub = MessageHub::Instance()) hub->UnsubscribeAll(componentId);
}

void Overlord::ForgetGameObject(const GameObject* object) {
    if (!object) return;
    objects_.RemoveIfValue(object->GetId(), object);
    ++objectRemovals_;
}

void Overlord::ForgetComponent(const IComponent* component) {
    if (component) components_.RemoveIfValue(component->GetId(), component);
}
