// The engine-wide registry of live game objects and components by id. Links
// between objects, message targets and subscribers are ids looked up here; a
// dead id gives null. Unregistering hands things to the Graveyard. At
// shutdown it deletes whatever is still registered (objects first, then
// components). Created after the Graveyard, destroyed before it. Main thread only.
#pragma once
#include "core/Singleton.h"
#include "core/TypeId.h"
#include "core/Types.h"
#include "engine/IComponent.h"
#include "engine/IdTable.h"

class GameObject;

class Overlord : public Singleton<Overlord> {
public:
    Overlord();
    ~Overlord();

    GameObject* GetGameObject(u32 objectId) const { return objects_.Find(objectId); }
    IComponent* GetComponentById(u32 componentId) const { return components_.Find(componentId); }
    // The object's first component of that type id; null when either is absent.
    IComponent* GetComponent(u32 objectId, u32 typeId) const;
    // Its id, 0 when absent.
    u32 GetComponentId(u32 objectId, u32 typeId) const;

    template <class T>
    T* GetComponent(u32 objectId) const;
    // GetComponent<T> on the live Overlord; null when there is none (before
    // start-up, after shutdown) or the object has no such component.
    template <class T>
    static T* FindComponent(u32 objectId);
    // GetGameObject on the live Overlord; null without one or for id 0.
    static GameObject* FindObject(u32 objectId) {
        Overlord* overlord = Instance();
        return (overlord && objectId != 0) ? overlord->GetGameObject(objectId) : nullptr;
    }
    // The component under this id, only when it is a T.
    template <class T>
    T* GetComponentById(u32 componentId) const;

    void RegisterGameObject(GameObject* object);
    void RegisterComponent(IComponent* component);
    // Logs, removes the object and its components from the tables, shuts the
    // components down, takes their subscriptions out of the MessageHub,
    // queues kMsgObjectUnregistered (object id) to the subscribers and hands
    // everything to the Graveyard. Unknown ids log and stop.
    void UnregisterGameObject(u32 objectId);
    // Logs, removes the id and the component's subscriptions and hands the
    // component to the Graveyard.
    void UnregisterComponent(IComponent* component);
    // Takes every subscription filed under the component id out of the
    // MessageHub: a component gone from the registry receives nothing, and
    // deliveries no longer walk its entries.
    static void ForgetSubscriptions(u32 componentId);
    // Drop the entries only (nothing is handed over).
    void RemoveGameObjectId(u32 objectId) {
        objects_.Remove(objectId);
        ++objectRemovals_;
    }
    void RemoveComponentId(u32 componentId) { components_.Remove(componentId); }
    // Drop the entries only while they still point at this very object; used by
    // destructors so the tables never hold freed pointers.
    void ForgetGameObject(const GameObject* object);
    void ForgetComponent(const IComponent* component);

    // How many times an object has left the table so far: a caller that
    // keeps ids of objects it made need look for gone ones only when this
    // has moved since it last looked.
    u64 ObjectRemovals() const { return objectRemovals_; }

    const IdTable<GameObject>& GameObjects() const { return objects_; }
    const IdTable<IComponent>& Components() const { return components_; }

private:
    IdTable<GameObject> objects_;
    IdTable<IComponent> components_;
    u64 objectRemovals_ = 0;
};

template <class T>
T* Overlord::GetComponent(u32 objectId) const {
    return static_cast<T*>(GetComponent(objectId, TypeId<T>::Get()));
}

template <class T>
T* Overlord::FindComponent(u32 objectId) {
    Overlord* overlord = Instance();
    return (overlord && objectId != 0) ? overlord->GetComponent<T>(objectId) : nullptr;
}

template <class T>
T* Overlord::GetComponentById(u32 componentId) const {
    IComponent* component = GetComponentById(componentId);
    return (component && component->GetTypeId() == TypeId<T>::Get()) ? static_cast<T*>(component) : nullptr;
}
