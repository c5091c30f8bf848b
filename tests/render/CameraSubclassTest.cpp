#include <gtest/gtest.h>

#include <cmath>

#include "RenderTestSupport.h"
#include "engine/Engine.h"
#include "engine/Transform.h"
#include "render/camera/FreeRoamCamera.h"
#include "render/camera/IsoCamera.h"
#include "render/camera/PathFollowCamera.h"

class EditorUISystem;

namespace {

constexpr float kHalfPi = 1.57079632679f;

D3DXQUATERNION AxisAngle(const D3DXVECTOR3& axis, float angle) {
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &axis, angle);
    return q;
}

class CameraSubclassTest : public RenderFixture {
protected:
    // An object with a Transform at `position` and the camera.
    template <class T>
    T* Attach(T* camera, const D3DXVECTOR3& position, bool withTransform = true) {
        GameObject* object = new GameObject();
        if (withTransform) {
            auto* transform = new Transform();
            transform->position = position;
            object->AddComponent(transform);
            transform->Init();
        }
        object->AddComponent(camera);
        camera->Init();
        return camera;
    }
    Transform* TransformOf(IComponent* component) { return overlord->GetComponent<Transform>(component->GetOwner()); }
};

}  // namespace

TEST_F(CameraSubclassTest, PathFollowTrailsFiftyUnitsAndThreeOnAFrameWithoutTime) {
    auto* camera = Attach(new PathFollowCamera, D3DXVECTOR3(0, 0, 0));
    camera->Update(0.016f);
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(0, 0, -50));
    camera->Update(0.0f);
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(0, 0, -3));
    ExpectVecNear(camera->GetLookAt(), D3DXVECTOR3(0, 0, 1));

    // Pan, rotate and position messages are ignored.
    SendTo(camera, kMsgCameraPan, D3DXVECTOR3(5, 0, 0));
    SendTo(camera, kMsgCameraRotate, AxisAngle(D3DXVECTOR3(0, 1, 0), 1.0f));
    SendTo(camera, kMsgCameraPosition, D3DXVECTOR3(9, 9, 9));
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(0, 0, -3));

    // The owner turned a quarter about y and moved: the camera trails along
    // the owner's new forward.
    Transform* transform = TransformOf(camera);
    transform->SetRotation(AxisAngle(D3DXVECTOR3(0, 1, 0), kHalfPi));
    transform->SetPosition(10, 0, 0);
    camera->Update(0.016f);
    D3DXVECTOR3 forward;
    D3DXMATRIX rotation;
    const D3DXQUATERNION q = transform->GetWorldRotation();
    D3DXMatrixRotationQuaternion(&rotation, &q);
    const D3DXVECTOR3 ahead(0, 0, 1);
    D3DXVec3TransformNormal(&forward, &ahead, &rotation);
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(10, 0, 0) - forward * 50.0f, 1e-4f);
}

TEST_F(CameraSubclassTest, PathFollowKeepsOverlayAndClientRectangle) {
    auto* camera = Attach(new PathFollowCamera, D3DXVECTOR3(0, 0, 0));
    EXPECT_TRUE(hub->IsSubscribed(kMsgOverlayObject, camera->GetId()));
    EXPECT_TRUE(hub->IsSubscribed(kMsgFrameClientRect, camera->GetId()));
    EXPECT_FALSE(hub->IsSubscribed(kMsgCameraPosition, camera->GetId()));
    Broadcast(kMsgOverlayObject, 0, u32{77});
    ClientRect rect;
    rect.right = 320;
    rect.bottom = 240;
    Broadcast(kMsgFrameClientRect, 0, rect);
    EXPECT_EQ(camera->GetOverlayObject(), 77u);
    EXPECT_EQ(camera->GetClientRect().right, 320);
    std::unique_ptr<IComponent> clone(camera->Clone());
    EXPECT_EQ(static_cast<PathFollowCamera*>(clone.get())->GetOverlayObject(), 77u);
}

TEST_F(CameraSubclassTest, PathFollowWithoutTransformSitsAtTheOrigin) {
    auto* camera = Attach(new PathFollowCamera, D3DXVECTOR3(), false);
    SendTo(camera, kMsgCameraPosition, D3DXVECTOR3(9, 9, 9));
    camera->Update(0.016f);
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(0, 0, 0));
    ExpectVecNear(camera->GetLookAt(), D3DXVECTOR3(0, 0, 1));  // the cache as it was
}

TEST_F(CameraSubclassTest, FreeRoamMovesAndTurnsItsOwner) {
    auto* camera = Attach(new FreeRoamCamera, D3DXVECTOR3(1, 2, 3));
    EXPECT_TRUE(hub->IsSubscribed(kMsgCameraPan, camera->GetId()));
    EXPECT_TRUE(hub->IsSubscribed(kMsgCameraRotate, camera->GetId()));
    EXPECT_TRUE(hub->IsSubscribed(kMsgCameraSpeed, camera->GetId()));
    EXPECT_TRUE(hub->IsSubscribed(kMsgCameraSwitch, camera->GetId()));
    Broadcast(kMsgCameraPan, 0, D3DXVECTOR3(0, 0, 2));
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(1, 2, 5));
    ExpectVecNear(camera->GetLookAt(), D3DXVECTOR3(1, 2, 6));

    const D3DXQUATERNION quarter = AxisAngle(D3DXVECTOR3(0, 1, 0), kHalfPi);
    Broadcast(kMsgCameraRotate, 0, quarter);
    const D3DXQUATERNION world = TransformOf(camera)->GetWorldRotation();
    EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&world, &quarter)), 1.0f, 1e-5f);
    // Later steps follow the owner's rotation (turned by its inverse).
    Broadcast(kMsgCameraPan, 0, D3DXVECTOR3(0, 0, 1));
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(1, 2, 5) + RotateByInverse(quarter, D3DXVECTOR3(0, 0, 1)));
    ExpectVecNear(camera->GetUp(), RotateByInverse(quarter, D3DXVECTOR3(0, 1, 0)));

    camera->Shutdown();
    EXPECT_FALSE(hub->IsSubscribed(kMsgCameraPan, camera->GetId()));
    EXPECT_FALSE(hub->IsSubscribed(kMsgCameraSpeed, camera->GetId()));
}

TEST_F(CameraSubclassTest, FreeRoamWithoutTransformPansItsOwnEye) {
    auto* camera = Attach(new FreeRoamCamera, D3DXVECTOR3(), false);
    Broadcast(kMsgCameraPan, 0, D3DXVECTOR3(1, 0, 0));
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(0, 0, 0));
    ExpectVecNear(camera->Camera::GetPosition(), D3DXVECTOR3(1, 0, 0));
    ExpectVecNear(camera->GetMoveDelta(), D3DXVECTOR3(1, 0, 0));
}

TEST_F(CameraSubclassTest, SpeedMessageScalesEveryEditorCamera) {
    auto* freeRoam = Attach(new FreeRoamCamera, D3DXVECTOR3());
    auto* iso = Attach(new IsoCamera, D3DXVECTOR3());
    Broadcast(kMsgCameraSpeed, 0, 2.0f);
    EXPECT_FLOAT_EQ(freeRoam->GetVelocity(), 2.0f);
    EXPECT_FLOAT_EQ(iso->GetVelocity(), 2.0f);
    Broadcast(kMsgCameraPan, 0, D3DXVECTOR3(0, 0, 1));
    ExpectVecNear(freeRoam->GetPosition(), D3DXVECTOR3(0, 0, 2));
    ExpectVecNear(iso->GetPosition(), D3DXVECTOR3(0, 0, 2));
}

TEST_F(CameraSubclassTest, IsoCameraAppliesOnlyTheYawOfARotation) {
    auto* camera = Attach(new IsoCamera, D3DXVECTOR3(), false);
    Broadcast(kMsgCameraRotate, 0, AxisAngle(D3DXVECTOR3(1, 0, 0), 0.7f));  // pure pitch
    const D3DXQUATERNION identity(0, 0, 0, 1);
    const D3DXQUATERNION heading = camera->GetHeading();
    EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&heading, &identity)), 1.0f, 1e-6f);

    const D3DXQUATERNION yaw = AxisAngle(D3DXVECTOR3(0, 1, 0), 0.5f);
    D3DXQUATERNION yawThenPitch;
    const D3DXQUATERNION pitch = AxisAngle(D3DXVECTOR3(1, 0, 0), 0.3f);
    D3DXQuaternionMultiply(&yawThenPitch, &pitch, &yaw);  // pitch followed by yaw
    Broadcast(kMsgCameraRotate, 0, yawThenPitch);
    const D3DXQUATERNION turned = camera->GetHeading();
    EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&turned, &yaw)), 1.0f, 1e-5f);
    EXPECT_EQ(camera->GetUp(), D3DXVECTOR3(0, 1, 0));

    // Without a Transform the look-at point is the eye plus the tilted,
    // turned forward.
    D3DXQUATERNION q;
    const D3DXQUATERNION tilt = AxisAngle(D3DXVECTOR3(1, 0, 0), IsoCamera::kTiltAngle);
    D3DXQuaternionMultiply(&q, &turned, &tilt);
    ExpectVecNear(camera->GetLookAt(), RotateByInverse(q, D3DXVECTOR3(0, 0, 1)));
    SendTo(camera, kMsgCameraPosition, D3DXVECTOR3(4, 4, 4));  // not a Camera message here
    ExpectVecNear(camera->GetPosition(), D3DXVECTOR3(0, 0, 0));
}

TEST_F(CameraSubclassTest, EditorCamerasReportPositionAndNameEachUpdate) {
    Engine engine;
    auto* editorUi = new RecordingSystem(TypeId<EditorUISystem>::Get());
    std::vector<D3DXVECTOR3> positions;
    std::vector<std::string> names;
    editorUi->onMessage = [&](Message* m) {
        if (const D3DXVECTOR3* position = m->Read(kMsgEditorCameraPosition)) positions.push_back(*position);
        if (const std::string* name = m->Read(kMsgEditorCameraName)) names.push_back(*name);
    };
    engine.AddSystem(editorUi);
    auto* freeRoam = Attach(new FreeRoamCamera, D3DXVECTOR3(3, 0, 0));
    auto* iso = Attach(new IsoCamera, D3DXVECTOR3(0, 5, 0));
    freeRoam->Update(0.1f);
    iso->Update(0.1f);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "Free-Roam Camera");
    EXPECT_EQ(names[1], "Isometric Camera");
    ExpectVecNear(positions[0], D3DXVECTOR3(3, 0, 0));
    ExpectVecNear(positions[1], D3DXVECTOR3(0, 5, 0));
}
