#include <gtest/gtest.h>

#include <cmath>

#include "RenderTestSupport.h"
#include "engine/Transform.h"
#include "render/camera/Camera.h"
#include "render/camera/ChaseView.h"
#include "render/camera/GameCamera.h"

class GraphicsSystem;

namespace {

constexpr float kHalfPi = 1.57079632679f;

class CameraTest : public RenderFixture {
protected:
    // A camera owned by a registered object, so messages reach it by id.
    template <class T>
    T* MakeRegistered(T* camera) {
        object = new GameObject();
        object->AddComponent(camera);
        return camera;
    }
    GameObject* object = nullptr;
};

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-5f) << "row " << r << " col " << c;
}

}  // namespace

TEST_F(CameraTest, PanMovesTheEyeAndFollowsLaterRotations) {
    Camera camera;
    camera.Pan(D3DXVECTOR3(1, 0, 0));
    ExpectVecNear(camera.GetPosition(), D3DXVECTOR3(1, 0, 0));
    ExpectVecNear(camera.GetMoveDelta(), D3DXVECTOR3(1, 0, 0));

    D3DXQUATERNION quarterTurn;
    const D3DXVECTOR3 yAxis(0, 1, 0);
    D3DXQuaternionRotationAxis(&quarterTurn, &yAxis, kHalfPi);
    camera.Rotate(quarterTurn);
    ExpectVecNear(camera.GetPosition(), D3DXVECTOR3(1, 0, 0));  // rotation alone moves nothing
    camera.Pan(D3DXVECTOR3(1, 0, 0));
    // The step is turned by the inverse of the orientation: +x becomes +z.
    ExpectVecNear(camera.GetPosition(), D3DXVECTOR3(1, 0, 1));
    ExpectVecNear(camera.GetMoveDelta(), D3DXVECTOR3(1, 0, 0));
    const D3DXQUATERNION q = camera.GetOrientation();
    EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, 1e-6f);
}

TEST_F(CameraTest, MessagesSetSwitchLookAtEyeAndPan) {
    Camera* camera = MakeRegistered(new Camera);
    SendTo(camera, kMsgCameraPosition, D3DXVECTOR3(1, 2, 3));
    SendTo(camera, kMsgCameraLookAt, D3DXVECTOR3(4, 5, 6));
    SendTo(camera, kMsgCameraPan, D3DXVECTOR3(0, 0, 2));
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(1, 2, 5));
    ExpectVecNear(camera->GetLookAt(), D3DXVECTOR3(4, 5, 6));
    EXPECT_EQ(camera->GetSwitch(), 1u);
    SendTo(camera, kMsgCameraSwitchOff);
    EXPECT_EQ(camera->GetSwitch(), 0u);
    SendTo(camera, kMsgCameraSwitch, u32{7});
    EXPECT_EQ(camera->GetSwitch(), 7u);
    SendTo(camera, kMsgCameraSwitchOn);
    EXPECT_EQ(camera->GetSwitch(), 1u);
    SendTo(camera, kMsgCameraPosition);  // no payload: ignored
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(1, 2, 5));
}

TEST_F(CameraTest, InitSubscribesToEyeLookAtSwitchAndOverlay) {
    Camera* camera = MakeRegistered(new Camera);
    camera->Init();
    EXPECT_TRUE(hub->IsSubscribed(kMsgCameraSwitch, camera->GetId()));
    EXPECT_TRUE(hub->IsSubscribed(kMsgCameraLookAt, camera->GetId()));
    EXPECT_TRUE(hub->IsSubscribed(kMsgCameraPosition, camera->GetId()));
    EXPECT_TRUE(hub->IsSubscribed(kMsgOverlayObject, camera->GetId()));
    EXPECT_FALSE(hub->IsSubscribed(kMsgCameraPan, camera->GetId()));
    Broadcast(kMsgCameraPosition, 0, D3DXVECTOR3(0, 9, 0));
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(0, 9, 0));
}

TEST_F(CameraTest, ViewMatrixIsTheLookAtOfEyeTargetAndUp) {
    Camera* camera = MakeRegistered(new Camera);
    SendTo(camera, kMsgCameraPosition, D3DXVECTOR3(0, 0, -10));
    SendTo(camera, kMsgCameraLookAt, D3DXVECTOR3(0, 0, 0));
    ExpectMatrixNear(camera->BuildView(), D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1));

    // Eye (3, 4, 5) looking at the origin: z = -(3, 4, 5) / sqrt 50,
    // x = normalise(up x z), y = z x x, last row -(x.eye, y.eye, z.eye).
    SendTo(camera, kMsgCameraPosition, D3DXVECTOR3(3, 4, 5));
    ExpectMatrixNear(camera->BuildView(), D3DXMATRIX(-0.8574929f, -0.2910428f, -0.4242641f, 0,  //
                                                     0, 0.8246211f, -0.5656854f, 0,             //
                                                     0.5144958f, -0.4850713f, -0.7071068f, 0,   //
                                                     0, 0, 7.0710678f, 1));
}

TEST_F(CameraTest, GameCameraInitQueuesChaseCameraForTheRendererAndABroadcast) {
    auto* marker = new GameCamera;
    marker->SetTargetOffset(4);
    GameObject* owner = new GameObject();
    owner->AddComponent(marker);
    auto* listener = new RecordingComponent;
    overlord->RegisterComponent(listener);
    listener->Subscribe(kMsgGameCameraObject);

    marker->Init();
    EXPECT_TRUE(listener->types.empty());  // queued, not delivered at once
    ASSERT_EQ(hub->QueuedCount(), 2u);
    hub->DispatchQueued();
    ASSERT_EQ(listener->types.size(), 1u);
    EXPECT_EQ(listener->payloads[0], owner->GetId());

    std::unique_ptr<IComponent> clone(marker->Clone());
    EXPECT_EQ(static_cast<GameCamera*>(clone.get())->GetTargetOffset(), 4);
}

namespace {

GameObject* PlacedObject(const D3DXVECTOR3& position) {
    auto* object = new GameObject();
    auto* transform = new Transform();
    transform->position = position;
    object->AddComponent(transform);
    transform->Init();
    return object;
}

}  // namespace

TEST_F(CameraTest, ChaseViewLooksAboveTheTargetAndKeepsTheFirstHeight) {
    GameObject* chaser = PlacedObject(D3DXVECTOR3(0, 10, -20));
    auto* marker = new GameCamera;
    marker->SetTargetOffset(2);
    chaser->AddComponent(marker);
    GameObject* track = PlacedObject(D3DXVECTOR3(0, 5, 0));
    GameObject* ship = PlacedObject(D3DXVECTOR3(0, -5, 0));  // at the origin below its track
    ASSERT_TRUE(ship->SetParent(track->GetId()));
    ExpectVecNear(overlord->GetComponent<Transform>(ship->GetId())->worldPosition, D3DXVECTOR3(0, 0, 0));

    ChaseView chase;
    D3DXMATRIX view;
    EXPECT_FALSE(chase.ComputeView(view));  // nothing set yet
    chase.SetChaseCamera(chaser->GetId());
    chase.SetChaseTarget(ship->GetId());
    ASSERT_TRUE(chase.ComputeView(view));
    EXPECT_FLOAT_EQ(chase.ChaseHeight(), 10.0f);
    D3DXMATRIX expected;
    const D3DXVECTOR3 eye(0, 10, -20), at(0, 12, 0), up(0, 1, 0);  // 2 + 10 above the ship, toward its parent
    D3DXMatrixLookAtLH(&expected, &eye, &at, &up);
    ExpectMatrixNear(view, expected);

    overlord->GetComponent<Transform>(chaser->GetId())->SetPosition(0, 30, -20);
    ASSERT_TRUE(chase.ComputeView(view));
    EXPECT_FLOAT_EQ(chase.ChaseHeight(), 10.0f);  // measured once
}

TEST_F(CameraTest, ChaseViewForgetsRemovedObjectsInsteadOfTouchingThem) {
    GameObject* chaser = PlacedObject(D3DXVECTOR3(0, 10, -20));
    GameObject* ship = PlacedObject(D3DXVECTOR3(0, 0, 0));
    GameObject* overlay = PlacedObject(D3DXVECTOR3(1, 1, 1));
    ChaseView chase;
    chase.SetChaseCamera(chaser->GetId());
    chase.SetChaseTarget(ship->GetId());
    chase.SetOverlay(overlay->GetId());
    EXPECT_EQ(chase.TargetOffset(), 0);  // no GameCamera on the object
    chase.HideOverlay();
    ExpectVecNear(overlord->GetComponent<Transform>(overlay->GetId())->worldPosition, D3DXVECTOR3(0, 0, -20000));

    overlord->UnregisterGameObject(ship->GetId());
    overlord->UnregisterGameObject(overlay->GetId());
    graveyard->Collect(1e9);
    D3DXMATRIX view;
    EXPECT_FALSE(chase.ComputeView(view));
    EXPECT_EQ(chase.OverlayTransform(), nullptr);
    chase.HideOverlay();
    EXPECT_NE(chase.ChaseCameraTransform(), nullptr);
    chase.Clear();
    EXPECT_EQ(chase.ChaseCameraTransform(), nullptr);
}
