// The scene flow of a plain run, in-process on a copy of the asset tree with
// the offscreen window: the "Scenes" bar offers the scene files, a click on
// "TrackTest" as a player would make it loads the level, the bar goes, the
// level's camera becomes the active one and the carrier rides its track.
#include <gtest/gtest.h>

#include <functional>

#include "app/Assembly.h"
#include "app/Entry.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/scene/GameLogic.h"
#include "game/track/SplineCrawler.h"
#include "port/panels/TweakPanelsProbe.h"
#include "port/window/WindowTestInput.h"
#include "render/camera/PathFollowCamera.h"
#include "render/frame/GraphicsSystem.h"
#include "scene/SceneManager.h"
#include "tests/app/TempAssetRoot.h"

namespace {
// Heads the engine's list (so it runs first in each frame) and plays the
// player's part: a step function called once a frame until it ends the loop.
class PlayerProbe : public ISystem {
public:
    explicit PlayerProbe(std::function<bool(int frame)> step) : ISystem(NewId()), step_(std::move(step)) {}
    void HandleMessage(Message*) override {}
    void Update(float) override {
        if (!step_(++frame_) || frame_ > 600) Engine::Instance()->SetActive(false);
    }
    void Init() override {}
    void Clear() override {}
    void Activate() override {}
    void Deactivate() override {}

private:
    std::function<bool(int)> step_;
    int frame_ = 0;
};

// The first scene object that has a component of class T.
template <class T>
T* FindInScene() {
    for (u32 id : SceneManager::Instance()->GetObjectIds())
        if (T* component = Overlord::FindComponent<T>(id)) return component;
    return nullptr;
}

class SceneFlowGLTest : public ::testing::Test {
protected:
    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree};
};

TEST_F(SceneFlowGLTest, ClickingTrackTestInTheScenesBarLoadsTheLevelAndTheCarrierRides) {
    Assembly assembly;
    ASSERT_TRUE(assembly.Assemble());
    Engine* engine = assembly.GetEngine();

    bool barListedTrackTest = false, loaded = false, barGone = false, cameraActive = false;
    int loadedAt = 0;
    float startDistance = -1.0f, endDistance = -1.0f;
    D3DXVECTOR3 startPosition{}, endPosition{};
    float x = 0, y = 0;
    engine->AddSystem(new PlayerProbe([&](int frame) {
        SceneManager* scenes = SceneManager::Instance();
        if (!scenes->IsLoaded()) {
            TwBar* bar = TwInspectFindBar(GameLogic::kScenesBarName);
            float w = 0, h = 0;
            if (frame == 3 && bar && TwInspectItemRect(bar, "TrackTest", &x, &y, &w, &h)) {
                barListedTrackTest = true;
                x += w / 2;
                y += h / 2;
                TestPushMouseMove(static_cast<int>(x), static_cast<int>(y));
                TestPushMouseButton(0, true, static_cast<int>(x), static_cast<int>(y));
            } else if (frame == 4) {
                TestPushMouseButton(0, false, static_cast<int>(x), static_cast<int>(y));
            }
            return frame < 10;
        }
        SplineCrawler* crawler = FindInScene<SplineCrawler>();
        Transform* carrier = crawler ? Overlord::FindComponent<Transform>(crawler->GetOwner()) : nullptr;
        if (!carrier) return false;
        if (!loaded) {
            loaded = true;
            loadedAt = frame;
            barGone = TwInspectBarNames().empty();
            const PathFollowCamera* camera = FindInScene<PathFollowCamera>();
            cameraActive = camera && engine->GetSystem<GraphicsSystem>()->GetActiveCameraId() == camera->GetId();
            startDistance = crawler->distance;
            startPosition = carrier->worldPosition;
        }
        endDistance = crawler->distance;
        endPosition = carrier->worldPosition;
        return frame < loadedAt + 30;
    }));
    engine->Init();
    // The scene cleared under GameLogic, as a run without a start screen begins.
    SceneManager::Instance()->ClearScene();
    engine->Update(0.0f);

    EXPECT_TRUE(barListedTrackTest) << "the Scenes bar lists the scene folder";
    ASSERT_TRUE(loaded) << "the click loads TrackTest";
    EXPECT_TRUE(barGone) << "no bar while a scene is loaded";
    EXPECT_TRUE(cameraActive) << "the level is seen through its own camera";
    // 30 frames of about one physics step each at 25 units a second.
    EXPECT_GT(endDistance, startDistance + 5.0f) << "the carrier rides its track";
    const D3DXVECTOR3 moved = endPosition - startPosition;
    EXPECT_GT(D3DXVec3Length(&moved), 5.0f) << "and its object with it";
    assembly.Disassemble();
}
}  // namespace
