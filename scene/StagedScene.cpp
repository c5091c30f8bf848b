#include "scene/StagedScene.h"

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "scene/ObjectFactory.h"

GameObject* StagedScene::FindArchetype(const std::string& name) const {
    for (GameObject* prototype : archetypes_)
        if (prototype->GetArchetypeName() == name) return prototype;
    return nullptr;
}

void StagedScene::Drop() {
    if (Overlord* overlord = Overlord::Instance())
        for (u32 id : objects_) overlord->UnregisterGameObject(id);
    for (GameObject* prototype : archetypes_) ObjectFactory::DropObject(prototype);
    Release();
}

void StagedScene::Release() {
    objects_.clear();
    archetypes_.clear();
    parentLinks_.clear();
    crawlerBindings_.clear();
}
