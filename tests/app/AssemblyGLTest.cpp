// A whole run in-process on a copy of the asset tree, with the offscreen
// window: assembly, Engine Init (window, device, effects), a few frames, the
// systems deleted by the loop and the services destroyed in reverse order.
// Under the sanitizers this finds any service or GPU object used after it is
// gone during shutdown.
#include <gtest/gtest.h>

#include "app/Assembly.h"
#include "app/Entry.h"
#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "port/window/WindowTestInput.h"
#include "reflection/MetaRegistry.h"
#include "render/GraphicsSystem.h"
#include "render/RenderDevice.h"
#include "render/RenderResources.h"
#include "scene/ObjectFactory.h"
#include "tests/app/TempAssetRoot.h"

namespace {
// After a number of its own updates it ends the frame loop, or closes the
// window as a user would (the window system then ends the loop); it heads
// the list, so it runs first in each frame.
class StopAfterFrames : public ISystem {
public:
    enum class How { ClearEngineFlag, CloseWindow };
    StopAfterFrames(int frames, How how) : ISystem(NewId()), left_(frames), how_(how) {}
    void HandleMessage(Message*) override {}
    void Update(float) override {
        if (--left_ != 0) return;
        if (how_ == How::CloseWindow)
            TestPushClose();
        else
            Engine::Instance()->SetActive(false);
    }
    void Init() override {}
    void Clear() override {}
    void Activate() override {}
    void Deactivate() override {}

private:
    int left_;
    How how_;
};

class AssemblyGLTest : public ::testing::Test {
protected:
    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree};
};

TEST_F(AssemblyGLTest, FullStartFramesAndStopLeaveNothingBehind) {
    {
        Assembly assembly;
        ASSERT_TRUE(assembly.Assemble());
        Engine* engine = assembly.GetEngine();
        engine->AddSystem(new StopAfterFrames(3, StopAfterFrames::How::ClearEngineFlag));
        engine->Init();
        GraphicsSystem* graphics = engine->GetSystem<GraphicsSystem>();
        ASSERT_NE(graphics, nullptr);
        EXPECT_NE(graphics->GetDevice(), nullptr) << "the offscreen window gives a device";
        EXPECT_NE(RenderDevice::Instance()->GetDevice(), nullptr);
        EXPECT_NE(RenderResources::Instance()->GetDevice(), nullptr);

        StartFromCommandLine("", engine);
        EXPECT_EQ(engine->GetChildCount(), 0u) << "the loop deleted the systems";
        EXPECT_GE(Logger::Instance()->FrameCounter(), 3u);
        assembly.Disassemble();
        EXPECT_TRUE(assembly.Services().Empty());
    }
    EXPECT_EQ(MessageHub::Instance(), nullptr);
    EXPECT_EQ(IdCounter::Instance(), nullptr);
    EXPECT_EQ(MetaRegistry::Instance(), nullptr);
    EXPECT_EQ(ObjectFactory::Instance(), nullptr);
    EXPECT_EQ(RenderDevice::Instance(), nullptr);
    EXPECT_EQ(RenderResources::Instance(), nullptr);
    EXPECT_EQ(Engine::Instance(), nullptr);
}

TEST_F(AssemblyGLTest, ClosingTheWindowEndsTheLoopAfterThatFrame) {
    Assembly assembly;
    ASSERT_TRUE(assembly.Assemble());
    Engine* engine = assembly.GetEngine();
    engine->AddSystem(new StopAfterFrames(2, StopAfterFrames::How::CloseWindow));
    engine->Init();
    StartFromCommandLine("", engine);
    EXPECT_EQ(engine->GetChildCount(), 0u);
    // The close was pushed in frame 2 and seen by the window's pump in the
    // same frame, which is finished before the loop ends.
    EXPECT_EQ(Logger::Instance()->FrameCounter(), 2u);
    assembly.Disassemble();
    EXPECT_EQ(Engine::Instance(), nullptr);
}
}  // namespace
