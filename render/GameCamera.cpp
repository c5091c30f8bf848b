#include "render/GameCamera.h"

#include "core/TypeId.h"
#include "engine/MessageHub.h"
#include "reflection/MetaMemVar.h"

class GraphicsSystem;

GameCamera::GameCamera() : IComponent(TypeId<GameCamera>::Get()) {
    static bool registered = false;
    if (!registered) {
        registered = true;
        MetaMemVar<GameCamera>::Add("targetOffset", this, targetOffset_);
    }
}

GameCamera::GameCamera(const GameCamera& other) : IComponent(other.GetTypeId()), targetOffset_(other.targetOffset_) {}

void GameCamera::Init() {
    const u32 owner = GetOwner();
    PostToSystem(TypeId<GraphicsSystem>::Get(), GetId(), kMsgChaseCamera.type, kMsgChaseCamera.argument, owner);
    PostMessage(GetId(), kMsgGameCameraObject.type, kMsgGameCameraObject.argument, owner);
}
