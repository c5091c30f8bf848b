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
}

void ObjectSelectionSystem::Clear() {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    const auto gone = [overlord](u32 componentId) { return overlord->GetComponentById(componentId) == nullptr; };
    std::erase_if(proxyComponents_, gone);
    std::erase_if(hudComponents_, gone);
}

void ObjectSelectionSystem::HandleMessage(Message* message) {
    if (const Ray* ray = message->Read(kMsgMouseRay)) {
        previousRay_ = currentRay_;
        currentRay_ = *ray;
    } else if (const u32* proxy = message->Read(ComponentAnnounced(TypeId<EditorProxyObject>::Get()))) {
        if (*proxy != 0) proxyComponents_.push_back(*proxy);
        proxiesAdded_ = true;
    } else if (message->Is(kMsgToggleHudSelect)) {
        hudSelectMode_ = !hudSelectMode_;
    } else if (const SelectionFilter* filter = message->Read(kMsgPickFilter)) {
        filter_ = *filter;
    } else if (const u32* selected = message->Read(kMsgSelectedObject)) {
        selectedObject_ = *selected;
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
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &ray.direction);
    const Ray unit{ray.origin, direction};
    Candidate best;
    size_t kept = 0;
    for (size_t i = 0; i < proxyComponents_.size(); ++i) {
        const u32 componentId = proxyComponents_[i];
        const EditorProxyObject* tag = overlord->GetComponentById<EditorProxyObject>(componentId);
        if (!tag) continue;  // gone for good: ids are never drawn twice
        proxyComponents_[kept++] = componentId;
        GameObject* proxy = overlord->GetGameObject(tag->GetOwner());
        GameObject* object = overlord->GetGameObject(tag->proxiedObjectId);
        if (!proxy || !object) continue;
        // A waypoint's sphere is drawn only while its track is selected.
        if (tag->proxiedObjectId != selectedObject_ && proxy->GetComponent<WaypointProxyVisualization>()) continue;
        Transform* transform = proxy->GetComponent<Transform>();
        if (!transform) transform = object->GetComponent<Transform>();
        const BoundingSphere* sphere = proxy->GetComponent<BoundingSphere>();
        if (!transform || !sphere) continue;
        transform->Update(0.0f);
        const D3DXVECTOR3 toObject = transform->worldPosition - ray.origin;
        const float distance = D3DXVec3Length(&toObject);
        if (distance < kMinPickDistance) continue;
        const float radius = D3DXVec3Length(&sphere->extent) * transform->scale;
        if (distance <= radius) continue;
        D3DXVECTOR4 centre;
        const D3DXMATRIX world = transform->GetWorldMatrix();
        D3DXVec3Transform(&centre, &sphere->center, &world);
        if (!RaySphereIntersect(ray.origin, direction, D3DXVECTOR3(centre.x, centre.y, centre.z), radius)) continue;
        Candidate candidate{tag->proxiedObjectId, proxy->GetId(), distance, false, 0.0f};
        // The shape drawn: the marker, or the object's own model.
        const Model* shape = proxy->GetComponent<Model>();
        if (!shape) shape = object->GetComponent<Model>();
        if (shape) candidate.over = ShapeUnderRay(*shape, world, unit, &candidate.depth);
        if (!candidate.Beats(best)) continue;
        if (filter_.Excludes(*object)) continue;
        best = candidate;
    }
    proxyComponents_.resize(kept);
    *proxyId = best.proxy;
    return best.object;
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
