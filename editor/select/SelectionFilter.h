// Which proxies the editor's mouse pick leaves out: by proxy object id, by
// archetype name, then by component type (the first type the proxy holds, in
// ascending type id), true meaning excluded. An empty filter excludes
// nothing. The payload of kMsgPickFilter; a plain value.
#pragma once
#include <map>
#include <string>

#include "core/Types.h"

class GameObject;

struct SelectionFilter {
    std::map<u32, bool> byType;
    std::map<u32, bool> byObject;
    std::map<std::string, bool> byArchetype;

    // Whether the object is left out of picking.
    bool Excludes(const GameObject& object) const;
};
