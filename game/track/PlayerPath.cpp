#include "game/track/PlayerPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/panels/TweakPanels.h"
#include "reflection/MemberBudget.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"
#include "render/IGraphics.h"
#include "render/debug/DebugRecords.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "scene/ObjectFactory.h"

class Editor;  // receives the waypoint requests by its type id

namespace {

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void UnregisterIfAlive(u32 objectId) {
    Overlord* overlord = Overlord::Instance();
    if (objectId != 0 && overlord && overlord->GetGameObject(objectId)) overlord->UnregisterGameObject(objectId);
}

GameObject* NewObject() {
    ObjectFactory* factory = ObjectFactory::Instance();
    return factory ? factory->NewGameObject() : new GameObject();
}

Transform* NewTransform() {
    ObjectFactory* factory = ObjectFactory::Instance();
    Transform* transform = factory ? factory->Create<Transform>() : nullptr;
    return transform ? transform : new Transform();
}

PlayerPath* PathOf(void* clientData) {
    Overlord* overlord = Overlord::Instance();
    const auto id = static_cast<u32>(reinterpret_cast<std::uintptr_t>(clientData));
    return overlord ? overlord->GetComponentById<PlayerPath>(id) : nullptr;
}

}  // namespace

PlayerPath::PlayerPath(const PlayerPath& other)
    : Component(other),
      wps(other.wps),
      splineLookAtDistance(other.splineLookAtDistance),
      circularPath(other.circularPath),
      extrudeTunnelOverPath(other.extrudeTunnelOverPath),
      tunnelRadius(other.tunnelRadius),
      tunnelSideCount(other.tunnelSideCount),
      material(other.material),
      frameDelta(other.frameDelta),
      spline(other.spline),
      needsRebuild(true),
      lastExtrude(other.lastExtrude),
      frames(other.frames) {}

void PlayerPath::Reflect(MemberList<PlayerPath>& members) {
    members.Add("wps", &PlayerPath::wps);
    members.Add("splineLookAtDistance", &PlayerPath::splineLookAtDistance);
    members.Add("circularPath", &PlayerPath::circularPath);
    members.Add("extrudeTunnelOverPath", &PlayerPath::extrudeTunnelOverPath);
    members.Add("tunnelRadius", &PlayerPath::tunnelRadius);
    members.Add("tunnelSideCount", &PlayerPath::tunnelSideCount);
    members.Add("material", &PlayerPath::material);
    members.Add("frameDelta", &PlayerPath::frameDelta);
}

bool PlayerPath::TakeShare(SceneBudget& budget, SceneBudget::Share& share, u32& rowScene, u64 amount, const char* thing,
                           const char* unit) const {
    if (share.Take(budget, amount)) return true;
    if (rowScene != MemberBudget::Current().scene)
        Log("PlayerPath on object %u: its %s of %llu %s would take the scene's %ss past %llu %s (%llu in use); no "
            "%s, nor for later paths past the bound, which are not logged until the scene is cleared",
            GetOwner(), thing, static_cast<unsigned long long>(amount), unit, thing,
            static_cast<unsigned long long>(budget.Bound()), unit, static_cast<unsigned long long>(budget.InUse()),
            thing);
    rowScene = MemberBudget::Current().scene;
    return false;
}

void PlayerPath::DropTrack() {
    spline.Clear();
    // Cleared vectors keep their memory: let it go with the share.
    std::vector<SplineSample>().swap(spline.samples);
    std::vector<D3DXVECTOR3>().swap(spline.points);
    trackShare_.Release();
}

std::vector<D3DXVECTOR3> PlayerPath::TrackPoints(bool report) const {
    std::vector<D3DXVECTOR3> points;
    for (size_t i = 0; i < wps.size(); ++i) {
        const D3DXVECTOR3& p = wps[i].pos;
        if (!Finite(p)) {
            if (report)
                Log("PlayerPath on object %u: wps[%zu] position is not a number; left out of the track", GetOwner(), i);
        } else if (!points.empty() && p == points.back()) {
            if (report)
                Log("PlayerPath on object %u: wps[%zu] repeats the point before it; left out of the track", GetOwner(),
                    i);
        } else if (points.size() + 1 > Spline::kMaxPoints) {
            if (report)
                Log("PlayerPath on object %u: wps has more than %zu points; the rest are left out", GetOwner(),
                    Spline::kMaxPoints);
            break;
        } else {
            points.push_back(p);
        }
    }
    if (circularPath && points.size() > 2 && points.back() == points.front()) {
        if (report)
            Log("PlayerPath on object %u: the last of wps repeats the first on a circularPath; left out", GetOwner());
        points.pop_back();
    }
    return points;
}

bool PlayerPath::CurveIsStale() const {
    return spline.closed != circularPath || spline.points != TrackPoints(false);
}

bool PlayerPath::FillAndRebuild() {
    DropTrack();
    spline.closed = circularPath;
    spline.points = TrackPoints(true);
    const std::vector<D3DXVECTOR3>& points = spline.points;
    if (points.size() < 2) {
        Log("PlayerPath on object %u: wps gives %zu usable points, a track needs 2; no track", GetOwner(),
            points.size());
        return false;
    }
    // Rebuild makes 1 + 101 samples a segment; a closed curve has one more segment.
    const u64 segments = points.size() - 1 + (circularPath ? 1 : 0);
    if (!TakeShare(trackBudget_, trackShare_, trackRowScene_, 1 + 101 * segments, "track", "samples")) {
        DropTrack();
        return false;
    }
    if (!spline.Rebuild() || !(spline.GetTotalLength() > 0.0f)) {
        Log("PlayerPath on object %u: wps spans no track of finite, non-zero length; no track", GetOwner());
        DropTrack();
        return false;
    }
    return true;
}

void PlayerPath::Init() {
    if (!needsRebuild) return;
    FillAndRebuild();
    needsRebuild = false;
    lastExtrude = extrudeTunnelOverPath;  // built as asked: the first Update need not build again
    if (extrudeTunnelOverPath) BuildTunnel();
}

void PlayerPath::Update(float) {
    if (extrudeTunnelOverPath != lastExtrude) {
        lastExtrude = extrudeTunnelOverPath;
        needsRebuild = true;
    }
    if (!needsRebuild) return;
    const bool built = FillAndRebuild();
    needsRebuild = false;
    RemoveLine();
    if (built) lineObjectId = CreateSplineObject();
    if (extrudeTunnelOverPath)
        BuildTunnel();
    else
        RemoveTunnel();
}

void PlayerPath::Shutdown() {
    RemoveTunnel();
    RemoveLine();
    DropTrack();
    needsRebuild = true;
}

void PlayerPath::RemoveTunnel() {
    for (u32 id : tunnelObjectIds) UnregisterIfAlive(id);
    tunnelObjectIds.clear();
    tunnelShare_.Release();
}

void PlayerPath::RemoveLine() {
    UnregisterIfAlive(lineObjectId);
    lineObjectId = 0;
}

bool PlayerPath::TunnelSettingsRefused() const {
    if (tunnelSideCount < 3 || tunnelSideCount > kMaxTunnelSides) {
        Log("PlayerPath on object %u: tunnelSideCount %d is outside 3..%d; no tunnel", GetOwner(), tunnelSideCount,
            kMaxTunnelSides);
        return true;
    }
    if (!std::isfinite(tunnelRadius) || !(tunnelRadius > 0.0f)) {
        Log("PlayerPath on object %u: tunnelRadius %g is not a positive number; no tunnel", GetOwner(), tunnelRadius);
        return true;
    }
    const float total = spline.GetTotalLength();
    if (!std::isfinite(frameDelta) || !(frameDelta > 0.0f) ||
        total / frameDelta > static_cast<float>(Spline::kMaxFrames - 2)) {
        Log("PlayerPath on object %u: frameDelta %g is not a positive step giving at most %zu frames over length "
            "%g; no tunnel",
            GetOwner(), frameDelta, Spline::kMaxFrames, total);
        return true;
    }
    return false;
}

void PlayerPath::BuildTunnel() {
    RemoveTunnel();
    frames.clear();
    if (spline.samples.size() < 2 || TunnelSettingsRefused()) return;  // no track: already told
    frames = spline.BuildFrames(frameDelta);
    if (frames.size() < 2) {
        Log("PlayerPath on object %u: the track is too short for frameDelta %g; no tunnel", GetOwner(), frameDelta);
        return;
    }
    // The tube repeats each inner ring (MeshGeometry::Tunnel).
    const u64 vertices = (2ull * frames.size() - 2) * (static_cast<u64>(tunnelSideCount) + 1);
    if (!TakeShare(tunnelBudget_, tunnelShare_, tunnelRowScene_, vertices, "tunnel", "vertices")) {
        frames.clear();
        return;
    }
    std::vector<MeshGeometry::TunnelFrame> rings;
    rings.reserve(frames.size());
    for (const SplineFrame& f : frames) rings.push_back({f.position, f.forward, f.up});
    Material::LoadTextures(material);
    Model* tube = MeshBuilder::Tunnel(rings, tunnelSideCount, tunnelRadius, material);
    if (!tube) {
        tunnelShare_.Release();
        return;  // the builder said why
    }

    // The rings lie in path coordinates and the object sits at the path
    // object's origin, so the tube follows the path's Transform.
    GameObject* object = NewObject();
    Transform* transform = NewTransform();
    transform->SetPosition(0.0f, 0.0f, 0.0f);
    object->AddComponent(transform);
    object->AddComponent(tube);
    object->Init();
    if (GetOwner() != 0) object->SetParent(GetOwner());
    object->AnnounceComponents();
    tunnelObjectIds.push_back(object->GetId());
}

u32 PlayerPath::CreateSplineObject() {
    if (spline.samples.size() < 2) return 0;
    std::vector<D3DXVECTOR3> positions;
    positions.reserve(spline.samples.size());
    for (const SplineSample& s : spline.samples) positions.push_back(s.position);
    Model* line = MeshBuilder::SplineLine(positions, D3DXCOLOR(0.5f, 0.5f, 1.0f, 1.0f));
    if (!line) return 0;
    Transform* transform = nullptr;
    if (Transform* own = Overlord::FindComponent<Transform>(GetOwner())) {
        own->Update(0.0f);
        transform = static_cast<Transform*>(own->Clone());
    } else {
        transform = NewTransform();
    }
    GameObject* object = NewObject();
    object->AddComponent(transform);
    object->AddComponent(line);
    return object->GetId();
}

void PlayerPath::RemoveWaypoint(size_t i) {
    if (i >= wps.size()) return;
    wps.erase(wps.begin() + static_cast<std::ptrdiff_t>(i));
    needsRebuild = true;
    Update(0.0f);
}

bool PlayerPath::GetWorldFrame(float distance, float ahead, D3DXVECTOR3* point, D3DXVECTOR3* aheadPoint) const {
    if (!spline.GetPositions(distance, ahead, point, aheadPoint)) return false;
    if (const Transform* transform = Overlord::FindComponent<Transform>(GetOwner())) {
        const D3DXMATRIX world = transform->GetWorldMatrix();
        D3DXVec3TransformCoord(point, point, &world);
        D3DXVec3TransformCoord(aheadPoint, aheadPoint, &world);
    }
    return true;
}

void PlayerPath::DebugDraw() {
    Overlord* overlord = Overlord::Instance();
    if (lineObjectId != 0 && !(overlord && overlord->GetGameObject(lineObjectId))) lineObjectId = 0;
    if (lineObjectId == 0 && wps.size() >= 2) lineObjectId = CreateSplineObject();
    const u32 graphics = TypeId<GraphicsSystem>::Get();
    if (lineObjectId != 0) SendToSystem(DrawUnblendedThisFrame(0), graphics, GetId(), lineObjectId);
    if (!extrudeTunnelOverPath) return;

    D3DXMATRIX world, rotation;
    D3DXMatrixIdentity(&world);
    D3DXMatrixIdentity(&rotation);
    if (const Transform* transform = Overlord::FindComponent<Transform>(GetOwner())) {
        world = transform->GetWorldMatrix();
        const D3DXQUATERNION q = transform->GetWorldRotation();
        D3DXMatrixRotationQuaternion(&rotation, &q);
    }
    for (const SplineFrame& f : frames) {
        D3DXVECTOR3 at;
        D3DXVec3TransformCoord(&at, &f.position, &world);
        const struct {
            const D3DXVECTOR3& axis;
            D3DXCOLOR colour;
        } axes[] = {{f.up, {1, 0, 0, 1}}, {f.side, {0, 1, 0, 1}}, {f.forward, {0, 0, 1, 1}}};
        for (const auto& a : axes) {
            D3DXVECTOR3 turned;
            D3DXVec3TransformNormal(&turned, &a.axis, &rotation);
            DebugLine line;
            line.start = at;
            line.end = at + 2.0f * turned;
            line.colour = a.colour;
            SendToSystem(kMsgDebugLineA, graphics, GetId(), line);
        }
    }
}

void PlayerPath::AddWaypointButton(void* clientData) {
    if (PlayerPath* path = PathOf(clientData)) SendToSystem(kMsgAddWaypoint, TypeId<Editor>::Get(), path->GetId());
}

void PlayerPath::RemoveWaypointButton(void* clientData) {
    if (PlayerPath* path = PathOf(clientData)) SendToSystem(kMsgRemoveWaypoint, TypeId<Editor>::Get(), path->GetId());
}

void PlayerPath::ForceSplineUpdateButton(void* clientData) {
    PlayerPath* path = PathOf(clientData);
    if (!path) return;
    path->needsRebuild = true;
    Broadcast(kMsgPathRebuilt, path->GetOwner());
    path->Update(0.0f);
}

void PlayerPath::AddTweakBarVars(TwBar* bar, const TweakVarParams& group) {
    void* self = reinterpret_cast<void*>(static_cast<std::uintptr_t>(GetId()));
    const struct {
        const char* name;
        const char* label;
        TwButtonCallback callback;
    } buttons[] = {
        {"AddWaypoint", "Add Waypoint", &AddWaypointButton},
        {"RemoveWaypoint", "Remove Waypoint", &RemoveWaypointButton},
        {"ForceSplineUpdate", "Force Update", &ForceSplineUpdateButton},
    };
    for (const auto& b : buttons)
        TwAddButton(bar, (b.name + group.nameSuffix).c_str(), b.callback, self,
                    MakeTweakDefinition(group, b.label).c_str());
}
