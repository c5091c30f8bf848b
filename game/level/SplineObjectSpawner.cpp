#include "game/level/SplineObjectSpawner.h"

#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/SplineCrawler.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

void SplineObjectSpawner::Reflect(MemberList<SplineObjectSpawner>& members) {
    members.Add("archetype", &SplineObjectSpawner::archetype);
    members.Add("triggerCode", &SplineObjectSpawner::triggerCode);
    members.Add("spawnDistanceFromPlayer", &SplineObjectSpawner::spawnDistanceFromPlayer);
    members.Add("offsetFromSpline", &SplineObjectSpawner::offsetFromSpline);
    members.Add("initialVelocity", &SplineObjectSpawner::initialVelocity);
    members.Add("initialAccelleration", &SplineObjectSpawner::initialAccelleration);
}

void SplineObjectSpawner::Init() {
    Subscribe(kMsgPlayerObject);
    Spawner::Init();
}

void SplineObjectSpawner::Shutdown() {
    Unsubscribe(kMsgPlayerObject);
    Spawner::Shutdown();
}

void SplineObjectSpawner::HandleMessage(Message* message) {
    if (const u32* player = message->Read(kMsgPlayerObject))
        playerObjectId_ = *player;
    else if (IsOwnCode(*message))
        Spawn();
}

void SplineObjectSpawner::Spawn() {
    Overlord* overlord = Overlord::Instance();
    ObjectFactory* factory = ObjectFactory::Instance();
    if (!overlord || !factory) return;
    const GameObject* player = overlord->GetGameObject(playerObjectId_);
    const SplineCrawler* playerCrawler = player ? overlord->GetComponent<SplineCrawler>(player->GetParent()) : nullptr;
    if (!playerCrawler) {
        Refuse("no player riding a track",
               "SplineObjectSpawner %u on object %u: no player riding a track is known (object %u); nothing is spawned",
               GetId(), GetOwner(), playerObjectId_);
        return;
    }
    if (!factory->GetPrototype(TypeId<SplineCrawler>::Get()) || !factory->GetPrototype(TypeId<Transform>::Get())) {
        Refuse("no carrier classes",
               "SplineObjectSpawner %u on object %u: no SplineCrawler or Transform class to build a carrier; nothing "
               "is spawned",
               GetId(), GetOwner());
        return;
    }
    const u32 objectId = CreateObject(false);
    GameObject* object = overlord->GetGameObject(objectId);
    if (!object) return;

    auto* crawler = factory->Create<SplineCrawler>();
    crawler->splineGameObjectID = playerCrawler->splineGameObjectID;
    crawler->lookAheadDistance = playerCrawler->lookAheadDistance;
    crawler->distance = playerCrawler->distance + spawnDistanceFromPlayer;
    crawler->persistAcceleration += initialAccelleration;
    crawler->persistVelocity += initialVelocity;
    GameObject* carrier = factory->NewGameObject();
    carrier->AddComponent(crawler);
    carrier->AddComponent(factory->Create<Transform>());
    carrier->Init();
    carrier->AnnounceComponents();
    // Made during play like the object it carries: gone at the next scene clear.
    if (SceneManager* scene = SceneManager::Instance()) scene->AddPlayObject(carrier->GetId());

    if (Transform* transform = object->GetComponent<Transform>()) {
        transform->SetWorldPosition(offsetFromSpline);
        transform->Update(0.0f);
    }
    object->SetParent(carrier->GetId());
}
