#include "editor/mode/EditorNotice.h"

#include <cstdio>

#include "core/ClassNameLookup.h"
#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/actors/Player.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
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

std::string LoadPlacement(u32 objectId) {
    const GameObject* object = Overlord::FindObject(objectId);
    if (!object) return "";
    if (const Player* player = object->GetComponent<Player>()) {
        char place[96];
        std::snprintf(place, sizeof place, "at (0, %g, 0)", static_cast<double>(-player->circleRadius));
        return std::string("its Player, ") + place + (object->GetParent() != 0 ? " from its parent" : "");
    }
    const SplineCrawler* crawler = object->GetComponent<SplineCrawler>();
    if (crawler && Overlord::FindComponent<PlayerPath>(crawler->splineGameObjectID))
        return "its SplineCrawler, on " + ObjectLabel(crawler->splineGameObjectID);
    return "";
}

void PostEditorNotice(u32 sender, const std::string& text) {
    ::Broadcast(kMsgEditorNotice, sender, text);
}
