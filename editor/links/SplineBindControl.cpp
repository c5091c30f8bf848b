#include "editor/links/SplineBindControl.h"

#include "editor/mode/EditorNotice.h"
#include "editor/proxy/EditorProxySystem.h"
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
    std::string notice;
    Bind(pick_.selectedObject, pick_.pickedObject != 0 ? pick_.pickedObject : pick_.pickedProxy, &notice);
    PostEditorNotice(GetId(), notice);
}

bool SplineBindControl::Bind(u32 crawlerObject, u32 trackObject, std::string* notice) {
    std::string ignored;
    std::string& said = notice ? *notice : ignored;
    if (!Overlord::FindObject(crawlerObject)) {
        said = "Bind: nothing selected; select a crawler, then hold B and click its track";
        return false;
    }
    SplineCrawler* crawler = Overlord::FindComponent<SplineCrawler>(crawlerObject);
    if (!crawler) {
        said = "Bind: " + ObjectLabel(crawlerObject) + " has no SplineCrawler";
        return false;
    }
    if (!Overlord::FindObject(trackObject)) {
        said = "Bind: no track under the pointer";
        return false;
    }
    const u32 picked = trackObject;
    if (!Overlord::FindComponent<PlayerPath>(trackObject))
        trackObject = EditorProxySystem::ProxiedObjectOf(trackObject);
    if (trackObject == 0 || trackObject == crawlerObject || !Overlord::FindComponent<PlayerPath>(trackObject)) {
        said = "Bind: " + ObjectLabel(picked) + " is not a track";
        return false;
    }
    crawler->splineGameObjectID = trackObject;
    said = "Bind: " + ObjectLabel(crawlerObject) + " now runs on " + ObjectLabel(trackObject);
    return true;
}
