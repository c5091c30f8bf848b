#include "scene/SceneWriter.h"

#include <map>
#include <utility>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "reflection/IMetaClass.h"
#include "reflection/MemberText.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueText.h"
#include "scene/ObjectFactory.h"
#include "scene/SplineCrawlerBinding.h"

namespace {
const IMetaClass* ClassOf(const IComponent& component) {
    MetaRegistry* registry = MetaRegistry::Instance();
    return registry ? registry->GetByTypeId(component.GetTypeId()) : nullptr;
}
}  // namespace

std::string SceneWriter::WriteScene(const std::vector<u32>& objectIds) {
    Overlord* overlord = Overlord::Instance();
    ObjectFactory* factory = ObjectFactory::Instance();
    std::map<std::string, std::vector<std::pair<int, GameObject*>>> groups;
    std::map<u32, int> numbers;   // object id -> save number
    std::map<u32, u32> parents;   // child id -> parent id
    std::map<u32, u32> crawlers;  // crawler object id -> spline object id
    for (u32 id : objectIds) {
        GameObject* object = overlord ? overlord->GetGameObject(id) : nullptr;
        if (!object || numbers.count(id)) continue;
        numbers[id] = 0;
        groups[object->GetArchetypeName()].push_back({0, object});
        if (object->GetParent() != 0) parents[id] = object->GetParent();
        u32 spline = 0;
        if (SplineCrawlerBinding::Find(*object, &spline)) crawlers[id] = spline;
    }
    // Numbered in the order they are written, which is the order a load
    // gives them back: a scene read and saved again keeps its numbers.
    int next = 1000;
    for (auto& [name, objects] : groups)
        for (auto& [number, object] : objects) {
            number = next++;
            numbers[object->GetId()] = number;
        }
    auto numberOf = [&numbers](u32 id) {
        auto it = numbers.find(id);
        return it == numbers.end() ? 0 : it->second;
    };

    std::string text = "Archetypes = {\n";
    for (const auto& [name, objects] : groups) text += "\t" + value_text::Quote(name) + ",\n";
    text += "}\n\n";
    bool otherNames = false;
    for (const auto& [name, objects] : groups) {
        // A group whose name is no Lua name cannot be a global of its own.
        if (name.empty() || value_text::IsLuaName(name + "Instances")) {
            text += name + "Instances = {\n";
        } else {
            if (!otherNames) text += "InstancesByArchetype = {}\n\n";
            otherNames = true;
            text += "InstancesByArchetype[" + value_text::Quote(name) + "] = {\n";
        }
        GameObject* prototype = name.empty() || !factory ? nullptr : factory->GetArchetype(name);
        for (const auto& [number, object] : objects) {
            // A crawler's link is an object id of this run: the crawler table
            // carries it as a save number, the instance keeps the prototype's.
            u32 link = 0, neutral = 0;
            const bool crawls = SplineCrawlerBinding::Find(*object, &link);
            if (crawls && prototype) SplineCrawlerBinding::Find(*prototype, &neutral);
            if (crawls) SplineCrawlerBinding::SetLink(*object, neutral);
            text += "\t" + SceneWriter::WriteInstance(*object, number, prototype) + ",\n";
            if (crawls) SplineCrawlerBinding::SetLink(*object, link);
        }
        text += "}\n\n";
    }
    text += "ParentChild = {\n";
    for (const auto& [child, parent] : parents)
        text += "\t{ Parent = " + std::to_string(numberOf(parent)) + ", Child = " + std::to_string(numberOf(child)) +
                "},\n";
    text += "}\n\n";
    text += "SplineCrawlers = {\n";
    for (const auto& [crawler, spline] : crawlers)
        text += "\t{ SplineCrawler = " + std::to_string(numberOf(crawler)) +
                ", Spline = " + std::to_string(numberOf(spline)) + "},\n";
    text += "}\n\n";
    return text;
}

std::string SceneWriter::WriteInstance(const GameObject& object, int number, const GameObject* prototype) {
    const std::vector<IComponent*>& components = object.GetComponents();
    // The first component of each type that another component stands in for.
    std::vector<const IComponent*> standIns;
    for (IComponent* component : components) {
        const u32 alias = component->GetAliasTypeId();
        if (alias == 0) continue;
        for (IComponent* other : components)
            if (other->GetTypeId() == alias) {
                standIns.push_back(other);
                break;
            }
    }
    std::string text = "{SceneGUID = " + std::to_string(number) + ", ";
    for (IComponent* component : components) {
        const IMetaClass* metaClass = ClassOf(*component);
        if (!metaClass) continue;
        const IComponent* reference = prototype ? prototype->GetComponentByTypeId(component->GetTypeId()) : nullptr;
        if (!reference) {
            bool standIn = false;
            for (const IComponent* s : standIns) standIn = standIn || s == component;
            if (!standIn) text += metaClass->GetName() + " = " + MemberText::WriteFull(*metaClass, component) + ", ";
            continue;
        }
        const std::string differences = MemberText::WriteDifferences(*metaClass, component, reference);
        if (!differences.empty()) text += metaClass->GetName() + " = " + differences + ", ";
    }
    return text + "}";
}

std::string SceneWriter::WriteArchetype(const GameObject& object) {
    std::vector<IComponent*> written = object.GetComponents();
    for (IComponent* component : object.GetComponents()) {
        const u32 alias = component->GetAliasTypeId();
        if (alias == 0) continue;
        for (IComponent*& other : written)
            if (other->GetTypeId() == alias) {
                other = written.back();
                written.pop_back();
                break;
            }
    }
    std::string text;
    for (IComponent* component : written) {
        const IMetaClass* metaClass = ClassOf(*component);
        if (!metaClass) continue;
        text += metaClass->GetName() + " = " + MemberText::WriteFull(*metaClass, component) + "\n\n";
    }
    return text;
}
