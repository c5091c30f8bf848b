#include "reflection/SceneWriter.h"

#include <vector>

#include "engine/GameObject.h"
#include "reflection/IMetaClass.h"
#include "reflection/MetaRegistry.h"

namespace {
const IMetaClass* ClassOf(const IComponent& component) {
    MetaRegistry* registry = MetaRegistry::Instance();
    return registry ? registry->GetByTypeId(component.GetTypeId()) : nullptr;
}
}  // namespace

std::string SceneWriter::WriteFull(const IMetaClass& metaClass, const void* object) {
    std::string text = "{ ";
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next())
        text += m->ToString(static_cast<const char*>(object) + m->GetOffset()) + ", ";
    return text + " }";
}

std::string SceneWriter::WriteDifferences(const IMetaClass& metaClass, const void* object, const void* reference) {
    bool equal = true;
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m && equal; m = m->Next()) equal = m->Equals(object, reference);
    if (equal) return "";
    std::string text = "{";
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next())
        text += m->ToStringIfDifferent(object, reference);
    return text + "}";
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
        if (!prototype) {
            text += metaClass->GetName() + " = " + WriteFull(*metaClass, component) + ", ";
            continue;
        }
        const IComponent* reference = prototype->GetComponentByTypeId(component->GetTypeId());
        if (!reference) {
            bool standIn = false;
            for (const IComponent* s : standIns) standIn = standIn || s == component;
            if (!standIn) text += metaClass->GetName() + " = " + WriteFull(*metaClass, component) + ", ";
            continue;
        }
        const std::string differences = WriteDifferences(*metaClass, component, reference);
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
        text += metaClass->GetName() + " = " + WriteFull(*metaClass, component) + "\n\n";
    }
    return text;
}
