#include "render/camera/GameCamera.h"

#include "engine/MessageHub.h"

class GraphicsSystem;

void GameCamera::Reflect(MemberList<GameCamera>& members) {
    members.Add("targetOffset", &GameCamera::targetOffset_);
}

void GameCamera::Init() {
    const u32 owner = GetOwner();
    PostToSystem(kMsgChaseCamera, TypeId<GraphicsSystem>::Get(), GetId(), owner);
    Post(kMsgGameCameraObject, GetId(), owner);
}
