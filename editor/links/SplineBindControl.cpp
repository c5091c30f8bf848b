#include "editor/links/SplineBindControl.h"

#include <cmath>
#include <cstdio>

#include "editor/mode/EditorNotice.h"
#include "editor/proxy/EditorProxySystem.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "scene/SplineCrawlerBinding.h"

namespace {
// "(0, 10.5, -3)": a world position as the status lines show it, to 0.01.
std::string ShownPosition(const D3DXVECTOR3& at) {
    const auto shown = [](float value) { return static_cast<double>(std::round(value * 100.0f) / 100.0f) + 0.0; };
    char text[96];
    std::snprintf(text, sizeof text, "(%g, %g, %g)", shown(at.x), shown(at.y), shown(at.z));
    return text;
}
}  // namespace

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
    // The track as a load makes it: its spline from its waypoints as they
    // are now (rows typed into wps rebuild nothing; other edits rebuild it
    // only while it is selected), where it is now.
    PlayerPath* path = Overlord::FindComponent<PlayerPath>(trackObject);
    if (path->needsRebuild || path->CurveIsStale()) {
        path->needsRebuild = true;
        path->Update(0.0f);
    }
    if (Transform* trackTransform = Overlord::FindComponent<Transform>(trackObject)) trackTransform->Update(0.0f);
    // Placed as every load places a bound carrier, by the same code: what
    // the next save writes is what a load of it puts back.
    SplineCrawlerBinding::Bind(crawlerObject, trackObject);
    said = "Bind: " + ObjectLabel(crawlerObject) + " now runs on " + ObjectLabel(trackObject);
    D3DXVECTOR3 point, ahead;
    if (!path->GetWorldFrame(crawler->distance, crawler->lookAheadDistance, &point, &ahead))
        said += ", not placed: the track has no point at its distance (a track needs 2 waypoints apart)";
    else if (const Transform* transform = Overlord::FindComponent<Transform>(crawlerObject))
        said += ", placed at " + ShownPosition(transform->worldPosition) +
                " by its SplineCrawler (its distance along the track), as every load places it";
    return true;
}
