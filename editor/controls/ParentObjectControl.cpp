#include "editor/controls/ParentObjectControl.h"

#include "editor/systems/EditorProxySystem.h"
#include "engine/GameObject.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"

namespace {
// Whether `ancestor` is `objectId` or above it in its parent chain.
bool IsAncestorOrSelf(u32 ancestor, u32 objectId) {
    int levels = 0;
    for (u32 id = objectId; id != 0 && levels <= GameObject::kMaxHierarchyLevels; ++levels) {
        if (id == ancestor) return true;
        const GameObject* object = Overlord::FindObject(id);
        const Transform* transform = object ? object->GetComponent<Transform>() : nullptr;
        id = object ? (object->GetParent() != 0 ? object->GetParent() : transform ? transform->GetParentId() : 0) : 0;
    }
    return false;
}

// Takes the object out of its parent; its transform, if any, becomes a root
// at the world placement it had.
void DetachKeepingWorld(GameObject& object, Transform* transform) {
    if (!transform) {
        object.DetachFromParent();
        return;
    }
    transform->Update(0.0f);
    const D3DXVECTOR3 position = transform->worldPosition;
    const D3DXQUATERNION rotation = transform->GetWorldRotation();
    const float scale = transform->GetWorldScale();
    object.DetachFromParent();
    transform->position = transform->worldPosition = position;
    transform->rotation = rotation;
    transform->scale = scale;
    transform->Update(0.0f);
}
}  // namespace

ParentObjectControl::ParentObjectControl(bool parenting)
    : Control("ParentObjectControl", kCategoryCapturing), parenting_(parenting) {
    EditorPickState::Subscribe(*this);
}

void ParentObjectControl::OnMessage(Message* message) {
    pick_.Take(message);
}

void ParentObjectControl::OnActivate() {
    if (parenting_)
        MakeChild(pick_.selectedObject, pick_.pickedObject);
    else
        Unparent(pick_.selectedObject);
}

bool ParentObjectControl::MakeChild(u32 parentId, u32 childId) {
    if (const u32 proxied = EditorProxySystem::ProxiedObjectOf(childId)) childId = proxied;
    GameObject* parent = Overlord::FindObject(parentId);
    GameObject* child = Overlord::FindObject(childId);
    if (!parent || !child || parentId == childId) return false;
    if (child->GetParent() == parentId) return false;
    // The child above the parent would close a loop.
    if (IsAncestorOrSelf(childId, parentId)) return false;
    Transform* transform = child->GetComponent<Transform>();
    DetachKeepingWorld(*child, transform);
    Transform* parentTransform = parent->GetComponent<Transform>();
    if (transform && parentTransform) transform->MakeRelativeTo(*parentTransform);
    const bool linked = child->SetParent(parentId);
    if (transform) transform->Update(0.0f);
    return linked;
}

void ParentObjectControl::Unparent(u32 objectId) {
    if (GameObject* object = Overlord::FindObject(objectId))
        DetachKeepingWorld(*object, object->GetComponent<Transform>());
}
