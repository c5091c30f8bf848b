// Member records made from member pointers: offsets found where the members
// really are (also behind a base class that does not start the object),
// records listed once however often ReflectOnce runs, and a subclass without
// a Reflect of its own recording none of its base's members.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reflection/MemberList.h"
#include "reflection/MetaRegistry.h"

namespace {
struct Head {
    virtual ~Head() = default;
    double first = 0;
};

struct State {
    int count = 0;
    float weight = 0;
};

// State sits behind Head's vtable pointer and double, as a camera's state does.
class Body : public Head, protected State {
public:
    static void Reflect(MemberList<Body>& members) {
        ++runs;
        members.Add("count", &Body::count);
        members.Add("weight", &Body::weight, false);
        members.Add("label", &Body::label);
    }
    static inline int runs = 0;
    std::string label;
    int& Count() { return count; }
    float& Weight() { return weight; }
    static u32 CountOffset() { return MemberList<Body>::OffsetOf<int>(&Body::count); }
    static u32 WeightOffset() { return MemberList<Body>::OffsetOf<float>(&Body::weight); }

private:
    friend class MemberList<Body>;
};

class Limb : public Body {};

std::vector<std::string> Walk(const IMetaClass& metaClass) {
    std::vector<std::string> names;
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next())
        names.push_back(m->GetName() + (m->IsShown() ? "" : " (hidden)"));
    return names;
}

std::ptrdiff_t OffsetIn(const void* object, const void* member) {
    return static_cast<const char*>(member) - static_cast<const char*>(object);
}
}  // namespace

TEST(MemberListTest, OffsetsPointAtTheMembersAlsoBehindALaterBase) {
    Body body;
    EXPECT_EQ(Body::CountOffset(), OffsetIn(&body, &body.Count()));
    EXPECT_EQ(Body::WeightOffset(), OffsetIn(&body, &body.Weight()));
    EXPECT_EQ(MemberList<Body>::OffsetOf<std::string>(&Body::label), OffsetIn(&body, &body.label));
    EXPECT_GT(OffsetIn(&body, &body.Count()), 0);
}

TEST(MemberListTest, ReflectRunsOnceAndSubclassesWithoutOneRecordNothing) {
    MetaRegistry registry;
    ReflectOnce<Body>();
    ReflectOnce<Body>();
    ReflectOnce<Limb>();
    EXPECT_EQ(Body::runs, 1);
    EXPECT_EQ(Walk(*registry.Register<Body>("Body")), (std::vector<std::string>{"label", "weight (hidden)", "count"}));
    EXPECT_TRUE(Walk(*registry.Register<Limb>("Limb")).empty());

    Body body;
    body.Count() = 7;
    body.label = "arm";
    EXPECT_EQ(Meta<Body>::Get()->ToString(&body), "{ label = \"arm\", weight = 0, count = 7,  }");
}
