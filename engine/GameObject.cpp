#include "engine/GameObject.h"

#include <algorithm>
#include <unordered_set>

#include "core/ClassNameLookup.h"
#include "core/IdCounter.h"
#include "engine/Graveyard.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Ray.h"
#include "engine/SceneObjectBudget.h"
#include "engine/Transform.h"
#include "reflection/MetaRegistry.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"

namespace {

void QueueRow(const std::string& row) {
    if (Logger* logger = Logger::Instance()) logger->QueueLine(row);
}

}  // namespace

GameObject::GameObject() : id_(NewId()) {
    if (Overlord* overlord = Overlord::Instance()) overlord->RegisterGameObject(this);
}

GameObject::~GameObject() {
    if (Overlord* overlord = Overlord::Instance()) overlord->ForgetGameObject(this);
}

void GameObject::HandleMessage(Message* message) {
    for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->HandleMessage(message);

    if (message->type != kMsgFire.type && message->type != kMsgRefresh.type) return;
    Overlord* overlord = Overlord::Instance();
    for (std::size_t i = 0; i < children_.size(); ++i) {
        // A child that was linked to another parent without being detached
        // from this one is no longer this object's: passing on to it could
        // come back here.
        const GameObject* child = overlord ? overlord->GetGameObject(children_[i]) : nullptr;
        if (child && child->parent_ != id_) continue;
        // The type alone decides, so the copy keeps the message's argument.
        if (message->type == kMsgFire.type) {
            const Kind<Ray> fire{message->type, message->argument};
            if (const Ray* ray = message->Read(fire))
                SendToObject(fire, children_[i], message->sender, *ray);
            else
                SendToObject(fire, children_[i], message->sender);
        } else {
            SendToObject(Kind<NoPayload>{message->type, message->argument}, children_[i], message->sender);
        }
    }
}

void GameObject::AddComponent(IComponent* component) {
    if (!component) return;
    QueueRow("Adding component " + std::to_string(component->GetId()) + " of type (" +
             GetClassName(component->GetTypeId()) + ") to game object: " + std::to_string(id_));
    if (Overlord* overlord = Overlord::Instance()) overlord->RegisterComponent(component);
    components_.push_back(component);
    component->SetOwner(id_);
}

void GameObject::RemoveComponent(u32 typeId) {
    auto found = std::find_if(components_.begin(), components_.end(),
                              [typeId](IComponent* c) { return c->GetTypeId() == typeId; });
    if (found == components_.end()) return;
    IComponent* component = *found;
    QueueRow("Removing component: " + std::to_string(component->GetId()) + " from GameObject: " + std::to_string(id_));
    *found = components_.back();
    components_.pop_back();
    if (Overlord* overlord = Overlord::Instance()) overlord->UnregisterComponent(component);
}

IComponent* GameObject::GetComponentByTypeId(u32 typeId) const {
    for (IComponent* component : components_)
        if (component->GetTypeId() == typeId) return component;
    return nullptr;
}

int GameObject::SubtreeLevels(int cap) const {
    Overlord* overlord = Overlord::Instance();
    std::vector<u32> level{id_};
    std::unordered_set<u32> seen{id_};
    int levels = 0;
    while (!level.empty() && levels <= cap) {
        ++levels;
        std::vector<u32> below;
        for (u32 id : level) {
            const GameObject* object = overlord ? overlord->GetGameObject(id) : (id == id_ ? this : nullptr);
            if (!object) continue;
            for (u32 child : object->children_)
                if (seen.insert(child).second) below.push_back(child);
        }
        level.swap(below);
    }
    return levels;
}

bool GameObject::SetParent(u32 parentId) {
    Overlord* overlord = Overlord::Instance();
    // Walk up from the new parent twice: along the object links, and along
    // the links the Transforms follow (a clone's Transform keeps its source's
    // parent without being linked). Meeting this object on either means a
    // cycle. The walks stop past the depth limit (links never make deeper chains).
    int levelsAbove = 0;
    for (bool transformLinks : {false, true}) {
        u32 ancestor = parentId;
        int levels = 0;
        for (; ancestor != 0 && levels <= kMaxHierarchyLevels; ++levels) {
            if (ancestor == id_) {
                QueueRow("Refusing object ID: " + std::to_string(parentId) + " as parent of " + std::to_string(id_) +
                         ": it is the object or one of its descendants");
                return false;
            }
            GameObject* up = overlord ? overlord->GetGameObject(ancestor) : nullptr;
            const Transform* transform = up && transformLinks ? up->GetComponent<Transform>() : nullptr;
            ancestor = transform ? transform->GetParentId() : up ? up->parent_ : 0;
        }
        levelsAbove = std::max(levelsAbove, levels);
    }
    // World values are computed up the whole chain, every chain level again
    // for each level below: deep chains (a broken or hostile scene) would
    // cost more than a frame can spend.
    if (levelsAbove + SubtreeLevels(kMaxHierarchyLevels) > kMaxHierarchyLevels) {
        QueueRow("Refusing object ID: " + std::to_string(parentId) + " as parent of " + std::to_string(id_) +
                 ": the hierarchy would be deeper than " + std::to_string(kMaxHierarchyLevels) + " levels");
        return false;
    }

    QueueRow("Adding object ID: " + std::to_string(parentId) + " as parent of " + std::to_string(id_));
    parent_ = parentId;
    for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->OnOwnerParentChanged(parentId, true);
    if (GameObject* parent = overlord ? overlord->GetGameObject(parentId) : nullptr) parent->children_.push_back(id_);
    return true;
}

void GameObject::DetachFromParent() {
    if (parent_ == 0) return;
    Overlord* overlord = Overlord::Instance();
    if (GameObject* parent = overlord ? overlord->GetGameObject(parent_) : nullptr) {
        auto found = std::find(parent->children_.begin(), parent->children_.end(), id_);
        if (found != parent->children_.end()) parent->children_.erase(found);
    }
    parent_ = 0;
    for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->OnOwnerParentChanged(0, false);
}

void GameObject::Init() {
    Log("Init gameobject %i archetype: %s", static_cast<int>(id_), archetypeName_.c_str());
    for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->Init();
}

GameObject* GameObject::Clone() const {
    GameObject* clone = new GameObject();
    clone->archetypeName_ = archetypeName_;
    for (IComponent* component : components_) clone->AddComponent(component->Clone());
    return clone;
}

void GameObject::AnnounceComponents() {
    AnnounceComponentsExcept({});
}

void GameObject::AnnounceComponentsExcept(const std::vector<u32>& typeIds) {
    for (std::size_t i = 0; i < components_.size(); ++i) {
        const IComponent* component = components_[i];
        if (std::find(typeIds.begin(), typeIds.end(), component->GetTypeId()) != typeIds.end()) continue;
        Broadcast(ComponentAnnounced(component->GetTypeId()), id_, component->GetId());
    }
}

bool GameObject::JoinScene() {
    return sceneShare_.Current() || sceneShare_.Take(SceneObjectBudget::Budget(), 1);
}

void GameObject::Destroy() {
    if (buried_) return;
    LeaveScene();
    QueueRow("Destroying object: " + std::to_string(id_));
    Overlord* overlord = Overlord::Instance();
    if (overlord) {
        overlord->RemoveGameObjectId(id_);
        for (IComponent* component : components_) overlord->RemoveComponentId(component->GetId());
    }
    Graveyard* graveyard = Graveyard::Instance();
    const std::vector<IComponent*> components = components_;
    for (IComponent* component : components) {
        component->Shutdown();
        Overlord::ForgetSubscriptions(component->GetId());
        if (graveyard) graveyard->AddComponent(component);
    }
    if (graveyard) graveyard->AddObject(this);
}

void GameObject::ShowInTweakBar(TwBar* bar, const std::string& suffix) {
    TwAddVarRO(bar, ("GUID" + suffix).c_str(), TW_TYPE_UINT32, &id_, "label='GUID' group=Parenting");
    TwAddVarRO(bar, ("Parent" + suffix).c_str(), TW_TYPE_UINT32, &parent_, "label='Parent' group=Parenting");
    MetaRegistry* registry = MetaRegistry::Instance();
    const char* barName = TwGetBarName(bar);
    for (std::size_t i = 0; i < components_.size(); ++i) {
        IComponent* component = components_[i];
        const std::string className = GetClassName(component->GetTypeId());
        const std::string group = className + suffix;
        TwAddSeparator(bar, (className + "Separator" + suffix).c_str(), ("group=" + group).c_str());
        TweakVarParams params;
        params.group = {"group", group, true};
        params.nameSuffix = suffix;
        if (barName) TwDefine(("`" + std::string(barName) + "`/`" + group + "` label='" + className + "' ").c_str());
        if (const IMetaClass* metaClass = registry ? registry->GetByTypeId(component->GetTypeId()) : nullptr)
            AddMembersToTweakBar(*metaClass, component, bar, params, group);
        component->AddTweakBarVars(bar, params);
    }
}
