// The bound on the objects one scene holds: a file of more objects makes the
// first ones up to it, names the first one refused in one row and is not
// saved over; objects made during play are refused while the scene is full,
// and served again as objects go or the scene is cleared.
#include "SceneTestSupport.h"
#include "engine/SceneObjectBudget.h"
#include "tests/support/LogCapture.h"

namespace {

constexpr u64 kBound = SceneObjectBudget::kMaxObjects;

class SceneObjectBudgetTest : public SceneFixture {
protected:
    // The rows of the log that say objects were refused for their number.
    static std::vector<std::string> RefusalRows(LogCapture& capture) {
        std::vector<std::string> rows;
        for (const std::string& row : capture.Messages())
            if (row.find("objects") != std::string::npos &&
                (row.find("was not made") != std::string::npos || row.find("it is not made") != std::string::npos))
                rows.push_back(row);
        return rows;
    }
};

}  // namespace

// Five objects more than the bound: the first 100,000 are made, the row names
// the 100,001st and counts five, and the file keeps them all.
TEST_F(SceneObjectBudgetTest, AFileOfMoreObjectsThanTheBoundMakesUpToItAndIsNotSavedOver) {
    const std::string text = "Archetypes = { '' } Instances = {} local e = {} for i = 1, " +
                             std::to_string(kBound + 5) + " do Instances[i] = {SceneGUID = i, Body = e} end";
    WriteFile("scenes/Many.scn", text);
    LogCapture capture;
    ASSERT_TRUE(scene.LoadScene(Path("scenes/Many.scn")));
    EXPECT_EQ(scene.GetObjectIds().size(), kBound);
    EXPECT_EQ(SceneObjectBudget::InUse(), kBound);
    reports.clear();
    EXPECT_FALSE(scene.SaveScene(Path("scenes/Many.scn")));
    EXPECT_TRUE(ReadFile("scenes/Many.scn") == text) << "the file was written over";
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].text.find("the save would lose them"), std::string::npos) << reports[0].text;
    const std::vector<std::string> rows = RefusalRows(capture);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find("Instances[100001] (SceneGUID 100001) was not made"), std::string::npos) << rows[0];
    EXPECT_NE(rows[0].find("5 objects in all"), std::string::npos) << rows[0];
}

// Objects made during play take the room left: past it each is refused (one
// row), one that goes gives its place back, and a clear starts afresh.
TEST_F(SceneObjectBudgetTest, PlayObjectsAreRefusedWhileTheSceneIsFullAndServedAgainAfter) {
    WriteFile("archetypes/Rock.arch", "Body = { mass = 2 }");
    scene.ClearScene();
    SceneBudget::Share others;  // the scene's other objects
    ASSERT_TRUE(others.Take(SceneObjectBudget::Budget(), kBound - 3));
    LogCapture capture;
    const auto make = [&](int n) {
        std::vector<u32> made;
        for (int i = 0; i < n; ++i)
            if (const u32 id = factory.Instantiate("Rock", false)) made.push_back(id);
        return made;
    };
    const std::vector<u32> first = make(5);
    ASSERT_EQ(first.size(), 3u);
    for (u32 id : first) EXPECT_NE(Object(id), nullptr);
    overlord.UnregisterGameObject(first[0]);
    EXPECT_EQ(make(5).size(), 1u) << "the place of the object gone";
    scene.ClearScene();
    EXPECT_EQ(make(5).size(), 5u) << "a clear gives the count back";
    const std::vector<std::string> rows = RefusalRows(capture);
    ASSERT_EQ(rows.size(), 1u) << "one row per scene";
    EXPECT_NE(rows[0].find("an object of archetype Rock would take the scene past 100000 objects"), std::string::npos)
        << rows[0];
}
