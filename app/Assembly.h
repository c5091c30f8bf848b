// The start-up assembly: creates the engine-wide services in their fixed
// order and destroys them in the exact reverse order, each service's global
// instance pointer set and cleared as it goes. Services still to come (render
// device, render-side caches), the reflection registrations, the library
// preload and the systems join this sequence as they are built. Owned by the
// program entry for the whole run; main thread only.
#pragma once
#include <memory>

class DevozizuDave;
class Engine;
class Graveyard;
class IdCounter;
class Logger;
class MessageHub;
class MetaRegistry;
class ObjectFactory;
class Overlord;
class SceneLoader;
class SceneManager;

class Assembly {
public:
    Assembly();
    ~Assembly();  // disassembles what is still assembled
    Assembly(const Assembly&) = delete;
    Assembly& operator=(const Assembly&) = delete;

    // Creates the services: message hub, id counter (1), reflection registry,
    // script loader, asset folders (read from the start-up file), log,
    // graveyard, Overlord, object factory, scene manager, Engine. A service
    // whose constructor throws leaves the exception to the crash handler.
    void AssembleEngine();
    // Destroys the services in reverse order, the message hub last.
    void DisassembleEngine();

    Engine* GetEngine() const { return engine_.get(); }

private:
    std::unique_ptr<MessageHub> messageHub_;
    std::unique_ptr<IdCounter> idCounter_;
    std::unique_ptr<MetaRegistry> metaRegistry_;
    std::unique_ptr<SceneLoader> sceneLoader_;
    std::unique_ptr<DevozizuDave> assetFolders_;
    std::unique_ptr<Logger> logger_;
    std::unique_ptr<Graveyard> graveyard_;
    std::unique_ptr<Overlord> overlord_;
    std::unique_ptr<ObjectFactory> objectFactory_;
    std::unique_ptr<SceneManager> sceneManager_;
    std::unique_ptr<Engine> engine_;
};
