#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "engine/Queen.h"
#include "engine/Transform.h"

namespace {
class TransformHierarchyTest : public EngineFixture {
protected:
    void SetUp() override {
        queen = new Queen();
        engine.AddSystem(queen);
        queen->Init();
    }
    // An announced object with a transform, under parent when given.
    GameObject* Make(GameObject* parent = nullptr) {
        auto* object = new GameObject();
        object->AddComponent(new Transform());
        if (parent) object->SetParent(parent->GetId());
        object->AnnounceComponents();
        return object;
    }
    std::unique_ptr<Engine> engineHolder = std::make_unique<Engine>();
    Engine& engine = *engineHolder;
    Queen* queen = nullptr;
};
}  // namespace

TEST_F(TransformHierarchyTest, ChildrenAreFiledUnderTheirParents) {
    GameObject* root = Make();
    GameObject* child = Make(root);
    GameObject* orphan = new GameObject();
    orphan->AddComponent(new Transform());
    orphan->SetParent(999999);  // a parent that was never filed
    orphan->AnnounceComponents();
    ASSERT_EQ(queen->GetRoots().size(), 2u);
    EXPECT_EQ(queen->GetRoots()[0]->objectId, root->GetId());
    ASSERT_EQ(queen->GetRoots()[0]->children.size(), 1u);
    EXPECT_EQ(queen->GetRoots()[0]->children[0]->objectId, child->GetId());
    EXPECT_EQ(queen->GetRoots()[1]->objectId, orphan->GetId());
    EXPECT_EQ(queen->GetTransforms().Size(), 3u);
}

TEST_F(TransformHierarchyTest, UnregisteredObjectsLeaveAndTheirChildrenMoveUp) {
    GameObject* root = Make();
    GameObject* child = Make(root);
    GameObject* grandchild = Make(child);
    overlord->UnregisterGameObject(child->GetId());
    hub->DispatchQueued();
    EXPECT_EQ(queen->Find(child->GetId()), nullptr);
    ASSERT_NE(queen->Find(grandchild->GetId()), nullptr);
    EXPECT_EQ(queen->CountNodes(), 2u);
    EXPECT_LE(queen->GetTransforms().Size(), 3u);
}

TEST_F(TransformHierarchyTest, DoesNotGrowOverManyObjectsAndIsEmptiedByClear) {
    for (int round = 0; round < 50; ++round) {
        GameObject* a = Make();
        GameObject* b = Make(a);
        overlord->UnregisterGameObject(b->GetId());
        overlord->UnregisterGameObject(a->GetId());
        hub->DispatchQueued();
        graveyard->Collect(1.0f);
    }
    EXPECT_EQ(queen->CountNodes(), 0u);
    EXPECT_LE(queen->GetTransforms().Size(), 2u);  // dead ids are purged as they pile up
    Make();
    queen->Clear();
    EXPECT_EQ(queen->CountNodes(), 0u);
    EXPECT_EQ(queen->GetTransforms().Size(), 0u);
}
