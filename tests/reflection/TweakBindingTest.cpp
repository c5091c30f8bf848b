#include <gtest/gtest.h>

#include "TestTypes.h"
#include "port/panels/TweakPanelsProbe.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"

namespace {
class TweakBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        TwInspectReset();
        RegisterTestTypes(registry);
        bar = TwNewBar("Panel");
    }
    void TearDown() override { TwInspectReset(); }
    TweakVarInfo Var(const char* name) {
        TweakVarInfo info;
        EXPECT_TRUE(TwInspectVar(bar, name, &info)) << name;
        return info;
    }
    MetaRegistry registry;
    TwBar* bar = nullptr;
};
}  // namespace

TEST(TweakDefinitionTest, PartsAppearOnlyWhenGiven) {
    TweakVarParams params;
    EXPECT_EQ(MakeTweakDefinition(params, ""), "");
    EXPECT_EQ(MakeTweakDefinition(params, "x"), " label='x' ");
    params.group = {"group", "Movement", true};
    EXPECT_EQ(MakeTweakDefinition(params, "P.speed"), " label='P.speed'   group=Movement ");
    params.help = {"help", "how fast", true};
    EXPECT_EQ(MakeTweakDefinition(params, ""), "  group=Movement  help='how fast' ");
}

TEST_F(TweakBindingTest, EveryShownMemberGetsItsEntry) {
    Everything e;
    e.speeds = {1, 2};
    TweakVarParams params;
    params.group = {"group", "G", true};
    AddMembersToTweakBar(*registry.GetByName("Everything"), &e, bar, params, "P");

    EXPECT_EQ(Var("P.count").type, TW_TYPE_INT32);
    EXPECT_EQ(Var("P.count").label, "P.count");
    EXPECT_EQ(Var("P.count").group, "G");
    EXPECT_EQ(Var("P.count").address, &e.count);
    EXPECT_EQ(Var("P.mask").type, TW_TYPE_UINT32);
    EXPECT_EQ(Var("P.speed").type, TW_TYPE_FLOAT);
    EXPECT_EQ(Var("P.on").type, TW_TYPE_BOOLCPP);
    EXPECT_EQ(Var("P.on").label, "");
    EXPECT_EQ(Var("P.text").kind, TweakVarKind::Callback);
    EXPECT_EQ(Var("P.text").type, TW_TYPE_CDSTRING);
    EXPECT_EQ(Var("P.where").type, TW_TYPE_DIR3F);  // a class with a panel type: one entry
    EXPECT_EQ(Var("P.speeds[0]").label, "P.speeds");
    EXPECT_EQ(Var("P.speeds[1]").address, &e.speeds[1]);
    EXPECT_EQ(Var("P.flags[4]").label, "");
    EXPECT_EQ(Var("P.names[0]").kind, TweakVarKind::Callback);
    TweakVarInfo info;
    EXPECT_FALSE(TwInspectVar(bar, "P.hidden", &info));
    EXPECT_FALSE(TwInspectVar(bar, "P.path", &info));  // empty container: no entry
}

TEST_F(TweakBindingTest, StructsWithoutPanelTypeShowEachMember) {
    Pose p;
    TweakVarParams params;
    Meta<Pose>::Get()->AddToTweakBar(&p, bar, "P.pose", params, "");
    EXPECT_EQ(Var("P.pose.pos").type, TW_TYPE_DIR3F);
    EXPECT_EQ(Var("P.pose.dir").address, &p.dir);
}

TEST_F(TweakBindingTest, StringEntriesEditTheStdString) {
    Everything e;
    e.text = "before";
    TweakVarParams params;
    Meta<std::string>::Get()->AddToTweakBar(&e.text, bar, "T", params, "");
    std::string shown;
    ASSERT_TRUE(TwInspectReadValue(bar, "T", &shown));
    EXPECT_EQ(shown, "before");
    ASSERT_TRUE(TwInspectWriteValue(bar, "T", "after all"));
    EXPECT_EQ(e.text, "after all");
}
