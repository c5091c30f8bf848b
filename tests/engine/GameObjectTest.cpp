#include <gtest/gtest.h>

#include <cstring>

#include "EngineTestSupport.h"
#include "engine/Ray.h"

namespace {

class GameObjectTest : public EngineFixture {
protected:
    // An object with one probe component, registered.
    GameObject* MakeObject(ProbeComponent** component = nullptr) {
        auto* object = new GameObject();
        auto* c = new ProbeComponent(&journal);
        object->AddComponent(c);
        if (component) *component = c;
        return object;
    }
};

TEST_F(GameObjectTest, FireReachesWholeSubtreeEachWithOwnPayloadCopy) {
    ProbeComponent *rootC, *childC, *grandC;
    GameObject* root = MakeObject(&rootC);
    GameObject* child = MakeObject(&childC);
    GameObject* grand = MakeObject(&grandC);
    ASSERT_TRUE(child->SetParent(root->GetId()));
    ASSERT_TRUE(grand->SetParent(child->GetId()));
    std::vector<Ray> rays;
    for (auto* c : {rootC, childC, grandC})
        c->onMessage = [&](Message* m) {
            if (const Ray* got = m->Read(kMsgFire)) rays.push_back(*got);
        };

    const Ray ray{{1, 2, 3}, {0, 0, 1}};
    SendToObject(kMsgFire, root->GetId(), 0, ray);
    ASSERT_EQ(journal.seen.size(), 3u);
    EXPECT_EQ(journal.seen[0].receiver, rootC->GetId());
    EXPECT_EQ(journal.seen[1].receiver, childC->GetId());
    EXPECT_EQ(journal.seen[2].receiver, grandC->GetId());
    EXPECT_NE(journal.seen[0].payload, journal.seen[1].payload);
    EXPECT_NE(journal.seen[1].payload, journal.seen[2].payload);
    ASSERT_EQ(rays.size(), 3u);
    for (const Ray& r : rays) EXPECT_EQ(std::memcmp(&r, &ray, sizeof ray), 0);
}

TEST_F(GameObjectTest, FireForwardedThroughAnyResolverAndNullPayload) {
    ProbeComponent *rootC, *childC;
    GameObject* root = MakeObject(&rootC);
    GameObject* child = MakeObject(&childC);
    child->SetParent(root->GetId());
    // Delivered by hand, as a subscriber would get it (no resolver, no payload).
    Message m = MakeMessage(kMsgFire, nullptr, 0, 0);
    root->HandleMessage(&m);
    ASSERT_EQ(journal.seen.size(), 2u);
    EXPECT_FALSE(journal.seen[1].hadPayload);
}

TEST_F(GameObjectTest, RefreshForwardedWithoutPayloadOtherTypesNot) {
    ProbeComponent *rootC, *childC;
    GameObject* root = MakeObject(&rootC);
    GameObject* child = MakeObject(&childC);
    child->SetParent(root->GetId());
    SendToObject(kMsgRefresh, root->GetId(), 0);
    ASSERT_EQ(journal.seen.size(), 2u);
    journal.seen.clear();
    SendToObject(ComponentAnnounced(1), root->GetId(), 0, 3u);
    ASSERT_EQ(journal.seen.size(), 1u);
    EXPECT_EQ(journal.seen[0].receiver, rootC->GetId());
}

TEST_F(GameObjectTest, SetParentRefusesCycles) {
    GameObject* a = MakeObject();
    GameObject* b = MakeObject();
    GameObject* c = MakeObject();
    EXPECT_FALSE(a->SetParent(a->GetId()));
    ASSERT_TRUE(b->SetParent(a->GetId()));
    ASSERT_TRUE(c->SetParent(b->GetId()));
    EXPECT_FALSE(a->SetParent(c->GetId()));
    EXPECT_FALSE(a->SetParent(b->GetId()));
    EXPECT_EQ(a->GetParent(), 0u);
    EXPECT_TRUE(c->GetChildren().empty());
    EXPECT_EQ(b->GetChildren(), std::vector<u32>{c->GetId()});
}

TEST_F(GameObjectTest, SetParentRefusesChainsDeeperThanTheLimit) {
    const int limit = GameObject::kMaxHierarchyLevels;
    std::vector<GameObject*> chain{MakeObject()};
    for (int i = 1; i < limit; ++i) {
        chain.push_back(MakeObject());
        ASSERT_TRUE(chain[i]->SetParent(chain[i - 1]->GetId())) << i;
    }
    GameObject* leaf = MakeObject();
    EXPECT_FALSE(leaf->SetParent(chain.back()->GetId()));
    EXPECT_EQ(leaf->GetParent(), 0u);
    EXPECT_TRUE(chain.back()->GetChildren().empty());

    // A subtree counts with its own levels below the object that is linked.
    GameObject* top = MakeObject();
    GameObject* below = MakeObject();
    ASSERT_TRUE(below->SetParent(top->GetId()));
    EXPECT_FALSE(top->SetParent(chain[limit - 2]->GetId()));
    EXPECT_TRUE(top->SetParent(chain[limit - 3]->GetId()));
}

TEST_F(GameObjectTest, ForwardingSkipsAChildLinkedElsewhereWithoutDetach) {
    ProbeComponent *aC, *bC, *cC;
    GameObject* a = MakeObject(&aC);
    GameObject* b = MakeObject(&bC);
    GameObject* c = MakeObject(&cC);
    ASSERT_TRUE(b->SetParent(a->GetId()));
    ASSERT_TRUE(b->SetParent(c->GetId()));  // a still lists b
    ASSERT_TRUE(a->SetParent(b->GetId()));  // a loop of child lists: a -> b -> a
    SendToObject(kMsgFire, a->GetId(), 0, Ray{{0, 0, 0}, {0, 0, 1}});
    ASSERT_EQ(journal.seen.size(), 1u);
    EXPECT_EQ(journal.seen[0].receiver, aC->GetId());
    journal.seen.clear();
    SendToObject(kMsgRefresh, c->GetId(), 0);
    ASSERT_EQ(journal.seen.size(), 3u);
    EXPECT_EQ(journal.seen[0].receiver, cC->GetId());
    EXPECT_EQ(journal.seen[1].receiver, bC->GetId());
    EXPECT_EQ(journal.seen[2].receiver, aC->GetId());
}

TEST_F(GameObjectTest, ParentChangesReachComponents) {
    ProbeComponent* childC;
    GameObject* parent = MakeObject();
    GameObject* child = MakeObject(&childC);
    child->SetParent(parent->GetId());
    EXPECT_EQ(childC->lastParent, parent->GetId());
    EXPECT_TRUE(childC->lastRebuild);
    child->DetachFromParent();
    EXPECT_EQ(childC->lastParent, 0u);
    EXPECT_FALSE(childC->lastRebuild);
    EXPECT_TRUE(parent->GetChildren().empty());
    EXPECT_EQ(child->GetParent(), 0u);
}

TEST_F(GameObjectTest, DestroyTwiceOrAfterUnregisterQueuesOnce) {
    GameObject* a = MakeObject();
    a->Destroy();
    a->Destroy();
    EXPECT_EQ(graveyard->ObjectCount(), 1u);
    EXPECT_EQ(graveyard->ComponentCount(), 1u);

    GameObject* b = MakeObject();
    overlord->UnregisterGameObject(b->GetId());
    b->Destroy();
    EXPECT_EQ(graveyard->ObjectCount(), 2u);
    EXPECT_EQ(graveyard->ComponentCount(), 2u);
    graveyard->Collect(1000.0f);
    EXPECT_EQ(graveyard->ObjectCount(), 0u);
}

TEST_F(GameObjectTest, RemoveComponentMovesLastIntoItsPlace) {
    auto* object = new GameObject();
    auto* a = new ProbeComponent(&journal);
    auto* b = new OtherProbeComponent(&journal);
    auto* c = new ProbeComponent(&journal);
    auto* d = new ProbeComponent(&journal);
    for (IComponent* x : std::initializer_list<IComponent*>{a, b, c, d}) object->AddComponent(x);
    object->RemoveComponent(b->GetTypeId());
    EXPECT_EQ(object->GetComponents(), (std::vector<IComponent*>{a, d, c}));
    EXPECT_EQ(overlord->GetComponentById(b->GetId()), nullptr);
    EXPECT_EQ(graveyard->ComponentCount(), 1u);
    object->RemoveComponent(TypeId<OtherProbeComponent>::Get());  // none left: nothing
    EXPECT_EQ(object->GetComponents().size(), 3u);
}

TEST_F(GameObjectTest, CloneCopiesComponentsWithNewIdsNotLinks) {
    GameObject* parent = MakeObject();
    ProbeComponent* original;
    GameObject* object = MakeObject(&original);
    object->SetArchetypeName("Ship");
    object->SetParent(parent->GetId());
    GameObject* clone = object->Clone();
    EXPECT_NE(clone->GetId(), object->GetId());
    EXPECT_EQ(clone->GetArchetypeName(), "Ship");
    EXPECT_EQ(clone->GetParent(), 0u);
    ASSERT_EQ(clone->GetComponents().size(), 1u);
    IComponent* copy = clone->GetComponents()[0];
    EXPECT_NE(copy->GetId(), original->GetId());
    EXPECT_EQ(copy->GetOwner(), clone->GetId());
    EXPECT_EQ(overlord->GetComponentById(copy->GetId()), copy);
    EXPECT_EQ(overlord->GetGameObject(clone->GetId()), clone);
}

TEST_F(GameObjectTest, AnnounceSendsType5PerComponentExceptListed) {
    auto* object = new GameObject();
    auto* a = new ProbeComponent(&journal);
    auto* b = new OtherProbeComponent(&journal);
    object->AddComponent(a);
    object->AddComponent(b);
    auto* listener = new ProbeComponent(&journal);
    overlord->RegisterComponent(listener);
    std::vector<u32> announced;
    listener->onMessage = [&](Message* m) {
        if (const u32* id = m->Read(ComponentAnnounced(m->argument))) announced.push_back(*id);
    };
    listener->Subscribe(ComponentAnnounced(a->GetTypeId()));
    listener->Subscribe(ComponentAnnounced(b->GetTypeId()));
    object->AnnounceComponents();
    EXPECT_EQ(announced, (std::vector<u32>{a->GetId(), b->GetId()}));
    announced.clear();
    object->AnnounceComponentsExcept({a->GetTypeId()});
    EXPECT_EQ(announced, (std::vector<u32>{b->GetId()}));
}

}  // namespace
