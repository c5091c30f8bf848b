#include <gtest/gtest.h>

#include "core/ClassNameLookup.h"
#include "port/panels/TweakPanelsProbe.h"
#include "reflection/Gradient.h"
#include "reflection/MetaRegistry.h"
#include "reflection/TweakVarParams.h"
#include "reflection/ValueTypes.h"
#include "reflection/Waypoint.h"

namespace {
class ValueTypesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ValueTypes::Register(registry);
        Waypoint::Reflect();
        registry.Register<Waypoint>("Waypoint");
        Gradient::Reflect();
        registry.Register<Gradient>("Gradient");
    }
    std::string Walk(const char* name) {
        std::string out;
        for (IMetaMemVar* m = FirstWalkedMember(*registry.GetByName(name)); m; m = m->Next()) out += m->GetName() + " ";
        return out;
    }
    MetaRegistry registry;
};
}  // namespace

TEST_F(ValueTypesTest, MembersAreWalkedNewestFirst) {
    EXPECT_EQ(Walk("D3DXCOLOR"), "a b g r ");
    EXPECT_EQ(Walk("D3DXVECTOR2"), "y x ");
    EXPECT_EQ(Walk("Waypoint"), "orientation pos ");
    EXPECT_EQ(Walk("Gradient"), "EndVal StartVal ");
}

TEST_F(ValueTypesTest, FullTextOfQuaternionAndWaypoint) {
    D3DXQUATERNION q(0, 0, 0, 1);
    EXPECT_EQ(Meta<D3DXQUATERNION>::Get()->ToString(&q), "{ w = 1, z = 0, y = 0, x = 0,  }");
    Waypoint w;
    w.pos = D3DXVECTOR3(1, 2, 3);
    EXPECT_EQ(Meta<Waypoint>::Get()->ToString(&w),
              "{ orientation = { w = 1, z = 0, y = 0, x = 0,  }, pos = { z = 3, y = 2, x = 1,  },  }");
    Waypoint moved = w, reference = w;
    moved.pos.y = 2.5f;
    EXPECT_EQ(Meta<Waypoint>::Get()->ToStringIfDifferent(&moved, &reference), "{pos = {y = 2.5, }, }");
}

TEST_F(ValueTypesTest, PanelTypesOfTheValueTypes) {
    EXPECT_EQ(Meta<D3DXVECTOR3>::Get()->GetTweakType(), TW_TYPE_DIR3F);
    EXPECT_EQ(Meta<D3DXQUATERNION>::Get()->GetTweakType(), TW_TYPE_QUAT4F);
    EXPECT_EQ(Meta<D3DXCOLOR>::Get()->GetTweakType(), TW_TYPE_COLOR4F);
    EXPECT_EQ(Meta<D3DXVECTOR2>::Get()->GetTweakType(), 0);
    // A two-float vector is shown as its two floats, never as three.
    TwInspectReset();
    TwBar* bar = TwNewBar("B");
    D3DXVECTOR2 v(1, 2);
    TweakVarParams params;
    Meta<D3DXVECTOR2>::Get()->AddToTweakBar(&v, bar, "tileFactor", params, "");
    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "tileFactor.x", &info));
    EXPECT_EQ(info.type, TW_TYPE_FLOAT);
    EXPECT_EQ(info.address, &v.x);
    EXPECT_TRUE(TwInspectVar(bar, "tileFactor.y", &info));
    TwInspectReset();
}

TEST_F(ValueTypesTest, RegistryNamesClassesForTheEngineLog) {
    EXPECT_EQ(GetClassName(TypeId<D3DXCOLOR>::Get()), "D3DXCOLOR");
    EXPECT_EQ(GetClassName(999999), "999999");
}
