// The text of reflected objects in data files: the full form of a structure
// or component, its differences against a reference, one scene instance and a
// whole archetype file. Members are written in walk order (newest registered
// first). Stateless; main thread only.
#pragma once
#include <string>

class GameObject;
class IMetaClass;

class SceneWriter {
public:
    // "{ name = value, ...,  }"; a class without members gives "{  }".
    static std::string WriteFull(const IMetaClass& metaClass, const void* object);
    // "{name = value, }" with only the members that differ (nested
    // structures in their own differences form); "" when all are equal.
    static std::string WriteDifferences(const IMetaClass& metaClass, const void* object, const void* reference);
    // One object of a scene file: "{SceneGUID = n, Class = {...}, }". With a
    // prototype each component is written as its differences from the
    // prototype's component of its class (nothing when equal); components
    // the prototype lacks are written in full, except one that another
    // component of the object stands in for (GetAliasTypeId: it is rebuilt by
    // that component). Without a prototype every component is written in full.
    static std::string WriteInstance(const GameObject& object, int number, const GameObject* prototype);
    // An archetype file: "Class = { ... }" and two line ends per component;
    // a component that another one stands in for is left out.
    static std::string WriteArchetype(const GameObject& object);
};
