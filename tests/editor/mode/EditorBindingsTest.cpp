// The editor's key bindings, played through the InputSystem and the
// GuiSystem as the window would feed them.
#include <cmath>

#include "editor/menus/EditorUISystem.h"
#include "render/camera/FreeRoamCamera.h"
#include "tests/editor/EditorKeysWorld.h"

namespace {
class EditorBindingsTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Enter();
        for (const Kind<u32>& kind : {kMsgSelectNextPrevious, kMsgCycleCameras, kMsgCopyObject, kMsgSelectObject,
                                      kMsgPickObject, kMsgToggleGroup, kMsgToggleObjectMoveMode})
            recorder->Listen(kind);
        recorder->Listen(kMsgCameraSpeed);
    }
    // Presses the key (with Ctrl held when asked) and runs two frames; the
    // messages of those frames.
    std::vector<std::string> Tap(u32 key, bool ctrl = false) {
        recorder->rows.clear();
        if (ctrl) input->KeyPressed(0x11);
        input->KeyPressed(key);
        Frame();
        input->KeyReleased(key);
        if (ctrl) input->KeyReleased(0x11);
        Frame();
        return recorder->rows;
    }
};

TEST_F(EditorBindingsTest, CtrlDecidesBetweenTheTwoMeaningsOfTabAndC) {
    EXPECT_EQ(Tap(0x09), std::vector<std::string>{"32,33=1"});
    EXPECT_EQ(Tap(0x09, true), std::vector<std::string>{"32,33=0"});
    EXPECT_EQ(Tap(0x43), std::vector<std::string>{"32,20=0"});
    EXPECT_EQ(Tap(0x43, true), std::vector<std::string>{"32,24=0"});
}

TEST_F(EditorBindingsTest, NumpadPlusThenMinusSendReciprocalSpeedFactors) {
    EXPECT_EQ(Tap(0x6B), std::vector<std::string>{"55,0=" + Bits(10.0f)});
    EXPECT_EQ(Tap(0x6D), std::vector<std::string>{"55,0=" + Bits(0.1f)});
}

TEST_F(EditorBindingsTest, CameraSpeedStaysInItsRangeAfterAHundredPressesEitherWay) {
    auto* camera = static_cast<FreeRoamCamera*>(Overlord::Instance()->GetComponentById(editor->GetFreeRoamCamera()));
    ASSERT_NE(camera, nullptr);
    for (int i = 0; i < 100; ++i) Tap(0x6B);
    EXPECT_EQ(camera->GetVelocity(), Camera::kMaxPanSpeed);
    // A pan then moves the camera a finite way, and minus brings it back.
    ::Broadcast(kMsgCameraPan, 0, D3DXVECTOR3(1, 0, 0));
    EXPECT_TRUE(std::isfinite(camera->GetPosition().x));
    EXPECT_NEAR(camera->GetPosition().x, Camera::kMaxPanSpeed, 1.0f);
    Tap(0x6D);
    EXPECT_NEAR(camera->GetVelocity(), Camera::kMaxPanSpeed / 10, 1e-3f);
    for (int i = 0; i < 100; ++i) Tap(0x6D);
    EXPECT_EQ(camera->GetVelocity(), Camera::kMinPanSpeed);
    Tap(0x6B);
    EXPECT_NEAR(camera->GetVelocity(), Camera::kMinPanSpeed * 10, 1e-6f) << "plus brings it back";
}

TEST_F(EditorBindingsTest, HeldEscapeDeselectsEverySecondFrame) {
    input->KeyPressed(0x1B);
    std::vector<size_t> counts;
    for (int frame = 1; frame <= 4; ++frame) {
        recorder->rows.clear();
        Frame();
        counts.push_back(recorder->rows.size());
        if (frame == 1) {
            EXPECT_EQ(recorder->rows, (std::vector<std::string>{"32,2=0", "32,3=0"}));
        }
    }
    EXPECT_EQ(counts, (std::vector<size_t>{2, 0, 2, 0}));
}

TEST_F(EditorBindingsTest, MTogglesBothMovementGroupsThenTellsTheModeChange) {
    EXPECT_EQ(Tap(0x4D), (std::vector<std::string>{"34,6=1", "34,6=2", "32,23=0"}));
    EXPECT_FALSE(gui->IsGroupEnabled(1));
    EXPECT_TRUE(gui->IsGroupEnabled(2));
    EXPECT_TRUE(menu->GetControlState().objectMoveMode);
}

// Keys pressed and let go within one slow frame, as the window's pump hands
// them over on a machine at 0.5 to 0.8 s a frame.
class EditorQuickKeyTest : public EditorKeysFixture {
protected:
    void QuickTap(u32 key, bool ctrl = false) {
        if (ctrl) input->KeyPressed(kCtrl);
        input->KeyPressed(key);
        input->KeyReleased(key);
        if (ctrl) input->KeyReleased(kCtrl);
        RunFrame(0.7f);
        RunFrame(0.7f);
    }
    D3DXVECTOR3 CameraPosition() const {
        return static_cast<Camera*>(Overlord::Instance()->GetComponentById(editor->GetFreeRoamCamera()))->GetPosition();
    }
};

TEST_F(EditorQuickKeyTest, AKeyLetGoWithinItsFrameStillCountsOnce) {
    // Escape lets the selection go: a component class then makes a new object.
    const u32 track = AddSceneObject({0, 0, 0});
    Select(track);
    QuickTap(0x1B);
    EXPECT_EQ(editor->GetSelectedObject(), 0u);
    const size_t objects = SceneManager::Instance()->GetObjectIds().size();
    ASSERT_TRUE(Press("ComponentsList", "TimeLord"));
    EXPECT_EQ(Object(track)->GetComponents().size(), 1u) << "nothing added to the object let go";
    EXPECT_EQ(SceneManager::Instance()->GetObjectIds().size(), objects + 1);

    // A, the object key that starts on a held key, steps once.
    const u32 ship = AddSceneObject({0, 0, 0});
    Select(ship);
    ObjectKeys(0x58);
    QuickTap(0x41);
    ExpectNear(World(ship), {-1, 0, 0});

    // The left arrow pans the camera for the one frame.
    Tap(kKeyM);
    const D3DXVECTOR3 before = CameraPosition();
    QuickTap(0x25);
    ExpectNear(CameraPosition(), before + D3DXVECTOR3(-1, 0, 0));

    // Ctrl+B starts a vertex snap, which Escape cancels.
    QuickTap(0x42, true);
    EXPECT_EQ(editor->GetUISystem()->NoticeLine().rfind("Snap: press on a vertex", 0), 0u);
    QuickTap(0x1B);
    EXPECT_EQ(editor->GetUISystem()->NoticeLine(), "Snap cancelled; nothing moved");
}

TEST_F(EditorQuickKeyTest, AComponentAddedToTheSelectionKeepsItDrawnSelected) {
    const u32 object = AddSceneObject({0, 0, 5});
    proxies->CreateProxy(*Object(object));
    Tap(0x09);
    ASSERT_EQ(editor->GetSelectedObject(), object);
    ASSERT_TRUE(Press("ComponentsList", "TimeLord"));
    RunFrame();
    const u32 proxy = proxies->FindProxy(object);
    ASSERT_NE(Object(proxy), nullptr);
    EXPECT_EQ(editor->GetPickedObject(), proxy);
    EXPECT_EQ(proxies->GetSelectedProxy(), proxy) << "the marker is drawn selected, as \"Selected\" shows it";
}
}  // namespace
