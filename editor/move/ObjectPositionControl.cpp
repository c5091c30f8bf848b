#include "editor/move/ObjectPositionControl.h"

#include <cmath>

#include "controls/MouseTrigger.h"
#include "editor/move/EditorCanMoveObject.h"
#include "editor/move/ObjectMover.h"
#include "editor/select/PickGeometry.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/InputSystem.h"
#include "render/IGraphics.h"
#include "render/camera/Camera.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "scene/ObjectFactory.h"

namespace {
constexpr u32 kCtrlKey = 0x11;

const InputSystem* Input() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetSystem<InputSystem>() : nullptr;
}
}  // namespace

ObjectPositionControl::ObjectPositionControl() : ObjectManipulatorBase("Object Position Control", kCategoryCapturing) {
    AddActivateTrigger(new EditorCanMoveObject());
    AddActivateTrigger(new MouseTrigger(0, MouseTrigger::kModeDragged));
    AddDeactivateTrigger(new MouseTrigger(0, MouseTrigger::kModeUp));
    Subscribe(kMsgActiveCamera);
    Subscribe(kMsgMouseRay);
    ObjectFactory* factory = ObjectFactory::Instance();
    if (!factory) return;
    GameObject* grid = factory->NewGameObject();
    if (Model* mesh = MeshBuilder::Gizmo(1.0f, 0.0f, 0.5f, 0.0f, 1.0f)) grid->AddComponent(mesh);
    grid->AddComponent(factory->Create<Transform>());
    grid->Init();
    gridObject_ = grid->GetId();
}

ObjectPositionControl::~ObjectPositionControl() {
    Overlord* overlord = Overlord::Instance();
    if (overlord && gridObject_ != 0 && overlord->GetGameObject(gridObject_))
        overlord->UnregisterGameObject(gridObject_);
}

void ObjectPositionControl::OnMessage(Message* message) {
    if (const Ray* ray = message->Read(kMsgMouseRay))
        ray_ = *ray;
    else if (const u32* camera = message->Read(kMsgActiveCamera))
        cameraId_ = *camera;
    else
        ObjectManipulatorBase::OnMessage(message);
}

void ObjectPositionControl::OnActivate() {
    const ObjectMover mover = ObjectMover::ForTarget(BroadcastMoveRecord(true));
    if (!mover.GetTransform()) {
        SetState(false);
        return;
    }
    if (const InputSystem* input = Input()) {
        lastX_ = input->MouseX();
        lastY_ = input->MouseY();
    }
    const D3DXVECTOR3 at = mover.WorldPosition();
    if (Transform* grid = Overlord::FindComponent<Transform>(gridObject_)) {
        grid->position = {std::floor(at.x) - 50.0f, at.y, std::floor(at.z) - 50.0f};
        grid->Update(0.0f);
    }
}

void ObjectPositionControl::UpdateActive(float) {
    Engine* engine = Engine::Instance();
    if (IGraphics::Find(engine))
        SendToSystem(DrawUnblendedThisFrame(TypeId<Model>::Get()), TypeId<GraphicsSystem>::Get(), GetId(), gridObject_);
    const InputSystem* input = Input();
    if (!input) return;
    const int x = input->MouseX(), y = input->MouseY();
    if (x == lastX_ && y == lastY_) return;
    const ObjectMover mover = ObjectMover::ForTarget(BroadcastMoveRecord(false));
    if (Transform* transform = mover.GetTransform()) {
        const D3DXVECTOR3 at = mover.WorldPosition();
        const bool ctrl = input->IsKeyDown(kCtrlKey);
        D3DXVECTOR3 normal(0, 1, 0);
        Overlord* overlord = Overlord::Instance();
        auto* camera = overlord ? dynamic_cast<Camera*>(overlord->GetComponentById(cameraId_)) : nullptr;
        if (ctrl && camera) {
            const D3DXVECTOR3 look = camera->GetLookAt() - camera->GetPosition();
            D3DXVec3Normalize(&normal, &look);
        }
        D3DXVECTOR3 hit;
        if (RayPlaneIntersect(ray_.origin, ray_.direction, at, normal, &hit)) {
            if (!rotateMode_) {
                D3DXVECTOR3 to = hit;
                if (ctrl && IsAxisEnabled(1)) to = {at.x, hit.y, at.z};
                mover.MoveTo(to);
            } else {
                D3DXQUATERNION qy(0, 0, 0, 1), qx(0, 0, 0, 1);
                const D3DXVECTOR3 up(0, 1, 0), side(1, 0, 0);
                if (x != lastX_ && IsAxisEnabled(0))
                    D3DXQuaternionRotationAxis(&qy, &up, rotateStep_ * static_cast<float>(lastX_ - x));
                if (y != lastY_ && IsAxisEnabled(1))
                    D3DXQuaternionRotationAxis(&qx, &side, rotateStep_ * static_cast<float>(lastY_ - y));
                D3DXQUATERNION turn, turned;
                D3DXQuaternionMultiply(&turn, &qy, &qx);
                D3DXQuaternionMultiply(&turned, &transform->rotation, &turn);
                mover.TurnTo(turned);
            }
        }
    }
    lastX_ = x;
    lastY_ = y;
}
