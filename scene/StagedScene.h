// A scene file run and checked but not yet in the scene: the file's tables,
// held in the SceneLoader's Lua state, from which the commit makes the
// objects once the old scene is cleared, and the parent links and crawler
// bindings (by object id) that making them read. SceneLoader fills it,
// SceneManager commits it; the tables are let go when it is dropped or
// destroyed. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "core/Types.h"

struct lua_State;

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

    // Holds the tables of the file at `path`: `reference` names them in the
    // registry of L (luaL_ref); an earlier hold is let go.
    void KeepTables(lua_State* L, int reference, const std::string& path);
    // Pushes the tables on their state's stack; false, pushing nothing, when
    // none are held.
    bool PushTables() const;
    // The file the tables came from.
    const std::string& Path() const { return path_; }
    // Child, then parent: in file order, a later link of a child wins.
    std::vector<Link>& ParentLinks() { return parentLinks_; }
    const std::vector<Link>& ParentLinks() const { return parentLinks_; }
    // Crawler object, then spline object, in file order.
    std::vector<Link>& CrawlerBindings() { return crawlerBindings_; }
    const std::vector<Link>& CrawlerBindings() const { return crawlerBindings_; }

    // Lets the tables go and empties the stage.
    void Drop();

private:
    lua_State* L_ = nullptr;  // null: no tables held
    int reference_ = 0;
    std::string path_;
    std::vector<Link> parentLinks_;
    std::vector<Link> crawlerBindings_;
};
