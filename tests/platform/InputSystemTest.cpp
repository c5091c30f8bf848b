#include "platform/InputSystem.h"

#include "platform/WindowsSystem.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestServices.h"

namespace {

class InputSystemTest : public ::testing::Test {
protected:
    EngineServices services;
    InputSystem* input = new InputSystem();
    void SetUp() override { services.engine->AddSystem(input); }
    void EndFrame() { input->Update(0.016f); }
};

TEST_F(InputSystemTest, PressAndReleaseInOneFrameGivesBothEdgesNotHeld) {
    input->KeyPressed(0x41);
    input->KeyReleased(0x41);
    EXPECT_TRUE(input->WasKeyPressed(0x41));
    EXPECT_TRUE(input->WasKeyReleased(0x41));
    EXPECT_FALSE(input->IsKeyDown(0x41));
    EndFrame();
    EXPECT_FALSE(input->WasKeyPressed(0x41));
    EXPECT_FALSE(input->WasKeyReleased(0x41));
}

TEST_F(InputSystemTest, HeldKeyPressedEdgeOnlyInFirstFrame) {
    input->KeyPressed(0x20);
    EXPECT_TRUE(input->WasKeyPressed(0x20));
    EndFrame();
    for (int frame = 0; frame < 5; ++frame) {
        EXPECT_TRUE(input->IsKeyDown(0x20));
        EXPECT_FALSE(input->WasKeyPressed(0x20));
        EndFrame();
    }
    input->KeyReleased(0x20);
    EXPECT_TRUE(input->IsKeyUp(0x20));
    EXPECT_TRUE(input->WasKeyReleased(0x20));
}

TEST_F(InputSystemTest, CtrlHeldIsTheGenericCode) {
    input->KeyPressed(0xA2);
    EXPECT_FALSE(input->IsCtrlHeld());
    input->KeyPressed(0x11);
    EXPECT_TRUE(input->IsCtrlHeld());
}

TEST_F(InputSystemTest, ButtonPressedAndReleasedInOneFrameNeverReportsReleased) {
    input->ButtonDown(0, 5, 6);
    input->ButtonUp(0);
    EXPECT_FALSE(input->MouseButtonReleased(0));
    EndFrame();
    EXPECT_FALSE(input->MouseButtonReleased(0));
}

TEST_F(InputSystemTest, ReleasedTrueInExactlyTheFrameOfTheButtonUp) {
    input->ButtonDown(1, 5, 6);
    EXPECT_TRUE(input->IsButtonDown(1));
    EXPECT_EQ(5, input->Button(1).x);
    EndFrame();
    EXPECT_FALSE(input->MouseButtonReleased(1));
    input->ButtonUp(1);
    EXPECT_TRUE(input->MouseButtonReleased(1));
    EXPECT_EQ(0, input->Button(1).x);  // the whole record is cleared
    EndFrame();
    EXPECT_FALSE(input->MouseButtonReleased(1));
}

TEST_F(InputSystemTest, DraggedOnlyWithThatButtonAlone) {
    input->ButtonDown(0, 0, 0);
    input->MouseMoved(1, 1, 1 | 4);  // left with Shift
    EXPECT_FALSE(input->IsButtonDragged(0));
    input->MouseMoved(2, 2, 3);  // both buttons
    EXPECT_FALSE(input->IsButtonDragged(0));
    EXPECT_FALSE(input->IsButtonDragged(1));
    input->MouseMoved(3, 3, 1);
    EXPECT_TRUE(input->IsButtonDragged(0));
    input->ButtonDown(0, 4, 4);  // a new down keeps the flag
    EXPECT_TRUE(input->IsButtonDragged(0));
    input->MouseMoved(4, 4, 2);
    EXPECT_TRUE(input->IsButtonDragged(1));
}

TEST_F(InputSystemTest, ThirdButtonAndOutOfRangeAlwaysUp) {
    input->ButtonDown(2, 1, 1);  // recorded, but no window event sets it
    input->ButtonDown(7, 1, 1);
    EXPECT_FALSE(input->IsButtonDown(7));
    EXPECT_FALSE(input->MouseButtonReleased(7));
    EXPECT_FALSE(input->Button(7).down);
}

TEST_F(InputSystemTest, PreviousPositionFollowsEveryMove) {
    input->MouseMoved(10, 20, 0);
    input->MouseMoved(30, 40, 0);
    EXPECT_EQ(10, input->PreviousMouseX());
    EXPECT_EQ(20, input->PreviousMouseY());
    EXPECT_EQ(30, input->MouseX());
    input->MouseMoved(50, 60, 0);
    EXPECT_EQ(30, input->PreviousMouseX());
}

TEST_F(InputSystemTest, KeepsWindowHandleOfAnnouncement) {
    ::Broadcast(kMsgWindowCreated, 0, WindowCreatedData{7, 0x1234567890ull});
    EXPECT_EQ(0x1234567890ull, input->GetWindowHandle());
}

TEST_F(InputSystemTest, SingletonClearedWithTheSystem) {
    EXPECT_EQ(input, InputSystem::Instance());
    services.engine->RemoveSystem(input);
    EXPECT_EQ(nullptr, InputSystem::Instance());
}

}  // namespace
