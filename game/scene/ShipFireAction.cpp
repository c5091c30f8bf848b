#include "game/scene/ShipFireAction.h"

#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Ray.h"
#include "engine/Transform.h"

bool ShipFireAction::Execute() {
    Transform* transform = Overlord::FindComponent<Transform>(shipObject_);
    if (!transform) return false;
    transform->Update(0.0f);
    Ray ray;
    ray.origin = transform->worldPosition;
    ray.direction = transform->GetForward();
    SendToObject(kMsgFire, shipObject_, sender_, ray);
    return true;
}
