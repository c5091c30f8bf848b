#include "engine/Queen.h"

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"

namespace {
using Nodes = std::vector<std::unique_ptr<Queen::Node>>;

// Takes the node out of the forest (its subtree with it).
std::unique_ptr<Queen::Node> Detach(Nodes& nodes, const Queen::Node* target) {
    for (auto it = nodes.begin(); it != nodes.end(); ++it) {
        if (it->get() == target) {
            std::unique_ptr<Queen::Node> node = std::move(*it);
            nodes.erase(it);
            return node;
        }
        if (auto node = Detach((*it)->children, target)) return node;
    }
    return nullptr;
}

std::size_t Count(const Nodes& nodes) {
    std::size_t n = nodes.size();
    for (const auto& node : nodes) n += Count(node->children);
    return n;
}
}  // namespace

Queen::Queen() : ISystem(TypeId<Queen>::Get()) {
    SetName("Queen");
}

Queen::~Queen() = default;

void Queen::Init() {
    Subscribe(ComponentAnnounced(TypeId<Transform>::Get()));
    Subscribe(kMsgObjectUnregistered);
}

void Queen::HandleMessage(Message* message) {
    if (const u32* transformId = message->Read(ComponentAnnounced(TypeId<Transform>::Get())))
        File(*transformId);
    else if (const u32* objectId = message->Read(kMsgObjectUnregistered))
        Drop(*objectId);
}

void Queen::File(u32 componentId) {
    Overlord* overlord = Overlord::Instance();
    Transform* transform = overlord ? overlord->GetComponentById<Transform>(componentId) : nullptr;
    GameObject* object = transform && overlord ? overlord->GetGameObject(transform->GetOwner()) : nullptr;
    if (!object) return;
    transforms_.Add(componentId);
    if (Find(object->GetId())) return;  // announced again: already filed
    auto node = std::make_unique<Node>();
    node->objectId = object->GetId();
    index_[node->objectId] = node.get();
    Node* parent = object->GetParent() != 0 ? Find(object->GetParent()) : nullptr;
    (parent ? parent->children : roots_).push_back(std::move(node));
}

void Queen::Drop(u32 objectId) {
    if (Node* filed = Find(objectId)) {
        index_.erase(objectId);
        if (std::unique_ptr<Node> node = Detach(roots_, filed))
            for (auto& child : node->children) roots_.push_back(std::move(child));
    }
    // A pass over the transform ids drops those of unregistered components;
    // run once the drops since the last pass could make up half the list, so
    // the list stays within twice the live transforms at linear total cost.
    if (++dropsSincePass_ * 2 < transforms_.Size()) return;
    dropsSincePass_ = 0;
    while (transforms_.HasNext()) transforms_.Next();
    transforms_.EndPass();
}

Queen::Node* Queen::Find(u32 objectId) {
    auto it = index_.find(objectId);
    return it == index_.end() ? nullptr : it->second;
}

std::size_t Queen::CountNodes() const {
    return Count(roots_);
}

void Queen::Clear() {
    transforms_.Clear();
    roots_.clear();
    index_.clear();
    dropsSincePass_ = 0;
}
