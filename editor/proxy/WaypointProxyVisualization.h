// The component that ties a waypoint proxy (a small sphere the editor shows
// and picks for one waypoint of a track) to its waypoint: it holds the
// waypoint's index and keeps the proxy's Transform on the waypoint. The
// proxy's EditorProxyObject names the track object, whose PlayerPath holds
// the waypoints in that object's space. Owned by its proxy object; main thread only.
#pragma once
#include "core/Types.h"
#include "engine/Component.h"

class PlayerPath;
class Transform;

class WaypointProxyVisualization : public Component<WaypointProxyVisualization> {
public:
    WaypointProxyVisualization() = default;

    // kMsgPathRebuilt: the proxy follows its waypoint (position and
    // orientation) when it moved, and destroys its object when the path has
    // no waypoint at its index any more.
    void HandleMessage(Message* message) override;
    // The proxy's local position follows its waypoint's when they differ.
    void Update(float dt) override;
    // Subscribes to kMsgPathRebuilt.
    void Init() override;

    u32 waypointIndex = 0;

private:
    // The track's path and the proxy's Transform; false when one is missing.
    bool Lookup(PlayerPath** path, Transform** transform) const;
};
