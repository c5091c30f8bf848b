#include "editor/links/ParentObjectControl.h"

#include "editor/mode/EditorNotice.h"
#include "editor/proxy/EditorProxySystem.h"
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
    std::string notice;
    if (parenting_)
        MakeChild(pick_.selectedObject, pick_.pickedObject, &notice);
    else
        Unparent(pick_.selectedObject, &notice);
    PostEditorNotice(GetId(), notice);
}

bool ParentObjectControl::MakeChild(u32 parentId, u32 childId, std::string* notice) {
    std::string ignored;
    std::string& said = notice ? *notice : ignored;
    if (const u32 proxied = EditorProxySystem::ProxiedObjectOf(childId)) childId = proxied;
    GameObject* parent = Overlord::FindObject(parentId);
    GameObject* child = Overlord::FindObject(childId);
    if (!parent) {
        said = "Parent: nothing selected; select the parent, then hold P and click the child";
        return false;
    }
    if (!child) {
        said = "Parent: no object under the pointer; nothing parented";
        return false;
    }
    if (parentId == childId) {
        said = "Parent: " + ObjectLabel(childId) + " cannot be its own parent";
        return false;
    }
    // A child follows its parent's Transform; without one it would stay
    // where it is, whatever the parent does.
    if (!parent->GetComponent<Transform>()) {
        said = "Parent: refused, " + ObjectLabel(parentId) + " has no Transform for a child to follow";
        return false;
    }
    // Nor does a child without a Transform follow anything: the link would
    // be saved and carry nothing.
    if (!child->GetComponent<Transform>()) {
        said = "Parent: refused, " + ObjectLabel(childId) + " has no Transform to follow " + ObjectLabel(parentId);
        return false;
    }
    if (child->GetParent() == parentId) {
        said = "Parent: " + ObjectLabel(childId) + " already is a child of " + ObjectLabel(parentId);
        return false;
    }
    // The child above the parent would close a loop.
    if (IsAncestorOrSelf(childId, parentId)) {
        said = "Parent: refused, " + ObjectLabel(childId) + " is above " + ObjectLabel(parentId);
        return false;
    }
    Transform* transform = child->GetComponent<Transform>();
    DetachKeepingWorld(*child, transform);
    Transform* parentTransform = parent->GetComponent<Transform>();
    // Kept to put the child back where it was if the link is refused.
    const D3DXVECTOR3 position = transform ? transform->position : D3DXVECTOR3(0, 0, 0);
    const D3DXQUATERNION rotation = transform ? transform->rotation : D3DXQUATERNION(0, 0, 0, 1);
    const float scale = transform ? transform->scale : 1.0f;
    if (transform && parentTransform) transform->MakeRelativeTo(*parentTransform);
    const bool linked = child->SetParent(parentId);
    if (!linked && transform) {
        transform->position = position;
        transform->rotation = rotation;
        transform->scale = scale;
    }
    if (transform) transform->Update(0.0f);
    // The child was under the pointer, not selected; its scale is now
    // relative to the parent's.
    ::Broadcast(kMsgObjectPlaced, 0, childId);
    said = linked ? "Parent: " + ObjectLabel(childId) + " is now a child of " + ObjectLabel(parentId)
                  : "Parent: refused, the hierarchy would be deeper than " +
                        std::to_string(GameObject::kMaxHierarchyLevels) + " levels";
    return linked;
}

void ParentObjectControl::Unparent(u32 objectId, std::string* notice) {
    std::string ignored;
    std::string& said = notice ? *notice : ignored;
    GameObject* object = Overlord::FindObject(objectId);
    if (!object) {
        said = "Unparent: nothing selected";
        return;
    }
    const Transform* transform = object->GetComponent<Transform>();
    const u32 parentId = object->GetParent() != 0 ? object->GetParent() : transform ? transform->GetParentId() : 0;
    if (parentId == 0) {
        said = "Unparent: " + ObjectLabel(objectId) + " has no parent";
        return;
    }
    const std::string parent = ObjectLabel(parentId);
    DetachKeepingWorld(*object, object->GetComponent<Transform>());
    said = "Unparent: " + ObjectLabel(objectId) + " left " + parent;
}
