#include "editor/proxy/WaypointProxyVisualization.h"

#include "editor/proxy/EditorProxyObject.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/PlayerPath.h"

void WaypointProxyVisualization::Init() {
    Subscribe(kMsgPathRebuilt);
}

bool WaypointProxyVisualization::Lookup(PlayerPath** path, Transform** transform) const {
    const EditorProxyObject* proxy = Overlord::FindComponent<EditorProxyObject>(GetOwner());
    *path = proxy ? Overlord::FindComponent<PlayerPath>(proxy->proxiedObjectId) : nullptr;
    *transform = Overlord::FindComponent<Transform>(GetOwner());
    return *path && *transform;
}

void WaypointProxyVisualization::Update(float) {
    PlayerPath* path = nullptr;
    Transform* transform = nullptr;
    if (!Lookup(&path, &transform)) return;
    const Waypoint* waypoint = path->GetWaypoint(waypointIndex);
    if (!waypoint || transform->position == waypoint->pos) return;
    transform->position = waypoint->pos;
    transform->Update(0.0f);
}

void WaypointProxyVisualization::HandleMessage(Message* message) {
    if (!message->Is(kMsgPathRebuilt)) return;
    PlayerPath* path = nullptr;
    Transform* transform = nullptr;
    if (!Lookup(&path, &transform)) return;
    const Waypoint* waypoint = path->GetWaypoint(waypointIndex);
    if (!waypoint) {
        if (GameObject* object = Overlord::Instance()->GetGameObject(GetOwner())) object->Destroy();
        return;
    }
    if (transform->position == waypoint->pos) return;
    transform->position = waypoint->pos;
    transform->rotation = waypoint->orientation;
    transform->Update(0.0f);
}
