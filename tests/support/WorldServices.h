// The engine-wide services of a headless test world, made in the program's
// start-up order (hub, id counter, class registry, scene loader, asset folders,
// graveyard, overlord, object factory, scene manager, Engine) over a fresh
// temporary asset root, and destroyed in reverse: the Engine first, with the
// systems a world added to it, then the rest, then the root. A world asks for
// the parts it needs; the ones it may leave out are null pointers then. Not
// gtest-bound: the game-table fuzz target builds its world on it too.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "engine/Engine.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "reflection/MetaRegistry.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestIdCounter.h"

class WorldServices {
public:
    enum class Parts {
        Objects,  // hub, id counter, graveyard, overlord, object factory and Engine
        Scenes,   // and the asset folders (left empty) and the scene manager
        Levels,   // and the class registry and the scene loader; the folders read from the root
    };

    // `startup` is the text of the root's start-up file, read into the asset
    // folders (Levels only).
    explicit WorldServices(Parts parts, const std::string& startup = std::string());
    ~WorldServices();
    WorldServices(const WorldServices&) = delete;
    WorldServices& operator=(const WorldServices&) = delete;

    // The asset root; empty when the folder could not be made.
    const std::string& Root() const { return root_.Path(); }
    // Writes `text` to a file under the root, making its folders.
    void WriteFile(const std::string& relative, const std::string& text) const;
    // Live game objects in the overlord.
    std::size_t ObjectCount() const;

    MessageHub hub;
    TestIdCounter counter;
    std::unique_ptr<MetaRegistry> registry;  // Levels
    std::unique_ptr<SceneLoader> loader;     // Levels
    std::unique_ptr<DevozizuDave> folders;   // Scenes, Levels
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    std::unique_ptr<SceneManager> scene;  // Scenes, Levels
    std::unique_ptr<Engine> engine;       // a world may end it early

private:
    TempFolder root_{"ddworld"};  // removed before the services go
};
