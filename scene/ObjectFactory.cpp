#include "scene/ObjectFactory.h"

#include <set>

#include "core/ShownText.h"
#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/SceneObjectBudget.h"
#include "port/os/WholeFile.h"
#include "reflection/MemberBudget.h"

void ObjectFactory::DropObject(GameObject* object) {
    if (Overlord* overlord = Overlord::Instance()) {
        overlord->UnregisterGameObject(object->GetId());
        return;
    }
    for (IComponent* component : object->GetComponents()) delete component;
    delete object;
}

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

ObjectFactory::ArchetypeLoader ObjectFactory::archetypeLoader_ = nullptr;
ObjectFactory::ObjectPlacer ObjectFactory::objectPlacer_ = nullptr;

void ObjectFactory::SetSceneHooks(ArchetypeLoader loader, ObjectPlacer placer) {
    archetypeLoader_ = loader;
    objectPlacer_ = placer;
}

u32 ObjectFactory::Instantiate(const std::string& archetypeName, bool addToScene) {
    GameObject* prototype = GetArchetype(archetypeName);
    if (!prototype) {
        if (archetypeLoader_) archetypeLoader_(archetypeName);
        prototype = GetArchetype(archetypeName);
        if (!prototype) return 0;
    }
    if (!SceneObjectBudget::Admit(1, "an object of archetype " + ShownText(archetypeName))) return 0;
    // What the clones' reflected lists and strings will hold is charged to
    // the scene's MemberBudget; past it the object is not made.
    std::vector<u64> bytes;
    u64 total = 0;
    for (IComponent* component : prototype->GetComponents())
        total += bytes.emplace_back(MemberBudget::Measure(component->GetTypeId(), component));
    if (!MemberBudget::Fits(total)) {
        ReportRefusal(archetypeName, total);
        return 0;
    }
    GameObject* object = prototype->Clone();
    object->JoinScene();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        MemberBudget::Hold(object->GetComponents()[i]->MemberBytes(), bytes[i]);
    object->Init();
    object->AnnounceComponents();
    if (objectPlacer_) objectPlacer_(object->GetId(), addToScene);
    return object->GetId();
}

void ObjectFactory::ReportRefusal(const std::string& archetypeName, u64 bytes) {
    if (reportedScene_ == MemberBudget::Current().scene) return;
    reportedScene_ = MemberBudget::Current().scene;
    Log("ObjectFactory: an object of archetype %s would take what the scene's reflected lists and strings hold "
        "past %s (%llu bytes in use, it holds %llu); it is not made, nor is any other until some are gone",
        ShownText(archetypeName).c_str(), ByteCountText(MemberBudget::kSceneBytes).c_str(),
        static_cast<unsigned long long>(MemberBudget::Current().used), static_cast<unsigned long long>(bytes));
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
