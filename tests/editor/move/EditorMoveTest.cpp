// Moving objects with the keys and undoing it: the undo history (Ctrl+Z,
// Ctrl+Y), the keyboard movers with their axis locks, repeat timing, world
// and own axes, rotate mode, and which object a marker's move applies to.
#include <cmath>
#include <utility>
#include <vector>

#include "editor/menus/EditorUISystem.h"
#include "editor/move/ObjectPositionControl.h"
#include "editor/proxy/WaypointProxyVisualization.h"
#include "game/track/PlayerPath.h"
#include "render/camera/Camera.h"
#include "render/mesh/Model.h"
#include "tests/editor/EditorKeysWorld.h"

namespace {
using EditorMoveTest = EditorKeysFixture;

TEST_F(EditorMoveTest, CtrlZUndoesStepsInTurnAndThenDoesNothingWithEitherCtrlKey) {
    const u32 object = AddSceneObject({1, 2, 3});
    Select(object);
    ObjectKeys();
    Tap(kKeyW);
    Tap(kKeyW);
    ExpectNear(World(object), {1, 4, 3});
    Tap(kKeyZ, kLeftCtrl);
    ExpectNear(World(object), {1, 3, 3}, "first undo");
    Tap(kKeyZ, kRightCtrl);
    ExpectNear(World(object), {1, 2, 3}, "second undo, right Ctrl");
    Tap(kKeyZ, kLeftCtrl);
    ExpectNear(World(object), {1, 2, 3}, "nothing left");
    EXPECT_TRUE(undo->GetUndoStack().empty());
    EXPECT_EQ(undo->GetRedoStack().size(), 2u);
    Tap(kKeyZ);
    EXPECT_EQ(undo->GetRedoStack().size(), 2u) << "Z alone is the axis lock, not undo";
}

// At a few frames a second the whole tap can fall within one frame: what
// counts is whether Ctrl was down when Z went down.
TEST_F(EditorMoveTest, CtrlZTappedWithinOneFrameUndoesAndLeavesTheZLockAsItWas) {
    struct Case {
        const char* order;
        std::vector<std::pair<u32, bool>> keys;  // in turn: key, down
        bool undone;
    };
    const Case cases[] = {
        {"Ctrl, Z, Z up, Ctrl up", {{kCtrl, true}, {kKeyZ, true}, {kKeyZ, false}, {kCtrl, false}}, true},
        {"Ctrl, Z, Ctrl up, Z up", {{kCtrl, true}, {kKeyZ, true}, {kCtrl, false}, {kKeyZ, false}}, true},
        {"Ctrl, Z, Ctrl up", {{kCtrl, true}, {kKeyZ, true}, {kCtrl, false}}, true},
        {"Z, Ctrl, Z up, Ctrl up", {{kKeyZ, true}, {kCtrl, true}, {kKeyZ, false}, {kCtrl, false}}, false},
    };
    ObjectKeys();
    for (const Case& c : cases) {
        const u32 object = AddSceneObject({1, 2, 3});
        Select(object);
        Tap(kKeyW);
        ExpectNear(World(object), {1, 3, 3}, c.order);
        const float lockBefore = Settings().axisLocks.z;
        for (const auto& [key, down] : c.keys) {
            if (down)
                input->KeyPressed(key);
            else
                input->KeyReleased(key);
        }
        RunFrame();
        for (const auto& [key, down] : c.keys) input->KeyReleased(key);
        RunFrame();
        ExpectNear(World(object), c.undone ? D3DXVECTOR3{1, 2, 3} : D3DXVECTOR3{1, 3, 3}, c.order);
        EXPECT_EQ(Settings().axisLocks.z != lockBefore, !c.undone) << c.order;
        Settings().axisLocks.z = 0;
    }
}

TEST_F(EditorMoveTest, RedoReturnsToWhereTheUndoStartedAndANewMoveEmptiesIt) {
    const u32 object = AddSceneObject({0, 0, 0});
    Select(object);
    ObjectKeys();
    Tap(kKeyW);  // A (0, 0, 0) to B (0, 1, 0)
    Tap(kKeyZ, kLeftCtrl);
    ExpectNear(World(object), {0, 0, 0});
    Tap(kKeyY, kLeftCtrl);
    ExpectNear(World(object), {0, 1, 0}, "redo: at B");
    Tap(kKeyZ, kLeftCtrl);
    ExpectNear(World(object), {0, 0, 0}, "undo of the redo: at A");

    Tap(kKeyW);
    EXPECT_TRUE(undo->GetRedoStack().empty());
    Tap(kKeyY, kRightCtrl);
    ExpectNear(World(object), {0, 1, 0}, "redo after a new move does nothing");
}

TEST_F(EditorMoveTest, ADeletedObjectsRecordIsConsumedWithoutEffect) {
    const u32 keep = AddSceneObject({0, 0, 0});
    const u32 doomed = AddSceneObject({5, 0, 0});
    undo->Record({keep, 0, 7, 0});
    undo->Record({doomed, 9, 9, 9});
    Overlord::Instance()->UnregisterGameObject(doomed);
    EndFrame();
    undo->Undo();
    EXPECT_EQ(undo->GetRedoStack().size(), 1u);
    ExpectNear(World(keep), {0, 0, 0});
    undo->Undo();
    ExpectNear(World(keep), {0, 7, 0});
    undo->Redo();
    undo->Redo();
    EXPECT_TRUE(undo->GetRedoStack().empty());
    EXPECT_EQ(undo->GetUndoStack().size(), 2u);
}

TEST_F(EditorMoveTest, AChildIsPutBackAtItsRecordedWorldPosition) {
    const u32 parent = AddSceneObject({10, 0, 0});
    const u32 child = AddSceneObject({1, 2, 3});
    Object(child)->SetParent(parent);
    Object(child)->GetComponent<Transform>()->SetWorldPosition({1, 2, 3});
    undo->Record({child, 1, 2, 3});
    Object(parent)->GetComponent<Transform>()->position = {-4, 5, 6};
    undo->Undo();
    ExpectNear(World(child), {1, 2, 3});
}

TEST_F(EditorMoveTest, StackTravelSurvivesASceneClear) {
    const u32 object = AddSceneObject({0, 0, 0});
    undo->Record({object, 1, 1, 1});
    SceneManager::Instance()->ClearScene();
    EXPECT_EQ(undo->GetUndoStack().size(), 1u);
}

TEST_F(EditorMoveTest, NoAxisEnabledMovesNothingAndOneStepIsOneRecordOfThePreMovePosition) {
    const u32 object = AddSceneObject({1, 2, 3});
    Settings().objectMoveSpeed = 2.5f;
    Select(object);
    ObjectKeys(0);
    recorder->rows.clear();
    Tap(kKeyW);
    ExpectNear(World(object), {1, 2, 3});
    EXPECT_EQ(Records(), 0u);
    Tap(kKeyY);
    Tap(kKeyW);
    ExpectNear(World(object), {1, 4.5f, 3});
    ASSERT_EQ(undo->GetUndoStack().size(), 1u);
    const MoveRecord& record = undo->GetUndoStack().back();
    EXPECT_EQ(record.objectId, object);
    ExpectNear({record.x, record.y, record.z}, {1, 2, 3});
}

TEST_F(EditorMoveTest, AMoveKeyOnAnObjectWithoutTransformSaysSo) {
    GameObject* trigger = ObjectFactory::Instance()->NewGameObject();
    trigger->AddComponent(ObjectFactory::Instance()->GetPrototype("TimeLord")->Clone());
    SceneManager::Instance()->GetObjectIds().push_back(trigger->GetId());
    proxies->CreateProxy(*trigger);
    Tap(0x09);
    ASSERT_EQ(editor->GetSelectedObject(), trigger->GetId());
    ObjectKeys(0x58);
    Tap(kKeyD);
    EXPECT_EQ(editor->GetUISystem()->NoticeLine(),
              "Move: TimeLord (GUID " + std::to_string(trigger->GetId()) + ") has no Transform; nothing moved");
    EXPECT_EQ(Records(), 0u);
}

// The axis locks start all off: a move key then says which key enables its
// axis, in either mode.
TEST_F(EditorMoveTest, AMoveKeyOnAnAxisThatIsOffSaysWhichKeyEnablesIt) {
    const u32 object = AddSceneObject({1, 2, 3});
    Select(object);
    ObjectKeys(0);
    Tap(kKeyW);
    ExpectNear(World(object), {1, 2, 3});
    EXPECT_EQ(editor->GetUISystem()->NoticeLine(),
              "Move: the y axis is off; press Y (or tick \"Y-Axis locked\" in Main Menu) to move along it");
    Settings().rotateMode = true;
    RunFrame();
    Tap(0x51);  // Q
    EXPECT_EQ(editor->GetUISystem()->NoticeLine(),
              "Move: the z axis is off; press Z (or tick \"Z-Axis locked\" in Main Menu) to turn about it");
    EXPECT_EQ(Records(), 0u);
}

TEST_F(EditorMoveTest, NothingSelectedSwitchesTheMoverOffWithoutARecord) {
    ObjectKeys();
    input->KeyPressed(kKeyW);
    RunFrame();
    RunFrame();
    input->KeyReleased(kKeyW);
    RunFrame();
    EXPECT_EQ(Records(), 0u);
}

TEST_F(EditorMoveTest, AHeldKeyStepsOnThePressAfterSixTenthsAndThenEveryTenth) {
    const u32 object = AddSceneObject({0, 0, 0});
    Select(object);
    ObjectKeys();
    const float dt = 0.07f;
    input->KeyPressed(kKeyW);
    std::vector<int> stepFrames;
    float last = 0.0f;
    for (int frame = 0; frame < 14; ++frame) {
        RunFrame(dt);
        const float y = World(object).y;
        if (y != last) stepFrames.push_back(frame);
        last = y;
    }
    input->KeyReleased(kKeyW);
    RunFrame(dt);
    // Frame 8 ends 0.63 s after the press: the repeat is due within that frame.
    EXPECT_EQ(stepFrames, (std::vector<int>{0, 8, 10, 12}));
}

TEST_F(EditorMoveTest, RotateModeTurnsAboutTheKeysAxisByTheStep) {
    const u32 object = AddSceneObject({0, 0, 0});
    Settings().rotateStepAngleDegrees = 90.0f;
    Settings().axisLocks = {1, 0, 0};
    Settings().rotateMode = true;
    Select(object);
    ObjectKeys(0);
    Tap(kKeyD);
    const D3DXQUATERNION q = Object(object)->GetComponent<Transform>()->rotation;
    EXPECT_NEAR(q.x, std::sqrt(0.5f), 1e-4f);
    EXPECT_NEAR(q.w, std::sqrt(0.5f), 1e-4f);
    ExpectNear(World(object), {0, 0, 0}, "turned, not moved");
}

TEST_F(EditorMoveTest, WithWorldAxesOffAStepFollowsTheObjectsDrawnAxes) {
    const u32 object = AddSceneObject({0, 0, 0});
    Object(object)->GetComponent<Transform>()->rotation = {0, std::sqrt(0.5f), 0, std::sqrt(0.5f)};
    Settings().axisLocks = {1, 0, 0};
    Settings().objectMoveSpeed = 2.0f;
    Select(object);
    ObjectKeys(0);
    Settings().objectMoveMode = false;  // M turned world axes on
    RunFrame();
    Tap(kKeyD);
    ExpectNear(World(object), {0, 0, -2});
}

TEST_F(EditorMoveTest, AChildsWorldAxisStepMovesItAlongTheWorldAxis) {
    const u32 parent = AddSceneObject({5, 0, 0});
    Object(parent)->GetComponent<Transform>()->rotation = {0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};
    Object(parent)->GetComponent<Transform>()->scale = 2.0f;
    const u32 child = AddSceneObject({1, 0, 0});
    Object(child)->SetParent(parent);
    const D3DXVECTOR3 before = World(child);
    Select(child);
    ObjectKeys();
    Tap(kKeyW);
    ExpectNear(World(child), before + D3DXVECTOR3(0, 1, 0));
}

TEST_F(EditorMoveTest, TabThenAStepMovesTheNewSelection) {
    const u32 a = AddSceneObject({0, 0, 0});
    const u32 b = AddSceneObject({9, 0, 0});
    proxies->CreateProxy(*Object(a));
    proxies->CreateProxy(*Object(b));
    Select(a);
    ObjectKeys();
    Tap(0x09);
    ASSERT_EQ(editor->GetSelectedObject(), b);
    Tap(kKeyW);
    ExpectNear(World(a), {0, 0, 0});
    ExpectNear(World(b), {9, 1, 0});
}

// A marker (a track's, a trigger's, an empty object's) stands for its
// object: the object moves, the marker follows, and undo puts the object back.
TEST_F(EditorMoveTest, MovingAMarkerMovesItsObjectAndUndoPutsTheTrackBack) {
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 10}, {0, 0, 0, 1}}};
    const u32 track = AddSceneObject({0, 0, 0});
    Object(track)->AddComponent(path);
    const u32 empty = AddSceneObject({3, 0, 0});
    for (u32 id : {track, empty}) {
        const u32 marker = proxies->CreateProxy(*Object(id));
        ASSERT_TRUE(Object(marker)->GetComponent<Model>());
        Select(id);
        editor->SetPickedObject(marker);
        if (id == track) ObjectKeys();
        Tap(kKeyW);
        EXPECT_EQ(World(id).y, 1.0f) << "the object moved";
        ExpectNear(World(marker), World(id), "the marker follows");
        if (id == track) {
            // Rebuilt (by the Editor's frame): the line follows the track.
            const Transform* line = Overlord::FindComponent<Transform>(path->lineObjectId);
            ASSERT_TRUE(line);
            EXPECT_EQ(line->position.y, 1.0f);
        }
        Tap(kKeyZ, kLeftCtrl);
        EXPECT_EQ(World(id).y, 0.0f) << "undo moves the object back";
    }
}

TEST_F(EditorMoveTest, MovingAWaypointMarkerRewritesItsWaypointAndUndoToo) {
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 10}, {0, 0, 0, 1}}};
    const u32 track = AddSceneObject({2, 0, 0});
    Object(track)->AddComponent(path);
    proxies->CreateProxy(*Object(track));
    const u32 second = proxies->GetWaypointProxies(track).at(1);
    Select(track);
    editor->SetPickedObject(second);
    ObjectKeys();
    Tap(kKeyW);
    ExpectNear(path->wps[1].pos, {0, 1, 10});
    ExpectNear(path->wps[0].pos, {0, 0, 0}, "the other waypoint stays");
    ExpectNear(World(track), {2, 0, 0}, "the track stays");
    // Rebuilt (by the Editor's frame, the track being selected).
    ASSERT_EQ(path->spline.points.size(), 2u);
    ExpectNear(path->spline.points[1], {0, 1, 10});
    Tap(kKeyZ, kLeftCtrl);
    ExpectNear(path->wps[1].pos, {0, 0, 10});
    ExpectNear(path->spline.points[1], {0, 0, 10});
}

// The mouse drag: the real controls, with a view straight down +z from the
// origin (identity matrices) over a 100 x 100 client area.
class EditorDragTest : public EditorMoveTest {
protected:
    void SetUp() override {
        EditorMoveTest::SetUp();
        D3DXMatrixIdentity(&identity_);
        ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 100, 100});
        const D3DXMATRIX* matrix = &identity_;
        ::Broadcast(kMsgViewMatrix, 0, matrix);
        ::Broadcast(kMsgProjectionMatrix, 0, matrix);
        ::Broadcast(kMsgActiveCamera, 0, editor->GetCurrentCamera());
    }
    // A selected object with a model of half-size 0.5, and its proxy picked.
    u32 AddSelectedModel(const D3DXVECTOR3& position) {
        const u32 id = AddSceneObject(position);
        auto* model = ObjectFactory::Instance()->Create<Model>();
        model->extent = {0.5f, 0.5f, 0.5f};
        Object(id)->AddComponent(model);
        const u32 proxy = proxies->CreateProxy(*Object(id));
        Select(id);
        editor->SetPickedObject(proxy);
        return id;
    }
    // Press at the first point, move through the rest, release.
    void Drag(std::initializer_list<std::pair<int, int>> points, u32 key = 0) {
        auto at = points.begin();
        input->MouseMoved(at->first, at->second, 0);
        RunFrame();
        if (key) input->KeyPressed(key);
        input->ButtonDown(0, at->first, at->second);
        RunFrame();
        for (++at; at != points.end(); ++at) {
            input->MouseMoved(at->first, at->second, 1);
            RunFrame();
        }
        input->ButtonUp(0);
        if (key) input->KeyReleased(key);
        RunFrame();
        RunFrame();
    }
    D3DXMATRIX identity_;
};

TEST_F(EditorDragTest, ADragSlidesOverTheObjectsHeightAsOneRecord) {
    const u32 object = AddSelectedModel({0, -1, 5});
    Drag({{50, 60}, {55, 60}, {70, 60}, {60, 60}});
    ExpectNear(World(object), {1, -1, 5});
    ASSERT_EQ(undo->GetUndoStack().size(), 1u);
    Tap(kKeyZ, kLeftCtrl);
    ExpectNear(World(object), {0, -1, 5});
}

TEST_F(EditorDragTest, ACtrlDragWithYEnabledOnlyRaisesOrLowers) {
    const u32 object = AddSelectedModel({0, -1, 5});
    Settings().axisLocks = {0, 1, 0};
    RunFrame();
    Drag({{50, 60}, {55, 60}, {60, 40}}, kCtrl);
    EXPECT_EQ(World(object).x, 0.0f);
    EXPECT_EQ(World(object).z, 5.0f);
    EXPECT_GT(World(object).y, -1.0f);
}

TEST_F(EditorDragTest, ADragStartingBesideTheSelectionMovesNothing) {
    const u32 object = AddSelectedModel({0, -1, 5});
    Drag({{5, 95}, {10, 95}, {20, 95}});
    ExpectNear(World(object), {0, -1, 5});
    EXPECT_TRUE(undo->GetUndoStack().empty());
}

// Undo keeps positions only: Ctrl+Z after a turn puts the marker's waypoint
// back where the drag began, which a turn leaves as it was.
TEST_F(EditorDragTest, ARotatingDragOfAWaypointMarkerTurnsItsWaypointAsOneRecord) {
    auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, -1, 5}, {0, 0, 0, 1}}};
    const u32 track = AddSceneObject({0, 0, 0});
    Object(track)->AddComponent(path);
    proxies->CreateProxy(*Object(track));
    Select(track);
    editor->SetPickedObject(proxies->GetWaypointProxies(track).at(1));
    Settings().rotateMode = true;
    Settings().axisLocks = {1, 1, 1};
    RunFrame();
    Drag({{50, 60}, {55, 60}, {70, 60}});
    const D3DXQUATERNION turned = path->wps[1].orientation;
    EXPECT_LT(std::fabs(turned.w), 0.999f) << "the waypoint did not turn";
    ExpectNear(path->wps[1].pos, {0, -1, 5}, "a turn leaves the waypoint where it is");
    EXPECT_EQ(path->wps[0].orientation.w, 1.0f) << "the other waypoint stays";
    EXPECT_EQ(undo->GetUndoStack().size(), 1u);
    Tap(kKeyZ, kLeftCtrl);
    ExpectNear(path->wps[1].pos, {0, -1, 5});
    EXPECT_TRUE(undo->GetUndoStack().empty());
}

TEST_F(EditorDragTest, InsertPutsTheSelectionTwiceItsSizeInFrontOfTheCamera) {
    auto* camera = dynamic_cast<Camera*>(Overlord::Instance()->GetComponentById(graphics->GetActiveCameraId()));
    ASSERT_TRUE(camera);
    D3DXVECTOR3 direction = camera->GetLookAt() - camera->GetPosition();
    D3DXVec3Normalize(&direction, &direction);
    const u32 model = AddSelectedModel({0, -1, 5});
    Object(model)->GetComponent<Model>()->extent = {1, 2, 2};
    Tap(0x2D);
    ExpectNear(World(model), camera->GetPosition() + direction * 6.0f);
    EXPECT_EQ(undo->GetUndoStack().size(), 1u);
    const u32 empty = AddSceneObject({9, 9, 9});
    Select(empty);
    Tap(0x2D);
    ExpectNear(World(empty), camera->GetPosition() + direction);
}
}  // namespace
