#include "SceneTestSupport.h"
#include "port/panels/TweakPanelsProbe.h"

namespace {
class ObjectPanelTest : public SceneFixture {
protected:
    void SetUp() override { TwInspectReset(); }
    void TearDown() override { TwInspectReset(); }
};
}  // namespace

TEST_F(ObjectPanelTest, EveryComponentShowsItsMembersUnderItsGroup) {
    GameObject* object = factory.NewGameObject();
    object->AddComponent(new Body());
    object->AddComponent(new Transform());
    TwBar* bar = TwNewBar("Selection");
    object->ShowInTweakBar(bar, "_2");
    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "GUID_2", &info));
    EXPECT_EQ(info.group, "Parenting");
    ASSERT_TRUE(TwInspectVar(bar, "Body_2.mass", &info));
    EXPECT_EQ(info.group, "Body_2");
    EXPECT_EQ(info.address, &object->GetComponent<Body>()->f.mass);
    EXPECT_TRUE(TwInspectVar(bar, "Body_2.persistForce", &info));
    EXPECT_EQ(info.type, TW_TYPE_DIR3F);
    EXPECT_TRUE(TwInspectVar(bar, "Transform_2.rotation", &info));
    EXPECT_EQ(info.type, TW_TYPE_QUAT4F);
    EXPECT_TRUE(TwInspectVar(bar, "TransformedPosition_2", &info));
    EXPECT_TRUE(TwInspectVar(bar, "BodySeparator_2", &info));
    EXPECT_EQ(TwInspectGroupParams(bar, "Body_2")["label"], "Body");
}

TEST_F(ObjectPanelTest, TwoObjectsShareOneBar) {
    GameObject* a = factory.NewGameObject();
    GameObject* b = factory.NewGameObject();
    a->AddComponent(new Transform());
    b->AddComponent(new Transform());
    TwBar* bar = TwNewBar("Both");
    a->ShowInTweakBar(bar, "_a");
    b->ShowInTweakBar(bar, "_b");
    TweakBarInfo info;
    ASSERT_TRUE(TwInspectBar(bar, &info));
    int positions = 0;
    for (const TweakVarInfo& v : info.vars) positions += v.name.rfind("TransformedPosition", 0) == 0;
    EXPECT_EQ(positions, 2);
    EXPECT_EQ(TwGetLastError(), nullptr);
}
