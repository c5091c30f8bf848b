#include "render/GameCamera.h"

#include "engine/MessageHub.h"

class GraphicsSystem;

void GameCamera::Reflect(MemberList<GameCamera>& members) {
    members.Add("targetOffset", &GameCamera::targetOffset_);
}

void GameCamera::Init() {
    const u32 owner = GetOwner();
    PostToSystem(TypeId<GraphicsSystem>::Get(), GetId(), kMsgChaseCamera.type, kMsgChaseCamera.argument, owner);
    PostMessage(GetId(), kMsgGameCameraObject.type, kMsgGameCameraObject.argument, owner);
}
