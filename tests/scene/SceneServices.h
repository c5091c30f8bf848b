// The engine-wide services the scene code needs, made in start-up order over
// a fresh temporary asset root whose start-up file holds the given text, and
// destroyed in reverse with the root. Header only: the scene tests, the scene
// benchmark and the data-file fuzz target (a separate clang build) share it.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/IdCounter.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"

struct SceneServices {
    // `startup` is the text of DevozizuDave.init; `firstId` the first object id.
    explicit SceneServices(const std::string& startup, u32 firstId = 1) : root(MakeRoot(startup)), counter(firstId) {
        foldersLoaded = folders.Load(root);
        ValueTypes::Register(registry);
    }
    ~SceneServices() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    SceneServices(const SceneServices&) = delete;
    SceneServices& operator=(const SceneServices&) = delete;

    // Empties the scene and runs the deletions it queued.
    void Tidy() {
        scene.ClearScene();
        hub.DispatchQueued();
        graveyard.Collect(1000.0f);
    }

    std::string root;
    MessageHub hub;
    IdCounter counter;
    MetaRegistry registry;
    SceneLoader loader;
    DevozizuDave folders;
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    SceneManager scene;
    bool foldersLoaded = false;

private:
    static std::string MakeRoot(const std::string& startup) {
        std::string pattern = (std::filesystem::temp_directory_path() / "ddsceneXXXXXX").string();
        if (!mkdtemp(pattern.data())) return std::string();
        std::ofstream(pattern + "/DevozizuDave.init", std::ios::binary) << startup;
        return pattern;
    }
};
