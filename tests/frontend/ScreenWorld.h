// Test support for the front end: the engine-wide services (log, hub, id
// counter, Lua loader, asset folders over a temporary root with a scene
// folder, graveyard, overlord, factory, scene manager) and an Engine holding
// the systems of a game run in their order: the real screens, GuiSystem,
// InputSystem, Physics and an uninitialised-device GraphicsSystem, with
// recording stand-ins for GameLogic (the scene's owner), BehaviorSystem and
// the AudioSystem. Frames run the active systems in list order like the
// Engine's loop (the renderer's update left out: what screens ask it to draw
// is collected instead). The mouse and keys go straight into the InputSystem.
#pragma once
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "controls/GuiSystem.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/SceneSystem.h"
#include "frontend/screens/ControlsMenu.h"
#include "frontend/screens/CreditsMenu.h"
#include "frontend/screens/FinMenu.h"
#include "frontend/screens/OptionsMenu.h"
#include "frontend/screens/PauseMenu.h"
#include "frontend/screens/SplashScreen.h"
#include "frontend/screens/StartMenu.h"
#include "game/physics/Physics.h"
#include "platform/AudioSystem.h"
#include "platform/InputSystem.h"
#include "platform/MusicEventData.h"
#include "platform/SoundEventData.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderLists.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "tests/engine/LogCapture.h"
#include "tests/support/TestIdCounter.h"

class BehaviorSystem;
class GameLogic;

// A system standing in for a class by its type id: active, records what it
// is sent and how often it is activated.
class StandIn : public SceneSystem {
public:
    StandIn(u32 typeId, const char* name) : SceneSystem(typeId) { SetName(name); }
    void HandleMessage(Message* message) override {
        types.push_back({message->type, message->argument});
        if (const MusicEventData* music = message->Read(kMsgPlayMusic)) musics.push_back(*music);
        if (const SoundEventData* sound = message->Read(kMsgPlaySound)) sounds.push_back(sound->name);
    }
    void Update(float) override {}
    void OnSceneLoaded() override { ++loads; }
    void OnSceneCleared() override { ++clears; }
    void OnObjectAdded(u32, bool) override {}

    std::vector<std::pair<u32, u32>> types;
    std::vector<MusicEventData> musics;
    std::vector<std::string> sounds;
    int loads = 0;
    int clears = 0;
};

class ScreenWorld : public ::testing::Test {
protected:
    static constexpr i32 kWidth = 1024;
    static constexpr i32 kHeight = 768;

    ScreenWorld() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ddscreensXXXXXX").string();
        root_ = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(root_ + "/scene");
        folders.scene.path = "scene/";
        folders.scene.extension = ".scn";
        folders.scene.baseFolder = root_ + "/";
        scenes.SetOwner(logic);
        // Creation order; each goes to the front, so the list reads in update order.
        for (ISystem* system : std::initializer_list<ISystem*>{input, behavior, audio, logic, physics, pause, start,
                                                               options, controls, credits, splash, fin, gui, graphics})
            engine->AddSystem(system);
        audio->Subscribe(kMsgPlaySound);
        engine->Init();
        ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, kWidth, kHeight});
    }
    ~ScreenWorld() override {
        engine.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // A scene file the loader accepts, in the temporary scene folder.
    void AddScene(const std::string& name) { std::ofstream(root_ + "/scene/" + name + ".scn") << "Archetypes = {}\n"; }

    // One frame: the drain, the active systems in list order (not the
    // renderer), the graveyard. What the screens asked to draw is kept.
    void Frame(float dt = 0.0166667f) {
        hub.DispatchQueued();
        graphics->GetLists().frameModels.clear();
        for (ISystem* system = engine->GetChildHead(); system; system = system->GetNext())
            if (system->IsActive() && system != graphics) system->Update(dt);
        drawn = graphics->GetLists().frameModels;
        graveyard.Collect(1000.0f);
    }
    void Frames(int count) {
        for (int i = 0; i < count; ++i) Frame();
    }
    // The splash screen's time passes: the start screen is up.
    void ToStartScreen() {
        Frame(0.0f);
        Frame(3.5f);
        Frame();
    }

    // Client pixels; x right, y down.
    void MouseTo(i32 x, i32 y) { input->MouseMoved(x, y, 0); }
    // A press in one frame and a release in the next, at the pointer.
    void Click(i32 x, i32 y) {
        MouseTo(x, y);
        input->ButtonDown(0, x, y);
        Frame();
        input->ButtonUp(0);
        Frame();
    }
    // A button centred at (0, y) of screen space (y up): its picture's centre
    // in client pixels lies 15 pixels inside its mouse rectangle.
    void ClickButtonAt(float screenY) { Click(kWidth / 2, kHeight / 2 - static_cast<i32>(screenY) + 15); }
    void TapEscape() {
        input->KeyPressed(0x1B);
        Frame();
        input->KeyReleased(0x1B);
        Frame();
    }

    std::size_t ObjectCount() const {
        std::size_t count = 0;
        overlord.GameObjects().ForEach([&](u32, GameObject*) { ++count; });
        return count;
    }
    std::size_t ControlCount() const {
        std::size_t count = 0;
        for (u32 category = 0; category < GuiSystem::kCategoryCount; ++category)
            for (const Control* control : gui->GetControls(category)) count += control != nullptr;
        return count;
    }
    // The six paused flags in the pause order, then the glow.
    std::vector<bool> PauseState() const {
        return {pause->IsPaused(),    physics->IsPaused(), logic->IsPaused(),   behavior->IsPaused(),
                graphics->IsPaused(), audio->IsPaused(),   graphics->IsGlowOn()};
    }

    LogCapture log;
    MessageHub hub;
    TestIdCounter counter;
    SceneLoader loader;
    DevozizuDave folders;
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    SceneManager scenes;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    InputSystem* input = new InputSystem;
    StandIn* behavior = new StandIn(TypeId<BehaviorSystem>::Get(), "BehaviorSystem");
    StandIn* audio = new StandIn(TypeId<AudioSystem>::Get(), "AudioSystem");
    StandIn* logic = new StandIn(TypeId<GameLogic>::Get(), "GameLogic");
    Physics* physics = new Physics;
    PauseMenu* pause = new PauseMenu;
    StartMenu* start = new StartMenu;
    OptionsMenu* options = new OptionsMenu;
    ControlsMenu* controls = new ControlsMenu;
    CreditsMenu* credits = new CreditsMenu;
    SplashScreen* splash = new SplashScreen;
    FinMenu* fin = new FinMenu;
    GuiSystem* gui = new GuiSystem;
    GraphicsSystem* graphics = new GraphicsSystem;
    std::vector<u32> drawn;

private:
    std::string root_;
};
