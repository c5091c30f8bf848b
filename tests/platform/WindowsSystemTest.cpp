// The window system on SDL's offscreen driver, with events pushed into SDL's
// queue: what reaches InputSystem and the message hub, in which order.
#include "platform/WindowsSystem.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "platform/InputSystem.h"
#include "port/math/D3DXVector.h"
#include "port/panels/TweakPanels.h"
#include "port/panels/TweakPanelsProbe.h"
#include "port/window/AsyncKeyState.h"
#include "port/window/DragDrop.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestServices.h"

namespace {

class WindowsSystemGLTest : public ::testing::Test {
protected:
    EngineServices services;
    MessageRecorder recorder{900000};
    InputSystem* input = nullptr;
    WindowsSystem* windows = nullptr;

    void SetUp() override {
        TwInspectReset();
        recorder.Watch(1, 0, sizeof(WindowCreatedData));
        recorder.Watch(1, 4, sizeof(ClientRect));
        recorder.Watch(1, 15, 4);
        recorder.Watch(1, 16, 4);
        for (u32 a = 0; a < 4; ++a) recorder.Watch(31, a, 1);
        recorder.Watch(32, 9, 8);
        input = new InputSystem();
        windows = new WindowsSystem(0x42);
        services.engine->AddSystem(input);
        services.engine->AddSystem(windows);
        services.engine->SetActive(true);
        windows->Init();
        ASSERT_NE(nullptr, windows->GetWindow());
        Frame();  // whatever the window system queued at creation
        recorder.received.clear();
    }
    // One frame: pump first, InputSystem last.
    void Frame() {
        windows->Update(0.016f);
        input->Update(0.016f);
    }
};

TEST_F(WindowsSystemGLTest, CreationAnnouncesWindowThenClientRect) {
    // A second system in a fresh setting: watch the announcements of Init.
    services.engine->RemoveSystem(windows);
    recorder.received.clear();
    windows = new WindowsSystem(0x42);
    services.engine->AddSystem(windows);
    windows->Init();
    ASSERT_GE(recorder.received.size(), 2u);
    const Received& created = recorder.received[0];
    EXPECT_EQ(1u, created.type);
    EXPECT_EQ(0u, created.argument);
    EXPECT_EQ(0u, created.sender);
    EXPECT_EQ(0x42u, created.As<WindowCreatedData>().instance);
    EXPECT_EQ(windows->GetWindowHandle(), created.As<WindowCreatedData>().window);
    EXPECT_EQ(windows->GetWindow(), PortWindow::FromHandle(created.As<WindowCreatedData>().window));
    const Received& rect = recorder.received[1];
    EXPECT_EQ(4u, rect.argument);
    EXPECT_EQ(0u, rect.sender);
    EXPECT_EQ(1024, rect.As<ClientRect>().right);
    EXPECT_EQ(768, rect.As<ClientRect>().bottom);
    EXPECT_EQ(1024, windows->GetWindow()->GetClientRect().right);
    EXPECT_EQ(768, windows->GetWindow()->GetClientRect().bottom);
}

TEST_F(WindowsSystemGLTest, SizeRequestGivesExactClientAreaAndOneRectMessage) {
    ::Broadcast(kMsgSetWindowSize, 0, D3DXVECTOR2{800.9f, 600.2f});
    Frame();
    auto rects = recorder.Of(1, 4);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(windows->GetTypeId(), rects[0].sender);
    EXPECT_EQ(800, rects[0].As<ClientRect>().right);
    EXPECT_EQ(600, rects[0].As<ClientRect>().bottom);
    EXPECT_EQ(800, windows->GetWindow()->GetClientRect().right);
    EXPECT_EQ(600, windows->GetWindow()->GetClientRect().bottom);
}

TEST_F(WindowsSystemGLTest, MinimisedWindowSendsEmptyRect) {
    TestPushMinimised();
    Frame();
    auto rects = recorder.Of(1, 4);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(0, rects[0].As<ClientRect>().right);
    EXPECT_EQ(0, rects[0].As<ClientRect>().bottom);
}

TEST_F(WindowsSystemGLTest, ResizeAndMinimiseLogTheirRows) {
    LogCapture capture;
    ::Broadcast(kMsgSetWindowSize, 0, D3DXVECTOR2{800, 600});
    Frame();
    TestPushMinimised();
    Frame();
    std::vector<std::pair<unsigned, std::string>> rows;
    ASSERT_TRUE(capture.Finish(rows));
    std::vector<std::string> resizes;
    for (const auto& [frame, text] : rows)
        if (text.rfind("WINDOW RESIZE:", 0) == 0) resizes.push_back(text);
    ASSERT_EQ(2u, resizes.size());
    EXPECT_EQ("WINDOW RESIZE: 600, 800, AR: 0.750000", resizes[0]);
    // A minimised window: 0 by 0, a ratio that is not a number.
    EXPECT_EQ(0u, resizes[1].find("WINDOW RESIZE: 0, 0, AR: "));
    EXPECT_NE(std::string::npos, resizes[1].find("nan"));
}

TEST_F(WindowsSystemGLTest, ResizeChangesNoKeyOrButtonState) {
    TestPushKey(0x41, true);
    TestPushMouseButton(0, true, 3, 3);
    Frame();
    ::Broadcast(kMsgSetWindowSize, 0, D3DXVECTOR2{640, 480});
    Frame();
    EXPECT_TRUE(input->IsKeyDown(0x41));
    EXPECT_TRUE(input->IsButtonDown(0));
}

TEST_F(WindowsSystemGLTest, QuickClickWithinOnePumpIsPressedThenReleasedInTheNextFrame) {
    TestPushMouseButton(0, true, 30, 40);
    TestPushMouseButton(0, false, 30, 40);
    windows->Update(0.016f);
    EXPECT_TRUE(input->IsButtonDown(0));
    EXPECT_EQ(30, input->Button(0).x);
    EXPECT_FALSE(input->MouseButtonReleased(0));
    input->Update(0.016f);
    windows->Update(0.016f);  // the next frame's pump: nothing new
    EXPECT_TRUE(input->MouseButtonReleased(0));
    EXPECT_FALSE(input->IsButtonDown(0));
    input->Update(0.016f);
    EXPECT_FALSE(input->MouseButtonReleased(0));
}

// What the probe below saw; the test keeps it (the loop deletes its systems).
struct FrameRecord {
    std::atomic<int> frames{0};
    std::vector<float> dts;
};

// Heads the Engine's list (it runs before the pump): counts the frames the
// loop begins and their dts, minimises the window in the second, ends the
// loop in the fifth.
class MinimisingProbe : public ISystem {
public:
    explicit MinimisingProbe(FrameRecord& record) : ISystem(NewId()), record_(record) {}
    void Update(float dt) override {
        record_.dts.push_back(dt);
        const int frame = ++record_.frames;
        if (frame == 2) TestPushMinimised();
        if (frame == 5) Engine::Get().SetActive(false);
    }

private:
    FrameRecord& record_;
};

TEST_F(WindowsSystemGLTest, MinimisedTheLoopRunsNoFramesAndTheFrameAfterSeesTheRealTime) {
    FrameRecord record;
    services.engine->AddSystem(new MinimisingProbe(record));
    int framesBefore = -1, framesAfter = -1;
    std::thread restorer([&] {
        while (record.frames.load() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        framesBefore = record.frames.load();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        framesAfter = record.frames.load();
        TestPushRestored();
    });
    services.engine->Update(0.0f);  // the loop, until the fifth frame; it deletes the systems
    restorer.join();
    windows = nullptr;
    input = nullptr;
    // The third frame's pump waits out the second that the window is minimised.
    EXPECT_EQ(framesBefore, 3);
    EXPECT_EQ(framesAfter, 3);
    ASSERT_EQ(record.dts.size(), 5u);
    EXPECT_GE(record.dts[3], 0.95f) << "the fourth frame's dt is the third frame with its wait";
    EXPECT_LT(record.dts[4], 0.5f);
}

TEST_F(WindowsSystemGLTest, ControlCharactersAndTabAsFourBlanks) {
    TestPushKey(0x09, true);
    TestPushKey(0x09, false);
    TestPushKey(0x08, true);
    TestPushKey(0x0D, true);
    TestPushKey(0x1B, true);
    TestPushText("q");
    Frame();
    std::vector<Received> chars;
    for (const auto& r : recorder.received)
        if (r.type == 31) chars.push_back(r);
    ASSERT_EQ(8u, chars.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(1u, chars[i].argument);
        EXPECT_EQ(32, chars[i].As<u8>());
        EXPECT_EQ(windows->GetTypeId(), chars[i].sender);
    }
    EXPECT_EQ(0u, chars[4].argument);
    EXPECT_FALSE(chars[4].hadPayload);
    EXPECT_EQ(2u, chars[5].argument);
    EXPECT_EQ(3u, chars[6].argument);
    EXPECT_EQ(1u, chars[7].argument);
    EXPECT_EQ('q', chars[7].As<u8>());
}

TEST_F(WindowsSystemGLTest, KeyHeldThirtyFramesGivesOnePressAndOneRelease) {
    int pressedFrames = 0, releasedFrames = 0, heldFrames = 0;
    for (int frame = 0; frame < 32; ++frame) {
        if (frame == 0)
            TestPushKey(0x57, true);
        else if (frame < 30)
            TestPushKey(0x57, true, true);  // auto-repeat
        else if (frame == 30)
            TestPushKey(0x57, false);
        windows->Update(0.016f);
        pressedFrames += input->WasKeyPressed(0x57);
        releasedFrames += input->WasKeyReleased(0x57);
        heldFrames += input->IsKeyDown(0x57);
        input->Update(0.016f);
    }
    EXPECT_EQ(1, pressedFrames);
    EXPECT_EQ(1, releasedFrames);
    EXPECT_EQ(30, heldFrames);
}

TEST_F(WindowsSystemGLTest, LeftCtrlHeldAsGenericAndLeftCode) {
    TestPushKey(0xA2, true);
    Frame();
    EXPECT_TRUE(input->IsKeyDown(0x11));
    EXPECT_TRUE(input->IsKeyDown(0xA2));
    EXPECT_TRUE(input->IsCtrlHeld());
    TestPushKey(0xA2, false);
    Frame();
    EXPECT_FALSE(input->IsKeyDown(0x11));
    EXPECT_FALSE(input->IsKeyDown(0xA2));
}

TEST_F(WindowsSystemGLTest, KeysTypedWithAltAndF10AreSystemKeysNotTheGames) {
    // Each step is pumped and checked before InputSystem clears the edges.
    auto pump = [&] { windows->Update(0.016f); };
    // Alt, and a key and its character typed while it is held: no input, no kMsgCharTyped.
    TestPushKey(0xA4, true);
    TestPushKey(0x41, true);
    TestPushText("a");
    pump();
    EXPECT_FALSE(input->WasKeyPressed(0x41));
    EXPECT_FALSE(input->HoldsKey(0x41));
    EXPECT_FALSE(input->HoldsKey(0x12));
    EXPECT_FALSE(input->HoldsKey(0xA4));
    EXPECT_TRUE(recorder.Of(31, 1).empty());
    input->Update(0.016f);
    TestPushKey(0x41, false);
    TestPushKey(0xA4, false);
    pump();
    EXPECT_FALSE(input->WasKeyReleased(0x41));
    EXPECT_FALSE(input->WasKeyReleased(0xA4));
    EXPECT_FALSE(input->WasKeyReleased(0x12));
    input->Update(0.016f);
    // F10 alone.
    TestPushKey(0x79, true);
    pump();
    EXPECT_FALSE(input->WasKeyPressed(0x79));
    EXPECT_FALSE(input->HoldsKey(0x79));
    input->Update(0.016f);
    TestPushKey(0x79, false);
    Frame();
    // A key held before Alt goes down is let go when released under Alt.
    TestPushKey(0x42, true);
    TestPushKey(0xA4, true);
    TestPushKey(0x42, false);
    pump();
    EXPECT_FALSE(input->HoldsKey(0x42));
    EXPECT_TRUE(input->WasKeyReleased(0x42));
    input->Update(0.016f);
    TestPushKey(0xA4, false);
    Frame();
    // Ctrl with Alt (AltGr typing) is ordinary input.
    TestPushKey(0xA2, true);
    TestPushKey(0xA4, true);
    TestPushKey(0x43, true);
    pump();
    EXPECT_TRUE(input->WasKeyPressed(0x43));
    EXPECT_TRUE(input->HoldsKey(0x43));
    input->Update(0.016f);
    TestPushKey(0x43, false);
    TestPushKey(0xA4, false);
    TestPushKey(0xA2, false);
    Frame();
    EXPECT_FALSE(input->HoldsKey(0x43));
    EXPECT_FALSE(input->HoldsKey(0x11));
    EXPECT_TRUE(services.engine->IsActive());
}

TEST_F(WindowsSystemGLTest, CloseRequestQuits) {
    TestPushClose();
    Frame();
    EXPECT_FALSE(services.engine->IsActive());
}

TEST_F(WindowsSystemGLTest, ActivationMessages) {
    TestPushFocus(false);
    TestPushFocus(true);
    Frame();
    ASSERT_EQ(2u, recorder.received.size());
    EXPECT_EQ(15u, recorder.received[0].argument);
    EXPECT_EQ(0, recorder.received[0].As<i32>());
    EXPECT_EQ(16u, recorder.received[1].argument);
    EXPECT_NE(0, recorder.received[1].As<i32>());
}

TEST_F(WindowsSystemGLTest, MouseEventsReachInputSystem) {
    TestPushMouseMove(40, 50);
    TestPushMouseButton(0, true, 40, 50);
    TestPushMouseMove(41, 52);
    TestPushMouseButton(2, true, 41, 52);  // middle: nothing
    Frame();
    EXPECT_EQ(41, input->MouseX());
    EXPECT_EQ(52, input->MouseY());
    EXPECT_TRUE(input->IsButtonDown(0));
    EXPECT_EQ(40, input->Button(0).x);
    EXPECT_FALSE(input->IsButtonDown(2));
    TestPushMouseButton(0, false, 41, 52);
    Frame();
    EXPECT_FALSE(input->IsButtonDown(0));
}

TEST_F(WindowsSystemGLTest, DroppedFilesDeliveredAsOneRecord) {
    DragAcceptFiles(windows->GetWindowHandle(), true);
    std::vector<std::string> seen;
    int32_t x = -1, y = -1;
    bool inside = false;
    recorder.onMessage = [&](Message* m) {
        const DropFiles* const* record = m->Read(kMsgFilesDropped);
        if (!record) return;
        const DropFiles* drop = *record;
        char buffer[255];
        unsigned count = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
        for (unsigned i = 0; i < count; ++i) {
            unsigned len = DragQueryFileA(drop, i, buffer, sizeof buffer);
            seen.emplace_back(buffer, len);
        }
        inside = DragQueryPoint(drop, &x, &y);
    };
    TestPushMouseMove(200, 100);
    TestPushDrop({"/tmp/one.bin", "/tmp/two.bin", "/tmp/three.bin"});
    Frame();
    ASSERT_EQ(1u, recorder.Of(32, 9).size());
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ("/tmp/three.bin", seen[2]);
    EXPECT_TRUE(inside);
    EXPECT_EQ(200, x);
    EXPECT_EQ(100, y);
}

TEST_F(WindowsSystemGLTest, PhysicalShiftFollowedEvenWhenNotDelivered) {
    // Taken off the queue without passing through the window procedure.
    TestPushKey(0xA0, true);
    WindowEvent e;
    while (windows->GetWindow()->PollEvent(&e)) {
    }
    EXPECT_TRUE(input->IsKeyDown(0x10));
    EXPECT_TRUE(input->IsKeyDown(0xA0));
    EXPECT_FALSE(input->IsCtrlHeld());
    TestPushKey(0xA0, false);
    while (windows->GetWindow()->PollEvent(&e)) {
    }
    EXPECT_FALSE(input->IsKeyDown(0x10));
}

TEST_F(WindowsSystemGLTest, SizeRequestWithBadNumbersStaysSane) {
    ::Broadcast(kMsgSetWindowSize, 0, D3DXVECTOR2{-5.0f, 1e30f});
    Frame();
    ClientRect rect = windows->GetWindow()->GetClientRect();
    EXPECT_GE(rect.right, 1);
    EXPECT_LE(rect.bottom, 16384);
}

TEST_F(WindowsSystemGLTest, ClickOnATweakPanelReachesNeitherInputNorHub) {
    ASSERT_EQ(1, TwInit(TW_OPENGL_CORE, nullptr));
    TwWindowSize(1024, 768);
    TwBar* bar = TwNewBar("Selected");
    TwDefine(" Selected position='0 0' size='300 300' ");
    int value = 0;
    TwAddVarRW(bar, "value", TW_TYPE_INT32, &value, "");
    TwDraw();
    TwDraw();
    TestPushMouseMove(50, 50);
    TestPushMouseButton(0, true, 50, 50);
    Frame();
    EXPECT_FALSE(input->IsButtonDown(0));
    EXPECT_NE(50, input->MouseX());
    TestPushMouseButton(0, false, 50, 50);
    TestPushMouseMove(600, 500);
    TestPushMouseButton(0, true, 600, 500);
    Frame();
    EXPECT_TRUE(input->IsButtonDown(0));
    EXPECT_EQ(600, input->MouseX());
    TestPushKey(0x41, true);  // no field is being edited: the key is the game's
    Frame();
    EXPECT_TRUE(input->IsKeyDown(0x41));
    TwTerminate();
    TwInspectReset();
}

}  // namespace
