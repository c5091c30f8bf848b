#include <cmath>
#include <cstdint>

#include "TrackWorld.h"
#include "port/panels/TweakPanelsProbe.h"
#include "reflection/TweakVarParams.h"

namespace {

class PlayerPathTest : public TrackWorld {
protected:
    PlayerPathTest() { TwInspectReset(); }
    ~PlayerPathTest() override { TwInspectReset(); }

    static void Tunnel(PlayerPath& p) {
        p.extrudeTunnelOverPath = true;
        p.tunnelSideCount = 6;
        p.tunnelRadius = 2;
    }
    PlayerPath* PathOn(u32 objectId) { return Find<PlayerPath>(objectId); }
};

}  // namespace

TEST_F(PlayerPathTest, TunnelStartsAtTheCurveAndFollowsThePathObject) {
    const u32 path = MakePath({{10, 0, 0}, {110, 0, 0}}, D3DXVECTOR3(0, 0, 50), Tunnel);
    PlayerPath* p = PathOn(path);
    ASSERT_EQ(p->tunnelObjectIds.size(), 1u);
    const u32 tube = p->tunnelObjectIds[0];
    EXPECT_EQ(overlord.GetGameObject(tube)->GetParent(), path);
    const Transform* transform = Find<Transform>(tube);
    EXPECT_EQ(transform->position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(transform->worldPosition, D3DXVECTOR3(0, 0, 50));
    EXPECT_EQ(p->frames.front().position, D3DXVECTOR3(10, 0, 0));
    // The tube spans the curve (x from 10 to 110), not the path origin; its
    // bounds are centred on the first ring.
    const Model* model = Find<Model>(tube);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->center, D3DXVECTOR3(10, 0, 0));
    EXPECT_NEAR(model->extent.x, 100.0f, 0.1f);

    D3DXVECTOR3 point, ahead;
    ASSERT_TRUE(p->GetWorldFrame(50, 10, &point, &ahead));
    EXPECT_NEAR(point.x, 60.0f, 0.01f);
    EXPECT_EQ(point.z, 50.0f);
    EXPECT_NEAR(ahead.x, 70.0f, 0.01f);
}

TEST_F(PlayerPathTest, ClosedPathLoopsAndGetsATunnel) {
    const u32 path = MakePath({{0, 0, 0}, {100, 0, 0}, {0, 100, 0}}, {}, [](PlayerPath& p) {
        Tunnel(p);
        p.circularPath = true;
    });
    PlayerPath* p = PathOn(path);
    EXPECT_EQ(p->frames.size(), 37u);
    EXPECT_EQ(p->tunnelObjectIds.size(), 1u);
    D3DXVECTOR3 point, ahead;
    EXPECT_TRUE(p->GetWorldFrame(p->spline.GetTotalLength() * 3 + 5, 1, &point, &ahead));
}

TEST_F(PlayerPathTest, UpdateFollowsTheExtrudeSwitchAndReplacesTheLine) {
    const u32 path = MakePath({{0, 0, 0}, {50, 0, 0}}, {}, Tunnel);
    PlayerPath* p = PathOn(path);
    p->Update(0);  // built at Init: nothing to do
    p->DebugDraw();
    const u32 firstLine = p->lineObjectId;
    const u32 firstTube = p->tunnelObjectIds.at(0);
    EXPECT_TRUE(Alive(firstLine));

    p->extrudeTunnelOverPath = false;
    p->Update(0);
    EXPECT_TRUE(p->tunnelObjectIds.empty());
    EXPECT_FALSE(Alive(firstTube));
    EXPECT_FALSE(Alive(firstLine));
    EXPECT_TRUE(Alive(p->lineObjectId));

    p->extrudeTunnelOverPath = true;
    p->Update(0);
    ASSERT_EQ(p->tunnelObjectIds.size(), 1u);
    EXPECT_TRUE(Alive(p->tunnelObjectIds[0]));

    p->RemoveWaypoint(1);  // one point left: no curve, no line, no tube
    EXPECT_EQ(p->lineObjectId, 0u);
    EXPECT_TRUE(p->tunnelObjectIds.empty());
    const size_t drawn = graphics->Count(kMsgTypeDrawUnblendedThisFrame, 0);
    p->DebugDraw();
    EXPECT_EQ(p->lineObjectId, 0u);
    EXPECT_EQ(graphics->Count(kMsgTypeDrawUnblendedThisFrame, 0), drawn);
}

TEST_F(PlayerPathTest, CloneBuildsItsOwnObjectsAndEachShutdownRemovesOnlyItsOwn) {
    const u32 path = MakePath({{0, 0, 0}, {50, 0, 0}, {80, 30, 0}}, {}, Tunnel);
    PlayerPath* original = PathOn(path);
    original->DebugDraw();
    const u32 line = original->lineObjectId;
    const u32 tube = original->tunnelObjectIds.at(0);

    GameObject* copy = overlord.GetGameObject(path)->Clone();
    PlayerPath* cloned = copy->GetComponent<PlayerPath>();
    EXPECT_EQ(cloned->lineObjectId, 0u);
    EXPECT_TRUE(cloned->tunnelObjectIds.empty());
    EXPECT_EQ(cloned->wps.size(), 3u);
    copy->Init();
    cloned->DebugDraw();
    ASSERT_EQ(cloned->tunnelObjectIds.size(), 1u);
    const u32 clonedTube = cloned->tunnelObjectIds[0];
    const u32 clonedLine = cloned->lineObjectId;
    EXPECT_NE(clonedTube, tube);
    EXPECT_NE(clonedLine, 0u);
    EXPECT_NE(clonedLine, line);

    overlord.UnregisterGameObject(copy->GetId());
    NextFrame();
    EXPECT_FALSE(Alive(clonedTube));
    EXPECT_FALSE(Alive(clonedLine));
    EXPECT_TRUE(Alive(tube));
    EXPECT_TRUE(Alive(line));

    overlord.UnregisterGameObject(path);
    NextFrame();
    EXPECT_FALSE(Alive(tube));
    EXPECT_FALSE(Alive(line));
}

TEST_F(PlayerPathTest, ButtonsFindThePathByIdAndOutliveIt) {
    const u32 path = MakePath({{0, 0, 0}, {50, 0, 0}});
    PlayerPath* p = PathOn(path);
    const u32 pathId = p->GetId();
    std::vector<u32> rebuilt;
    struct Proxy : Component<Proxy> {
        std::vector<u32>* senders = nullptr;
        void HandleMessage(Message* m) override {
            if (m->Is(kMsgPathRebuilt)) senders->push_back(m->sender);
        }
    };
    auto* proxy = new Proxy;
    proxy->senders = &rebuilt;
    MakeObject({}, proxy);
    proxy->Subscribe(kMsgPathRebuilt);

    TwBar* bar = TwNewBar("Selected");
    p->AddTweakBarVars(bar, TweakVarParams{});
    ASSERT_TRUE(TwInspectPressButton(bar, "AddWaypoint"));
    ASSERT_TRUE(TwInspectPressButton(bar, "RemoveWaypoint"));
    ASSERT_TRUE(TwInspectPressButton(bar, "ForceSplineUpdate"));
    ASSERT_EQ(editor->seen.size(), 2u);
    EXPECT_EQ(editor->seen[0].argument, kMsgAddWaypoint.argument);
    EXPECT_EQ(editor->seen[0].sender, pathId);
    EXPECT_EQ(editor->seen[1].argument, kMsgRemoveWaypoint.argument);
    EXPECT_EQ(rebuilt, std::vector<u32>{path});
    EXPECT_TRUE(Alive(p->lineObjectId));  // rebuilt at once

    overlord.UnregisterGameObject(path);
    NextFrame();
    for (const char* button : {"AddWaypoint", "RemoveWaypoint", "ForceSplineUpdate"}) TwInspectPressButton(bar, button);
    EXPECT_EQ(editor->seen.size(), 2u);
    EXPECT_EQ(rebuilt.size(), 1u);
}

TEST_F(PlayerPathTest, DebugDrawShowsTheLineAndTheFrameAxes) {
    const u32 path = MakePath({{0, 0, 0}, {50, 0, 0}}, {}, Tunnel);
    PlayerPath* p = PathOn(path);
    p->DebugDraw();
    ASSERT_NE(p->lineObjectId, 0u);
    ASSERT_EQ(graphics->Count(kMsgTypeDrawUnblendedThisFrame, 0), 1u);
    EXPECT_EQ(graphics->seen.front().value, p->lineObjectId);
    EXPECT_EQ(graphics->Count(kMsgDebugLineA.type, kMsgDebugLineA.argument), 3 * p->frames.size());
}

TEST_F(PlayerPathTest, HostileTracksGiveOneRowNamingTheMemberAndLeaveThatPieceOut) {
    struct Case {
        const char* member;  // the text the row names
        std::vector<D3DXVECTOR3> points;
        std::function<void(PlayerPath&)> change;
        bool track;
        bool tunnel;
    };
    const std::vector<D3DXVECTOR3> good = {{0, 0, 0}, {50, 0, 0}};
    const auto none = [](PlayerPath&) {};
    const Case cases[] = {
        {"wps gives 1 usable", {{1, 2, 3}}, none, false, false},
        {"wps gives 0 usable", {}, none, false, false},
        {"wps[1] position", {{0, 0, 0}, {NAN, 0, 0}, {50, 0, 0}}, none, true, true},
        {"wps[1] repeats", {{5, 5, 5}, {5, 5, 5}}, none, false, false},
        {"wps[2] repeats", {{0, 0, 0}, {9, 0, 0}, {9, 0, 0}, {20, 0, 0}}, none, true, true},
        {"tunnelSideCount 2", good, [](PlayerPath& p) { p.tunnelSideCount = 2; }, true, false},
        {"tunnelSideCount -4", good, [](PlayerPath& p) { p.tunnelSideCount = -4; }, true, false},
        {"tunnelSideCount 1000000", good, [](PlayerPath& p) { p.tunnelSideCount = 1000000; }, true, false},
        {"tunnelRadius nan", good, [](PlayerPath& p) { p.tunnelRadius = NAN; }, true, false},
        {"tunnelRadius 0", good, [](PlayerPath& p) { p.tunnelRadius = 0; }, true, false},
        {"tunnelRadius -1", good, [](PlayerPath& p) { p.tunnelRadius = -1; }, true, false},
        {"frameDelta 0", good, [](PlayerPath& p) { p.frameDelta = 0; }, true, false},
        {"frameDelta -3", good, [](PlayerPath& p) { p.frameDelta = -3; }, true, false},
        {"frameDelta nan", good, [](PlayerPath& p) { p.frameDelta = NAN; }, true, false},
        {"frameDelta 1e-09", good, [](PlayerPath& p) { p.frameDelta = 1e-9f; }, true, false},
    };
    std::vector<u32> objects;
    for (const Case& c : cases) {
        const u32 path = MakePath(c.points, {}, [&](PlayerPath& p) {
            Tunnel(p);
            c.change(p);
        });
        objects.push_back(path);
        PlayerPath* p = PathOn(path);
        p->Update(0);
        p->DebugDraw();
        EXPECT_EQ(p->tunnelObjectIds.size(), c.tunnel ? 1u : 0u) << c.member;
        EXPECT_EQ(p->lineObjectId != 0, c.track) << c.member;
        D3DXVECTOR3 point, ahead;
        if (p->GetWorldFrame(1, 1, &point, &ahead)) {
            EXPECT_TRUE(std::isfinite(point.x + point.y + point.z)) << c.member;
        }
        for (const SplineFrame& f : p->frames) {
            EXPECT_TRUE(std::isfinite(f.position.x + f.up.x + f.up.y + f.up.z)) << c.member;
        }
    }
    const std::vector<std::string> rows = Rows();
    for (size_t i = 0; i < objects.size(); ++i) {
        const std::string named = "PlayerPath on object " + std::to_string(objects[i]) + ": " + cases[i].member;
        EXPECT_EQ(CountContaining(rows, named), 1u) << named;
    }
}
