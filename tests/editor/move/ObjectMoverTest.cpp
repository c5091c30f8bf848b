// One move through the shared mover and its undo, for each kind of thing the
// editor moves: what the designer sees of the object, its waypoint and its
// track after the move and after Ctrl+Z.
#include "editor/move/ObjectMover.h"
#include "game/track/PlayerPath.h"
#include "reflection/Waypoint.h"
#include "tests/editor/EditorKeysWorld.h"

namespace {
class ObjectMoverTest : public EditorKeysFixture {
protected:
    // A track at (2, 0, 0) turned a quarter about y, with waypoints at
    // (0, 0, 0) and (0, 0, 10) of its own space, and its markers.
    u32 AddTurnedTrack() {
        auto* path = ObjectFactory::Instance()->Create<PlayerPath>();
        path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 10}, {0, 0, 0, 1}}};
        const u32 track = AddSceneObject({2, 0, 0});
        Object(track)->AddComponent(path);
        D3DXQUATERNION quarter;
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXQuaternionRotationAxis(&quarter, &up, 1.5707964f);
        Object(track)->GetComponent<Transform>()->SetRotation(quarter);
        proxies->CreateProxy(*Object(track));
        return track;
    }
    PlayerPath* Path(u32 track) const { return Object(track)->GetComponent<PlayerPath>(); }
};

enum class Kind { kPlainObject, kWaypointMarker, kTrackMarker };

TEST_F(ObjectMoverTest, AMoveKeepsTheTrackInStepAndUndoPutsObjectWaypointAndTrackBack) {
    const struct {
        Kind kind;
        const char* name;
    } cases[] = {
        {Kind::kPlainObject, "plain object"},
        {Kind::kWaypointMarker, "waypoint marker of a turned track"},
        {Kind::kTrackMarker, "marker of a turned track"},
    };
    const D3DXVECTOR3 destination(5, 1, -3);
    for (const auto& c : cases) {
        // The target a control would move, the object the mover moves and
        // the track they belong to (0: none).
        u32 target = 0, moved = 0, track = 0;
        if (c.kind == Kind::kPlainObject) {
            target = moved = AddSceneObject({1, 2, 3});
        } else {
            track = AddTurnedTrack();
            moved = c.kind == Kind::kWaypointMarker ? proxies->GetWaypointProxies(track).at(1) : track;
            target = c.kind == Kind::kWaypointMarker ? moved : proxies->FindProxy(track);
        }
        PlayerPath* path = track ? Path(track) : nullptr;
        const std::vector<Waypoint> waypoints = path ? path->wps : std::vector<Waypoint>();
        const D3DXVECTOR3 start = World(moved);
        if (path) path->needsRebuild = false;

        const ObjectMover mover = ObjectMover::ForTarget(target);
        ASSERT_EQ(mover.GetObjectId(), moved) << c.name;
        undo->Record(mover.Where());
        mover.MoveTo(destination);

        ExpectNear(World(moved), destination, c.name);
        if (path) {
            EXPECT_TRUE(path->needsRebuild) << c.name << ": the track is rebuilt";
            if (moved != track) {
                // The waypoint lies in the track's space: the marker's place
                // there, not the world point.
                const Transform* marker = Object(moved)->GetComponent<Transform>();
                EXPECT_EQ(path->wps[1].pos, marker->position) << c.name;
                EXPECT_EQ(path->wps[1].orientation, marker->rotation) << c.name;
                const D3DXVECTOR3 offset = path->wps[1].pos - destination;
                EXPECT_GT(D3DXVec3Length(&offset), 1.0f) << c.name;
                EXPECT_EQ(path->wps[0].pos, waypoints[0].pos) << c.name << ": the other waypoint stays";
            } else {
                EXPECT_EQ(path->wps[1].pos, waypoints[1].pos) << c.name << ": the waypoints ride with the track";
            }
        }

        if (path) path->needsRebuild = false;
        undo->Undo();
        ExpectNear(World(moved), start, c.name);
        if (path) {
            EXPECT_TRUE(path->needsRebuild) << c.name << ": the track is rebuilt after undo";
            ExpectNear(path->wps[1].pos, waypoints[1].pos, c.name);
            ExpectNear(path->wps[0].pos, waypoints[0].pos, c.name);
        }
    }
}
}  // namespace
