#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/IdTable.h"

namespace {

int g_a, g_b, g_c, g_d;

TEST(IdTableTest, SharedBucketFindsAllAndReusesRemovedNode) {
    IdTable<int> table;
    table.Insert(5, &g_a);
    table.Insert(10005, &g_b);
    table.Insert(20005, &g_c);
    EXPECT_EQ(table.Find(5), &g_a);
    EXPECT_EQ(table.Find(10005), &g_b);
    EXPECT_EQ(table.Find(20005), &g_c);
    table.Remove(10005);
    EXPECT_EQ(table.Find(10005), nullptr);
    table.Insert(30005, &g_d);  // takes the freed second node
    EXPECT_EQ(table.Find(30005), &g_d);
    EXPECT_EQ(table.ExtraNodeCount(), 0u);
    EXPECT_EQ(table.Find(0), nullptr);
}

TEST(IdTableTest, NinthEntryAppendsThenFreedFrontNodeIsReused) {
    IdTable<int> table;
    for (u32 i = 0; i < 9; ++i) table.Insert(7 + i * 10000, &g_a);
    EXPECT_EQ(table.ExtraNodeCount(), 1u);
    for (u32 i = 0; i < 9; ++i) EXPECT_EQ(table.Find(7 + i * 10000), &g_a);
    table.Remove(7);
    table.Remove(80007);  // the appended node's id
    table.Insert(100007, &g_b);
    table.Insert(110007, &g_c);
    EXPECT_EQ(table.ExtraNodeCount(), 1u);  // both reuse freed nodes
    EXPECT_EQ(table.Find(100007), &g_b);
    EXPECT_EQ(table.Find(110007), &g_c);
    table.Insert(120007, &g_d);
    EXPECT_EQ(table.ExtraNodeCount(), 2u);
}

class OverlordTest : public EngineFixture {};

TEST_F(OverlordTest, UnregisterGameObjectHidesItAndQueuesType43) {
    auto* object = new GameObject();
    auto* c = new ProbeComponent(&journal);
    object->AddComponent(c);
    const u32 objectId = object->GetId();
    const u32 componentId = c->GetId();
    auto* listener = new ProbeComponent(&journal);
    overlord->RegisterComponent(listener);
    std::vector<u32> gone;
    listener->onMessage = [&](Message* m) {
        if (const u32* id = m->Read(kMsgObjectUnregistered)) gone.push_back(*id);
    };
    listener->Subscribe(kMsgObjectUnregistered);

    overlord->UnregisterGameObject(objectId);
    EXPECT_EQ(overlord->GetGameObject(objectId), nullptr);
    EXPECT_EQ(overlord->GetComponentById(componentId), nullptr);
    EXPECT_EQ(overlord->GetComponent(objectId, c->GetTypeId()), nullptr);
    EXPECT_EQ(journal.events.back(), "shutdown c" + std::to_string(componentId));
    EXPECT_TRUE(gone.empty());  // queued, not delivered at once
    hub->DispatchQueued();
    EXPECT_EQ(gone, std::vector<u32>{objectId});
    EXPECT_EQ(graveyard->ObjectCount(), 1u);
    EXPECT_EQ(graveyard->ComponentCount(), 1u);

    overlord->UnregisterGameObject(objectId);  // unknown now: nothing more
    EXPECT_EQ(graveyard->ObjectCount(), 1u);
}

TEST_F(OverlordTest, TypedLookupsCheckTheClass) {
    auto* object = new GameObject();
    auto* a = new ProbeComponent(&journal);
    object->AddComponent(a);
    EXPECT_EQ(overlord->GetComponent<ProbeComponent>(object->GetId()), a);
    EXPECT_EQ(overlord->GetComponent<OtherProbeComponent>(object->GetId()), nullptr);
    EXPECT_EQ(overlord->GetComponentById<ProbeComponent>(a->GetId()), a);
    EXPECT_EQ(overlord->GetComponentById<OtherProbeComponent>(a->GetId()), nullptr);
    EXPECT_EQ(overlord->GetComponentId(object->GetId(), a->GetTypeId()), a->GetId());
    EXPECT_EQ(overlord->GetComponentId(object->GetId() + 1000, a->GetTypeId()), 0u);
}

TEST_F(OverlordTest, ShutdownDeletesRegisteredObjectsAndComponentsOnce) {
    auto* object = new GameObject();
    auto* c = new ProbeComponent(&journal);
    object->AddComponent(c);
    const std::string expected = "delete c" + std::to_string(c->GetId());
    overlord.reset();
    EXPECT_EQ(journal.events, std::vector<std::string>{expected});
}

TEST_F(OverlordTest, DeletedComponentNeverResolves) {
    auto* c = new ProbeComponent(&journal);
    overlord->RegisterComponent(c);
    const u32 id = c->GetId();
    delete c;  // e.g. a prototype deleted by its owner
    EXPECT_EQ(overlord->GetComponentById(id), nullptr);
}

TEST(ComponentListTest, SkipsAndDropsDeadIdsAlternatesOrder) {
    Journal journal;
    MessageHub hub;
    TestIdCounter counter;
    Graveyard graveyard;
    Overlord overlord;
    std::vector<ProbeComponent*> cs;
    ComponentList list;
    for (int i = 0; i < 4; ++i) {
        cs.push_back(new ProbeComponent(&journal));
        overlord.RegisterComponent(cs.back());
        list.Add(cs.back()->GetId());
    }
    overlord.UnregisterComponent(cs[1]);
    std::vector<IComponent*> pass;
    while (list.HasNext()) pass.push_back(list.Next());
    list.EndPass();
    EXPECT_EQ(pass, (std::vector<IComponent*>{cs[3], cs[2], cs[0]}));
    EXPECT_EQ(list.Size(), 3u);  // the dead id is gone for good

    pass.clear();
    while (list.HasNext()) pass.push_back(list.Next());
    list.EndPass();
    EXPECT_EQ(pass, (std::vector<IComponent*>{cs[0], cs[2], cs[3]}));
}

TEST(ComponentListTest, IdAddedDuringAPassIsFirstVisitedInTheNextPass) {
    // Every visited component makes one more of its class, as a spawner whose
    // archetype holds a spawner would: each pass must still end, visiting
    // only what was there when it began.
    Journal journal;
    MessageHub hub;
    TestIdCounter counter;
    Graveyard graveyard;
    Overlord overlord;
    ComponentList list;
    auto make = [&] {
        auto* c = new ProbeComponent(&journal);
        overlord.RegisterComponent(c);
        list.Add(c->GetId());
        return c;
    };
    make();
    for (std::size_t expected : {1u, 2u, 4u, 8u}) {
        std::size_t visited = 0;
        while (list.HasNext() && visited < 100) {
            list.Next();
            make();
            ++visited;
        }
        list.EndPass();
        EXPECT_EQ(visited, expected);
        EXPECT_EQ(list.Size(), 2 * expected);
    }
    // Between passes an added id is visited in the very next one.
    list.Clear();
    ProbeComponent* added = make();
    ASSERT_TRUE(list.HasNext());
    EXPECT_EQ(list.Next(), added);
}

}  // namespace
