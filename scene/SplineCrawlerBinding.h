// The link between a spline crawler component and the object that carries
// its spline, reached through reflection: the class registered as
// "SplineCrawler" and its unsigned member "splineGameObjectID" (the spline
// object's id, 0 for none). The scene files keep these links in their own
// table. When no such class or member is registered there are no crawlers.
// Main thread only.
#pragma once
#include "core/Types.h"

class GameObject;

class SplineCrawlerBinding {
public:
    // The object's first crawler component's spline object id; false when
    // the object has no crawler.
    static bool Find(const GameObject& object, u32* splineObjectId);
    // Gives the crawler of the object its spline and updates it once with a
    // time step of 0 (which places it on the spline). Nothing when the object
    // or its crawler is missing.
    static void Bind(u32 crawlerObjectId, u32 splineObjectId);
    // Sets the link of the object's crawler without updating it; false when
    // the object has no crawler.
    static bool SetLink(GameObject& object, u32 splineObjectId);
};
