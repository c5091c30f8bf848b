// The text of scene and archetype files: the "Archetypes" list, one instance
// table per archetype, the "ParentChild" and "SplineCrawlers" links, one
// scene instance, and a whole archetype file. Components are written as
// MemberText forms. Reads the Overlord, the ObjectFactory and the
// MetaRegistry when they exist; stateless; main thread only.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/Types.h"

class GameObject;

class SceneWriter {
public:
    // The scene file of the objects with these ids (unknown ids and repeats
    // are skipped), with "\n" line ends. Instances are grouped by archetype
    // name (in the given order within a group) and numbered from 1000 in the
    // order they are written; the link tables follow those numbers. A parent
    // link to an object the file does not hold is left out, and that child
    // written at its world position, rotation and scale; so is a crawler's
    // link to no object of the file, that crawler written bound to none.
    static std::string WriteScene(const std::vector<u32>& objectIds);
    // The same scene as the bytes of its file (CR LF line ends) when they are
    // at most `limit`: true, with them in *file. Otherwise false, *file empty
    // and *size the bytes the file would have had: what passes the limit is
    // counted as it is made, never kept.
    static bool WriteSceneFile(const std::vector<u32>& objectIds, std::size_t limit, std::string* file,
                               std::size_t* size);
    // One object of a scene file: "{SceneGUID = n, Class = {...}, }", the
    // components in the order of their class names. With a
    // prototype each component is written as its differences from the
    // prototype's component of its class (nothing when equal); components
    // the prototype lacks are written in full, except one that another
    // component of the object stands in for (GetAliasTypeId: it is rebuilt by
    // that component). Without a prototype every component but such a
    // stand-in is written in full.
    static std::string WriteInstance(const GameObject& object, int number, const GameObject* prototype);
    // An archetype file: "Class = { ... }" and two line ends per component;
    // a component that another one stands in for is left out.
    static std::string WriteArchetype(const GameObject& object);
};
