#include "game/combat/Projectile.h"

#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"

void Projectile::Reflect(MemberList<Projectile>& members) {
    members.Add("bulletVelocity", &Projectile::bulletVelocity);
    members.Add("playerVelocityDivideAmount", &Projectile::playerVelocityDivideAmount);
}

void Projectile::HandleMessage(Message* message) {
    if (message->type != kMsgCrawlerAnnounced.type) return;
    const Kind<u32> announced{kMsgCrawlerAnnounced.type, message->argument};
    if (const u32* objectId = message->Read(announced)) {
        crawlerObjectId_ = *objectId;
        hasCrawler_ = true;
    }
}

void Projectile::Init() {
    hasCrawler_ = false;
    crawlerObjectId_ = 0;
    Subscribe(kMsgCrawlerAnnounced);
}
