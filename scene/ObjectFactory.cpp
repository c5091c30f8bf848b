#include "scene/ObjectFactory.h"

#include <set>

#include "engine/Overlord.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"

namespace {
// Drops an object that never reached the scene: through the Overlord when
// there is one, else deleted at once with its components.
void DropObject(GameObject* object) {
    if (Overlord* overlord = Overlord::Instance()) {
        overlord->UnregisterGameObject(object->GetId());
        return;
    }
    for (IComponent* component : object->GetComponents()) delete component;
    delete object;
}
}  // namespace

ObjectFactory::~ObjectFactory() {
    std::set<IComponent*> prototypes;
    for (auto& [name, prototype] : byName_) prototypes.insert(prototype);
    for (auto& [typeId, prototype] : byTypeId_) prototypes.insert(prototype);
    byName_.clear();
    byTypeId_.clear();
    for (IComponent* prototype : prototypes) delete prototype;
    ClearArchetypes();
}

void ObjectFactory::RegisterPrototype(const std::string& name, u32 typeId, IComponent* prototype) {
    std::set<IComponent*> replaced;
    if (auto it = byName_.find(name); it != byName_.end()) replaced.insert(it->second);
    if (auto it = byTypeId_.find(typeId); it != byTypeId_.end()) replaced.insert(it->second);
    byName_[name] = prototype;
    byTypeId_[typeId] = prototype;
    for (IComponent* old : replaced) {
        if (old == prototype) continue;
        bool stillFiled = false;
        for (auto& [n, p] : byName_) stillFiled = stillFiled || p == old;
        for (auto& [t, p] : byTypeId_) stillFiled = stillFiled || p == old;
        if (!stillFiled) delete old;
    }
}

IComponent* ObjectFactory::GetPrototype(const std::string& className) const {
    auto it = byName_.find(className);
    return it == byName_.end() ? nullptr : it->second;
}

IComponent* ObjectFactory::GetPrototype(u32 typeId) const {
    auto it = byTypeId_.find(typeId);
    return it == byTypeId_.end() ? nullptr : it->second;
}

GameObject* ObjectFactory::GetArchetype(const std::string& name) const {
    auto it = archetypes_.find(name);
    return it == archetypes_.end() ? nullptr : it->second;
}

u32 ObjectFactory::Instantiate(const std::string& archetypeName, bool addToScene) {
    GameObject* prototype = GetArchetype(archetypeName);
    if (!prototype) {
        if (SceneLoader* loader = SceneLoader::Instance()) loader->LoadArchetype(archetypeName);
        prototype = GetArchetype(archetypeName);
        if (!prototype) return 0;
    }
    GameObject* object = prototype->Clone();
    object->Init();
    object->AnnounceComponents();
    if (SceneManager* scene = SceneManager::Instance()) {
        if (addToScene)
            scene->AddObject(object->GetId(), false);
        else
            scene->AddPlayObject(object->GetId());
    }
    return object->GetId();
}

GameObject* ObjectFactory::AddArchetype(const std::string& name) {
    SceneLoader& loader = SceneLoader::Get();
    GameObject* object = NewGameObject();
    object->SetArchetypeName(name);
    try {
        loader.ReadComponents(*object);
        loader.ReadInstance(*object);
    } catch (...) {
        DropObject(object);
        throw;
    }
    AddArchetypeByName(object);
    return object;
}

void ObjectFactory::AddArchetypeByName(GameObject* prototype) {
    GameObject*& slot = archetypes_[prototype->GetArchetypeName()];
    GameObject* old = slot;
    slot = prototype;
    if (old && old != prototype) DropObject(old);
}

void ObjectFactory::ClearArchetypes() {
    std::map<std::string, GameObject*> archetypes;
    archetypes.swap(archetypes_);
    for (auto& [name, prototype] : archetypes) DropObject(prototype);
}

std::vector<std::string> ObjectFactory::GetArchetypeNames() const {
    std::vector<std::string> names;
    for (auto& [name, prototype] : archetypes_) names.push_back(name);
    return names;
}

std::vector<std::string> ObjectFactory::GetComponentClassNames() const {
    std::vector<std::string> names;
    for (auto& [name, prototype] : byName_) names.push_back(name);
    return names;
}

GameObject* ObjectFactory::NewGameObject() {
    return new GameObject();
}
