#include "editor/systems/ObjectSelectionSystem.h"

#include "controls/GuiSystem.h"
#include "editor/systems/EditorProxyObject.h"
#include "editor/systems/PickGeometry.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/BoundingSphere.h"
#include "platform/InputSystem.h"
#include "render/Model.h"
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
    } else if (message->Is(kMsgToggleHudSelect)) {
        hudSelectMode_ = !hudSelectMode_;
    } else if (const SelectionFilter* filter = message->Read(kMsgPickFilter)) {
        filter_ = *filter;
    } else if (hudTypeId_ != 0) {
        if (const u32* hud = message->Read(ComponentAnnounced(hudTypeId_)); hud && *hud != 0)
            hudComponents_.push_back(*hud);
    }
}

void ObjectSelectionSystem::Update(float) {
    if (VectorsNearlyEqual(currentRay_.origin, previousRay_.origin) &&
        VectorsNearlyEqual(currentRay_.direction, previousRay_.direction))
        return;
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
    u32 bestId = 0;
    float bestDistance = 1.0f;
    size_t kept = 0;
    for (size_t i = 0; i < proxyComponents_.size(); ++i) {
        const u32 componentId = proxyComponents_[i];
        const EditorProxyObject* tag = overlord->GetComponentById<EditorProxyObject>(componentId);
        if (!tag) continue;  // gone for good: ids are never drawn twice
        proxyComponents_[kept++] = componentId;
        GameObject* proxy = overlord->GetGameObject(tag->GetOwner());
        const GameObject* object = overlord->GetGameObject(tag->proxiedObjectId);
        if (!proxy || !object) continue;
        Transform* transform = proxy->GetComponent<Transform>();
        if (!transform) transform = overlord->GetComponent<Transform>(tag->proxiedObjectId);
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
        if (bestId != 0 && bestDistance < distance) continue;
        if (filter_.Excludes(*object)) continue;
        bestId = tag->proxiedObjectId;
        bestDistance = distance;
        *proxyId = proxy->GetId();
    }
    proxyComponents_.resize(kept);
    return bestId;
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
