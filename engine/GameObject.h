// A game object: an id, its components in order (owned: it holds their
// pointers), a parent and children by id, and the archetype it came from.
// Registers itself in the Overlord on construction; during the run it is
// deleted only by the Graveyard after it is unregistered or destroyed; its
// destructor does not delete its components. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "core/TypeId.h"
#include "core/Types.h"
#include "engine/IComponent.h"
#include "engine/IMessaging.h"
#include "engine/SceneBudget.h"

class GameObject : public IMessaging {
public:
    // Draws its id and registers itself in the Overlord.
    GameObject();
    // Frees its own lists; forgets its registry entry if it still points here.
    ~GameObject() override;
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Every component in order; then messages of kMsgFire's type (with their
    // own copy of the ray) and of kMsgRefresh's type (no payload) go on to
    // each child object, whatever their argument.
    void HandleMessage(Message* message) override;

    u32 GetId() const { return id_; }
    u32 GetParent() const { return parent_; }
    const std::vector<u32>& GetChildren() const { return children_; }
    const std::vector<IComponent*>& GetComponents() const { return components_; }
    std::string GetArchetypeName() const { return archetypeName_; }
    void SetArchetypeName(const std::string& name) { archetypeName_ = name; }

    // Logs, registers the component under its id, appends it and sets its owner.
    void AddComponent(IComponent* component);
    // The first component of that type: logs, unregisters it (to the
    // Graveyard) and moves the last component into its place.
    void RemoveComponent(u32 typeId);
    IComponent* GetComponentByTypeId(u32 typeId) const;
    template <class T>
    T* GetComponent() const {
        return static_cast<T*>(GetComponentByTypeId(TypeId<T>::Get()));
    }

    // Objects in one parent chain, root and leaf included, at most.
    static constexpr int kMaxHierarchyLevels = 128;

    // Called on the child: logs, links child and parent, and tells the
    // components (the Transform rebuilds against the new parent). Refuses,
    // with a log row, a parent that is the object itself or one of its
    // descendants, and a link that would make a chain longer than
    // kMaxHierarchyLevels; returns whether the link was made. Callers detach first.
    bool SetParent(u32 parentId);
    // Removes the object from its parent's children and clears the parent.
    void DetachFromParent();

    // Logs and runs Init of every component in order.
    void Init();
    // A new registered object with the archetype name and clones of the
    // components; no parent, children, Init or announcement.
    GameObject* Clone() const;
    // ComponentAnnounced(component type id) with the component id, to the
    // subscribers at once, for every component in order.
    void AnnounceComponents();
    void AnnounceComponentsExcept(const std::vector<u32>& typeIds);
    // Logs, unregisters the object and its components without kMsgObjectUnregistered,
    // shuts the components down and hands everything to the Graveyard. An
    // object already handed over is left alone.
    void Destroy();
    // Whether the object was handed to the Graveyard.
    bool IsBuried() const { return buried_; }

    // Takes the object's place in the scene's count of objects
    // (SceneObjectBudget); false, taking none, when the scene is full. An
    // object that holds a place keeps it.
    bool JoinScene();
    // Gives its place back (it is unregistered or destroyed).
    void LeaveScene() { sceneShare_.Release(); }

    // The object's tweak panel entries: its id and parent, then per component
    // a separator, every shown reflected member ("Class" + suffix + ".member")
    // and the component's own entries, in the group "Class" + suffix. The
    // suffix keeps the entries of several objects on one bar apart.
    void ShowInTweakBar(TwBar* bar, const std::string& suffix);

private:
    friend class Graveyard;

    // Levels of this object's subtree (1: no children), counted up to cap + 1.
    int SubtreeLevels(int cap) const;

    u32 id_;
    std::vector<IComponent*> components_;
    u32 parent_ = 0;
    std::vector<u32> children_;
    std::string archetypeName_;
    bool buried_ = false;
    SceneBudget::Share sceneShare_;  // its place in the scene's count, when it has one
};
