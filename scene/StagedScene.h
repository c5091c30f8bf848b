// A scene file run and checked but not yet in the scene: the file's tables,
// held in the SceneLoader's Lua state; the archetypes it lists and each
// object's components as the check read them (each value is read once), with
// their own count on the MemberBudget; from these the commit makes the
// objects once the old scene is cleared, and the parent links and crawler
// bindings (by object id) that making them read. SceneLoader fills it,
// SceneManager commits it; what it holds is let go when it is dropped or
// destroyed. Main thread only.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/Types.h"
#include "engine/IComponent.h"
#include "reflection/MemberBudget.h"

struct lua_State;

class StagedScene {
public:
    // One object of the file: its archetype group, its place in the group
    // (1 up), its "SceneGUID" and the components its table names, in the
    // order of their class names, read over a copy of the archetype's (or
    // the class prototype's) component.
    using Components = std::vector<std::unique_ptr<IComponent>>;
    struct Instance {
        std::string archetype;
        int index = 0;
        int saveNumber = 0;
        Components components;
    };
    // An archetype listed, with the components of its file when it loaded.
    struct Archetype {
        std::string name;
        bool loaded = false;
        Components components;
    };

    // Two object ids: child and parent, or crawler and spline.
    struct Link {
        u32 first = 0;
        u32 second = 0;
    };

    StagedScene() = default;
    ~StagedScene() { Drop(); }
    StagedScene(const StagedScene&) = delete;
    StagedScene& operator=(const StagedScene&) = delete;

    // Holds the tables of the file at `path`: `reference` names them in the
    // registry of L (luaL_ref); an earlier hold of tables is let go.
    void KeepTables(lua_State* L, int reference, const std::string& path);
    // Pushes the tables on their state's stack; false, pushing nothing, when
    // none are held.
    bool PushTables() const;
    // The file the tables came from.
    const std::string& Path() const { return path_; }
    // The archetypes listed, in order.
    std::vector<Archetype>& Archetypes() { return archetypes_; }
    std::vector<Instance>& Instances() { return instances_; }
    // Objects refused by the MemberBudget, as "<group>Instances[n]"
    // ("SceneGUID m" added when it has one): those of the check in file
    // order, then those of the commit.
    std::vector<std::string>& Refused() { return refused_; }
    // Objects past the scene's bound on objects (SceneObjectBudget), neither
    // read nor made: the first one's place, as Refused names it, and how many
    // (those of the check, then those of the commit).
    struct Excess {
        std::string first;
        std::size_t count = 0;
    };
    Excess& TooMany() { return tooMany_; }
    // The staged scene's own MemberBudget count, made current by the commit.
    MemberBudget::Count& Count() { return count_; }
    // Child, then parent: in file order, a later link of a child wins.
    std::vector<Link>& ParentLinks() { return parentLinks_; }
    const std::vector<Link>& ParentLinks() const { return parentLinks_; }
    // Crawler object, then spline object, in file order.
    std::vector<Link>& CrawlerBindings() { return crawlerBindings_; }
    const std::vector<Link>& CrawlerBindings() const { return crawlerBindings_; }

    // Lets the tables go, drops what was read and empties the stage.
    void Drop();

private:
    lua_State* L_ = nullptr;  // null: no tables held
    int reference_ = 0;
    std::string path_;
    std::vector<Link> parentLinks_;
    std::vector<Link> crawlerBindings_;
    std::vector<Archetype> archetypes_;
    std::vector<Instance> instances_;
    std::vector<std::string> refused_;
    Excess tooMany_;
    MemberBudget::Count count_;
};
