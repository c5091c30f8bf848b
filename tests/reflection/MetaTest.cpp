#include <gtest/gtest.h>

#include <cmath>

#include <lua.hpp>

#include "TestTypes.h"
#include "reflection/MemberText.h"

namespace {
class MetaTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestTypes(registry);
        L = luaL_newstate();
    }
    void TearDown() override { lua_close(L); }
    void Push(const std::string& expr) {
        const std::string chunk = "return " + expr;
        ASSERT_EQ(luaL_loadbuffer(L, chunk.data(), chunk.size(), "t"), 0);
        ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    }
    // Reads expr into *value; returns the DataError text, "" on success. The
    // stack must be back where it was either way (the loader restores it on
    // error; here only the success path is checked).
    template <class T>
    std::string Read(const std::string& expr, T* value) {
        Push(expr);
        const int top = lua_gettop(L);
        try {
            Meta<T>::Get()->FromLua(value, L);
        } catch (const DataError& e) {
            lua_settop(L, 0);
            return e.what();
        }
        EXPECT_EQ(lua_gettop(L), top - 1);
        lua_settop(L, 0);
        return "";
    }
    std::vector<std::string> Walk(const char* className) {
        std::vector<std::string> names;
        for (IMetaMemVar* m = FirstWalkedMember(*registry.GetByName(className)); m; m = m->Next())
            names.push_back(m->GetName());
        return names;
    }
    MetaRegistry registry;
    lua_State* L = nullptr;
};
}  // namespace

TEST_F(MetaTest, StructTextIsFullFormInReverseRegistrationOrder) {
    Vec3 v{1, 2, 3};
    EXPECT_EQ(Meta<Vec3>::Get()->ToString(&v), "{ z = 3, y = 2, x = 1,  }");
    Pose p{{1, 2, 3}, {0, 0, 1}};
    EXPECT_EQ(Meta<Pose>::Get()->ToString(&p),
              "{ dir = { z = 1, y = 0, x = 0,  }, pos = { z = 3, y = 2, x = 1,  },  }");
    EXPECT_EQ(Meta<Vec3>::Get()->GetName(), "Vec3");
}

TEST_F(MetaTest, DifferencesFormHoldsOnlyChangedMembersNested) {
    Vec3 a{5, 0, 0}, zero;
    EXPECT_EQ(Meta<Vec3>::Get()->ToStringIfDifferent(&a, &zero), "{x = 5, }");
    EXPECT_EQ(Meta<Vec3>::Get()->ToStringIfDifferent(&zero, &zero), "");
    Pose p, q;
    p.pos.y = 2;
    EXPECT_EQ(Meta<Pose>::Get()->ToStringIfDifferent(&p, &q), "{pos = {y = 2, }, }");
    EXPECT_EQ(MemberText::WriteDifferences(*registry.GetByName("Pose"), &q, &q), "");
    // Apart only below the written digits: the same text, read back the same
    // value, so no difference (a saved scene reads back and saves the same).
    p = q;
    p.pos.y = std::nextafter(p.pos.y + 0.258819f, 1.0f);
    q.pos.y = 0.258819f;
    ASSERT_NE(p.pos.y, q.pos.y);
    EXPECT_EQ(Meta<Pose>::Get()->ToStringIfDifferent(&p, &q), "");
    EXPECT_EQ(MemberText::WriteDifferences(*registry.GetByName("Pose"), &p, &q), "");
}

TEST_F(MetaTest, ContainersAreNeverEqualAndAlwaysWrittenWhole) {
    std::vector<float> a{1, 2.5f, 3}, empty;
    EXPECT_EQ(Meta<std::vector<float>>::Get()->ToString(&a), "{ 1, 2.5, 3, }");
    EXPECT_EQ(Meta<std::vector<float>>::Get()->ToString(&empty), "{ }");
    EXPECT_FALSE(Meta<std::vector<float>>::Get()->Equals(&empty, &empty));
    EXPECT_EQ(Meta<std::vector<float>>::Get()->ToStringIfDifferent(&empty, &empty), "{ }");
    std::deque<Vec3> path{{1, 0, 0}};
    EXPECT_EQ(Meta<std::deque<Vec3>>::Get()->ToString(&path), "{ { z = 0, y = 0, x = 1,  }, }");
    Everything e1, e2;  // a class with a container member never equals anything
    EXPECT_FALSE(Meta<Everything>::Get()->Equals(&e1, &e2));
}

TEST_F(MetaTest, FixedArraysWriteAllFiveElements) {
    bool flags[5] = {true, false, false, false, true};
    EXPECT_EQ((Meta<bool[5]>::Get()->ToString(flags)), "{true, false, false, false, true, }");
    std::string names[5];
    EXPECT_EQ((Meta<std::string[5]>::Get()->ToString(names)), "{\"\", \"\", \"\", \"\", \"\", }");
    EXPECT_EQ((Meta<std::string[5]>::Get()->GetName()), "std::string[5]");
    EXPECT_EQ((Meta<bool[5]>::Get()->GetTweakType()), 1);
}

TEST_F(MetaTest, ContainerReadReplacesOrKeepsOnNil) {
    std::vector<float> v{9};
    EXPECT_EQ(Read("{ 3, 1, 2 }", &v), "");
    EXPECT_EQ(v, (std::vector<float>{3, 1, 2}));
    EXPECT_EQ(Read("nil", &v), "");
    EXPECT_EQ(v.size(), 3u);
    EXPECT_EQ(Read("{ }", &v), "");
    EXPECT_TRUE(v.empty());
    std::vector<Pose> poses;
    EXPECT_EQ(Read("{ { pos = { x = 1 } }, {} }", &poses), "");
    ASSERT_EQ(poses.size(), 2u);
    EXPECT_EQ(poses[0].pos.x, 1.0f);
    EXPECT_EQ(poses[1].dir.z, 1.0f);  // fresh element keeps its defaults
}

TEST_F(MetaTest, FixedArrayReadTakesFirstFiveValuesAndKeepsTheRest) {
    bool flags[5] = {false, true, true, true, true};
    EXPECT_EQ(Read("{ true }", &flags), "");
    EXPECT_TRUE(flags[0]);
    EXPECT_TRUE(flags[4]);
    EXPECT_EQ(Read("{ false, false, false, false, false, true, true }", &flags), "");
    for (bool f : flags) EXPECT_FALSE(f);
}

TEST_F(MetaTest, NonTablesWhereTablesBelongAreErrorsThatChangeNothing) {
    std::vector<float> v{1, 2};
    EXPECT_EQ(Read("5", &v), ": table expected for std::vector, got number");
    EXPECT_EQ(v.size(), 2u);
    Vec3 where{1, 2, 3};
    EXPECT_EQ(Read("'x'", &where), ": table expected for Vec3, got string");
    EXPECT_EQ(where.x, 1.0f);
    Pose p;
    EXPECT_EQ(Read("{ pos = 5 }", &p), "pos: table expected for Vec3, got number");
    std::vector<Pose> poses{Pose{}};
    EXPECT_EQ(Read("{ {}, { dir = true } }", &poses), "[2].dir: table expected for Vec3, got boolean");
    EXPECT_EQ(poses.size(), 1u);
    bool flags[5];
    EXPECT_EQ(Read("1", &flags), ": table expected for bool[5], got number");
}

TEST_F(MetaTest, StructReadKeepsMissingKeysAndIgnoresUnknownOnes) {
    Vec3 v{1, 2, 3};
    EXPECT_EQ(Read("{ y = 7, w = 9, [1] = 4 }", &v), "");
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 7.0f);
    EXPECT_EQ(v.z, 3.0f);
}

TEST_F(MetaTest, PointerElementsCannotBeReadButEmptyListsCan) {
    std::vector<Vec3*> pointers;
    EXPECT_EQ(Read("{ }", &pointers), "");
    EXPECT_EQ(Meta<std::vector<Vec3*>>::Get()->ToString(&pointers), "{ }");
    // The refusal names the type (a level author reads it in the log).
    EXPECT_NE(Read("{ {} }", &pointers).find("values of type Vec3* cannot be read"), std::string::npos)
        << Read("{ {} }", &pointers);
    EXPECT_TRUE(pointers.empty());
}

TEST_F(MetaTest, WalksSkipTheSentinelAndRunNewestFirst) {
    IMetaClass* vec = registry.GetByName("Vec3");
    ASSERT_NE(vec, nullptr);
    EXPECT_EQ(vec->FirstMember()->GetName(), "");
    EXPECT_EQ(vec->FirstMember()->GetType()->GetName(), "NullType");
    EXPECT_EQ(Walk("Vec3"), (std::vector<std::string>{"z", "y", "x"}));
    EXPECT_EQ(registry.GetByTypeId(TypeId<Vec3>::Get()), vec);
    EXPECT_EQ(vec->GetTypeId(), TypeId<Vec3>::Get());
}

TEST_F(MetaTest, MembersAddedAfterRegistrationAreStillWalked) {
    EXPECT_EQ(Walk("LateMembers"), (std::vector<std::string>{"axisLocks", "rotateMode", "camSpeed"}));
    LateMembers late;
    EXPECT_EQ(MemberText::WriteFull(*registry.GetByName("LateMembers"), &late),
              "{ axisLocks = { z = 0, y = 0, x = 0,  }, rotateMode = false, camSpeed = 1,  }");
}

TEST_F(MetaTest, RegisteringAgainKeepsOneSentinel) {
    registry.Register<Vec3>("Vec3");
    registry.Register<Vec3>("Vec3");
    EXPECT_EQ(Walk("Vec3").size(), 3u);
    struct NoMembers {};
    IMetaClass* c = registry.Register<NoMembers>("GraphicsSystem");
    NoMembers n;
    EXPECT_EQ(MemberText::WriteFull(*c, &n), "{  }");
    EXPECT_EQ(registry.GetByName("GraphicsSystem")->GetTypeId(), TypeId<NoMembers>::Get());
    EXPECT_EQ(registry.GetByName("Missing"), nullptr);
    EXPECT_EQ(registry.GetByTypeId(0), nullptr);
}

TEST_F(MetaTest, MemberReaderLeavesAbsentKeysAndTheStackAlone) {
    Everything e;
    e.count = 4;
    Push("{ mask = -1, on = false, text = 12, speeds = { 1, 2 } }");
    for (IMetaMemVar* m = FirstWalkedMember(*registry.GetByName("Everything")); m; m = m->Next()) {
        m->ReadFromLua(&e, L);
        ASSERT_EQ(lua_gettop(L), 1);
    }
    EXPECT_EQ(e.count, 4);
    EXPECT_EQ(e.mask, 4294967295u);
    EXPECT_FALSE(e.on);
    EXPECT_EQ(e.text, "12");
    EXPECT_EQ(e.speeds.size(), 2u);
}

TEST_F(MetaTest, HiddenMembersAreStillWrittenComparedAndRead) {
    Everything a, b;
    a.hidden = 3;
    const std::string full = MemberText::WriteFull(*registry.GetByName("Everything"), &a);
    EXPECT_EQ(full.rfind("{ hidden = 3, names = ", 0), 0u) << full;
    EXPECT_NE(Meta<Everything>::Get()->ToStringIfDifferent(&a, &b).find("hidden = 3, "), std::string::npos);
    EXPECT_EQ(Read("{ hidden = 8 }", &a), "");
    EXPECT_EQ(a.hidden, 8);
}
