// Finds the sphere colliders that touch and tells the later object of each
// pair (kMsgCollision, at once). A child system of Physics, which creates,
// initialises, updates (once per physics step) and deletes it. Colliders enter
// its sweep list once they come within 1000 units of the focus object (the
// ship), cylinders at once; an entry leaves one frame after its object is
// gone, or at a scene clear. Main thread only.
#pragma once
#include <set>
#include <vector>

#include "engine/ISystem.h"
#include "game/physics/ContactBudget.h"
#include "game/physics/SweepList.h"

class SphereCollision;

class CollisionSystem : public ISystem {
public:
    static constexpr float kIntakeDistance = 1000.0f;

    CollisionSystem();

    // Collider announcements, the focus object (kMsgFocusObject, any
    // argument), collider moves and removals.
    void HandleMessage(Message* message) override;
    // Intake by distance, re-sort, candidate pairs, exact tests and the
    // collision messages; dt is not read.
    void Update(float dt) override;
    // Subscribes; no focus.
    void Init() override;
    // Empties the sweep list and the pending objects; the focus stays.
    void Clear() override;
    // Subscribes again, the focus object included.
    void Activate() override;

    const SweepList& GetSweepList() const { return sweepList_; }
    const std::set<u32>& GetPending() const { return pending_; }
    u32 GetFocusObject() const { return focusObjectId_; }
    // Candidate pairs of the last update.
    long long GetCandidateCount() const { return candidates_; }

    // The pair rule of the sweep: a and b (b later in sweep order) are a
    // candidate when either group is 0, or the groups differ and b starts
    // within a's extent.
    static bool IsCandidate(const SweepEntry& a, const SweepEntry& b);
    // The group pairs that never collide (1-4, 2-3, 3-4, either order).
    static bool GroupsExcluded(int a, int b);

private:
    void Subscribe();
    void TakeInNearObjects();
    // Finds each entry's object and usable sphere (in object order).
    void LookUpObjects();
    void AddCylinder(u32 componentId);
    // The number of candidate pairs of the sorted list, without visiting them.
    long long CountCandidates();
    // The candidates that pass the exact test now, in sweep order (index of
    // the first entry, then of the second). The search stops at kMostHits:
    // a step past the contact budget reports some of its contacts, not
    // necessarily the first in sweep order.
    void FindHits();
    static constexpr std::size_t kMostHits = 4 * ContactBudget::kPerStep;

    struct Live {
        SphereCollision* sphere = nullptr;  // null: no object, no collider or no usable place
        D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
        float radius = 0.0f;
        float low = 0.0f, high = 0.0f;  // reach along the axis
        u32 index = 0;                  // in sweep order
        u32 column = 0;                 // across x
    };
    struct Hit {
        u32 first, second;  // sweep indices
        bool operator<(const Hit& o) const { return first != o.first ? first < o.first : second < o.second; }
    };

    std::set<u32> pending_;  // objects with a SphereCollision not yet in the sweep list
    u32 focusObjectId_ = 0;  // the ship; 0: none
    SweepList sweepList_;
    long long candidates_ = 0;
    ContactBudget contacts_{"sphere"};
    // Scratch of one update, kept for its capacity.
    std::vector<Live> live_;      // usable spheres in sweep order
    std::vector<Live> byColumn_;  // the same by column, then by the low end of their reach
    std::vector<u32> columnStart_;
    std::vector<Hit> hits_;
    std::vector<float> mins_, maxs_;
    std::vector<u32> nonZeroBefore_;
    std::vector<std::pair<int, std::vector<u32>>> groupIndices_;
    std::vector<u32> hitObjects_;
};
