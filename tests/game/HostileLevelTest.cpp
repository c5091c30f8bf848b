// A level file full of broken pieces, loaded by the real loader with every
// component class of the program and run on the physics clock: each broken
// piece gives one log row naming its object and member and is left out, the
// rest plays, and no Transform ends up holding a number that is not finite.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/ClassRegistrations.h"
#include "engine/GameObject.h"
#include "engine/Transform.h"
#include "game/physics/Physics.h"
#include "game/track/SplineCrawler.h"
#include "tests/support/LogCapture.h"
#include "tests/support/WorldServices.h"

namespace {

std::string Waypoints(const std::vector<std::string>& points) {
    std::string text = "wps = {";
    for (const std::string& p : points) text += "{pos = {" + p + "}}, ";
    return text + "}";
}

std::string PathInstance(int guid, const std::vector<std::string>& points, const std::string& more = "") {
    return "{SceneGUID = " + std::to_string(guid) + ", Transform = {}, PlayerPath = {" + Waypoints(points) + ", " +
           more + "}, },\n";
}

const std::vector<std::string> kGood = {"x = 0, y = 0, z = 0", "x = 0, y = 0, z = 50", "x = 10, y = 0, z = 100"};

class HostileLevelTest : public ::testing::Test, protected WithLog, protected WorldServices {
protected:
    HostileLevelTest()
        : WorldServices(Parts::Levels,
                        "scene = { path = \"./\", extension = \".scn\" }\n"
                        "arch = { path = \"./\", extension = \".arch\" }\n") {
        ClassRegistrations::RegisterAll(*registry, factory);
        engine->AddSystem(physics);
        physics->Init();
        SceneLoader::SetFailureReporter([](const std::string&, const std::string& text) { ADD_FAILURE() << text; });
    }
    ~HostileLevelTest() override {
        SceneLoader::SetFailureReporter(nullptr);
        scene->ClearScene();
    }

    // The object loaded under a save number.
    u32 Saved(int guid) const {
        auto it = loader->GetSaveNumbers().find(guid);
        return it == loader->GetSaveNumbers().end() ? 0 : it->second;
    }

    Physics* physics = new Physics;
};

}  // namespace

TEST_F(HostileLevelTest, EachBrokenPieceGivesOneRowAndIsLeftOutWhilePlayGoesOn) {
    const std::string nan = "0/0";
    std::string text = "Archetypes = { \"\" }\nInstances = {\n";
    text += PathInstance(1000, kGood);
    text += PathInstance(1001, {"x = 5, y = 0, z = 0"});                         // one point
    text += PathInstance(1002, {"x = 1, y = 1, z = 1", "x = 1, y = 1, z = 1"});  // coincident
    text += PathInstance(1003, {"x = 0, y = 0, z = 0", "x = " + nan + ", y = 0, z = 0", "x = 0, y = 0, z = 9"});
    text += PathInstance(1004, kGood, "extrudeTunnelOverPath = true, frameDelta = " + nan);
    text += PathInstance(1005, kGood, "extrudeTunnelOverPath = true, tunnelSideCount = 2");
    text += PathInstance(1006, kGood, "extrudeTunnelOverPath = true, tunnelRadius = -1");
    text += PathInstance(1007, kGood, "extrudeTunnelOverPath = true, frameDelta = 1e-30");
    const std::string rider = "Transform = {}, SplineCrawler = {persistVelocity = 60, ";
    text += "{SceneGUID = 1010, " + rider + "}, },\n";  // rides the good track
    text += "{SceneGUID = 1011, " + rider + "}, },\n";  // bound to nothing
    text += "{SceneGUID = 1012, " + rider + "}, },\n";  // a track of one point
    text += "{SceneGUID = 1013, " + rider + "lookAheadDistance = " + nan + "}, },\n";
    text += "{SceneGUID = 1020, Transform = {}, Body = {vel = {x = 1, y = 0, z = 0}, }, },\n";
    text += "{SceneGUID = 1021, Transform = {}, Body = {mass = " + nan + ", persistForce = {x = 5}, }, },\n";
    text += "{SceneGUID = 1022, Transform = {}, Body = {vel = {x = 1/0}, }, },\n";
    text += "{SceneGUID = 1023, Transform = {}, Body = {mass = 1e-3, persistForce = {x = 3e38}, }, },\n";
    text +=
        "}\nSplineCrawlers = {\n{SplineCrawler = 1010, Spline = 1000}, {SplineCrawler = 1011, Spline = 4242},\n"
        "{SplineCrawler = 1012, Spline = 1001}, {SplineCrawler = 1013, Spline = 1000},\n}\n";
    WriteFile("Hostile.scn", text);

    ASSERT_TRUE(scene->LoadScene(Root() + "/Hostile.scn"));
    for (int frame = 0; frame < 120; ++frame) {
        hub.DispatchQueued();
        engine->GetSystem(physics->GetTypeId())->Update(0.02f);
        graveyard.Collect(1000.0f);
    }

    EXPECT_NEAR(Overlord::FindComponent<SplineCrawler>(Saved(1010))->distance, 120.0f, 0.1f);
    EXPECT_GT(Overlord::FindComponent<Transform>(Saved(1010))->worldPosition.z, 90.0f);
    EXPECT_NEAR(Overlord::FindComponent<Transform>(Saved(1020))->position.x, 120 * Physics::kStep, 1e-3f);
    overlord.GameObjects().ForEach([](u32 id, GameObject* object) {
        const Transform* t = object->GetComponent<Transform>();
        if (!t) return;
        for (float v : {t->worldPosition.x, t->worldPosition.y, t->worldPosition.z, t->worldRotation.x,
                        t->worldRotation.y, t->worldRotation.z, t->worldRotation.w})
            EXPECT_TRUE(std::isfinite(v)) << "object " << id;
    });

    std::vector<std::string> rows;
    ASSERT_TRUE(log.FinishMessages(rows));
    const auto on = [&](int guid) { return "on object " + std::to_string(Saved(guid)) + ": "; };
    const struct {
        int guid;
        const char* says;
    } expected[] = {
        {1001, "wps gives 1 usable points"},
        {1002, "wps[1] repeats the point before it"},
        {1003, "wps[1] position is not a number"},
        {1004, "frameDelta"},
        {1005, "tunnelSideCount 2"},
        {1006, "tunnelRadius -1"},
        {1007, "frameDelta 1e-30"},
        {1011, "splineGameObjectID"},
        {1013, "lookAheadDistance is not a number"},
        {1021, "mass is not a number"},
        {1022, "vel is not a number"},
        {1023, "the step leaves the float range"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                                [&](const std::string& r) { return r.find(on(e.guid) + e.says) != std::string::npos; }),
                  1)
            << e.guid << ": " << e.says;
}
