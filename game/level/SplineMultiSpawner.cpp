#include "game/level/SplineMultiSpawner.h"

#include <cmath>

#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/actors/Brain.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "reflection/IMetaClass.h"
#include "reflection/MetaRegistry.h"
#include "scene/SceneManager.h"

namespace {

constexpr float kPi = 3.1415927f;

}  // namespace

void SplineMultiSpawner::Reflect(MemberList<SplineMultiSpawner>& members) {
    members.Add("archetype", &SplineMultiSpawner::archetype);
    members.Add("triggerCode", &SplineMultiSpawner::triggerCode);
    members.Add("distanceAlongSpline", &SplineMultiSpawner::distanceAlongSpline);
    members.Add("offsetFromPlayerRadius", &SplineMultiSpawner::offsetFromPlayerRadius);
    members.Add("angleOnSpline", &SplineMultiSpawner::angleOnSpline);
    members.Add("distanceStep", &SplineMultiSpawner::distanceStep);
    members.Add("angleStep", &SplineMultiSpawner::angleStep);
    members.Add("numSpawns", &SplineMultiSpawner::numSpawns);
    members.Add("autoTrigger", &SplineMultiSpawner::autoTrigger);
    members.Add("lastTrigger", &SplineMultiSpawner::lastTrigger);
    members.Add("circleRadius", &SplineMultiSpawner::circleRadius);
    members.Add("angleInc", &SplineMultiSpawner::angleInc);
    members.Add("angleIncStep", &SplineMultiSpawner::angleIncStep);
    members.Add("moveLeft", &SplineMultiSpawner::moveLeft);
    members.Add("moveLeftAltVal", &SplineMultiSpawner::moveLeftAltVal);
    members.Add("halfCircle", &SplineMultiSpawner::halfCircle);
    members.Add("halfCircleAltVal", &SplineMultiSpawner::halfCircleAltVal);
}

void SplineMultiSpawner::Init() {
    firstAngle_ = angleOnSpline * kPi / 180.0f;
    angleStepRadians_ = angleStep * kPi / 180.0f;
    halfCircleCount_ = moveLeftCount_ = 0.0f;
    Subscribe(kMsgPlayerObject);
    Subscribe(ComponentAnnounced(TypeId<PlayerPath>::Get()));
    Spawner::Init();
}

void SplineMultiSpawner::Shutdown() {
    Unsubscribe(kMsgPlayerObject);
    Unsubscribe(ComponentAnnounced(TypeId<PlayerPath>::Get()));
    Spawner::Shutdown();
}

void SplineMultiSpawner::HandleMessage(Message* message) {
    if (const u32* player = message->Read(kMsgPlayerObject)) {
        playerObjectId_ = *player;
        OnIdKnown();
    } else if (const u32* path = message->Read(ComponentAnnounced(TypeId<PlayerPath>::Get()))) {
        pathComponentId_ = *path;
        OnIdKnown();
    } else if (!autoTrigger && IsOwnCode(*message)) {
        Spawn();
    }
}

void SplineMultiSpawner::OnIdKnown() {
    if (autoTrigger && !spawned_ && playerObjectId_ != 0 && FindPath()) Spawn();
    if (lastTrigger) {
        lastTrigger = false;
        Broadcast(kMsgLevelStart, GetId());
    }
}

PlayerPath* SplineMultiSpawner::FindPath() {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return nullptr;
    if (PlayerPath* path = overlord->GetComponentById<PlayerPath>(pathComponentId_)) return path;
    PlayerPath* found = nullptr;
    // The announcement may have come before this spawner's Init (a path
    // listed earlier in the file): look for the track where it is.
    if (GameObject* player = overlord->GetGameObject(playerObjectId_))
        if (SplineCrawler* carrier = overlord->GetComponent<SplineCrawler>(player->GetParent()))
            found = overlord->GetComponent<PlayerPath>(carrier->splineGameObjectID);
    if (!found)
        if (SceneManager* scene = SceneManager::Instance())
            for (u32 objectId : scene->GetObjectIds())
                if ((found = overlord->GetComponent<PlayerPath>(objectId))) break;
    if (found) pathComponentId_ = found->GetId();
    return found;
}

float SplineMultiSpawner::PlayerCircleRadius() {
    // The Player lives with the ship code: its reflected member is read by name.
    const MetaRegistry* registry = MetaRegistry::Instance();
    const IMetaClass* playerClass = registry ? registry->GetByName("Player") : nullptr;
    const IMetaMemVar* member = playerClass ? FindMember(*playerClass, "circleRadius") : nullptr;
    const IComponent* player =
        playerClass ? Overlord::Get().GetComponent(playerObjectId_, playerClass->GetTypeId()) : nullptr;
    if (!member || !player || member->GetType() != Meta<float>::Get()) {
        if (!reportedNoPlayer_)
            Log("SplineMultiSpawner %u on object %u: object %u has no Player circleRadius; spawns sit %g from the "
                "track",
                GetId(), GetOwner(), playerObjectId_, offsetFromPlayerRadius);
        reportedNoPlayer_ = true;
        return 0.0f;
    }
    return *reinterpret_cast<const float*>(reinterpret_cast<const char*>(player) + member->GetOffset());
}

const char* SplineMultiSpawner::BrokenMember() const {
    const struct {
        const char* name;
        float value;
    } members[] = {
        {"distanceAlongSpline", distanceAlongSpline},
        {"offsetFromPlayerRadius", offsetFromPlayerRadius},
        {"angleOnSpline", angleOnSpline},
        {"distanceStep", distanceStep},
        {"angleStep", angleStep},
    };
    for (const auto& m : members)
        if (!std::isfinite(m.value)) return m.name;
    return nullptr;
}

void SplineMultiSpawner::Spawn() {
    Overlord* overlord = Overlord::Instance();
    const GameObject* player = overlord ? overlord->GetGameObject(playerObjectId_) : nullptr;
    PlayerPath* path = FindPath();
    if (!player || player->GetParent() == 0 || !path) return;
    if (const char* member = BrokenMember()) {
        // Asked again every frame while it lives (the player's broadcast).
        Refuse("a placement member is not a number",
               "SplineMultiSpawner %u on object %u: %s is not a number; nothing is spawned", GetId(), GetOwner(),
               member);
        return;
    }
    i32 count = numSpawns;
    if (count < 0 || count > kMaxSpawns) {
        Refuse("numSpawns out of range",
               "SplineMultiSpawner %u on object %u: numSpawns %d is outside 0 to %d; %d are spawned", GetId(),
               GetOwner(), numSpawns, kMaxSpawns, count < 0 ? 0 : kMaxSpawns);
        count = count < 0 ? 0 : kMaxSpawns;
    }
    const float radius = offsetFromPlayerRadius + PlayerCircleRadius();
    float angle = firstAngle_;
    float distance = distanceAlongSpline;
    for (i32 i = 0; i < count; ++i, angle += angleStepRadians_, distance += distanceStep) {
        D3DXVECTOR3 point;
        SplineFrame frame;
        if (!path->spline.GetPointAndFrame(distance, &point, &frame)) {
            Refuse("spawns off the track",
                   "SplineMultiSpawner %u on object %u: distance %g lies off the track; spawn %d is left out (later "
                   "ones are counted)",
                   GetId(), GetOwner(), distance, i);
            continue;
        }
        const u32 objectId = CreateObject(true);
        if (objectId == 0) break;  // no archetype: the rest would fail alike
        D3DXQUATERNION qA, qUp, qSide, turned, rotation;
        D3DXQuaternionRotationAxis(&qA, &frame.side, angle);
        const D3DXVECTOR3 direction = RotateByInverse(qA, frame.up);
        D3DXQuaternionRotationAxis(&qUp, &frame.up, kPi);
        D3DXQuaternionRotationAxis(&qSide, &frame.side, kPi);
        D3DXQuaternionMultiply(&turned, &qA, &qUp);
        D3DXQuaternionMultiply(&rotation, &turned, &qSide);
        if (Transform* transform = overlord->GetComponent<Transform>(objectId)) {
            transform->SetWorldPosition(point + radius * direction);
            transform->SetWorldRotation(rotation);
            transform->Update(0.0f);
        }
        ConfigureBrain(objectId, point, angle);
        SendToObject(kMsgRefresh, objectId, GetOwner());
    }
    spawned_ = true;
}

void SplineMultiSpawner::ConfigureBrain(u32 objectId, const D3DXVECTOR3& point, float angle) {
    Brain* brain = Overlord::FindComponent<Brain>(objectId);
    if (!brain) return;
    brain->centre = D3DXVECTOR2(point.x, point.y);
    brain->angle = static_cast<float>(angle * 180.0 / static_cast<double>(kPi));
    brain->angleSet = true;
    if (circleRadius == -1.0f) return;
    brain->circleRadius = circleRadius;
    brain->angleIncrement = angleInc;
    brain->halfCircle = halfCircle;
    brain->moveLeft = moveLeft;
    angleInc += angleIncStep;
    halfCircleCount_ += 1.0f;
    moveLeftCount_ += 1.0f;
    if (halfCircleAltVal == halfCircleCount_) {
        halfCircle = !halfCircle;
        halfCircleCount_ = 0.0f;
    }
    if (moveLeftAltVal == moveLeftCount_) {
        moveLeft = !moveLeft;
        moveLeftCount_ = 0.0f;
    }
}
