// Test support for the game's levels: the whole program in-process on a copy
// of the asset tree (offscreen window, small unless pictures are wanted), a
// level loaded under GameLogic as Play loads it, and the log's message rows
// once the program is taken down. One LevelWorld per test; main thread only.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/Assembly.h"
#include "app/ClassRegistrations.h"
#include "app/ScriptedRun.h"
#include "engine/Engine.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Resolvers.h"
#include "port/math/D3DXVector.h"
#include "render/frame/GraphicsSystem.h"
#include "scene/DevozizuDave.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "tests/support/TempAssetRoot.h"

// The levels of the game's sequence, in order.
inline const std::vector<std::string>& GameLevels() {
    static const std::vector<std::string> levels = {"Tutorial", "Gold_Level", "Forward_Momentum"};
    return levels;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class LevelWorld {
public:
    explicit LevelWorld(int width = 160, int height = 120) : width_(width), height_(height) {}
    ~LevelWorld() { assembly_.Disassemble(); }

    // Assembles the program and initialises its engine at the wanted window size.
    // The levels' heads-up display is a component class of the program: its
    // countdown starts the ship, and a level naming it loads only with it.
    static bool GameHasCountdown() {
        for (const ComponentClassEntry& entry : ClassRegistrations::ComponentClasses())
            if (std::string(entry.name) == "HUDComponent") return true;
        return false;
    }

    // `watcher`, when given, heads the engine's list (it runs first in each
    // frame); `prepare` may change the assembled systems before they initialise.
    bool Start(ISystem* watcher = nullptr, const std::function<void(Engine&)>& prepare = {}) {
        if (!assembly_.Assemble()) {
            delete watcher;
            return false;
        }
        Engine* engine = assembly_.GetEngine();
        if (prepare) prepare(*engine);
        if (watcher) engine->AddSystem(watcher);
        engine->Init();
        if (GraphicsSystem* graphics = engine->GetSystem<GraphicsSystem>())
            SendToSystem(kMsgClearFullScreen, graphics->GetTypeId(), 0);
        ::Broadcast(kMsgSetWindowSize, 0, D3DXVECTOR2(static_cast<float>(width_), static_cast<float>(height_)));
        return true;
    }

    // The level under the scene's owner (GameLogic in play); the loader's
    // failures during the load are counted.
    bool Load(const std::string& level) {
        SceneLoader& loader = SceneLoader::Get();
        const u32 before = loader.FailureCount();
        const bool loaded = SceneManager::Get().LoadScene(LevelPath(level));
        loadFailures_ = loader.FailureCount() - before;
        return loaded;
    }

    // Installs the player's input script, played at the fixed frame time of
    // scripted runs (0.0166667 s); `run` outlives the frame loop and reports
    // a script that failed.
    void Script(const std::string& text, ScriptedRun& run) {
        const std::string script = Dir() + "/player.script";
        std::ofstream(script) << text;
        ::setenv("DD_INPUT_SCRIPT", script.c_str(), 1);
        ::setenv("DD_FIXED_FRAME_TIME", "0.0166667", 1);
        std::string error;
        EXPECT_TRUE(run.ReadEnvironment(&error)) << error;
        ::unsetenv("DD_INPUT_SCRIPT");
        ::unsetenv("DD_FIXED_FRAME_TIME");
        run.Install(GetEngine());
    }

    std::string LevelPath(const std::string& level) const { return DevozizuDave::Get().scene.GetFullPath(level); }

    Engine& GetEngine() { return *assembly_.GetEngine(); }
    u32 LoadFailures() const { return loadFailures_; }
    const std::string& Dir() const { return root_.Dir(); }

    // Takes the program down and returns the message column of its log.
    std::vector<std::string> FinishLog() {
        assembly_.Disassemble();
        std::vector<std::string> messages;
        std::istringstream in(ReadFileBytes(root_.Dir() + "/log/Application.log"));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::size_t start = 0;
            int tabs = 0;
            for (; tabs < 5; ++tabs) {
                const std::size_t tab = line.find('\t', start);
                if (tab == std::string::npos) break;
                start = tab + 1;
            }
            if (tabs == 5) messages.push_back(line.substr(start));
        }
        return messages;
    }

private:
    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree};
    Assembly assembly_;
    int width_, height_;
    u32 loadFailures_ = 0;
};
