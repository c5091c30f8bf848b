// The editor's proxies: the pickable stand-ins of scene objects and track
// waypoints. A child system of the Editor, made in its Init and deleted with
// it; keeps the system's default name "ISystem". The operations the Editor
// calls are here; no proxy is made yet, so they do nothing and FindProxy
// finds none. Main thread only.
#pragma once
#include "core/Types.h"
#include "engine/ISystem.h"

class GameObject;

class EditorProxySystem : public ISystem {
public:
    EditorProxySystem();

    void CreateProxy(GameObject& object);
    // The proxy object standing for objectId; 0 when none.
    u32 FindProxy(u32 objectId) const;
    void RemoveProxiesOf(u32 objectId);
    void ClearProxies();
    // The picked waypoint proxy's waypoint leaves its track (the Editor's delete).
    void RemoveWaypointOf(u32 proxyId, u32 trackObjectId);
};
