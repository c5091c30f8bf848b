#include "editor/controls/SplineBindControl.h"

#include "editor/systems/EditorProxySystem.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"

SplineBindControl::SplineBindControl() : Control("SplineBindControl", kCategoryCapturing) {
    Subscribe(kMsgSelectedObject);
    Subscribe(kMsgPickedObject);
    Subscribe(kMsgPickedProxy);
}

void SplineBindControl::OnMessage(Message* message) {
    if (const u32* selected = message->Read(kMsgSelectedObject))
        selectedObject_ = *selected;
    else if (const u32* picked = message->Read(kMsgPickedObject))
        pickedObject_ = *picked;
    else if (const u32* proxy = message->Read(kMsgPickedProxy))
        pickedProxy_ = *proxy;
}

void SplineBindControl::OnActivate() {
    Bind(selectedObject_, pickedObject_ != 0 ? pickedObject_ : pickedProxy_);
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
