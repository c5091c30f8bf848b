#include "editor/controls/VertexSnapControl.h"

#include <limits>

#include "controls/KeyTrigger.h"
#include "engine/Engine.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/InputSystem.h"
#include "render/DebugRecords.h"
#include "render/IGraphics.h"
#include "render/Model.h"
#include "render/ModelCacheEntry.h"
#include "render/ModelCpuMesh.h"

namespace {
constexpr u32 kKeyB = 0x42;
constexpr u32 kEscape = 0x1B;
const D3DXCOLOR kMarkColour{1, 1, 0, 1};

D3DXMATRIX WorldMatrix(u32 objectId) {
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    if (Transform* transform = Overlord::FindComponent<Transform>(objectId)) {
        transform->Update(0.0f);
        world = transform->GetWorldMatrix();
    }
    return world;
}
}  // namespace

VertexSnapControl::VertexSnapControl() : Control("VertexSnapControl", kCategoryCapturing) {
    AddActivateTrigger(new KeyTrigger(kKeyB, KeyTrigger::kModeHeld, true));
    Subscribe(kMsgPickedObject);
    Subscribe(kMsgMouseRay);
}

void VertexSnapControl::OnMessage(Message* message) {
    if (const u32* picked = message->Read(kMsgPickedObject))
        pickedObject_ = *picked;
    else if (const Ray* ray = message->Read(kMsgMouseRay))
        ray_ = *ray;
}

void VertexSnapControl::OnActivate() {
    first_ = SnapPoint();
    second_ = SnapPoint();
}

VertexSnapControl::SnapPoint VertexSnapControl::FindVertex(u32 objectId, const Ray& ray) {
    SnapPoint found;
    const Model* model = Overlord::FindComponent<Model>(objectId);
    const ModelCpuMesh* mesh = model && model->cacheEntry ? model->cacheEntry->cpuMesh.get() : nullptr;
    if (!mesh || mesh->vertices.empty()) return found;
    const D3DXMATRIX world = WorldMatrix(objectId);
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &world)) return found;
    D3DXVECTOR3 origin, direction;
    D3DXVec3TransformCoord(&origin, &ray.origin, &inverse);
    D3DXVec3TransformNormal(&direction, &ray.direction, &inverse);
    const size_t count = mesh->indices.empty() ? mesh->vertices.size() : mesh->indices.size();
    auto index = [&](size_t i) { return mesh->indices.empty() ? static_cast<u32>(i) : mesh->indices[i]; };
    float nearest = std::numeric_limits<float>::max();
    for (size_t i = 0; i + 2 < count; i += 3) {
        const u32 corners[3] = {index(i), index(i + 1), index(i + 2)};
        if (corners[0] >= mesh->vertices.size() || corners[1] >= mesh->vertices.size() ||
            corners[2] >= mesh->vertices.size())
            continue;
        const D3DXVECTOR3& p0 = mesh->vertices[corners[0]].position;
        const D3DXVECTOR3& p1 = mesh->vertices[corners[1]].position;
        const D3DXVECTOR3& p2 = mesh->vertices[corners[2]].position;
        float u = 0, v = 0, distance = 0;
        if (!D3DXIntersectTri(&p0, &p1, &p2, &origin, &direction, &u, &v, &distance) || distance >= nearest) continue;
        nearest = distance;
        const D3DXVECTOR3 hit = origin + direction * distance;
        float best = std::numeric_limits<float>::max();
        for (u32 corner : corners) {
            const D3DXVECTOR3 apart = mesh->vertices[corner].position - hit;
            const float length = D3DXVec3LengthSq(&apart);
            if (length < best) {
                best = length;
                found = SnapPoint{objectId, static_cast<int>(corner), mesh->vertices[corner].position};
            }
        }
    }
    return found;
}

void VertexSnapControl::Snap(const SnapPoint& first, const SnapPoint& second) {
    Transform* transform = Overlord::FindComponent<Transform>(first.objectId);
    if (!transform || first.vertex < 0 || second.vertex < 0) return;
    const D3DXMATRIX firstWorld = WorldMatrix(first.objectId);
    const D3DXMATRIX secondWorld = WorldMatrix(second.objectId);
    D3DXVECTOR3 from, to;
    D3DXVec3TransformCoord(&from, &first.position, &firstWorld);
    D3DXVec3TransformCoord(&to, &second.position, &secondWorld);
    const D3DXVECTOR3 target = transform->worldPosition + (to - from);
    transform->SetPosition(target.x, target.y, target.z);
    transform->Update(0.0f);
}

void VertexSnapControl::UpdateActive(float) {
    Engine* engine = Engine::Instance();
    const InputSystem* input = engine ? engine->GetSystem<InputSystem>() : nullptr;
    if (!input) return;
    if (input->IsKeyDown(kEscape)) {
        SetState(false);
        return;
    }
    const SnapPoint found = FindVertex(pickedObject_, ray_);
    if (found.vertex >= 0) {
        D3DXVECTOR3 world;
        const D3DXMATRIX matrix = WorldMatrix(found.objectId);
        D3DXVec3TransformCoord(&world, &found.position, &matrix);
        SendToSystem(kMsgDebugSphere, TypeId<GraphicsSystem>::Get(), GetId(),
                     DebugSphereRecord{world, 0.1f, kMarkColour});
    }
    const bool down = input->IsButtonDown(0);
    if (first_.vertex < 0) {
        if (found.vertex >= 0 && down) first_ = found;
        return;
    }
    if (second_.vertex < 0 && found.vertex >= 0 && found.objectId != first_.objectId && !down) {
        second_ = found;
        Snap(first_, second_);
        SetState(false);
    }
}
