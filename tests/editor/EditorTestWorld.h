// The start-up assembly over a temporary asset root, with the Editor
// initialised (not active) and stand-ins for the game systems the program
// does not have yet, a recorder of editor messages, an InputSystem fed
// directly and failure reports captured. No window: the panels exist without
// drawing.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Assembly.h"
#include "controls/GuiSystem.h"
#include "core/IdCounter.h"
#include "editor/menus/EditorMenuSystem.h"
#include "editor/mode/Editor.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/InputSystem.h"
#include "port/dialogs/FileDialogScript.h"
#include "port/dialogs/QuestionBoxScript.h"
#include "port/os/WholeFileWriter.h"
#include "port/panels/TweakPanelsProbe.h"
#include "render/frame/GraphicsSystem.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "tests/app/TempAssetRoot.h"

class Physics;
class GameLogic;
class BehaviorSystem;
class PauseMenu;

// Stands in for a game system under its real type id.
class GameSystemProbe : public ISystem {
public:
    explicit GameSystemProbe(u32 typeId) : ISystem(typeId) {}
};

// Records the messages of the kinds it is given: "type,argument=payload"
// (the payload's four bytes as an unsigned, or "-" without one).
class MessageRecorder : public ISystem {
public:
    MessageRecorder() : ISystem(NewId()) {}
    template <class P>
    void Listen(const Kind<P>& kind) {
        Subscribe(kind);
    }
    void HandleMessage(Message* message) override {
        std::string payload = "-";
        if (message->payload && message->payloadSize == 4) {
            u32 bits = 0;
            std::memcpy(&bits, message->payload, 4);
            payload = std::to_string(bits);
        }
        rows.push_back(std::to_string(message->type) + "," + std::to_string(message->argument) + "=" + payload);
    }
    std::vector<std::string> rows;
};

inline std::string Bits(float value) {
    return std::to_string(std::bit_cast<u32>(value));
}

class EditorFixture : public ::testing::Test {
public:
    static inline std::vector<std::string> reports;
    static inline u32 highWater_ = 0;  // the highest id any earlier test drew

protected:
    void SetUp() override {
        std::filesystem::create_directory(root_.Dir() + "/arch");
        std::filesystem::create_directory(root_.Dir() + "/scene");
        ASSERT_TRUE(assembly_->Assemble());
        // Each assembly counts ids from 1 again, while type ids drawn by
        // earlier tests of the process stay: start past every id seen so far,
        // so no object or component shares an id with a system's type id.
        while (IdCounter::Instance()->Peek() <= highWater_) IdCounter::Instance()->Draw();
        SceneLoader::SetFailureReporter(
            [](const std::string& caption, const std::string& text) { reports.push_back(caption + ": " + text); });
        reports.clear();
        FileDialogScriptClear();
        QuestionBoxScriptClear();
        engine = Engine::Instance();
        for (u32 typeId : {TypeId<Physics>::Get(), TypeId<GameLogic>::Get(), TypeId<BehaviorSystem>::Get(),
                           TypeId<PauseMenu>::Get()})
            if (!engine->GetSystem(typeId)) engine->AddSystem(new GameSystemProbe(typeId));
        recorder = new MessageRecorder();
        engine->AddSystem(recorder);
        editor = engine->GetSystem<Editor>();
        input = engine->GetSystem<InputSystem>();
        gui = engine->GetSystem<GuiSystem>();
        graphics = engine->GetSystem<GraphicsSystem>();
        editor->Init();
        menu = editor->GetMenuSystem();
    }
    void TearDown() override {
        if (IdCounter* ids = IdCounter::Instance()) highWater_ = std::max(highWater_, ids->Peek());
        SetWholeFileWriterCallsForTest(nullptr);
        SceneLoader::SetFailureReporter(nullptr);
        FileDialogScriptClear();
        QuestionBoxScriptClear();
        assembly_->Disassemble();
    }

    void Enter() {
        editor->SetActive(true);
        editor->Activate();
    }
    // The queued messages, then the end-of-frame deletions.
    void EndFrame() {
        MessageHub::Instance()->DispatchQueued();
        Graveyard::Instance()->Collect(1000.0f);
    }
    // One frame of the controls, then the input edges.
    void Frame() {
        gui->Update(0.016f);
        input->Update(0.016f);
    }
    GameObject* Object(u32 id) const { return Overlord::Instance()->GetGameObject(id); }
    // An object of the scene with a Transform at the position.
    u32 AddSceneObject(const D3DXVECTOR3& position) {
        GameObject* object = ObjectFactory::Instance()->NewGameObject();
        Transform* transform = ObjectFactory::Instance()->Create<Transform>();
        transform->position = position;
        object->AddComponent(transform);
        SceneManager::Instance()->GetObjectIds().push_back(object->GetId());
        return object->GetId();
    }
    // The names of a bar's entries in order; empty when there is no bar.
    static std::vector<std::string> Entries(const char* barName) {
        TweakBarInfo info;
        std::vector<std::string> names;
        if (TwBar* bar = TwInspectFindBar(barName); bar && TwInspectBar(bar, &info))
            for (const TweakVarInfo& var : info.vars) names.push_back(var.name);
        return names;
    }
    static bool Press(const char* barName, const std::string& entry) {
        return TwInspectPressButton(TwInspectFindBar(barName), entry.c_str());
    }
    std::string Path(const std::string& relative) const { return root_.Dir() + "/" + relative; }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    TempAssetRoot root_{TempAssetRoot::Contents::StartupFileOnly};
    std::unique_ptr<Assembly> assembly_ = std::make_unique<Assembly>();
    Engine* engine = nullptr;
    Editor* editor = nullptr;
    EditorMenuSystem* menu = nullptr;
    InputSystem* input = nullptr;
    GuiSystem* gui = nullptr;
    GraphicsSystem* graphics = nullptr;
    MessageRecorder* recorder = nullptr;  // owned by the Engine
};
