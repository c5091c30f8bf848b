#include "editor/move/VertexSnapControl.h"

#include <limits>

#include "controls/KeyTrigger.h"
#include "editor/mode/EditorNotice.h"
#include "editor/select/PickGeometry.h"
#include "engine/Engine.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/InputSystem.h"
#include "render/IGraphics.h"
#include "render/debug/DebugRecords.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCacheEntry.h"
#include "render/mesh/ModelCpuMesh.h"

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
    AddActivateTrigger(new KeyTrigger(kKeyB, KeyTrigger::kModeDownThisFrame, true));
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
    lastNotice_.clear();
    Tell("Snap: press on a vertex of the object to move, release over a vertex of another (Esc cancels)");
}

void VertexSnapControl::Tell(const std::string& text) {
    if (text == lastNotice_) return;
    lastNotice_ = text;
    PostEditorNotice(GetId(), text);
}

std::string VertexSnapControl::Missing(u32 objectId) {
    if (!Overlord::FindObject(objectId)) return "no object under the pointer";
    const Model* model = Overlord::FindComponent<Model>(objectId);
    if (!model || !model->cacheEntry || !model->cacheEntry->cpuMesh || model->cacheEntry->cpuMesh->vertices.empty())
        return ObjectLabel(objectId) + " has no model file's mesh to snap";
    return "no vertex under the pointer";
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
    MeshHit hit;
    if (!RayMeshIntersect(origin, direction, *mesh, &hit)) return found;
    const D3DXVECTOR3 point = origin + direction * hit.t;
    float best = std::numeric_limits<float>::max();
    for (u32 corner : hit.corners) {
        const D3DXVECTOR3 apart = mesh->vertices[corner].position - point;
        const float length = D3DXVec3LengthSq(&apart);
        if (length < best) {
            best = length;
            found = SnapPoint{objectId, static_cast<int>(corner), mesh->vertices[corner].position};
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
    // The object under the pointer, which need not be the selection.
    ::Broadcast(kMsgObjectPlaced, 0, first.objectId);
}

void VertexSnapControl::UpdateActive(float) {
    Engine* engine = Engine::Instance();
    const InputSystem* input = engine ? engine->GetSystem<InputSystem>() : nullptr;
    if (!input) return;
    if (input->IsKeyDown(kEscape) || input->WasKeyPressed(kEscape)) {
        Tell("Snap cancelled; nothing moved");
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
        if (down && found.vertex >= 0) {
            first_ = found;
            Tell("Snap: took a vertex of " + ObjectLabel(found.objectId) + "; release over a vertex of another object");
        } else if (down) {
            Tell("Snap: " + Missing(pickedObject_) + "; press on a vertex of the object to move");
        }
        return;
    }
    if (second_.vertex >= 0 || down) return;
    if (found.vertex < 0) {
        Tell("Snap: " + Missing(pickedObject_) + "; move over a vertex of another object");
    } else if (found.objectId == first_.objectId) {
        Tell("Snap: that vertex is on " + ObjectLabel(found.objectId) + " itself; move over another object's");
    } else {
        second_ = found;
        Snap(first_, second_);
        Tell("Snap: moved " + ObjectLabel(first_.objectId) + " onto a vertex of " + ObjectLabel(found.objectId));
        SetState(false);
    }
}
