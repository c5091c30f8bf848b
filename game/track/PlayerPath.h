// The component that holds a track: waypoints edited in the level editor,
// the Spline through their positions, a line object that shows the curve and,
// when asked, a tunnel (a tube swept along the curve) on a child object.
// Crawlers, spawners and the end-of-level test ask it for world points along
// the track. It owns the line and tunnel objects it made and unregisters them
// at Shutdown; a copy makes its own. Built at Init; the editor runs Update(0)
// and DebugDraw of the selected path. Main thread only.
#pragma once
#include <vector>

#include "engine/Component.h"
#include "engine/SceneBudget.h"
#include "game/track/Spline.h"
#include "game/track/SplineFrame.h"
#include "reflection/Waypoint.h"
#include "render/mesh/Material.h"

class PlayerPath : public Component<PlayerPath> {
public:
    // Side counts above this are refused (a tube of millions of vertices).
    static constexpr int kMaxTunnelSides = 256;
    // The tunnels of all paths alive at once may have at most this many
    // vertices (about 56 MB of mesh): a tunnel that would pass it is refused
    // with a row naming its path.
    static constexpr u64 kMaxSceneTunnelVertices = 1'000'000;
    // The tracks of all paths alive at once may have at most this many
    // samples (36 MB, and as many vertices in their line objects; a level
    // has about 8,000): a track that would pass it is refused with a row
    // naming its path, and the path has no track.
    static constexpr u64 kMaxSceneTrackSamples = 1'000'000;
    // The vertices of the tunnels and the samples of the tracks alive now.
    static u64 TunnelVerticesInUse() { return tunnelBudget_.InUse(); }
    static u64 TrackSamplesInUse() { return trackBudget_.InUse(); }

    PlayerPath() = default;
    // Everything but the line and tunnel objects, which stay the original's:
    // the copy builds its own at its Init and first Update.
    PlayerPath(const PlayerPath& other);
    static void Reflect(MemberList<PlayerPath>& members);

    // dt is not used. Rebuilds the curve, the line object and the tunnel
    // when asked to or when extrudeTunnelOverPath changed.
    void Update(float dt) override;
    // Builds the curve and, when asked for, the tunnel.
    void Init() override;
    // Unregisters the tunnel and line objects.
    void Shutdown() override;
    // The line object drawn this frame and, with a tunnel, its frames' axes.
    void DebugDraw() override;
    // The "AddWaypoint", "RemoveWaypoint" and "ForceSplineUpdate" buttons.
    void AddTweakBarVars(TwBar* bar, const TweakVarParams& group) override;

    std::vector<Waypoint> GetWaypoints() const { return wps; }
    // Waypoint i for editing in place, or null.
    Waypoint* GetWaypoint(size_t i) { return i < wps.size() ? &wps[i] : nullptr; }
    // Erases waypoint i (none when out of range) and rebuilds.
    void RemoveWaypoint(size_t i);
    // The curve's points at distance and ahead further on, in world space
    // through the path object's Transform (path space without one).
    bool GetWorldFrame(float distance, float ahead, D3DXVECTOR3* point, D3DXVECTOR3* aheadPoint) const;
    // Whether the curve was built from other points than the waypoints give
    // now (rows typed into wps, circularPath switched): no rebuild follows a
    // typed row, so the curve stays as it was until one is asked for.
    bool CurveIsStale() const;
    // A new object with a line Model through the curve's samples and a copy
    // of the path object's Transform; 0 when the curve has no samples.
    u32 CreateSplineObject();

    // The buttons' actions; clientData carries the component id.
    static void AddWaypointButton(void* clientData);
    static void RemoveWaypointButton(void* clientData);
    static void ForceSplineUpdateButton(void* clientData);

    // Reflected, in file order.
    std::vector<Waypoint> wps;
    float splineLookAtDistance = 0.001f;  // saved and shown; nothing reads it
    bool circularPath = false;            // the curve is closed
    bool extrudeTunnelOverPath = false;
    float tunnelRadius = 1.0f;
    int tunnelSideCount = 8;
    Material material;         // the tube's
    float frameDelta = 10.0f;  // distance between the frames the tube is swept through

    Spline spline;
    bool needsRebuild = true;
    bool lastExtrude = false;
    u32 lineObjectId = 0;
    std::vector<SplineFrame> frames;  // of the last tunnel build
    std::vector<u32> tunnelObjectIds;

private:
    // All paths' tunnels and tracks, and this path's shares of them (not
    // copied). Main thread only.
    static inline SceneBudget tunnelBudget_{kMaxSceneTunnelVertices};
    static inline SceneBudget trackBudget_{kMaxSceneTrackSamples};
    SceneBudget::Share tunnelShare_;
    SceneBudget::Share trackShare_;
    // The scene (MemberBudget's count, one a scene) whose refusal of a
    // tunnel, of a track, was logged: one row a scene each.
    static inline u32 tunnelRowScene_ = 0;
    static inline u32 trackRowScene_ = 0;

    // The waypoints' positions the curve is built through, leaving out (with
    // one log row each when `report`) those that are not numbers or repeat
    // the point before them.
    std::vector<D3DXVECTOR3> TrackPoints(bool report) const;
    // Those points into the spline, then Rebuild when its samples fit the
    // scene's tracks. False, with a log row, when no track results.
    bool FillAndRebuild();
    // Takes `amount` of `budget` into `share`, or (for the scene's first
    // refusal, noted in `rowScene`) logs a row naming this path and the
    // `thing` (tunnel, track) refused, counted in `unit`s.
    bool TakeShare(SceneBudget& budget, SceneBudget::Share& share, u32& rowScene, u64 amount, const char* thing,
                   const char* unit) const;
    // Lets go of the track: its samples and its share.
    void DropTrack();
    // Unregisters the tunnel objects, then sweeps a new tube when the
    // settings allow one (else one log row naming the member).
    void BuildTunnel();
    void RemoveTunnel();
    void RemoveLine();
    // The settings member that rules out a tube, with a log row, or false.
    bool TunnelSettingsRefused() const;
};
