#include "editor/proxy/EditorProxySystem.h"

#include <algorithm>

#include "editor/menus/WindowPointer.h"
#include "editor/proxy/EditorProxyObject.h"
#include "editor/proxy/WaypointProxyVisualization.h"
#include "engine/DebugLine.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/level/PlayerPositionTrigger.h"
#include "game/physics/BoundingSphere.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "reflection/Waypoint.h"
#include "render/IGraphics.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "scene/ObjectFactory.h"

namespace {
const D3DXCOLOR kBindingLineColour{0, 1, 0, 1};

void Unregister(u32 objectId) {
    if (Overlord::FindObject(objectId)) Overlord::Instance()->UnregisterGameObject(objectId);
}

// The object's Transform, or a new one added to it.
Transform* TransformOf(GameObject& object) {
    if (Transform* transform = object.GetComponent<Transform>()) return transform;
    ObjectFactory* factory = ObjectFactory::Instance();
    Transform* transform = factory ? factory->Create<Transform>() : new Transform();
    object.AddComponent(transform);
    return transform;
}

void SetTexture(Model& model, const D3DXCOLOR& colour) {
    if (RenderResources* resources = RenderResources::Instance())
        model.material.diffuse = resources->GetSolidColorTexture(colour.r, colour.g, colour.b, colour.a);
}

// The model when it has bounds to be picked by; a model that draws nothing
// (no file loaded yet) leaves its object to a marker.
Model* HasBounds(Model* model) {
    return model && D3DXVec3LengthSq(&model->extent) > 0.0f ? model : nullptr;
}

// Draws the object once this frame in the renderer's debug pass.
void Submit(u32 graphics, u32 sender, u32 objectId) {
    SendToSystem(DrawUnblendedThisFrame(TypeId<Model>::Get()), graphics, sender, objectId);
}
}  // namespace

EditorProxySystem::EditorProxySystem() : ISystem(TypeId<EditorProxySystem>::Get()) {
    notAnnounced_.push_back(TypeId<Model>::Get());
}

EditorProxySystem::~EditorProxySystem() = default;

Model* EditorProxySystem::Marker(float radius, const D3DXCOLOR& colour) {
    for (const MarkerMesh& marker : markers_) {
        if (marker.radius != radius || !(marker.colour == colour)) continue;
        auto* copy = static_cast<Model*>(marker.mesh->Clone());
        copy->topology = marker.mesh->topology;
        return copy;
    }
    Model* built = MeshBuilder::DebugSphere(radius, colour);
    auto* kept = static_cast<Model*>(built->Clone());
    kept->topology = built->topology;
    markers_.push_back(MarkerMesh{radius, colour, std::unique_ptr<Model>(kept)});
    return built;
}

void EditorProxySystem::Init() {
    selectedObject_ = 0;
    selectedProxy_ = 0;
}

void EditorProxySystem::Activate() {
    if (!GetSubscriptions().empty()) {
        SubscribeAll();
        return;
    }
    Subscribe(kMsgSelectObject);
    Subscribe(kMsgPickObject);
    Subscribe(kMsgSelectNextPrevious);
    Subscribe(kMsgObjectUnregistered);
    Subscribe(ComponentAnnounced(TypeId<EditorProxyObject>::Get()));
    Subscribe(kMsgPickedObject);
    Subscribe(kMsgPickedProxy);
}

u32 EditorProxySystem::ProxiedObjectOf(u32 proxyId) {
    const EditorProxyObject* proxy = Overlord::FindComponent<EditorProxyObject>(proxyId);
    return proxy && Overlord::FindObject(proxy->proxiedObjectId) ? proxy->proxiedObjectId : 0;
}

GameObject* EditorProxySystem::NewProxyObject(u32 objectId) {
    ObjectFactory* factory = ObjectFactory::Instance();
    GameObject* proxy = factory ? factory->NewGameObject() : new GameObject();
    EditorProxyObject* tag = factory ? factory->Create<EditorProxyObject>() : nullptr;
    if (!tag) tag = new EditorProxyObject();
    tag->proxiedObjectId = objectId;
    proxy->AddComponent(tag);
    return proxy;
}

void EditorProxySystem::Finish(GameObject& proxy, const D3DXVECTOR3& center, const D3DXVECTOR3& extent) {
    ObjectFactory* factory = ObjectFactory::Instance();
    BoundingSphere* sphere = factory ? factory->Create<BoundingSphere>() : nullptr;
    if (!sphere) sphere = new BoundingSphere();
    sphere->center = center;
    sphere->extent = extent;
    proxy.AddComponent(sphere);
    // A marker is a built mesh: a Model's Init would look for a model file
    // and texture files of its name on disk, for every proxy.
    for (IComponent* component : proxy.GetComponents())
        if (component->GetTypeId() != TypeId<Model>::Get()) component->Init();
    proxy.AnnounceComponentsExcept(notAnnounced_);
}

u32 EditorProxySystem::CreateWaypointProxy(u32 trackObjectId, const Waypoint& waypoint, u32 index) {
    GameObject* proxy = NewProxyObject(trackObjectId);
    Model* sphere = Marker(kWaypointRadius, kWaypointColour);
    proxy->GetComponent<EditorProxyObject>()->markerColour = kWaypointColour;
    proxy->AddComponent(sphere);
    Transform* transform = TransformOf(*proxy);
    proxy->SetParent(trackObjectId);
    transform->position = waypoint.pos;
    transform->rotation = waypoint.orientation;
    transform->Update(0.0f);
    ObjectFactory* factory = ObjectFactory::Instance();
    WaypointProxyVisualization* link = factory ? factory->Create<WaypointProxyVisualization>() : nullptr;
    if (!link) link = new WaypointProxyVisualization();
    link->waypointIndex = index;
    proxy->AddComponent(link);
    Finish(*proxy, sphere->center, sphere->extent);
    return proxy->GetId();
}

u32 EditorProxySystem::CreateProxy(GameObject& object) {
    const u32 objectId = object.GetId();
    if (PlayerPath* path = object.GetComponent<PlayerPath>()) {
        const std::vector<Waypoint>& waypoints = path->wps;
        for (u32 i = 0; i < waypoints.size(); ++i) CreateWaypointProxy(objectId, waypoints[i], i);
    }
    GameObject* proxy = NewProxyObject(objectId);
    EditorProxyObject* tag = proxy->GetComponent<EditorProxyObject>();
    Model* mesh = nullptr;
    if (object.GetComponent<SplineCrawler>()) {
        mesh = MeshBuilder::Cube();
        SetTexture(*mesh, kCrawlerColour);
        tag->markerColour = kCrawlerColour;
    } else if (Model* own = HasBounds(object.GetComponent<Model>())) {
        Finish(*proxy, own->center, own->extent);
        return proxy->GetId();
    } else if (const PlayerPositionTrigger* trigger = object.GetComponent<PlayerPositionTrigger>()) {
        mesh = Marker(trigger->radius, kTriggerColour);
        tag->markerColour = kTriggerColour;
    } else if (object.GetComponent<PlayerPath>()) {
        mesh = Marker(kTrackRadius, kTrackColour);
        tag->markerColour = kTrackColour;
    } else {
        mesh = Marker(kPlainRadius, kPlainColour);
        tag->markerColour = kPlainColour;
    }
    // The marker rides on its object, at its origin.
    proxy->AddComponent(mesh);
    Transform* transform = TransformOf(*proxy);
    proxy->SetParent(objectId);
    transform->Update(0.0f);
    Finish(*proxy, mesh->center, mesh->extent);
    return proxy->GetId();
}

EditorProxySystem::WaypointRecord* EditorProxySystem::FindRecord(u32 trackObjectId) {
    for (WaypointRecord& record : records_)
        if (record.trackObjectId == trackObjectId) return &record;
    return nullptr;
}

std::vector<u32> EditorProxySystem::GetWaypointProxies(u32 trackObjectId) const {
    for (const WaypointRecord& record : records_)
        if (record.trackObjectId == trackObjectId) return record.proxyIds;
    return {};
}

void EditorProxySystem::RemoveRecord(u32 trackObjectId) {
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if (it->trackObjectId != trackObjectId) continue;
        for (u32 id : it->proxyIds) Unregister(id);
        records_.erase(it);
        return;
    }
}

void EditorProxySystem::Register(u32 componentId) {
    Overlord* overlord = Overlord::Instance();
    const EditorProxyObject* tag = overlord ? overlord->GetComponentById<EditorProxyObject>(componentId) : nullptr;
    // A hand-added proxy component names nothing: it is no proxy.
    if (!tag || tag->proxiedObjectId == 0) return;
    const u32 proxyId = tag->GetOwner();
    if (overlord->GetComponent<WaypointProxyVisualization>(proxyId)) {
        WaypointRecord* record = FindRecord(tag->proxiedObjectId);
        if (!record) record = &records_.emplace_back(WaypointRecord{tag->proxiedObjectId, {}});
        record->proxyIds.push_back(proxyId);
        return;
    }
    // Ids are drawn in ascending order, so a new proxy nearly always goes last.
    if (proxies_.empty() || proxies_.back() < proxyId)
        proxies_.push_back(proxyId);
    else if (auto at = std::lower_bound(proxies_.begin(), proxies_.end(), proxyId);
             at == proxies_.end() || *at != proxyId)
        proxies_.insert(at, proxyId);
}

u32 EditorProxySystem::FindProxy(u32 objectId) const {
    if (objectId == 0) return 0;
    for (u32 proxyId : proxies_) {
        const EditorProxyObject* tag = Overlord::FindComponent<EditorProxyObject>(proxyId);
        if (tag && tag->proxiedObjectId == objectId) return proxyId;
    }
    return 0;
}

void EditorProxySystem::RemoveProxiesOf(u32 objectId) {
    if (objectId == 0) return;
    for (size_t i = proxies_.size(); i-- > 0;) {
        const u32 proxyId = proxies_[i];
        const EditorProxyObject* tag = Overlord::FindComponent<EditorProxyObject>(proxyId);
        if (proxyId != objectId && !(tag && tag->proxiedObjectId == objectId)) continue;
        EraseAt(i);
        Unregister(proxyId);
    }
    RemoveRecord(objectId);
    for (WaypointRecord& record : records_)
        if (std::erase(record.proxyIds, objectId) != 0) Unregister(objectId);
}

void EditorProxySystem::RemoveProxy(u32 proxyId) {
    auto at = std::find(proxies_.begin(), proxies_.end(), proxyId);
    if (at == proxies_.end()) return;
    EraseAt(static_cast<size_t>(at - proxies_.begin()));
    Unregister(proxyId);
}

void EditorProxySystem::EraseAt(size_t index) {
    proxies_.erase(proxies_.begin() + static_cast<std::ptrdiff_t>(index));
    // Tab goes on from where it was: the proxies after the gap moved down one.
    if (index < cycleIndex_) {
        --cycleIndex_;
    } else if (index == cycleIndex_) {
        cycleGap_ = true;  // the next proxy now stands at the cycle index
    }
}

void EditorProxySystem::ClearProxies() {
    for (u32 proxyId : proxies_) Unregister(proxyId);
    for (const WaypointRecord& record : records_)
        for (u32 proxyId : record.proxyIds) Unregister(proxyId);
    proxies_.clear();
    records_.clear();
    cycleIndex_ = 0;
    cycleGap_ = false;
}

void EditorProxySystem::HandleMessage(Message* message) {
    if (const u32* object = message->Read(kMsgSelectObject)) {
        selectedObject_ = *object;
    } else if (const u32* proxy = message->Read(kMsgPickObject)) {
        selectedProxy_ = *proxy;
    } else if (const u32* direction = message->Read(kMsgSelectNextPrevious)) {
        SelectStep(*direction == 1);
    } else if (const u32* gone = message->Read(kMsgObjectUnregistered)) {
        if (const u32 proxyId = FindProxy(*gone); proxyId != 0) {
            RemoveProxy(proxyId);
            selectedObject_ = 0;
        }
        RemoveRecord(*gone);
    } else if (const u32* component = message->Read(ComponentAnnounced(TypeId<EditorProxyObject>::Get()))) {
        Register(*component);
    } else if (const u32* pointed = message->Read(kMsgPickedObject)) {
        pointedObject_ = *pointed;
    } else if (const u32* pointedProxy = message->Read(kMsgPickedProxy)) {
        pointedProxy_ = *pointedProxy;
    }
}

void EditorProxySystem::SelectStep(bool next) {
    const u32 count = static_cast<u32>(proxies_.size());
    if (count == 0) return;
    // From the selection, however it was made (a click, a panel's button):
    // its proxy, or that of the object it is a waypoint of.
    auto selected = std::find(proxies_.begin(), proxies_.end(), selectedProxy_);
    if (selected == proxies_.end()) selected = std::find(proxies_.begin(), proxies_.end(), FindProxy(selectedObject_));
    if (selected != proxies_.end()) {
        cycleIndex_ = static_cast<u32>(selected - proxies_.begin());
        cycleGap_ = false;
    }
    // After the proxy at the cycle index was removed, the one after it
    // stands there: select next takes it without stepping.
    bool stay = cycleGap_ && next;
    cycleGap_ = false;
    if (cycleIndex_ >= count) cycleIndex_ = 0;
    for (u32 tries = 0; tries < count; ++tries) {
        if (!stay) cycleIndex_ = next ? (cycleIndex_ + 1) % count : (cycleIndex_ == 0 ? count - 1 : cycleIndex_ - 1);
        stay = false;
        const u32 proxyId = proxies_[cycleIndex_];
        const u32 objectId = ProxiedObjectOf(proxyId);
        if (objectId == 0) continue;
        // The Editor and this system both follow the selection messages.
        ::Broadcast(kMsgSelectObject, GetTypeId(), objectId);
        ::Broadcast(kMsgPickObject, GetTypeId(), proxyId);
        return;
    }
}

void EditorProxySystem::DrawTrack(u32 proxyId, u32 trackObjectId, bool selected, u32 graphics) {
    PlayerPath* path = Overlord::FindComponent<PlayerPath>(trackObjectId);
    if (path->lineObjectId == 0 && path->wps.size() > 1) path->lineObjectId = path->CreateSplineObject();
    Model* line = Overlord::FindComponent<Model>(path->lineObjectId);
    if (line) SetTexture(*line, selected ? kWaypointColour : kCrawlerColour);
    if (!selected) {
        Submit(graphics, GetTypeId(), proxyId);
    } else if (const WaypointRecord* record = FindRecord(trackObjectId)) {
        for (u32 waypointProxy : record->proxyIds) {
            GameObject* proxy = Overlord::FindObject(waypointProxy);
            if (!proxy) continue;
            if (auto* link = proxy->GetComponent<WaypointProxyVisualization>()) link->Update(0.0f);
            Submit(graphics, GetTypeId(), waypointProxy);
            if (Model* sphere = proxy->GetComponent<Model>()) sphere->DebugDraw();
        }
    }
    if (line) Submit(graphics, GetTypeId(), path->lineObjectId);
}

u32 EditorProxySystem::PointedHighlight() const {
    if (pointedProxy_ == 0 || pointedProxy_ == selectedProxy_ || pointedObject_ == selectedObject_) return 0;
    const GameObject* proxy = Overlord::FindObject(pointedProxy_);
    if (!proxy || !Overlord::FindObject(pointedObject_)) return 0;
    // Over a panel a click is the panel's, and the pick is of where the
    // pointer last was off the panels.
    if (PointerOnPanel()) return 0;
    // The marker, or the object's own model.
    return proxy->GetComponent<Model>() ? pointedProxy_ : pointedObject_;
}

void EditorProxySystem::Update(float) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    const u32 graphics = TypeId<GraphicsSystem>::Get();
    // What a click would take, outlined before the click.
    if (const u32 pointed = PointedHighlight()) SendToSystem(kMsgHighlightObject, graphics, GetTypeId(), pointed);
    const EditorProxyObject* selectedTag = overlord->GetComponent<EditorProxyObject>(selectedProxy_);
    const bool waypointSelected =
        selectedTag && overlord->GetComponent<WaypointProxyVisualization>(selectedProxy_) != nullptr;
    for (u32 proxyId : proxies_) {
        GameObject* proxy = overlord->GetGameObject(proxyId);
        const EditorProxyObject* tag = proxy ? proxy->GetComponent<EditorProxyObject>() : nullptr;
        GameObject* object = tag ? Overlord::FindObject(tag->proxiedObjectId) : nullptr;
        if (!object) continue;
        const bool selected = proxyId == selectedProxy_;
        if (object->GetComponent<PlayerPath>()) {
            DrawTrack(proxyId, object->GetId(),
                      selected || (waypointSelected && selectedTag->proxiedObjectId == object->GetId()), graphics);
        } else if (Model* marker = proxy->GetComponent<Model>()) {
            Submit(graphics, GetTypeId(), proxyId);
            if (selected) marker->DebugDraw();
        }
        const SplineCrawler* crawler = object->GetComponent<SplineCrawler>();
        const PlayerPath* track = crawler ? overlord->GetComponent<PlayerPath>(crawler->splineGameObjectID) : nullptr;
        const Transform* transform = object->GetComponent<Transform>();
        D3DXVECTOR3 point, ahead;
        if (track && transform && track->GetWorldFrame(crawler->distance, 0.0f, &point, &ahead))
            SendToSystem(kMsgDebugLineA, graphics, GetTypeId(),
                         DebugLine{transform->worldPosition, point, kBindingLineColour});
    }
}
