#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/ServiceTable.h"
#include "core/Singleton.h"

namespace {
std::vector<std::string> gDestroyed;

template <int N>
class Probe : public Singleton<Probe<N>> {
public:
    ~Probe() {
        // The pointer must still be this object while its own destructor runs
        // and every older service must still exist.
        gDestroyed.push_back(std::to_string(N) + (Probe<N>::Instance() == this ? "" : " (pointer lost)"));
        if (N > 1 && !Probe<N - 1>::Instance()) gDestroyed.push_back("older service gone first");
    }
};

class Throwing : public Singleton<Throwing> {
public:
    Throwing() { throw std::runtime_error("cannot start"); }
};

TEST(ServiceTableTest, DestroysNewestFirstAndClearsEachPointer) {
    gDestroyed.clear();
    std::vector<std::string> seen;
    {
        ServiceTable table;
        Probe<1>& first = table.Create<Probe<1>>("one");
        table.Create<Probe<2>>("two");
        table.Create<Probe<3>>("three");
        EXPECT_EQ(Probe<1>::Instance(), &first);
        EXPECT_EQ(table.Names(), (std::vector<std::string>{"one", "two", "three"}));
        EXPECT_TRUE(table.EntriesNotReachable().empty());

        table.DestroyAll([&](const std::string& name) { seen.push_back(name); });
        EXPECT_TRUE(table.Empty());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"three", "two", "one"}));
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_EQ(Probe<1>::Instance(), nullptr);
    EXPECT_EQ(Probe<2>::Instance(), nullptr);
    EXPECT_EQ(Probe<3>::Instance(), nullptr);
}

TEST(ServiceTableTest, DestructorDestroysWhatIsLeftInReverse) {
    gDestroyed.clear();
    {
        ServiceTable table;
        table.Create<Probe<1>>("one");
        table.Create<Probe<2>>("two");
    }
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"2", "1"}));
}

TEST(ServiceTableTest, ThrowingConstructorFilesNothingAndLeavesPointerNull) {
    gDestroyed.clear();
    ServiceTable table;
    table.Create<Probe<1>>("one");
    EXPECT_THROW(table.Create<Throwing>("throwing"), std::runtime_error);
    EXPECT_EQ(Throwing::Instance(), nullptr);
    EXPECT_EQ(table.Names(), (std::vector<std::string>{"one"}));
}

TEST(ServiceTableTest, ReplacedGlobalPointerIsReported) {
    ServiceTable table;
    table.Create<Probe<1>>("one");
    {
        Probe<1> intruder;  // takes over the global pointer while it lives
        EXPECT_EQ(table.EntriesNotReachable(), (std::vector<std::string>{"one"}));
    }
}
TEST(ServiceTableTest, SecondLiveServiceOfAClassStops) {
    ServiceTable table;
    table.Create<Probe<1>>("one");
    EXPECT_DEATH(table.Create<Probe<1>>("again"), "again is made while another one lives");
}
}  // namespace
