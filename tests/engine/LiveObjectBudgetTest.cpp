#include <gtest/gtest.h>

#include <vector>

#include "EngineTestSupport.h"
#include "engine/LiveObjectBudget.h"

namespace {

class LiveObjectBudgetTest : public EngineFixture {
protected:
    // Makes n registered objects and files them with the budget.
    std::vector<u32> Make(LiveObjectBudget& budget, int n) {
        std::vector<u32> ids;
        for (int i = 0; i < n; ++i) {
            ids.push_back((new GameObject())->GetId());
            budget.Made(ids.back());
        }
        return ids;
    }
};

// The maker's question after `made` objects, `gone` of which have left the
// registry since: may it make one more, and how many still count.
TEST_F(LiveObjectBudgetTest, RoomIsTheCapLessTheObjectsStillRegistered) {
    struct Row {
        const char* what;
        std::size_t cap;
        int made;
        int gone;
        bool mayLook;
        bool room;
        std::size_t live;
    };
    const Row rows[] = {
        {"below the cap", 3, 2, 0, true, true, 2},
        {"at the cap", 3, 3, 0, true, false, 3},
        {"at the cap, one gone", 3, 3, 1, true, true, 2},
        {"at the cap, one gone, no look allowed", 3, 3, 1, false, false, 2},
        {"below the cap, all gone", 3, 2, 2, true, true, 0},
        {"no cap at all", 0, 0, 0, true, false, 0},
    };
    for (const Row& row : rows) {
        LiveObjectBudget budget(row.cap);
        const std::vector<u32> ids = Make(budget, row.made);
        for (int i = 0; i < row.gone; ++i) overlord->UnregisterGameObject(ids[i]);
        EXPECT_EQ(budget.HasRoom(row.mayLook), row.room) << row.what;
        EXPECT_EQ(budget.Live(), row.live) << row.what;
    }
}

TEST_F(LiveObjectBudgetTest, NothingMadeIsNotCounted) {
    LiveObjectBudget budget(1);
    budget.Made(0);
    EXPECT_TRUE(budget.HasRoom());
    EXPECT_EQ(budget.Live(), 0u);
}

// One log row per run of refusals: the first refusal says so, later ones do
// not, until a Reset (a scene clear) or a new registry starts afresh.
TEST_F(LiveObjectBudgetTest, OnlyTheFirstRefusalIsReportedUntilAFreshStart) {
    LiveObjectBudget budget(1);
    Make(budget, 1);
    ASSERT_FALSE(budget.HasRoom());
    EXPECT_TRUE(budget.FirstRefusal());
    EXPECT_FALSE(budget.FirstRefusal());
    EXPECT_FALSE(budget.FirstRefusal());

    budget.Reset();
    EXPECT_TRUE(budget.HasRoom());  // the ids are forgotten with the report
    EXPECT_TRUE(budget.FirstRefusal());

    Make(budget, 1);
    const std::unique_ptr<Overlord> previous = std::move(overlord);  // kept alive: a new address
    overlord = std::make_unique<Overlord>();
    EXPECT_TRUE(budget.HasRoom());  // the old registry's ids count no more
    EXPECT_TRUE(budget.FirstRefusal());
}

}  // namespace
