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

// The first place k in [from, n) of a sorted array where before(v[k], value)
// no longer holds, galloping from `from`: the place is mostly a few steps on.
template <class T, class Before>
size_t Gallop(const std::vector<T>& v, size_t from, const T& value, Before before) {
    const size_t n = v.size();
    size_t low = from, high = from, step = 1;
    while (high < n && before(v[high], value)) {
        low = high + 1;
        high += step;
        step *= 2;
    }
    high = std::min(high, n);
    const auto at = std::partition_point(v.begin() + static_cast<long>(low), v.begin() + static_cast<long>(high),
                                         [&](const T& x) { return before(x, value); });
    return static_cast<size_t>(at - v.begin());
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
    contacts_.NewScene();
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

long long CollisionSystem::CountCandidates() {
    const size_t n = sweepList_.Size();
    mins_.resize(n);
    maxs_.resize(n);
    nonZeroBefore_.assign(n + 1, 0);  // non-zero entries among the first k
    // Per non-zero group, the sweep indices of its entries in order (groups
    // are few: a short list searched from the front).
    for (auto& group : groupIndices_) group.second.clear();
    for (size_t k = 0; k < n; ++k) {
        const SweepEntry& entry = sweepList_.At(k);
        mins_[k] = entry.minExtent;
        maxs_[k] = entry.MaxExtent(SweepList::kAxis);
        nonZeroBefore_[k + 1] = nonZeroBefore_[k] + (entry.group != 0 ? 1 : 0);
        if (entry.group == 0) continue;
        auto group = std::find_if(groupIndices_.begin(), groupIndices_.end(),
                                  [&](const auto& g) { return g.first == entry.group; });
        if (group == groupIndices_.end()) group = groupIndices_.insert(groupIndices_.end(), {entry.group, {}});
        group->second.push_back(static_cast<u32>(k));
    }

    // Every pair with a group-0 entry, then the non-zero pairs of different
    // groups whose later entry starts within the earlier one's extent: the
    // list is sorted by minExtent, so those later entries are one run.
    const long long all = static_cast<long long>(n), nonZero = nonZeroBefore_[n];
    long long count = all * (all - 1) / 2 - nonZero * (nonZero - 1) / 2;
    for (const auto& [group, indices] : groupIndices_) {
        for (size_t rank = 0; rank < indices.size(); ++rank) {
            const size_t i = indices[rank];
            const size_t end = Gallop(mins_, i + 1, maxs_[i], [](float x, float v) { return x <= v; });
            if (end <= i + 1) continue;
            const long long sameGroup = static_cast<long long>(
                Gallop(indices, rank + 1, static_cast<u32>(end), [](u32 x, u32 v) { return x < v; }) - (rank + 1));
            count += static_cast<long long>(nonZeroBefore_[end] - nonZeroBefore_[i + 1]) - sameGroup;
        }
    }
    // Groups that left the list keep no scratch.
    groupIndices_.erase(
        std::remove_if(groupIndices_.begin(), groupIndices_.end(), [](const auto& g) { return g.second.empty(); }),
        groupIndices_.end());
    return count;
}

void CollisionSystem::LookUpObjects() {
    Overlord* overlord = Overlord::Instance();
    const u32 sphereType = TypeId<SphereCollision>::Get(), transformType = TypeId<Transform>::Get();
    sweepList_.ForEachById([&](SweepEntry& entry) {
        entry.seen = overlord ? overlord->GetGameObject(entry.objectId) : nullptr;
        entry.sphere = nullptr;
        if (!entry.seen) return;
        // The first of each kind, in one walk over the components.
        SphereCollision* sphere = nullptr;
        const Transform* transform = nullptr;
        for (IComponent* component : entry.seen->GetComponents()) {
            const u32 type = component->GetTypeId();
            if (!sphere && type == sphereType) sphere = static_cast<SphereCollision*>(component);
            if (!transform && type == transformType) transform = static_cast<const Transform*>(component);
        }
        if (!sphere || !sphere->IsEnabled() || !transform || !std::isfinite(sphere->radius) ||
            !Finite(transform->worldPosition))
            return;
        entry.sphere = sphere;
        entry.spherePosition = transform->worldPosition;
        entry.sphereRadius = sphere->radius;
    });
}

void CollisionSystem::FindHits() {
    hits_.clear();
    live_.clear();
    const size_t n = sweepList_.Size();
    for (size_t k = 0; k < n; ++k) {
        const SweepEntry& entry = sweepList_.At(k);
        if (!entry.sphere) continue;
        // The exact test passes only when |ra + rb| >= the distance, so the
        // objects' reaches of |radius| along the axis overlap; the margin
        // keeps pairs that touch exactly through rounding.
        const float z = SweepEntry::Along(entry.spherePosition, SweepList::kAxis);
        const float reach = std::fabs(entry.sphereRadius);
        const float margin = 1e-5f * (std::fabs(z) + reach) + 1e-6f;
        live_.push_back({entry.sphere, entry.spherePosition, entry.sphereRadius, z - reach - margin, z + reach + margin,
                         static_cast<u32>(k)});
    }
    // Columns across x at least as wide as two of the largest reaches: only
    // spheres of one column or of neighbouring columns can touch. Within a
    // column, the spheres sorted by the low end of their reach (sweep order
    // is nearly that order already).
    float xLow = 0.0f, xHigh = 0.0f, widest = 0.0f;
    for (size_t i = 0; i < live_.size(); ++i) {
        const float x = live_[i].position.x;
        xLow = i == 0 ? x : std::min(xLow, x);
        xHigh = i == 0 ? x : std::max(xHigh, x);
        widest = std::max(widest, live_[i].high - live_[i].position.z);
    }
    constexpr u32 kMostColumns = 64;
    const float span = xHigh - xLow;
    float width = std::max(2.0f * widest * 1.001f + 1e-3f, span / (kMostColumns - 1));
    const u32 columns = (std::isfinite(span) && std::isfinite(width) && width > 0.0f)
                            ? std::min(kMostColumns, static_cast<u32>(span / width) + 1)
                            : 1;
    columnStart_.assign(columns + 1, 0);
    for (Live& item : live_) {
        const float at = columns > 1 ? (item.position.x - xLow) / width : 0.0f;
        item.column = std::min(columns - 1, static_cast<u32>(std::max(0.0f, at)));
        ++columnStart_[item.column + 1];
    }
    for (u32 c = 0; c < columns; ++c) columnStart_[c + 1] += columnStart_[c];
    byColumn_.resize(live_.size());
    std::vector<u32> fill(columnStart_.begin(), columnStart_.end() - 1);
    for (const Live& item : live_) byColumn_[fill[item.column]++] = item;
    for (u32 c = 0; c < columns; ++c) {
        const auto first = byColumn_.begin() + columnStart_[c], last = byColumn_.begin() + columnStart_[c + 1];
        size_t budget = 8 * static_cast<size_t>(last - first) + 64;
        for (auto i = first + (first != last ? 1 : 0); i < last && budget > 0; ++i) {
            const Live item = *i;
            auto j = i;
            for (; j > first && (j - 1)->low > item.low && budget > 0; --j, --budget) *j = *(j - 1);
            *j = item;
        }
        if (budget == 0) std::sort(first, last, [](const Live& a, const Live& b) { return a.low < b.low; });
    }

    // False once enough hits are found.
    auto consider = [&](const Live& first, const Live& second) {
        if (hits_.size() >= kMostHits) return false;
        // The distance part of the exact test, in the same arithmetic,
        // before anything is looked up.
        const D3DXVECTOR3 apart = first.position - second.position;
        const float reach = first.radius + second.radius;
        if (!(reach * reach >= D3DXVec3LengthSq(&apart))) return true;
        const bool inOrder = first.index < second.index;
        const Live& a = inOrder ? first : second;
        const Live& b = inOrder ? second : first;
        const SweepEntry& ea = sweepList_.At(a.index);
        const SweepEntry& eb = sweepList_.At(b.index);
        if (IsCandidate(ea, eb) && !GroupsExcluded(ea.group, eb.group) && SpherePairTest(*a.sphere, *b.sphere))
            hits_.push_back({a.index, b.index});
        return true;
    };
    for (u32 c = 0; c < columns && hits_.size() < kMostHits; ++c) {
        const u32 begin = columnStart_[c], end = columnStart_[c + 1];
        for (u32 p = begin; p < end; ++p)
            for (u32 q = p + 1; q < end && byColumn_[q].low <= byColumn_[p].high; ++q)
                if (!consider(byColumn_[p], byColumn_[q])) break;
        if (c + 1 == columns) continue;
        // With the next column: each overlapping pair once, from the one whose
        // reach starts first (ties: from this column).
        const u32 nextBegin = end, nextEnd = columnStart_[c + 2];
        u32 from = nextBegin;
        for (u32 p = begin; p < end; ++p) {
            while (from < nextEnd && byColumn_[from].low < byColumn_[p].low) ++from;
            for (u32 q = from; q < nextEnd && byColumn_[q].low <= byColumn_[p].high; ++q)
                if (!consider(byColumn_[p], byColumn_[q])) break;
        }
        from = begin;
        for (u32 q = nextBegin; q < nextEnd; ++q) {
            while (from < end && byColumn_[from].low <= byColumn_[q].low) ++from;
            for (u32 p = from; p < end && byColumn_[p].low <= byColumn_[q].high; ++p)
                if (!consider(byColumn_[q], byColumn_[p])) break;
        }
    }
    std::sort(hits_.begin(), hits_.end());
}

void CollisionSystem::Update(float) {
    TakeInNearObjects();
    Log("CollisionSystem::Update()");
    hits_.clear();

    LookUpObjects();
    sweepList_.Sort([&](const SweepEntry& entry) {
        if (!entry.seen) PostToSystem(kMsgColliderGone, GetTypeId(), GetTypeId(), entry.objectId);
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
    Overlord* overlord = Overlord::Instance();
    contacts_.StartStep();
    for (size_t h = 0; h + 1 < hitObjects_.size() && overlord; h += 2) {
        const u32 first = hitObjects_[h], second = hitObjects_[h + 1];
        const SphereCollision* a = overlord->GetComponent<SphereCollision>(first);
        const SphereCollision* b = overlord->GetComponent<SphereCollision>(second);
        if (!a || !b || !SpherePairTest(*a, *b)) continue;
        if (!contacts_.Take()) break;
        SendToObject(kMsgCollision, second, first);
    }
    Log("leaving CollisionSystem::Update()");
}
