// The level trigger that broadcasts trigger codes as the player travels:
// codes[i] once the watched track carrier's distance has reached
// distances[i] (ascending), at most one code per update. It watches the
// carrier of the player named by kMsgPlayerObject, or until that is known
// the first carrier announced (kMsgCrawlerAnnounced); both by object id.
// BehaviorSystem steps it. Owned by its object; main thread only.
#pragma once
#include <vector>

#include "engine/Component.h"

class SplineCrawler;

class DistanceLord : public Component<DistanceLord> {
public:
    DistanceLord() = default;
    static void Reflect(MemberList<DistanceLord>& members);

    // The first carrier announced, and the player's object.
    void HandleMessage(Message* message) override;
    // Sends the next code whose distance has been reached. A distance that is
    // not a number is passed over with a log row; distances without a code
    // send nothing (one log row).
    void Update(float step) override;
    // Forgets the carrier; subscribes to both announcements.
    void Init() override;
    void Shutdown() override;

    // The carrier watched now, or null.
    SplineCrawler* WatchedCrawler() const;

    // Reflected, in file order.
    std::vector<float> distances;
    std::vector<i32> codes;

    u32 crawlerObjectId = 0;  // the first carrier announced
    bool hasCrawler = false;
    u32 index = 0;  // the next entry
    u32 playerObjectId = 0;
};
