// The prototypes every component and game object is copied from: one
// component prototype per component class (by class name and by type id,
// owned and deleted here) and one prototype GameObject per loaded archetype
// (registered in the Overlord like any object; dropped through the Overlord,
// which hands it to the Graveyard). One instance for the run (global
// instance pointer), made after the Overlord. Main thread only.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "core/Singleton.h"
#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/IComponent.h"

class ObjectFactory : public Singleton<ObjectFactory> {
public:
    ObjectFactory() = default;
    // Deletes the component prototypes and drops the archetypes.
    ~ObjectFactory();

    // Files the prototype under the class name and TypeId<T>, taking
    // ownership; a prototype it replaces under both keys is deleted.
    template <class T>
    void RegisterComponentPrototype(const std::string& name, T* prototype) {
        RegisterPrototype(name, TypeId<T>::Get(), prototype);
    }
    void RegisterPrototype(const std::string& name, u32 typeId, IComponent* prototype);
    IComponent* GetPrototype(const std::string& className) const;
    IComponent* GetPrototype(u32 typeId) const;
    // A clone of T's prototype, or null when T has none.
    template <class T>
    T* Create() const {
        IComponent* prototype = GetPrototype(TypeId<T>::Get());
        return prototype ? static_cast<T*>(prototype->Clone()) : nullptr;
    }

    // The stored archetype prototype, or null.
    GameObject* GetArchetype(const std::string& name) const;
    // Loads the archetype file of that name into the factory; false when it
    // cannot be had (reported).
    using ArchetypeLoader = bool (*)(const std::string& name);
    // Files a new object as the scene's (addToScene) or as a play object.
    using ObjectPlacer = void (*)(u32 objectId, bool addToScene);
    // Installed by the SceneManager for its lifetime (null: none); the
    // factory reaches the loader and the scene only through these.
    static void SetSceneHooks(ArchetypeLoader loader, ObjectPlacer placer);
    // A new object cloned from the archetype (loaded from its file when not
    // stored), initialised and announced; added to the scene when asked, else
    // kept as a play object (removed at the next scene clear). It takes a
    // place in the scene's SceneObjectBudget, and its clones are charged to
    // the scene's MemberBudget (both given back as it goes). Its id, or 0
    // when the archetype cannot be had or a budget refuses it (the first
    // refusal of each on a scene's count logs one row).
    u32 Instantiate(const std::string& archetypeName, bool addToScene);
    // Stores the prototype under its archetype name; a prototype it replaces
    // is dropped.
    void AddArchetypeByName(GameObject* prototype);
    void ClearArchetypes();
    std::vector<std::string> GetArchetypeNames() const;
    // The class names of the component prototypes, ascending.
    std::vector<std::string> GetComponentClassNames() const;
    GameObject* NewGameObject();
    // Drops an object that never reached the scene (a prototype): through the
    // Overlord when there is one, else deleted at once with its components.
    static void DropObject(GameObject* object);

private:
    void ReportRefusal(const std::string& archetypeName, u64 bytes);

    std::map<std::string, IComponent*> byName_;
    std::map<u32, IComponent*> byTypeId_;
    std::map<std::string, GameObject*> archetypes_;
    u32 reportedScene_ = 0;  // the MemberBudget count whose refusal was logged
    static ArchetypeLoader archetypeLoader_;
    static ObjectPlacer objectPlacer_;
};
