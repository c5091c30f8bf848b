#include "game/level/DistanceLord.h"

#include <cmath>

#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "game/level/BroadcastTriggerCode.h"
#include "game/track/SplineCrawler.h"

void DistanceLord::Reflect(MemberList<DistanceLord>& members) {
    members.Add("distances", &DistanceLord::distances);
    members.Add("codes", &DistanceLord::codes);
}

void DistanceLord::Init() {
    crawlerObjectId = 0;
    hasCrawler = false;
    Subscribe(kMsgCrawlerAnnounced);
    Subscribe(kMsgPlayerObject);
}

void DistanceLord::Shutdown() {
    Unsubscribe(kMsgCrawlerAnnounced);
    Unsubscribe(kMsgPlayerObject);
}

void DistanceLord::HandleMessage(Message* message) {
    if (const u32* player = message->Read(kMsgPlayerObject)) {
        playerObjectId = *player;
    } else if (message->type == kMsgCrawlerAnnounced.type && message->payload && message->payloadSize == sizeof(u32)) {
        if (hasCrawler) return;
        crawlerObjectId = *static_cast<const u32*>(message->payload);
        hasCrawler = true;
    }
}

SplineCrawler* DistanceLord::WatchedCrawler() const {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return nullptr;
    if (const GameObject* player = overlord->GetGameObject(playerObjectId))
        if (SplineCrawler* crawler = overlord->GetComponent<SplineCrawler>(player->GetParent())) return crawler;
    return hasCrawler ? overlord->GetComponent<SplineCrawler>(crawlerObjectId) : nullptr;
}

void DistanceLord::Update(float) {
    if (index >= distances.size()) return;
    const SplineCrawler* crawler = WatchedCrawler();
    if (!crawler) return;
    while (index < distances.size() && std::isnan(distances[index])) {
        Log("DistanceLord %u on object %u: distances[%u] is not a number; the entry is left out", GetId(), GetOwner(),
            index);
        ++index;
    }
    if (index >= distances.size() || distances[index] > crawler->distance) return;
    if (index >= codes.size()) {
        Log("DistanceLord %u on object %u: distances has %zu entries but codes only %zu; distances from %u on send "
            "nothing",
            GetId(), GetOwner(), distances.size(), codes.size(), index);
        index = static_cast<u32>(distances.size());
        return;
    }
    BroadcastTriggerCode(GetOwner(), codes[index++]);
}
