#include "game/physics/CollisionSystem.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/PairTests.h"
#include "game/physics/SphereCollision.h"

namespace {

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The u32 payload of a message of any argument, or null.
const u32* ReadId(const Message& message) {
    return (message.payload && message.payloadSize == sizeof(u32)) ? static_cast<const u32*>(message.payload) : nullptr;
}

}  // namespace

CollisionSystem::CollisionSystem() : ISystem(TypeId<CollisionSystem>::Get()) {
    SetName("CollisionSystem");
    hits_.reserve(5000);
}

bool CollisionSystem::IsCandidate(const SweepEntry& a, const SweepEntry& b) {
    if (a.group == 0 || b.group == 0) return true;
    return a.group != b.group && a.minExtent <= b.minExtent && b.minExtent <= a.MaxExtent(SweepList::kAxis);
}

bool CollisionSystem::GroupsExcluded(int a, int b) {
    const int low = std::min(a, b), high = std::max(a, b);
    return (low == 1 && high == 4) || (low == 2 && high == 3) || (low == 3 && high == 4);
}

void CollisionSystem::Subscribe() {
    if (!GetSubscriptions().empty()) {
        SubscribeAll();
        return;
    }
    ISystem::Subscribe(ComponentAnnounced(TypeId<SphereCollision>::Get()));
    ISystem::Subscribe(ComponentAnnounced(TypeId<CylinderCollision>::Get()));
    ISystem::Subscribe(kMsgColliderGone);
    ISystem::Subscribe(kMsgColliderMoved);
    ISystem::Subscribe(kMsgFocusObject);
}

void CollisionSystem::Init() {
    focusObjectId_ = 0;
    Subscribe();
    hits_.clear();
}

void CollisionSystem::Activate() {
    Subscribe();
    hits_.clear();
}

void CollisionSystem::Clear() {
    sweepList_.Clear();
    pending_.clear();
    hits_.clear();
}

void CollisionSystem::HandleMessage(Message* message) {
    if (message->type == kMsgTypeComponentAnnounced) {
        const u32* componentId = ReadId(*message);
        if (!componentId) return;
        if (message->argument == TypeId<SphereCollision>::Get()) {
            Overlord* overlord = Overlord::Instance();
            const SphereCollision* sphere =
                overlord ? overlord->GetComponentById<SphereCollision>(*componentId) : nullptr;
            if (sphere && sphere->GetOwner() != 0) pending_.insert(sphere->GetOwner());
        } else if (message->argument == TypeId<CylinderCollision>::Get()) {
            AddCylinder(*componentId);
        }
    } else if (message->type == kMsgFocusObject.type) {
        if (const u32* objectId = ReadId(*message)) focusObjectId_ = *objectId;
    } else if (const ColliderRecord* record = message->Read(kMsgColliderMoved)) {
        const D3DXVECTOR3 at(record->position[0], record->position[1], record->position[2]);
        if (sweepList_.Contains(record->objectId) && !sweepList_.Move(record->objectId, at))
            Log("CollisionSystem: object %u moved to a place that is not a number; its entry stays where it was",
                record->objectId);
    } else if (const u32* objectId = message->Read(kMsgColliderGone)) {
        sweepList_.Remove(*objectId);
    }
}

void CollisionSystem::AddCylinder(u32 componentId) {
    Overlord* overlord = Overlord::Instance();
    const CylinderCollision* cylinder = overlord ? overlord->GetComponentById<CylinderCollision>(componentId) : nullptr;
    if (!cylinder || sweepList_.Contains(cylinder->GetOwner())) return;
    if (!sweepList_.Add(cylinder->GetOwner(), cylinder->position, cylinder->radius, cylinder->collisionGroup))
        Log("CollisionSystem: the cylinder of object %u has a position or radius that is not a number; left out",
            cylinder->GetOwner());
}

void CollisionSystem::TakeInNearObjects() {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    for (auto it = pending_.begin(); it != pending_.end();)
        it = overlord->GetGameObject(*it) ? std::next(it) : pending_.erase(it);

    const Transform* focus = overlord->GetComponent<Transform>(focusObjectId_);
    if (!focus) return;
    std::vector<std::pair<float, u32>> near;
    for (u32 objectId : pending_) {
        if (!overlord->GetComponent<SphereCollision>(objectId)) continue;
        const Transform* transform = overlord->GetComponent<Transform>(objectId);
        if (!transform) continue;
        const D3DXVECTOR3 apart = transform->worldPosition - focus->worldPosition;
        const float distance = D3DXVec3Length(&apart);
        if (distance < kIntakeDistance) near.emplace_back(distance, objectId);  // never a NaN
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [distance, objectId] : near) {
        pending_.erase(objectId);
        if (sweepList_.Contains(objectId)) continue;
        const SphereCollision* sphere = overlord->GetComponent<SphereCollision>(objectId);
        const Transform* transform = overlord->GetComponent<Transform>(objectId);
        if (!sweepList_.Add(objectId, transform->worldPosition, sphere->radius, sphere->collisionGroup))
            Log("CollisionSystem: the sphere of object %u has a radius that is not a number; left out", objectId);
    }
}

long long CollisionSystem::CountCandidates() const {
    const size_t n = sweepList_.Size();
    std::vector<float> mins(n);
    std::vector<u32> nonZeroBefore(n + 1, 0);  // non-zero entries among the first k
    std::vector<std::pair<int, u32>> byGroup;  // (group, index) of the non-zero entries
    byGroup.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        const SweepEntry& entry = sweepList_.At(k);
        mins[k] = entry.minExtent;
        nonZeroBefore[k + 1] = nonZeroBefore[k] + (entry.group != 0 ? 1 : 0);
        if (entry.group != 0) byGroup.emplace_back(entry.group, static_cast<u32>(k));
    }
    std::sort(byGroup.begin(), byGroup.end());

    // Every pair with a group-0 entry, then the non-zero pairs of different
    // groups whose later entry starts within the earlier one's extent: the
    // list is sorted by minExtent, so those later entries are one run.
    const long long all = static_cast<long long>(n), nonZero = nonZeroBefore[n];
    long long count = all * (all - 1) / 2 - nonZero * (nonZero - 1) / 2;
    for (size_t i = 0; i < n; ++i) {
        const SweepEntry& a = sweepList_.At(i);
        if (a.group == 0) continue;
        const size_t end = static_cast<size_t>(
            std::upper_bound(mins.begin() + static_cast<long>(i) + 1, mins.end(), a.MaxExtent(SweepList::kAxis)) -
            mins.begin());
        if (end <= i + 1) continue;
        const long long inRun = nonZeroBefore[end] - nonZeroBefore[i + 1];
        const auto first =
            std::upper_bound(byGroup.begin(), byGroup.end(), std::make_pair(a.group, static_cast<u32>(i)));
        const auto last =
            std::lower_bound(byGroup.begin(), byGroup.end(), std::make_pair(a.group, static_cast<u32>(end)));
        count += inRun - (last - first);
    }
    return count;
}

void CollisionSystem::FindHits() {
    hits_.clear();
    Overlord* overlord = Overlord::Instance();
    const size_t n = sweepList_.Size();
    live_.assign(n, Live{});
    liveOrder_.clear();
    for (size_t k = 0; k < n && overlord; ++k) {
        GameObject* object = overlord->GetGameObject(sweepList_.At(k).objectId);
        if (!object) continue;
        auto* sphere = object->GetComponent<SphereCollision>();
        const Transform* transform = object->GetComponent<Transform>();
        if (!sphere || !sphere->IsEnabled() || !transform || !std::isfinite(sphere->radius) ||
            !Finite(transform->worldPosition))
            continue;
        // The exact test passes only when |ra + rb| >= the distance, so the
        // objects' reaches of |radius| along the axis overlap; the margin
        // keeps pairs that touch exactly through rounding.
        const float z = SweepEntry::Along(transform->worldPosition, SweepList::kAxis);
        const float reach = std::fabs(sphere->radius);
        const float margin = 1e-5f * (std::fabs(z) + reach) + 1e-6f;
        live_[k] = {sphere, z - reach - margin, z + reach + margin};
        liveOrder_.push_back(static_cast<u32>(k));
    }
    std::sort(liveOrder_.begin(), liveOrder_.end(), [&](u32 a, u32 b) { return live_[a].low < live_[b].low; });
    for (size_t p = 0; p < liveOrder_.size(); ++p) {
        const Live& first = live_[liveOrder_[p]];
        for (size_t q = p + 1; q < liveOrder_.size() && live_[liveOrder_[q]].low <= first.high; ++q) {
            const u32 a = std::min(liveOrder_[p], liveOrder_[q]), b = std::max(liveOrder_[p], liveOrder_[q]);
            const SweepEntry& ea = sweepList_.At(a);
            const SweepEntry& eb = sweepList_.At(b);
            if (IsCandidate(ea, eb) && !GroupsExcluded(ea.group, eb.group) &&
                SpherePairTest(*live_[a].sphere, *live_[b].sphere))
                hits_.push_back({a, b});
        }
    }
    std::sort(hits_.begin(), hits_.end());
}

void CollisionSystem::Update(float) {
    TakeInNearObjects();
    Log("CollisionSystem::Update()");
    hits_.clear();

    Overlord* overlord = Overlord::Instance();
    sweepList_.Sort([&](const SweepEntry& entry) {
        if (!overlord || !overlord->GetGameObject(entry.objectId))
            PostToSystem(kMsgColliderGone, GetTypeId(), GetTypeId(), entry.objectId);
    });

    candidates_ = CountCandidates();
    FindHits();
    Log("Considering %i pairs", static_cast<int>(std::min<long long>(candidates_, 0x7FFFFFFF)));

    // The object ids first: a receiver may announce a cylinder, which grows
    // the list. Each pair is tested again at its turn, as an earlier
    // receiver may have removed or disabled an object since.
    hitObjects_.clear();
    for (const Hit& hit : hits_) {
        hitObjects_.push_back(sweepList_.At(hit.first).objectId);
        hitObjects_.push_back(sweepList_.At(hit.second).objectId);
    }
    for (size_t h = 0; h + 1 < hitObjects_.size() && overlord; h += 2) {
        const u32 first = hitObjects_[h], second = hitObjects_[h + 1];
        const SphereCollision* a = overlord->GetComponent<SphereCollision>(first);
        const SphereCollision* b = overlord->GetComponent<SphereCollision>(second);
        if (a && b && SpherePairTest(*a, *b)) SendToObject(kMsgCollision, second, first);
    }
    Log("leaving CollisionSystem::Update()");
}
