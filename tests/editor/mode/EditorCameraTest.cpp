// The Editor's camera commands (home, ortho step, cycling), waypoints added
// in front of the camera, and model files dropped on the window.
#include <cmath>
#include <cstdlib>

#include "editor/proxy/EditorProxySystem.h"
#include "editor/proxy/WaypointProxyVisualization.h"
#include "game/track/PlayerPath.h"
#include "port/window/WindowEvent.h"
#include "render/camera/Camera.h"
#include "render/mesh/Model.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorCameraTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Enter();
        proxies = editor->GetProxySystem();
    }
    Camera* CameraOf(u32 componentId) const {
        return dynamic_cast<Camera*>(Overlord::Instance()->GetComponentById(componentId));
    }
    Transform* Eye(u32 componentId) const {
        return Overlord::FindComponent<Transform>(CameraOf(componentId)->GetOwner());
    }
    // Puts the free camera at the position, looking at the point.
    void Aim(const D3DXVECTOR3& position, const D3DXVECTOR3& at) {
        Transform* eye = Eye(editor->GetFreeRoamCamera());
        eye->SetPosition(position.x, position.y, position.z);
        D3DXQUATERNION facing, look = LookRotation(position, at);
        eye->SetRotation(*D3DXQuaternionConjugate(&facing, &look));
        eye->Update(0.0f);
    }
    // A scene object with a Model of that half-size, selected, with its proxy picked.
    u32 AddSelectedModel(const D3DXVECTOR3& position, const D3DXVECTOR3& extent) {
        const u32 id = AddSceneObject(position);
        auto* model = ObjectFactory::Instance()->Create<Model>();
        model->extent = extent;
        Object(id)->AddComponent(model);
        proxies->CreateProxy(*Object(id));
        editor->SelectObject(id);
        editor->SetPickedObject(proxies->FindProxy(id));
        return id;
    }
    // Whether the free camera looks at the point.
    void ExpectLooksAt(const D3DXVECTOR3& at) {
        Camera* camera = CameraOf(editor->GetFreeRoamCamera());
        D3DXVECTOR3 look = camera->GetLookAt() - camera->GetPosition(), want = at - camera->GetPosition();
        D3DXVec3Normalize(&look, &look);
        D3DXVec3Normalize(&want, &want);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR((&look.x)[i], (&want.x)[i], 1e-4f) << i;
    }
    static void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
        EXPECT_NEAR(a.x, b.x, 1e-4f);
        EXPECT_NEAR(a.y, b.y, 1e-4f);
        EXPECT_NEAR(a.z, b.z, 1e-4f);
    }

    EditorProxySystem* proxies = nullptr;
};

TEST_F(EditorCameraTest, HomeWithNothingSelectedResetsEachCamera) {
    Aim({3, 4, 5}, {0, 0, 0});
    ::Broadcast(kMsgCameraHome, 0, D3DXVECTOR3(9, 9, 9));
    Transform* free = Eye(editor->GetFreeRoamCamera());
    EXPECT_EQ(free->worldPosition, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(free->rotation, D3DXQUATERNION(0, 0, 0, 1));

    ::Broadcast(kMsgCycleCameras, 0, 0u);
    ASSERT_EQ(graphics->GetActiveCameraId(), editor->GetIsoCamera());
    ::Broadcast(kMsgCameraHome, 0, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Eye(editor->GetIsoCamera())->worldPosition, D3DXVECTOR3(0, 10, -10));
}

TEST_F(EditorCameraTest, HomeOnAModelStandsAboveAndBehindAtLeastTenAway) {
    AddSelectedModel({5, 0, 5}, {2, 0, 0});  // scaled size length 4
    ::Broadcast(kMsgCameraHome, 0, D3DXVECTOR3(0, 0, 0));
    ExpectNear(Eye(editor->GetFreeRoamCamera())->worldPosition, {5, 10, -5});
    ExpectLooksAt({5, 0, 5});

    editor->SelectObject(0);
    AddSelectedModel({5, 0, 5}, {10, 0, 0});  // length 20
    ::Broadcast(kMsgCameraHome, 0, D3DXVECTOR3(0, 0, 0));
    ExpectNear(Eye(editor->GetFreeRoamCamera())->worldPosition, {5, 20, -15});
    ExpectLooksAt({5, 0, 5});
}

TEST_F(EditorCameraTest, OrthoStepsWalkTheAxesAtTheSameDistance) {
    const D3DXVECTOR3 target(1, 2, 3);
    AddSelectedModel(target, {1, 1, 1});
    Aim(target + D3DXVECTOR3(3, 4, 12), target);  // 13 away
    const D3DXVECTOR3 axes[] = {{0, 13, 0}, {0, 0, 13}, {13, 0, 0}, {0, 13, 0}};
    for (const D3DXVECTOR3& offset : axes) {
        ::Broadcast(kMsgOrthoCameraStep, 0, D3DXVECTOR3(1, 1, 1));
        const D3DXVECTOR3 position = Eye(editor->GetFreeRoamCamera())->worldPosition;
        ExpectNear(position, target + offset);
        ExpectLooksAt(target);
        const D3DXQUATERNION q = Eye(editor->GetFreeRoamCamera())->rotation;
        EXPECT_FALSE(std::isnan(q.x + q.y + q.z + q.w)) << "straight down is a valid view";
    }
    // Back from axis 1 to 0, then from 0 to 2: the negative sides.
    ::Broadcast(kMsgOrthoCameraStep, 0, D3DXVECTOR3(-1, -1, -1));
    ExpectNear(Eye(editor->GetFreeRoamCamera())->worldPosition, target + D3DXVECTOR3(-13, 0, 0));
    ::Broadcast(kMsgOrthoCameraStep, 0, D3DXVECTOR3(-1, -1, -1));
    ExpectNear(Eye(editor->GetFreeRoamCamera())->worldPosition, target + D3DXVECTOR3(0, 0, -13));
    ExpectLooksAt(target);
}

TEST_F(EditorCameraTest, OrthoStepAndHomeNeedSomethingToLookAt) {
    const u32 object = AddSelectedModel({0, 0, 0}, {1, 1, 1});
    Aim({0, 0, 0}, {0, 0, 1});  // on the target
    ::Broadcast(kMsgOrthoCameraStep, 0, D3DXVECTOR3(1, 1, 1));
    EXPECT_EQ(Eye(editor->GetFreeRoamCamera())->worldPosition, D3DXVECTOR3(0, 0, 0));
    Aim({0, 0, -5}, {0, 0, 0});
    ::Broadcast(kMsgOrthoCameraStep, 0, D3DXVECTOR3(1, 1, 1));
    // The axis did not move on: the first step that acts goes to axis 1.
    ExpectNear(Eye(editor->GetFreeRoamCamera())->worldPosition, {0, 5, 0});

    // The selection's model gone: nothing to look at.
    Object(object)->RemoveComponent(TypeId<Model>::Get());
    Aim({0, 0, -5}, {0, 0, 0});
    ::Broadcast(kMsgCameraHome, 0, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Eye(editor->GetFreeRoamCamera())->worldPosition, D3DXVECTOR3(0, 0, -5));
    editor->SetPickedObject(0);
    ::Broadcast(kMsgOrthoCameraStep, 0, D3DXVECTOR3(1, 1, 1));
    EXPECT_EQ(Eye(editor->GetFreeRoamCamera())->worldPosition, D3DXVECTOR3(0, 0, -5));
}

TEST_F(EditorCameraTest, TwoCyclesGiveBackTheCameraAndTheStack) {
    const std::deque<u32> stack = graphics->GetLists().cameras.Ids();
    const u32 free = editor->GetFreeRoamCamera();
    ::Broadcast(kMsgCycleCameras, 0, 0u);
    EXPECT_EQ(editor->GetCurrentCamera(), editor->GetIsoCamera());
    EXPECT_EQ(graphics->GetActiveCameraId(), editor->GetIsoCamera());
    ::Broadcast(kMsgCycleCameras, 0, 0u);
    EXPECT_EQ(editor->GetCurrentCamera(), free);
    EXPECT_EQ(graphics->GetLists().cameras.Ids(), stack);
}

TEST_F(EditorCameraTest, AWaypointGoesInFrontOfTheCameraInTheTracksSpace) {
    for (const D3DXVECTOR3& at : {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(10, 0, 0)}) {
        const u32 track = AddSceneObject(at);
        auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
        path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 10}, {0, 0, 0, 1}}};
        Object(track)->AddComponent(path);
        proxies->CreateProxy(*Object(track));
        editor->SelectObject(track);
        ::Broadcast(kMsgAddWaypoint, 0);
        ASSERT_EQ(path->wps.size(), 3u);
        ExpectNear(path->wps[2].pos, D3DXVECTOR3(0, 0, 1.90526f) - at);
        const std::vector<u32> waypoints = proxies->GetWaypointProxies(track);
        ASSERT_EQ(waypoints.size(), 3u);
        EXPECT_EQ(Overlord::FindComponent<WaypointProxyVisualization>(waypoints[2])->waypointIndex, 2u);
    }
    editor->SelectObject(0);
    ::Broadcast(kMsgAddWaypoint, 0);  // no track selected: nothing
}

class EditorDropTest : public EditorCameraTest {
protected:
    void SetUp() override {
        EditorCameraTest::SetUp();
        std::filesystem::create_directory(Path("model"));
        std::filesystem::copy_file(std::string(std::getenv("DD_ASSET_DIR")) + "/model/Ship.bin",
                                   Path("model/Ship.bin"));
        std::filesystem::create_directory(Path("folder"));
        ids = &SceneManager::Instance()->GetObjectIds();
    }
    static size_t LiveModels() {
        size_t count = 0;
        Overlord::Instance()->Components().ForEach(
            [&count](u32, IComponent* component) { count += component->GetTypeId() == TypeId<Model>::Get(); });
        return count;
    }
    std::vector<u32>* ids = nullptr;
};

TEST_F(EditorDropTest, AModelFileLandsOnTheGroundUnderThePointerSelected) {
    // Looking straight down from 10 up; pixel (0, 0) of the 1 x 1 test view
    // is the view direction (-1, 1, 1): down, left and forward.
    Aim({0, 10, 0}, {0, 0, 0});
    editor->OnFilesDropped(Path("Ship.bin"), 0, 0);
    ASSERT_EQ(ids->size(), 1u);
    GameObject* ship = Object(ids->front());
    ASSERT_NE(ship->GetComponent<Model>(), nullptr);
    EXPECT_EQ(ship->GetComponent<Model>()->filename, "Ship");
    ExpectNear(ship->GetComponent<Transform>()->worldPosition, {-10, 0, 10});
    EXPECT_EQ(editor->GetSelectedObject(), ship->GetId());
    EXPECT_NE(editor->GetPickedObject(), 0u);
    EXPECT_EQ(editor->GetPickedObject(), proxies->FindProxy(ship->GetId()));
    EXPECT_EQ(proxies->GetSelectedObject(), ship->GetId());
    EXPECT_EQ(proxies->GetSelectedProxy(), editor->GetPickedObject());
    EXPECT_EQ(proxies->GetProxies().size(), 1u) << "one proxy";

    // Looking level, the pointer's ray climbs: the origin.
    Aim({0, 0, 0}, {0, 0, 1});
    editor->OnFilesDropped(Path("Ship.bin"), 0, 0);
    ASSERT_EQ(ids->size(), 2u);
    EXPECT_EQ(Object(ids->back())->GetComponent<Transform>()->worldPosition, D3DXVECTOR3(0, 0, 0));
}

TEST_F(EditorDropTest, OtherFilesMakeNothingAndLeaveNoComponentBehind) {
    Write(Path("notes.txt"), "text");
    Write(Path("model/Broken.bin"), "not a model");
    const size_t models = LiveModels();
    for (const char* name : {"Ship.BIN", "notes.txt", "folder", "Missing.bin", "Broken.bin", ""})
        editor->OnFilesDropped(*name ? Path(name) : "", 0, 0);
    EndFrame();
    EXPECT_TRUE(ids->empty());
    EXPECT_EQ(LiveModels(), models);
    EXPECT_EQ(editor->GetSelectedObject(), 0u);
}

TEST_F(EditorDropTest, ThreeFilesAtOnceMakeThreeObjectsAndSelectTheLast) {
    const std::string path = Path("model/Ship.bin");
    const char* const files[] = {path.c_str(), path.c_str(), path.c_str()};
    DropFiles drop;
    drop.pointInClient = true;
    drop.fileCount = 3;
    drop.files = files;
    ::Broadcast(kMsgFilesDropped, 0, &drop);
    ASSERT_EQ(ids->size(), 3u);
    EXPECT_EQ(editor->GetSelectedObject(), ids->back());
    drop.pointInClient = false;
    ::Broadcast(kMsgFilesDropped, 0, &drop);
    EXPECT_EQ(ids->size(), 3u) << "dropped outside the window";
}
}  // namespace
