#include "editor/select/SelectionFilter.h"

#include "engine/GameObject.h"

bool SelectionFilter::Excludes(const GameObject& object) const {
    if (auto it = byObject.find(object.GetId()); it != byObject.end()) return it->second;
    if (!byArchetype.empty())
        if (auto it = byArchetype.find(object.GetArchetypeName()); it != byArchetype.end()) return it->second;
    for (const auto& [typeId, excluded] : byType)
        if (object.GetComponentByTypeId(typeId)) return excluded;
    return false;
}
