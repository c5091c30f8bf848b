#include "editor/move/MoveObjToCamera.h"

#include "editor/move/ObjectMover.h"
#include "engine/Engine.h"
#include "engine/Overlord.h"
#include "render/IGraphics.h"
#include "render/camera/Camera.h"
#include "render/mesh/Model.h"

MoveObjToCamera::MoveObjToCamera() : ObjectManipulatorBase("MoveObjToCamera", kCategoryNormal) {}

void MoveObjToCamera::OnActivate() {
    const ObjectMover mover = ObjectMover::ForTarget(BroadcastMoveRecord(true));
    Engine* engine = Engine::Instance();
    const IGraphics* graphics = IGraphics::Find(engine);
    Overlord* overlord = Overlord::Instance();
    auto* camera = graphics && overlord
                       ? dynamic_cast<Camera*>(overlord->GetComponentById(graphics->GetActiveCameraId()))
                       : nullptr;
    if (!mover.GetTransform() || !camera) return;
    const D3DXVECTOR3 eye = camera->GetPosition();
    const D3DXVECTOR3 look = camera->GetLookAt() - eye;
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &look);
    const Model* model = Overlord::FindComponent<Model>(mover.GetObjectId());
    const float distance = model ? 2.0f * D3DXVec3Length(&model->extent) : 1.0f;
    mover.MoveTo(eye + direction * distance);
}
