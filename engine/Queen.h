// The engine system that files every announced Transform's object into a
// parent/child forest of object ids, and keeps the ids of the announced
// transforms. Objects that are unregistered (kMsgObjectUnregistered) leave the forest
// (their children move up to the roots) and the lists; Clear empties both,
// so neither grows over the run. Owned by the Engine; main thread only.
#pragma once
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/ComponentList.h"
#include "engine/ISystem.h"

class Queen : public ISystem {
public:
    struct Node {
        u32 objectId = 0;
        std::vector<std::unique_ptr<Node>> children;
    };

    Queen();
    ~Queen() override;

    // ComponentAnnounced(Transform): files the object; kMsgObjectUnregistered: drops it.
    void HandleMessage(Message* message) override;
    // Subscribes to Transform announcements and to unregistered objects.
    void Init() override;
    // Forgets every filed transform and object.
    void Clear() override;

    const std::vector<std::unique_ptr<Node>>& GetRoots() const { return roots_; }
    const ComponentList& GetTransforms() const { return transforms_; }
    // The node of the object, or null.
    Node* Find(u32 objectId);
    // Number of objects in the forest.
    std::size_t CountNodes() const;

private:
    void File(u32 componentId);
    void Drop(u32 objectId);

    ComponentList transforms_;
    std::vector<std::unique_ptr<Node>> roots_;
    std::unordered_map<u32, Node*> index_;  // object id -> its node
    std::size_t dropsSincePass_ = 0;        // unregistered objects since the last purge
};
