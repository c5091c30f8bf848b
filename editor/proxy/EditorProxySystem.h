// The editor's proxies: one pickable stand-in object per scene object (with a
// visible marker for objects without a mesh, or whose model draws nothing)
// and one small sphere per track waypoint. Makes, keeps, draws and removes
// them, outlines the one under the pointer, follows the selection and steps
// it through the proxies (Tab / Ctrl+Tab). A child system of the Editor, made
// in its Init and deleted with it; keeps the system's default name "ISystem".
// Ids only, looked up each time. Main thread only.
#pragma once
#include <memory>
#include <vector>

#include "core/Types.h"
#include "engine/ISystem.h"
#include "port/math/D3DX.h"

class GameObject;
class Model;
struct Waypoint;

class EditorProxySystem : public ISystem {
public:
    // Marker colours.
    static inline const D3DXCOLOR kTriggerColour{0, 1, 1, 1};   // cyan sphere of the trigger's radius
    static inline const D3DXCOLOR kTrackColour{0, 1, 0, 1};     // green sphere of kTrackRadius
    static inline const D3DXCOLOR kWaypointColour{1, 0, 0, 1};  // red sphere of kWaypointRadius
    static inline const D3DXCOLOR kCrawlerColour{0, 0, 1, 1};   // blue unit cube
    static inline const D3DXCOLOR kPlainColour{1, 1, 1, 1};     // white sphere of kPlainRadius
    static constexpr float kTrackRadius = 1.5f;
    static constexpr float kWaypointRadius = 0.5f;
    static constexpr float kPlainRadius = 1.0f;

    EditorProxySystem();
    ~EditorProxySystem() override;

    // kMsgSelectObject, kMsgPickObject, kMsgSelectNextPrevious,
    // kMsgObjectUnregistered and the announcements of EditorProxyObject.
    void HandleMessage(Message* message) override;
    // Draws the markers, tracks and crawler bindings of this frame.
    void Update(float dt) override;
    // Forgets the selection.
    void Init() override;
    // Subscribes to its messages.
    void Activate() override;

    // Builds the proxy of a scene object (and, for a track, its waypoint
    // proxies); the proxy object's id.
    u32 CreateProxy(GameObject& object);
    // A waypoint proxy of the track object for the waypoint at index; its id.
    u32 CreateWaypointProxy(u32 trackObjectId, const Waypoint& waypoint, u32 index);
    // The first proxy (in list order) standing for the object; 0 when none.
    u32 FindProxy(u32 objectId) const;
    // Unregisters every proxy standing for the object or being it, and, for
    // a track, its waypoint proxies and their record.
    void RemoveProxiesOf(u32 objectId);
    // Unregisters one proxy and takes it out of the list.
    void RemoveProxy(u32 proxyId);
    // Unregisters every proxy and waypoint proxy; empties the lists.
    void ClearProxies();

    // Proxy object ids, ascending (waypoint proxies are not among them).
    const std::vector<u32>& GetProxies() const { return proxies_; }
    // The waypoint proxies of a track in creation order; empty when none.
    std::vector<u32> GetWaypointProxies(u32 trackObjectId) const;
    // The object outlined as under the pointer this frame: the picked
    // proxy's marker, or the picked object when it draws its own model; 0
    // when nothing is picked, the pick is the selection or the pointer is on
    // a panel.
    u32 PointedHighlight() const;
    u32 GetSelectedObject() const { return selectedObject_; }
    u32 GetSelectedProxy() const { return selectedProxy_; }
    // The object a live proxy stands for; 0 when the proxy is dead, names
    // nothing or names a dead object.
    static u32 ProxiedObjectOf(u32 proxyId);

private:
    // A built debug sphere, copied for every marker of its radius and colour.
    struct MarkerMesh {
        float radius;
        D3DXCOLOR colour;
        std::unique_ptr<Model> mesh;
    };

    struct WaypointRecord {
        u32 trackObjectId = 0;
        std::vector<u32> proxyIds;
    };

    // A new debug sphere Model of the radius and colour (a copy of the one
    // built first).
    Model* Marker(float radius, const D3DXCOLOR& colour);
    // A new object with an EditorProxyObject naming the object.
    static GameObject* NewProxyObject(u32 objectId);
    // Adds the bounding sphere of the mesh, runs every Init but the marker's
    // and announces every component but the models (this system draws those
    // itself).
    void Finish(GameObject& proxy, const D3DXVECTOR3& center, const D3DXVECTOR3& extent);
    void Register(u32 componentId);
    void SelectStep(bool next);
    void DrawTrack(u32 proxyId, u32 trackObjectId, bool selected, u32 graphics);
    WaypointRecord* FindRecord(u32 trackObjectId);
    // Takes the proxy at index out of the list, keeping the cycle's place.
    void EraseAt(size_t index);
    void RemoveRecord(u32 trackObjectId);

    u32 selectedObject_ = 0;
    u32 selectedProxy_ = 0;
    u32 pointedObject_ = 0;  // under the pointer, from the picking
    u32 pointedProxy_ = 0;
    std::vector<u32> proxies_;  // ascending
    std::vector<WaypointRecord> records_;
    std::vector<u32> notAnnounced_;  // component types of a proxy not announced: Model
    u32 cycleIndex_ = 0;
    bool cycleGap_ = false;  // the proxy at cycleIndex_ was removed since the last step
    std::vector<MarkerMesh> markers_;
};
