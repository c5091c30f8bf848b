#include "editor/select/ObjectSelectionSystem.h"

#include "controls/GuiSystem.h"
#include "editor/proxy/EditorProxyObject.h"
#include "editor/proxy/WaypointProxyVisualization.h"
#include "editor/select/PickGeometry.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/BoundingSphere.h"
#include "platform/InputSystem.h"
#include "render/light/GlobalLighting.h"
#include "render/light/Skybox.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCacheEntry.h"
#include "render/mesh/ModelCpuMesh.h"
#include "scene/ObjectFactory.h"

ObjectSelectionSystem::ObjectSelectionSystem() : ISystem(TypeId<ObjectSelectionSystem>::Get()) {
    SetName("ObjectSelectionSystem");
}

void ObjectSelectionSystem::Activate() {
    hudSelectMode_ = false;
    if (!GetSubscriptions().empty()) {
        SubscribeAll();
        return;
    }
    ObjectFactory* factory = ObjectFactory::Instance();
    const IComponent* hud = factory ? factory->GetPrototype("HUDComponent") : nullptr;
    hudTypeId_ = hud ? hud->GetTypeId() : 0;
    Subscribe(kMsgMouseRay);
    Subscribe(ComponentAnnounced(TypeId<EditorProxyObject>::Get()));
    if (hudTypeId_ != 0) Subscribe(ComponentAnnounced(hudTypeId_));
    Subscribe(kMsgToggleHudSelect);
    Subscribe(kMsgPickFilter);
    Subscribe(kMsgSelectedObject);
    Subscribe(kMsgObjectPlaced);
    Subscribe(ComponentAnnounced(TypeId<GlobalLighting>::Get()));
    Subscribe(ComponentAnnounced(TypeId<Skybox>::Get()));
}

void ObjectSelectionSystem::Clear() {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    const auto gone = [overlord](u32 componentId) { return overlord->GetComponentById(componentId) == nullptr; };
    std::erase_if(hudComponents_, gone);
    std::erase_if(sceneComponents_, gone);
    CopyAll(*overlord);
}

void ObjectSelectionSystem::HandleMessage(Message* message) {
    if (const Ray* ray = message->Read(kMsgMouseRay)) {
        previousRay_ = currentRay_;
        currentRay_ = *ray;
    } else if (const u32* proxy = message->Read(ComponentAnnounced(TypeId<EditorProxyObject>::Get()))) {
        if (*proxy != 0) AddEntry(*proxy);
        proxiesAdded_ = true;
    } else if (message->Is(kMsgToggleHudSelect)) {
        hudSelectMode_ = !hudSelectMode_;
    } else if (const SelectionFilter* filter = message->Read(kMsgPickFilter)) {
        filter_ = *filter;
    } else if (const u32* selected = message->Read(kMsgSelectedObject)) {
        // What was selected may have been moved until now.
        if (*selected != selectedObject_) moved_.push_back(selectedObject_);
        selectedObject_ = *selected;
    } else if (const u32* placed = message->Read(kMsgObjectPlaced)) {
        moved_.push_back(*placed);
    } else if (const u32* light = message->Read(ComponentAnnounced(TypeId<GlobalLighting>::Get()))) {
        sceneComponents_.push_back(*light);
    } else if (const u32* sky = message->Read(ComponentAnnounced(TypeId<Skybox>::Get()))) {
        sceneComponents_.push_back(*sky);
    } else if (hudTypeId_ != 0) {
        if (const u32* hud = message->Read(ComponentAnnounced(hudTypeId_)); hud && *hud != 0)
            hudComponents_.push_back(*hud);
    }
}

bool ObjectSelectionSystem::PickIsStale() const {
    if (proxiesAdded_) return true;
    // A pick of what was deleted since: a still pointer must not keep it.
    if (pickedObject_ != 0 && !Overlord::FindObject(pickedObject_)) return true;
    return pickedProxy_ != 0 && !Overlord::FindObject(pickedProxy_);
}

void ObjectSelectionSystem::Update(float) {
    if (VectorsNearlyEqual(currentRay_.origin, previousRay_.origin) &&
        VectorsNearlyEqual(currentRay_.direction, previousRay_.direction) && !PickIsStale())
        return;
    proxiesAdded_ = false;
    u32 proxyId = 0;
    if (!hudSelectMode_) {
        pickedObject_ = PickProxy(currentRay_, &proxyId);
    } else {
        Engine* engine = Engine::Instance();
        const InputSystem* input = engine ? engine->GetSystem<InputSystem>() : nullptr;
        const GuiSystem* gui = engine ? engine->GetSystem<GuiSystem>() : nullptr;
        pickedObject_ = 0;
        if (input && gui) {
            const ClientRect& rect = gui->GetScreenRect();
            pickedObject_ =
                PickHud(static_cast<float>(input->MouseX()), static_cast<float>(input->MouseY()),
                        static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top));
        }
    }
    pickedProxy_ = proxyId;
    Broadcast(kMsgPickedProxy, proxyId);
    Broadcast(kMsgPickedObject, pickedObject_);
    // Compared as received: a still mouse sends the same ray every frame.
    previousRay_ = currentRay_;
}

u32 ObjectSelectionSystem::PickProxy(const Ray& ray, u32* proxyId) {
    *proxyId = 0;
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return 0;
    RefreshCopies(*overlord);
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &ray.direction);
    const Ray unit{ray.origin, direction};
    Candidate best;
    // Only a proxy whose copied sphere the ray meets is judged, afresh.
    for (size_t i = 0; i < spheres_.size(); ++i) {
        const CopiedSphere& sphere = spheres_[i];
        if (sphere.placed && !LineClearlyMissesSphere(ray.origin, direction, sphere.centre, sphere.radius) &&
            RaySphereIntersect(ray.origin, direction, sphere.centre, sphere.radius))
            Judge(*overlord, proxyComponents_[i], ray, unit, &best);
    }
    *proxyId = best.proxy;
    return best.object;
}

bool ObjectSelectionSystem::Place(const Overlord& overlord, u32 componentId, Placement* out) {
    const EditorProxyObject* tag = overlord.GetComponentById<EditorProxyObject>(componentId);
    if (!tag) return false;
    out->proxy = overlord.GetGameObject(tag->GetOwner());
    out->object = overlord.GetGameObject(tag->proxiedObjectId);
    if (!out->proxy || !out->object) return false;
    out->proxiedObject = tag->proxiedObjectId;
    out->waypoint = out->proxy->GetComponent<WaypointProxyVisualization>() != nullptr;
    out->transform = out->proxy->GetComponent<Transform>();
    if (!out->transform) out->transform = out->object->GetComponent<Transform>();
    const BoundingSphere* sphere = out->proxy->GetComponent<BoundingSphere>();
    if (!out->transform || !sphere) return false;
    out->transform->Update(0.0f);
    out->radius = D3DXVec3Length(&sphere->extent) * out->transform->scale;
    out->world = out->transform->GetWorldMatrix();
    D3DXVECTOR4 centre;
    D3DXVec3Transform(&centre, &sphere->center, &out->world);
    out->centre = D3DXVECTOR3(centre.x, centre.y, centre.z);
    return true;
}

void ObjectSelectionSystem::Judge(const Overlord& overlord, u32 componentId, const Ray& ray, const Ray& unit,
                                  Candidate* best) const {
    Placement at;
    if (!Place(overlord, componentId, &at)) return;
    // A waypoint's sphere is drawn only while its track is selected.
    if (at.waypoint && at.proxiedObject != selectedObject_) return;
    const D3DXVECTOR3 toObject = at.transform->worldPosition - ray.origin;
    const float distance = D3DXVec3Length(&toObject);
    if (distance < kMinPickDistance || distance <= at.radius) return;
    if (!RaySphereIntersect(ray.origin, unit.direction, at.centre, at.radius)) return;
    Candidate candidate{at.proxiedObject, at.proxy->GetId(), distance, false, 0.0f};
    // The shape drawn: the marker, or the object's own model.
    const Model* shape = at.proxy->GetComponent<Model>();
    if (!shape) shape = at.object->GetComponent<Model>();
    if (shape) candidate.over = ShapeUnderRay(*shape, at.world, unit, &candidate.depth);
    if (!candidate.Beats(*best)) return;
    if (filter_.Excludes(*at.object)) return;
    *best = candidate;
}

void ObjectSelectionSystem::AddEntry(u32 componentId) {
    proxyComponents_.push_back(componentId);
    spheres_.emplace_back();
    placedBy_.push_back(0);
    queued_.push_back(1);
    toCopy_.push_back(static_cast<u32>(proxyComponents_.size() - 1));
}

void ObjectSelectionSystem::RefreshCopies(const Overlord& overlord) {
    // A removed object may have been a proxy, its object or a parent whose
    // children now stand apart from it.
    if (copyAll_ || overlord.ObjectRemovals() != removalsSeen_) {
        CopyAll(overlord);
        return;
    }
    moved_.push_back(selectedObject_);
    // The scene-components panel moves lights and sky boxes without selecting them.
    for (u32 componentId : sceneComponents_)
        if (const IComponent* component = overlord.GetComponentById(componentId))
            moved_.push_back(component->GetOwner());
    for (u32 objectId : moved_) MarkBelow(overlord, objectId);
    moved_.clear();
    for (u32 entry : toCopy_) {
        CopyOne(overlord, entry);
        queued_[entry] = 0;
    }
    toCopy_.clear();
}

void ObjectSelectionSystem::CopyAll(const Overlord& overlord) {
    size_t kept = 0;
    for (u32 componentId : proxyComponents_)
        if (overlord.GetComponentById<EditorProxyObject>(componentId)) proxyComponents_[kept++] = componentId;
    proxyComponents_.resize(kept);
    spheres_.assign(kept, CopiedSphere{});
    placedBy_.assign(kept, 0);
    queued_.assign(kept, 0);
    toCopy_.clear();
    moved_.clear();
    entriesByPlacer_.clear();
    for (size_t i = 0; i < kept; ++i) CopyOne(overlord, i);
    copyAll_ = false;
    removalsSeen_ = overlord.ObjectRemovals();
}

void ObjectSelectionSystem::CopyOne(const Overlord& overlord, size_t entry) {
    Placement at;
    if (!Place(overlord, proxyComponents_[entry], &at)) {
        spheres_[entry].placed = false;
        return;
    }
    spheres_[entry] = CopiedSphere{at.centre, at.radius, true};
    const u32 placer = at.transform->GetOwner();
    if (placer == placedBy_[entry]) return;
    placedBy_[entry] = placer;
    entriesByPlacer_.emplace(placer, static_cast<u32>(entry));
}

void ObjectSelectionSystem::MarkBelow(const Overlord& overlord, u32 objectId) {
    std::vector<u32> pending{objectId};
    // Parent links never close a loop and stay within a bounded depth.
    while (!pending.empty()) {
        const u32 id = pending.back();
        pending.pop_back();
        const GameObject* object = overlord.GetGameObject(id);
        if (!object) continue;
        const auto [first, last] = entriesByPlacer_.equal_range(id);
        for (auto it = first; it != last; ++it) {
            if (queued_[it->second]) continue;
            queued_[it->second] = 1;
            toCopy_.push_back(it->second);
        }
        pending.insert(pending.end(), object->GetChildren().begin(), object->GetChildren().end());
    }
}

bool ObjectSelectionSystem::Candidate::Beats(const Candidate& best) const {
    if (best.object == 0) return true;
    // What the pointer is over comes before what only its bounding sphere
    // reaches, and of those the shape met first; otherwise the nearer object
    // by its position, and on a tie the later proxy.
    if (over != best.over) return over;
    if (over && depth != best.depth) return depth < best.depth;
    return distance <= best.distance;
}

bool ObjectSelectionSystem::ShapeUnderRay(const Model& model, const D3DXMATRIX& world, const Ray& ray, float* depth) {
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &world)) return false;
    D3DXVECTOR3 origin, direction;
    D3DXVec3TransformCoord(&origin, &ray.origin, &inverse);
    D3DXVec3TransformNormal(&direction, &ray.direction, &inverse);
    const ModelCpuMesh* mesh = model.cacheEntry ? model.cacheEntry->cpuMesh.get() : nullptr;
    float t = 0.0f;
    bool hit = false;
    if (mesh && !mesh->vertices.empty()) {
        MeshHit meshHit;
        hit = RayMeshIntersect(origin, direction, *mesh, &meshHit);
        t = meshHit.t;
    } else if (model.filename == MeshBuilder::kDebugSphereName) {
        // Drawn in lines, seen through: what lies inside it is over it.
        float enter = 0.0f;
        hit = RaySphereSpan(origin, direction, model.center, model.extent.x, &enter, &t);
    } else {
        hit = RayBoxEntry(origin, direction, model.center, model.extent, &t);
    }
    if (!hit) return false;
    D3DXVECTOR3 point;
    const D3DXVECTOR3 local = origin + direction * t;
    D3DXVec3TransformCoord(&point, &local, &world);
    const D3DXVECTOR3 apart = point - ray.origin;
    *depth = D3DXVec3Length(&apart);
    return true;
}

u32 ObjectSelectionSystem::PickHud(float x, float y, float width, float height) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return 0;
    // Screen space: pixels from the window centre, y up.
    const D3DXVECTOR3 p(x - width / 2.0f, height / 2.0f - y, 1.0f);
    size_t kept = 0;
    u32 found = 0;
    for (size_t i = 0; i < hudComponents_.size(); ++i) {
        const u32 componentId = hudComponents_[i];
        const IComponent* hud = overlord->GetComponentById(componentId);
        if (!hud) continue;
        hudComponents_[kept++] = componentId;
        if (found != 0) continue;
        Transform* transform = overlord->GetComponent<Transform>(hud->GetOwner());
        const Model* model = overlord->GetComponent<Model>(hud->GetOwner());
        if (!transform || !model) continue;
        transform->Update(0.0f);
        const float X = transform->worldPosition.x, Y = transform->worldPosition.y, s = transform->scale;
        const float w = model->extent.x * s, h = model->extent.y * s;
        if (PointInScreenRect(p, {X - w, Y - h, 1}, {X - w, Y + h, 1}, {X + w, Y + h, 1}, {X + w, Y - h, 1}))
            found = hud->GetOwner();
    }
    hudComponents_.resize(kept);
    return found;
}
