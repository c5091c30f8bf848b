#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "EngineTestSupport.h"

namespace {

class GraveyardTest : public EngineFixture {
protected:
    // An unregistered component that records its deletion.
    ProbeComponent* Loose() {
        auto* c = new ProbeComponent(&journal);
        return c;
    }
};

TEST_F(GraveyardTest, NonPositiveOrNaNBudgetDeletesNothing) {
    graveyard->AddObject(new GameObject());
    graveyard->AddComponent(Loose());
    for (float budget : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), -0.0f}) {
        graveyard->Collect(budget);
        EXPECT_EQ(graveyard->ObjectCount(), 1u);
        EXPECT_EQ(graveyard->ComponentCount(), 1u);
    }
}

TEST_F(GraveyardTest, TakesIndexZeroThenMovesLastIntoItsPlace) {
    auto* a = Loose();
    auto* b = Loose();
    auto* c = Loose();
    auto* d = Loose();
    for (auto* x : {a, b, c, d}) graveyard->AddComponent(x);
    const std::vector<std::string> expected = {
        "delete c" + std::to_string(a->GetId()), "delete c" + std::to_string(d->GetId()),
        "delete c" + std::to_string(c->GetId()), "delete c" + std::to_string(b->GetId())};
    graveyard->Collect(1000.0f);
    EXPECT_EQ(journal.events, expected);
    EXPECT_EQ(graveyard->ComponentCount(), 0u);
}

TEST_F(GraveyardTest, TinyBudgetDeletesOneObjectAndComponentsWait) {
    graveyard->AddObject(new GameObject());
    graveyard->AddObject(nullptr);
    for (int i = 0; i < 5; ++i) graveyard->AddComponent(Loose());
    graveyard->Collect(1e-30f);
    EXPECT_EQ(graveyard->ObjectCount(), 1u);
    EXPECT_EQ(graveyard->ComponentCount(), 5u);
    graveyard->Collect(1e-30f);  // the null entry: dropped, still one step
    EXPECT_EQ(graveyard->ObjectCount(), 0u);
    EXPECT_EQ(graveyard->ComponentCount(), 5u);
    graveyard->Collect(1e-30f);
    EXPECT_EQ(graveyard->ComponentCount(), 4u);
}

TEST_F(GraveyardTest, ShutdownDeletesEverythingQueuedInQueueOrder) {
    auto* a = Loose();
    auto* b = Loose();
    graveyard->AddComponent(a);
    graveyard->AddComponent(nullptr);
    graveyard->AddComponent(b);
    const std::string ea = "delete c" + std::to_string(a->GetId());
    const std::string eb = "delete c" + std::to_string(b->GetId());
    graveyard.reset();
    EXPECT_EQ(journal.events, (std::vector<std::string>{ea, eb}));
}

TEST_F(GraveyardTest, SameEntryIsQueuedOnce) {
    auto* c = Loose();
    graveyard->AddComponent(c);
    graveyard->AddComponent(c);
    auto* o = new GameObject();
    overlord->RemoveGameObjectId(o->GetId());
    graveyard->AddObject(o);
    graveyard->AddObject(o);
    EXPECT_EQ(graveyard->ComponentCount(), 1u);
    EXPECT_EQ(graveyard->ObjectCount(), 1u);
}

}  // namespace
