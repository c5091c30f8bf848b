#include "game/level/PlayerPositionTrigger.h"

#include "engine/Engine.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/level/BroadcastTriggerCode.h"
#include "render/IGraphics.h"

void PlayerPositionTrigger::Reflect(MemberList<PlayerPositionTrigger>& members) {
    members.Add("triggerCode", &PlayerPositionTrigger::triggerCode);
}

Transform* PlayerPositionTrigger::CameraTransform() {
    Engine* engine = Engine::Instance();
    Overlord* overlord = Overlord::Instance();
    const IGraphics* graphics = IGraphics::Find(engine);
    if (!graphics || !overlord) return nullptr;
    const u32 cameraId = graphics->GetActiveCameraId();
    if (cameraId == 0) return nullptr;
    const IComponent* camera = overlord->GetComponentById(cameraId);
    u32 objectId = camera ? camera->GetOwner() : 0;
    if (objectId == 0) objectId = graphics->GetChaseCameraObject();
    return overlord->GetComponent<Transform>(objectId);
}

void PlayerPositionTrigger::Update(float) {
    if (fired) return;
    const Transform* own = Overlord::FindComponent<Transform>(GetOwner());
    const Transform* camera = own ? CameraTransform() : nullptr;
    if (!camera) return;
    const D3DXVECTOR3 offset = own->worldPosition - camera->worldPosition;
    if (D3DXVec3LengthSq(&offset) < radius * radius) {
        fired = true;
        BroadcastTriggerCode(GetOwner(), triggerCode);
    }
}
