#include "editor/controls/SplineBindControl.h"

#include "editor/systems/EditorProxySystem.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"

SplineBindControl::SplineBindControl() : Control("SplineBindControl", kCategoryCapturing) {
    EditorPickState::Subscribe(*this);
}

void SplineBindControl::OnMessage(Message* message) {
    pick_.Take(message);
}

void SplineBindControl::OnActivate() {
    Bind(pick_.selectedObject, pick_.pickedObject != 0 ? pick_.pickedObject : pick_.pickedProxy);
}

bool SplineBindControl::Bind(u32 crawlerObject, u32 trackObject) {
    if (crawlerObject == 0 || trackObject == 0 || crawlerObject == trackObject) return false;
    SplineCrawler* crawler = Overlord::FindComponent<SplineCrawler>(crawlerObject);
    if (!crawler) return false;
    if (!Overlord::FindComponent<PlayerPath>(trackObject))
        trackObject = EditorProxySystem::ProxiedObjectOf(trackObject);
    if (trackObject == 0 || trackObject == crawlerObject || !Overlord::FindComponent<PlayerPath>(trackObject))
        return false;
    crawler->splineGameObjectID = trackObject;
    return true;
}
