// The speed data of a projectile object: how fast its pattern drives it and
// how a spline-weapon bullet turns the ship's speed into hit points. It also
// remembers the last crawler announced (kMsgCrawlerAnnounced), which nothing
// reads yet. Owned by its object (made by a Weapon or a WeaponSpline, or
// placed in a scene); main thread only.
#pragma once
#include "engine/Component.h"

class Projectile : public Component<Projectile> {
public:
    static void Reflect(MemberList<Projectile>& members);

    // A crawler announcement of any argument: that object is remembered.
    void HandleMessage(Message* message) override;
    // Forgets any crawler and subscribes to kMsgCrawlerAnnounced.
    void Init() override;

    bool HasCrawler() const { return hasCrawler_; }
    u32 GetCrawlerObject() const { return crawlerObjectId_; }

    float bulletVelocity = 50.0f;              // units/s along the firing direction, read every frame
    float playerVelocityDivideAmount = 20.0f;  // ship speed / this = extra hit points of a spline bullet

private:
    bool hasCrawler_ = false;
    u32 crawlerObjectId_ = 0;  // the object of the last announced SplineCrawler
};
