#include "render/ChaseView.h"

#include "engine/Overlord.h"
#include "render/GameCamera.h"

void ChaseView::SetChaseCamera(u32 objectId) {
    chaseCameraObject_ = objectId;
    Overlord* overlord = Overlord::Instance();
    GameCamera* gameCamera = overlord ? overlord->GetComponent<GameCamera>(objectId) : nullptr;
    targetOffset_ = gameCamera ? gameCamera->GetTargetOffset() : 0;
}

void ChaseView::Clear() {
    chaseCameraObject_ = 0;
    chaseTarget_ = 0;
    overlayObject_ = 0;
    targetOffset_ = 0;
}
