// The port window on SDL's offscreen driver: events pushed into SDL's queue
// come out as engine-style window events.
#include "port/window/AsyncKeyState.h"
#include "port/window/Cursor.h"
#include "port/window/DisplayServer.h"
#include "port/window/DragDrop.h"
#include "port/window/KeyMapping.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"
#include "tests/support/IgnoresFullScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(KeyMappingTest, LettersDigitsFunctionKeysAndSides) {
    EXPECT_EQ(0x41u, KeyMapping::VirtualKeyFromScancode(KeyMapping::ScancodeFromVirtualKey(0x41)));
    for (uint32_t vk :
         {0x41u, 0x5Au, 0x30u, 0x39u, 0x70u, 0x73u, 0x7Bu, 0x1Bu, 0x20u, 0x09u, 0x08u, 0x2Du, 0x2Eu, 0x24u,
          0x21u, 0x22u, 0x25u, 0x26u, 0x27u, 0x28u, 0x6Bu, 0x6Du, 0xA0u, 0xA1u, 0xA2u, 0xA3u, 0xA4u, 0xA5u}) {
        int scancode = KeyMapping::ScancodeFromVirtualKey(vk);
        ASSERT_NE(0, scancode) << std::hex << vk;
        EXPECT_EQ(vk, KeyMapping::VirtualKeyFromScancode(scancode)) << std::hex << vk;
    }
    EXPECT_EQ(0x11u, KeyMapping::GenericModifier(0xA2));
    EXPECT_EQ(0x11u, KeyMapping::GenericModifier(0xA3));
    EXPECT_EQ(0x10u, KeyMapping::GenericModifier(0xA1));
    EXPECT_EQ(0x12u, KeyMapping::GenericModifier(0xA4));
    EXPECT_EQ(0u, KeyMapping::GenericModifier(0x41));
}

TEST(CursorTest, CounterLikeWindows) {
    ResetCursorForTest();
    EXPECT_TRUE(IsCursorShown());
    EXPECT_EQ(-1, ShowCursor(false));
    EXPECT_FALSE(IsCursorShown());
    EXPECT_EQ(-2, ShowCursor(false));
    EXPECT_EQ(-1, ShowCursor(true));
    EXPECT_FALSE(IsCursorShown());
    EXPECT_EQ(0, ShowCursor(true));
    EXPECT_TRUE(IsCursorShown());
    EXPECT_EQ(1, ShowCursor(true));
    // No pointer image: hidden whatever the counter, until the counter changes.
    EXPECT_EQ(ArrowCursor(), SetCursor(nullptr));
    EXPECT_FALSE(IsCursorShown());
    EXPECT_EQ(0, ShowCursor(false));
    EXPECT_TRUE(IsCursorShown());
    ResetCursorForTest();
}

class PortWindowGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        window = PortWindow::Create("Q4nto", 320, 240, &error);
        ASSERT_TRUE(window) << error;
        Drain();
    }
    void TearDown() override { window.reset(); }

    std::vector<WindowEvent> Drain() {
        std::vector<WindowEvent> events;
        WindowEvent e;
        while (window->PollEvent(&e)) events.push_back(e);
        return events;
    }
    static std::vector<WindowEvent> OfKind(const std::vector<WindowEvent>& all, WindowEventKind kind) {
        std::vector<WindowEvent> out;
        for (const auto& e : all)
            if (e.kind == kind) out.push_back(e);
        return out;
    }

    std::unique_ptr<PortWindow> window;
};

TEST_F(PortWindowGLTest, ClientAreaExactlyAsAsked) {
    ClientRect rect = window->GetClientRect();
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(320, rect.right);
    EXPECT_EQ(240, rect.bottom);
    EXPECT_EQ(window.get(), PortWindow::FromHandle(window->Handle()));
    EXPECT_NE(0u, window->Handle());
}

TEST_F(PortWindowGLTest, ResizeReportsNewClientRectOnce) {
    window->SetClientSize(400, 300);
    auto resized = OfKind(Drain(), WindowEventKind::Resized);
    ASSERT_EQ(1u, resized.size());
    EXPECT_EQ(400, resized[0].rect.right);
    EXPECT_EQ(300, resized[0].rect.bottom);
    ClientRect rect = window->GetClientRect();
    EXPECT_EQ(400, rect.right);
    EXPECT_EQ(300, rect.bottom);
}

TEST_F(PortWindowGLTest, MinimisedGivesEmptyRectAndRestoreGivesSize) {
    TestPushMinimised();
    auto events = OfKind(Drain(), WindowEventKind::Resized);
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(0, events[0].rect.right);
    EXPECT_EQ(0, events[0].rect.bottom);
    EXPECT_EQ(0, window->GetClientRect().right);
    TestPushRestored();
    events = OfKind(Drain(), WindowEventKind::Resized);
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(320, events[0].rect.right);
    EXPECT_EQ(240, events[0].rect.bottom);
}

TEST_F(PortWindowGLTest, TheClientRectIsTheWindowSystemsNotTheSizeAskedFor) {
    IgnoresFullScreen server(320, 240);
    DisplayServer::Current().RequestFullScreen(window->NativeWindow(), true);
    int sdlWidth = 0, sdlHeight = 0;
    DisplayServer().ClientSize(window->NativeWindow(), &sdlWidth, &sdlHeight);
    ASSERT_NE(320, sdlWidth) << "SDL's own records take the request as carried out";
    EXPECT_TRUE(OfKind(Drain(), WindowEventKind::Resized).empty());
    EXPECT_EQ(320, window->GetClientRect().right);
    EXPECT_EQ(240, window->GetClientRect().bottom);
    // A window manager carrying it out later, with SDL saying nothing: one
    // Resized with the size the window got, at the end of the next pump.
    server.width = 1280;
    server.height = 1024;
    auto resized = OfKind(Drain(), WindowEventKind::Resized);
    ASSERT_EQ(1u, resized.size());
    EXPECT_EQ(1280, resized[0].rect.right);
    EXPECT_EQ(1024, resized[0].rect.bottom);
    EXPECT_TRUE(OfKind(Drain(), WindowEventKind::Resized).empty());
    DisplayServer::Current().RequestFullScreen(window->NativeWindow(), false);
}

TEST_F(PortWindowGLTest, LeftCtrlRecordedAsGenericAndLeftCodes) {
    TestPushKey(0xA2, true);
    TestPushKey(0xA3, true);
    TestPushKey(0xA2, false);
    TestPushKey(0xA3, false);
    auto events = Drain();
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(WindowEventKind::KeyDown, events[0].kind);
    EXPECT_EQ(0xA2u, events[0].vk);
    EXPECT_EQ(0x11u, events[0].genericVk);
    EXPECT_EQ(0xA3u, events[1].vk);
    EXPECT_EQ(0u, events[1].genericVk);  // Ctrl already held
    EXPECT_EQ(WindowEventKind::KeyUp, events[2].kind);
    EXPECT_EQ(0u, events[2].genericVk);  // right Ctrl still holds it
    EXPECT_EQ(0x11u, events[3].genericVk);
}

TEST_F(PortWindowGLTest, AsyncKeyStateFollowsPumpedKeys) {
    TestPushKey(0xA0, true);
    Drain();
    EXPECT_NE(0, GetAsyncKeyState(0x10) & 0x8000);
    EXPECT_NE(0, GetAsyncKeyState(0xA0) & 0x8000);
    EXPECT_EQ(0, GetAsyncKeyState(0xA1) & 0x8000);
    TestPushKey(0xA0, false);
    Drain();
    EXPECT_EQ(0, GetAsyncKeyState(0x10) & 0x8000);
}

TEST_F(PortWindowGLTest, ControlCharactersComeWithTheirKeys) {
    for (uint32_t vk : {0x09u, 0x08u, 0x0Du, 0x1Bu}) {
        TestPushKey(vk, true);
        TestPushKey(vk, false);
    }
    TestPushText("a\xC3\xA9\xE2\x82\xAC");  // a, e-acute, euro sign (no one-byte code)
    auto chars = OfKind(Drain(), WindowEventKind::Char);
    ASSERT_EQ(6u, chars.size());
    EXPECT_EQ(9u, chars[0].character);
    EXPECT_EQ(8u, chars[1].character);
    EXPECT_EQ(13u, chars[2].character);
    EXPECT_EQ(27u, chars[3].character);
    EXPECT_EQ(static_cast<uint32_t>('a'), chars[4].character);
    EXPECT_EQ(0xE9u, chars[5].character);
}

TEST_F(PortWindowGLTest, AltF4QuitsAltSDoesNot) {
    TestPushKey(0xA4, true);
    TestPushKey(0x53, true);
    TestPushText("s");
    TestPushKey(0x53, false);
    EXPECT_TRUE(OfKind(Drain(), WindowEventKind::Quit).empty());
    TestPushKey(0x73, true);
    EXPECT_EQ(1u, OfKind(Drain(), WindowEventKind::Quit).size());
    TestPushKey(0x73, false);
    TestPushKey(0xA4, false);
    TestPushKey(0x73, true);  // F4 alone
    EXPECT_TRUE(OfKind(Drain(), WindowEventKind::Quit).empty());
    TestPushKey(0x73, false);
    TestPushKey(0xA2, true);  // Ctrl+Alt+F4: not a system key
    TestPushKey(0xA4, true);
    TestPushKey(0x73, true);
    EXPECT_TRUE(OfKind(Drain(), WindowEventKind::Quit).empty());
    TestPushKey(0x73, false);
    TestPushKey(0xA4, false);
    TestPushKey(0xA2, false);
    Drain();
    TestPushClose();
    EXPECT_EQ(1u, OfKind(Drain(), WindowEventKind::Quit).size());
}

TEST_F(PortWindowGLTest, MouseMoveFlagsFromButtonsAndModifiers) {
    TestPushMouseButton(0, true, 10, 20);
    TestPushMouseMove(12, 22);
    TestPushKey(0xA0, true);
    TestPushMouseMove(13, 23);
    TestPushMouseButton(1, true, 13, 23);
    TestPushKey(0xA0, false);
    TestPushMouseMove(14, 24);
    auto moves = OfKind(Drain(), WindowEventKind::MouseMove);
    ASSERT_EQ(3u, moves.size());
    EXPECT_EQ(kMouseFlagLeft, moves[0].buttonFlags);
    EXPECT_EQ(12, moves[0].x);
    EXPECT_EQ(22, moves[0].y);
    EXPECT_EQ(kMouseFlagLeft | kMouseFlagShift, moves[1].buttonFlags);
    EXPECT_EQ(kMouseFlagLeft | kMouseFlagRight, moves[2].buttonFlags);
}

TEST_F(PortWindowGLTest, AReleaseInThePumpOfItsPressWaitsForTheNextPump) {
    TestPushMouseButton(0, true, 10, 20);
    TestPushKey(0x41, true);
    TestPushMouseButton(0, false, 10, 20);
    TestPushKey(0x41, false);
    TestPushMouseButton(1, true, 11, 21);
    auto first = Drain();
    ASSERT_EQ(2u, first.size()) << "the pump ends before the release";
    EXPECT_EQ(WindowEventKind::ButtonDown, first[0].kind);
    EXPECT_EQ(WindowEventKind::KeyDown, first[1].kind);
    auto second = Drain();
    ASSERT_EQ(3u, second.size());
    EXPECT_EQ(WindowEventKind::ButtonUp, second[0].kind);
    EXPECT_EQ(0u, second[0].button);
    EXPECT_EQ(WindowEventKind::KeyUp, second[1].kind);
    EXPECT_EQ(WindowEventKind::ButtonDown, second[2].kind);
    // A button held from an earlier pump, and keys, go in the pump they come.
    TestPushMouseButton(1, false, 11, 21);
    TestPushKey(0x42, true);
    TestPushKey(0x42, false);
    EXPECT_EQ(3u, Drain().size());
    EXPECT_TRUE(Drain().empty());
}

TEST_F(PortWindowGLTest, OneDropCollectsAllItsFilesAndTheMousePoint) {
    DragAcceptFiles(window->Handle(), true);
    TestPushMouseMove(100, 50);
    TestPushDrop({"/tmp/a.bin", "/tmp/b.bin", "/tmp/c.txt"});
    auto events = Drain();
    auto drops = OfKind(events, WindowEventKind::FilesDropped);
    ASSERT_EQ(1u, drops.size());
    // The record lives until the next poll; the drained copy's pointer is stale
    // now, so poll again step by step.
    TestPushDrop({"/tmp/a.bin", "/tmp/b.bin"});
    WindowEvent e;
    ASSERT_TRUE(window->PollEvent(&e));
    ASSERT_EQ(WindowEventKind::FilesDropped, e.kind);
    EXPECT_EQ(2u, DragQueryFileA(e.drop, 0xFFFFFFFFu, nullptr, 0));
    char buffer[255];
    EXPECT_EQ(10u, DragQueryFileA(e.drop, 1, buffer, sizeof buffer));
    EXPECT_STREQ("/tmp/b.bin", buffer);
    EXPECT_EQ(4u, DragQueryFileA(e.drop, 0, buffer, 5));  // truncated, NUL-terminated
    EXPECT_STREQ("/tmp", buffer);
    EXPECT_EQ(0u, DragQueryFileA(e.drop, 2, buffer, sizeof buffer));
    int32_t x = 0, y = 0;
    EXPECT_TRUE(DragQueryPoint(e.drop, &x, &y));
    EXPECT_EQ(100, x);
    EXPECT_EQ(50, y);
    EXPECT_FALSE(window->PollEvent(&e));
}

TEST_F(PortWindowGLTest, ADropTheQueueCannotHoldIsTakenBackWholeAndSaidSo) {
    DragAcceptFiles(window->Handle(), true);
    TestPushMouseMove(3, 4);  // an event of before stays
    std::vector<std::string> files(70000);
    for (size_t i = 0; i < files.size(); ++i) files[i] = "/tmp/f" + std::to_string(i) + ".bin";
    std::string error;
    EXPECT_FALSE(TestPushDrop(files, &error));
    EXPECT_NE(error.find("of the 70000 files"), std::string::npos) << error;
    const auto events = Drain();
    EXPECT_TRUE(OfKind(events, WindowEventKind::FilesDropped).empty());
    EXPECT_EQ(OfKind(events, WindowEventKind::MouseMove).size(), 1u);
    // The queue takes the next drop as before.
    EXPECT_TRUE(TestPushDrop({"/tmp/a.bin"}, &error));
    EXPECT_EQ(OfKind(Drain(), WindowEventKind::FilesDropped).size(), 1u);
}

TEST_F(PortWindowGLTest, DropsIgnoredUntilAccepted) {
    TestPushDrop({"/tmp/a.bin"});
    EXPECT_TRUE(OfKind(Drain(), WindowEventKind::FilesDropped).empty());
    DragAcceptFiles(window->Handle(), true);
    DragAcceptFiles(window->Handle(), false);
    TestPushDrop({"/tmp/a.bin"});
    EXPECT_TRUE(OfKind(Drain(), WindowEventKind::FilesDropped).empty());
}

TEST_F(PortWindowGLTest, FocusEventsBecomeActivation) {
    TestPushFocus(false);
    TestPushFocus(true);
    auto events = Drain();
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(WindowEventKind::Deactivated, events[0].kind);
    EXPECT_EQ(WindowEventKind::Activated, events[1].kind);
}

}  // namespace
