// A scene file read but not yet in the scene: the objects made for it
// (registered in the Overlord, neither initialised nor announced), the
// archetype prototypes its file lists, and its parent links and crawler
// bindings by object id. SceneLoader fills it, SceneManager commits it;
// whatever is not committed is unregistered (to the Graveyard) when it is
// dropped or destroyed. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "core/Types.h"

class GameObject;

class StagedScene {
public:
    // Two object ids: child and parent, or crawler and spline.
    struct Link {
        u32 first = 0;
        u32 second = 0;
    };

    StagedScene() = default;
    ~StagedScene() { Drop(); }
    StagedScene(const StagedScene&) = delete;
    StagedScene& operator=(const StagedScene&) = delete;

    // The objects in the order the file made them.
    std::vector<u32>& Objects() { return objects_; }
    const std::vector<u32>& Objects() const { return objects_; }
    // The prototypes, each under its archetype name; the stage owns them.
    std::vector<GameObject*>& Archetypes() { return archetypes_; }
    GameObject* FindArchetype(const std::string& name) const;
    // Child, then parent: in file order, a later link of a child wins.
    std::vector<Link>& ParentLinks() { return parentLinks_; }
    const std::vector<Link>& ParentLinks() const { return parentLinks_; }
    // Crawler object, then spline object, in file order.
    std::vector<Link>& CrawlerBindings() { return crawlerBindings_; }
    const std::vector<Link>& CrawlerBindings() const { return crawlerBindings_; }

    // Unregisters the objects and prototypes still held and empties the stage.
    void Drop();
    // Empties the stage without dropping anything: the scene has taken it.
    void Release();

private:
    std::vector<u32> objects_;
    std::vector<GameObject*> archetypes_;
    std::vector<Link> parentLinks_;
    std::vector<Link> crawlerBindings_;
};
