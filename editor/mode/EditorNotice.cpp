#include "editor/mode/EditorNotice.h"

#include "core/ClassNameLookup.h"
#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/mesh/Model.h"

std::string ObjectLabel(u32 objectId) {
    if (objectId == 0) return "nothing";
    const GameObject* object = Overlord::FindObject(objectId);
    if (!object) return "a deleted object";
    std::string name = object->GetArchetypeName();
    if (const Model* model = object->GetComponent<Model>(); name.empty() && model) name = model->filename;
    for (const IComponent* component : object->GetComponents()) {
        if (!name.empty()) break;
        if (component->GetTypeId() != TypeId<Transform>::Get()) name = GetClassName(component->GetTypeId());
    }
    if (name.empty()) name = "object";
    return name + " (GUID " + std::to_string(objectId) + ")";
}

void PostEditorNotice(u32 sender, const std::string& text) {
    ::Broadcast(kMsgEditorNotice, sender, text);
}
