// The current scene: the ids of its objects in the order they were added,
// the ids of the objects made during play that belong to it without being
// saved (projectiles, spawned enemies), the SceneSystem that owns it (the game logic in play, the level editor when
// editing; not owned), whether it is loaded and the path it was loaded from.
// A load is one step: the file is run and checked whole into a StagedScene
// first, and only then is the old scene cleared and the new one made from
// the staged tables. One instance for the run (global instance pointer); it
// gives the ObjectFactory its archetype loader and object placer while it
// lives. Main thread only.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/Singleton.h"
#include "core/Types.h"
#include "scene/StagedScene.h"

class SceneSystem;

class SceneManager : public Singleton<SceneManager> {
public:
    static constexpr const char* kSaveFailureCaption = "Save scene failed";

    SceneManager();
    ~SceneManager();

    // ReadScene, then CommitScene when the file read whole. A file that does
    // not load leaves the scene as it was: a loaded scene keeps its name, and
    // with none loaded the file's name is kept for a reload. Returns whether
    // it loaded.
    bool LoadScene(const std::string& path);
    // Runs and checks the file, keeping its tables in `staged`
    // (SceneLoader::LoadScene), touching nothing of the scene; false,
    // reported, when it does not load.
    bool ReadScene(const std::string& path, StagedScene& staged);
    // Clears the scene, then makes the staged one current under the name
    // path (SceneLoader::MakeScene): its archetypes are loaded, each object
    // is made, initialised, announced and added in file order, then they are
    // parented and their crawlers placed; the owner's OnSceneLoaded runs and
    // the scene counts as loaded. The stage is left empty. False (not
    // loaded, the name kept) only when the tables no longer fit.
    bool CommitScene(const std::string& path, StagedScene& staged);
    // Drops the archetypes, clears every system, unregisters the scene's
    // objects and the play objects still alive, tells the owner; not loaded,
    // no name.
    void ClearScene();
    // Loads the current scene's file again as LoadScene does (nothing when
    // there is no name).
    bool ReloadScene();
    // Appends the id and tells the owner (flag handed on).
    void AddObject(u32 objectId, bool flag);
    // An object made during play and not added to the scene: never saved,
    // unregistered with the scene at the next clear. Ids of objects gone
    // meanwhile are dropped as the list grows, so it stays within about twice
    // the live play objects.
    void AddPlayObject(u32 objectId);
    const std::vector<u32>& GetPlayObjectIds() const { return playObjectIds_; }
    // Writes the scene file: to a temporary file first, renamed over the
    // target only when complete. A file that cannot be written, that would be
    // larger than the loader reads (naming the size and the limit) or that
    // the loader would refuse otherwise (SceneLoader::CheckSceneText: too
    // many different values for one Lua chunk, its run budget), or, when this
    // scene's load refused objects, a save over its file or under another
    // name (either would lose them),
    // is reported ("Save scene failed") and the old file is kept; returns
    // false then.
    bool SaveScene(const std::string& path);
    // The scene file's text with "\n" line ends (SaveScene writes CR LF).
    std::string WriteScene() const;

    std::vector<u32>& GetObjectIds() { return objectIds_; }
    const std::vector<u32>& GetObjectIds() const { return objectIds_; }
    SceneSystem* GetOwner() const { return owner_; }
    void SetOwner(SceneSystem* owner) { owner_ = owner; }
    bool IsLoaded() const { return loaded_; }
    const std::string& GetName() const { return name_; }

private:
    std::vector<u32> objectIds_;
    std::vector<u32> playObjectIds_;
    std::size_t livePlayObjects_ = 0;  // play objects alive at the last pruning
    SceneSystem* owner_ = nullptr;
    bool loaded_ = false;
    std::string name_;
};

// Removes the first occurrence of id by moving the last id into its place.
void EraseUnordered(std::vector<u32>& ids, u32 id);

// Writes text to path through WriteWholeFile (a temporary file renamed over
// it when complete); every "\n" becomes CR LF. False (with *error naming the
// file) when it cannot be written or would be larger than DataFileLimit();
// the old file is then untouched.
bool WriteTextFile(const std::string& path, const std::string& text, std::string* error);
