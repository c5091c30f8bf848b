// Deferred deletion: unregistered game objects and components wait here and
// are deleted at the end of a frame, for at most as long as the frame took
// (the frame loop passes that time as the budget). Whatever is still queued
// is deleted by the destructor at shutdown. Owns everything queued; one
// engine-wide instance made by the start-up assembly. Main thread only.
#pragma once
#include <cstddef>
#include <vector>

#include "core/Singleton.h"

class GameObject;
class IComponent;

class Graveyard : public Singleton<Graveyard> {
public:
    Graveyard();
    ~Graveyard();

    // Queues the object; one already queued is not queued again. A null
    // entry is kept and dropped later without a deletion.
    void AddObject(GameObject* object);
    // Queues the component; one already queued is not queued again.
    void AddComponent(IComponent* component);
    // Deletes queued objects, then (only if time remains) components, while
    // the time spent in the deletions stays below budgetSeconds. A budget of
    // 0, less, or NaN deletes nothing. Each step takes index 0 and moves the
    // last entry into its place.
    void Collect(float budgetSeconds);

    std::size_t ObjectCount() const { return objects_.size(); }
    std::size_t ComponentCount() const { return components_.size(); }

private:
    std::vector<GameObject*> objects_;
    std::vector<IComponent*> components_;
};
